// The statistics behind the adjustments' listings: the limits of data snooping and the
// F distribution of the ratio of two variance estimates.
#pragma once

#include <string>

#include "vokram/text.hpp"

namespace vk {

// The running largest deviation of one family of checks, with the station and the target
// (point numbers) where it occurred; a polar station's checks name the target only. A
// later value replaces it only when strictly larger, so ties keep the first occurrence.
// Below these a summary names no largest deviation.
inline constexpr double kLeastShownAngle = 0.0002;  // grads (2 cc)
inline constexpr double kLeastShownLength = 0.002;  // m (2 mm)

struct Largest {
    double v = 0.0;
    int st = 0, tg = 0;
    void take(double d, int station, int target) {
        if (d > v) v = d, st = station, tg = target;
    }
    void take(double d, int target) { take(d, 0, target); }
    // "<value> <unit> <station> <joint> <target>" as the summary lines print a maximum.
    std::string where(double factor, const char* unit, const char* joint) const {
        return real(v * factor, 6, 1) + unit + whole(st) + joint + whole(tg);
    }
};

// A studentized residual beyond this marks a possible gross error: the two-sided
// 0.1 % point of the normal distribution, as in Baarda's data snooping.
inline constexpr double kCriticalW = 3.29;
// Below this redundancy number an observation is weakly controlled: a gross error in
// it shows in its own residual by less than a tenth.
inline constexpr double kWeakR = 0.1;
// Below this redundancy number a residual says nothing (the observation is not
// checked by any other one) and is not studentized.
inline constexpr double kUncheckedR = 1e-3;

// The redundancy number and studentized residual columns of a residual's row in a
// diagnostics listing (r in 8 columns, w in 9 or "-" when not studentized), followed by
// "  *" for a possible gross error and "  !" for a weakly controlled observation.
std::string snooping_columns(double r, bool tested, double w);

// The regularized incomplete beta function I_x(a, b), x in [0, 1], a, b > 0.
double incomplete_beta(double x, double a, double b);

// The p-quantile (0 < p < 1) of the F distribution with d1 and d2 degrees of freedom,
// which need not be whole (a group's redundancy is a sum of redundancy numbers).
double f_quantile(double p, double d1, double d2);

}  // namespace vk
