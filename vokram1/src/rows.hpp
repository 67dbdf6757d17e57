// What vokram1's checks share: rows between the same two points, and the largest
// deviation of a family of checks.
#pragma once

#include <string>

#include "vokram/products.hpp"
#include "vokram/statistics.hpp"
#include "vokram/text.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

// Two rows between the same two points, in either direction.
inline bool same_side(const Row& a, const Row& b) {
    return (a.ns == b.ns && a.nt == b.nt) || (a.ns == b.nt && a.nt == b.ns);
}

}  // namespace vk::v1
