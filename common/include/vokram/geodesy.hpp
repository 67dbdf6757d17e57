// The earth as the reductions of the suite see it: the mean radius for the bending of a
// sight, and the radius of the projection for the reduction of distances onto its plane.
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

// The radius of the sphere of the projection, m. It is not the mean radius above: the
// scale of the distances reduced onto the plane follows the projection's sphere, and the
// coordinates of surveys already computed with it must come out again.
inline constexpr double kProjectionRadius = 6375050.0;

// The relative correction q = H / R that reduces a horizontal distance at the height `h`
// [m] above the projection plane onto it (the distance is multiplied by 1 - q).
inline double projection_correction(double h) {
    return (kProjectionRadius + h) / kProjectionRadius - 1.0;
}

}  // namespace vk
