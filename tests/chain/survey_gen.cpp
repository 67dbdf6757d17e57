#include "survey_gen.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <sstream>

#include "vokram/angles.hpp"
#include "vokram/text.hpp"

namespace vk::chain {

namespace {

constexpr double kEarthDiameter = 12742000.0;  // divisor of the curvature and refraction term

struct Sight {
    int target;
    double ht;
};

class Writer {
  public:
    Writer(const SurveyOptions& o, Survey& s) : o_(o), s_(s), rng_(o.seed) {}

    double gauss(double sigma) {
        if (!o_.noise) return 0.0;
        std::normal_distribution<double> d(0.0, sigma);
        return d(rng_);
    }

    // Readings from station to target as the instrument gives them: the zenith angle
    // bends with the earth's curvature less refraction, the slope distance is the chord.
    void observe(int st, double hs, int tg, double ht, double& alpha, double& V, double& S) {
        const TruePoint& a = s_.truth.at(st);
        const TruePoint& b = s_.truth.at(tg);
        const double D = std::hypot(b.x - a.x, b.y - a.y);
        const double dh = (b.h + ht) - (a.h + hs);
        double seen = dh;
        S = std::hypot(D, dh);
        for (int i = 0; i < 4; ++i) {
            seen = dh - (1.0 - o_.refraction) * S * S / kEarthDiameter;
            S = std::hypot(D, seen);
        }
        alpha = atang(b.y - a.y, b.x - a.x) + gauss(0.0003);
        V = atang(D, seen) + gauss(0.0005);
        S += gauss(0.002);
    }

    static std::string num(double v, int d) {
        char b[64];
        std::snprintf(b, sizeof b, "%.*f", d, v);
        return b;
    }

    // One station record; the circle reads the direction angle less `zero`.
    void record(int st, double hs, const std::vector<Sight>& sights, double zero, bool two_faces,
                const std::string& tail = {}) {
        out_ << st << ' ' << num(hs, 3) << '\n';
        for (const Sight& k : sights) {
            double a, V, S;
            observe(st, hs, k.target, k.ht, a, V, S);
            const double R = rang(a - zero);
            out_ << "  " << k.target << ' ' << num(k.ht, 3) << ' ' << num(R, 5) << ' '
                 << num(V + o_.index_error, 5) << ' ' << num(S, 4) << '\n';
            ++s_.rows;
            if (two_faces) {
                observe(st, hs, k.target, k.ht, a, V, S);
                out_ << "  " << k.target << ' ' << num(k.ht, 3) << ' ' << num(rang(a - zero + 200.0), 5)
                     << ' ' << num(400.0 - V + o_.index_error, 5) << ' ' << num(S, 4) << '\n';
                ++s_.rows;
            }
        }
        out_ << "-4\n" << tail;
    }

    std::ostringstream out_;

