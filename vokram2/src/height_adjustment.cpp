// The height adjustment: normal equations of the height differences, their Cholesky
// factor and its inverse, which gives the mean errors of the heights and the redundancy
// numbers of the differences.
#include "vokram2/height_adjustment.hpp"

#include <algorithm>
#include <cmath>

#include "vokram/statistics.hpp"
#include "vokram/units.hpp"

namespace vk::v2 {

namespace {

// A dense symmetric matrix of the unknowns, row by row.
class Square {
  public:
    explicit Square(int n) : n_(n), a_(static_cast<std::size_t>(n) * n, 0.0) {}
    double& operator()(int i, int j) { return a_[static_cast<std::size_t>(i) * n_ + j]; }
    double operator()(int i, int j) const { return a_[static_cast<std::size_t>(i) * n_ + j]; }
    int size() const { return n_; }

  private:
    int n_;
    std::vector<double> a_;
};

// N = L L' in place (lower triangle); false when a pivot is not positive.
bool cholesky(Square& N) {
    const int n = N.size();
    for (int j = 0; j < n; ++j) {
        double d = N(j, j);
        for (int k = 0; k < j; ++k) d -= N(j, k) * N(j, k);
        if (!(d > 1e-12 * std::max(1.0, N(j, j)))) return false;
        d = std::sqrt(d);
        N(j, j) = d;
        for (int i = j + 1; i < n; ++i) {
            double s = N(i, j);
            for (int k = 0; k < j; ++k) s -= N(i, k) * N(j, k);
            N(i, j) = s / d;
        }
    }
    return true;
}

// Solves L L' x = b.
std::vector<double> solve(const Square& L, std::vector<double> b) {
    const int n = L.size();
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < i; ++k) b[i] -= L(i, k) * b[k];
        b[i] /= L(i, i);
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int k = i + 1; k < n; ++k) b[i] -= L(k, i) * b[k];
        b[i] /= L(i, i);
    }
    return b;
}

// The inverse (L L')^-1, column by column.
Square inverse(const Square& L) {
    const int n = L.size();
    Square Q(n);
    std::vector<double> e(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
        std::fill(e.begin(), e.end(), 0.0);
        e[j] = 1;
        const std::vector<double> q = solve(L, e);
        for (int i = 0; i < n; ++i) Q(i, j) = q[i];
    }
    return Q;
}

// One end of a height difference: an unknown or a fixed height.
struct End {
    int k;     // the unknown, -1 for a fixed height
    double h;  // the fixed height [m]
};

// The heights of one adjustment: the unknowns' current values and, for each difference, its
// two ends.
struct Heights {
    std::vector<int> unknown;  // of each point, -1 for one that is not an unknown
    std::vector<double> h;     // the current heights of the unknowns [m]
    std::vector<std::pair<End, End>> ends;

    double height(const End& e) const { return e.k >= 0 ? h[e.k] : e.h; }
    // The residual h(to) - h(from) - dh at the current heights [cm].
    double misclosure(const HeightAdjustment& a, std::size_t o) const {
        return (height(ends[o].second) - height(ends[o].first) - a.obs[o].dh) * kCmPerMetre;
    }
};

// Unknowns: the levelled points; fixed: the heights that were given.
void take_unknowns(const Network& net, HeightAdjustment& a, Heights& hs) {
    hs.unknown.assign(static_cast<std::size_t>(net.n()), -1);
    for (int i = 0; i < net.n(); ++i) {
        const Point& p = net.pts[i];
        if (!net.has_height(i)) continue;
        if (!p.levelled) {
            ++a.fixed;
            continue;
        }
        hs.unknown[i] = static_cast<int>(a.points.size());
        a.points.push_back({p.no, p.h, p.h, 0, 0});
        hs.h.push_back(p.h);
    }
}

// Observations: every difference the levelling can form between two points with a height,
// at least one of them levelled (one between two given heights would only check the given
// heights).
void take_differences(const Network& net, HeightAdjustment& a, Heights& hs) {
    const std::vector<int>& unknown = hs.unknown;
    for (const Row& r : net.rows) {
        double dh, d;
        if (!net.has_height(r.ns) || !net.has_height(r.nt)) continue;
        if (unknown[r.ns] < 0 && unknown[r.nt] < 0) continue;
        if (!height_difference(net, r, dh, d) || !(d > 0)) continue;
        const double hm = d / 100;  // hectometres
        a.obs.push_back({net.no(r.ns), net.no(r.nt), d, dh, 1 / (hm * hm), 0, 0, 0, false});
        hs.ends.push_back({{unknown[r.ns], net.pts[r.ns].h}, {unknown[r.nt], net.pts[r.nt].h}});
        for (int k : {unknown[r.ns], unknown[r.nt]})
            if (k >= 0) ++a.points[k].differences;
    }
}

