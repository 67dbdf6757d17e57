// Detail points: merging of faces, which sights give rows, and the lines written for each
// point in the report, the script, the cadastral file and the surface list.
#include <gtest/gtest.h>

#include <algorithm>

#include "survey_maker.hpp"

namespace {

using namespace v5test;

// The report of station 1, oriented on 2 (north) and 3 (east) with the circle zero to the
// north, for the given detail block; `rows` receives the rows of its point table.
Lines station(const std::string& block, Lines* rows = nullptr) {
    Stage st;
    EXPECT_FALSE(st.data("1 1.5 2 1.5 400 100 100 3 1.5 100 100 100 -4 -9 " + block + " -9"));
    const Lines rep = st.report();
    const auto rule =
        std::find(rep.begin(), rep.end(), "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]");
    EXPECT_NE(rule, rep.end());
    if (rows) *rows = Lines(rule + 1, std::find(rule, rep.end(), ""));
    return rep;
}

// Two faces of a detail point, face II first: the point of their mean (zenith 95.1232,
// slope 50.003), and the block's summary of the largest half-differences.
TEST(DetailBlock, TwoFacesMergedAndSummarised) {
    Lines want, got;
    station("1001 1.8 100 95.1232 50.003", &want);
    const Lines rep =
        station("1001 1.8 300 304.8770 50.006 1001 1.8 100 95.1234 50.000 1002 1.5 200 100 20", &got);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], want[0]);
    EXPECT_EQ(tail(rep, 9),
              (Lines{"", "    Ст. 1 - полярна снимка, визиране в две положения.", "",
                     "    Максимални разлики между измервания:", "      за  хор. посоки :   не е открита.",
                     "      за  зен. ъгли   :    4.0 сс. към т.1001",
                     "      за накл. разст. :    0.3 см. към т.1001",
                     "      за  хор. разст. :   не е открита.", ""}));
}

// Every sight read gives a row, a third sight of one point too (also at the end of the
// block); a sight without a distance beyond the linear tolerance gives none.
TEST(DetailBlock, RowsOfABlock) {
    const struct {
        std::string block;
        std::vector<int> numbers;
    } cases[] = {
        {"", {}},
        {"1001 1.5 100 100 20 1002 1.5 200 100 20", {1001, 1002}},
        {"1001 1.5 100 100 20 1001 1.5 300 300 20 1001 1.5 100 100 20", {1001, 1001}},
        {"1001 1.5 100 100 20 1001 1.5 300 300 20 1001 1.5 100 100 20 1002 1.5 200 100 20",
         {1001, 1001, 1002}},
        {"1001 1.5 100 100 20 1002 1.5 200 100 20 1001 1.5 100 100 20", {1001, 1002, 1001}},
        {"1001 1.5 100 100 0.15 1002 1.5 100 100 0", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        Lines rows;
        station(c.block, &rows);
        std::vector<int> got;
        for (const std::string& r : rows) got.push_back(std::stoi(r));
        EXPECT_EQ(got, c.numbers);
    }
}

// The kind-3 example point, line by line, with a target height of 1.2 m.
TEST(ZapisTo, Kind3PointLines) {
    Stage st;
    st.p.xst = 0, st.p.yst = 0, st.p.hst = 100, st.p.ih = 1.5;
    vk::v5::zapis_to(st.p, {5001, 3, 12.5, -3.25, 101.2346, 1.2});
    EXPECT_EQ(st.report(), (Lines{"        5001    4000012.5000    7999996.7500   101.2346"}));
    const std::string e = "7999996.750,4000012.500", h = ",101.235", name = "text 7999996.910,4000012.600",
                      label = "text 7999996.910,4000012.300", station = "8000000.000,4000000.000";
    EXPECT_EQ(st.p.scr->lines(), (Lines{"layer s 2D_Points",
                                        "",
                                        "point " + e,
                                        "layer s 2D_Names",
                                        "",
                                        name + " 0.20 0 5001",
                                        "layer s 2D_Altitudes",
                                        "",
                                        label + " 0.20 0 101.23",
                                        "layer s 2D_Snimka",
                                        "",
                                        "line " + station + " " + e,
                                        "",
                                        "layer s 3D_Points",
                                        "",
                                        "point " + e + h,
                                        "layer s 3D_Names",
                                        "",
                                        name + h + " 0.20 0 5001",
                                        "layer s 3D_Altitudes",
                                        "",
                                        label + h + " 0.20 0 101.23",
                                        "layer s 3D_Snimka",
                                        "",
                                        "line " + station + ",101.500 " + e + ",102.435",
                                        "",
                                        "layer s Measured_HT",
                                        "",
                                        "line " + e + h + " " + e + ",102.435",
                                        ""}));
    EXPECT_EQ(st.p.cad->lines(), (Lines{"P  28 28005001     12.500     -3.250    101.235 8 8"}));
    EXPECT_EQ(st.p.sur->lines(), (Lines{"7999996.75 4000012.50 101.23"}));
}

// No pole without a target height; 0 height decimals; a plane-only point has no surface
// line and a height of 0.00; a height-only point gets a report row only.
TEST(ZapisTo, KindsAndOptions) {
    Stage st3, st2, st1;
    st3.p.par.decimals = 0;
    vk::v5::zapis_to(st3.p, {5001, 3, 12.5, -3.25, 101.2346, 0});
    const Lines scr = st3.p.scr->lines();
    EXPECT_EQ(std::count(scr.begin(), scr.end(), "layer s Measured_HT"), 0);
    EXPECT_EQ(scr[8], "text 7999996.910,4000012.300 0.20 0 101");

    vk::v5::zapis_to(st2.p, {5001, 2, 12.5, -3.25, 101.2346, 0});
    EXPECT_EQ(st2.report(), (Lines{"        5001    4000012.5000    7999996.7500"}));
    EXPECT_EQ(st2.p.cad->lines(), (Lines{"P  28 28005001      12.50      -3.25       0.00 8 8"}));
    EXPECT_TRUE(st2.p.sur->lines().empty());
    EXPECT_EQ(st2.p.scr->lines(), (Lines{"layer s 2D_Points", "", "point 7999996.750,4000012.500",
                                         "text 7999996.910,4000012.600 0.20 0 5001", "layer s 2D_Snimka", "",
                                         "line 8000000.000,4000000.000 7999996.750,4000012.500", ""}));

    vk::v5::zapis_to(st1.p, {5001, 1, 12.5, -3.25, 101.2346, 0});
    EXPECT_EQ(st1.report(),
              (Lines{"        5001" + std::string(29, ' ') + "101.2346"}));  // ends in column 49
    EXPECT_TRUE(st1.p.scr->lines().empty() && st1.p.cad->lines().empty());
}

// The station's sights to points with a plan position are drawn; a height-only station
// draws none.
TEST(ZapisSt, StationSights) {
    for (int kind : {3, 1}) {
        Stage st;
        st.p.sights = {sight(2, 400, 100, 100), sight(5, 0, 100, 50), sight(4, 200, 0, 0)};
        st.p.st_vi = kind, st.p.xst = 1000, st.p.yst = 1000;
        vk::v5::zapis_st(st.p);
        const Lines plane = {"layer s 2D_Snimka",
                             "",
                             "line 8001000.0000,4001000.0000 8001000.0000,4001100.0000",
                             "",
                             "line 8001000.0000,4001000.0000 8001000.0000,4000900.0000",
                             ""};
        EXPECT_EQ(st.p.scr->lines(), kind == 3 ? plane : Lines(plane.begin(), plane.begin() + 2));
    }
}

}  // namespace
