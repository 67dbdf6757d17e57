// Networks that the eight classical tasks alone leave asking, stopped or undetermined,
// run through vokram1, vokram2 and vokram4 with standard input closed: the data decide,
// and vokram4's adjusted coordinates come back to the truth of the noise-free survey.
#include "support/cases.hpp"
#include "support/chain.hpp"

namespace vk::test {
namespace {

using test::PrintTo;

// Control points 1, 2, 3 and the new points 10, 11.
Survey figure(std::vector<Record> records) {
    return on_sheet(std::move(records), {}, {1, 2, 3, 10, 11});
}

Survey with_point(Survey s, int no, double x, double y) {
    s.point(no, 4567000 + x, 8512000 + y, 50, 3);
    return s;
}

Survey blunder(Record third) {
    Survey s = figure({{1, {{2, kR}, {10}}}, {2, {{1, kR}, {10}}}, std::move(third)});
    s.tol_linear = 0.03, s.tol_angle = 0.002;
    return s;
}

struct Case {
    const char* behaviour;
    Survey survey;
    std::vector<std::string> lines;  // consecutive lines of the report
    std::string stop = {};           // vokram2's line on standard error when it stops ("-": any)
    double within = 0.0001;          // adjusted coordinates from the truth [m]
};

const Case kCases[] = {
    {"distances only: the third distance picks the triangle",
     figure({{1, {{10, kVS}, {11, kVS}}}, {2, {{10, kVS}}}, {3, {{10, kVS}, {11, kVS}}}, {10, {{11, kVS}}}}),
     {"  Дължинна засечка 1,2 ~ 10",
      "      от двете решения е взето X=4567300.000 Y=8512300.000 по разстоянието 3 - 10"}},
    {"two distances and nothing else: no question, a stop that names both solutions",
     figure({{1, {{10, kVS}}}, {2, {{10, kVS}}}}),
     {},
     // the second is the true point, the first its mirror image in the line 1-2
     "vokram2: Дължинна засечка 1,2 ~ 10: две решения, X=4567358.868 Y=8511986.038 или "
     "X=4567300.000 Y=8512300.000, измерванията не решават кое е вярното"},
    {"a free station: two control points seen from two tied stations",
     figure({{10, {{11, kRVS}, {1, kR}, {2, kR}}}, {11, {{10, kRVS}, {1, kR}}}}),
     {"  Свободна станция 1,2 ~ 10,11"}},
    {"a local frame: a traverse between two control points without their orientation",
     figure({{10, {{1}, {11}}}, {11, {{10}, {2}}}}),
     {"   Локална система 1,2 ~ 10,11"}},
    {"a local frame from directions alone: three new stations that see each other and two "
     "control points",
     [] {
         Survey s = figure({{10, {{11, kR}, {12, kR}, {1, kR}}},
                            {11, {{10, kR}, {12, kR}, {2, kR}}},
                            {12, {{10, kR}, {11, kR}, {1, kR}, {2, kR}}}});
         s.truth[12] = {4567250, 8512150, 52};
         return s;
     }(),
     {"   Локална система 1,2 ~ 10,11,12"}},
    // 10 lies on the ray from 1 where the angle 1-10-4 is obtuse: the combined intersection
    // takes the acute triangle, 23 m off, which the distance from 3 rejects.
    {"a wrong approximation recomputed by the other intersections",
     with_point(figure({{1, {{2, kR}, {10, kR}}}, {4, {{10, kVS}}}, {3, {{10, kVS}}}}), 4, 370, 330),
     {"   Пр.комб.засечка 2,1/4 ~ 10", "    Приближения в конфликт, преизчислени чрез засечки: 10"}},
    // 10 by the polar task from 1, seen from 2 and 3 as well; tolerances 3 cm and 20 cc.
    {"a distance 5 cm off still stops",
     blunder({3, {{1, kR}, {10, kRVS, 0, 0, 0.05}}}),
     {"            3    10       184.4409      184.3909      0.0500"},
     "-"},
    {"a direction 50 cc off still stops",
     blunder({3, {{1, kR}, {10, kRVS, 0.005}}}),
     {"      Станция 3  - конфликт в посоките."},
     "-"},
    // Three control points on one line and the station 5 cm beside it: the resection's
    // figure is all but degenerate, the approximation is decimetres off.
    {"a resection on three collinear control points recomputed",
     [] {
         Survey s = figure({{10, {{1, kR}, {5, kR}, {6, kR}}}, {3, {{10, kVS}}}, {2, {{10, kVS}}}});
         s.point(5, 4567150, 8512100, 50, 3).point(6, 4567200, 8512100, 50, 3);
         s.truth[10].y = 8512100.05;
         return s;
     }(),
     {"   Обр.ъгл.засечка 1,5,6 ~ 10", "    Приближения в конфликт, преизчислени чрез засечки: 10"}},
    // A cave: 10 intersected from 20 and 21, 0.6 m apart, whose polar positions carry the
    // noise of their distances; the base turns by a few hundred cc and 10 lands a
    // centimetre off its measured distance from 1.
    {"a short-base intersection recomputed",
     [] {
         Survey s = figure(
             {{1, {{2, kR}, {20}, {21}, {10, kVS}}}, {20, {{1, kR}, {10, kR}}}, {21, {{1, kR}, {10, kR}}}});
         s.point(20, 4567250, 8512260, 50).point(21, 4567250.55, 8512259.76, 50);
         s.truth[10] = {4567252.5, 8512265.8, 50};
         s.noise = 1, s.tol_linear = 0.008;
         return s;
     }(),
     {"    Пр.ъгл.засечка 1,20/1,21 ~ 10",
      "    Приближения в конфликт, преизчислени чрез засечки и МНМК: 10"},
     "",
     0.005},
};

class Fallback : public ::testing::TestWithParam<Case> {};

TEST_P(Fallback, SolvedUnattended) {
    const Case& c = GetParam();
    Folder f;
    const std::string stopped = run_chain(f, c.survey, "vokram4");
    const std::string out = f.read("vokram2.out");
    const std::vector<std::string> report = f.lines("VK/Protokol.TXT");
    EXPECT_TRUE(has_block(report, c.lines));
    if (!c.stop.empty()) {
        EXPECT_EQ(stopped, "vokram2");
        EXPECT_TRUE(c.stop == "-" || out.find(c.stop) != std::string::npos) << out;
        EXPECT_EQ(out.find("стандартният вход"), std::string::npos) << out;
        return;
    }
    EXPECT_EQ(stopped, "");
    const auto adjusted = read_report(report).adjusted;
    EXPECT_TRUE(adjusted.count(10));
    expect_true(adjusted, c.survey, c.within);
}

INSTANTIATE_TEST_SUITE_P(Rows, Fallback, ::testing::ValuesIn(kCases), ByBehaviour());

}  // namespace
}  // namespace vk::test
