// RESHAVA_N and OPREDELQ_Q: Gaussian reduction of the bordered normal matrix, the
// corrections, and the inverse normal matrix (the cofactors) where it is read.
#include <algorithm>

#include "vokram4/adjustment.hpp"

namespace vk::v4 {

namespace {

// For each unknown the highest unknown it shares a distance or an orientation group
// with: the diagnostics read the cofactors of every such pair (the directions of a
// group are tied together by its orientation), whatever the normal matrix holds there.
std::vector<int> observed_reach(const Adjustment& a) {
    std::vector<int> need(static_cast<std::size_t>(a.u) + 1, 0), group_top(a.groups.size(), 0);
    for (const Observed& o : a.obs)
        if (o.direction())
            for (int i : o.i) group_top[o.group] = std::max(group_top[o.group], i);
    for (const Observed& o : a.obs) {
        const int top = o.direction() ? group_top[o.group] : *std::max_element(o.i, o.i + 4);
        for (int i : o.i)
            if (i != 0) need[i] = std::max(need[i], top);
    }
    return need;
}

}  // namespace

int solve(Adjustment& a) {
    if (const int I = a.N.reduce(); I != 0) return I;
    a.pff = a.N.pff();
    // "Temp/dx.tmp": the corrections in centimetres, kept in 32 bits.
    a.N.back_substitute(a.X);
    return 0;
}

void reshava_n(Adjustment& a) {
    if (const int I = solve(a); I != 0) {
        const std::string reason = "Точка " + in_quotes(whole(a.owner(I))) +
                                   " не се определя от измерванията: изравнението не е възможно.";
        a.rep->line("    " + reason);
        stop(reason);
    }
}

void invert(Adjustment& a) {
    a.cofactors = a.N.inverse(observed_reach(a));
}

void opredelq_q(Adjustment& a) {
    const std::size_t u = static_cast<std::size_t>(a.u);
    a.N.reopen();
    // The work vector keeps the first column of the inverse, solved with its unit
    // right-hand side as the reduced matrix's absolute-term column.
    a.N.solve_unit(1, a.Q);
    invert(a);
    a.M.create(u + 5);
    for (int i = 1; i <= a.u; ++i) a.M[static_cast<std::size_t>(i)] = static_cast<float>(a.cofactors(i, i));
}

}  // namespace vk::v4
