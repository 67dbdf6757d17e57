// Checks of a polar station: faces, repetitions, orientation, distances and heights, and
// the errors of its record. Default tolerances: 0.02 grads, 0.15 m, 0.15 m.
#include <gtest/gtest.h>

#include <algorithm>

#include "survey_maker.hpp"
#include "vokram/angles.hpp"

namespace {

using namespace v5test;
using vk::v5::ins_kontrol;
using vk::v5::out_kontrol;

// Every stop of INS_KONTROL and OUT_KONTROL comes after its report lines.
TEST(Checks, StopsWithTheirReportLines) {
    const struct {
        const char* what;
        void (*stage)(vk::v5::Polar&);
        std::vector<vk::v5::Sight> sights;
        Lines tail;  // the last report lines
    } cases[] = {
        {"sight to the station itself",
         ins_kontrol,
         {sight(1, 400, 100, 50)},
         {"    Записано измерване към т. 1."}},
        {"faces differ by 0.03 in direction, 0.05 in zenith angle, 0.4 m in slope distance",
         ins_kontrol,
         {sight(2, 400, 100, 100), sight(2, 200.03, 300.05, 100.4)},
         {"    Недопустими разлики I/II положение", "      за хор. посока   300.0 сс. към т.2",
          "      за верт.  ъгъл   500.0 сс. към т.2", "      за накл. разст.   20.0 см. към т.2"}},
        {"repeated sightings of 2 differ by 0.05 across the zero, 0.2 m in slope, 3 m in height",
         ins_kontrol,
         {sight(2, 399.99, 99, 100), sight(3, 100, 0, 100), sight(2, 0.04, 101, 100.2)},
         {"    Разлика в посока към т. 2.", "    Разлика в накл. разстояние към т. 2.",
          "    Разлика в превишение към т. 2.",
          "    Макс. разлики от повторения:", "      за      посока:   0.0500 гр. в т.     2",
          "      за накл. р-ние:   0.200  м.  в т.     2", "      за  превишение:   3.003  м.  в т.     2"}},
        {"orientations differ by 0.05",
         out_kontrol,
         {sight(2, 390, 0, 0), sight(3, 90.05, 0, 0)},
         {"    Разлика в ориент. неизвестно ", "      към т. 2 о=  10.00000 гр.",
          "      към т. 3 о=   9.95000 гр."}},
        {"distance 0.2 m longer than the coordinates",
         out_kontrol,
         {sight(2, 400, 100, 100.2, 100.2), sight(3, 100, 100, 100, 100)},
         {"    Разлика в разстояния.", "      точка  изчислено    измерено",
          "     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]", "          2  100.000     100.200",
          "          3  100.000     100.000"}},
        {"height-only point 20 m above a level sight",
         out_kontrol,
         {sight(5, 0, 100, 50)},
         {"    Невъзможно ориентиране.", "    Разлика в превишения", "",
          "      точка  изчислено    измерено   разлика", "     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]",
          "          5   20.000       0.000      20.000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Stage st;
        st.p.sights = c.sights;
        EXPECT_TRUE(st.stops(c.stage));
        EXPECT_EQ(tail(st.report(), c.tail.size()), c.tail);
    }
}

// Two faces within the tolerances are merged into face I (the one with the smaller zenith
// angle) and summarised.
TEST(InsKontrol, TwoFacesMergedAndSummarised) {
    const struct {
        vk::v5::Sight a, b;
        double R, V, S;  // the merged sight
        const char *dir, *zen, *slope;
    } cases[] = {
        {sight(2, 400, 100, 100), sight(2, 200, 300.001, 100), 400, 99.9995, 100, "  не е открита.",
         "  10.0 сс. към т.2", "  не е открита."},
        {sight(2, 212.346, 300, 50.006), sight(2, 12.3456, 100, 50), 12.3458, 100, 50.003,
         "   4.0 сс. към т.2", "  не е открита.", "   0.3 см. към т.2"},
    };
    for (const auto& c : cases) {
        Stage st;
        st.p.sights = {c.a, c.b};
        ASSERT_FALSE(st.stops(ins_kontrol));
        ASSERT_EQ(st.p.sights.size(), 1u);
        EXPECT_NEAR(vk::ina(st.p.sights[0].R, c.R), 0, 1e-7);  // 0.001 cc
        EXPECT_NEAR(st.p.sights[0].V, c.V, 1e-7);
        EXPECT_NEAR(st.p.sights[0].S, c.S, 1e-6);
        EXPECT_EQ(st.report(), (Lines{"    Визиране в две положения на телскопа.",
                                      "    Максимални разлики между измервания: ",
                                      std::string("      за  хор. посоки : ") + c.dir,
                                      std::string("      за  зен. ъгли   : ") + c.zen,
                                      std::string("      за накл. разст. : ") + c.slope,
                                      "      за  хор. разст. :   не е открита.", ""}));
    }
}

// Single sightings: face II is turned to face I and the index correction removes the
// index error in either face (a face-II reading is 400 - z + i, the correction -i); an
// unmeasured zenith angle stays unmeasured. Repeats across the zero average at zero.
TEST(InsKontrol, SingleSightsAndRepeats) {
    const struct {
        double index, R, V, want_R, want_V;
    } cases[] = {{0, 50, 301, 250, 99},
                 {0.002, 50, 301, 250, 98.998},
                 {0.001, 50, 100, 50, 100.001},
                 {0.001, 50, 0, 50, 0}};
    for (const auto& c : cases) {
        Stage st;
        st.p.par.index = c.index;
        st.p.sights = {sight(2, c.R, c.V, 100)};
        ASSERT_FALSE(st.stops(ins_kontrol));
        EXPECT_NEAR(st.p.sights[0].R, c.want_R, 1e-9);
        EXPECT_NEAR(st.p.sights[0].V, c.want_V, 1e-9);
        EXPECT_TRUE(st.report().empty());
    }
    Stage st;
    st.p.sights = {sight(2, 399.999, 0, 100), sight(3, 100, 0, 100), sight(2, 0.001, 0, 100)};
    ASSERT_FALSE(st.stops(ins_kontrol));
    EXPECT_NEAR(vk::ina(st.p.sights[0].R, 0.0), 0.0, 1e-7);
    EXPECT_EQ(st.p.sights[2].R, st.p.sights[0].R);
    EXPECT_EQ(st.report(),
              (Lines{"    Макс. разлики от повторения:", "      за      посока:   0.0020 гр. в т.     2"}));
}

// A station that agrees is oriented and summarised; a single known point orients without
// a check; stations without a plan position or a height say so and go on.
TEST(OutKontrol, OrientationAndSummary) {
    Stage st;
    st.p.sights = {sight(2, 390, 100, 100.05, 100.05), sight(3, 90.002, 100, 100, 100)};
    ASSERT_FALSE(st.stops(out_kontrol));
    EXPECT_NEAR(st.p.Z, 9.999, 1e-9);
    const Lines rep = st.report();
    ASSERT_EQ(rep.size(), 5u);
    EXPECT_EQ(rep[0], "    Mакс. разлики от ориентиране:");
    EXPECT_TRUE(rep[1] == "           за посока:  към т.    2   10.0 сс." ||
                rep[1] == "           за посока:  към т.    3   10.0 сс.");  // 0.001 grads from either
    EXPECT_EQ(tail(rep, 3),
              (Lines{"       за разстояние:  към т.    2    5.0 см.",
                     "       за превишение:  към т.    2    0.1 см.", ""}));  // curvature over 100 m
    const struct {
        int J;
        std::vector<vk::v5::Sight> sights;
        Lines want;
    } others[] = {
        {0, {sight(2, 390, 0, 0)}, {}},
        {4, {}, {"", "    Липсват (x,y) координати."}},
        {3, {}, {"    Невъзможно ориентиране.", "", "    Липсва надморска височина за ст. 4."}},
    };
    for (const auto& o : others) {
        Stage other;
        other.p.J = o.J;
        other.p.sights = o.sights;
        ASSERT_FALSE(other.stops(out_kontrol));
        EXPECT_EQ(other.report(), o.want);
    }
}

// Errors in the station record stop the module with their message.
TEST(Stanciq, RecordErrorsStop) {
    const auto zeros = [](int n) {
        std::string s;
        while (n-- > 0) s += "0 ";
        return s;
    };
    const struct {
        std::string data, last;
    } cases[] = {
        {"1 1.5 2 1.5 400 100 -4 -9 -9", "    В станция \"1\" Код -1, проверете броя данни."},
        {"1.5 1.5 2 1.5 400 100 100 -4 -9 -9", "    Код -1, неправилен номер на станция \"1.5000\"."},
        {"1 1.5 2.25 1.5 400 100 100 -4 -9 -9", "    Неправилен номер пред наблюдавана точка \"2.2500\"."},
        {"1 1.5 2 1.5 400.0001 100 100 -4 -9 -9", "    В станция \"1\" грешна посока \"400.0001\"."},
        {"1 1.5 2 1.5 400 401 100 -4 -9 -9", "    В станция \"1\" грешен зен. ъгъл \"401.0000\"."},
        {"1 " + zeros(598) + "-4 -9 -9", "    Голям брой измервания от една станция : 1"},
        {"1 " + zeros(597) + "-4 -9 -9",
         "    В станция \"1\" Код -1, проверете броя данни."},  // 599: one group
    };
    for (const auto& c : cases) {
        Stage st;
        EXPECT_TRUE(st.data(c.data));
        EXPECT_EQ(st.report().back(), c.last);
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
        const std::vector<Got> rows = report_rows(rep);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].no, 1001);
    }
}

}  // namespace
