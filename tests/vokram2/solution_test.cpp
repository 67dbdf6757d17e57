// vokram2 on field data passed through vokram1: which task determines each new point and
// how the report names it, the controls of the plane solution and of the heights, and
// the register of the results. Every new point the register lists must be its true
// position; the expected lines are hand computations from the figures of each case.
#include "support/cases.hpp"
#include "support/chain.hpp"

namespace vk::test {
namespace {

using test::PrintTo;

// The networks on the sheet: 10 lies inside the triangle 1-2-3 unless a case moves it;
// seen from 10, point 1 lies to the left of point 2.
const TruePoint kOutside{520, 40, 56};  // the angle 1-10-2 is acute there: two triangles

// A network for the controls: 10 by the polar task from 1; a case adds its own sights.
Survey controlled(std::vector<Record> more, double refraction = 0.106) {
    Survey s = on_sheet(
        {{1, {{2, kR}, {10}}}},
        {{6, {100, 400, 50, 3}}, {8, {100, -200, 50, 3}}, {9, {600, 100, 50, 3}}, {20, {400, 500, 55, 3}}});
    s.records.insert(s.records.end(), more.begin(), more.end());
    s.refraction = refraction;
    return s;
}

struct Case {
    const char* behaviour;
    Survey survey;
    std::vector<std::string> lines;  // consecutive lines of the report
    bool stops = false;
    std::string answers = {};  // typed point numbers and keys, in the order asked
    std::string shown = {};    // a part of what the console showed (without a terminal)
};

const Case kCases[] = {
    // Section 9: each task, in a network where it, and no earlier one, finds point 10.
    {"polar task", on_sheet({{1, {{2, kR}, {10}}}}), {" Пр.зад. 2,1 ~ 10, "}},
    {"polar task with the distance from the other end",
     on_sheet({{1, {{2, kR}, {10, kR}}}, {10, {{1, kVS}}}}),
     {" Пр.зад: 2,1 ~ 10, "}},
    {"forward angular intersection",
     on_sheet({{1, {{2, kR}, {10, kR}}}, {2, {{1, kR}, {10, kR}}}}),
     {"    Пр.ъгл.засечка 2,1/1,2 ~ 10"}},
    {"side angular intersection",
     on_sheet({{1, {{2, kR}, {10, kR}}}, {10, {{1, kR}, {3, kR}}}}),
     {" Стран.ъгл.засечка 2,1/3 ~ 10"}},
    {"forward combined intersection, right at once",
     on_sheet({{1, {{2, kR}, {10, kR}}}, {4, {{10, kVS}}}}),
     {"   Пр.комб.засечка 2,1/4 ~ 10", "", " 10.КОНТРОЛИ СЛЕД 2D-РЕШЕНИЕ."}},
    {"angular resection", on_sheet({{10, {{1, kR}, {2, kR}, {3, kR}}}}), {"   Обр.ъгл.засечка 1,2,3 ~ 10"}},
    {"Hansen problem",
     on_sheet({{10, {{11, kR}, {1, kR}, {2, kR}}}, {11, {{10, kR}, {1, kR}, {2, kR}}}},
              {{11, {180, 260, 54}}}),
     {"  Ханзенова задача 1,2 ~ 10,11"}},
    {"distance intersection, the left point asked again until it is one of the two",
     on_sheet({{1, {{10, kVS}}}, {2, {{10, kVS}}}}),
     {"  Дължинна засечка 1,2 ~ 10"},
     false,
     "7\n1\n",
     "7\n\n\n\n1\n\n"},  // each typed number echoed and followed by a line end
    {"combined resection", on_sheet({{10, {{1}, {2, kR}}}}), {"  Обр.комб.засечка 1,2 ~ 10"}},
    {"combined resection with two triangles, other keys ignored",
     on_sheet({{10, {{1}, {2, kR}}}}, {{10, kOutside}}),
     {"  Обр.комб.засечка 1,2 ~ 10"},
     false,
     "x\x01n",
     "\nX\n\n?\n\nN\n"},  // each key shown upper-cased, a control key as "?"
    {"polar entries run on in lines of three",
     on_sheet({{1, {{2, kR}, {10}, {11}, {12}, {13}, {14}}}},
              {{11, {180, 260, 54}}, {12, kOutside}, {13, {600, 300, 56}}, {14, {30, 250, 56}}}),
     {" Пр.зад. 2,1 ~ 10, ", " Пр.зад. 2,1 ~ 11,  Пр.зад. 2,1 ~ 12,  Пр.зад. 2,1 ~ 13, ",
      " Пр.зад. 2,1 ~ 14, "}},
    // Section 10: a direction 225 cc off moves its station's mean by 75 cc and stays
    // 150 cc from it; a distance 15 cm short of 500 m.
    {"directions in conflict stop",
     controlled({{10, {{6, kR}, {3, kR}, {8, kR, 0.0225}}}}),
     {"      Станция 10  - конфликт в посоките.",
      "         No         R            Алфа           о             vo"},
     true},
    {"a distance 15 cm too short stops",
     controlled({{1, {{9, kVS, 0, 0, -0.15}}}}),
     {"      Конфликт в разстоянията.", "        от т.  до т.      измерено      изчислено     разлика",
      "            1     9       499.8500      500.0000      0.1500", ""},
     true,
     "",
     "vokram2: Макс. линейна разлика:   15.0  см. в ст.1 към т.9\n"},  // the cause, not the heights after it
    // Section 12: the zenith angle to 20 read 190 cc large puts 20 14.9 cm low (500 m away,
    // 5 m higher, no curvature term).
    {"heights in conflict stop",
     controlled({{1, {{20, kVS, 0, 0.019}}}}, 1.0),
     {"    Макс. несвръзка за коти :   14.9 см. за точки 1 - 20"},
     true},
    {"heights in conflict list the conflicting points",
     controlled({{1, {{20, kVS, 0, 0.019}}}}, 1.0),
     {"    Конфликтни точки:",
      "    No    No     V          S         D      (h2-h1)   f(V,S)   f(V,D)   f(V,x,y)",
      " " + std::string(80, '~')},
     true},
    // Section 11 and the register: 10 by the polar task with a zenith angle (position and
    // height), 11 placed without a zenith angle, 12 seen only (undetermined), 13 levelled
    // only (height only).
    {"the register lists given, new, height-only and undetermined points",
     [] {
         Survey s = on_sheet(
             {{1, {{2, kR}, {10}, {11}, {12, kR}}}, {2, {{13, kVS}}}},
             {{11, {100, -150, 48}}, {12, {330, 330, 0}}, {13, {600, 100, 55}}, {4, {0, 0, 52.5, 1}}});
         s.refraction = 1.0;
         return s;
     }(),
     {"    Точки без позиция(x,y) с известна кота(h).",
      "",
      "      Дадени:",
      "                    4     52.5000",
      "",
      "      Нови:  ",
      "                   13     55.0000",
      "",
      "    Неопределени точки:",
      "    12 ",
      "",
      "       КООРДИНАТЕН РЕГИСТЪР",
      "",
      "       Дадени точки, участвали в решението:  ",
      "       номер        сев./юг         изт./зап.  височина",
      "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]",
      "           1    4567100.0000    8512100.0000    50.0000",
      "           2    4567420.0000    8512160.0000    55.0000",
      "           3    4567260.0000    8512480.0000    60.0000",
      "           4                                    52.5000",
      "",
      "       Нови точки:",
      "       номер        сев./юг         изт./зап.  височина",
      "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]",
      "          10    4567300.0000    8512300.0000    58.0000",
      "          11    4567100.0000    8511850.0000    48.0000",
      "          13                                    55.0000",
      ""}},
    {"undetermined points, the list broken after every tenth point of the table",
     on_sheet({{1,
                {{2, kR},
                 {10},
                 {11, kR},
                 {12, kR},
                 {13, kR},
                 {14, kR},
                 {15, kR},
                 {16, kR},
                 {17, kR},
                 {18, kR},
                 {19, kR}}}},
              {{11, {310, 300, 0}},
               {12, {320, 300, 0}},
               {13, {330, 300, 0}},
               {14, {340, 300, 0}},
               {15, {350, 300, 0}},
               {16, {360, 300, 0}},
               {17, {370, 300, 0}},
               {18, {380, 300, 0}},
               {19, {390, 300, 0}}}),
     {"    Неопределени точки:", "    11     12     13     14     15 ", "    16     17     18     19 ", ""}},
};

class Solution : public ::testing::TestWithParam<Case> {};

TEST_P(Solution, ReportsItsLinesAndEveryListedPointIsTrue) {
    const Case& c = GetParam();
    Folder f;
    EXPECT_EQ(run_chain(f, c.survey, "vokram2", c.answers), c.stops ? "vokram2" : "");
    const std::vector<std::string> report = f.lines("VK/Protokol.TXT");
    EXPECT_TRUE(has_block(report, c.lines));
    EXPECT_NE(f.read("vokram2.out").find(c.shown), std::string::npos) << f.read("vokram2.out");
    expect_true(read_report(report).approximate, c.survey, 0.001);
}

INSTANTIATE_TEST_SUITE_P(Rows, Solution, ::testing::ValuesIn(kCases), ByBehaviour());

}  // namespace
}  // namespace vk::test
