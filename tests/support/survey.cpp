#include "support/survey.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <sstream>

#include "vokram/angles.hpp"
#include "vokram/geodesy.hpp"
#include "vokram/text.hpp"

namespace vk::test {

namespace {

std::string num(double v, int d) {
    char b[64];
    std::snprintf(b, sizeof b, "%.*f", d, v);
    return b;
}

double plane(const TruePoint& a, const TruePoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

class Writer {
  public:
    explicit Writer(const Survey& s) : s_(s), rng_(s.seed) {}

    // One sight in the faces asked for, readings as the instrument gives them.
    void sight(int st, double hs, const Sight& k, double zero, Faces faces) {
        double alpha, V, S;
        observe(st, hs, k, alpha, V, S);
        const double R1 = rang(alpha - zero), R2 = rang(alpha - zero + 200.0);
        const double V1 = V + s_.index_error, V2 = 400.0 - V + s_.index_error;
        const bool rs = k.carry & kR, vs = k.carry & kVS;
        auto put = [&](double R, double Vr, double dR, double dV, double dS) {
            out << "  " << k.target << ' ' << num(k.ht, 3) << ' ' << (rs ? num(rang(R + dR), 6) : "0") << ' '
                << (vs ? num(Vr + dV, 6) : "0") << ' ' << (vs ? num(S + dS, 5) : "0") << '\n';
        };
        S += gauss(s_.distance_noise / 1000);
        switch (faces) {
            case kFaceI:
                put(R1, V1, k.dR, k.dV, k.dS);
                break;
            case kSurveyFaces:
            case kFaceIThenII:
                put(R1, V1, k.dR, k.dV, k.dS), put(R2 + gauss(0.0003), V2 - gauss(0.0005), 0, 0, 0);
                break;
            case kFaceIIThenI:
                put(R2, V2, k.dR, k.dV, k.dS), put(R1 + gauss(0.0003), V1 + gauss(0.0005), 0, 0, 0);
                break;
            case kFaceII:
                put(R2, V2, k.dR, k.dV, k.dS);
                break;
        }
    }

    std::ostringstream out;

  private:
    double gauss(double sigma) {
        if (s_.noise == 0) return 0.0;
        return std::normal_distribution<double>(0.0, sigma * s_.noise)(rng_);
    }

    // The zenith angle bends with the earth's curvature less refraction; the slope distance
    // is the chord, written so that the instrument's corrections and the projection make
    // it true again.
    void observe(int st, double hs, const Sight& k, double& alpha, double& V, double& S) {
        const TruePoint& a = s_.truth.at(st);
        const TruePoint& b = s_.truth.at(k.target);
        const double D = plane(a, b);
        const double dh = (b.h + k.ht) - (a.h + hs);
        double seen = dh;
        S = std::hypot(D, dh);
        for (int i = 0; i < 4; ++i) {
            seen = dh - curvature_refraction(S, s_.refraction);
            S = std::hypot(D, seen);
        }
        alpha = atang(b.y - a.y, b.x - a.x) + gauss(0.0003);
        V = atang(D, seen) + gauss(0.0005);
        S /= 1.0 - projection_correction(s_.hp);
        S = (S - s_.additive / 1000.0) / (1.0 + s_.scale / 1e6);
    }

    const Survey& s_;
    std::mt19937 rng_;
};

}  // namespace

Survey& Survey::point(int no, double x, double y, double h, int kind) {
    truth[no] = {x, y, h, kind};
    return *this;
}

Survey on_sheet(std::vector<Record> records, const std::map<int, TruePoint>& more,
                const std::vector<int>& numbers) {
    static const std::map<int, TruePoint> kSheet = {{1, {100, 100, 50, 3}}, {2, {420, 160, 55, 3}},
                                                    {3, {260, 480, 60, 3}}, {4, {80, 420, 52, 3}},
                                                    {10, {300, 300, 58}},   {11, {180, 260, 54}}};
    Survey s;
    s.faces = kFaceI;
    for (const int no : numbers) s.truth[no] = kSheet.at(no);
    for (const auto& [no, p] : more) s.truth[no] = p;
    for (auto& [no, p] : s.truth) p.x += 4567000, p.y += 8512000;
    s.records = std::move(records);
    return s;
}

std::string Survey::geo() const {
    Writer w(*this);
    w.out << "Survey from known true coordinates, seed " << seed << "\ncontrol points by code -3 -2 -1\n"
          << "station records by code -4, detail blocks between -9\n";
    for (const auto& [no, p] : truth) {
        if (p.kind == 3)
            w.out << no << ' ' << num(p.x, 4) << ' ' << num(p.y, 4) << ' ' << num(p.h, 4) << " -3\n";
        if (p.kind == 2) w.out << no << ' ' << num(p.x, 4) << ' ' << num(p.y, 4) << " -2\n";
        if (p.kind == 1) w.out << no << ' ' << num(p.h, 4) << " -1\n";
    }
    for (const Record& r : records) {
        w.out << r.station << ' ' << num(r.hs, 3) << '\n';
        for (const Sight& k : r.sights) w.sight(r.station, r.hs, k, r.zero, k.faces ? k.faces : faces);
        w.out << "-4\n";
        if (!r.polar && r.details.empty()) continue;
        w.out << "-9\n";
        for (const Sight& k : r.details) w.sight(r.station, r.hs, k, r.zero, k.faces ? k.faces : faces);
        w.out << "-9\n";
    }
    return w.out.str();
}

std::string Survey::params() const {
    const std::string lines[] = {
        std::string(65, '~'),
        "     * ВОКРАМ *     параметри при обработка на измерванията      ",
        std::string(65, '~'),
        "   " + num(tol_angle, 4) + "  [гради]  недопустима разлика за ъглови  величини",
        "   " + num(tol_linear, 3) + "   [м.]     недопустима разлика за линейни величини",
        "   " + num(tol_height, 3) + "   [м.]     недопустима разлика за превишения",
        "   " + num(hp, 2) + "    [м.]     височина над проекционната равнина",
        "   " + num(refraction, 3) + "            коефиц. отчитащ рефракция за визури над 300м.",
        "   " + num(additive, 1) + "     [мм.]    събир. попр. към дължини (? призм. константа)",
        "   " + num(scale, 2) + "    [мм/км]  умнож. попр. към дължини (? атмосф. условия )",
        "   " + num(-index_error, 4) + "  [гради]  поправка към индекс на вертикален кръг",
        "   0.2     [м.]     височина на текст в чертежа, извън мащаб     ",
        "   2       [брой]   брой знаци след дес. точка за коти в чертежа ",
        std::string(65, '~'),
    };
    std::string out;
    for (const std::string& l : lines) out += to_cp1251(l) + "\r\n";
    return out;
}

std::vector<int> Survey::of_kind(bool given) const {
    std::vector<int> out;
    for (const auto& [no, p] : truth)
        if ((p.kind != 0) == given && (given || !std::ranges::count(details(), no))) out.push_back(no);
    return out;
}

std::vector<int> Survey::details() const {
    std::vector<int> out;
    for (const Record& r : records)
        for (const Sight& k : r.details) out.push_back(k.target);
    return out;
}

int Survey::rows() const {
    int n = 0;
    for (const Record& r : records)
        for (const Sight& k : r.sights) {
            const Faces f = k.faces ? k.faces : faces;
            n += f == kFaceIThenII || f == kFaceIIThenI ? 2 : 1;
        }
    return n;
}

Survey grow(const GrowOptions& o) {
    Survey s;
    s.seed = o.seed;
    std::mt19937 rng(o.seed * 7919u + 17u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto mm = [](double m) { return std::round(m * 1000.0) / 1000.0; };
    auto tenth_mm = [](double v) { return std::round(v * 10000.0) / 10000.0; };

    // An area that holds the points about `spacing` apart, placed away from round values.
    const double side = o.spacing * std::max(5.0, std::sqrt(static_cast<double>(o.given + o.fresh)) * 1.3);
    const double x0 = 4567123.456, y0 = 8512345.678;
    // Given points spread over the area: a coarse grid with jitter.
    const int per_side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(o.given))));
    std::vector<int> given, fresh;
    for (int i = 0; i < o.given; ++i) {
        const double gx = (i % per_side + 0.5) / per_side, gy = (i / per_side + 0.5) / per_side;
        s.point(9001 + i, tenth_mm(x0 + gx * side + (unit(rng) - 0.5) * o.spacing / 3),
                tenth_mm(y0 + gy * side + (unit(rng) - 0.5) * o.spacing / 3),
                tenth_mm(480.0 + unit(rng) * o.relief), 3);
        given.push_back(9001 + i);
    }
    for (int i = 0; i < o.fresh; ++i) {
        for (int attempt = 0;; ++attempt) {
            TruePoint p{x0 + unit(rng) * side, y0 + unit(rng) * side, 480.0 + unit(rng) * o.relief};
            const double gap = o.spacing * (attempt < 2000 ? 0.4 : 0.1);
            if (std::ranges::all_of(s.truth, [&](const auto& q) { return plane(p, q.second) >= gap; })) {
                s.truth[101 + i] = p;
                break;
            }
        }
        fresh.push_back(101 + i);
    }

