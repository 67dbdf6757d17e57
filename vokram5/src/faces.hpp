// The two telescope faces of a sighting, shared by the station's own sights and the
// detail sights.
#pragma once

#include <cmath>
#include <string>
#include <utility>

#include "vokram/angles.hpp"
#include "vokram/text.hpp"
#include "vokram5/polar.hpp"

namespace vk::v5 {

// The largest face differences of a station or a detail block.
struct FaceMaxima {
    Largest r, z, s;  // direction, zenith angle, slope distance
};

// Merges face II (r2, z2, s2) into face I (r1, z1, s1) of one sighting of point `pt`.
// The face with the smaller zenith angle leads; the direction becomes the mean of face I
// and face II turned by 200, and the zenith angle and slope distance the means that
// cancel the index error. Returns true when the two faces were exchanged.
inline bool merge_faces(double& r1, double& z1, double& s1, double r2, double z2, double s2, long long pt,
                        FaceMaxima& m) {
    const bool exchange = z1 * z2 > 0.0 && z1 > z2;
    if (exchange) {
        std::swap(r1, r2);
        std::swap(z1, z2);
        std::swap(s1, s2);
    }
    if (r1 * r2 > 0.0) {
        m.r.take(std::fabs(rang(r2 - r1) - 200.0), pt);
        r1 = face_mean(r1, r2, Seam::at_0);
    }
    if (z1 * z2 > 0.0) {
        const double d = z1 + z2 - 400.0;
        m.z.take(std::fabs(d), pt);
        z1 -= d / 2.0;
    }
    if (s1 * s2 > 0.0) {
        const double mean = (s1 + s2) / 2.0;
        m.s.take(std::fabs(s1 - mean), pt);
        s1 = mean;
    }
    return exchange;
}

// A sighting in one face only. A face-II reading (zenith angle above 200) is turned to
// face I: a face-II reading is 400 - z + i for an index error i, and the face-I
// correction is -i, so z = 400 - V - correction. An unmeasured zenith angle stays 0.
inline void single_face(double& r, double& z, double index) {
    if (z > 200.0) {
        z = 400.0 - z - index;
        if (r > 0.0) r = rang(r + 200.0);
    } else if (z > 0.0) {
        z += index;
    }
}

// The value part of a summary line: the largest difference in the line's unit and its
// point when it exceeds `limit`, otherwise the words that none was found.
inline std::string largest_or_none(const Largest& m, double limit, double factor, const char* unit) {
    if (m.v > limit) return real(m.v * factor, 6, 1) + unit + whole(m.tg);
    return "  не е открита.";
}

}  // namespace vk::v5
