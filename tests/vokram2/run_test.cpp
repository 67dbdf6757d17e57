// The whole module in a working folder: the run token, a network that needs all eight
// tasks with noisy measurements, the stop with its control block and drawing, and the
// chain vokram1 -> vokram2 on the bundled survey.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

#include "builder.hpp"
#include "vokram1/survey.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {
namespace {

using test::Folder;
using test::kD;
using test::kR;
using test::kS;
using test::kV;
using test::Survey;

// A surveyor at the console who knows the sketch of the network: asked which point is on
// the left, or whether the angle at B is acute, answers from the true positions.
class Surveyor : public ScriptedConsole {
  public:
    explicit Surveyor(const Survey& s) : s_(s) {}
    int asked_left = 0, asked_angle = 0;

    std::string read_line() override {
        ++asked_left;
        const auto [a, b, n] = triangle();
        // Seen from N, A is on the left when it lies counter-clockwise of B: with x north
        // and y east that is a positive (to B) x (to A).
        const double cross = (b.y - n.y) * (a.x - n.x) - (b.x - n.x) * (a.y - n.y);
        return std::to_string(cross > 0 ? a.no : b.no);
    }
    char read_key() override {
        ++asked_angle;
        const auto [a, b, n] = triangle();
        const double ba = std::hypot(a.x - b.x, a.y - b.y), bn = std::hypot(n.x - b.x, n.y - b.y);
        const double cosine = ((a.x - b.x) * (n.x - b.x) + (a.y - b.y) * (n.y - b.y)) / (ba * bn);
        return cosine > 0 ? 'd' : 'n';
    }

