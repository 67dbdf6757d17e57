#include "survey_maker.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "vokram/text.hpp"

namespace v5test {

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarth = 6375050.0;

std::string fix(double v, int d) {
    return vk::real(v, 0, d);
}

double grads(double radians) {
    double g = radians * 200.0 / kPi;
    while (g < 0.0) g += 400.0;
    while (g >= 400.0) g -= 400.0;
    return g;
}

// A circle reading in (0, 400]: the data file writes 400 for the zero direction.
double reading(double g) {
    while (g <= 0.0) g += 400.0;
    while (g > 400.0) g -= 400.0;
    return g;
}

// Readings of one sight: direction, zenith angle and slope distance for faces I and II.
struct Readings {
    double r1, v1, r2, v2, s;
};

// The readings that carry the true target back through the reductions: the horizontal
// distance is sin z times the slope distance, corrected by scale and prism constant and
// reduced to the projection plane; the height difference is s cos z plus curvature and
// refraction. `station_sight` corrects the slope distance before the reduction (the order
// used for the station's own sights), otherwise the horizontal distance.
Readings observe(const Station& st, const Aim& a, const Settings& s, bool station_sight, bool curvature) {
    const double dx = a.target.x - st.at.x, dy = a.target.y - st.at.y;
    const double plane = std::hypot(dx, dy);
    const double q = (kEarth + s.hp) / kEarth - 1.0;
    const double scale = 1.0 + s.ppm / 1e6, add = s.add_mm / 1000.0;
    const double hz = station_sight ? plane / (1.0 - q) : (plane / (1.0 - q) - add) / scale;
    double slope = hz, v = 0.0;
    for (int it = 0; it < 20; ++it) {
        v = (a.target.h + a.t) - (st.at.h + st.i);
        if (curvature) v -= slope * slope * (1.0 - s.k) / 12742000.0;
        slope = std::hypot(hz, v);
    }
    const double z = grads(std::atan2(hz, v));
    Readings r;
    r.r1 = reading(grads(std::atan2(dy, dx)) - st.zero);
    r.r2 = reading(r.r1 + 200.0);
    r.v1 = z - s.index;
    r.v2 = 400.0 - z - s.index;
    r.s = station_sight ? (slope - add) / scale : slope;
    return r;
}

void sight_lines(std::ostringstream& o, const Station& st, const Aim& a, const Settings& s,
                 bool station_sight, bool curvature) {
    const Readings r = observe(st, a, s, station_sight, curvature);
    const std::string head = "   " + std::to_string(a.target.no) + "  " + fix(a.t, 3) + "  ";
    const std::string face1 = head + fix(r.r1, 8) + "  " + fix(r.v1, 8) + "  " + fix(r.s, 6) + "\n";
    const std::string face2 = head + fix(r.r2, 8) + "  " + fix(r.v2, 8) + "  " + fix(r.s, 6) + "\n";
    switch (a.faces) {
        case Faces::I:
            o << face1;
            break;
        case Faces::II:
            o << face2;
            break;
        case Faces::I_then_II:
            o << face1 << face2;
            break;
        case Faces::II_then_I:
            o << face2 << face1;
            break;
    }
}

void point_line(vk::TextFile& f, const True& p, const Network& n) {
    const bool plane = p.vi >= 2;
    f.line(" " + vk::whole(p.vi, 1) + " " + vk::whole(p.no, 5) + " " +
           vk::real(plane ? p.x - n.xo : 0.0, 10, 4) + " " + vk::real(plane ? p.y - n.yo : 0.0, 10, 4) + " " +
           vk::real(p.vi == 2 ? -999.0 : p.h, 9, 4));
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
    const std::string bytes = read(rel);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(vk::from_cp1251(bytes.substr(start)));
            break;
        }
        out.push_back(vk::from_cp1251(bytes.substr(start, end - start)));
        start = end + 2;
    }
    return out;
}

