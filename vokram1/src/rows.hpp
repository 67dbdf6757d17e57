// What vokram1's checks share: rows between the same two points, and the largest
// deviation of a family of checks.
#pragma once

#include <string>

#include "vokram/products.hpp"
#include "vokram/statistics.hpp"
#include "vokram/text.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

// Below these a two-face difference shows as none: half a cc of the mean direction or
// zenith angle (the difference itself is twice that), half a millimetre of a distance.
inline constexpr double kLeastFaceAngle = 0.00005;  // grads
inline constexpr double kLeastFaceLength = 0.0005;  // m
// Above this largest twice-index error (9 cc) the report gives the mean index error.
inline constexpr double kLeastIndexShown = 0.0009;  // grads
// Below this a repeated distance or height difference shows as none: the report gives
// them in centimetres with one decimal, angles in cc (kLeastShownAngle).
inline constexpr double kLeastRepeatLength = 0.0002;  // m

// Two rows between the same two points, in either direction.
inline bool same_side(const Row& a, const Row& b) {
    return (a.ns == b.ns && a.nt == b.nt) || (a.ns == b.nt && a.nt == b.ns);
}

}  // namespace vk::v1
