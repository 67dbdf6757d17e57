#include "reference.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

namespace v4test {

namespace {

using Matrix = std::vector<std::vector<double>>;

// The inverse of a symmetric positive definite matrix by Gauss-Jordan elimination.
Matrix inverse(Matrix a) {
    const std::size_t n = a.size();
    Matrix inv(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1.0;
    for (std::size_t c = 0; c < n; ++c) {
        const double d = a[c][c];
        for (std::size_t k = 0; k < n; ++k) a[c][k] /= d, inv[c][k] /= d;
        for (std::size_t r = 0; r < n; ++r)
            if (const double f = a[r][c]; r != c && f != 0.0)
                for (std::size_t k = 0; k < n; ++k) a[r][k] -= f * a[c][k], inv[r][k] -= f * inv[c][k];
    }
    return inv;
}

}  // namespace

Reference adjust_reference(const Network& net) {
    constexpr double kCc = 2e6 / std::numbers::pi;  // cc per radian
    struct P {
        double x, y;
        int unknown;  // of x, from 0; -1 fixed
    };
    std::map<int, P> pts;  // plane points only
    int nc = 0;            // coordinate unknowns
    for (const Site& s : net.given)
        if (s.vi > 1) pts[s.no] = {s.x, s.y, -1};
    for (const Site& s : net.plane_approx()) pts[s.no] = {s.x, s.y, nc}, nc += 2;

    struct Obs {
        int ns, nt, group;  // group -1: a distance
        double value;
        bool direction() const { return group >= 0; }
    };
    std::vector<Obs> obs;
    std::map<std::pair<int, int>, int> groups;  // station and series
    std::vector<double> ori;                    // grads, from the group's first direction
    for (const Sight& w : net.sights) {
        if (!pts.count(w.ns) || !pts.count(w.nt)) continue;
        const P &a = pts[w.ns], &t = pts[w.nt];
        if (w.R > 0) {
            const auto [it, fresh_group] =
                groups.emplace(std::pair(w.ns, w.ps), static_cast<int>(groups.size()));
            if (fresh_group) ori.push_back(bearing(t.y - a.y, t.x - a.x) - w.R);
            obs.push_back({w.ns, w.nt, it->second, w.R});
        }
        if (w.D > 0 && (a.unknown >= 0 || t.unknown >= 0)) obs.push_back({w.ns, w.nt, -1, w.D});
    }
    const int nu = nc + static_cast<int>(groups.size());

    Reference ref;
    for (int iter = 0; iter < 50; ++iter) {
        Matrix N(nu, std::vector<double>(nu, 0.0));
        std::vector<double> b(nu, 0.0);
        std::vector<std::vector<std::pair<int, double>>> rows;
        ref.obs.clear();
        ref.pvv = 0;
        for (const Obs& o : obs) {
            const P &a = pts[o.ns], &t = pts[o.nt];
            const double dx = t.x - a.x, dy = t.y - a.y, s2 = dx * dx + dy * dy, s = std::sqrt(s2);
            // Coefficients per cm of the target's x and y: cc for a direction, cm for a distance.
            const double cx = o.direction() ? -dy / s2 * kCc / 100 : dx / s;
            const double cy = o.direction() ? dx / s2 * kCc / 100 : dy / s;
            std::vector<std::pair<int, double>> row;
            if (t.unknown >= 0) row.push_back({t.unknown, cx}), row.push_back({t.unknown + 1, cy});
            if (a.unknown >= 0) row.push_back({a.unknown, -cx}), row.push_back({a.unknown + 1, -cy});
            if (o.direction()) row.push_back({nc + o.group, -1.0});
            // v = computed - measured (less the orientation), for zero corrections.
            const double l = o.direction()
                                 ? std::remainder(bearing(dy, dx) - o.value - ori[o.group], 400.0) * 1e4
                                 : (s - o.value) * 100;
            const double p = o.direction() ? 1.0 : 2.0;
            ref.pvv += p * l * l;
            for (auto [i, ci] : row) {
                b[i] += p * ci * l;
                for (auto [j, cj] : row) N[i][j] += p * ci * cj;
            }
            rows.push_back(row);
            ref.obs.push_back({o.ns, o.nt, o.direction(), l, 1.0});
        }
        ref.Q = inverse(N);
        std::vector<double> d(nu, 0.0);
        for (int i = 0; i < nu; ++i)
            for (int j = 0; j < nu; ++j) d[i] -= ref.Q[i][j] * b[j];
        double largest = 0;
        for (auto& [no, pt] : pts)
            if (pt.unknown >= 0) {
                pt.x += d[pt.unknown] / 100, pt.y += d[pt.unknown + 1] / 100;
                largest = std::max({largest, std::fabs(d[pt.unknown]), std::fabs(d[pt.unknown + 1])});
            }
        for (std::size_t g = 0; g < ori.size(); ++g) ori[g] += d[nc + g] / 1e4;
        for (std::size_t k = 0; k < obs.size(); ++k) {
            RefObservation& ro = ref.obs[k];
            const double p = ro.direction ? 1.0 : 2.0;
            for (auto [i, ci] : rows[k]) {
                ro.v += ci * d[i];
                for (auto [j, cj] : rows[k]) ro.r -= p * ci * ref.Q[i][j] * cj;
            }
        }
        if (largest < 1e-7 && iter > 0) break;
    }
    ref.groups = static_cast<int>(groups.size());
    ref.m0 = std::sqrt(ref.pvv / (static_cast<double>(obs.size()) - nu));
    for (const Site& s : net.plane_approx()) {
        const P& pt = pts[s.no];
        ref.x.push_back(pt.x), ref.y.push_back(pt.y);
        ref.mx.push_back(ref.m0 * std::sqrt(ref.Q[pt.unknown][pt.unknown]));
        ref.my.push_back(ref.m0 * std::sqrt(ref.Q[pt.unknown + 1][pt.unknown + 1]));
    }
    return ref;
}

}  // namespace v4test
