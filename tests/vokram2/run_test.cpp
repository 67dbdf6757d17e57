// The whole module in a working folder: the run token, a network that needs all eight
// tasks with noisy measurements, the stop with its control block and drawing, and the
// chain vokram1 -> vokram2 on the bundled survey.
#include <sstream>

#include "builder.hpp"
#include "vokram1/survey.hpp"

namespace vk::v2 {
namespace {

using namespace test;

// Four given points and nine new ones, each placed so that exactly one task can determine
// it when its turn comes: 10 the forward problem from 1; 11 the forward angular intersection
// from 2 and 3; 12 the side angular intersection from 4 with the angle at 12; 13 the forward
// combined intersection, direction from 1 and distance from 2; 14 the angular resection on
// 1, 2 and 4; 15 and 16 the Hansen problem on 2 and 3; 17 the distance intersection from 3
// and 4; 18 the combined resection on 1 and 2.
Survey every_task() {
    Survey s;
    s.noise_angle = 0.0003;  // 3 cc
    s.noise_length = 0.003;  // 3 mm
    s.points({{1, 100, 100, 50, 3}, {2, 420, 160, 55, 3}, {3, 600, 520, 60, 3}, {4, 150, 560, 52, 3}});
    s.points({{10, 300, 250, 51.2}, {11, 520, 330, 57.8}, {12, 250, 420, 53.3}, {13, 450, 560, 58.1}});
    s.points({{14, 350, 700, 56.4}, {15, 700, 250, 61.7}, {16, 700, 450, 62.9}, {17, 400, 800, 57.0}});
    s.points({{18, -300, 400, 48.6}});
    s.measure({{1, 1, 2, kR | kV | kS}, {1, 1, 10, kR | kD | kV | kS}, {1, 1, 13, kR}, {2, 2, 1, kR}});
    s.measure({{2, 2, 11, kR | kV | kS}, {3, 3, 4, kR}, {3, 3, 11, kR}, {4, 4, 3, kR}, {4, 4, 12, kR}});
    s.measure({{5, 12, 4, kR | kV | kS}, {5, 12, 1, kR}, {6, 2, 13, kD | kV | kS}});
    s.measure({{7, 14, 1, kR | kV | kS}, {7, 14, 2, kR}, {7, 14, 4, kR}});
    s.measure({{8, 15, 16, kR | kV | kS}, {8, 15, 2, kR | kV | kS}, {8, 15, 3, kR}});
    s.measure({{9, 16, 15, kR}, {9, 16, 2, kR}, {9, 16, 3, kR}, {10, 3, 17, kD | kV | kS}, {11, 4, 17, kD}});
    return s.measure({{12, 18, 1, kR | kD | kV | kS}, {12, 18, 2, kR}});
}

// The lines of the register section "Нови точки:": number, x, y and height if any.
std::vector<std::vector<double>> new_points_of_register(const std::vector<std::string>& report) {
    std::vector<std::vector<double>> out;
    auto at = std::find(report.begin(), report.end(), "       Нови точки:");
    for (at += at == report.end() ? 0 : 3; at < report.end() && !at->empty(); ++at) {
        std::istringstream in(*at);
        out.emplace_back(std::istream_iterator<double>(in), std::istream_iterator<double>());
    }
    return out;
}

TEST(Module, NetworkOfAllEightTasksWithNoiseComesBackWithinCentimetres) {
    const Survey s = every_task();
    Folder dir("every_task", s);
    ScriptedConsole con;
    con.typed = {"4"};  // seen from 17, point 4 is on the left of 3
    con.keys = {'d'};   // the angle at 2 in the triangle 1-2-18 is acute
    ASSERT_EQ(run(con, dir.root), 0);
    EXPECT_TRUE(con.typed.empty() && con.keys.empty() && con.errors.empty()) << "one question each";

    const auto report = dir.lines("VK/Protokol.TXT");
    for (const char* label :
         {" Пр.зад. 2,1 ~ 10, ", "    Пр.ъгл.засечка 1,2/4,3 ~ 11", " Стран.ъгл.засечка 3,4/1 ~ 12",
          "   Пр.комб.засечка 2,1/2 ~ 13", "   Обр.ъгл.засечка 1,2,4 ~ 14", "  Ханзенова задача 2,3 ~ 15,16",
          "  Дължинна засечка 3,4 ~ 17", "  Обр.комб.засечка 1,2 ~ 18"})
        EXPECT_TRUE(has(report, label)) << label;
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
TEST(Module, AFailedControlStopsWithTheControlBlockAndTheDrawing) {
    Survey s;
    s.k = 1.0;
    s.points({{1, 100, 100, 50, 3}, {2, 500, 100, 55, 3}, {10, 100, 400, 50}})
        .measure({{1, 1, 2, kR}, {1, 1, 10, kR | kD | kV | kS}, {2, 2, 10, kD, 0, 0.3}});  // |2-10| is 500 m
    Folder dir("stop", s);
    ScriptedConsole con;
    ASSERT_EQ(run(con, dir.root), 0);
    EXPECT_EQ(dir.read("Temp/Key.tmp"), "0\r\n");
    EXPECT_FALSE(dir.exists("Temp/VK_2.tmp"));
    const auto scr = dir.lines("VK/VK_2.scr");
    EXPECT_TRUE(has(scr, "insert cir 8512400.0000,4567100.0000 0.200  0") && has(scr, "regen"));
    EXPECT_TRUE(con.showed("ПРЕКЪСВАНЕ НА ПРОГРАМАТА."));
    EXPECT_EQ(con.waits, 1);

    EXPECT_TRUE(has(dir.lines("VK/Protokol.TXT"), " 12.КОНТРОЛИ СЛЕД НИВЕЛАЦИЯ."));
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
    dir.expect_tail("VK/Protokol.TXT", block);
}

TEST(Module, AStopWhileReadingShowsTheRowsWithTheirPointNumbers) {
    Survey s;
    Folder dir("nodata", s.points({{1, 100, 100, 50, 3}, {10, 100, 400, 50}}).measure({{1, 1, 10, kR | kD}}));
    ScriptedConsole con;
    ASSERT_EQ(run(con, dir.root), 0);
    EXPECT_EQ(dir.lines("VK/Protokol.TXT")[0], "    Няма данни за образуване на задача.");
    dir.expect_tail("VK/Protokol.TXT",
                    {"     1      1  1.500     10  1.500 371.49960   0.00000    0.000  300.000",
                     " " + std::string(71, '~')});
    EXPECT_TRUE(dir.exists("VK/VK_2.scr"));
}

TEST(Module, ABlockedChainOrAMissingNetworkFile) {
    Folder dir("blocked", every_task());
    dir.write("Temp/Key.tmp", "0\r\n");
    ScriptedConsole con;
    EXPECT_EQ(run(con, dir.root), 0);
    EXPECT_FALSE(dir.exists("VK/Protokol.TXT"));
    EXPECT_TRUE(con.shown.empty());

    std::filesystem::remove(dir.root / "Temp/VK_1.tmp");
    dir.write("Temp/Key.tmp", "1\r\n");
    EXPECT_EQ(run(con, dir.root), kFileNotFound);
    EXPECT_EQ(dir.read("Temp/Key.tmp"), "0\r\n");
    EXPECT_EQ(con.errors.size(), 1u);
}

TEST(Module, ChainSolvesTheBundledSurvey) {
    Folder dir("example");
    const std::filesystem::path survey = std::filesystem::path(VOKRAM_EXAMPLES) / "survey";
    std::filesystem::copy_file(survey / "VK" / "Geo_Data.txt", dir.root / "VK" / "Geo_Data.txt");
    std::filesystem::copy_file(survey / "P.txt", dir.root / "P.txt");
    ScriptedConsole con1, con2;
    ASSERT_EQ(v1::run(con1, dir.root), 0);
    ASSERT_EQ(run(con2, dir.root), 0);
    EXPECT_EQ(dir.read("Temp/Key.tmp"), "1\r\n");
    const auto report = dir.lines("VK/Protokol.TXT");
    EXPECT_FALSE(has(report, "    Неопределени точки:"));
    EXPECT_FALSE(new_points_of_register(report).empty());
    EXPECT_TRUE(dir.exists("Temp/VK_2.tmp"));
}

}  // namespace
}  // namespace vk::v2
