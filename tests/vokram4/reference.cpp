#include "reference.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace v4test {

namespace {

using Matrix = std::vector<std::vector<double>>;

// The inverse of a symmetric positive definite matrix by Gauss-Jordan elimination
// with partial pivoting.
Matrix inverse(Matrix a) {
    const std::size_t n = a.size();
    Matrix inv(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1.0;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t piv = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[piv][c])) piv = r;
        if (std::fabs(a[piv][c]) < 1e-300) throw std::runtime_error("singular reference matrix");
        std::swap(a[c], a[piv]);
        std::swap(inv[c], inv[piv]);
        const double d = a[c][c];
        for (std::size_t k = 0; k < n; ++k) a[c][k] /= d, inv[c][k] /= d;
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c || a[r][c] == 0.0) continue;
            const double f = a[r][c];
            for (std::size_t k = 0; k < n; ++k) a[r][k] -= f * a[c][k], inv[r][k] -= f * inv[c][k];
        }
    }
    return inv;
}

double wrap200(double g) {
    g = std::remainder(g, 400.0);  // into [-200, 200]
    return g;
}

}  // namespace

Reference adjust_reference(const Network& net) {
    constexpr double kCc = 2e6 / std::numbers::pi;  // cc per radian
    // Plane points: the given ones fixed, the new ones unknown (index into the vector).
    struct P {
        double x, y;
        int unknown;  // -1 fixed
    };
    std::map<int, P> pts;
    for (const Site& s : net.given)
        if (s.vi > 1) pts[s.no] = {s.x, s.y, -1};
    const std::vector<Site> fresh = net.plane_approx();
    for (std::size_t k = 0; k < fresh.size(); ++k)
        pts[fresh[k].no] = {fresh[k].x, fresh[k].y, static_cast<int>(2 * k)};
    const int nc = static_cast<int>(2 * fresh.size());

    // Observations between plane points; orientation unknowns per station and series.
    struct Obs {
        int ns, nt;
        bool direction;
        double value;
        int group;
    };
    std::vector<Obs> obs;
    std::map<std::pair<int, int>, int> groups;
    for (const Sight& w : net.sights) {
        if (!pts.count(w.ns) || !pts.count(w.nt)) continue;
        if (w.R > 0) {
            const std::pair<int, int> key(w.ns, w.ps);
            if (!groups.count(key)) {
                const int g = static_cast<int>(groups.size());
                groups[key] = g;
            }
            obs.push_back({w.ns, w.nt, true, w.R, groups[key]});
        }
        if (w.D > 0 && (pts[w.ns].unknown >= 0 || pts[w.nt].unknown >= 0))
            obs.push_back({w.ns, w.nt, false, w.D, -1});
    }
    const int ng = static_cast<int>(groups.size());
    const int nu = nc + ng;
    std::vector<double> ori(static_cast<std::size_t>(ng), 0.0);  // grads
    std::vector<char> ori_set(static_cast<std::size_t>(ng), 0);
    for (const Obs& o : obs) {
        if (!o.direction || ori_set[o.group]) continue;
        const P& a = pts[o.ns];
        const P& b = pts[o.nt];
        ori[o.group] = bearing(b.y - a.y, b.x - a.x) - o.value;
        ori_set[o.group] = 1;
    }

    std::vector<RefObservation> ref_obs;
    Matrix Q;
    double pvv = 0, max_vR = 0, max_vD = 0;
    std::vector<std::vector<std::pair<int, double>>> rows(obs.size());
    std::vector<double> ls(obs.size()), ps(obs.size());
    for (int iter = 0; iter < 50; ++iter) {
        Matrix N(nu, std::vector<double>(nu, 0.0));
        std::vector<double> b(nu, 0.0);
        pvv = max_vR = max_vD = 0;
        for (std::size_t oi = 0; oi < obs.size(); ++oi) {
            const Obs& o = obs[oi];
            const P& a = pts[o.ns];
            const P& t = pts[o.nt];
            const double dx = t.x - a.x, dy = t.y - a.y, s2 = dx * dx + dy * dy, s = std::sqrt(s2);
            std::vector<std::pair<int, double>> row;
            double l, p;
            if (o.direction) {
                // v = alpha - (R + o), cc; coefficients in cc per cm.
                const double cx = -dy / s2 * kCc / 100, cy = dx / s2 * kCc / 100;
                if (t.unknown >= 0) row.push_back({t.unknown, cx}), row.push_back({t.unknown + 1, cy});
                if (a.unknown >= 0) row.push_back({a.unknown, -cx}), row.push_back({a.unknown + 1, -cy});
                row.push_back({nc + o.group, -1.0});
                l = wrap200(bearing(dy, dx) - o.value - ori[o.group]) * 10000;
                p = 1.0;
                max_vR = std::max(max_vR, std::fabs(l));
            } else {
                const double cx = dx / s, cy = dy / s;
                if (t.unknown >= 0) row.push_back({t.unknown, cx}), row.push_back({t.unknown + 1, cy});
                if (a.unknown >= 0) row.push_back({a.unknown, -cx}), row.push_back({a.unknown + 1, -cy});
                l = (s - o.value) * 100;
                p = 2.0;
                max_vD = std::max(max_vD, std::fabs(l));
            }
            rows[oi] = row, ls[oi] = l, ps[oi] = p;
            pvv += p * l * l;
            for (auto [i, ci] : row) {
                b[i] += p * ci * l;
                for (auto [j, cj] : row) N[i][j] += p * ci * cj;
            }
        }
        Q = inverse(N);
        double largest = 0;
        std::vector<double> d(nu, 0.0);
        for (int i = 0; i < nu; ++i)
            for (int j = 0; j < nu; ++j) d[i] -= Q[i][j] * b[j];
        for (auto& [no, pt] : pts) {
            if (pt.unknown < 0) continue;
            pt.x += d[pt.unknown] / 100;
            pt.y += d[pt.unknown + 1] / 100;
            largest = std::max({largest, std::fabs(d[pt.unknown]), std::fabs(d[pt.unknown + 1])});
        }
        for (int g = 0; g < ng; ++g) ori[g] += d[nc + g] / 10000;
        // Residuals of this iteration's corrections and the redundancy numbers.
        ref_obs.clear();
        for (std::size_t oi = 0; oi < obs.size(); ++oi) {
            RefObservation ro{obs[oi].ns, obs[oi].nt, obs[oi].direction, ls[oi], 1.0};
            for (auto [i, ci] : rows[oi]) {
                ro.v += ci * d[i];
                for (auto [j, cj] : rows[oi]) ro.r -= ps[oi] * ci * Q[i][j] * cj;
            }
            ref_obs.push_back(ro);
        }
        if (largest < 1e-7 && iter > 0) break;
    }

    Reference ref;
    const int redundancy = static_cast<int>(obs.size()) - nu;
    ref.pvv = pvv;
    ref.m0 = std::sqrt(pvv / redundancy);
    ref.max_vR = max_vR;
    ref.max_vD = max_vD;
    ref.obs = ref_obs;
    ref.Qxy.assign(nc, std::vector<double>(nc, 0.0));
    for (int i = 0; i < nc; ++i)
        for (int j = 0; j < nc; ++j) ref.Qxy[i][j] = Q[i][j];
    for (std::size_t k = 0; k < fresh.size(); ++k) {
        const P& pt = pts[fresh[k].no];
        ref.x.push_back(pt.x);
        ref.y.push_back(pt.y);
        ref.mx.push_back(ref.m0 * std::sqrt(Q[2 * k][2 * k]));
        ref.my.push_back(ref.m0 * std::sqrt(Q[2 * k + 1][2 * k + 1]));
    }
    return ref;
}

}  // namespace v4test
