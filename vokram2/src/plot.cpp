// The AutoCAD script "VK/VK_2.scr": points, names and heights on 2D and 3D layers and
// every measurement as a line. CAD x is the easting, so every pair is written E,N.
#include <algorithm>

#include "vokram2/network.hpp"

namespace vk::v2 {

namespace {

// Absolute easting and northing of a point, four decimals.
std::string en(const Network& w, const Point& p) {
    return real(p.y + w.yo, 0, 4) + "," + real(p.x + w.xo, 0, 4);
}

// A vertical line of an instrument or target height above point p.
void mast(const Network& w, TextFile& f, const Point& p, std::uint16_t mm) {
    f.line("line " + en(w, p) + "," + real(p.h, 0, 4) + " " + en(w, p) + "," + real(p.h + mm / 1000.0, 0, 4));
    f.endl();
}

}  // namespace

DrawParams read_draw_params(const Workspace& ws) {
    DrawParams p;
    const std::filesystem::path path = ws.find("P.txt");
    if (path.empty() || !std::filesystem::is_regular_file(path)) return p;
    NumberReader r = NumberReader::open(path, "P.txt");
    r.skip_lines(11);
    p.th = r.number();
    r.skip_line();
    p.hd = static_cast<int>(r.integer(0, 12));
    return p;
}

void plot(const Network& w, const DrawParams& dp, TextFile& f) {
    double x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    if (!w.pts.empty()) {
        x_min = x_max = w.pts[0].x;
        y_min = y_max = w.pts[0].y;
    }
    for (int i = 1; i < w.n(); ++i) {
        const Point& p = w.pts[i];
        if (p.vi < 2) continue;
        if (p.x < x_min) x_min = p.x;
        if (p.x > x_max) x_max = p.x;
        if (p.y < y_min) y_min = p.y;
        if (p.y > y_max) y_max = p.y;
    }
    auto frame = [&](double margin) {
        return real(w.yo + y_min - margin, 0, 0) + "," + real(w.xo + x_min - margin, 0, 0) + " " +
               real(w.yo + y_max + margin, 0, 0) + "," + real(w.xo + x_max + margin, 0, 0);
    };
    const std::string th = real(dp.th, 0, 3);
    auto layer = [&](const char* name) {
        f.line(std::string("layer s ") + name);
        f.endl();
    };
    auto name_at = [&](const Point& p, double dn) {
        return real(p.y + w.yo + 0.8 * dp.th, 0, 3) + "," + real(p.x + w.xo + dn * dp.th, 0, 3);
    };

    f.line("ucsicon off osnap none ortho off");
    f.line("rectangle " + frame(20));
    f.line("zoom window " + frame(30));

    layer("2D_Points");
    for (int i = 0; i < w.n(); ++i)
        if (w.pts[i].vi >= 2)
            f.line((i < w.g ? "insert tri " : "insert cir ") + en(w, w.pts[i]) + " " + th + "  0");
    layer("2D_Names");
    for (const Point& p : w.pts)
        if (p.vi >= 2) f.line("text " + name_at(p, 0.5) + " " + th + " 0 " + whole(p.no));
    layer("2D_Altitudes");
    for (const Point& p : w.pts)
        if (p.vi == 3) f.line("text " + name_at(p, -1.0) + " " + th + " 0 " + real(p.h, 0, dp.hd));
    layer("3D_Points");
    for (int i = 0; i < w.n(); ++i)
        if (w.pts[i].vi == 3)
            f.line((i < w.g ? "insert tri " : "insert cir ") + en(w, w.pts[i]) + "," +
                   real(w.pts[i].h, 0, 4) + " " + th + "  0");
    layer("3D_Names");
    for (const Point& p : w.pts)
        if (p.vi == 3)
            f.line("text " + name_at(p, 0.5) + "," + real(p.h, 0, 3) + " " + th + " 0 " + whole(p.no));
    layer("3D_Altitudes");
    for (const Point& p : w.pts)
        if (p.vi == 3)
            f.line("text " + name_at(p, -1.0) + "," + real(p.h, 0, 3) + " " + th + " 0 " +
                   real(p.h, 0, dp.hd));

    // Before the input has tied the rows to table entries (a stop while reading) there is
    // nothing to draw between points.
    const std::vector<Row> none;
    const std::vector<Row>& rows = w.indexed ? w.rows : none;
    // Measurements as lines: plane ones between points with coordinates, spatial ones
    // from instrument to target sign between points with heights as well.
    auto plane_lines = [&](auto measured) {
        for (const Row& r : rows) {
            if (!measured(r) || w.pts[r.ns].vi * w.pts[r.nt].vi <= 3) continue;
            f.line("line " + en(w, w.pts[r.ns]) + " " + en(w, w.pts[r.nt]));
            f.endl();
        }
    };
    auto space_lines = [&](auto measured) {
        for (const Row& r : rows) {
            const Point& s = w.pts[r.ns];
            const Point& e = w.pts[r.nt];
            if (!measured(r) || s.vi != 3 || e.vi != 3) continue;
            f.line("line " + en(w, s) + "," + real(s.h + r.hs / 1000.0, 0, 4) + " " + en(w, e) + "," +
                   real(e.h + r.ht / 1000.0, 0, 4));
            f.endl();
        }
    };
    layer("Measured_R");
    plane_lines([](const Row& r) { return r.R > 0; });
    layer("Measured_D");
    plane_lines([](const Row& r) { return r.D > 0; });
    layer("Measured_V");
    space_lines([](const Row& r) { return r.V > 0; });
    layer("Measured_S");
    space_lines([](const Row& r) { return r.S > 0; });
    layer("Measured_HS");
    int last = -1;  // consecutive measurements of one station draw its instrument once
    for (const Row& r : rows) {
        if (w.pts[r.ns].vi != 3 || r.hs == 0 || r.ns == last) continue;
        mast(w, f, w.pts[r.ns], r.hs);
        last = r.ns;
    }
    layer("Measured_HT");
    for (const Row& r : rows)
        if (w.pts[r.nt].vi == 3 && r.ht > 0) mast(w, f, w.pts[r.nt], r.ht);
    layer("Situation");
    f.line("regen");
}

}  // namespace vk::v2
