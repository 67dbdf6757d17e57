// The units of the survey. Angles are kept in grads (400 to the circle) and their small
// differences printed in centesimal seconds; lengths are kept in metres, instrument and
// sign heights stored in millimetres, small differences printed in centimetres.
#pragma once

namespace vk {

inline constexpr double kCcPerGrad = 10000.0;  // centesimal seconds in one grad
inline constexpr double kCmPerMetre = 100.0;
inline constexpr double kMmPerMetre = 1000.0;
// Millimetres in a kilometre: a scale of distances in mm/km is a factor of 1 + scale / kMmPerKm.
inline constexpr double kMmPerKm = 1000000.0;

}  // namespace vk
