// Tasks with measured horizontal distances: forward combined intersection, distance
// intersection and combined resection. The last two ask the user which of the two
// triangles holds.
#include <algorithm>

#include "tasks.hpp"
#include "vokram/angles.hpp"

namespace vk::v2 {

namespace {

// The distances that start the resection-like tasks: a measured distance with exactly one
// end A that has coordinates. Offers each in table order to `try_point(i, a, nn, da)`, N the
// other end and da the distance, until it computes N.
template <class Task>
bool each_distance_to_new(Network& net, Task&& try_point) {
    for (int i = 0; i < net.m(); ++i) {
        const Row& r = net.rows[i];
        const bool s = net.known(r.ns), e = net.known(r.nt);
        if (!(r.D > 0) || s == e) continue;
        if (try_point(i, s ? r.ns : r.nt, s ? r.nt : r.ns, r.D)) return true;
    }
    return false;
}

// Which of A and B lies on the left, seen from N: the answer is a typed point number.
int ask_left_point(Network& net, int a, int b, int nn, double ab, double da, double db) {
    Console& c = net.con;
    c.write_at(11, 4, "             Д Ъ Л Ж И Н Н А   З А С Е Ч К А            ");
    c.write_at(11, 6, "    В ТРИЪГЪЛНИКА:                                      ");
    c.write_at(11, 7, "    СА ИЗВЕСТНИ  : СТРАНАТА                             ");
    c.write_at(11, 8, "                   СТРАНАТА                             ");
    c.write_at(11, 9, "                   СТРАНАТА                             ");
    c.write_at(11, 10, "    ЯВЯВА СЕ НЕОПРЕДЕЛЕНОСТ В ПОДРЕЖДАНЕТО НА ТОЧКИТЕ.  ");
    c.write_at(11, 11, "    МОЛЯ ПОСОЧЕТЕ КОЯ Е ЛЯВАТА ТОЧКА, ГЛЕДАНО ОТ        ");
    c.write_at(11, 12, std::string(56, ' '));
    c.write_at(30, 6, num(net, a) + ", " + num(net, b) + ", " + num(net, nn));
    c.write_at(40, 7, num(net, a) + " - " + num(net, b));
    c.write_at(53, 7, real(ab, 8, 2) + "  м.");
    c.write_at(40, 8, num(net, a) + " - " + num(net, nn));
    c.write_at(53, 8, real(da, 8, 2) + "  м.");
    c.write_at(40, 9, num(net, b) + " - " + num(net, nn));
    c.write_at(53, 9, real(db, 8, 2) + "  м.");
    c.write_at(60, 11, num(net, nn) + ".");
    c.write_at(15, 12, num(net, a) + " ИЛИ " + num(net, b) + " ?");
    while (true) {
        c.write_at(35, 12, "       ");
        // A reply that is not a number is a fatal input error; end of input as well.
        NumberReader reply(c.read_line(), "отговор");
        const double v = reply.number();
        c.write_at(35, 12, "       ");
        c.write_at(35, 12, real(v, 7, 0) + "\n");
        if (std::fabs(v) < 1e6) {
            const long long answer = std::llround(v);
            if (answer == net.no(a) || answer == net.no(b)) {
                c.clear();
                return static_cast<int>(answer);
            }
        }
    }
}

// Is the angle at B smaller than 100 grads? true for the answer D, false for N.
bool ask_acute(Network& net, int a, int b, int nn, double ab, double da, double nu, double beta) {
    Console& c = net.con;
    c.write_at(11, 4, "               ОБРАТНА КОМБИНИРАНА ЗАСЕЧКА                ");
    c.write_at(11, 6, "    В ТРИЪГЪЛНИКА:                                        ");
    c.write_at(11, 7, "    СА ИЗВЕСТНИ  : СТРАНАТА                               ");
    c.write_at(11, 8, "                   СТРАНАТА                               ");
    c.write_at(11, 9, "                   ЪГЪЛА ПРИ Т.                           ");
    c.write_at(11, 10, "    ЯВЯВА СЕ НЕОПРЕДЕЛЕНОСТ НА ЪГЪЛА ПРИ ТОЧКА            ");
    c.write_at(11, 11, "    ВЪЗМОЖНИТЕ СТОЙНОСТИ СА :                             ");
    c.write_at(11, 12, "    МОЛЯ ПОСОЧЕТЕ ПО-МАЛЪК ЛИ Е ОТ 100 ГРАДИ  D/N ?       ");
    c.write_at(30, 6, num(net, a) + ", " + num(net, b) + ", " + num(net, nn));
    c.write_at(40, 7, num(net, a) + " - " + num(net, b));
    c.write_at(54, 7, real(ab, 8, 2) + "  м.");
    c.write_at(40, 8, num(net, a) + " - " + num(net, nn));
    c.write_at(54, 8, real(da, 8, 2) + "  м.");
    c.write_at(43, 9, num(net, nn));
    c.write_at(54, 9, real(nu, 8, 4) + " гр.");
    c.write_at(58, 10, num(net, b) + " .");
    c.write_at(42, 11, real(beta, 5, 4) + " ИЛИ " + real(200.0 - beta, 5, 4) + " гр.");
    while (true) {
        c.write_at(64, 12, " ");
        char key = c.read_key();
        // A Latin letter is taken and shown in upper case; a key that is not a printable
        // character shows as a question mark.
        if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
        c.write_at(64, 12, std::string(1, key >= ' ' && key <= '~' ? key : '?'));
        if (key == 'D' || key == 'N') {
            c.clear();
            return key == 'D';
        }
    }
}

}  // namespace

void p_k_zas(Network& net) {
    const RowIndex& x = net.idx;
    net.found = each_oriented_sight(net, [&](const Row& ri, const Row& rj, double t_an) {
        const int a = ri.ns, tt = ri.nt, nn = rj.nt;
        for (int k : x.touching[nn]) {
            const Row& rk = net.rows[k];
            if (!(rk.D > 0)) continue;
            int b;
            if (rk.ns == nn && net.known(rk.nt)) {
                b = rk.nt;
            } else if (rk.nt == nn && net.known(rk.ns)) {
                b = rk.ns;
            } else {
                continue;
            }
            const double d = rk.D;
            label(net, "   Пр.комб.засечка ");
            const double ab = dist2d(net, a, b);
            // A distance to A itself, or B in the same place as A, forms no triangle.
            if (!(ab > 0)) continue;
            const double t_ab = t(net, a, b);
            const double alpha = ina(t_an, t_ab);
            if (alpha == 0.0 || alpha == 200.0) continue;
            double s = sing(alpha) * (ab / d);
            if (s > 1) s = 1;
            if (flat(s)) continue;
            const double nu = atang(s, std::sqrt(1 - s * s));
            const double beta = 200.0 - (alpha + nu);
            const double an = sing(beta) / s * ab;
            const Point& pa = net.pts[a];
            if (!compute(net, nn, pa.x + an * cosg(t_an), pa.y + an * sing(t_an))) continue;
            net.rep.put(num(net, tt) + "," + num(net, a) + "/" + num(net, b) + " ~ " + num(net, nn));
            return true;
        }
        return false;
    });
}

void dal_zas(Network& net) {
    const RowIndex& x = net.idx;
    net.found = each_distance_to_new(net, [&](int i, int a, int nn, double da) {
        for (int j : x.touching[nn]) {
            if (j <= i) continue;
            const Row& rj = net.rows[j];
            if (!(rj.D > 0)) continue;
            int b;
            if (rj.ns == nn) {
                b = rj.nt;
            } else if (rj.nt == nn) {
                b = rj.ns;
            } else {
                continue;
            }
            if (!net.known(b) || b == a) continue;
            const double db = rj.D;
            label(net, "  Дължинна засечка ");
            const double ab = dist2d(net, a, b);
            if (!(ab > 0)) continue;
            const double t_ba = t(net, b, a);
            double cb = (ab * ab + db * db - da * da) / (2 * db * ab);
            if (std::fabs(cb) > 1) cb = cb > 0 ? 1.0 : -1.0;
            const double beta = atang(std::sqrt(1 - cb * cb), cb);
            if (beta == 400.0 || beta == 200.0) continue;
            const Point& pb = net.pts[b];
            auto at = [&](double t_bn) { return Xy{pb.x + db * cosg(t_bn), pb.y + db * sing(t_bn)}; };
            // B on the left as seen from N puts N to the right of the line from B to A.
            const Xy c[2] = {at(t_ba + beta), at(t_ba - beta)};
            std::string note;
            const int pick = choose(net, "  Дължинна засечка ", a, b, nn, c, note, [&] {
                return ask_left_point(net, a, b, nn, ab, da, db) == net.no(b) ? 0 : 1;
            });
            if (pick < 0 || !compute(net, nn, c[pick].x, c[pick].y)) continue;
            net.rep.put(num(net, a) + "," + num(net, b) + " ~ " + num(net, nn));
            if (!note.empty()) net.rep.endl().put(note);
            return true;
        }
        return false;
    });
}

void o_k_zas(Network& net) {
    const RowIndex& x = net.idx;
    net.found = each_distance_to_new(net, [&](int, int a, int nn, double da) {
        for (int j : x.at_station[nn]) {
            const Row& rj = net.rows[j];
            if (!(rj.R > 0) || rj.nt != a) continue;
            for (int k : x.series[x.series_of[j]]) {
                const Row& rk = net.rows[k];
                const int b = rk.nt;
                if (!(rk.R > 0) || !net.known(b) || b == a) continue;
                label(net, "  Обр.комб.засечка ");
                const double ab = dist2d(net, a, b);
                if (!(ab > 0)) continue;
                const double nu = ina(rk.R, rj.R);
                if (nu == 0.0 || nu == 200.0 || flat(sing(nu))) continue;
                double s = sing(nu) * (da / ab);
                if (s > 1) s = 1;
                const double acute = atang(s, std::sqrt(1 - s * s));
                const double t_ab = t(net, a, b);
                const Point& pa = net.pts[a];
                auto at = [&](double beta) {
                    const double gamma = 200.0 - (beta + nu);
                    const double t_an = rang(rj.R - rk.R) < 200.0 ? t_ab - gamma : t_ab + gamma;
                    return Xy{pa.x + da * cosg(t_an), pa.y + da * sing(t_an)};
                };
                const Xy c[2] = {at(acute), at(200.0 - acute)};
                std::string note;
                int pick = 0;
                if (nu < 100.0 && da > ab)
                    pick = choose(net, "  Обр.комб.засечка ", a, b, nn, c, note,
                                  [&] { return ask_acute(net, a, b, nn, ab, da, nu, acute) ? 0 : 1; });
                if (pick < 0 || !compute(net, nn, c[pick].x, c[pick].y)) continue;
                net.rep.put(num(net, a) + "," + num(net, b) + " ~ " + num(net, nn));
                if (!note.empty()) net.rep.endl().put(note);
                return true;
            }
        }
        return false;
    });
}

}  // namespace vk::v2
