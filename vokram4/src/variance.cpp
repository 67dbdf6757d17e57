// Variance components: the directions and the distances each estimate the mean error of
// unit weight from their own residuals. When the field work does not match the weights,
// the two differ, the single m0 is a compromise, and the studentized residuals of the
// weaker group look like gross errors. Each observation is therefore studentized with
// the m0 of its own group.
#include <algorithm>
#include <cmath>
#include <memory>

#include "vokram/frame.hpp"
#include "vokram4/diagnostics.hpp"

namespace vk::v4 {

namespace {

// Two-sided test at 5 %: 2.5 % of the F distribution on either side.
constexpr double kTail = 0.025;
// The weights count as balanced when the two groups' variances agree within 0.1 %.
constexpr double kBalanced = 1e-3;
constexpr int kBalanceIterations = 30;

void estimate(GroupVariance& g) {
    g.s0 = g.r > 0 ? std::sqrt(g.pvv / g.r) : 0;
    g.m = g.s0 / std::sqrt(g.p);
}

}  // namespace

void variance_components(const Adjustment& a, Diagnostics& d) {
    VarianceComponents& vc = d.variance;
    vc = {};
    vc.distances.p = a.pD;
    for (std::size_t o = 0; o < a.obs.size(); ++o) {
        const Observed& x = a.obs[o];
        GroupVariance& g = x.direction() ? vc.directions : vc.distances;
        ++g.count;
        g.pvv += g.p * x.v * x.v;
        g.r += d.checks[o].r;
    }
    estimate(vc.directions);
    estimate(vc.distances);

    for (std::size_t o = 0; o < a.obs.size(); ++o) {
        const GroupVariance& g = a.obs[o].direction() ? vc.directions : vc.distances;
        ObservationCheck& c = d.checks[o];
        if (c.tested && g.estimated() && g.s0 > 0) c.w *= a.m0 / g.s0;
    }

    const GroupVariance &R = vc.directions, &D = vc.distances;
    vc.tested = R.estimated() && D.estimated() && R.s0 > 0 && D.s0 > 0;
    if (!vc.tested) return;
    vc.F = R.s0 * R.s0 / (D.s0 * D.s0);
    vc.lower = f_quantile(kTail, R.r, D.r);
    vc.upper = f_quantile(1 - kTail, R.r, D.r);
    vc.agree = vc.F >= vc.lower && vc.F <= vc.upper;
    // A direction has weight 1, so the balanced weight of a distance is (mR / mD)^2.
    vc.balanced_pD = R.m * R.m / (D.m * D.m);
}

void balance_weights(const Adjustment& a, Diagnostics& d) {
    VarianceComponents& vc = d.variance;
    if (!vc.tested) return;
    // The network once more, linearised at the adjusted coordinates, with the distance
    // weight of the last estimate, until the two groups give one m0. Only the report of
    // a memory file hears of it; the adjustment itself is not touched.
    Adjustment b(a.con);
    b.rep = std::make_unique<TextFile>();
    b.xo = a.xo, b.yo = a.yo;
    b.pts = a.pts, b.g = a.g, b.ms = a.ms, b.groups = a.groups;
    b.n_dir = a.n_dir, b.n_dist = a.n_dist, b.u = a.u;
    b.pD = vc.balanced_pD;
    // The weight is found on a logarithmic scale, where the ratio of the groups' variances
    // runs nearly straight: the first step takes the estimate of the adjustment itself,
    // the later ones the secant through the last two, the adjustment counting as the first.
    double x = std::log(b.pD), x_prev = std::log(a.pD),
           y_prev = 2 * std::log(vc.directions.s0 / vc.distances.s0);
    for (vc.balance_iterations = 1; vc.balance_iterations <= kBalanceIterations; ++vc.balance_iterations) {
        sastavq_n(b);
        // A step of the weight far off may leave a point undetermined in this side
        // adjustment: the balancing then gives up; the adjustment itself stands.
        try {
            reshava_n(b);
        } catch (const ModuleStop&) {
            return;
        }
        kontrola(b);
        opredelq_q(b);  // the cofactors the diagnostics read
        const Diagnostics e = diagnose(b);
        const GroupVariance &R = e.variance.directions, &D = e.variance.distances;
        if (!e.variance.tested) return;
        vc.balanced_pD = R.m * R.m / (D.m * D.m);
        vc.balanced_mR = R.m;
        vc.balanced_mD = D.m;
        const double y = 2 * std::log(R.s0 / D.s0);
        if (std::fabs(y) < kBalanced) break;
        const double step = y != y_prev ? -y * (x - x_prev) / (y - y_prev) : y;
        x_prev = x, y_prev = y;
        x += std::isfinite(step) ? step : y;
        b.pD = std::exp(x);
    }
    vc.balance_iterations = std::min(vc.balance_iterations, kBalanceIterations);
    vc.balanced = true;
}

}  // namespace vk::v4
