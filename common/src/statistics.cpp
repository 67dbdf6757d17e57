#include "vokram/statistics.hpp"

#include <cmath>

#include "vokram/text.hpp"

namespace vk {

namespace {

// The continued fraction of the incomplete beta function (modified Lentz), which
// converges fast for x < (a + 1) / (a + b + 2).
double beta_fraction(double x, double a, double b) {
    constexpr double tiny = 1e-300;
    double c = 1, d = 1 - (a + b) * x / (a + 1);
    if (std::fabs(d) < tiny) d = tiny;
    d = 1 / d;
    double f = d;
    for (int m = 1; m <= 300; ++m) {
        for (int half = 0; half < 2; ++half) {
            const double num = half == 0 ? m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m))
                                         : -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1));
            d = 1 + num * d;
            if (std::fabs(d) < tiny) d = tiny;
            c = 1 + num / c;
            if (std::fabs(c) < tiny) c = tiny;
            d = 1 / d;
            f *= c * d;
            if (half == 1 && std::fabs(c * d - 1) < 1e-15) return f;
        }
    }
    return f;
}

}  // namespace

double incomplete_beta(double x, double a, double b) {
    if (!(x > 0)) return 0;
    if (!(x < 1)) return 1;
    const double front =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * beta_fraction(x, a, b) / a;
    return 1 - front * beta_fraction(1 - x, b, a) / b;
}

double f_quantile(double p, double d1, double d2) {
    // F = d2 t / (d1 (1 - t)) with t beta-distributed (d1/2, d2/2): find t by halving.
    double lo = 0, hi = 1;
    for (int i = 0; i < 200 && hi - lo > 1e-15; ++i) {
        const double t = (lo + hi) / 2;
        (incomplete_beta(t, d1 / 2, d2 / 2) < p ? lo : hi) = t;
    }
    const double t = (lo + hi) / 2;
    return d2 * t / (d1 * (1 - t));
}

std::string snooping_columns(double r, bool tested, double w) {
    std::string s = real(r, 8, 3) + (tested ? real(w, 9, 2) : std::string(8, ' ') + "-");
    if (tested && std::fabs(w) > kCriticalW) s += "  *";
    if (r < kWeakR) s += "  !";
    return s;
}

}  // namespace vk
