// Triangles with two solutions: the other observations of the new point tell which one
// holds; only when none of them does is the user asked.
#include <algorithm>
#include <cmath>

#include "tasks.hpp"
#include "vokram/angles.hpp"

namespace vk::v2 {

namespace {

// The first observation of N with a known far end that the position (x, y) of N does not
// fit within the tolerances: a distance, or a direction against another direction of its
// series to a known point. `row` is -1 when the position fits them all; `worst` is the
// largest misfit in units of its tolerance.
struct Misfit {
    int row = -1;
    bool distance = false;
    double worst = 0;
};

Misfit misfits(const Network& net, int nn, double x, double y) {
    const RowIndex& ix = net.idx;
    Misfit m;
    auto offer = [&](double ratio, int j, bool distance) {
        m.worst = std::max(m.worst, ratio);
        if (ratio > 1 && m.row < 0) m.row = j, m.distance = distance;
    };
    for (int j : ix.touching[nn]) {
        const Row& r = net.rows[j];
        const int o = r.ns == nn ? r.nt : r.ns;
        if (o == nn || !net.known(o)) continue;
        const Point& p = net.pts[o];
        if (r.D > 0) offer(std::fabs(r.D - dist(x, y, 0.0, p.x, p.y, 0.0)) / net.tol.linear, j, true);
        if (!(r.R > 0)) continue;
        const bool at_n = r.ns == nn;
        const double sx = at_n ? x : p.x, sy = at_n ? y : p.y;
        const double tx = at_n ? p.x : x, ty = at_n ? p.y : y;
        for (int k : ix.series[ix.series_of[j]]) {
            const Row& q = net.rows[k];
            if (!(q.R > 0) || q.nt == nn || q.nt == r.nt || !net.known(q.nt)) continue;
            const Point& ref = net.pts[q.nt];
            const double computed = rang(atang(ty - sy, tx - sx) - atang(ref.y - sy, ref.x - sx));
            offer(ina(rang(r.R - q.R), computed) / net.tol.angle, j, false);
            break;  // one reference direction is enough
        }
    }
    return m;
}

}  // namespace

double worst_misfit(const Network& net, int nn, double x, double y) {
    return misfits(net, nn, x, y).worst;
}

namespace {

std::string position(const Network& net, const Xy& c) {
    return "X=" + real(c.x + net.xo, 0, 3) + " Y=" + real(c.y + net.yo, 0, 3);
}

}  // namespace

int choose(Network& net, const char* task, int a, int b, int nn, const Xy (&c)[2], std::string& note,
           const std::function<int()>& ask) {
    note.clear();
    const Misfit miss[2] = {misfits(net, nn, c[0].x, c[0].y), misfits(net, nn, c[1].x, c[1].y)};
    if ((miss[0].row < 0) != (miss[1].row < 0)) {
        const int taken = miss[0].row < 0 ? 0 : 1;
        const Misfit& by = miss[1 - taken];
        const Row& r = net.rows[by.row];
        note = "      от двете решения е взето " + position(net, c[taken]) + " по " +
               (by.distance ? "разстоянието " : "посоката ") + num(net, r.ns) + " - " + num(net, r.nt);
        return taken;
    }
    if (net.local) return -1;
    try {
        return ask();
    } catch (const FatalIo&) {
        // No answer can come: the run stops and says what could not be decided.
        std::string name = task;
        name.erase(0, name.find_first_not_of(' '));
        const std::string reason = name + num(net, a) + "," + num(net, b) + " ~ " + num(net, nn) +
                                   ": две решения, " + position(net, c[0]) + " или " + position(net, c[1]) +
                                   ", измерванията не решават кое е вярното";
        net.rep.endl();
        net.rep.line("    " + reason);
        throw ModuleStop{reason};
    }
}

}  // namespace vk::v2
