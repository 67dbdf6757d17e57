// Checks of a polar station: faces, repetitions, orientation, distances and heights.
#include <gtest/gtest.h>

#include <algorithm>

#include "stage.hpp"
#include "survey_maker.hpp"
#include "vokram/angles.hpp"

namespace {

using v5test::Stage;
using vk::v5::Sight;
using Lines = std::vector<std::string>;

std::string zeros(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "0 ";
    return s;
}

Sight with_d(Sight s, double d) {
    s.D = d;
    return s;
}

struct StopCase {
    const char* what;
    std::vector<Sight> sights;
    Lines tail;  // the last report lines, written before the stop
};

// Every stop of INS_KONTROL comes after its report lines; the default tolerances are
// 0.02 grads and 0.15 m.
TEST(InsKontrol, StopsWithItsReportLines) {
    const StopCase cases[] = {
        {"sight to the station itself",
         {Stage::sight(1, 400, 100, 50)},
         {"    Записано измерване към т. 1."}},
        {"faces differ in direction by 0.03",
         {Stage::sight(2, 400, 100, 100), Stage::sight(2, 200.03, 300, 100)},
         {"    Недопустими разлики I/II положение", "      за хор. посока   300.0 сс. към т.2"}},
        {"faces differ in zenith angle by 0.05",
         {Stage::sight(2, 400, 100, 100), Stage::sight(2, 200, 300.05, 100)},
         {"    Недопустими разлики I/II положение", "      за верт.  ъгъл   500.0 сс. към т.2"}},
        {"faces differ in slope distance by 0.4 m",
         {Stage::sight(3, 100, 100, 100), Stage::sight(3, 300, 300, 100.4)},
         {"    Недопустими разлики I/II положение", "      за накл. разст.   20.0 см. към т.3"}},
        {"repeated direction across the zero differs by 0.05",
         {Stage::sight(2, 399.99, 0, 100), Stage::sight(3, 100, 0, 100), Stage::sight(2, 0.04, 0, 100)},
         {"    Разлика в посока към т. 2.",
          "    Макс. разлики от повторения:", "      за      посока:   0.0500 гр. в т.     2"}},
        {"repeated slope distance differs by 0.2 m",
         {Stage::sight(2, 400, 0, 100), Stage::sight(3, 100, 0, 100), Stage::sight(2, 400, 0, 100.2)},
         {"    Разлика в накл. разстояние към т. 2.",
          "    Макс. разлики от повторения:", "      за накл. р-ние:   0.200  м.  в т.     2"}},
        {"repeated height difference differs by 3 m",
         {Stage::sight(2, 400, 99, 100), Stage::sight(3, 100, 100, 100), Stage::sight(2, 400, 101, 100)},
         {"    Разлика в превишение към т. 2.",
          "    Макс. разлики от повторения:", "      за  превишение:   3.000  м.  в т.     2"}},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.what);
        Stage st;
        st.p.sights = c.sights;
        EXPECT_TRUE(st.stops(vk::v5::ins_kontrol));
        const Lines rep = st.report();
        ASSERT_GE(rep.size(), c.tail.size());
        EXPECT_EQ(Lines(rep.end() - static_cast<std::ptrdiff_t>(c.tail.size()), rep.end()), c.tail);
    }
}

