// The cofactors of the last iteration and what the surveyor reads from them: the
// redundancy numbers and studentized residuals of the observations, and the error
// ellipses of the new points.
#include "vokram4/diagnostics.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "vokram/units.hpp"

namespace vk::v4 {

namespace {

// f' Q f for a row f given as coefficients at unknowns.
double quadratic(const Cofactors& Q, const std::vector<int>& at, const std::vector<double>& f) {
    double sum = 0;
    for (std::size_t p = 0; p < at.size(); ++p)
        for (std::size_t q = 0; q < at.size(); ++q) sum += f[p] * Q(at[p], at[q]) * f[q];
    return sum;
}

// The redundancy numbers. A distance has the cofactor of its residual
// 1/pD - a' Q a. A direction of a group of k has its orientation eliminated: its
// equation less the group's mean equation, f = a - s/k, gives 1 - 1/k - f' Q f, where
// 1/k is the share of the orientation itself.
void redundancies(const Adjustment& a, const Cofactors& Q, Diagnostics& d) {
    std::vector<int> at;
    std::vector<double> f, s;
    auto index_of = [&](int i) {
        const auto it = std::lower_bound(at.begin(), at.end(), i);
        return static_cast<std::size_t>(it - at.begin());
    };
    auto take = [&](std::size_t o, double q, double p) {
        ObservationCheck& c = d.checks[o];
        c.r = std::clamp(p * q, 0.0, 1.0);
        c.tested = c.r >= kUncheckedR && a.m0 > 0;
        if (c.tested) c.w = a.obs[o].v / (a.m0 * std::sqrt(q));
    };

    std::size_t o = 0;
    while (o < a.obs.size()) {
        if (!a.obs[o].direction()) {
            const Observed& x = a.obs[o];
            at.clear();
            for (int t = 0; t < 4; ++t)
                if (x.i[t] != 0) at.push_back(x.i[t]);
            std::sort(at.begin(), at.end());
            f.assign(at.size(), 0.0);
            for (int t = 0; t < 4; ++t)
                if (x.i[t] != 0) f[index_of(x.i[t])] += x.c[t];
            take(o, 1.0 / a.pD - quadratic(Q, at, f), a.pD);
            ++o;
            continue;
        }
        // One orientation group: its directions follow one another.
        std::size_t end = o;
        while (end < a.obs.size() && a.obs[end].group == a.obs[o].group) ++end;
        const double k = static_cast<double>(end - o);
        at.clear();
        for (std::size_t m = o; m < end; ++m)
            for (int t = 0; t < 4; ++t)
                if (a.obs[m].i[t] != 0) at.push_back(a.obs[m].i[t]);
        std::sort(at.begin(), at.end());
        at.erase(std::unique(at.begin(), at.end()), at.end());
        s.assign(at.size(), 0.0);
        for (std::size_t m = o; m < end; ++m)
            for (int t = 0; t < 4; ++t)
                if (a.obs[m].i[t] != 0) s[index_of(a.obs[m].i[t])] += a.obs[m].c[t];
        for (std::size_t m = o; m < end; ++m) {
            f.resize(at.size());
            for (std::size_t p = 0; p < at.size(); ++p) f[p] = -s[p] / k;
            for (int t = 0; t < 4; ++t)
                if (a.obs[m].i[t] != 0) f[index_of(a.obs[m].i[t])] += a.obs[m].c[t];
            take(m, 1.0 - 1.0 / k - quadratic(Q, at, f), 1.0);
        }
        o = end;
    }
}

}  // namespace

double magnification(double extent_m, double largest_a_cm) {
    if (!(extent_m > 0) || !(largest_a_cm > 0)) return 1;
    const double wanted = 0.02 * extent_m / (largest_a_cm / kCmPerMetre);
    double best = 1, off = std::numeric_limits<double>::infinity();
    for (double decade = 1; decade <= 1e9; decade *= 10)
        for (double step : {1.0, 2.0, 5.0}) {
            const double m = step * decade;
            const double d = std::fabs(std::log(m / wanted));
            if (d < off) best = m, off = d;
        }
    return best;
}

VarianceComponents components(const Adjustment& a) {
    Diagnostics d;
    d.checks.resize(a.obs.size());
    redundancies(a, a.cofactors, d);
    variance_components(a, d);
    return d.variance;
}

Diagnostics diagnose(const Adjustment& a) {
    Diagnostics d;
    d.redundancy = a.n_dir + a.n_dist - a.u - static_cast<int>(a.groups.size());
    d.checks.resize(a.obs.size());
    const Cofactors& Q = a.cofactors;
    redundancies(a, Q, d);
    variance_components(a, d);
    double largest = 0;
    for (std::size_t o = 0; o < d.checks.size(); ++o) {
        const ObservationCheck& c = d.checks[o];
        if (c.tested && std::fabs(c.w) > largest) largest = std::fabs(c.w), d.worst = static_cast<int>(o);
    }

    // The ellipses: the eigenvalues of each point's 2 x 2 block of cofactors, and the
    // direction angle of the larger one from x (north) towards y (east).
    double a_max = 0;
    for (int k = 0; k < a.n() - a.g; ++k) {
        const int ix = 2 * k + 1;
        const double qxx = Q(ix, ix), qyy = Q(ix + 1, ix + 1), qxy = Q(ix, ix + 1);
        const double mean = (qxx + qyy) / 2, half = std::hypot((qxx - qyy) / 2, qxy);
        ErrorEllipse e;
        e.mx = a.mx(k);
        e.my = a.my(k);
        e.mp = std::hypot(e.mx, e.my);
        e.a = a.m0 * std::sqrt(std::max(mean + half, 0.0));
        e.b = a.m0 * std::sqrt(std::max(mean - half, 0.0));
        double theta = std::atan2(2 * qxy, qxx - qyy) / 2 * 200 / std::numbers::pi;
        if (theta < 0) theta += 200;
        e.theta = theta >= 200 ? 0 : theta;
        a_max = std::max(a_max, e.a);
        d.ellipses.push_back(e);
    }

    // The extent of the network's plane points, as the drawings show it.
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    for (int p = 0; p < a.n(); ++p) {
        const Point& pt = a.pts[p];
        if (p == 0 || pt.x < xmin) xmin = pt.x;
        if (p == 0 || pt.x > xmax) xmax = pt.x;
        if (p == 0 || pt.y < ymin) ymin = pt.y;
        if (p == 0 || pt.y > ymax) ymax = pt.y;
    }
    d.magnification = magnification(std::max(xmax - xmin, ymax - ymin), a_max);
    return d;
}

}  // namespace vk::v4