void Folder::network(const Network& n) const {
    write("Temp/Key.tmp", "1\r\n");
    const std::string tildes40(40, '~'), tildes38(38, '~');
    const char* header = "vi    no     xk         yk        hk    ";
    {
        vk::TextFile f(root_ / "Temp/VK_2.tmp", vk::TextFile::Mode::create);
        f.endl();
        f.line("Резултати от модул  * ВОКРАМ-2 *");
        f.line(std::string(32, '~'));
        f.endl();
        f.line(vk::real(n.xo, 0, 1) + " " + vk::real(n.yo, 0, 1) + " - редукционно начало");
        f.endl();
        f.line(vk::whole(static_cast<long long>(n.given.size()), 10) + " - брой зададени точки");
        f.line(tildes40).line(header).line(tildes40);
        for (const True& p : n.given) point_line(f, p, n);
        f.endl();
        f.line(vk::whole(static_cast<long long>(n.added.size()), 10) + " - брой нови точки");
        f.line(tildes40).line(header).line(tildes40);
        for (const True& p : n.added) point_line(f, p, n);
        f.endl();
        f.line(vk::whole(1, 10) + " - брой посоки и/или страни ");
        f.line(tildes38).line("    ps    ns    nt    R          D    ").line(tildes38);
        f.line("     1   101   102  12.34560  123.4560");
        f.line(tildes38);
        f.endl();
        f.close();
    }
    {
        vk::TextFile f(root_ / "VK/VK_2.cad", vk::TextFile::Mode::create);
        f.line("HEADER                           ");
        f.line("  VERSION     1.00               ");
        f.line("  EKNM        10135              ");
        f.line("  PROGRAM     Vokram             ");
        f.line("  REFERENCE  " + vk::real(n.xo, 11, 3) + " " + vk::real(n.yo, 11, 3));
        f.line("END_HEADER                       ");
        f.endl();
        f.line("LAYER CADASTER");
        for (const True& p : n.given)
            if (p.vi >= 2)
                f.line("P   2 " + vk::whole(2000000 + p.no, 8) + " " + vk::real(p.x - n.xo, 10, 3) + " " +
                       vk::real(p.y - n.yo, 10, 3) + " " + vk::real(p.vi == 3 ? p.h : 0.0, 10, 3) + " 4 4");
        f.line("END_LAYER");
        f.close();
    }
    {
        vk::TextFile f(root_ / "VK/Surface.txt", vk::TextFile::Mode::create);
        for (const True& p : n.given)
            if (p.vi == 3)
                f.line(vk::real(p.y, 0, 2) + " " + vk::real(p.x, 0, 2) + " " + vk::real(p.h, 0, 2));
        f.close();
    }
    {
        vk::TextFile f(root_ / "VK/Protokol.TXT", vk::TextFile::Mode::create);
        f.line("    (отчет на предните модули)");
        f.close();
    }
}

void Folder::params(const Settings& s) const {
    vk::TextFile f(root_ / "P.txt", vk::TextFile::Mode::create);
    const std::string rule(65, '~');
    f.line(rule);
    f.line("     * ВОКРАМ *     параметри при обработка на измерванията      ");
    f.line(rule);
    f.line("   " + fix(s.tol_angle, 4) + "  [гради]  недопустима разлика за ъглови  величини");
    f.line("   " + fix(s.tol_linear, 3) + "   [м.]     недопустима разлика за линейни величини");
    f.line("   " + fix(s.tol_height, 3) + "   [м.]     недопустима разлика за превишения");
    f.line("   " + fix(s.hp, 3) + "    [м.]     височина над проекционната равнина");
    f.line("   " + fix(s.k, 3) + "            коефиц. отчитащ рефракция за визури над 300м.");
    f.line("   " + fix(s.add_mm, 1) + "     [мм.]    събир. попр. към дължини (? призм. константа)");
    f.line("   " + fix(s.ppm, 2) + "    [мм/км]  умнож. попр. към дължини (? атмосф. условия )");
    f.line("   " + fix(s.index, 4) + "  [гради]  поправка към индекс на вертикален кръг");
    f.line("   " + fix(s.text, 2) + "     [м.]     височина на текст в чертежа, извън мащаб");
    f.line("   " + std::to_string(s.decimals) +
           "       [брой]   брой знаци след дес. точка за коти в чертежа");
    f.line(rule);
    f.close();
}

std::string polar_station(const Station& st, const Settings& s) {
    std::ostringstream o;
    o << st.at.no << " " << fix(st.i, 3) << "\n";
    for (const Aim& a : st.known) sight_lines(o, st, a, s, true, true);
    o << "-4\n-9\n";
    for (const Aim& a : st.detail) sight_lines(o, st, a, s, false, st.curvature);
    o << "-9\n";
    return o.str();
}

void Folder::survey(const Network& n, const Settings& s, const std::vector<Station>& st) const {
    std::ostringstream o;
    o << "Generated survey\nfrom true coordinates\n-3 given, -4 stations, -9 detail\n";
    for (const True& p : n.given)
        if (p.vi == 3) o << p.no << " " << fix(p.x, 4) << " " << fix(p.y, 4) << " " << fix(p.h, 4) << "\n";
    o << "-3\n";
    for (const Station& one : st) o << polar_station(one, s);
    write("VK/Geo_Data.txt", o.str());
}

std::multimap<int, Got> report_rows(const std::vector<std::string>& report) {
    std::multimap<int, Got> out;
    bool table = false;
    for (const std::string& l : report) {
        if (l.find("ТОЧКИ ОТ ПОЛЯРНО ЗАСНИМАНЕ") != std::string::npos) {
            table = true;
            continue;
        }
        if (l.empty()) table = false;
        if (!table) continue;
        std::istringstream in(l);
        std::vector<double> v;
        double d;
        while (in >> d) v.push_back(d);
        if (!in.eof() || v.size() < 2) continue;  // a header line
        Got g;
        if (v.size() == 2) g.h = v[1], g.has_h = true;
        if (v.size() >= 3) g.x = v[1], g.y = v[2];
        if (v.size() == 4) g.h = v[3], g.has_h = true;
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
