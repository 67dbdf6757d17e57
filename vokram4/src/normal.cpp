// SASTAVQ_N: the bordered normal matrix of the network at the current coordinates.
#include <cmath>

#include "equations.hpp"

namespace vk::v4 {

namespace {

// Adds a*b into element (i, j) of the packed upper triangle; a product below the
// diagonal (a new station listed after a new target) belongs to its mirror element.
inline void suminn(Adjustment& a, double x, double y, int i, int j) {
    if (i > j) std::swap(i, j);
    a.N.add(i, j, x, y);
}

// Every product of two present terms of one equation, with the weight on the first.
void accumulate(Adjustment& a, const Equation& eq, double weight) {
    for (int p = 0; p < 5; ++p) {
        if (eq[p].i == 0) continue;
        for (int q = p; q < 5; ++q)
            if (eq[q].i != 0) suminn(a, weight * eq[p].c, eq[q].c, eq[p].i, eq[q].i);
    }
}

// The warning for an absolute term that points to a gross or systematic error, in the
// report of the adjustment.
void warn(Adjustment& a, const char* what, const Measurement& ms, double l, const char* unit) {
    if (!a.rep) return;
    TextFile& r = *a.rep;
    r.endl();
    r.line(what);
    r.line("  Станция " + whole(a.pts[ms.ns].no) + " към т. " + whole(a.pts[ms.nt].no) + "  = " +
           real(l, 0, 1) + unit);
    r.line("  Търсете груба или систематични грешки.");
}

}  // namespace

void sastavq_n(Adjustment& a) {
    const int u = a.u;
    a.N.create(u);

    // Directions, group by group. The orientation is eliminated by the group's sum
    // equation with weight -1/k (Schreiber), which leaves the normal matrix of the
    // coordinates exactly as if the orientation were an explicit unknown.
    SumRow sum(u);
    for (const std::vector<int>& group : a.groups) {
        const float Z = orientation(a, group);
        sum.clear();
        int k = 0;
        for (int j : group) {
            const Measurement& ms = a.ms[j];
            ++k;
            const Equation eq = direction_equation(a, ms, Z);
            const double l = eq[4].c;
            if (std::fabs(l) > 900)
                warn(a, "  Голяма разлика в уравнение на поправка за измерена посока.", ms, l, " сс.");
            sum.add(eq);
            accumulate(a, eq, 1.0);
        }
        const std::vector<int> nz = sum.nonzero();
        for (std::size_t p = 0; p < nz.size(); ++p)
            for (std::size_t q = p; q < nz.size(); ++q)
                suminn(a, sum[nz[p]], -(sum[nz[q]] / k), nz[p], nz[q]);
    }

    // Distances with a new end.
    for (const Measurement& ms : a.ms) {
        if (!adjusted_distance(a, ms)) continue;
        const Equation eq = distance_equation(a, ms);
        const double l = eq[4].c;
        if (std::fabs(l) > 90)
            warn(a, "  Голяма разлика в уравнение на поправка за измерено разстояние.", ms, l, " см.");
        accumulate(a, eq, a.pD);
    }
}

}  // namespace vk::v4
