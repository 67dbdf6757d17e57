// Whole runs of vokram5 on surveys generated from known true coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

#include "survey_maker.hpp"
#include "vokram5/polar.hpp"

namespace {

using namespace v5test;

constexpr double kMm = 0.001;

// The network: three given 3D points, and new points that serve as polar stations of
// every kind (3 plane and height, 2 plane only, 1 height only).
Network network() {
    Network n;
    n.given = {{101, 4567891.234, 8512345.678, 512.346},
               {102, 4568412.871, 8512198.402, 527.118},
               {103, 4568307.519, 8512912.655, 534.902}};
    n.added = {{5, 4568100.125, 8512520.500, 520.731, 3},
               {6, 4568250.000, 8512400.000, 0.0, 2},
               {7, 4568150.000, 8512700.000, 530.250, 1}};
    return n;
}

// Detail points around a station, sighted in every way a surveyor does.
std::vector<Aim> details(const True& at, int first) {
    const struct {
        double de, dn, dh, t;
        Faces faces;
    } shape[] = {
        {12.3, 20.1, 1.2, 1.8, Faces::I_then_II}, {-25.4, 3.3, -2.1, 0.0, Faces::II_then_I},
        {-8.7, -30.9, 0.4, 1.3, Faces::I},        {40.2, -11.6, 3.7, 1.5, Faces::II},
        {0.0, 55.5, -0.8, 2.0, Faces::I},         {-60.1, -45.2, 5.5, 1.5, Faces::II},
    };
    std::vector<Aim> out;
    int no = first;
    for (const auto& s : shape) {
        Aim a;
        a.target = {no++, at.x + s.dn, at.y + s.de, at.h + s.dh};
        a.t = s.t;
        a.faces = s.faces;
        out.push_back(a);
    }
    return out;
}

std::vector<Station> stations(const Network& n) {
    const True& s5 = n.added[0];
    const True& s6 = n.added[1];
    True s7 = n.added[2];
    s7.x = 4568150.0, s7.y = 8512700.0;  // true plan position, unknown to the network
    Station a{s5, 1.553, 37.1234, {}, details(s5, 1001)};
    a.known = {{n.given[0], 1.8, Faces::I_then_II},
               {n.given[1], 1.8, Faces::II_then_I},
               {n.given[2], 1.3, Faces::I}};
    Station b{s6, 1.47, 251.0, {}, details({6, s6.x, s6.y, 515.0}, 2001)};
    b.known = {{n.given[0], 1.5, Faces::I_then_II}, {n.given[1], 1.5, Faces::II}};
    Station c{s7, 1.62, 3.5, {}, details(s7, 3001)};
    c.known = {{n.given[2], 1.5, Faces::I_then_II}};
    c.curvature = false;
    return {a, b, c};
}

struct Case {
    const char* name;
    Settings s;
    bool write_params;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Generated : public testing::TestWithParam<Case> {};

// Every detail point comes back at its true position and height, in the report, the
// cadastral file and the surface list, whatever the faces, the corrections and the kind
// of the station.
TEST_P(Generated, DetailPointsComeBackWithinAMillimetre) {
    const Case& c = GetParam();
    Folder f;
    const Network n = network();
    const std::vector<Station> st = stations(n);
    f.network(n);
    if (c.write_params) f.params(c.s);
    f.survey(n, c.s, st);

    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v5::run(con, f.root()), 0);
    const std::vector<std::string> rep = f.lines("VK/Protokol.TXT");
    ASSERT_TRUE(con.showed("РЕШАВАНЕ НА ПОЛЯРНИ СТАНЦИИ - ЗАВЪРШЕНО.")) << "report ends: " << rep.back();