  private:
    // The points A, B and N named at column 30, row 6 of the question screen.
    std::tuple<test::TruePoint, test::TruePoint, test::TruePoint> triangle() const {
        std::string names;
        for (const Shown& x : shown)
            if (x.col == 30 && x.row == 6) names = x.text;
        std::replace(names.begin(), names.end(), ',', ' ');
        std::istringstream in(names);
        int a = 0, b = 0, n = 0;
        in >> a >> b >> n;
        return {s_.point(a), s_.point(b), s_.point(n)};
    }
    const Survey& s_;
};

// Four given points and nine new ones, each new point placed so that exactly one task
// (noted beside it) can determine it when its turn comes.
Survey every_task() {
    Survey s;
    s.noise_angle = 0.0003;  // 3 cc
    s.noise_length = 0.003;  // 3 mm
    s.known(1, 100, 100, 50);
    s.known(2, 420, 160, 55);
    s.known(3, 600, 520, 60);
    s.known(4, 150, 560, 52);
    s.unknown(10, 300, 250, 51.2);  // forward problem from 1
    s.unknown(11, 520, 330, 57.8);  // forward angular intersection from 2 and 3
    s.unknown(12, 250, 420, 53.3);  // side angular intersection from 4, angle at 12
    s.unknown(13, 450, 560, 58.1);  // forward combined: direction from 1, distance from 2
    s.unknown(14, 350, 700, 56.4);  // angular resection on 1, 2 and 4
    s.unknown(15, 700, 250, 61.7);  // Hansen problem with 16 on 2 and 3
    s.unknown(16, 700, 450, 62.9);
    s.unknown(17, 400, 800, 57.0);   // distance intersection from 3 and 4
    s.unknown(18, -300, 400, 48.6);  // combined resection on 1 and 2
    s.sight(1, 1, 2, kR | kV | kS).sight(1, 1, 10, kR | kD | kV | kS).sight(1, 1, 13, kR);
    s.sight(2, 2, 1, kR).sight(2, 2, 11, kR | kV | kS);
    s.sight(3, 3, 4, kR).sight(3, 3, 11, kR);
    s.sight(4, 4, 3, kR).sight(4, 4, 12, kR);
    s.sight(5, 12, 4, kR | kV | kS).sight(5, 12, 1, kR);
    s.sight(6, 2, 13, kD | kV | kS);
    s.sight(7, 14, 1, kR | kV | kS).sight(7, 14, 2, kR).sight(7, 14, 4, kR);
    s.sight(8, 15, 16, kR | kV | kS).sight(8, 15, 2, kR | kV | kS).sight(8, 15, 3, kR);
    s.sight(9, 16, 15, kR).sight(9, 16, 2, kR).sight(9, 16, 3, kR);
    s.sight(10, 3, 17, kD | kV | kS).sight(11, 4, 17, kD);
    s.sight(12, 18, 1, kR | kD | kV | kS).sight(12, 18, 2, kR);
    return s;
}

struct Module {
    Folder dir;
    explicit Module(const std::string& name, const Survey& s) : dir(name) {
        dir.write("Temp/Key.tmp", "1\r\n");
        dir.write("Temp/VK_1.tmp", to_cp1251(s.vk1()));
    }
};

// The lines of the register section "Нови точки:": number, x, y and height if any.
std::vector<std::vector<double>> new_points_of_register(const std::vector<std::string>& report) {
    std::vector<std::vector<double>> out;
    auto at = std::find(report.begin(), report.end(), "       Нови точки:");
    if (at == report.end()) return out;
    for (auto it = at + 3; it != report.end() && !it->empty(); ++it) {
        std::istringstream in(*it);
        std::vector<double> v;
        for (double x; in >> x;) v.push_back(x);
        out.push_back(v);
    }
    return out;
}

TEST(Module, NetworkOfAllEightTasksWithNoiseComesBackWithinCentimetres) {
    const Survey s = every_task();
    Module m("every_task", s);
    Surveyor con(s);
    ASSERT_EQ(run(con, m.dir.root), 0);
    EXPECT_EQ(m.dir.read("Temp/Key.tmp"), "1\r\n");
    EXPECT_EQ(con.asked_left, 1);
    EXPECT_EQ(con.asked_angle, 1);

    const auto report = m.dir.lines("VK/Protokol.TXT");
    for (const char* label :
         {" Пр.зад. 2,1 ~ 10, ", "    Пр.ъгл.засечка 1,2/4,3 ~ 11", " Стран.ъгл.засечка 3,4/1 ~ 12",
          "   Пр.комб.засечка 2,1/2 ~ 13", "   Обр.ъгл.засечка 1,2,4 ~ 14", "  Ханзенова задача 2,3 ~ 15,16",
          "  Дължинна засечка 3,4 ~ 17", "  Обр.комб.засечка 1,2 ~ 18"}) {
        EXPECT_NE(std::find(report.begin(), report.end(), label), report.end()) << label;
    }
    const auto points = new_points_of_register(report);
    ASSERT_EQ(points.size(), s.fresh.size());
    for (const auto& p : points) {
        ASSERT_EQ(p.size(), 4u) << "point " << p[0] << " has plane coordinates and a height";
        const auto& truth = s.point(static_cast<int>(p[0]));
        EXPECT_NEAR(p[1], truth.x + s.xo, 0.03) << "x of " << truth.no;
        EXPECT_NEAR(p[2], truth.y + s.yo, 0.03) << "y of " << truth.no;
        EXPECT_NEAR(p[3], truth.h, 0.03) << "h of " << truth.no;
    }
}

// A distance 30 cm too long between two points with coordinates: the plane controls fail,
// the heights are still levelled and checked, and the run stops after section 12.
Survey distance_conflict() {
    Survey s;
    s.k = 1.0;
    s.known(1, 100, 100, 50);
    s.known(2, 500, 100, 55);
    s.unknown(10, 100, 400, 50);
    s.sight(1, 1, 2, kR).sight(1, 1, 10, kR | kD | kV | kS).sight(2, 2, 10, kD);
    s.sights[2].dD = 0.3;  // |2-10| is 500 m
    return s;
}

TEST(Module, AFailedControlStopsWithTheControlBlockAndTheDrawing) {
    Module m("stop", distance_conflict());
    ScriptedConsole con;
    ASSERT_EQ(run(con, m.dir.root), 0);
    EXPECT_EQ(m.dir.read("Temp/Key.tmp"), "0\r\n");
    EXPECT_FALSE(m.dir.exists("Temp/VK_2.tmp"));
    const auto scr = m.dir.lines("VK/VK_2.scr");
    ASSERT_FALSE(scr.empty());
    EXPECT_EQ(scr.back(), "regen");
    EXPECT_NE(std::find(scr.begin(), scr.end(), "insert cir 8512400.0000,4567100.0000 0.200  0"), scr.end());
    ASSERT_FALSE(con.shown.empty());
    EXPECT_EQ(con.shown.back().text, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА.");
    EXPECT_EQ(con.shown.back().col, 11);
    EXPECT_EQ(con.shown.back().row, 20);
    EXPECT_EQ(con.waits, 1);

    const auto report = m.dir.lines("VK/Protokol.TXT");
    const auto section12 = std::find(report.begin(), report.end(), " 12.КОНТРОЛИ СЛЕД НИВЕЛАЦИЯ.");
    ASSERT_NE(section12, report.end());
    EXPECT_NE(
        std::find(report.begin(), section12, "            2    10       500.3000      500.0000      0.3000"),
        section12);
    const std::string points_rule = " " + std::string(52, '~'), rows_rule = " " + std::string(71, '~');
    const char* const columns = "    vi    no       xk           yk        hk      stp";
    const std::vector<std::string> block = {
        "",
        " ПРЕКЪСВАНЕ НА ПРОГРАМАТА - К о н т р о л е н   б л о к ",
        "",
        " xo=  4567000.0 yo=  8512000.0 - редукционно начало",
        "",
        " дадени точки:",
        columns,
        points_rule,
        "     3     1     100.0000     100.0000   50.0000    1",
        "     3     2     500.0000     100.0000   55.0000    1",
        "",
        " нови точки:  ",
        columns,
        points_rule,
        "     3    10     100.0000     400.0000   50.0000    2",
        "",
        " измервания:",
        "    ps     ns   hs       nt   ht      R         V          S        D   ",
        rows_rule,
        "     1      1  1.500      2  1.500 271.49960   0.00000    0.000    0.000",
        "     1      1  1.500     10  1.500 371.49960 100.00000  300.000  300.000",
        "     2      2  1.500     10  1.500   0.00000   0.00000    0.000  500.300",
        rows_rule,
    };
    ASSERT_GE(report.size(), block.size());
    EXPECT_EQ(std::vector<std::string>(report.end() - static_cast<long>(block.size()), report.end()), block);
}

TEST(Module, AStopWhileReadingShowsTheRowsWithTheirPointNumbers) {
    Survey s;
    s.known(1, 100, 100, 50);
    s.unknown(10, 100, 400, 50);
    s.sight(1, 1, 10, kR | kD);
    Module m("nodata", s);
    ScriptedConsole con;
    ASSERT_EQ(run(con, m.dir.root), 0);
    const auto report = m.dir.lines("VK/Protokol.TXT");
    ASSERT_GE(report.size(), 3u);
    EXPECT_EQ(report[0], "    Няма данни за образуване на задача.");
    EXPECT_EQ(report[report.size() - 2],
              "     1      1  1.500     10  1.500 371.49960   0.00000    0.000  300.000");
    EXPECT_TRUE(m.dir.exists("VK/VK_2.scr"));
    EXPECT_EQ(m.dir.read("Temp/Key.tmp"), "0\r\n");
}

TEST(Module, ABlockedChainOrAMissingNetworkFile) {
    {
        Module m("blocked", distance_conflict());
        m.dir.write("Temp/Key.tmp", "0\r\n");
        ScriptedConsole con;
        EXPECT_EQ(run(con, m.dir.root), 0);
        EXPECT_FALSE(m.dir.exists("VK/Protokol.TXT"));
        EXPECT_FALSE(m.dir.exists("VK/VK_2.scr"));
        EXPECT_TRUE(con.shown.empty());
    }
    {
        Folder dir("missing");
        dir.write("Temp/Key.tmp", "1\r\n");
        ScriptedConsole con;
        EXPECT_EQ(run(con, dir.root), kFileNotFound);
        EXPECT_EQ(dir.read("Temp/Key.tmp"), "0\r\n");
        EXPECT_EQ(con.errors.size(), 1u);
    }
}

TEST(Module, ChainSolvesTheBundledSurvey) {
    Folder dir("example");
    const std::filesystem::path survey = std::filesystem::path(VOKRAM_EXAMPLES) / "survey";
    std::filesystem::copy_file(survey / "VK" / "Geo_Data.txt", dir.root / "VK" / "Geo_Data.txt");
    if (std::filesystem::exists(survey / "P.txt"))
        std::filesystem::copy_file(survey / "P.txt", dir.root / "P.txt");
    ScriptedConsole con1, con2;
    ASSERT_EQ(v1::run(con1, dir.root), 0);
    ASSERT_EQ(dir.read("Temp/Key.tmp"), "1\r\n");
    ASSERT_EQ(run(con2, dir.root), 0);
    EXPECT_EQ(dir.read("Temp/Key.tmp"), "1\r\n");
    const auto report = dir.lines("VK/Protokol.TXT");
    EXPECT_EQ(std::find(report.begin(), report.end(), "    Неопределени точки:"), report.end());
    EXPECT_FALSE(new_points_of_register(report).empty());
    EXPECT_TRUE(dir.exists("Temp/VK_2.tmp"));
}

}  // namespace
}  // namespace vk::v2
