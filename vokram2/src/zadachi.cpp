// The plane solution: passes over the eight classical tasks, simplest first, and the
// forward problem (polar points from an oriented station).
#include "vokram/angles.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

void passes(Network& net) {
    using Task = void (*)(Network&);
    static constexpr Task kTasks[] = {p_a_zas, s_a_zas, p_k_zas, o_a_zas, han_zad, dal_zas, o_k_zas};
    while (true) {
        ++net.step;
        const int at_start = net.solved;
        pra_zad(net);
        // The first task that computes something ends the pass; the next pass starts again
        // with the forward problem, which uses the new points as stations.
        for (Task task : kTasks) {
            if (net.solved != at_start) break;
            task(net);
        }
        if (net.solved == at_start || net.solved == net.n()) break;
    }
}

void zadachi_2d(Network& net) {
    build_index(net);
    net.step = 1;
    net.solved = net.g;
    net.rep.line("  9.2D-РЕШЕНИЕ.");
    net.rep.endl();
    passes(net);
    // Points no classical task reaches: a frame of their own placed on the control points,
    // after which the classical tasks go on from them.
    while (net.solved != net.n() && lokalna_sistema(net)) passes(net);
    popravka(net);
    net.rep.endl();
    net.rep.endl();
}

void pra_zad(Network& net) {
    const RowIndex& x = net.idx;
    for (int st = 0; st < net.n(); ++st) {
        if (net.pts[st].stp != net.step - 1) continue;
        // The first direction to a point with coordinates orients the station; only its
        // series is used.
        int orienting = -1;
        for (int j : x.at_station[st]) {
            if (net.rows[j].R > 0 && net.known(net.rows[j].nt)) {
                orienting = j;
                break;
            }
        }
        if (orienting < 0) continue;
        const int target = net.rows[orienting].nt;
        const double o = rang(t(net, st, target) - net.rows[orienting].R);
        for (int j : x.series[x.series_of[orienting]]) {
            const Row& r = net.rows[j];
            const int nn = r.nt;
            if (!(r.R > 0) || net.known(nn)) continue;
            const double a = rang(r.R + o);
            double d = 0;
            const char* label = " Пр.зад. ";
            if (r.D > 0) {
                d = r.D;
            } else {
                // The distance may come from any record between the two points, also one
                // measured back from the new point.
                for (int k : x.touching[st]) {
                    const Row& q = net.rows[k];
                    if (q.D > 0 && ((q.ns == st && q.nt == nn) || (q.ns == nn && q.nt == st))) {
                        d = q.D;
                        label = " Пр.зад: ";
                        break;
                    }
                }
                if (!(d > 0)) continue;
            }
            const Point& s = net.pts[st];
            if (!compute(net, nn, s.x + d * cosg(a), s.y + d * sing(a))) continue;
            if (net.solved % 3 == 0) net.rep.endl();
            net.rep.put(label + whole(net.no(target)) + "," + whole(net.no(st)) + " ~ " + whole(net.no(nn)) +
                        ", ");
        }
    }
}

}  // namespace vk::v2
