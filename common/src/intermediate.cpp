// The writer and the reader of "Temp/VK_1.tmp", the reader of "Temp/VK_2.tmp" as
// write_vk2 writes it; the reader and the writer of the adjusted
// heights "Temp/VK_H.tmp". All are read as free-format numbers; every count is checked
// against the capacity before a row is stored.
#include <algorithm>
#include <cmath>
#include <string>

#include "vokram/products.hpp"

namespace vk {

void write_vk1(const Vk1& v, TextFile& f) {
    const std::string tildes40(40, '~');
    const std::string tildes72(72, '~');
    f.endl();
    f.line("Резултати от модул  * ВОКРАМ-1 *");
    f.line(std::string(32, '~'));
    f.endl();
    f.line(real(v.xo, 0, 1) + " " + real(v.yo, 0, 1) + " " + real(v.tol_angle, 0, 5) + " " +
           real(v.tol_linear, 0, 4) + " " + real(v.tol_height, 0, 4) + " " + real(v.refraction, 0, 3) + " " +
           " - редукц. начало, параметри");
    f.endl();
    f.line(whole(static_cast<long long>(v.given.size()), 10) + " - брой зададени точки");
    f.line(tildes40);
    f.line("vi    no     xk         yk        hk    ");
    f.line(tildes40);
    int kinds[4] = {0, 0, 0, 0};
    for (const NetPoint& p : v.given) {
        ++kinds[p.vi & 3];
        f.line(" " + whole(p.vi, 1) + " " + whole(p.no, 5) + " " + real(p.x, 10, 4) + " " + real(p.y, 10, 4) +
               " " + real(p.h, 9, 4));
    }
    f.line(tildes40);
    f.endl();
    f.line(whole(kinds[3]) + " " + whole(kinds[2]) + " " + whole(kinds[1]) + " - вид точки:  3D / 2D / 1D ");
    f.endl();
    const long long fresh = static_cast<long long>(v.fresh.size());
    f.line(whole(fresh, 10) + "   - брой нови точки           ");
    for (long long k = 1; k <= fresh; ++k) {
        f.put(whole(v.fresh[static_cast<std::size_t>(k - 1)], 5) + " ");
        if (k % 10 == 0) f.endl();
    }
    f.endl();
    f.endl();
    f.line(whole(static_cast<long long>(v.rows.size()), 10) + "   - брой измервания ");
    f.line(tildes72);
    f.line("    ps    ns hs[mm]   nt ht[mm]    R          V          S         D    ");
    f.line(tildes72);
    int nr = 0, nv = 0, nsd = 0, nd = 0, nh = 0;
    for (const NetRow& w : v.rows) {
        nr += w.R > 0.0, nv += w.V > 0.0, nsd += w.S > 0.0, nd += w.D > 0.0, nh += has_height_difference(w);
        f.line(whole(w.ps, 6) + " " + whole(w.ns, 5) + " " + whole(w.hs, 5) + " " + whole(w.nt, 5) + " " +
               whole(w.ht, 5) + " " + real(w.R, 10, 5) + " " + real(w.V, 10, 5) + " " + real(w.S, 9, 4) +
               " " + real(w.D, 9, 4));
    }
    f.line(tildes72);
    f.endl();
    f.line(whole(nr) + " " + whole(nv) + " " + whole(nsd) + " " + whole(nd) + " " + whole(nh) +
           "   - вид измервания:  R / V / S / D / dH");
}

NetPoint read_point_row(NumberReader& r, int lowest_kind, bool plane_only) {
    NetPoint p;
    p.vi = static_cast<std::uint8_t>(r.integer(lowest_kind, 3));
    if (plane_only && p.vi < 2) return p;
    p.no = static_cast<std::uint16_t>(r.integer(0, 65535));
    p.x = r.number();
    p.y = r.number();
    if (!plane_only) p.h = r.number();
    return p;
}

Vk1 read_vk1(NumberReader& r, const Capacity& cap, const std::function<void(const Vk1&)>& too_many) {
    Vk1 f;
    r.skip_lines(4);
    f.xo = r.number();
    f.yo = r.number();
    f.tol_angle = r.number();
    f.tol_linear = r.number();
    f.tol_height = r.number();
    f.refraction = r.number();
    r.skip_lines(2);

    const long long g = r.integer(0, 1000000000);
    if (g > cap.points) too_many(f);
    r.skip_lines(4);
    f.given.reserve(static_cast<std::size_t>(g));
    // A given point always has coordinates or a height; kind 0 cannot come from vokram1.
    r.rows(g, [&] { f.given.push_back(read_point_row(r)); });

    r.skip_lines(2);
    const double k3 = r.number();
    r.number();  // plane-only given points: not needed
    const double k1 = r.number();
    r.skip_line();
    f.given_heights = std::llround(std::clamp(k3 + k1, -1e9, 1e9));

    r.skip_line();
    const long long fresh = r.integer(0, 1000000000);
    r.skip_line();
    if (g + fresh > cap.points) too_many(f);
    f.fresh.reserve(static_cast<std::size_t>(fresh));
    for (long long i = 0; i < fresh; ++i) f.fresh.push_back(static_cast<std::uint16_t>(r.integer(0, 65535)));

    r.skip_lines(2);
    const long long m = r.integer(0, 1000000000);
    r.skip_lines(4);
    if (m > cap.rows) too_many(f);
    f.rows.reserve(static_cast<std::size_t>(m));
    r.rows(m, [&] {
        NetRow x;
        x.ps = static_cast<std::uint16_t>(r.integer(0, 65535));
        x.ns = static_cast<int>(r.integer(0, 65535));
        x.hs = static_cast<std::uint16_t>(r.integer(0, 65535));
        x.nt = static_cast<int>(r.integer(0, 65535));
        x.ht = static_cast<std::uint16_t>(r.integer(0, 65535));
        x.R = r.number();
        x.V = r.number();
        x.S = r.number();
        x.D = r.number();
        f.rows.push_back(x);
    });
    r.skip_lines(2);
    long long counts[5];
    for (long long& c : counts) c = r.integer(0, 65535);
    f.levelling_rows = counts[4];
    return f;
}

namespace {

// A count of the file: within the table's room when the reading program stops on its own
// (`too_many`), else a fatal input error beyond it.
long long vk2_count(NumberReader& r, const Vk2Reading& how, const NetTables& t, long long used,
                    long long room) {
    if (!how.too_many) return r.integer(0, room - used);
    const long long count = r.integer(0, 65535);
    if (used + count > room) how.too_many(t);
    return count;
}

void vk2_points(NumberReader& r, NetTables& t, const Capacity& cap, const Vk2Reading& how) {
    const long long count = vk2_count(r, how, t, t.n(), cap.points);
    r.skip_lines(4);  // the rest of the count line, rule, column header, rule
    r.rows(count, [&] { t.pts.push_back(read_point_row(r, how.lowest_kind, how.plane_only)); });
}

}  // namespace

NetTables read_vk2(NumberReader& r, const Capacity& cap, const Vk2Reading& how) {
    NetTables t;
    r.skip_lines(3);
    t.xo = r.number();
    t.yo = r.number();
    r.skip_line();
    vk2_points(r, t, cap, how);
    t.g = t.n();
    vk2_points(r, t, cap, how);
    if (!how.with_rows) return t;
    const long long m = vk2_count(r, how, t, 0, cap.rows);
    r.skip_lines(4);
    r.rows(m, [&] {
        NetRow x;
        x.ps = static_cast<std::uint16_t>(r.integer(0, 65535));
        x.ns = static_cast<int>(r.integer(0, 65535));
        x.nt = static_cast<int>(r.integer(0, 65535));
        x.R = r.number();
        x.D = r.number();
        t.rows.push_back(x);
    });
    return t;
}

void write_vkh(const std::vector<NetHeight>& heights, TextFile& f) {
    f.endl();
    f.line("Изравнени коти от модул  * ВОКРАМ-2 *");
    f.line(std::string(36, '~'));
    f.endl();
    f.line(whole(static_cast<long long>(heights.size()), 10) + " - брой изравнени коти");
    f.line("    no      H     ");
    for (const NetHeight& p : heights) f.line(whole(p.no, 6) + " " + real(p.h, 10, 4));
}

std::vector<NetHeight> read_vkh(NumberReader& r, const Capacity& cap) {
    r.skip_lines(4);
    const long long count = r.integer(0, cap.points);
    r.skip_lines(2);  // the rest of the count line and the column header
    std::vector<NetHeight> heights;
    r.rows(count, [&] {
        NetHeight p;
        p.no = static_cast<std::uint16_t>(r.integer(0, 65535));
        p.h = r.number();
        heights.push_back(p);
    });
    return heights;
}

}  // namespace vk
