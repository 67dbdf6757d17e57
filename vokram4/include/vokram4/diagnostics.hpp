// Diagnostics of the adjustment, from the normal equations of its last iteration:
// how well each observation is checked by the others (its redundancy number), its
// studentized residual, the likeliest gross error, and the standard error ellipse of
// every new point. They go to the listing "VK/VK_4.txt" and the drawing "VK/VK_4.scr".
//
// The model is the adjustment's own: the orientations are eliminated by the groups'
// sum equations, so the cofactors of the coordinates are the inverse of the reduced
// normal matrix, and mx, my here are those of report section 13.
#pragma once

#include <vector>

#include "vokram4/adjustment.hpp"

namespace vk::v4 {

// A studentized residual beyond this marks a possible gross error: the two-sided
// 0.1 % point of the normal distribution, as in Baarda's data snooping.
inline constexpr double kCriticalW = 3.29;
// Below this redundancy number an observation is weakly controlled: a gross error in
// it shows in its own residual by less than a tenth.
inline constexpr double kWeakR = 0.1;
// Below this redundancy number a residual says nothing (the observation is not
// checked by any other one) and is not studentized.
inline constexpr double kUncheckedR = 1e-3;

struct ObservationCheck {
    double r = 0;         // redundancy number p * q_vv, 0 to 1
    double w = 0;         // studentized residual v / (m0 sqrt(q_vv))
    bool tested = false;  // w exists: the observation is checked and m0 is not 0
};

struct ErrorEllipse {
    double mx = 0, my = 0;  // cm, as in section 13
    double a = 0, b = 0;    // semi-axes of the standard error ellipse, cm
    double theta = 0;       // direction angle of the semi-major axis, grads in [0, 200)
    double mp = 0;          // point error sqrt(mx^2 + my^2), cm
};

struct Diagnostics {
    std::vector<ObservationCheck> checks;  // one per Adjustment::obs
    int worst = -1;                        // the observation of the largest |w|; -1: none tested
    int redundancy = 0;                    // degrees of freedom
    std::vector<ErrorEllipse> ellipses;    // one per new point, in table order
    double magnification = 1;              // of the ellipses in the drawing
};

// The diagnostics of the last iteration; expects the reduced normal matrix that
// RESHAVA_N left in memory and the observations of KONTROLA.
Diagnostics diagnose(const Adjustment& a);

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
