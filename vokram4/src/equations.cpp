#include "equations.hpp"

#include <algorithm>
#include <cmath>

#include "vokram/angles.hpp"
#include "vokram/units.hpp"

namespace vk::v4 {

namespace {

constexpr double kRho = kRhoAdjustment;

// A sight at the current coordinates: the coordinate differences and the plane
// distance are kept in 32 bits, the direction angle in double.
struct Sight {
    float dx, dy, s;
    double alpha;
};

Sight sight(const Adjustment& a, const Measurement& ms) {
    const Point& P = a.pts[ms.ns];
    const Point& T = a.pts[ms.nt];
    Sight s;
    s.dx = static_cast<float>(T.x - P.x);
    s.dy = static_cast<float>(T.y - P.y);
    s.s = std::sqrt(s.dx * s.dx + s.dy * s.dy);
    s.alpha = atang(s.dy, s.dx, kRho);
    return s;
}

}  // namespace

float orientation(const Adjustment& a, const std::vector<int>& group) {
    BasicDirectionMean<float> mean(kRho);
    for (int j : group) {
        const Measurement& ms = a.ms[j];
        const Point& P = a.pts[ms.ns];
        const Point& T = a.pts[ms.nt];
        mean.add(static_cast<float>(rang(atang(T.y - P.y, T.x - P.x, kRho) - ms.R)));
    }
    return static_cast<float>(mean.mean());
}

Equation direction_equation(const Adjustment& a, const Measurement& ms, float Z) {
    const Sight s = sight(a, ms);
    const double sa = sing(s.alpha, kRho), ca = cosg(s.alpha, kRho);
    // The coefficients in cc of direction per cm of coordinate.
    constexpr double cc_per_cm = kCcPerGrad / kCmPerMetre;
    Equation eq{};
    if (const int iP = a.unknown(ms.ns)) {
        eq[0] = {kRho * sa / s.s * cc_per_cm, iP};
        eq[1] = {-kRho * ca / s.s * cc_per_cm, iP + 1};
    }
    if (const int iT = a.unknown(ms.nt)) {
        eq[2] = {-kRho * sa / s.s * cc_per_cm, iT};
        eq[3] = {kRho * ca / s.s * cc_per_cm, iT + 1};
    }
    double l = s.alpha - rang(Z + ms.R);
    if (l > 200)
        l -= 400;
    else if (l <= -200)
        l += 400;
    eq[4] = {l * kCcPerGrad, a.u + 1};
    return eq;
}

Equation distance_equation(const Adjustment& a, const Measurement& ms) {
    const Sight s = sight(a, ms);
    const double sa = sing(s.alpha, kRho), ca = cosg(s.alpha, kRho);
    Equation eq{};
    if (const int iP = a.unknown(ms.ns)) {
        eq[0] = {-ca, iP};
        eq[1] = {-sa, iP + 1};
    }
    if (const int iT = a.unknown(ms.nt)) {
        eq[2] = {ca, iT};
        eq[3] = {sa, iT + 1};
    }
    eq[4] = {(s.s - ms.D) * kCmPerMetre, a.u + 1};
    return eq;
}

std::vector<int> SumRow::nonzero() const {
    std::vector<int> out;
    out.reserve(touched_.size());
    for (int i : touched_)
        if (sum_[i] != 0.0) out.push_back(i);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace vk::v4
