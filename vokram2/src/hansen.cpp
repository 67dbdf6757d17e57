// Hansen problem: two new stations P and Q that see each other and the same two known
// points A and B. The figure is built on a base PQ of unit length, scaled by |AB|, and
// P and Q are then placed from B.
#include "tasks.hpp"
#include "vokram/angles.hpp"

namespace vk::v2 {

namespace {

struct Common {
    int x;          // the known point
    double from_p;  // direction to it at P
    double from_q;  // direction to it at Q
};

// Angle at B in a triangle with sides bc (from B), ab and the side opposite B: 0 or 200
// when the sides cannot close.
double angle_at_b(double adj, double ab, double opposite) {
    const double kappa = (adj * adj + ab * ab - opposite * opposite) / (2 * adj * ab);
    if (std::fabs(kappa) > 1) return kappa > 0 ? 0.0 : 200.0;
    return atang(std::sqrt(1 - kappa * kappa), kappa);
}

}  // namespace

void han_zad(Network& net) {
    net.found = false;
    const RowIndex& x = net.idx;
    for (int i = 0; i + 1 < net.m(); ++i) {
        const Row& ri = net.rows[i];
        const int p = ri.ns, q = ri.nt;
        if (!(ri.R > 0) || net.known(p) || net.known(q)) continue;
        for (int j : x.at_station[q]) {
            if (j <= i) continue;
            const Row& rj = net.rows[j];
            if (!(rj.R > 0) || rj.nt != p) continue;
            // Known points seen from P in the series of PQ and from Q in the series of QP.
            Common c[2];
            int got = 0;
            for (int k : x.series[x.series_of[i]]) {
                const Row& rk = net.rows[k];
                if (!(rk.R > 0) || !net.known(rk.nt)) continue;
                for (int l : x.series[x.series_of[j]]) {
                    const Row& rl = net.rows[l];
                    if (!(rl.R > 0) || rl.nt != rk.nt) continue;
                    c[got++] = {rk.nt, rk.R, rl.R};
                    if (got == 2) break;
                }
                if (got == 2) break;
            }
            if (got < 2) continue;
            label(net, "  Ханзенова задача ");
            const double r_pq = ri.R, r_qp = rj.R;
            const int a = c[0].x, b = c[1].x;
            const double ab = dist2d(net, a, b);
            if (!(ab > 0)) continue;
            // Triangles P, Q, A and P, Q, B on the unit base, Q at the origin and P on the
            // local x axis.
            double side_q[2], side_p[2], lx[2], ly[2];
            bool degenerate = false;
            for (int e = 0; e < 2; ++e) {
                const double at_q = ina(r_qp, c[e].from_q);
                const double at_p = ina(r_pq, c[e].from_p);
                const double at_x = 200.0 - (at_q + at_p);
                if (flat(sing(at_x))) degenerate = true;  // the known point on the line PQ
                side_q[e] = sing(at_p) / sing(at_x);
                side_p[e] = sing(at_q) / sing(at_x);
                const double turn = rang(c[e].from_q - r_qp) < 200.0 ? at_q : 400.0 - at_q;
                lx[e] = side_q[e] * cosg(turn);
                ly[e] = side_q[e] * sing(turn);
            }
            if (degenerate) continue;
            const double local_ab = dist(lx[0], ly[0], 0.0, lx[1], ly[1], 0.0);
            if (!(local_ab > 1e-12)) continue;
            const double mu = ab / local_ab;  // the length of PQ in metres
            const double qa = side_q[0] * mu, qb = side_q[1] * mu;
            const double pa = side_p[0] * mu, pb = side_p[1] * mu;
            const double t_ba = t(net, b, a);
            const double phi_p = angle_at_b(pb, ab, pa);
            const double t_bp = rang(c[1].from_p - c[0].from_p) < 200.0 ? t_ba - phi_p : t_ba + phi_p;
            const double phi_q = angle_at_b(qb, ab, qa);
            const double t_bq = rang(c[1].from_q - c[0].from_q) < 200.0 ? t_ba - phi_q : t_ba + phi_q;
            const Point& pt_b = net.pts[b];
            const double xp = pt_b.x + pb * cosg(t_bp), yp = pt_b.y + pb * sing(t_bp);
            const double xq = pt_b.x + qb * cosg(t_bq), yq = pt_b.y + qb * sing(t_bq);
            if (!std::isfinite(xp + yp + xq + yq)) continue;
            compute(net, p, xp, yp);
            compute(net, q, xq, yq);
            net.found = true;
            net.rep.put(num(net, a) + "," + num(net, b) + " ~ " + num(net, p) + "," + num(net, q));
            return;
        }
    }
}

}  // namespace vk::v2
