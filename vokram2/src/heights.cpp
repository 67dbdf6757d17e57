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
double dh_slope(const Network& net, const Row& r, double s) {
    return s * cosg(r.V) + curvature_refraction(s, net.tol.refraction) + r.hs / kMmPerMetre -
           r.ht / kMmPerMetre;
}

// The same from a horizontal distance, turned into a slope distance by the zenith angle;
// the curvature and refraction term takes the horizontal distance itself.
double dh_horizontal(const Network& net, const Row& r, double d) {
    return std::fabs(d / sing(r.V)) * cosg(r.V) + curvature_refraction(d, net.tol.refraction) +
           r.hs / kMmPerMetre - r.ht / kMmPerMetre;
}

// Mean height difference of the rows from `from` to `to`, starting at row i.
bool mean_difference(const Network& net, int i, int from, int to, double& mean) {
    double sum = 0;
    int count = 0;
    for (int j = i; j < net.m(); ++j) {
        const Row& r = net.rows[j];
        double dh, d;
        if (r.ns != from || r.nt != to || !height_difference(net, r, dh, d)) continue;
        sum += dh;
        ++count;
    }
    if (count == 0) return false;
    mean = sum / count;
    return true;
}

bool heights_apply(const Network& net) {
    return net.given_heights != 0 && net.levelling_rows != 0;
}

}  // namespace

bool levelling(const Row& r) {
    return r.hs * r.V > 0;
}

bool height_difference(const Network& net, const Row& r, double& dh, double& d) {
    if (!levelling(r)) return false;
    if (r.S > 0) {
        dh = dh_slope(net, r, r.S);
        d = std::fabs(r.S * sing(r.V));
    } else {
        d = 0;
        if (r.D > 0)
            d = r.D;
        else if (net.known(r.ns) && net.known(r.nt))
            d = dist2d(net, r.ns, r.nt);
        if (!(d > 0)) return false;
        dh = dh_horizontal(net, r, d);
    }
    return std::isfinite(dh);  // a zenith angle of 0 or 200 gives no difference
}

void h_zadacha(Network& net) {
    net.heights_ran = false;
    if (!heights_apply(net)) return;
    net.heights_ran = true;
    for (Point& p : net.pts)
        if (p.vi == 0 || p.vi == 2) p.h = kNoHeight;
    net.rep.line(" 11.ТРИГОНОМЕТРИЧНА НИВЕЛАЦИЯ.");
    net.rep.endl();
    // Whether a point has its height is told by its kind, not by the value, so that every
    // point is levelled at most once and the passes end.
    while (true) {
        int determined = 0;
        for (int i = 0; i < net.m(); ++i) {
            const Row& r = net.rows[i];
            if (!levelling(r)) continue;
            const int p = r.ns, q = r.nt;
            if (net.has_height(p) == net.has_height(q)) continue;
            double fwd = 0, rev = 0;
            const bool has_fwd = mean_difference(net, i, p, q, fwd);
            const bool has_rev = mean_difference(net, i, q, p, rev);
            if (!has_fwd && !has_rev) continue;
            const double diff = has_fwd && has_rev ? (fwd - rev) * 0.5 : has_fwd ? fwd : -rev;
            const int to = net.has_height(p) ? q : p;
            const double h = to == q ? net.pts[p].h + diff : net.pts[q].h - diff;
            if (!std::isfinite(h)) continue;  // absurd values overflow: no height rather than a wrong one
            net.pts[to].h = h;
            net.pts[to].levelled = true;
            ++net.pts[to].vi;
            ++determined;
        }
        if (determined == 0) break;
    }
}

void h_kontrola(Network& net) {
    double largest = 0;
    std::string fault = net.plane_conflict;  // the reason of the stop: the plane control first
    if (heights_apply(net)) {
        net.rep.line(" 12.КОНТРОЛИ СЛЕД НИВЕЛАЦИЯ.");
        net.rep.endl();
        int first = 0, second = 0;
        bool header = true;
        for (const Row& r : net.rows) {
            const int p = r.ns, q = r.nt;
            if (!levelling(r) || !net.has_height(p) || !net.has_height(q)) continue;
            const double value[4] = {
                net.pts[q].h - net.pts[p].h,
                r.S > 0 ? dh_slope(net, r, r.S) : 0.0,
                r.D > 0 ? dh_horizontal(net, r, r.D) : 0.0,
                net.pts[p].vi == 3 && net.pts[q].vi == 3 ? dh_horizontal(net, r, dist2d(net, p, q)) : 0.0,
            };
            // Every pair of the values that were formed; a value of exactly 0 counts as absent.
            double misclosure = 0;
            for (int a = 0; a < 4; ++a)
                for (int b = a + 1; b < 4; ++b)
                    if (value[a] * value[b] != 0 && std::fabs(value[a] - value[b]) > misclosure)
                        misclosure = std::fabs(value[a] - value[b]);
            if (misclosure > largest) largest = misclosure, first = net.no(p), second = net.no(q);
            if (misclosure > net.tol.height) {
                if (header) {
                    net.rep.endl();
                    net.rep.line("    Конфликтни точки:");
                    net.rep.line(
                        "    No    No     V          S         D      (h2-h1)   f(V,S)   f(V,D)   f(V,x,y)");
                    net.rep.line(" " + std::string(80, '~'));
                    header = false;
                }
                net.rep.line(whole(net.no(p), 6) + " " + whole(net.no(q), 5) + " " + real(r.V, 10, 5) + " " +
                             real(r.S, 9, 4) + " " + real(r.D, 9, 4) + " " + real(value[0], 8, 4) + " " +
                             real(value[1], 8, 4) + " " + real(value[2], 8, 4) + " " + real(value[3], 8, 4));
            }
        }
        net.rep.endl();
        const std::string line = "    Макс. несвръзка за коти : " + real(largest * kCmPerMetre, 6, 1) +
                                 " см. за точки " + whole(first) + " - " + whole(second);
        net.rep.line(line);
        net.rep.endl();
        if (largest > net.tol.height && fault.empty()) fault = line;
    }
    if (!fault.empty()) stop(fault);
}

}  // namespace vk::v2
