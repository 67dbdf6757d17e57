// VHOD: the network of "Temp/VK_2.tmp", the counts of section 13 and the test whether
// an adjustment is possible at all.
#include <algorithm>
#include <string>
#include <utility>

#include "vokram/capacity.hpp"
#include "vokram/products.hpp"
#include "vokram4/adjustment.hpp"

namespace vk::v4 {

void vhod(Adjustment& a, NumberReader& in) {
    a.pts.clear();
    a.ms.clear();
    a.pts.reserve(kPointCapacity);
    a.ms.reserve(kMeasurementCapacity);

    // Capacity guard: the tables hold 400 points and 1000 measurements.
    const Vk2Reading how{0, true, true, [&](const NetTables&) { capacity_stop(a.con, 18); }};
    const NetTables t = read_vk2(in, {kPointCapacity, kMeasurementCapacity}, how);
    a.xo = t.xo;
    a.yo = t.yo;

    // Only points with plane coordinates (kind 2 or 3) are taken, so a height-only point
    // never becomes an end of an equation.
    const auto take = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            if (t.pts[i].vi > 1) a.pts.push_back({t.pts[i].no, t.pts[i].x, t.pts[i].y});
    };
    take(0, t.g);
    a.g = a.n();
    take(t.g, t.n());

    // Point numbers become table indexes (the first entry with the number). A
    // measurement that touches a point not loaded, a height-only point, is left out.
    std::vector<int> index(65536, -1);
    for (int p = a.n() - 1; p >= 0; --p) index[a.pts[p].no] = p;
    for (const NetRow& x : t.rows) {
        const int ns = index[x.ns];
        const int nt = index[x.nt];
        if (ns < 0 || nt < 0) continue;
        Measurement ms;
        ms.ps = x.ps;
        ms.R = x.R;
        ms.D = x.D;
        ms.ns = static_cast<std::uint16_t>(ns);
        ms.nt = static_cast<std::uint16_t>(nt);
        a.ms.push_back(ms);
    }

    a.u = 2 * (a.n() - a.g);
    a.n_dir = 0;
    a.n_dist = 0;
    for (const Measurement& ms : a.ms) {
        if (ms.R > 0) ++a.n_dir;
        if (ms.D > 0 && (ms.ns >= a.g || ms.nt >= a.g)) ++a.n_dist;
    }

    // Orientation groups: the directions of one station and series, in table order.
    a.groups.clear();
    std::vector<char> mark(a.ms.size(), 1);
    for (std::size_t i = 0; i < a.ms.size(); ++i) {
        if (!(a.ms[i].R > 0) || !mark[i]) continue;
        std::vector<int> members;
        for (std::size_t j = i; j < a.ms.size(); ++j) {
            const Measurement& ms = a.ms[j];
            if (ms.R > 0 && ms.ns == a.ms[i].ns && ms.ps == a.ms[i].ps) {
                mark[j] = 0;
                members.push_back(static_cast<int>(j));
            }
        }
        a.groups.push_back(std::move(members));
    }
}

void vhod_report(Adjustment& a) {
    TextFile& r = *a.rep;
    const int groups = static_cast<int>(a.groups.size());
    const int observations = a.n_dir + a.n_dist;
    const int unknowns = a.u + groups;
    r.endl();
    r.endl();
    r.line(" 13.ИЗРАВНЕНИЕ НА ПЛАНОВА МРЕЖА ПО МНМК");
    r.endl();
    r.line("            Зададени точки : " + whole(a.g, 5));
    r.line("    Измерени:  - посоки    : " + whole(a.n_dir, 5));
    r.line("               - разстояния: " + whole(a.n_dist, 5));
    r.line("          Всички измервания: " + whole(observations, 5));
    r.endl();
    r.line("                 Нови точки: " + whole(a.n() - a.g, 5));
    r.line("             Ъглови станции: " + whole(groups, 5));
    r.line("          Всички неизвестни: " + whole(unknowns, 5));
    r.endl();
    // Without a new point there is nothing to adjust.
    if (unknowns >= observations || a.n() < 2 || a.u == 0) {
        const std::string reason = "Изравнение на планови координати не е възможно.";
        r.line("     " + reason);
        stop(reason);
    }
    a.m0 = 0;
    a.pvv = 0;
    a.con.write_at(30, 22, "Начало на изчисления .. ");
}

}  // namespace vk::v4