// Two faces within the tolerances are merged into face I and summarised.
TEST(InsKontrol, TwoFacesMergedAndSummarised) {
    const struct {
        const char* what;
        Sight a, b;
        Lines shown;     // the summary lines that show a difference
        double R, V, S;  // the merged sight
    } cases[] = {
        {"zenith 100.0000 and 300.0010",
         Stage::sight(2, 400, 100, 100),
         Stage::sight(2, 200, 300.001, 100),
         {"      за  зен. ъгли   :   10.0 сс. към т.2"},
         0,
         99.9995,
         100},
        {"directions 12.3456 and 212.3460",
         Stage::sight(2, 12.3456, 100, 100),
         Stage::sight(2, 212.346, 300, 100),
         {"      за  хор. посоки :    4.0 сс. към т.2"},
         12.3458,
         100,
         100},
        {"face II first, slopes 50.000 and 50.006",
         Stage::sight(2, 212.346, 300, 50.006),
         Stage::sight(2, 12.3456, 100, 50),
         {"      за  хор. посоки :    4.0 сс. към т.2", "      за накл. разст. :    0.3 см. към т.2"},
         12.3458,
         100,
         50.003},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Stage st;
        st.p.sights = {c.a, c.b};
        ASSERT_FALSE(st.stops(vk::v5::ins_kontrol));
        ASSERT_EQ(st.p.sights.size(), 1u);
        EXPECT_NEAR(vk::ina(st.p.sights[0].R, c.R), 0, 1e-7);  // 0.001 cc
        EXPECT_NEAR(st.p.sights[0].V, c.V, 1e-7);
        EXPECT_NEAR(st.p.sights[0].S, c.S, 1e-6);
        Lines want = {"    Визиране в две положения на телскопа.",
                      "    Максимални разлики между измервания: ",
                      "      за  хор. посоки :   не е открита.",
                      "      за  зен. ъгли   :   не е открита.",
                      "      за накл. разст. :   не е открита.",
                      "      за  хор. разст. :   не е открита.",
                      ""};
        for (std::string& l : want)
            for (const std::string& shown : c.shown)
                if (l.substr(0, 24) == shown.substr(0, 24)) l = shown;
        EXPECT_EQ(st.report(), want);
    }
}

// Single sightings: face II is turned to face I and the index correction is applied with
// the sign that removes the index error in both faces; an unmeasured zenith angle stays
// unmeasured.
TEST(InsKontrol, SingleSightsTurnedToFaceOne) {
    const struct {
        double index;
        Sight in;
        double R, V;
    } cases[] = {
        {0.0, Stage::sight(2, 50, 301, 100), 250, 99},
        {0.002, Stage::sight(2, 50, 301, 100), 250, 98.998},  // index error -0.002: true z 98.998
        {0.001, Stage::sight(2, 50, 100, 100), 50, 100.001},
        {0.001, Stage::sight(2, 50, 0, 100), 50, 0},
    };
    for (const auto& c : cases) {
        Stage st;
        st.p.par.index = c.index;
        st.p.sights = {c.in};
        ASSERT_FALSE(st.stops(vk::v5::ins_kontrol));
        EXPECT_NEAR(st.p.sights[0].R, c.R, 1e-9);
        EXPECT_NEAR(st.p.sights[0].V, c.V, 1e-9);
        EXPECT_TRUE(st.report().empty()) << "a single sight has nothing to report";
    }
}

// Repeated directions across the zero direction average at zero, not at 200.
TEST(InsKontrol, RepeatedDirectionsAcrossZero) {
    Stage st;
    st.p.sights = {Stage::sight(2, 399.999, 0, 100), Stage::sight(3, 100, 0, 100),
                   Stage::sight(2, 0.001, 0, 100)};
    ASSERT_FALSE(st.stops(vk::v5::ins_kontrol));
    EXPECT_NEAR(vk::ina(st.p.sights[0].R, 0.0), 0.0, 1e-7);
    EXPECT_EQ(st.p.sights[2].R, st.p.sights[0].R);
    EXPECT_EQ(st.report(),
              (Lines{"    Макс. разлики от повторения:", "      за      посока:   0.0020 гр. в т.     2"}));
}

// OUT_KONTROL stops after its tables when the station disagrees with the network.
TEST(OutKontrol, StopsWithItsTables) {
    const StopCase cases[] = {
        {"orientations differ by 0.05",
         {Stage::sight(2, 390, 0, 0), Stage::sight(3, 90.05, 0, 0)},
         {"    Разлика в ориент. неизвестно ", "      към т. 2 о=  10.00000 гр.",
          "      към т. 3 о=   9.95000 гр."}},
        {"distance 0.2 m longer than the coordinates",
         {with_d(Stage::sight(2, 400, 100, 100.2), 100.2), with_d(Stage::sight(3, 100, 100, 100), 100)},
         {"    Разлика в разстояния.", "      точка  изчислено    измерено",
          "     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]", "          2  100.000     100.200",
          "          3  100.000     100.000"}},
        {"height-only point 20 m above the level sight",
         {Stage::sight(5, 0, 100, 50)},
         {"    Невъзможно ориентиране.", "    Разлика в превишения", "",
          "      точка  изчислено    измерено   разлика", "     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]",
          "          5   20.000       0.000      20.000"}},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.what);
        Stage st;
        st.p.J = 0;
        st.p.sights = c.sights;
        EXPECT_TRUE(st.stops(vk::v5::out_kontrol));
        const Lines rep = st.report();
        ASSERT_GE(rep.size(), c.tail.size());
        EXPECT_EQ(Lines(rep.end() - static_cast<std::ptrdiff_t>(c.tail.size()), rep.end()), c.tail);
    }
}

