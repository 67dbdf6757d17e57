// Trigonometric levelling (report section 11), its controls (section 12) and the decision
// whether the run stops on a failed plane or height control.
#include <cmath>

#include "vokram/angles.hpp"
#include "vokram/geodesy.hpp"
#include "vokram/units.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

namespace {

// Height difference target minus station from a slope distance.
double dh_slope(const Network& w, const Row& r, double s) {
    return s * cosg(r.V) + curvature_refraction(s, w.tol.refraction) + r.hs / kMmPerMetre -
           r.ht / kMmPerMetre;
}

// The same from a horizontal distance, turned into a slope distance by the zenith angle;
// the curvature and refraction term takes the horizontal distance itself.
double dh_horizontal(const Network& w, const Row& r, double d) {
    return std::fabs(d / sing(r.V)) * cosg(r.V) + curvature_refraction(d, w.tol.refraction) +
           r.hs / kMmPerMetre - r.ht / kMmPerMetre;
}

// Mean height difference of the rows from `from` to `to`, starting at row i.
bool mean_difference(const Network& w, int i, int from, int to, double& mean) {
    double sum = 0;
    int count = 0;
    for (int j = i; j < w.m(); ++j) {
        const Row& r = w.rows[j];
        double dh, d;
        if (r.ns != from || r.nt != to || !height_difference(w, r, dh, d)) continue;
        sum += dh;
        ++count;
    }
    if (count == 0) return false;
    mean = sum / count;
    return true;
}

bool heights_apply(const Network& w) {
    return w.given_heights != 0 && w.levelling_rows != 0;
}

}  // namespace

bool levelling(const Row& r) {
    return r.hs * r.V > 0;
}

bool height_difference(const Network& w, const Row& r, double& dh, double& d) {
    if (!levelling(r)) return false;
    if (r.S > 0) {
        dh = dh_slope(w, r, r.S);
        d = std::fabs(r.S * sing(r.V));
    } else {
        d = 0;
        if (r.D > 0)
            d = r.D;
        else if (w.known(r.ns) && w.known(r.nt))
            d = dist2d(w, r.ns, r.nt);
        if (!(d > 0)) return false;
        dh = dh_horizontal(w, r, d);
    }
    return std::isfinite(dh);  // a zenith angle of 0 or 200 gives no difference
}

void h_zadacha(Network& w) {
    w.heights_ran = false;
    if (!heights_apply(w)) return;
    w.heights_ran = true;
    for (Point& p : w.pts)
        if (p.vi == 0 || p.vi == 2) p.h = kNoHeight;
    w.rep.line(" 11.ТРИГОНОМЕТРИЧНА НИВЕЛАЦИЯ.");
    w.rep.endl();
    // Whether a point has its height is told by its kind, not by the value, so that every
    // point is levelled at most once and the passes end.
    while (true) {
        int determined = 0;
        for (int i = 0; i < w.m(); ++i) {
            const Row& r = w.rows[i];
            if (!levelling(r)) continue;
            const int p = r.ns, q = r.nt;
            if (w.has_height(p) == w.has_height(q)) continue;
            double fwd = 0, rev = 0;
            const bool has_fwd = mean_difference(w, i, p, q, fwd);
            const bool has_rev = mean_difference(w, i, q, p, rev);
            if (!has_fwd && !has_rev) continue;
            const double diff = has_fwd && has_rev ? (fwd - rev) * 0.5 : has_fwd ? fwd : -rev;
            const int to = w.has_height(p) ? q : p;
            const double h = to == q ? w.pts[p].h + diff : w.pts[q].h - diff;
            if (!std::isfinite(h)) continue;  // absurd values overflow: no height rather than a wrong one
            w.pts[to].h = h;
            w.pts[to].levelled = true;
            ++w.pts[to].vi;
            ++determined;
        }
        if (determined == 0) break;
    }
}

void h_kontrola(Network& w) {
    double largest = 0;
    std::string fault = w.plane_conflict;  // the reason of the stop: the plane control first
    if (heights_apply(w)) {
        w.rep.line(" 12.КОНТРОЛИ СЛЕД НИВЕЛАЦИЯ.");
        w.rep.endl();
        int first = 0, second = 0;
        bool header = true;
        for (const Row& r : w.rows) {
            const int p = r.ns, q = r.nt;
            if (!levelling(r) || !w.has_height(p) || !w.has_height(q)) continue;
            const double value[4] = {
                w.pts[q].h - w.pts[p].h,
                r.S > 0 ? dh_slope(w, r, r.S) : 0.0,
                r.D > 0 ? dh_horizontal(w, r, r.D) : 0.0,
                w.pts[p].vi == 3 && w.pts[q].vi == 3 ? dh_horizontal(w, r, dist2d(w, p, q)) : 0.0,
            };
            // Every pair of the values that were formed; a value of exactly 0 counts as absent.
            double misclosure = 0;
            for (int a = 0; a < 4; ++a)
                for (int b = a + 1; b < 4; ++b)
                    if (value[a] * value[b] != 0 && std::fabs(value[a] - value[b]) > misclosure)
                        misclosure = std::fabs(value[a] - value[b]);
            if (misclosure > largest) largest = misclosure, first = w.no(p), second = w.no(q);
            if (misclosure > w.tol.height) {
                if (header) {
                    w.rep.endl();
                    w.rep.line("    Конфликтни точки:");
                    w.rep.line(
                        "    No    No     V          S         D      (h2-h1)   f(V,S)   f(V,D)   f(V,x,y)");
                    w.rep.line(" " + std::string(80, '~'));
                    header = false;
                }
                w.rep.line(whole(w.no(p), 6) + " " + whole(w.no(q), 5) + " " + real(r.V, 10, 5) + " " +
                           real(r.S, 9, 4) + " " + real(r.D, 9, 4) + " " + real(value[0], 8, 4) + " " +
                           real(value[1], 8, 4) + " " + real(value[2], 8, 4) + " " + real(value[3], 8, 4));
            }
        }
        w.rep.endl();
        const std::string line = "    Макс. несвръзка за коти : " + real(largest * kCmPerMetre, 6, 1) +
                                 " см. за точки " + whole(first) + " - " + whole(second);
        w.rep.line(line);
        w.rep.endl();
        if (largest > w.tol.height && fault.empty()) fault = line;
    }
    if (!fault.empty()) stop(fault);
}

}  // namespace vk::v2
