// Tasks from horizontal directions alone: forward and side angular intersections and the
// angular resection.
#include "tasks.hpp"
#include "vokram/angles.hpp"

namespace vk::v2 {

void p_a_zas(Network& net) {
    const RowIndex& x = net.idx;
    net.found = each_oriented_sight(net, [&](const Row& ri, const Row& rj, double t_an) {
        const int a = ri.ns, tt = ri.nt, nn = rj.nt;
        for (int k : x.at_target[nn]) {
            const Row& rk = net.rows[k];
            const int b = rk.ns;
            if (!(rk.R > 0) || !net.known(b) || b == a) continue;
            for (int l : x.series[x.series_of[k]]) {
                const Row& rl = net.rows[l];
                const int t2 = rl.nt;
                if (!(rl.R > 0) || !net.known(t2)) continue;
                label(net, "    Пр.ъгл.засечка ");
                const double t_bn = rang(rk.R - (rl.R - t(net, b, t2)));
                const double t_ba = t(net, b, a);
                const double beta = ina(t_bn, t_ba);
                const double t_ab = rang(t_ba + 200.0);
                const double alpha = ina(t_an, t_ab);
                const double gamma = 200.0 - (alpha + beta);
                const double ab = dist2d(net, a, b);
                if (!(gamma > 5.0 && gamma < 195.0) || !(ab > 0)) continue;
                const double an = sing(beta) / sing(gamma) * ab;
                const Point& pa = net.pts[a];
                if (!compute(net, nn, pa.x + an * cosg(t_an), pa.y + an * sing(t_an))) continue;
                net.rep.put(num(net, tt) + "," + num(net, a) + "/" + num(net, t2) + "," + num(net, b) +
                            " ~ " + num(net, nn));
                return true;
            }
        }
        return false;
    });
}

void s_a_zas(Network& net) {
    const RowIndex& x = net.idx;
    net.found = each_oriented_sight(net, [&](const Row& ri, const Row& rj, double t_an) {
        const int a = ri.ns, tt = ri.nt, nn = rj.nt;
        for (int k : x.at_station[nn]) {
            const Row& rk = net.rows[k];
            if (!(rk.R > 0) || rk.nt != a) continue;
            for (int l : x.series[x.series_of[k]]) {
                const Row& rl = net.rows[l];
                const int b = rl.nt;
                if (!(rl.R > 0) || !net.known(b) || b == a) continue;
                label(net, " Стран.ъгл.засечка ");
                const double t_ab = t(net, a, b);
                const double alpha = ina(t_an, t_ab);
                if (!(alpha > 5.0 && alpha < 195.0)) continue;
                const double nu = ina(rk.R, rl.R);
                const double ab = dist2d(net, a, b);
                // N on the line through A and B, or A and B in one place.
                if (flat(sing(nu)) || !(ab > 0)) continue;
                const double beta = 200.0 - (alpha + nu);
                const double an = ab * sing(beta) / sing(nu);
                const Point& pa = net.pts[a];
                if (!compute(net, nn, pa.x + an * cosg(t_an), pa.y + an * sing(t_an))) continue;
                net.rep.put(num(net, tt) + "," + num(net, a) + "/" + num(net, b) + " ~ " + num(net, nn));
                return true;
            }
        }
        return false;
    });
}

void o_a_zas(Network& net) {
    net.found = false;
    const RowIndex& x = net.idx;
    for (int i = 0; i + 2 < net.m(); ++i) {
        const Row& ri = net.rows[i];
        const int nn = ri.ns;
        if (!(ri.R > 0) || net.known(nn) || !net.known(ri.nt)) continue;
        // The first three directions of the series to points with coordinates, in table order.
        int sight[3] = {i, -1, -1};
        int got = 1;
        for (int j : x.series[x.series_of[i]]) {
            if (j <= i) continue;
            const Row& rj = net.rows[j];
            if (!(rj.R > 0) || !net.known(rj.nt)) continue;
            sight[got++] = j;
            if (got == 3) break;
        }
        if (got < 3) continue;
        label(net, "   Обр.ъгл.засечка ");
        const int a = net.rows[sight[0]].nt, b = net.rows[sight[1]].nt, c = net.rows[sight[2]].nt;
        const double r_a = net.rows[sight[0]].R, r_b = net.rows[sight[1]].R, r_c = net.rows[sight[2]].R;
        // Three different places are needed; a point seen twice gives no resection.
        if (!(dist2d(net, a, b) > 0) || !(dist2d(net, b, c) > 0) || !(dist2d(net, a, c) > 0)) continue;
        const double d1 = rang(r_b - r_a), d2 = rang(r_c - r_b);
        if (flat(sing(d1)) || flat(sing(d2))) continue;
        const double c1 = cosg(d1) / sing(d1);
        const double c2 = cosg(d2) / sing(d2);
        const Point& pa = net.pts[a];
        const Point& pb = net.pts[b];
        const Point& pc = net.pts[c];
        const double k1 = (pb.y - pa.y) - (pb.x - pa.x) * c1;
        const double k2 = (pb.y - pa.y) * c1 + (pb.x - pa.x);
        const double k3 = (pb.x - pc.x) * c2 + (pb.y - pc.y);
        const double k4 = (pb.x - pc.x) - (pb.y - pc.y) * c2;
        const double u = k1 - k3;
        const double v = k2 - k4;
        // On the danger circle through A, B and C the two lines coincide: u and v vanish
        // against the size of their terms, and any point of the circle would fit.
        const double size = std::fabs(k1) + std::fabs(k2) + std::fabs(k3) + std::fabs(k4);
        if (!(std::sqrt(u * u + v * v) > 1e-6 * size)) continue;
        const double q = (k1 * v - k2 * u) / (u * u + v * v);
        if (!compute(net, nn, pb.x + q * u, pb.y - q * v)) continue;
        net.found = true;
        net.rep.put(num(net, a) + "," + num(net, b) + "," + num(net, c) + " ~ " + num(net, nn));
        return;
    }
}

}  // namespace vk::v2
