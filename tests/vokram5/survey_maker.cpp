#include "survey_maker.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "vokram/text.hpp"

namespace v5test {

namespace fs = std::filesystem;
using vk::real;
using vk::whole;

namespace {

constexpr double kGon = M_PI / 200.0;

double reading(double g) {  // a circle reading in (0, 400]
    g = std::fmod(g, 400.0);
    return g <= 0.0 ? g + 400.0 : g;
}

// Readings that carry the true target back through the reductions: the horizontal
// distance is sin z times the slope distance, corrected by scale and prism constant and
// reduced to the projection plane; the height difference is s cos z plus curvature and
// refraction over a sphere of 6375050 m (none from a height-only station, whose detail
// points the module levels without them). The station's own sights have the slope
// distance corrected first, the detail sights the horizontal distance.
void observe(std::ostringstream& o, const Station& st, const Aim& a, const Settings& s, bool own) {
    const double dx = a.target.x - st.at.x, dy = a.target.y - st.at.y;
    const double q = s.hp / 6375050.0, scale = 1.0 + s.ppm / 1e6, add = s.add_mm / 1000.0;
    const double hz = own ? std::hypot(dx, dy) / (1.0 - q) : (std::hypot(dx, dy) / (1.0 - q) - add) / scale;
    const bool curved = own || st.at.vi != 1;
    double slope = hz, v = 0.0;
    for (int it = 0; it < 20; ++it) {
        v = a.target.h + a.t - st.at.h - st.i - (curved ? slope * slope * (1.0 - s.k) / 12742000.0 : 0.0);
        slope = std::hypot(hz, v);
    }
    const double z = std::atan2(hz, v) / kGon, r = reading(std::atan2(dy, dx) / kGon - st.zero);
    const std::string head = whole(a.target.no) + " " + real(a.t, 0, 3) + " ";
    const std::string tail = " " + real(own ? (slope - add) / scale : slope, 0, 6) + "\n";
    const std::string one = head + real(r, 0, 8) + " " + real(z - s.index, 0, 8) + tail;
    const std::string two = head + real(reading(r + 200), 0, 8) + " " + real(400 - z - s.index, 0, 8) + tail;
    const bool first = a.faces != Faces::II && a.faces != Faces::II_then_I;
    const bool both = a.faces == Faces::I_then_II || a.faces == Faces::II_then_I;
    o << (first ? one : two) << (both ? (first ? two : one) : "");
}

void point_line(vk::TextFile& f, const True& p, const Network& n) {
    const bool plane = p.vi >= 2;
    f.line(" " + whole(p.vi, 1) + " " + whole(p.no, 5) + " " + real(plane ? p.x - n.xo : 0.0, 10, 4) + " " +
           real(plane ? p.y - n.yo : 0.0, 10, 4) + " " + real(p.vi == 2 ? -999.0 : p.h, 9, 4));
}

}  // namespace

Folder::Folder() {
    char tmpl[] = "/tmp/vokram5_test_XXXXXX";
    root_ = ::mkdtemp(tmpl);
    fs::create_directory(root_ / "VK");
    fs::create_directory(root_ / "Temp");
}

Folder::~Folder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void Folder::write(const std::string& rel, const std::string& bytes) const {
    std::ofstream(root_ / rel, std::ios::binary) << bytes;
}

std::string Folder::read(const std::string& rel) const {
    std::ifstream in(root_ / rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Folder::lines(const std::string& rel) const {
    std::vector<std::string> out;
    std::istringstream in(vk::from_cp1251(read(rel)));
    for (std::string l; std::getline(in, l);) out.push_back(l.substr(0, l.size() - 1));  // drop the CR
    return out;
}

void Folder::network(const Network& n) const {
    write("Temp/Key.tmp", "1\r\n");
    write("VK/Protokol.TXT", "");
    const std::string t40(40, '~'), t38(38, '~'), head = "vi    no     xk         yk        hk    ";
    vk::TextFile f(root_ / "Temp/VK_2.tmp", vk::TextFile::Mode::create);
    f.endl().line("Резултати от модул  * ВОКРАМ-2 *").line(std::string(32, '~')).endl();
    f.line(real(n.xo, 0, 1) + " " + real(n.yo, 0, 1) + " - редукционно начало").endl();
    f.line(whole(static_cast<long long>(n.given.size()), 10) + " - брой зададени точки");
    f.line(t40).line(head).line(t40);
    for (const True& p : n.given) point_line(f, p, n);
    f.endl().line(whole(static_cast<long long>(n.added.size()), 10) + " - брой нови точки");
    f.line(t40).line(head).line(t40);
    for (const True& p : n.added) point_line(f, p, n);
    f.endl().line(whole(1, 10) + " - брой посоки и/или страни ");
    f.line(t38).line("    ps    ns    nt    R          D    ").line(t38);
    f.line("     1   101   102  12.34560  123.4560").line(t38).endl();
    f.close();

    vk::TextFile cad(root_ / "VK/VK_2.cad", vk::TextFile::Mode::create);
    const std::string pad(27, ' ');
    cad.line("HEADER" + pad)
        .line("  VERSION     1.00               ")
        .line("  EKNM        10135              ");
    cad.line("  PROGRAM     Vokram             ")
        .line("  REFERENCE  " + real(n.xo, 11, 3) + " " + real(n.yo, 11, 3));
    cad.line("END_HEADER                       ").endl().line("LAYER CADASTER");
    vk::TextFile sur(root_ / "VK/Surface.txt", vk::TextFile::Mode::create);
    for (const True& p : n.given) {
        if (p.vi >= 2)
            cad.line("P   2 " + whole(2000000 + p.no, 8) + " " + real(p.x - n.xo, 10, 3) + " " +
                     real(p.y - n.yo, 10, 3) + " " + real(p.vi == 3 ? p.h : 0.0, 10, 3) + " 4 4");
        if (p.vi == 3) sur.line(real(p.y, 0, 2) + " " + real(p.x, 0, 2) + " " + real(p.h, 0, 2));
    }
    cad.line("END_LAYER");
    cad.close();
    sur.close();
}

void Folder::params(const Settings& s) const {
    vk::TextFile f(root_ / "P.txt", vk::TextFile::Mode::create);
    const std::string rule(65, '~');
    f.line(rule).line("     * ВОКРАМ *     параметри при обработка на измерванията      ").line(rule);
    f.line("   0.0200  [гради]  недопустима разлика за ъглови  величини").line("   0.150   [м.]");
    f.line("   0.150   [м.]").line("   " + real(s.hp, 0, 3) + "    [м.]").line("   " + real(s.k, 0, 3));
    f.line("   " + real(s.add_mm, 0, 1) + "     [мм.]").line("   " + real(s.ppm, 0, 2) + "    [мм/км]");
    f.line("   " + real(s.index, 0, 4) + "  [гради]")
        .line("   0.2     [м.]")
        .line("   2       [брой]")
        .line(rule);
    f.close();
}

std::string polar_station(const Station& st, const Settings& s) {
    std::ostringstream o;
    o << st.at.no << " " << real(st.i, 0, 3) << "\n";
    for (const Aim& a : st.known) observe(o, st, a, s, true);
    o << "-4\n-9\n";
    for (const Aim& a : st.detail) observe(o, st, a, s, false);
    o << "-9\n";
    return o.str();
}

void Folder::survey(const std::vector<Station>& st, const Settings& s) const {
    std::string text = "Generated survey\nfrom true coordinates\n\n";
    for (const Station& one : st) text += polar_station(one, s);
    write("VK/Geo_Data.txt", text);
}

std::multimap<int, Got> report_rows(const std::vector<std::string>& report) {
    std::multimap<int, Got> out;
    bool table = false;
    for (const std::string& l : report) {
        if (l.empty() || l.find("ТОЧКИ ОТ ПОЛЯРНО ЗАСНИМАНЕ") != std::string::npos) table = !l.empty();
        std::istringstream in(l);
        std::vector<double> v;
        for (double d; in >> d;) v.push_back(d);
        if (!table || !in.eof() || v.size() < 2) continue;  // text, or a header line
        Got g;
        g.x = v.size() > 2 ? v[1] : 0, g.y = v.size() > 2 ? v[2] : 0;
        g.has_h = v.size() != 3, g.h = v.back();
        out.emplace(static_cast<int>(v[0]), g);
    }
    return out;
}

std::multimap<int, Got> cadastral(const std::vector<std::string>& cad, const Network& n) {
    std::multimap<int, Got> out;
    for (const std::string& l : cad) {
        if (l.rfind("P  28 ", 0) != 0) continue;
        std::istringstream in(l.substr(6));
        long long code;
        Got g;
        in >> code >> g.x >> g.y >> g.h;
        g.x += n.xo, g.y += n.yo, g.has_h = true;
        out.emplace(static_cast<int>(code - 28000000), g);
    }
    return out;
}

}  // namespace v5test
