#include "vokram/angles.hpp"

#include <cmath>

namespace vk {

double sing(double g, double rho) {
    return std::sin(g / rho);
}
double cosg(double g, double rho) {
    return std::cos(g / rho);
}

double dist(double x1, double y1, double z1, double x2, double y2, double z2) {
    double s = (x2 - x1) * (x2 - x1);
    s += (y2 - y1) * (y2 - y1);
    s += (z2 - z1) * (z2 - z1);
    return std::sqrt(s);
}

double ina(double a, double b) {
    const double d = std::fabs(b - a);
    return d < 200.0 ? d : 400.0 - d;
}

double rang(double g) {
    // A non-finite angle cannot be reduced by whole turns; leave it for the caller's
    // checks instead of looping for ever.
    if (!std::isfinite(g)) return g;
    if (g > 400.0) g = std::fmod(g, 400.0);  // the same result as subtracting turns, in one step
    if (std::fabs(g) < 1e-5) g = 0.0;
    if (g <= 0.0) {
        g = std::fmod(g, 400.0);
        if (g <= 0.0) g += 400.0;
    }
    return g;
}

int sgn(double x) {
    if (x == 0.0) return 0;
    return x > 0.0 ? 1 : -1;
}

double atang_raw(double dy, double dx, double rho) {
    const int sy = sgn(dy);
    const int sx = sgn(dx);
    if (sy == 0) return std::abs(sx) * (1 - sx) * 100.0;
    const double a = sx != 0 ? std::atan(dy / dx) : 0.0;
    return (2 - sx * sy - sy) * 100.0 + a * rho;
}

double atang(double dy, double dx, double rho) {
    return rang(atang_raw(dy, dx, rho));
}

}  // namespace vk
