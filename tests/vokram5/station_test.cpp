// One polar station in memory: the checks of its sights (faces, repetitions, orientation,
// distances and heights; default tolerances 0.02 grads, 0.15 m, 0.15 m), the errors of its
// record, its detail block, and the lines written for it and for each detail point.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "survey_maker.hpp"
#include "vokram/angles.hpp"

namespace {

using namespace v5test;
using vk::v5::ins_kontrol;
using vk::v5::out_kontrol;

// Every stop of a station, in its record, its own sights (INS_KONTROL) or against the
// network (OUT_KONTROL), comes after its report lines.
TEST(Stanciq, StopsWithTheirReportLines) {
    std::string zeros;  // 597 numbers
    for (int i = 0; i < 597; ++i) zeros += "0 ";
    const struct {
        std::string data;
        Lines tail;  // the last report lines
    } cases[] = {
        {"1 1.5 2 1.5 400 100 -4 -9 -9", {"    В станция \"1\" Код -1, проверете броя данни."}},
        {"1.5 1.5 2 1.5 400 100 100 -4 -9 -9", {"    Код -1, неправилен номер на станция \"1.5000\"."}},
        {"1 1.5 2.25 1.5 400 100 100 -4 -9 -9", {"    Неправилен номер пред наблюдавана точка \"2.2500\"."}},
        {"1 1.5 2 1.5 400.0001 100 100 -4 -9 -9", {"    В станция \"1\" грешна посока \"400.0001\"."}},
        {"1 1.5 2 1.5 400 401 100 -4 -9 -9", {"    В станция \"1\" грешен зен. ъгъл \"401.0000\"."}},
        {"1 " + zeros + "0 -4 -9 -9", {"    Голям брой измервания от една станция : 1"}},
        {"1 " + zeros + "-4 -9 -9", {"    В станция \"1\" Код -1, проверете броя данни."}},  // 599: one group
        {"1 1.5 1 1.5 400 100 50 -4 -9 -9", {"    Записано измерване към т. 1."}},
        // faces differ by 0.03 in direction, 0.05 in zenith angle, 0.4 m in slope distance
        {"1 1.5 2 1.5 400 100 100 2 1.5 200.03 300.05 100.4 -4 -9 -9",
         {"    Недопустими разлики I/II положение", "      за хор. посока   300.0 сс. към т.2",
          "      за верт.  ъгъл   500.0 сс. към т.2", "      за накл. разст.   20.0 см. към т.2"}},
        // repeated sightings of 2 differ by 0.05 across the zero, 0.2 m in slope, 3 m in height
        {"1 1.5 2 1.5 399.99 99 100 3 1.5 100 0 100 2 1.5 0.04 101 100.2 -4 -9 -9",
         {"    Разлика в посока към т. 2.", "    Разлика в накл. разстояние към т. 2.",
          "    Разлика в превишение към т. 2.",
          "    Макс. разлики от повторения:", "      за      посока:   0.0500 гр. в т.     2",
          "      за накл. р-ние:   0.200  м.  в т.     2", "      за  превишение:   3.003  м.  в т.     2"}},
        // orientations differ by 0.05
        {"1 1.5 2 1.5 390 0 0 3 1.5 90.05 0 0 -4 -9 -9",
         {"    Разлика в ориент. неизвестно ", "      към т. 2 о=  10.00000 гр.",
          "      към т. 3 о=   9.95000 гр."}},
        // horizontal distance 0.2 m longer than the coordinates
        {"1 1.5 2 1.5 400 100 100.2 3 1.5 100 100 100 -4 -9 -9",
         {"    Разлика в разстояния.", "      точка  изчислено    измерено",
          "     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]", "          2  100.000     100.200",
          "          3  100.000     100.000"}},
        // height-only point 20 m above a level sight
        {"1 1.5 5 1.5 0 100 50 -4 -9 -9",
         {"    Невъзможно ориентиране.", "    Разлика в превишения", "",
          "      точка  изчислено    измерено   разлика", "     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]",
          "          5   20.000       0.000      20.000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data.substr(0, 60));
        Stage st;
        EXPECT_TRUE(st.data(c.data));
        EXPECT_EQ(tail(st.report(), c.tail.size()), c.tail);
    }
}

// Two faces within the tolerances, face II first, are merged into face I (directions 200
// apart, the mean slope distance) and summarised. A single face-II sight is turned to face
// I, and the index correction removes the index error in either face (a face-II reading is
// 400 - z + i, the correction -i); an unmeasured zenith angle stays unmeasured. Repeated
// directions across the zero average at zero.
TEST(InsKontrol, FacesAndRepeats) {
    const struct {
        double index;
        std::vector<vk::v5::Sight> sights;
        // direction, zenith angle and slope distance of the first sight afterwards
        std::array<double, 3> want;
        Lines report;
    } cases[] = {
        {0,
         {sight(2, 212.346, 300, 50.006), sight(2, 12.3456, 100, 50)},
         {12.3458, 100, 50.003},
         {"    Визиране в две положения на телскопа.", "    Максимални разлики между измервания: ",
          "      за  хор. посоки :    4.0 сс. към т.2", "      за  зен. ъгли   :   не е открита.",
          "      за накл. разст. :    0.3 см. към т.2", "      за  хор. разст. :   не е открита.", ""}},
        {0.002, {sight(2, 50, 301, 100)}, {250, 98.998, 100}, {}},
        {0.001, {sight(2, 50, 100, 100)}, {50, 100.001, 100}, {}},
        {0.001, {sight(2, 50, 0, 100)}, {50, 0, 100}, {}},
        {0,
         {sight(2, 399.999, 0, 100), sight(3, 100, 0, 100), sight(2, 0.001, 0, 100)},
         {0, 0, 100},
         {"    Макс. разлики от повторения:", "      за      посока:   0.0020 гр. в т.     2"}},
    };
    for (const auto& c : cases) {
        Stage st;
        st.p.par.index = c.index;
        st.p.sights = c.sights;
        ASSERT_FALSE(st.stops(ins_kontrol));
        EXPECT_NEAR(vk::ina(st.p.sights[0].R, c.want[0]), 0, 1e-7);  // 0.001 cc
        EXPECT_NEAR(st.p.sights[0].V, c.want[1], 1e-7);
        EXPECT_NEAR(st.p.sights[0].S, c.want[2], 1e-6);
        EXPECT_EQ(st.report(), c.report);
    }
}

// A station that agrees is oriented and summarised (the orientations from 2, 3 and 4 are 10,
// 10 and 10.003); a single known point orients without a check; stations without a plan
// position or a height say so and go on.
TEST(OutKontrol, OrientationAndSummary) {
    const struct {
        int J;
        std::vector<vk::v5::Sight> sights;
        Lines report;
    } cases[] = {
        {0,
         {sight(2, 390, 100, 100.05, 100.05), sight(3, 90, 100, 100, 100), sight(4, 189.997, 0, 0)},
         {"    Mакс. разлики от ориентиране:", "           за посока:  към т.    4   20.0 сс.",
          "       за разстояние:  към т.    2    5.0 см.", "       за превишение:  към т.    2    0.1 см.",
          ""}},  // curvature over 100 m
        {0, {sight(2, 390, 0, 0)}, {}},
        {4, {}, {"", "    Липсват (x,y) координати."}},
        {3, {}, {"    Невъзможно ориентиране.", "", "    Липсва надморска височина за ст. 4."}},
    };
    for (const auto& c : cases) {
        Stage st;
        st.p.J = c.J;
        st.p.sights = c.sights;
        ASSERT_FALSE(st.stops(out_kontrol));
        EXPECT_EQ(st.report(), c.report);
    }
}

// The report of station 1, oriented on 2 (north) and 3 (east) with the circle zero to the
// north, for the given detail block.
Lines station(const std::string& block) {
    Stage st;
    EXPECT_FALSE(st.data("1 1.5 2 1.5 400 100 100 3 1.5 100 100 100 -4 -9 " + block + " -9"));
    return st.report();
}

// The rows of the first point table of a report.
Lines rows(const Lines& rep) {
    const auto rule =
        std::find(rep.begin(), rep.end(), "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]");
    return rule == rep.end() ? Lines{"no table"} : Lines(rule + 1, std::find(rule, rep.end(), ""));
}

// Two faces of a detail point, face II first: the point of their mean (zenith 95.1232,
// slope 50.003), and the block's summary of the largest half-differences.
TEST(DetailBlock, TwoFacesMergedAndSummarised) {
    const Lines rep = station("1001 1.8 300 304.8770 50.006 1001 1.8 100 95.1234 50.000 1002 1.5 200 100 20");
    EXPECT_EQ(rows(rep).at(0), rows(station("1001 1.8 100 95.1232 50.003")).at(0));
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
        std::vector<int> got;
        for (const std::string& r : rows(station(c.block))) got.push_back(std::stoi(r));
        EXPECT_EQ(got, c.numbers);
    }
}

// The kind-3 example point, line by line, with a target height of 1.2 m.
TEST(ZapisTo, Kind3PointLines) {
    Stage st;
    st.p.xst = 0, st.p.yst = 0, st.p.hst = 100, st.p.ih = 1.5;
    vk::v5::zapis_to(st.p, {5001, 3, 12.5, -3.25, 101.2346, 1.2});
    EXPECT_EQ(st.report(), (Lines{"        5001    4000012.5000    7999996.7500   101.2346"}));
    const Lines scr = st.p.scr->lines();
    ASSERT_EQ(scr.size(), 30u);
    EXPECT_EQ(Lines(scr.begin(), scr.begin() + 13),
              (Lines{"layer s 2D_Points", "", "point 7999996.750,4000012.500", "layer s 2D_Names", "",
                     "text 7999996.910,4000012.600 0.20 0 5001", "layer s 2D_Altitudes", "",
                     "text 7999996.910,4000012.300 0.20 0 101.23", "layer s 2D_Snimka", "",
                     "line 8000000.000,4000000.000 7999996.750,4000012.500", ""}));
    EXPECT_EQ(tail(scr, 17),
              (Lines{"layer s 3D_Points", "", "point 7999996.750,4000012.500,101.235", "layer s 3D_Names", "",
                     "text 7999996.910,4000012.600,101.235 0.20 0 5001", "layer s 3D_Altitudes", "",
                     "text 7999996.910,4000012.300,101.235 0.20 0 101.23", "layer s 3D_Snimka", "",
                     "line 8000000.000,4000000.000,101.500 7999996.750,4000012.500,102.435", "",
                     "layer s Measured_HT", "",
                     "line 7999996.750,4000012.500,101.235 7999996.750,4000012.500,102.435", ""}));
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
        EXPECT_EQ(st.p.scr->lines(),
                  (kind == 1 ? Lines{"layer s 2D_Snimka", ""}
                             : Lines{"layer s 2D_Snimka", "",
                                     "line 8001000.0000,4001000.0000 8001000.0000,4001100.0000", "",
                                     "line 8001000.0000,4001000.0000 8001000.0000,4000900.0000", ""}));
    }
}

// A station missing from the network is reported once; its detail block, empty or longer
// than a group, is passed over, and the next station is processed.
TEST(Stanciq, UnknownStationPassedOver) {
    std::string long_block;
    for (int i = 0; i < 121; ++i) long_block += std::to_string(2000 + i) + " 1.5 100 100 50 ";
    for (const std::string& block : {std::string(), long_block}) {
        Stage st;
        EXPECT_FALSE(st.data("9 1.5 2 1.5 400 100 100 -4 -9 " + block +
                             "-9 1 1.5 2 1.5 400 100 100 -4 -9 1001 1.5 100 100 50 -9"));
        const Lines rep = st.report();
        EXPECT_EQ(std::count(rep.begin(), rep.end(), "    Липсват (x,y,h) координати за ст. 9"), 1);
        EXPECT_EQ(std::count(rep.begin(), rep.end(), "    Станция 1"), 1);
        EXPECT_EQ(rows(rep),
                  (Lines{"        1001    4001000.0000    8001050.0000   100.0002"}));  // 50 m east
    }
}

}  // namespace
