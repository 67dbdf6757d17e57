// Variance components: the directions and the distances each estimate the mean error of
// unit weight from their own residuals. When the field work does not match the weights,
// the two differ, the single m0 is a compromise, and the studentized residuals of the
// weaker group look like gross errors. Each observation is therefore studentized with
// the m0 of its own group.
#include <cmath>
#include <set>
#include <tuple>

#include "vokram4/diagnostics.hpp"

namespace vk::v4 {

namespace {

// Two-sided test at 5 %: 2.5 % of the F distribution on either side.
constexpr double kTail = 0.025;
// The farthest a step of the balancing is stretched beyond the plain one.
constexpr double kStretch = 3.0;

void estimate(GroupVariance& g) {
    g.s0 = g.r > 0 ? std::sqrt(g.pvv / g.r) : 0;
    g.m = g.s0 / std::sqrt(g.p);
}

// Why the weights are kept, or Balancing::settled when they are to be balanced.
Balancing verdict(const VarianceComponents& vc) {
    const GroupVariance &R = vc.directions, &D = vc.distances;
    if (!vc.tested) return Balancing::untested;
    if (vc.agree) return Balancing::kept_agree;
    if (R.r < kBalanceRedundancy || D.r < kBalanceRedundancy) return Balancing::kept_redundancy;
    if (at_rounding(R, kDirectionResolution) || at_rounding(D, kDistanceResolution))
        return Balancing::kept_rounding;
    return Balancing::settled;
}

}  // namespace

void variance_components(const Adjustment& a, Diagnostics& d) {
    VarianceComponents& vc = d.variance;
    vc = {};
    vc.distances.p = a.pD;
    // vokram1 writes the mean of a side measured both ways (or repeated) into each of its
    // rows: the rows are one observation of their summed weight, whose residual each row
    // carries. They add to [pvv] as they stand, but one observation of k rows has the
    // redundancy sum(r) - (k - 1).
    std::set<std::tuple<int, int, double>> sides;
    for (std::size_t o = 0; o < a.obs.size(); ++o) {
        const Observed& x = a.obs[o];
        GroupVariance& g = x.direction() ? vc.directions : vc.distances;
        g.pvv += g.p * x.v * x.v;
        g.r += d.checks[o].r;
        const Measurement& ms = a.ms[x.m];
        if (!x.direction() && !sides.emplace(std::min(ms.ns, ms.nt), std::max(ms.ns, ms.nt), ms.D).second) {
            g.r -= 1;
            ++vc.merged;
            continue;
        }
        ++g.count;
    }
    vc.distances.r = std::max(vc.distances.r, 0.0);
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
}

void balance_weights(const Adjustment& a, Diagnostics& d) {
    VarianceComponents& vc = d.variance;
    vc.balancing = verdict(vc);
    if (vc.balancing != Balancing::settled) return;
    // The network once more, linearised at the adjusted coordinates, with the distance
    // weight of the last estimate: a direction has weight 1, so the weight that fits the
    // groups' mean errors is (mR / mD)^2 = pD F. Only the diagnostics read these
    // solutions; the adjustment itself is not touched.
    Adjustment b(a.con);
    b.xo = a.xo, b.yo = a.yo;
    b.pts = a.pts, b.g = a.g, b.ms = a.ms, b.groups = a.groups;
    b.n_dir = a.n_dir, b.n_dist = a.n_dist, b.u = a.u;
    // Each solution asks for the weight pD F(pD): on a logarithmic scale a step of log F.
    // The steps shrink by a nearly constant factor as the weight approaches its balance,
    // so a step is stretched to where the line through the last two values of log F (the
    // adjustment itself the first) meets zero, as long as that line falls (the more
    // weight to the distances, the smaller F) and the stretch stays within kStretch;
    // otherwise the plain step is taken. Only an F within kBalanceSettled of 1 settles.
    double x = std::log(a.pD * vc.F), x_prev = std::log(a.pD), h_prev = std::log(vc.F);
    for (vc.solutions = 1; vc.solutions <= kBalanceSolutions; ++vc.solutions) {
        const double pD = std::exp(x);
        b.pD = pD;
        sastavq_n(b);
        if (const int I = solve(b); I != 0) {
            vc.balancing = Balancing::failed;
            vc.undetermined = b.owner(I);
            return;
        }
        kontrola(b);
        invert(b);
        const VarianceComponents e = components(b);
        vc.balanced_pD = pD * e.F;
        if (!e.tested || !std::isfinite(vc.balanced_pD) || !(vc.balanced_pD > 0)) {
            vc.balancing = Balancing::lost;
            return;
        }
        vc.balanced_mR = e.directions.m;
        vc.balanced_mD = e.distances.m;
        if (std::fabs(vc.balanced_pD / pD - 1) < kBalanceSettled) return;
        const double h = std::log(e.F), slope = (h - h_prev) / (x - x_prev);
        const double step = slope < 0 && -1 / slope <= kStretch ? -h / slope : h;
        x_prev = x, h_prev = h;
        x += step;
    }
    vc.solutions = kBalanceSolutions;
    vc.balancing = Balancing::unsettled;
}

}  // namespace vk::v4
