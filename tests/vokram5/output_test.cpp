// Detail points: merging of faces, which sights give points, and the lines written for
// each point in the report, the script, the cadastral file and the surface list.
#include <gtest/gtest.h>

#include <algorithm>

#include "stage.hpp"
#include "survey_maker.hpp"

namespace {

using v5test::Stage;
using Lines = std::vector<std::string>;

// Station 1 oriented on 2 (north) and 3 (east) with the circle zero to the north, then
// the given detail block.
const std::string kRecord = "1 1.5 2 1.5 400 100 100 3 1.5 100 100 100 -4 -9 ";

struct Files {
    Lines report, script, cad, surface;
};

Files detail(const std::string& block, double index = 0.0) {
    Stage st;
    st.p.par.index = index;
    EXPECT_FALSE(st.data(kRecord + block + " -9"));
    return {st.report(), st.p.scr->lines(), st.p.cad->lines(), st.p.sur->lines()};
}

// The rows of the point table: the lines after its rule.
Lines rows(const Files& r) {
    Lines out;
    bool in = false;
    for (const std::string& l : r.report) {
        if (l.empty()) in = false;
        if (in) out.push_back(l);
        if (l == "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]") in = true;
    }
    return out;
}

// The same sighting written as two faces, face II first, face II alone, or with an index
// error, gives the point of its mean face-I reading (zenith 95.1232, slope 50.003).
TEST(DetailBlock, EveryWayOfSightingGivesTheSamePoint) {
    const Lines want = rows(detail("1001 1.8 100 95.1232 50.003"));
    ASSERT_EQ(want.size(), 1u);
    const struct {
        const char* what;
        std::string block;
        double index;
    } cases[] = {
        {"two faces", "1001 1.8 100 95.1234 50.000 1001 1.8 300 304.8770 50.006", 0},
        {"face II first", "1001 1.8 300 304.8770 50.006 1001 1.8 100 95.1234 50.000", 0},
        {"face II alone", "1001 1.8 300 304.8768 50.003", 0},
        {"face I, index error -0.002", "1001 1.8 100 95.1212 50.003", 0.002},
        {"face II, index error -0.002", "1001 1.8 300 304.8748 50.003", 0.002},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(rows(detail(c.block, c.index)), want);
    }
}

// The two-face summary of a detail block gives the largest half-differences.
TEST(DetailBlock, TwoFaceSummary) {
    const Files r = detail("1001 1.8 100 95.1234 50.000 1001 1.8 300 304.8770 50.006 1002 1.5 200 100 20");
    const Lines want = {"",
                        "    Ст. 1 - полярна снимка, визиране в две положения.",
                        "",
                        "    Максимални разлики между измервания:",
                        "      за  хор. посоки :   не е открита.",
                        "      за  зен. ъгли   :    4.0 сс. към т.1001",
                        "      за накл. разст. :    0.3 см. към т.1001",
                        "      за  хор. разст. :   не е открита.",
                        ""};
    ASSERT_GE(r.report.size(), want.size());
    EXPECT_EQ(Lines(r.report.end() - static_cast<std::ptrdiff_t>(want.size()), r.report.end()), want);
}

// Which sights of a block become rows: every sight read, the last included, a third
// sight of one point as its own row, nothing for a sight without a distance.
TEST(DetailBlock, RowsOfABlock) {
    const struct {
        const char* what;
        std::string block;
        std::vector<int> numbers;
    } cases[] = {
        {"empty block", "", {}},
        {"last sight single", "1001 1.5 100 100 20 1002 1.5 200 100 20", {1001, 1002}},
        {"third sight of a point at the end",
         "1001 1.5 100 100 20 1001 1.5 300 300 20 1001 1.5 100 100 20",
         {1001, 1001}},
        {"third sight of a point in the middle",
         "1001 1.5 100 100 20 1001 1.5 300 300 20 1001 1.5 100 100 20 1002 1.5 200 100 20",
         {1001, 1001, 1002}},
        {"same point again later",
         "1001 1.5 100 100 20 1002 1.5 200 100 20 1001 1.5 100 100 20",
         {1001, 1002, 1001}},
        {"distance not beyond the linear tolerance", "1001 1.5 100 100 0.15 1002 1.5 100 100 0", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Lines got = rows(detail(c.block));
        ASSERT_EQ(got.size(), c.numbers.size());
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(std::stoi(got[i]), c.numbers[i]);
    }
    const Files empty = detail("");
    EXPECT_EQ(empty.report.back(), "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]");
}

// The last single sight of a block gets the index correction as every other does.
TEST(DetailBlock, LastSingleSightIndexCorrected) {
    EXPECT_EQ(rows(detail("1001 1.5 100 98.998 20 1002 1.5 200 98.998 20", 0.002)),
              rows(detail("1001 1.5 100 99 20 1002 1.5 200 99 20")));
}

// A kind-3 point as the example of the output description gives it, line by line.
TEST(ZapisTo, Kind3PointLines) {
    Stage st;
    st.p.xst = 0, st.p.yst = 0, st.p.hst = 100, st.p.ih = 1.5;
    vk::v5::DetailPoint d;
    d.no = 5001, d.vi = 3, d.x = 12.5, d.y = -3.25, d.h = 101.2346, d.t = 1.2;
    vk::v5::zapis_to(st.p, d);
    EXPECT_EQ(st.report(), (Lines{"        5001    4000012.5000    7999996.7500   101.2346"}));
    EXPECT_EQ(st.p.scr->lines(),
              (Lines{"layer s 2D_Points",
                     "",
                     "point 7999996.750,4000012.500",
                     "layer s 2D_Names",
                     "",
                     "text 7999996.910,4000012.600 0.20 0 5001",
                     "layer s 2D_Altitudes",
                     "",
                     "text 7999996.910,4000012.300 0.20 0 101.23",
                     "layer s 2D_Snimka",
                     "",
                     "line 8000000.000,4000000.000 7999996.750,4000012.500",
                     "",
                     "layer s 3D_Points",
                     "",
                     "point 7999996.750,4000012.500,101.235",
                     "layer s 3D_Names",
                     "",
                     "text 7999996.910,4000012.600,101.235 0.20 0 5001",
                     "layer s 3D_Altitudes",
                     "",
                     "text 7999996.910,4000012.300,101.235 0.20 0 101.23",
                     "layer s 3D_Snimka",
                     "",
                     "line 8000000.000,4000000.000,101.500 7999996.750,4000012.500,102.435",
                     "",
                     "layer s Measured_HT",
                     "",
                     "line 7999996.750,4000012.500,101.235 7999996.750,4000012.500,102.435",
                     ""}));
    EXPECT_EQ(st.p.cad->lines(), (Lines{"P  28 28005001     12.500     -3.250    101.235 8 8"}));
    EXPECT_EQ(st.p.sur->lines(), (Lines{"7999996.75 4000012.50 101.23"}));
}

// Target height 0 draws no pole; 0 height decimals label without a decimal point; a
// plane-only point has no surface line and height 0.00; a height-only point a row alone.
TEST(ZapisTo, KindsAndOptions) {
    vk::v5::DetailPoint d;
    d.no = 5001, d.x = 12.5, d.y = -3.25, d.h = 101.2346, d.t = 0;

    Stage st3;
    st3.p.par.decimals = 0;
    d.vi = 3;
    vk::v5::zapis_to(st3.p, d);
    const Lines scr = st3.p.scr->lines();
    EXPECT_EQ(std::count(scr.begin(), scr.end(), "layer s Measured_HT"), 0);
    EXPECT_EQ(scr[8], "text 7999996.910,4000012.300 0.20 0 101");

    Stage st2;
    d.vi = 2;
    vk::v5::zapis_to(st2.p, d);
    EXPECT_EQ(st2.report(), (Lines{"        5001    4000012.5000    7999996.7500"}));
    EXPECT_EQ(st2.p.cad->lines(), (Lines{"P  28 28005001      12.50      -3.25       0.00 8 8"}));
    EXPECT_TRUE(st2.p.sur->lines().empty());
    EXPECT_EQ(st2.p.scr->lines(), (Lines{"layer s 2D_Points", "", "point 7999996.750,4000012.500",
                                         "text 7999996.910,4000012.600 0.20 0 5001", "layer s 2D_Snimka", "",
                                         "line 8000000.000,4000000.000 7999996.750,4000012.500", ""}));

    Stage st1;
    d.vi = 1;
    vk::v5::zapis_to(st1.p, d);
    const Lines rep = st1.report();
    ASSERT_EQ(rep.size(), 1u);
    EXPECT_EQ(rep[0], "        5001" + std::string(29, ' ') + "101.2346");
    EXPECT_EQ(rep[0].size(), 49u);  // the height ends in column 49
    EXPECT_TRUE(st1.p.scr->lines().empty());
    EXPECT_TRUE(st1.p.cad->lines().empty());
}

// The station's sights to points with a plan position are drawn; a height-only station
// draws none.
TEST(ZapisSt, StationSights) {
    Stage st;
    st.p.sights = {Stage::sight(2, 400, 100, 100), Stage::sight(5, 0, 100, 50), Stage::sight(4, 200, 0, 0)};
    st.p.st_vi = 3, st.p.xst = 1000, st.p.yst = 1000;
    vk::v5::zapis_st(st.p);
    EXPECT_EQ(st.p.scr->lines(),
              (Lines{"layer s 2D_Snimka", "", "line 8001000.0000,4001000.0000 8001000.0000,4001100.0000", "",
                     "line 8001000.0000,4001000.0000 8001000.0000,4000900.0000", ""}));
    Stage height_only;
    height_only.p.sights = st.p.sights;
    height_only.p.st_vi = 1;
    vk::v5::zapis_st(height_only.p);
    EXPECT_EQ(height_only.p.scr->lines(), (Lines{"layer s 2D_Snimka", ""}));
}

}  // namespace
