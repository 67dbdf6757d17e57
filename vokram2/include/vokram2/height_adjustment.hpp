// Least-squares adjustment of the heights that the trigonometric levelling gave.
//
// The levelling carries the heights from point to point, pass by pass, and only checks
// the height differences it did not need. Here every height difference that the levelling
// can form is an observation (a forward and a reverse sight each one, with curvature and
// refraction as the levelling reduces them); the given heights are fixed, the heights of
// the levelled points are the unknowns, and a height difference over D hectometres has the
// weight 1 / D^2. The result is the listing "VK/VK_H.txt"; the tables are not changed.
#pragma once

#include <cstdint>
#include <vector>

#include "vokram2/network.hpp"

namespace vk::v2 {

// Another iteration when a height changes by more than this [m].
inline constexpr double kHeightSettled = 0.001;
// Iterations at most (the model is linear: the second one only confirms the first).
inline constexpr int kHeightIterations = 10;

// One height difference as it entered the adjustment.
struct HeightDifference {
    std::uint16_t from = 0, to = 0;  // station and target numbers
    double d = 0;                    // horizontal distance [m]
    double dh = 0;                   // observed difference target minus station [m]
    double p = 0;                    // weight 1 / D^2, D in hectometres
    double v = 0;                    // residual [cm]
    double r = 0;                    // redundancy number, 0 to 1
    double w = 0;                    // studentized residual v / (m0 sqrt(q_vv))
    bool tested = false;             // w exists: the difference is checked and m0 is not 0
};

// A levelled point with its adjusted height.
struct AdjustedHeight {
    std::uint16_t no = 0;
    double levelled = 0;  // the height of the levelling [m]
    double h = 0;         // adjusted height [m]
    double mH = 0;        // its mean error [cm]
    int differences = 0;  // height differences that reach it
};

struct HeightAdjustment {
    int fixed = 0;                       // given heights held fixed
    std::vector<AdjustedHeight> points;  // the unknowns, in table order
    std::vector<HeightDifference> obs;   // the observations, in table order
    int redundancy = 0;                  // degrees of freedom
    double pvv = 0;                      // cm^2 per unit weight
    double m0 = 0;                       // mean error of unit weight: a difference over 1 hm [cm]
    int iterations = 0;
    bool solvable = true;  // false: a height is not fixed by the differences
    int worst = -1;        // observation of the largest |w|; -1: none tested
};

// The adjustment of the heights levelled in `net` (after H_ZADACHA); no points when the
// levelling gave none.
HeightAdjustment adjust_heights(const Network& net);

// "VK/VK_H.txt": counts, m0, the adjusted heights with their mean errors, every height
// difference with its residual, redundancy number and studentized residual, and the
// likeliest gross error.
void write_height_listing(const HeightAdjustment& h, TextFile& f);

}  // namespace vk::v2
