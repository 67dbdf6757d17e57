// KONTROLA and POPRAVQ: the residuals of the corrections just solved, [pvv] and m0;
// then the corrections applied and the iteration's figures on the console.
#include <cmath>

#include "equations.hpp"
#include "vokram/units.hpp"

namespace vk::v4 {

namespace {

// The residual of one equation for the corrections X, accumulated in 32 bits.
float residual(const Adjustment& a, const Equation& eq) {
    float v = 0;
    for (int t = 0; t < 4; ++t)
        if (eq[t].i != 0) v += static_cast<float>(eq[t].c * static_cast<double>(a.X[eq[t].i]));
    v += static_cast<float>(eq[4].c);
    return v;
}

// The coefficients of an equation, kept for the diagnostics of the last iteration.
Observed observed(const Equation& eq, int m, int group) {
    Observed o;
    o.m = m;
    o.group = group;
    for (int t = 0; t < 4; ++t) o.c[t] = eq[t].c, o.i[t] = eq[t].i;
    return o;
}

}  // namespace

void kontrola(Adjustment& a) {
    a.vR = {};
    a.vD = {};
    a.pvv = 0;
    a.obs.clear();
    const int u = a.u;

    // Directions. The residual of a direction is its equation's value less the group's
    // orientation correction s/k, the mean of the group's values (s their sum). The group
    // adds sum(v*v) - s*s/k to [pvv], formed as the sum of the squared differences: early
    // in the iterations s is large (the orientation still moves by hundreds of cc) and the
    // difference of the two sums would lose the digits that matter.
    SumRow sum(u);
    std::vector<float> v;
    for (std::size_t gi = 0; gi < a.groups.size(); ++gi) {
        const std::vector<int>& group = a.groups[gi];
        const float Z = orientation(a, group);
        sum.clear();
        v.clear();
        const std::size_t first = a.obs.size();
        for (int j : group) {
            const Equation eq = direction_equation(a, a.ms[j], Z);
            sum.add(eq);
            v.push_back(residual(a, eq));
            a.obs.push_back(observed(eq, j, static_cast<int>(gi)));
        }
        const double k = static_cast<double>(group.size());
        // The group's summed equation at the solution: k times the correction of its
        // orientation, which the residuals of the group share.
        float orientation_sum = 0;
        for (int t : sum.nonzero())
            if (t <= u) orientation_sum += static_cast<float>(static_cast<double>(a.X[t]) * sum[t]);
        orientation_sum += static_cast<float>(sum[u + 1]);
        for (std::size_t m = 0; m < group.size(); ++m) {
            const double r = v[m] - orientation_sum / k;
            a.obs[first + m].v = r;
            a.pvv += r * r;
            const Measurement& ms = a.ms[group[m]];
            a.vR.take(std::fabs(r), a.pts[ms.ns].no, a.pts[ms.nt].no);
        }
    }

    // Distances with a new end.
    for (std::size_t j = 0; j < a.ms.size(); ++j) {
        const Measurement& ms = a.ms[j];
        if (!adjusted_distance(a, ms)) continue;
        const Equation eq = distance_equation(a, ms);
        const float v = residual(a, eq);
        a.obs.push_back(observed(eq, static_cast<int>(j), -1));
        a.obs.back().v = v;
        a.pvv += a.pD * (static_cast<double>(v) * v);
        a.vD.take(std::fabs(static_cast<double>(v)), a.pts[ms.ns].no, a.pts[ms.nt].no);
    }

    // Redundancy: directions and distances less the coordinate unknowns and the
    // orientations; the sum equations are no observations.
    const int redundancy = a.n_dir + a.n_dist - u - static_cast<int>(a.groups.size());
    a.m0 = std::sqrt(a.pvv / redundancy);
}

void popravq(Adjustment& a) {
    for (int k = 0; k < a.n() - a.g; ++k) {
        Point& p = a.pts[a.g + k];
        p.x += static_cast<double>(a.X[static_cast<std::size_t>(2 * k + 1)]) / kCmPerMetre;
        p.y += static_cast<double>(a.X[static_cast<std::size_t>(2 * k + 2)]) / kCmPerMetre;
    }

    Console& con = a.con;
    con.write_at(15, 14,
                 " pff." + whole(a.u, 3) + " = " + real(a.pff, 8, 1) + "   - от редуцирани  уравнения");
    con.write_at(15, 15, "   [pvv] = " + real(a.pvv, 8, 1) + "   - от уравнения на поправки");
    if (a.vR.v > 0)
        con.write_at(15, 17,
                     "Макс. vR = " + real(a.vR.v, 8, 1) + " сс.  за посоката: ст." + whole(a.vR.st) +
                         " - т." + whole(a.vR.tg));
    if (a.vD.v > 0)
        con.write_at(15, 18,
                     "Макс. vD = " + real(a.vD.v, 8, 1) + " см.  за страната: ст." + whole(a.vD.st) +
                         " - т." + whole(a.vD.tg));
    con.write_at(15, 20, "Ср.кв.гр : " + real(a.m0, 8, 2));
    con.write_at(1, 22, std::string(79, ' '));
    con.write_at(27, 22, "Изчисленията продължават .. ");
}

}  // namespace vk::v4