// A station that agrees is oriented and summarised; stations without a plan position or
// without a height say so and go on.
TEST(OutKontrol, OrientationAndSummary) {
    Stage st;
    st.p.J = 0;
    st.p.sights = {with_d(Stage::sight(2, 390, 100, 100.05), 100.05),
                   with_d(Stage::sight(3, 90.002, 100, 100), 100)};
    ASSERT_FALSE(st.stops(vk::v5::out_kontrol));
    EXPECT_NEAR(st.p.Z, 9.999, 1e-9);
    EXPECT_EQ(st.p.xst, 1000);
    const Lines rep = st.report();
    ASSERT_EQ(rep.size(), 5u);
    EXPECT_EQ(rep[0], "    Mакс. разлики от ориентиране:");
    const std::string head = "           за посока:  към т.",
                      tail = "   10.0 сс.";  // 0.001 grads from either point
    EXPECT_EQ(rep[1].substr(0, head.size()), head);
    EXPECT_EQ(rep[1].substr(rep[1].size() - tail.size()), tail);
    EXPECT_EQ(rep[2], "       за разстояние:  към т.    2    5.0 см.");
    EXPECT_EQ(rep[3], "       за превишение:  към т.    2    0.1 см.");  // curvature over 100 m
    EXPECT_EQ(rep[4], "");

    const struct {
        int J;
        Lines want;
    } kinds[] = {
        {4, {"", "    Липсват (x,y) координати."}},
        {3, {"    Невъзможно ориентиране.", "", "    Липсва надморска височина за ст. 4."}},
    };
    // One known point with a direction only: an orientation without a check, and no
    // distance or height line, since nothing was measured to compare.
    Stage one;
    one.p.J = 0;
    one.p.sights = {Stage::sight(2, 390, 0, 0)};
    ASSERT_FALSE(one.stops(vk::v5::out_kontrol));
    EXPECT_NEAR(one.p.Z, 10, 1e-9);
    EXPECT_TRUE(one.report().empty());

    for (const auto& k : kinds) {
        Stage other;
        other.p.J = k.J;
        ASSERT_FALSE(other.stops(vk::v5::out_kontrol));
        EXPECT_EQ(other.report(), k.want);
    }
}

// Errors in the station record stop the module with their message.
TEST(Stanciq, RecordErrorsStop) {
    const struct {
        std::string data;
        std::string last;
    } cases[] = {
        {"1 1.5 2 1.5 400 100 -4 -9 -9", "    В станция \"1\" Код -1, проверете броя данни."},
        {"1.5 1.5 2 1.5 400 100 100 -4 -9 -9", "    Код -1, неправилен номер на станция \"1.5000\"."},
        {"1 1.5 2.25 1.5 400 100 100 -4 -9 -9", "    Неправилен номер пред наблюдавана точка \"2.2500\"."},
        {"1 1.5 2 1.5 400.0001 100 100 -4 -9 -9", "    В станция \"1\" грешна посока \"400.0001\"."},
        {"1 1.5 2 1.5 400 401 100 -4 -9 -9", "    В станция \"1\" грешен зен. ъгъл \"401.0000\"."},
        {"1 " + zeros(598) + "-4 -9 -9", "    Голям брой измервания от една станция : 1"},
        {"1 " + zeros(597) + "-4 -9 -9",
         "    В станция \"1\" Код -1, проверете броя данни."},  // 599 are one group
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data.substr(0, 40));
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
        EXPECT_EQ(v5test::report_rows(rep).count(1001), 1u);
        EXPECT_EQ(v5test::report_rows(rep).count(2000), 0u);
    }
}

}  // namespace