// Normal equations in centimetres: v = x(to) - x(from) + l. The model is linear, so a second
// iteration only confirms the first, unless rounding moved a height. Leaves the Cholesky factor
// of the last normal matrix in L; false when it has none.
bool iterate_heights(HeightAdjustment& a, Heights& hs, Square& L) {
    const int u = L.size();
    for (a.iterations = 1; a.iterations <= kHeightIterations; ++a.iterations) {
        L = Square(u);
        std::vector<double> b(static_cast<std::size_t>(u), 0.0);
        for (std::size_t o = 0; o < a.obs.size(); ++o) {
            const double p = a.obs[o].p, l = hs.misclosure(a, o);
            const int f = hs.ends[o].first.k, t = hs.ends[o].second.k;
            if (f >= 0) L(f, f) += p, b[f] += p * l;
            if (t >= 0) L(t, t) += p, b[t] -= p * l;
            if (f >= 0 && t >= 0) L(std::max(f, t), std::min(f, t)) -= p;
        }
        if (!cholesky(L)) return false;
        const std::vector<double> x = solve(L, b);
        double largest = 0;
        for (int k = 0; k < u; ++k) {
            hs.h[k] += x[k] / kCmPerMetre;
            largest = std::max(largest, std::fabs(x[k] / kCmPerMetre));
        }
        if (largest <= kHeightSettled) break;
    }
    a.iterations = std::min(a.iterations, kHeightIterations);
    return true;
}

// The residuals, [pvv] and the mean error of unit weight.
void residuals(HeightAdjustment& a, const Heights& hs) {
    for (std::size_t o = 0; o < a.obs.size(); ++o) {
        a.obs[o].v = hs.misclosure(a, o);
        a.pvv += a.obs[o].p * a.obs[o].v * a.obs[o].v;
    }
    a.m0 = a.redundancy > 0 ? std::sqrt(a.pvv / a.redundancy) : 0;
}

// The adjusted heights with their mean errors.
void adjusted_heights(HeightAdjustment& a, const Heights& hs, const Square& Q) {
    for (int k = 0; k < Q.size(); ++k) {
        a.points[k].h = hs.h[k];
        a.points[k].mH = a.m0 * std::sqrt(std::max(Q(k, k), 0.0));
    }
}

// The redundancy number and the standardised residual of each difference; the worst of
// those that are checked.
void test_differences(HeightAdjustment& a, const Heights& hs, const Square& Q) {
    double largest = 0;
    for (std::size_t o = 0; o < a.obs.size(); ++o) {
        HeightDifference& x = a.obs[o];
        const int f = hs.ends[o].first.k, t = hs.ends[o].second.k;
        // q_vv = 1/p - a Q a' with a = +1 at the target and -1 at the station.
        double aqa = 0;
        if (f >= 0) aqa += Q(f, f);
        if (t >= 0) aqa += Q(t, t);
        if (f >= 0 && t >= 0) aqa -= 2 * Q(f, t);
        const double qvv = std::max(1 / x.p - aqa, 0.0);
        x.r = std::clamp(x.p * qvv, 0.0, 1.0);
        x.tested = x.r >= kUncheckedR && a.m0 > 0;
        if (!x.tested) continue;
        x.w = x.v / (a.m0 * std::sqrt(qvv));
        if (std::fabs(x.w) > largest) largest = std::fabs(x.w), a.worst = static_cast<int>(o);
    }
}

}  // namespace

HeightAdjustment adjust_heights(const Network& net) {
    HeightAdjustment a;
    Heights hs;
    take_unknowns(net, a, hs);
    if (a.points.empty()) return a;
    take_differences(net, a, hs);
    const int u = static_cast<int>(a.points.size());
    a.redundancy = static_cast<int>(a.obs.size()) - u;

    Square L(u);
    if (!iterate_heights(a, hs, L)) {
        a.solvable = false;
        return a;
    }
    residuals(a, hs);
    const Square Q = inverse(L);
    adjusted_heights(a, hs, Q);
    test_differences(a, hs, Q);
    return a;
}

}  // namespace vk::v2