  private:
    const SurveyOptions& o_;
    Survey& s_;
    std::mt19937 rng_;
};

double d2(const TruePoint& a, const TruePoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Instrument and target heights as the file carries them, to the millimetre.
double mm(double m) {
    return std::round(m * 1000.0) / 1000.0;
}

}  // namespace

Survey make_survey(const SurveyOptions& o) {
    Survey s;
    Writer w(o, s);
    std::mt19937 rng(o.seed * 7919u + 17u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);

    // An area that holds the points about 60 m apart, placed away from round values.
    const int total = o.given + o.fresh;
    const double side = std::max(300.0, 60.0 * std::sqrt(static_cast<double>(total)) * 1.3);
    const double x0 = 4567123.456, y0 = 8512345.678;
    auto place = [&](double min_gap) {
        for (int attempt = 0;; ++attempt) {
            TruePoint p{x0 + unit(rng) * side, y0 + unit(rng) * side, 480.0 + unit(rng) * 60.0};
            bool free = true;
            for (const auto& [no, q] : s.truth)
                free = free && d2(p, q) >= (attempt < 2000 ? min_gap : min_gap / 4);
            if (free) return p;
        }
    };
    // Given points spread over the area: a coarse grid with jitter.
    const int per_side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(o.given))));
    for (int i = 0; i < o.given; ++i) {
        const double gx = (i % per_side + 0.5) / per_side, gy = (i / per_side + 0.5) / per_side;
        auto tenth_mm = [](double v) { return std::round(v * 10000.0) / 10000.0; };
        TruePoint p{tenth_mm(x0 + gx * side + (unit(rng) - 0.5) * 20.0),
                    tenth_mm(y0 + gy * side + (unit(rng) - 0.5) * 20.0), tenth_mm(480.0 + unit(rng) * 60.0)};
        const int no = 9001 + i;
        s.truth[no] = p;
        s.given.push_back(no);
    }
    for (int i = 0; i < o.fresh; ++i) {
        const int no = 101 + i;
        s.truth[no] = place(25.0);
        s.fresh.push_back(no);
    }

    // Grow the network from the given points: the unknown point nearest to the known ones
    // is observed from its nearest known point, and from the next nearest when asked.
    std::vector<int> known = s.given;
    std::map<int, int> parent;               // each point's first observing station
    std::map<int, std::vector<int>> sights;  // station -> targets
    std::vector<int> order;
    std::vector<int> left = s.fresh;
    while (!left.empty()) {
        double best = 1e300;
        std::size_t bi = 0;
        int bq = 0;
        for (std::size_t i = 0; i < left.size(); ++i)
            for (int q : known) {
                const double d = d2(s.truth[left[i]], s.truth[q]);
                if (d < best) best = d, bi = i, bq = q;
            }
        const int p = left[bi];
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(bi));
        parent[p] = bq;
        sights[bq].push_back(p);
        if (unit(rng) < o.second_sight) {
            int q2 = 0;
            double b2 = 1e300;
            for (int q : known) {
                const double d = d2(s.truth[p], s.truth[q]);
                if (q != bq && d < b2) b2 = d, q2 = q;
            }
            if (q2) sights[q2].push_back(p);
        }
        known.push_back(p);
        order.push_back(p);
    }
    // Backsights: a given station looks at its nearest other given point, a new station
    // at the observer nearest to the given points in steps of polar points, which is known
    // no later than the station itself in vokram2's passes.
    std::map<int, int> depth;
    for (int g : s.given) depth[g] = 0;
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
        for (int g : s.given)
            if (g != st && d2(s.truth[g], s.truth[st]) < bd) bd = d2(s.truth[g], s.truth[st]), best = g;
        return best;
    };

    // Polar stations and their detail points around them.
    std::vector<int> polar;
    for (int i = 0; i < o.polar_stations && i < static_cast<int>(order.size()); ++i)
        polar.push_back(order[order.size() - 1 - static_cast<std::size_t>(i)]);

    std::ostringstream head;
    head << "Generated survey, seed " << o.seed << "\nGiven points and stations from known true coordinates\n"
         << "code -3 x y H, -4 station records, -9 detail blocks\n";
    for (int g : s.given) {
        const TruePoint& p = s.truth[g];
        w.out_ << g << ' ' << Writer::num(p.x, 4) << ' ' << Writer::num(p.y, 4) << ' ' << Writer::num(p.h, 4)
               << " -3\n";
    }

    std::vector<int> stations;
    for (int g : s.given) stations.push_back(g);
    for (int p : order) stations.push_back(p);
    for (const int polar_st : polar)
        if (!sights.count(polar_st)) sights[polar_st] = {};
    const std::size_t per_record = o.two_faces ? 9 : 18;
    std::uniform_real_distribution<double> zero(0.0, 400.0);
    int detail_no = 5001;
    for (int st : stations) {
        if (!sights.count(st)) continue;
        const int back = backsight(st);
        if (!back) continue;
        const double hs = mm(1.4 + 0.2 * unit(rng));
        std::vector<int> targets = sights[st];
        const double circle = zero(rng);
        for (std::size_t start = 0; start == 0 || start < targets.size(); start += per_record) {
            std::vector<Sight> rec{{back, mm(1.3 + 0.5 * unit(rng))}};
            for (std::size_t k = start; k < targets.size() && k < start + per_record; ++k)
                rec.push_back({targets[k], mm(1.3 + 0.5 * unit(rng))});
            std::string tail;
            const bool last = start + per_record >= targets.size();
            if (last && std::find(polar.begin(), polar.end(), st) != polar.end()) {
                // The detail block: single sights in the station's circle frame.
                std::ostringstream block;
                block << "-9\n";
                const TruePoint& c = s.truth[st];
                for (int k = 0; k < o.details; ++k) {
                    const int no = detail_no++;
                    const double r = 15.0 + 60.0 * unit(rng), t = 2.0 * std::numbers::pi * unit(rng);
                    s.truth[no] = {c.x + r * std::cos(t), c.y + r * std::sin(t), c.h - 3.0 + 6.0 * unit(rng)};
                    s.detail.push_back(no);
                    double a, V, S;
                    const double ht = mm(1.2 + 0.6 * unit(rng));
                    w.observe(st, hs, no, ht, a, V, S);
                    block << no << ' ' << Writer::num(ht, 3) << ' ' << Writer::num(rang(a - circle), 5) << ' '
                          << Writer::num(V + o.index_error, 5) << ' ' << Writer::num(S, 4) << '\n';
                }
                block << "-9\n";
                tail = block.str();
            }
            w.record(st, hs, rec, circle, o.two_faces, tail);
        }
        // A second set with another circle zero, at every third station.
        if (o.repeated_sets && st % 3 == 0 && !targets.empty()) {
            std::vector<Sight> rec{{back, 1.5}, {targets.front(), 1.5}};
            w.record(st, hs, rec, zero(rng), o.two_faces);
        }
    }
    s.geo = head.str() + w.out_.str();

    // Parameters: the defaults, with the index correction of the instrument.
    const char* lines[] = {
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
        "     * ВОКРАМ *     параметри при обработка на измерванията      ",
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
        "   0.0100  [гради]  недопустима разлика за ъглови  величини      ",
        "   0.100   [м.]     недопустима разлика за линейни величини      ",
        "   0.100   [м.]     недопустима разлика за превишения            ",
        "   0.00    [м.]     височина над проекционната равнина           ",
        nullptr,
        "   0.0     [мм.]    събир. попр. към дължини (? призм. константа)",
        "   0.00    [мм/км]  умнож. попр. към дължини (? атмосф. условия )",
        nullptr,
        "   0.2     [м.]     височина на текст в чертежа, извън мащаб     ",
        "   2       [брой]   брой знаци след дес. точка за коти в чертежа ",
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
    };
    for (int i = 0; i < 14; ++i) {
        std::string l;
        if (i == 7)
            l = "   " + Writer::num(o.refraction, 3) +
                "            коефиц. отчитащ рефракция за визури над 300м.";
        else if (i == 10)
            l = "  " + Writer::num(-o.index_error, 4) +
                "  [гради]  поправка към индекс на вертикален кръг       ";
        else
            l = lines[i];
        s.params += to_cp1251(l) + "\r\n";
    }
    return s;
}

}  // namespace vk::chain