    // Grow the network: the unknown point nearest to the known ones is observed from its
    // nearest known point, and from the next nearest when asked.
    std::vector<int> known = given, order, left = fresh;
    std::map<int, int> parent;               // each point's first observing station
    std::map<int, std::vector<int>> sights;  // station -> targets
    while (!left.empty()) {
        double best = 1e300;
        std::size_t bi = 0;
        int bq = 0;
        for (std::size_t i = 0; i < left.size(); ++i)
            for (int q : known)
                if (const double d = plane(s.truth[left[i]], s.truth[q]); d < best) best = d, bi = i, bq = q;
        const int p = left[bi];
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(bi));
        parent[p] = bq;
        sights[bq].push_back(p);
        if (unit(rng) < o.second_sight) {
            int q2 = 0;
            double b2 = 1e300;
            for (int q : known)
                if (const double d = plane(s.truth[p], s.truth[q]); q != bq && d < b2) b2 = d, q2 = q;
            if (q2) sights[q2].push_back(p);
        }
        known.push_back(p);
        order.push_back(p);
    }
    // Backsights: a given station looks at its nearest other given point, a new station at
    // the observer nearest to the given points in steps of polar points, which is known no
    // later than the station itself in vokram2's passes.
    std::map<int, int> depth;
    for (int g : given) depth[g] = 0;
    std::map<int, std::vector<int>> observers;
    for (const auto& [st, targets] : sights)
        for (int t : targets) observers[t].push_back(st);
    for (int p : order) {
        int best = 1 << 30;
        for (int q : observers[p])
            if (depth.count(q) && depth[q] < best) best = depth[q], parent[p] = q;
        depth[p] = best + 1;
    }
    auto backsight = [&](int st) {
        if (parent.count(st)) return parent[st];
        int best = 0;
        double bd = 1e300;
        for (int g : given)
            if (g != st && plane(s.truth[g], s.truth[st]) < bd) bd = plane(s.truth[g], s.truth[st]), best = g;
        return best;
    };
    std::vector<int> polar;
    for (int i = 0; i < o.polar_stations && i < static_cast<int>(order.size()); ++i) {
        polar.push_back(order[order.size() - 1 - static_cast<std::size_t>(i)]);
        sights[polar.back()];
    }

    std::vector<int> stations = given;
    stations.insert(stations.end(), order.begin(), order.end());
    std::uniform_real_distribution<double> turn(0.0, 400.0);
    int detail_no = 5001;
    for (int st : stations) {
        if (!sights.count(st) || !backsight(st)) continue;
        const int back = backsight(st);
        const double hs = mm(1.4 + 0.2 * unit(rng)), circle = turn(rng);
        const std::vector<int>& targets = sights[st];
        // A record holds at most 99 numbers: 9 targets in two faces after the backsight.
        for (std::size_t start = 0; start == 0 || start < targets.size(); start += 9) {
            Record r{st, {{back, kRVS, 0, 0, 0, kSurveyFaces, mm(1.3 + 0.5 * unit(rng))}}, circle, {}, false,
                     hs};
            for (std::size_t k = start; k < targets.size() && k < start + 9; ++k)
                r.sights.push_back({targets[k], kRVS, 0, 0, 0, kSurveyFaces, mm(1.3 + 0.5 * unit(rng))});
            if (start + 9 >= targets.size() && std::ranges::count(polar, st)) {
                r.polar = true;
                const TruePoint& c = s.truth[st];
                for (int k = 0; k < o.details; ++k) {
                    const double d = (15.0 + 60.0 * unit(rng)) * o.spacing / 60,
                                 t = 2 * std::numbers::pi * unit(rng);
                    s.point(detail_no, c.x + d * std::cos(t), c.y + d * std::sin(t),
                            c.h + (unit(rng) - 0.5) * o.relief / 10);
                    r.details.push_back(
                        {detail_no++, kRVS, 0, 0, 0, kSurveyFaces, mm(1.2 + 0.6 * unit(rng))});
                }
            }
            s.records.push_back(r);
        }
        // A second set with another circle zero, at every third station.
        if (o.repeated_sets && st % 3 == 0 && !targets.empty())
            s.records.push_back({st, {{back}, {targets.front()}}, turn(rng), {}, false, hs});
    }
    return s;
}

}  // namespace vk::test
