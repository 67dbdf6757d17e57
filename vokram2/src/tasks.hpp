// Helpers shared by the intersection tasks of the plane solution.
#pragma once

#include <cmath>
#include <string>

#include "vokram2/network.hpp"

namespace vk::v2 {

// A complete candidate gets its label at once, before any geometric test: a rejected
// candidate leaves the label on a line of its own.
inline void label(Network& w, const char* text) {
    w.rep.endl();
    w.rep.put(text);
}

// Point numbers as the report names them, without leading blanks.
inline std::string num(const Network& w, int p) {
    return whole(w.no(p));
}

// A sine this small means a figure with collinear or coincident points: the intersection
// is undefined and the candidate is passed over.
inline bool flat(double sine) {
    return !(std::fabs(sine) > 1e-10);
}

}  // namespace vk::v2
