// The points of the survey from its drawing scripts, and the point list "VK/Points.csv".
#include <array>
#include <cstdio>
#include <map>

#include "anchors.hpp"

namespace vk::plot {

namespace {

std::vector<Anchors::Anchor> collect(const Drawing& d) {
    std::vector<Anchors::Anchor> out;
    for (const auto& l : d.layers) {
        for (const auto& s : l.symbols) out.push_back({s.at, s.block.empty() ? "?" : s.block});
        for (const auto& p : l.dots) out.push_back({p, ""});
    }
    return out;
}

// The corners of the points' box, metres; a drawing without points gives a unit box.
std::array<double, 4> bounds(const std::vector<Anchors::Anchor>& pts) {
    if (pts.empty()) return {0, 0, 1, 1};
    std::array<double, 4> b{pts[0].at.e, pts[0].at.n, pts[0].at.e, pts[0].at.n};
    for (const auto& p : pts) {
        b[0] = std::min(b[0], p.at.e), b[1] = std::min(b[1], p.at.n);
        b[2] = std::max(b[2], p.at.e), b[3] = std::max(b[3], p.at.n);
    }
    return b;
}

// The mean errors of the new points as vokram4's listing gives them, centimetres, by
// point number: the rows under the rule of "СРЕДНИ ЕЛИПСИ НА ГРЕШКИТЕ", "number mx my ...".
std::map<std::string, std::pair<double, double>> mean_errors(std::string_view listing) {
    std::map<std::string, std::pair<double, double>> out;
    std::size_t at = listing.find(to_cp1251("СРЕДНИ ЕЛИПСИ НА ГРЕШКИТЕ"));
    if (at == std::string_view::npos) return out;
    at = listing.find("---", at);
    if (at == std::string_view::npos) return out;
    at = listing.find('\n', at);
    while (at != std::string_view::npos && at + 1 < listing.size()) {
        const std::size_t end = listing.find('\n', at + 1);
        const std::string line(listing.substr(at + 1, end == std::string_view::npos ? end : end - at - 1));
        unsigned no = 0;
        double mx = 0, my = 0;
        if (std::sscanf(line.c_str(), "%u %lf %lf", &no, &mx, &my) != 3) break;
        out[std::to_string(no)] = {mx, my};
        at = end;
    }
    return out;
}

// A coordinate of the list: four decimals, as the report prints them; empty when unknown.
std::string field(double v) {
    return std::isnan(v) ? std::string() : real(v, 0, 4);
}

}  // namespace

Anchors::Anchors(const Drawing& d, double cell)
    : pts_(collect(d)), cells_(cell, bounds(pts_)[0], bounds(pts_)[1], bounds(pts_)[2], bounds(pts_)[3]) {
    for (std::size_t i = 0; i < pts_.size(); ++i)
        cells_.add_box(pts_[i].at.e, pts_[i].at.n, pts_[i].at.e, pts_[i].at.n, static_cast<int>(i));
}

const Anchors::Anchor* Anchors::near(const Pt& at, double reach) const {
    const Anchor* best = nullptr;
    double best_d = reach;
    cells_.any(at.e - reach, at.n - reach, at.e + reach, at.n + reach, [&](int i) {
        const Anchor& p = pts_[static_cast<std::size_t>(i)];
        const double de = p.at.e - at.e, dn = p.at.n - at.n, dd = std::sqrt(de * de + dn * dn);
        if (dd < best_d || (dd == best_d && (!best || &p < best))) best = &p, best_d = dd;
        return false;
    });
    return best;
}

const Anchors::Anchor* Anchors::of(const Label& t, const Layer& l, double extent) const {
    const double north = same_name(l.name, "2D_Names") ? 0.5 : same_name(l.name, "2D_Altitudes") ? -1.0 : 0;
    if (north != 0)
        if (const Anchor* a = near({t.at.e - 0.8 * t.size, t.at.n - north * t.size}, 0.002 + 0.01 * t.size))
            return a;
    return near(t.at, std::min(3 * t.size, extent / 10));
}

std::vector<int> Anchors::crowding(double radius) const {
    std::map<std::pair<long long, long long>, int> cells;
    auto cell = [&](const Pt& p) {
        return std::pair{static_cast<long long>(std::floor(p.e / radius)),
                         static_cast<long long>(std::floor(p.n / radius))};
    };
    for (const auto& p : pts_) ++cells[cell(p.at)];
    std::vector<int> out;
    for (const auto& p : pts_) {
        const auto [i, j] = cell(p.at);
        int n = 0;
        for (long long di = -1; di <= 1; ++di)
            for (long long dj = -1; dj <= 1; ++dj)
                if (const auto it = cells.find({i + di, j + dj}); it != cells.end()) n += it->second;
        out.push_back(n);
    }
    return out;
}

std::vector<SurveyPoint> survey_points(const Drawing& d, std::string_view listing) {
    double size = 0.2;
    for (const auto& l : d.layers)
        for (const auto& t : l.labels) size = std::max(size, t.size);
    const Anchors anchors(d, 3 * size);
    std::vector<SurveyPoint> pts;
    for (const auto& a : anchors.all())
        pts.push_back({"", a.block == "tri" ? Kind::given : a.detail() ? Kind::detail : Kind::fresh, a.at});
    auto point_of = [&](const Anchors::Anchor* a) -> SurveyPoint* {
        return a ? &pts[anchors.index(*a)] : nullptr;
    };
    constexpr double kSame = 0.002;  // metres: positions written to three decimals
    if (const Layer* names = d.find("2D_Names"))
        for (const auto& t : names->labels)
            if (SurveyPoint* p = point_of(anchors.of(t, *names, 1e9)); p && p->number.empty())
                p->number = t.text;
    for (const Spot& s : d.spots)
        if (SurveyPoint* p = point_of(anchors.near(s.at, kSame))) p->h = s.h;
    const auto errors = mean_errors(listing);
    if (const Layer* ellipses = d.find("Ellipses"))
        for (const auto& el : ellipses->ellipses) {
            SurveyPoint* p = point_of(anchors.near(el.centre, 0.0002));
            const auto it = p ? errors.find(p->number) : errors.end();
            if (it != errors.end() && p->kind == Kind::fresh)
                p->mx = it->second.first / 100, p->my = it->second.second / 100;
        }
    return pts;
}

void write_points(const std::vector<SurveyPoint>& points, TextFile& f) {
    f.line("number,kind,x,y,h,mx,my");
    for (const auto& p : points) {
        const char* kind = p.kind == Kind::given ? "given" : p.kind == Kind::fresh ? "new" : "detail";
        // A number that is not a whole number (a damaged script) is quoted as CSV quotes text.
        std::string no = ascii(p.number);
        if (no.find_first_of(",\"") != std::string::npos) {
            std::string quoted = "\"";
            for (char c : no) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            no = quoted + "\"";
        }
        f.line(no + "," + kind + "," + field(p.at.n) + "," + field(p.at.e) + "," + field(p.h) + "," +
               field(p.mx) + "," + field(p.my));
    }
}

}  // namespace vk::plot
