// The files made from the solved network: the surface list, the AutoCAD script, the
// cadastral file and the intermediate file for vokram4 and vokram5. Coordinates in the
// script and the surface list are absolute; the cadastral file and "Temp/VK_2.tmp"
// carry them reduced. CAD x is the easting, so every pair in the script is written E,N.
#include "vokram/products.hpp"

#include <cstdint>
#include <optional>
#include <string>

#include "vokram/parameters.hpp"
#include "vokram/units.hpp"

namespace vk {

namespace {

void point_line(TextFile& f, const NetPoint& p) {
    f.line(" " + whole(p.vi, 1) + " " + whole(p.no, 5) + " " + real(p.x, 10, 4) + " " + real(p.y, 10, 4) +
           " " + real(p.h, 9, 4));
}

// The absolute position of a point in a drawing script, four decimals.
std::string en(const NetTables& t, const NetPoint& p) {
    return script_position(p.y + t.yo, p.x + t.xo, 4);
}

// A vertical line of an instrument or target height above point p.
void mast(const NetTables& t, TextFile& f, const NetPoint& p, std::uint16_t mm) {
    f.line("line " + en(t, p) + "," + real(p.h, 0, 4) + " " + en(t, p) + "," +
           real(p.h + mm / kMmPerMetre, 0, 4));
    f.endl();
}

}  // namespace

void script_layer(TextFile& f, const char* name) {
    f.line(std::string("layer s ") + name);
    f.endl();
}

std::string script_position(double e, double n, int decimals) {
    return real(e, 0, decimals) + "," + real(n, 0, decimals);
}

std::string surface_line(double e, double n, double h) {
    return real(e, 0, 2) + " " + real(n, 0, 2) + " " + real(h, 0, 2);
}

std::string cad_point(int kind, long long code, double x, double y, double h, int decimals, int symbol) {
    return "P" + whole(kind, 4) + " " + whole(code, 8) + " " + real(x, 10, decimals) + " " +
           real(y, 10, decimals) + " " + real(h, 10, decimals) + " " + whole(symbol, 1) + " " +
           whole(symbol, 1);
}

namespace {

// The sheet of the script: a rectangle 20 m and a view 30 m outside the points with coordinates.
void plot_frame(const NetTables& t, TextFile& f) {
    double x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    if (!t.pts.empty()) {
        x_min = x_max = t.pts[0].x;
        y_min = y_max = t.pts[0].y;
    }
    for (int i = 1; i < t.n(); ++i) {
        const NetPoint& p = t.pts[i];
        if (p.vi < 2) continue;
        if (p.x < x_min) x_min = p.x;
        if (p.x > x_max) x_max = p.x;
        if (p.y < y_min) y_min = p.y;
        if (p.y > y_max) y_max = p.y;
    }
    auto frame = [&](double margin) {
        return real(t.yo + y_min - margin, 0, 0) + "," + real(t.xo + x_min - margin, 0, 0) + " " +
               real(t.yo + y_max + margin, 0, 0) + "," + real(t.xo + x_max + margin, 0, 0);
    };
    f.line("rectangle " + frame(20));
    f.line("zoom window " + frame(30));
}

// The points with their numbers and heights: in plan (2D) those with coordinates, in space
// (3D) those with heights as well; given points as triangles, the others as circles.
void plot_points(const NetTables& t, const Parameters& par, TextFile& f) {
    const std::string th = real(par.text, 0, 3);
    auto name_at = [&](const NetPoint& p, double dn) {
        return script_position(p.y + t.yo + 0.8 * par.text, p.x + t.xo + dn * par.text, 3);
    };
    script_layer(f, "2D_Points");
    for (int i = 0; i < t.n(); ++i)
        if (t.pts[i].vi >= 2)
            f.line((i < t.g ? "insert tri " : "insert cir ") + en(t, t.pts[i]) + " " + th + "  0");
    script_layer(f, "2D_Names");
    for (const NetPoint& p : t.pts)
        if (p.vi >= 2) f.line("text " + name_at(p, 0.5) + " " + th + " 0 " + whole(p.no));
    script_layer(f, "2D_Altitudes");
    for (const NetPoint& p : t.pts)
        if (p.vi == 3) f.line("text " + name_at(p, -1.0) + " " + th + " 0 " + real(p.h, 0, par.decimals));
    script_layer(f, "3D_Points");
    for (int i = 0; i < t.n(); ++i)
        if (t.pts[i].vi == 3)
            f.line((i < t.g ? "insert tri " : "insert cir ") + en(t, t.pts[i]) + "," +
                   real(t.pts[i].h, 0, 4) + " " + th + "  0");
    script_layer(f, "3D_Names");
    for (const NetPoint& p : t.pts)
        if (p.vi == 3)
            f.line("text " + name_at(p, 0.5) + "," + real(p.h, 0, 3) + " " + th + " 0 " + whole(p.no));
    script_layer(f, "3D_Altitudes");
    for (const NetPoint& p : t.pts)
        if (p.vi == 3)
            f.line("text " + name_at(p, -1.0) + "," + real(p.h, 0, 3) + " " + th + " 0 " +
                   real(p.h, 0, par.decimals));
}

// Measurements as lines: plane ones between points with coordinates, spatial ones from
// instrument to target sign between points with heights as well; then the instrument and
// target heights as masts.
void plot_measurements(const NetTables& t, TextFile& f) {
    const std::vector<NetRow>& rows = t.rows;
    auto plane_lines = [&](auto measured) {
        for (const NetRow& r : rows) {
            if (!measured(r) || t.pts[r.ns].vi * t.pts[r.nt].vi <= 3) continue;
            f.line("line " + en(t, t.pts[r.ns]) + " " + en(t, t.pts[r.nt]));
            f.endl();
        }
    };
    auto space_lines = [&](auto measured) {
        for (const NetRow& r : rows) {
            const NetPoint& s = t.pts[r.ns];
            const NetPoint& e = t.pts[r.nt];
            if (!measured(r) || s.vi != 3 || e.vi != 3) continue;
            f.line("line " + en(t, s) + "," + real(s.h + r.hs / kMmPerMetre, 0, 4) + " " + en(t, e) + "," +
                   real(e.h + r.ht / kMmPerMetre, 0, 4));
            f.endl();
        }
    };
    script_layer(f, "Measured_R");
    plane_lines([](const NetRow& r) { return r.R > 0; });
    script_layer(f, "Measured_D");
    plane_lines([](const NetRow& r) { return r.D > 0; });
    script_layer(f, "Measured_V");
    space_lines([](const NetRow& r) { return r.V > 0; });
    script_layer(f, "Measured_S");
    space_lines([](const NetRow& r) { return r.S > 0; });
    script_layer(f, "Measured_HS");
    int last = -1;  // consecutive measurements of one station draw its instrument once
    for (const NetRow& r : rows) {
        if (t.pts[r.ns].vi != 3 || r.hs == 0 || r.ns == last) continue;
        mast(t, f, t.pts[r.ns], r.hs);
        last = r.ns;
    }
    script_layer(f, "Measured_HT");
    for (const NetRow& r : rows)
        if (t.pts[r.nt].vi == 3 && r.ht > 0) mast(t, f, t.pts[r.nt], r.ht);
}

}  // namespace

void write_plot(const NetTables& t, const Parameters& par, TextFile& f) {
    f.line("ucsicon off osnap none ortho off");
    plot_frame(t, f);
    plot_points(t, par, f);
    plot_measurements(t, f);
    script_layer(f, "Situation");
    f.line("regen");
}

void write_surface(const NetTables& t, TextFile& f) {
    for (const NetPoint& p : t.pts)
        if (p.vi == 3) f.line(surface_line(p.y + t.yo, p.x + t.xo, p.h));
}

void write_cad(const NetTables& t, TextFile& f) {
    f.line("HEADER                           ");
    f.line("  VERSION     1.00               ");
    f.line("  EKNM        10135              ");
    f.line("  PROGRAM     Vokram             ");
    f.line("  REFERENCE  " + real(t.xo, 11, 3) + " " + real(t.yo, 11, 3));
    f.line("END_HEADER                       ");
    f.endl();
    f.line("LAYER CADASTER");
    for (int i = 0; i < t.n(); ++i) {
        const NetPoint& p = t.pts[i];
        if (p.vi < 2) continue;
        const bool given = i < t.g;
        f.line(cad_point(given ? 2 : 20, p.no + (given ? 2000000LL : 20000000LL), p.x, p.y,
                         p.vi == 3 ? p.h : 0.0, 3, given ? 4 : 8));
    }
    f.line("END_LAYER");
}

void write_vk2(const NetTables& t, TextFile& f) {
    const std::string tildes40(40, '~'), tildes38(38, '~');
    const char* const head = "vi    no     xk         yk        hk    ";
    f.endl();
    f.line("Резултати от модул  * ВОКРАМ-2 *");
    f.line(std::string(32, '~'));
    f.endl();
    f.line(real(t.xo, 0, 1) + " " + real(t.yo, 0, 1) + " - редукционно начало");
    f.endl();
    f.line(whole(t.g, 10) + " - брой зададени точки");
    f.line(tildes40);
    f.line(head);
    f.line(tildes40);
    for (int i = 0; i < t.g; ++i) point_line(f, t.pts[i]);
    f.endl();
    f.line(whole(t.n() - t.g, 10) + " - брой нови точки");
    f.line(tildes40);
    f.line(head);
    f.line(tildes40);
    for (int i = t.g; i < t.n(); ++i) point_line(f, t.pts[i]);
    f.endl();
    int k = 0;
    for (const NetRow& r : t.rows) k += r.R + r.D > 0;
    f.line(whole(k, 10) + " - брой посоки и/или страни ");
    f.line(tildes38);
    f.line("    ps    ns    nt    R          D    ");
    f.line(tildes38);
    for (const NetRow& r : t.rows)
        if (r.R + r.D > 0)
            f.line(whole(r.ps, 6) + " " + whole(t.pts[r.ns].no, 5) + " " + whole(t.pts[r.nt].no, 5) + " " +
                   real(r.R, 9, 5) + " " + real(r.D, 9, 4));
    f.line(tildes38);
    f.endl();
}

void save_file(const Workspace& ws, const std::string& rel, const std::function<void(TextFile&)>& fill) {
    TextFile f(ws.file(rel), TextFile::Mode::replace);
    fill(f);
    f.close();
}

namespace {

constexpr const char* kSolution = "Temp/Solution.tmp";
constexpr const char* kTied[] = {"Temp/VK_1.tmp", "Temp/VK_2.tmp", "Temp/VK_H.tmp"};

// Three numbers for the bytes of each file of kTied: its size (-1 when it is absent) and the
// two halves of its 64-bit FNV-1a hash; "Temp/VK_2.tmp" read from `vk2`.
std::vector<long long> fingerprint(const Workspace& ws, const std::filesystem::path& vk2) {
    std::vector<long long> v;
    for (const std::string name : kTied) {
        const std::filesystem::path path = name == kTied[1] ? vk2 : ws.find(name);
        const std::optional<std::string> bytes = read_if_present(path, name);
        std::uint64_t h = 14695981039346656037ull;
        for (const char c : bytes.value_or(std::string()))
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        v.push_back(bytes ? static_cast<long long>(bytes->size()) : -1);
        v.push_back(static_cast<long long>(h >> 32));
        v.push_back(static_cast<long long>(h & 0xffffffffu));
    }
    return v;
}

}  // namespace

void save_plot(const Workspace& ws, const NetTables& t) {
    const Parameters par = read_parameter_file(ws).value_or(kDefaultParameters);
    save_file(ws, "VK/VK_2.scr", [&](TextFile& f) { write_plot(t, par, f); });
}

void write_solution(const Workspace& ws, const NetTables& t, const FileWriter& out) {
    const Parameters par = read_parameter_file(ws).value_or(kDefaultParameters);
    out("VK/Surface.txt", [&](TextFile& f) { write_surface(t, f); });
    out("VK/VK_2.scr", [&](TextFile& f) { write_plot(t, par, f); });
    out("VK/VK_2.cad", [&](TextFile& f) { write_cad(t, f); });
    out("Temp/VK_2.tmp", [&](TextFile& f) { write_vk2(t, f); });
}

void save_solution(const Workspace& ws, const NetTables& t) {
    write_solution(ws, t, [&](const std::string& rel, const std::function<void(TextFile&)>& fill) {
        save_file(ws, rel, fill);
    });
}

void write_fingerprint(const Workspace& ws, const std::filesystem::path& vk2, TextFile& f) {
    const std::vector<long long> v = fingerprint(ws, vk2);
    for (std::size_t i = 0; i < v.size(); i += 3)
        f.line(whole(v[i], 12) + " " + whole(v[i + 1], 10) + " " + whole(v[i + 2], 10) + "  " + kTied[i / 3]);
}

void save_fingerprint(const Workspace& ws) {
    save_file(ws, kSolution, [&](TextFile& f) { write_fingerprint(ws, ws.file("Temp/VK_2.tmp"), f); });
}

void check_fingerprint(const Workspace& ws) {
    NumberReader r = NumberReader::open_written(ws.file(kSolution), kSolution, kSmallFile);
    std::vector<long long> kept;
    r.rows(std::size(kTied), [&] {
        kept.push_back(r.integer(-1, 1LL << 53));
        kept.push_back(r.integer(0, 0xffffffffLL));
        kept.push_back(r.integer(0, 0xffffffffLL));
    });
    if (kept != fingerprint(ws, ws.file("Temp/VK_2.tmp")))
        throw FatalIo{kReadError,
                      "Temp/VK_2.tmp и Temp/VK_H.tmp не са изчислени от сегашния Temp/VK_1.tmp: "
                      "стартирайте vokram2"};
}

}  // namespace vk
