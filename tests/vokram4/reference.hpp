// An independent least-squares adjustment of a generated network: the orientation of
// every station and series is an explicit unknown, everything in double precision,
// solved to convergence with a dense inverse. Directions have weight 1 per cc squared,
// distances weight 2 per cm squared.
#pragma once

#include <vector>

#include "network.hpp"

namespace v4test {

// One observation of the reference solution with its residual and its redundancy
// number r = 1 - p a Q a' taken from the full inverse (orientations included).
struct RefObservation {
    int ns = 0, nt = 0;  // point numbers
    bool direction = false;
    double v = 0;  // cc or cm
    double r = 0;
};

struct Reference {
    std::vector<double> x, y;              // adjusted new points (plane ones, file order), metres reduced
    std::vector<double> mx, my;            // cm
    double m0 = 0;                         // cc
    double pvv = 0;                        // weighted sum of squared residuals
    double max_vR = 0;                     // cc
    double max_vD = 0;                     // cm
    std::vector<std::vector<double>> Qxy;  // cofactors of the coordinate unknowns (cm^2)
    std::vector<RefObservation> obs;       // of the last iteration
};

Reference adjust_reference(const Network& net);

}  // namespace v4test
