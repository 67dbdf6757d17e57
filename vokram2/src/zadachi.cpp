// The plane solution: passes over the eight classical tasks, simplest first, and the
// forward problem (polar points from an oriented station).
#include "vokram/angles.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

void passes(Network& w) {
    using Task = void (*)(Network&);
    static constexpr Task kTasks[] = {p_a_zas, s_a_zas, p_k_zas, o_a_zas, han_zad, dal_zas, o_k_zas};
    while (true) {
        ++w.step;
        const int at_start = w.solved;
        pra_zad(w);
        // The first task that computes something ends the pass; the next pass starts again
        // with the forward problem, which uses the new points as stations.
        for (Task task : kTasks) {
            if (w.solved != at_start) break;
            task(w);
        }
        if (w.solved == at_start || w.solved == w.n()) break;
    }
}

void zadachi_2d(Network& w) {
    build_index(w);
    w.step = 1;
    w.solved = w.g;
    w.rep.line("  9.2D-РЕШЕНИЕ.");
    w.rep.endl();
    passes(w);
    // Points no classical task reaches: a frame of their own placed on the control points,
    // after which the classical tasks go on from them.
    while (w.solved != w.n() && lokalna_sistema(w)) passes(w);
    popravka(w);
    w.rep.endl();
    w.rep.endl();
}

void pra_zad(Network& w) {
    const RowIndex& x = w.idx;
    for (int st = 0; st < w.n(); ++st) {
        if (w.pts[st].stp != w.step - 1) continue;
        // The first direction to a point with coordinates orients the station; only its
        // series is used.
        int orienting = -1;
        for (int j : x.at_station[st]) {
            if (w.rows[j].R > 0 && w.known(w.rows[j].nt)) {
                orienting = j;
                break;
            }
        }
        if (orienting < 0) continue;
        const int target = w.rows[orienting].nt;
        const double o = rang(t(w, st, target) - w.rows[orienting].R);
        for (int j : x.series[x.series_of[orienting]]) {
            const Row& r = w.rows[j];
            const int nn = r.nt;
            if (!(r.R > 0) || w.known(nn)) continue;
            const double a = rang(r.R + o);
            double d = 0;
            const char* label = " Пр.зад. ";
            if (r.D > 0) {
                d = r.D;
            } else {
                // The distance may come from any record between the two points, also one
                // measured back from the new point.
                for (int k : x.touching[st]) {
                    const Row& q = w.rows[k];
                    if (q.D > 0 && ((q.ns == st && q.nt == nn) || (q.ns == nn && q.nt == st))) {
                        d = q.D;
                        label = " Пр.зад: ";
                        break;
                    }
                }
                if (!(d > 0)) continue;
            }
            const Point& s = w.pts[st];
            if (!compute(w, nn, s.x + d * cosg(a), s.y + d * sing(a))) continue;
            if (w.solved % 3 == 0) w.rep.endl();
            w.rep.put(label + whole(w.no(target)) + "," + whole(w.no(st)) + " ~ " + whole(w.no(nn)) + ", ");
        }
    }
}

}  // namespace vk::v2
