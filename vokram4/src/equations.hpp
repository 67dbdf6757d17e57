// The observation equations shared by the forming of the normal matrix and by the
// residuals, so that both see exactly the same coefficients and absolute terms.
#pragma once

#include <array>
#include <vector>

#include "vokram4/adjustment.hpp"

namespace vk::v4 {

// One term of an equation: a coefficient at an unknown index (from 1; 0 = absent).
struct Term {
    double c = 0;
    int i = 0;
};
// Terms 0 and 1 belong to the station's x and y corrections, 2 and 3 to the target's,
// term 4 is the absolute term at index u + 1.
using Equation = std::array<Term, 5>;

// The vector mean of the orientations of a group's sights at the current coordinates
// (grads, 32-bit as the orientation is kept).
float orientation(const Adjustment& a, const std::vector<int>& group);
// Direction equation in cc for unknowns in cm; the absolute term (computed minus
// oriented direction) is reduced into (-200, 200] grads before it becomes cc, so that
// a sight across the 0/400 seam gets its true small term.
Equation direction_equation(const Adjustment& a, const Measurement& ms, float Z);
// Distance equation in cm for unknowns in cm.
Equation distance_equation(const Adjustment& a, const Measurement& ms);

// True when the distance takes part in the adjustment (it has a new end).
inline bool adjusted_distance(const Adjustment& a, const Measurement& ms) {
    return ms.D > 0 && (ms.ns >= a.g || ms.nt >= a.g);
}

// The sum row of an orientation group: the sums of the coefficients of its directions
// per unknown (and of the absolute terms at u + 1), with the indexes it touches.
class SumRow {
  public:
    explicit SumRow(int u) : sum_(static_cast<std::size_t>(u) + 2, 0.0), seen_(sum_.size(), 0) {}
    void clear() {
        for (int i : touched_) sum_[i] = 0.0, seen_[i] = 0;
        touched_.clear();
    }
    void add(const Equation& eq) {
        for (const Term& t : eq) {
            if (t.i == 0) continue;
            sum_[t.i] += t.c;
            if (!seen_[t.i]) seen_[t.i] = 1, touched_.push_back(t.i);
        }
    }
    // The touched indexes whose sum is not zero, ascending.
    std::vector<int> nonzero() const;
    double operator[](int i) const { return sum_[i]; }

  private:
    std::vector<double> sum_;
    std::vector<char> seen_;
    std::vector<int> touched_;
};

}  // namespace vk::v4
