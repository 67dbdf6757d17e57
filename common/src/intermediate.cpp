// Readers of the intermediate files: "Temp/VK_1.tmp" as vokram1 writes it and
// "Temp/VK_2.tmp" as write_vk2 writes it; the reader and the writer of the adjusted
// heights "Temp/VK_H.tmp". All are read as free-format numbers; every count is checked
// against the capacity before a row is stored.
#include <algorithm>
#include <cmath>
#include <string>

#include "vokram/products.hpp"

namespace vk {

NetPoint read_point_row(NumberReader& r) {
    NetPoint p;
    p.vi = static_cast<std::uint8_t>(r.integer(1, 3));
    p.no = static_cast<std::uint16_t>(r.integer(0, 65535));
    p.x = r.number();
    p.y = r.number();
    p.h = r.number();
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
    f.k = r.number();
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

void vk2_points(NumberReader& r, NetTables& t, const Capacity& cap) {
    const long long count = r.integer(0, cap.points - t.n());
    r.skip_lines(4);  // the rest of the count line, rule, column header, rule
    r.rows(count, [&] { t.pts.push_back(read_point_row(r)); });
}

}  // namespace

NetTables read_vk2(NumberReader& r, const Capacity& cap) {
    NetTables t;
    r.skip_lines(3);
    t.xo = r.number();
    t.yo = r.number();
    r.skip_line();
    vk2_points(r, t, cap);
    t.g = t.n();
    vk2_points(r, t, cap);
    const long long m = r.integer(0, cap.rows);
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
