// An independent least-squares adjustment of a generated network: the orientation of
// every station and series is an explicit unknown, everything in double precision,
// solved to convergence with a dense inverse. Directions have weight 1 per cc squared,
// distances weight 2 per cm squared.
#pragma once

#include <vector>

#include "network.hpp"

namespace v4test {

// An observation of the last iteration with its residual and its redundancy number
// r = 1 - p a Q a' from the full inverse (orientations included).
struct RefObservation {
    int ns = 0, nt = 0;  // point numbers
    bool direction = false;
    double v = 0;  // cc or cm
    double r = 0;
};

struct Reference {
    std::vector<double> x, y;            // adjusted new plane points in file order, metres reduced
    std::vector<double> mx, my;          // cm
    double m0 = 0;                       // cc
    double pvv = 0;                      // weighted sum of squared residuals
    int groups = 0;                      // orientation unknowns
    std::vector<std::vector<double>> Q;  // inverse normal matrix, the coordinates' (cm) first
    std::vector<RefObservation> obs;
};

Reference adjust_reference(const Network& net);

}  // namespace v4test
