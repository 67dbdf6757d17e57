// Diagnostics of the adjustment, from the normal equations of its last iteration:
// how well each observation is checked by the others (its redundancy number), its
// studentized residual, the likeliest gross error, and the standard error ellipse of
// every new point. They go to the listing "VK/VK_4.txt" and the drawing "VK/VK_4.scr".
//
// The model is the adjustment's own: the orientations are eliminated by the groups'
// sum equations, so the cofactors of the coordinates are the inverse of the reduced
// normal matrix, and mx, my here are those of report section 13.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "vokram/statistics.hpp"
#include "vokram4/adjustment.hpp"

namespace vk::v4 {

struct ObservationCheck {
    double r = 0;         // redundancy number p * q_vv, 0 to 1
    double w = 0;         // studentized residual v / (m0 sqrt(q_vv)), m0 of its own group
    bool tested = false;  // w exists: the observation is checked and m0 is not 0
};

struct ErrorEllipse {
    double mx = 0, my = 0;  // cm, as in section 13
    double a = 0, b = 0;    // semi-axes of the standard error ellipse, cm
    double theta = 0;       // direction angle of the semi-major axis, grads in [0, 200)
    double mp = 0;          // point error sqrt(mx^2 + my^2), cm
};

// A group's redundancy below this estimates no variance of its own: its observations are
// studentized with the global m0 and the groups are not compared.
inline constexpr double kGroupRedundancy = 1.0;

// One group of observations (the directions or the distances) on its own: its part of
// [pvv], its part of the redundancy (the sum of its redundancy numbers) and the mean
// errors estimated from them.
struct GroupVariance {
    int count = 0;   // observations
    double pvv = 0;  // the group's part of [pvv]
    double r = 0;    // its redundancy
    double p = 1;    // weight of one observation
    double s0 = 0;   // mean error of unit weight from the group alone, cc: sqrt(pvv / r)
    double m = 0;    // mean error of one observation, s0 / sqrt(p): cc or cm
    bool estimated() const { return r >= kGroupRedundancy; }
};

// What became of the distance weight after the F test.
enum class Balancing {
    untested,         // no F test: a group without an estimate of its own
    kept_agree,       // the groups agree with the weights
    kept_redundancy,  // a group with too little redundancy to be weighed against the other
    kept_rounding,    // a group's residuals lie at the rounding of its readings in the data file
    settled,          // balanced: the weight changed by less than kBalanceSettled
    unsettled,        // still changing after kBalanceSolutions solutions
    failed,           // a point undetermined under a trial weight
    lost,             // a group without an estimate under a trial weight
};

// The least redundancy of each group that lets the groups be balanced against each other.
inline constexpr double kBalanceRedundancy = 3.0;
// Solutions of the network with a new distance weight, at most, and the relative change
// of the weight below which it has settled.
inline constexpr int kBalanceSolutions = 5;
inline constexpr double kBalanceSettled = 0.01;
// The readings' resolution in "Temp/VK_2.tmp": directions to 0.00001 grads (0.1 cc),
// distances to 0.0001 m (0.01 cm). Rounding alone leaves a mean error of resolution/sqrt(12);
// a group's mean error of one observation must be this many times that to say anything
// of the field work.
inline constexpr double kDirectionResolution = 0.1;  // cc
inline constexpr double kDistanceResolution = 0.01;  // cm
inline constexpr double kAboveRounding = 2.0;
// True when the mean error of one observation of group `g`, whose readings are written
// to `resolution`, is no more than the rounding would leave.
inline bool at_rounding(const GroupVariance& g, double resolution) {
    return g.m < kAboveRounding * resolution / std::sqrt(12.0);
}

// The variance components of the directions and the distances, and the test whether
// they agree with the weights: F = s0(directions)^2 / s0(distances)^2 against the limits
// of the F distribution that take 2.5 % on either side. A side that vokram1 measured both
// ways and merged into one mean, written in several rows, is one observation here.
struct VarianceComponents {
    GroupVariance directions, distances;
    int merged = 0;       // sides whose rows vokram1 merged, each counted once
    bool tested = false;  // both groups estimated
    double F = 0, lower = 0, upper = 0;
    bool agree = true;  // F within [lower, upper]
    // The distance weight balanced by the iterative estimate of the variance components
    // (each solution multiplies pD by its F), or why the weights are kept.
    Balancing balancing = Balancing::untested;
    int solutions = 0;                        // of the network with a new weight
    double balanced_pD = 0;                   // the weight the last solution asks for
    double balanced_mR = 0, balanced_mD = 0;  // cc and cm, of the last solution
    std::uint16_t undetermined = 0;           // the point a failed solution left undetermined
};

struct Diagnostics {
    std::vector<ObservationCheck> checks;  // one per Adjustment::obs
    int worst = -1;                        // the observation of the largest |w|; -1: none tested
    int redundancy = 0;                    // degrees of freedom
    std::vector<ErrorEllipse> ellipses;    // one per new point, in table order
    double magnification = 1;              // of the ellipses in the drawing
    VarianceComponents variance;
};

// The diagnostics of the last iteration; expects the observations of KONTROLA and
// the cofactors of OPREDELQ_Q.
Diagnostics diagnose(const Adjustment& a);

// The variance components from the residuals and the redundancy numbers in `d`, and
// every studentized residual taken over to the m0 of its own group.
void variance_components(const Adjustment& a, Diagnostics& d);
// The variance components alone of a solution with its cofactors.
VarianceComponents components(const Adjustment& a);

// Where the F test rejects and the groups can be weighed, the network solved again at
// the adjusted coordinates, each time with the distance weight times the last F, until
// the weight settles (the iterative estimate of variance components); otherwise the
// reason the weights are kept. The adjustment `a` and the rest of `d` stay as they are.
void balance_weights(const Adjustment& a, Diagnostics& d);

// The magnification of the ellipses in the drawing: 1, 2 or 5 times a power of ten,
// the nearest (by ratio) to the one that draws the largest semi-major axis (cm) at
// 2 % of the network's extent (m); 1 when there is nothing to magnify.
double magnification(double extent_m, double largest_a_cm);

// "VK/VK_4.txt": the figures of the last iteration, every observation with its
// residual, redundancy number and studentized residual, the likeliest gross error,
// and the ellipses of the new points.
void write_listing(const Adjustment& a, const Diagnostics& d, TextFile& f);
// "VK/VK_4.scr": the layer "Ellipses" with every new point's magnified error ellipse.
void write_ellipses(const Adjustment& a, const Diagnostics& d, TextFile& f);

}  // namespace vk::v4
