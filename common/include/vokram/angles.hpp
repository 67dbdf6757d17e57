// Angle and plane-geometry primitives of the suite.
//
// Angles are in grads (400 to the full circle), directions are counted clockwise
// from the +x axis; x is the northing and y the easting, so a direction angle is
// formed from the pair (dy, dx) in that order.
#pragma once

namespace vk {

// Grads per radian, 200/pi cut to nine decimals: the value of vokram1, vokram2, vokram5.
inline constexpr double kRho = 63.661977236;
// The same cut to eight decimals: the value vokram4 uses in its own trigonometry.
inline constexpr double kRhoAdjustment = 63.66197723;

// sin and cos of an angle in grads; the argument is not reduced first.
double sing(double g, double rho = kRho);
double cosg(double g, double rho = kRho);

// Distance in space; pass z1 = z2 = 0 for the plane distance. Squares are summed
// in the order dx, dy, dz.
double dist(double x1, double y1, double z1, double x2, double y2, double z2);

// Angle between two directions given within one turn, in [0, 200].
double ina(double a, double b);

// Angle reduced into (0, 400]: 0 (or anything within 1e-5 of it) comes back as 400,
// so that a "not measured" value of 0 is never produced by a reduction.
double rang(double g);

// -1, 0 or +1.
int sgn(double x);

// Direction angle of (dy, dx) in [0, 400) without the final reduction: due north
// and the degenerate pair (0, 0) give 0. This is the form the detail survey uses.
double atang_raw(double dy, double dx, double rho = kRho);

// Direction angle of (dy, dx) reduced into (0, 400]: due north and (0, 0) give 400.
double atang(double dy, double dx, double rho = kRho);

// The mean of directions as the direction of the mean of their unit vectors, so that
// directions on both sides of the zero (399.99 and 0.01) average near 0, not near 200.
// The sums are kept in `Sum`: double everywhere but in the adjustment's approximate
// orientation, which has always summed in single precision with its own `rho`.
template <class Sum>
struct BasicDirectionMean {
    explicit BasicDirectionMean(double grads_per_radian = kRho) : rho(grads_per_radian) {}
    double rho;
    Sum sy = 0, sx = 0;  // sums of sin and cos
    int count = 0;
    void add(double g) {
        sy += static_cast<Sum>(sing(g, rho)), sx += static_cast<Sum>(cosg(g, rho)), ++count;
    }
    double mean() const {  // in (0, 400]
        return atang(sy / static_cast<Sum>(count), sx / static_cast<Sum>(count), rho);
    }
    double mean_raw() const {  // in [0, 400)
        return atang_raw(sy / static_cast<Sum>(count), sx / static_cast<Sum>(count), rho);
    }
    double of_sum() const { return atang(sy, sx, rho); }  // the same direction, from the sums undivided
};
using DirectionMean = BasicDirectionMean<double>;

// Where a merged direction falls at the zero. vokram1 keeps its directions in (0, 400],
// because a 0 in its tables marks a direction not measured; the polar survey gives its
// directions in [0, 400), the form of its own direction angles (atang_raw).
enum class Seam {
    at_400,  // (0, 400]
    at_0,    // [0, 400)
};

// The direction of a sighting in the two faces of the telescope: the mean of face I (r1)
// and face II (r2) turned by 200, as the direction of the sum of their unit vectors.
inline double face_mean(double r1, double r2, Seam seam) {
    const double dy = sing(r1) + sing(r2 - 200.0), dx = cosg(r1) + cosg(r2 - 200.0);
    return seam == Seam::at_400 ? atang(dy, dx) : atang_raw(dy, dx);
}

}  // namespace vk
