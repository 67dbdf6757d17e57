// The running largest deviation of one family of checks, with the station and target
// where it occurred. A later value replaces it only when strictly larger, so ties keep
// the first occurrence.
#pragma once

#include <string>

#include "vokram/products.hpp"
#include "vokram/text.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

// Two rows between the same two points, in either direction.
inline bool same_side(const Row& a, const Row& b) {
    return (a.ns == b.ns && a.nt == b.nt) || (a.ns == b.nt && a.nt == b.ns);
}

struct Largest {
    double v = 0.0;
    int st = 0, tg = 0;
    void take(double d, int station, int target) {
        if (d > v) v = d, st = station, tg = target;
    }
    // "<value> <unit> <station> <joint> <target>" as the summary lines print a maximum.
    std::string where(double factor, const char* unit, const char* joint) const {
        return real(v * factor, 6, 1) + unit + whole(st) + joint + whole(tg);
    }
};

}  // namespace vk::v1
