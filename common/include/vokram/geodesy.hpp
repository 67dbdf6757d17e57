// The earth as the reductions of the suite see it: one mean radius for the bending of a
// sight and for the reduction of distances to the projection plane.
#pragma once

namespace vk {

// The mean radius of the earth, m.
inline constexpr double kEarthRadius = 6371000.0;

// The curvature of the earth less the refraction over a sight of length `s` [m] with the
// refraction coefficient `k`: (1 - k) s^2 / 2R [m], added to a trigonometric height
// difference station to target.
inline double curvature_refraction(double s, double k) {
    return (1 - k) * s * s / (2 * kEarthRadius);
}

// The relative correction q = H / R that reduces a horizontal distance at the height `h`
// [m] above the projection plane onto it (the distance is multiplied by 1 - q).
inline double projection_correction(double h) {
    return (kEarthRadius + h) / kEarthRadius - 1.0;
}

}  // namespace vk
