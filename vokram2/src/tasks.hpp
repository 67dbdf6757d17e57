// Helpers shared by the intersection tasks of the plane solution.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "vokram/angles.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

// A complete candidate gets its label at once, before any geometric test: a rejected
// candidate leaves the label on a line of its own.
inline void label(Network& net, const char* text) {
    net.rep.endl();
    net.rep.put(text);
}

// Point numbers as the report names them, without leading blanks.
inline std::string num(const Network& net, int p) {
    return whole(net.no(p));
}

// A sine this small means a figure with collinear or coincident points: the intersection
// is undefined and the candidate is passed over.
inline bool flat(double sine) {
    return !(std::fabs(sine) > 1e-10);
}

// The sights that start the forward tasks: a direction from a station A with coordinates to
// a point N without them, in a series that also holds a direction to a point T with
// coordinates. T orients the series, so the direction angle A-N is known. Offers each pair
// in table order, T's sight first, to `try_point(to_t, to_n, t_an)` until it computes N.
template <class Task>
bool each_oriented_sight(Network& net, Task&& try_point) {
    const RowIndex& x = net.idx;
    for (int i = 0; i < net.m(); ++i) {
        const Row& to_t = net.rows[i];
        if (!(to_t.R > 0) || !net.known(to_t.ns) || !net.known(to_t.nt)) continue;
        for (int j : x.series[x.series_of[i]]) {
            const Row& to_n = net.rows[j];
            if (!(to_n.R > 0) || net.known(to_n.nt)) continue;
            const double t_an = rang(to_n.R - (to_t.R - t(net, to_t.ns, to_t.nt)));
            if (try_point(to_t, to_n, t_an)) return true;
        }
    }
    return false;
}

// A place in the plane (reduced coordinates).
struct Xy {
    double x, y;
};

// Where the ray from `from` in the direction (ux, uy), a unit vector, meets the circle about
// `centre` with radius r: the places ahead of `from` are added to `out`.
inline void ray_meets_circle(Xy from, double ux, double uy, Xy centre, double r, std::vector<Xy>& out) {
    const double dx = from.x - centre.x, dy = from.y - centre.y, du = dx * ux + dy * uy;
    const double disc = du * du - (dx * dx + dy * dy) + r * r;
    if (disc < 0) return;
    for (const double along : {-du + std::sqrt(disc), -du - std::sqrt(disc)}) {
        if (along > 0) out.push_back({from.x + along * ux, from.y + along * uy});
        if (disc == 0) break;
    }
}

// The largest misfit, in units of its tolerance, between the position (x, y) of the new
// point N and its measured directions and distances whose far end has coordinates.
double worst_misfit(const Network& net, int nn, double x, double y);

// Which of the two candidates holds: the only one that the other observations of N with a
// known far end agree with (then `note` says which was taken and by which observation);
// else `ask()` (0 or 1). When nothing decides in a frame of its own the answer is -1;
// when no answer can be read the module stops, naming `task`, A, B, N and both candidates.
int choose(Network& net, const char* task, int a, int b, int nn, const Xy (&c)[2], std::string& note,
           const std::function<int()>& ask);

}  // namespace vk::v2