    const auto rows = report_rows(rep);
    const auto cad = cadastral(f.lines("VK/VK_2.cad"), n);
    const std::vector<std::string> surface = f.lines("VK/Surface.txt");
    for (const Station& one : st)
        for (const Aim& a : one.detail) {
            const int no = a.target.no;
            SCOPED_TRACE("point " + std::to_string(no));
            ASSERT_EQ(rows.count(no), 1u);
            const Got& g = rows.find(no)->second;
            const int kind = one.at.vi;
            if (kind >= 2) {
                EXPECT_NEAR(g.x, a.target.x, kMm);
                EXPECT_NEAR(g.y, a.target.y, kMm);
                ASSERT_EQ(cad.count(no), 1u);
                const Got& k = cad.find(no)->second;
                const double rounding = kind == 3 ? 0.0005 : 0.005;  // 3 or 2 decimals
                EXPECT_NEAR(k.x, a.target.x, kMm + rounding);
                EXPECT_NEAR(k.y, a.target.y, kMm + rounding);
            } else {
                EXPECT_EQ(cad.count(no), 0u);
            }
            EXPECT_EQ(g.has_h, kind != 2);
            if (kind != 2) {
                EXPECT_NEAR(g.h, a.target.h, kMm);
            }
            // The surface list holds the 3D points, easting first, to the centimetre.
            const bool listed = std::any_of(surface.begin(), surface.end(), [&](const std::string& l) {
                double e = 0, nn = 0, h = 0;
                return std::sscanf(l.c_str(), "%lf %lf %lf", &e, &nn, &h) == 3 &&
                       std::fabs(e - a.target.y) < 0.006 && std::fabs(nn - a.target.x) < 0.006 &&
                       std::fabs(h - a.target.h) < 0.006;
            });
            EXPECT_EQ(listed, kind == 3);
        }
}

INSTANTIATE_TEST_SUITE_P(Settings, Generated,
                         testing::Values(Case{"plain", Settings{}, true},
                                         Case{"corrections",
                                              [] {
                                                  Settings s;
                                                  s.index =
                                                      0.0030;  // the instrument's index error is -0.0030
                                                  s.ppm = 10.0;
                                                  s.add_mm = 5.0;
                                                  s.hp = 637.505;
                                                  s.k = 0.106;
                                                  return s;
                                              }(),
                                              true},
                                         Case{"no_parameter_file",
                                              [] {
                                                  Settings s;
                                                  s.k =
                                                      0.0;  // without "P.txt" the refraction coefficient is 0
                                                  return s;
                                              }(),
                                              false}),
                         [](const testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// Writing the same survey face II first instead of face I first changes nothing.
TEST(Generated, FaceOrderDoesNotMatter) {
    const Network n = network();
    std::vector<std::multimap<int, Got>> results;
    for (bool swap : {false, true}) {
        std::vector<Station> st = stations(n);
        for (Station& one : st)
            for (Aim& a : one.detail)
                if (swap && a.faces == Faces::I_then_II) a.faces = Faces::II_then_I;
        Folder f;
        f.network(n);
        f.params(Settings{});
        f.survey(n, Settings{}, st);
        vk::ScriptedConsole con;
        ASSERT_EQ(vk::v5::run(con, f.root()), 0);
        results.push_back(report_rows(f.lines("VK/Protokol.TXT")));
    }
    ASSERT_EQ(results[0].size(), results[1].size());
    for (auto a = results[0].begin(), b = results[1].begin(); a != results[0].end(); ++a, ++b) {
        EXPECT_EQ(a->first, b->first);
        EXPECT_NEAR(a->second.x, b->second.x, 0.0001);
        EXPECT_NEAR(a->second.h, b->second.h, 0.0001);
    }
}

// Each run appends its layer block and surface lines; the script holds only the last run.
TEST(Run, TwiceAppendsTwice) {
    Folder f;
    const Network n = network();
    f.network(n);
    f.params(Settings{});
    f.survey(n, Settings{}, stations(n));
    const std::size_t surface_before = f.lines("VK/Surface.txt").size();
    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v5::run(con, f.root()), 0);
    const std::string script = f.read("VK/VK_5.scr");
    const std::size_t surface_once = f.lines("VK/Surface.txt").size();
    ASSERT_EQ(vk::v5::run(con, f.root()), 0);

    EXPECT_EQ(f.read("VK/VK_5.scr"), script);
    EXPECT_EQ(f.lines("VK/Surface.txt").size() - surface_once, surface_once - surface_before);
    const std::vector<std::string> cad = f.lines("VK/VK_2.cad");
    EXPECT_EQ(std::count(cad.begin(), cad.end(), "LAYER CADASTER"), 3);  // vokram2's and two of ours
    EXPECT_EQ(std::count(cad.begin(), cad.end(), "END_LAYER"), 3);
    EXPECT_EQ(cadastral(cad, n).count(1001), 2u);
    EXPECT_EQ(cad.back(), "END_LAYER");
    EXPECT_EQ(con.waits, 2);
}

// The files are Windows-1251 with CR LF, and the script ends with the closing lines.
TEST(Run, FilesEndTheWayCadExpects) {
    Folder f;
    const Network n = network();
    f.network(n);
    f.survey(n, Settings{}, stations(n));
    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v5::run(con, f.root()), 0);
    const std::string scr = f.read("VK/VK_5.scr");
    const std::string end = "\r\nlayer s Situation\r\n\r\nzoom e\r\n";
    EXPECT_EQ(scr.substr(scr.size() - end.size()), end);
    EXPECT_EQ(scr.find('\n', 0), scr.find("\r\n", 0) + 1);
    const std::string rep = f.read("VK/Protokol.TXT");
    EXPECT_NE(rep.find(vk::to_cp1251(" ПОЛЯРНА СНИМКА, ПРИЕМА ТОЧКИ ОТ РЕШЕНИЕ.\r\n")), std::string::npos);
    EXPECT_NE(rep.find("\r\n    \xcf\xf0\xe8\xe5\xf2\xe8 6 \xf2\xee\xf7\xea\xe8. \r\n"), std::string::npos)
        << "'    Приети 6 точки. ' in Windows-1251";
}

// A data file without a polar station leaves an empty layer block and a bare script.
TEST(Run, NoPolarStationLeavesEmptyBlocks) {
    for (bool with_file : {true, false}) {
        Folder f;
        const Network n = network();
        f.network(n);
        if (with_file) f.write("VK/Geo_Data.txt", "a\nb\nc\n101 1.5 102 1.8 12.3 99.1 400.12 -4\n");
        vk::ScriptedConsole con;
        ASSERT_EQ(vk::v5::run(con, f.root()), 0);
        const std::vector<std::string> rep = f.lines("VK/Protokol.TXT");
        const std::vector<std::string> tail(rep.end() - 5, rep.end());
        EXPECT_EQ(tail, (std::vector<std::string>{"", " ПОЛЯРНА СНИМКА, ПРИЕМА ТОЧКИ ОТ РЕШЕНИЕ.", "",
                                                  "    Приети 6 точки. ", ""}));
        EXPECT_EQ(f.lines("VK/VK_5.scr"), (std::vector<std::string>{"layer s Situation", "", "zoom e"}));
        const std::vector<std::string> cad = f.lines("VK/VK_2.cad");
        EXPECT_EQ(std::vector<std::string>(cad.end() - 4, cad.end()),
                  (std::vector<std::string>{"END_LAYER", "", "LAYER CADASTER", "END_LAYER"}));
    }
}

// A token of 0 (a failed predecessor) ends the run at once and touches nothing.
TEST(Run, BlockedTokenTouchesNothing) {
    Folder f;
    const Network n = network();
    f.network(n);
    f.survey(n, Settings{}, stations(n));
    f.write("Temp/Key.tmp", "0\r\n");
    const std::string rep = f.read("VK/Protokol.TXT");
    vk::ScriptedConsole con;
    EXPECT_EQ(vk::v5::run(con, f.root()), 0);
    EXPECT_EQ(f.read("VK/Protokol.TXT"), rep);
    EXPECT_FALSE(std::filesystem::exists(f / "VK/VK_5.scr"));
    EXPECT_TRUE(con.shown.empty());
    EXPECT_EQ(con.waits, 0);
}

// Damaged input ends with a fatal input error and its line on the console, never a crash
// or a half-read table; files vokram5 needs but vokram2 did not leave are fatal too.
TEST(Run, DamagedInputIsFatal) {
    const struct {
        const char* what;
        const char* file;
        std::string bytes;  // empty: remove the file
    } cases[] = {
        {"network file cut short", "Temp/VK_2.tmp",
         "\r\nx\r\n~~\r\n\r\n-10.0 -10.0 - origin\r\n\r\n         3 - n\r\n"},
        {"letters where a number stands", "Temp/VK_2.tmp",
         "\r\nx\r\n~~\r\n\r\n-10.0 -10.0 - o\r\n\r\n         1 - n\r\n~\r\nh\r\n~\r\n 3 abc 1 2 3\r\n"},
        {"point kind out of range", "Temp/VK_2.tmp",
         "\r\nx\r\n~~\r\n\r\n-10.0 -10.0 - o\r\n\r\n         1 - n\r\n~\r\nh\r\n~\r\n 7 101 1 2 3\r\n"},
        {"negative count", "Temp/VK_2.tmp", "\r\nx\r\n~~\r\n\r\n-10.0 -10.0 - o\r\n\r\n        -1 - n\r\n"},
        {"no network file", "Temp/VK_2.tmp", ""},
        {"parameter line without a number", "P.txt", "~\r\nP\r\n~\r\n 0.02\r\n 0.15\r\n [m] 0.15\r\n"},
        {"parameter file cut short", "P.txt", "~\r\nP\r\n~\r\n 0.02\r\n 0.15\r\n"},
        {"no surface list", "VK/Surface.txt", ""},
        {"no cadastral file", "VK/VK_2.cad", ""},
        {"no token", "Temp/Key.tmp", ""},
        {"letters in the data file", "VK/Geo_Data.txt",
         "h\r\nh\r\nh\r\n5 1.5 101 1.8 1O0 100 50 -4 -9 -9\r\n"},
        {"instrument height beyond 65.535 m", "VK/Geo_Data.txt",
         "h\nh\nh\n5 70 101 1.8 100 100 50 -4 -9 -9\n"},
        {"detail point number beyond 32 bits", "VK/Geo_Data.txt",
         "h\nh\nh\n5 1.5 999 1.8 100 100 50 -4 -9 3000000000 1.5 100 100 20 -9\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f;
        const Network n = network();
        f.network(n);
        f.survey(n, Settings{}, stations(n));
        if (c.bytes.empty())
            std::filesystem::remove(f / c.file);
        else
            f.write(c.file, c.bytes);
        vk::ScriptedConsole con;
        EXPECT_NE(vk::v5::run(con, f.root()), 0);
        EXPECT_EQ(con.errors.size(), 1u);
        EXPECT_FALSE(con.showed("ЗАВЪРШЕНО"));
    }
}

// A point count in the network file beyond the table is refused with the capacity message
// before anything is stored; a full table stops the first polar station; 398 points run.
TEST(Run, CapacityOfThePointTable) {
    const struct {
        int points;
        bool stops;
        bool read;
    } cases[] = {{401, true, false}, {399, true, true}, {398, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        Folder f;
        Network n = network();
        for (int i = static_cast<int>(n.given.size() + n.added.size()); i < c.points; ++i)
            n.given.push_back({200 + i, 4567000.0 + i, 8512000.0, 500.0});
        f.network(n);
        f.write("VK/Geo_Data.txt", "h\nh\nh\n" + polar_station(stations(n)[0], Settings{}));
        vk::ScriptedConsole con;
        ASSERT_EQ(vk::v5::run(con, f.root()), 0);
        const std::vector<std::string> rep = f.lines("VK/Protokol.TXT");
        EXPECT_EQ(rep.back() == "  ОБЕМА ДАННИ НАДХВЪРЛЯ ВЪЗМОЖНОСТИТЕ НА ПРОГРАМАТА.", c.stops);
        EXPECT_EQ(con.showed("ПРЕКЪСВАНЕ НА ПРОГРАМАТА."), c.stops);
        EXPECT_EQ(std::count(rep.begin(), rep.end(), "    Приети " + std::to_string(c.points) + " точки. "),
                  c.read ? 1 : 0);
    }
}

}  // namespace

namespace {

double gon(double radians) {
    const double g = radians * 200.0 / M_PI;
    return g < 0 ? g + 400.0 : g;
}

// The numbers of a data file after its three header lines.
std::vector<double> numbers(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    for (int i = 0; i < 3; ++i) std::getline(in, line);
    std::vector<double> v;
    double d;
    while (in >> d) v.push_back(d);
    return v;
}

// A sighting of a station record, both faces averaged: direction, zenith angle, slope.
struct Mean {
    double r = 0, z = 0, s = 0;
    int n = 0;
};
Mean sighting(const std::vector<double>& record, int target) {
    Mean m;
    double sy = 0, sx = 0;
    for (std::size_t k = 2; k + 5 < record.size(); k += 5) {
        if (record[k] != target) continue;
        const bool face2 = record[k + 3] > 200;
        const double r = (face2 ? record[k + 2] - 200 : record[k + 2]) * M_PI / 200.0;
        sy += std::sin(r), sx += std::cos(r);
        m.z += face2 ? 400 - record[k + 3] : record[k + 3];
        m.s += record[k + 4];
        ++m.n;
    }
    m.r = gon(std::atan2(sy, sx));
    m.z /= m.n, m.s /= m.n;
    return m;
}

// The bundled example: its polar station 5 is placed by hand from the record of station
// 104 (oriented on 101), as vokram2 would place it, and vokram5 then reads the example's
// data file as it stands. Station 5 sighted only 104 of the network, so it is oriented on
// 104, and its detail points lie at sin z * s from it in the measured directions.
TEST(Run, BundledExample) {
    const std::filesystem::path data = std::filesystem::path(VOKRAM_EXAMPLES) / "survey/VK/Geo_Data.txt";
    const std::vector<double> all = numbers(data);
    std::map<int, std::vector<double>> records;  // station records by station
    std::vector<double> block;                   // the detail block of station 5
    for (std::size_t i = 0; i < all.size();) {
        std::vector<double> g;
        while (i < all.size() && all[i] >= 0) g.push_back(all[i++]);
        if (i < all.size()) g.push_back(all[i++]);
        if (g.back() == -4) records[static_cast<int>(g[0])] = g;
        if (g.size() > 1 && g.back() == -4 && g[0] == 5 && i < all.size() && all[i] == -9)
            for (++i; i < all.size() && all[i] != -9; ++i) block.push_back(all[i]);
    }
    ASSERT_TRUE(records.count(104) && records.count(5));
    ASSERT_FALSE(block.empty());

    Network n;
    n.xo = 4567790, n.yo = 8512330;
    n.given = {{101, 4567891.234, 8512345.678, 512.346},
               {102, 4568412.871, 8512198.402, 527.118},
               {103, 4568307.519, 8512912.655, 534.902},
               {104, 4567802.144, 8512861.337, 0.0, 2},
               {501, 0.0, 0.0, 519.874, 1}};
    const True& p104 = n.given[3];
    const True& p101 = n.given[0];
    const Mean to101 = sighting(records[104], 101), to5 = sighting(records[104], 5);
    const double zero = gon(std::atan2(p101.y - p104.y, p101.x - p104.x)) - to101.r;
    const double a = (zero + to5.r) * M_PI / 200.0;
    const double d = std::sin(to5.z * M_PI / 200.0) * to5.s;
    const True s5{5, p104.x + d * std::cos(a), p104.y + d * std::sin(a), 0.0, 2};
    n.added = {s5};

    Folder f;
    f.network(n);
    std::filesystem::copy_file(data, f / "VK/Geo_Data.txt");
    const std::size_t surface = f.lines("VK/Surface.txt").size();
    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v5::run(con, f.root()), 0);
    ASSERT_TRUE(con.showed("РЕШАВАНЕ НА ПОЛЯРНИ СТАНЦИИ - ЗАВЪРШЕНО."));
    const std::vector<std::string> rep = f.lines("VK/Protokol.TXT");
    EXPECT_EQ(std::count(rep.begin(), rep.end(), "    Станция 5"), 1);
    EXPECT_EQ(std::count(rep.begin(), rep.end(), "    Липсва надморска височина за ст. 5."), 1);

    const double orientation = gon(std::atan2(p104.y - s5.y, p104.x - s5.x)) - sighting(records[5], 104).r;
    const auto rows = report_rows(rep);
    const auto cad = cadastral(f.lines("VK/VK_2.cad"), n);
    ASSERT_EQ(rows.size(), block.size() / 5);
    for (std::size_t k = 0; k + 4 < block.size(); k += 5) {
        const int no = static_cast<int>(block[k]);
        const double r = block[k + 2], z = block[k + 3], sd = block[k + 4];
        SCOPED_TRACE(no);
        ASSERT_EQ(rows.count(no), 1u);
        const Got& g = rows.find(no)->second;
        EXPECT_NEAR(std::hypot(g.x - s5.x, g.y - s5.y), std::sin(z * M_PI / 200.0) * sd, kMm);
        const double dir = gon(std::atan2(g.y - s5.y, g.x - s5.x)) - orientation;
        EXPECT_NEAR(std::remainder(dir - r, 400.0) * 10000.0, 0.0, 20.0);  // 20 cc: 1 mm at 30 m
        EXPECT_EQ(cad.count(no), 1u);
    }
    EXPECT_EQ(f.lines("VK/Surface.txt").size(), surface) << "the example's detail points have no height";
}

}  // namespace
