#include "survey_maker.hpp"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace v5test {

using vk::real;
using vk::whole;

namespace {

constexpr double kGon = M_PI / 200.0;

double reading(double g) {  // a circle reading in (0, 400]
    g = std::fmod(g, 400.0);
    return g <= 0.0 ? g + 400.0 : g;
}

// Readings of `target` from `at` that carry it back through the reductions: the horizontal
// distance is sin z times the slope distance, corrected by scale and prism constant and
// reduced to the projection plane; the height difference is s cos z plus curvature and
// refraction over a sphere of 6375050 m (none from a height-only station, whose detail
// points the module levels without them). The station's own sights have the slope
// distance corrected first, the detail sights the horizontal distance. `faces` gives the
// faces in their order ("12": face I, then face II).
std::string observe(const True& at, const True& target, double t, const std::string& faces, const Settings& s,
                    bool own) {
    const double dx = target.x - at.x, dy = target.y - at.y;
    const double scale = 1.0 + s.ppm / 1e6, add = s.add_mm / 1000.0;
    const double plane = std::hypot(dx, dy) / (1.0 - s.hp / 6375050.0);
    const double hz = own ? plane : (plane - add) / scale;
    double slope = hz, v = 0.0;
    for (int it = 0; it < 20; ++it) {
        v = target.h + t - at.h - 1.553 -
            (own || at.vi != 1 ? slope * slope * (1.0 - s.k) / 12742000.0 : 0.0);
        slope = std::hypot(hz, v);
    }
    const double z = std::atan2(hz, v) / kGon, r = reading(std::atan2(dy, dx) / kGon - 37.1234 - at.no);
    const std::string head = whole(target.no) + " " + real(t, 0, 3) + " ";
    const std::string end = " " + real(own ? (slope - add) / scale : slope, 0, 6) + "\n";
    const std::string one = real(r, 0, 8) + " " + real(z - s.index, 0, 8);
    const std::string two = real(reading(r + 200), 0, 8) + " " + real(400 - z - s.index, 0, 8);
    std::string out;
    for (char face : faces) out += head + (face == '1' ? one : two) + end;
    return out;
}

// A point table of "Temp/VK_2.tmp": count line, rule, header, rule, rows, empty line.
std::string table(const std::vector<True>& pts, const Network& n) {
    std::string s = whole(static_cast<long long>(pts.size()), 10) + " - points\r\n~\r\nvi no x y h\r\n~\r\n";
    for (const True& p : pts)
        s += " " + whole(p.vi) + " " + whole(p.no) + " " + real(p.vi >= 2 ? p.x - n.xo : 0.0, 0, 4) + " " +
             real(p.vi >= 2 ? p.y - n.yo : 0.0, 0, 4) + " " + real(p.vi == 2 ? -999.0 : p.h, 0, 4) + "\r\n";
    return s + "\r\n";
}

}  // namespace

Lines tail(const Lines& l, std::size_t n) {
    return Lines(l.end() - static_cast<std::ptrdiff_t>(std::min(n, l.size())), l.end());
}

int found(const Lines& lines, const std::string& prefix, const std::vector<double>& want, double tol) {
    int count = 0;
    for (const std::string& l : lines) {
        if (l.rfind(prefix, 0) != 0) continue;
        std::istringstream in(l.substr(prefix.size()));
        std::size_t i = 0;
        bool near = true;
        for (double d; in >> d; ++i) near = near && i < want.size() && std::fabs(d - want[i]) <= tol;
        count += near && in.eof() && i == want.size();
    }
    return count;
}

Network::Network() {
    given = {{101, 4567891.234, 8512345.678, 512.346},
             {102, 4568412.871, 8512198.402, 527.118},
             {103, 4568307.519, 8512912.655, 534.902}};
    added = {{5, 4568100.125, 8512520.5, 520.731, 3},
             {6, 4568250, 8512400, 515, 2},
             {7, 4568150, 8512700, 530.25, 1}};
}

std::vector<True> detail(const True& at) {
    std::vector<True> d;
    for (int k = 0; k < 6; ++k)
        d.push_back({at.no * 1000 + k, at.x + 40 * k - 120, at.y + 160 - 60 * k, at.h + 2 * k - 5});
    return d;
}

Folder::Folder(const Network& n) {
    write("Temp/Key.tmp", "1\r\n");
    write("Temp/VK_2.tmp", "\r\nVK_2\r\n~\r\n\r\n" + real(n.xo, 0, 1) + " " + real(n.yo, 0, 1) +
                               " - origin\r\n\r\n" + table(n.given, n) + table(n.added, n));
    write("VK/VK_2.cad", "HEADER\r\nEND_HEADER\r\n\r\nLAYER CADASTER\r\nEND_LAYER\r\n");
    write("VK/Surface.txt", "8512345.68 4567891.23 512.35\r\n");
}

void Folder::params(const Settings& s) const {
    std::string text = "~\r\nP\r\n~\r\n";
    for (double v : {0.02, 0.15, 0.15, s.hp, s.k, s.add_mm, s.ppm, s.index, 0.2})
        text += real(v, 0, 4) + " [-]\r\n";
    write("P.txt", text + "2\r\n");
}

void Folder::survey(const Network& n, const Settings& s, std::size_t stations) const {
    std::string text = "Generated survey\nfrom true coordinates\n\n";
    for (std::size_t i = 0; i < stations; ++i) {
        const True& at = n.added[i];
        text += whole(at.no) + " 1.553\n" + observe(at, n.given[0], 1.8, "12", s, true) +
                observe(at, n.given[1], 1.8, "21", s, true) + observe(at, n.given[2], 1.3, "1", s, true) +
                "-4\n-9\n";
        const char* faces[] = {"12", "21", "1", "2", "1", "2"};
        const std::vector<True> d = detail(at);
        for (int k = 0; k < 6; ++k)
            text += observe(at, d[k], k == 2 ? 0.0 : 1.2 + 0.1 * k, faces[k], s, false);
        text += "-9\n";
    }
    write("VK/Geo_Data.txt", text);
}

Stage::Stage() {
    p.xo = 4000000, p.yo = 8000000;
    p.pts = {{3, 1, 1000, 1000, 100},
             {3, 2, 1100, 1000, 100},
             {3, 3, 1000, 1100, 100},
             {2, 4, 900, 1000, 0},
             {1, 5, 0, 0, 120}};
    p.J = 0;
    vk::v5::derive(p.par);
}

bool Stage::data(const std::string& text) {
    p.geo = vk::NumberReader(text, "VK/Geo_Data.txt");
    return stops([](vk::v5::Polar& q) {
        do vk::v5::stanciq(q);
        while (!q.geo.at_end());
    });
}

vk::v5::Sight sight(int target, double R, double V, double S, double D) {
    return {1, 1500, static_cast<std::uint16_t>(target), 1500, R, V, S, D};
}

}  // namespace v5test
