// Controls of the plane solution (section 10), trigonometric heights (section 11) and
// their controls with the stop decision (section 12).
#include <gtest/gtest.h>

#include <algorithm>

#include "builder.hpp"
#include "vokram/angles.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {
namespace {

using test::kD;
using test::kR;
using test::kS;
using test::kV;
using test::Survey;

struct Loaded {
    ScriptedConsole con;
    TextFile rep;
    Network w{con, rep};
    explicit Loaded(const Survey& s) {
        NumberReader r(s.vk1(), "Temp/VK_1.tmp");
        vhod(w, r);
    }
    const Point& pt(int no) const {
        for (const Point& p : w.pts)
            if (p.no == no) return p;
        throw std::runtime_error("no point");
    }
};

// A circle reading as the file holds it: five decimals.
double file_reading(const Survey& s, int ps, int from, int to, double error) {
    const auto& a = s.point(from);
    const auto& b = s.point(to);
    return std::stod(real(rang(atang(b.y - a.y, b.x - a.x) - Survey::orientation(ps) + error), 0, 5));
}

TEST(PlaneControls, ConflictTablesAndSummaryLines) {
    Survey s;
    s.known(1, 100, 100, 50);
    s.known(2, 420, 160, 55);
    s.known(3, 260, 480, 60);
    s.known(4, 80, 420, 52);
    s.known(5, 400, 500, 52);  // 500 m from point 1
    s.sight(1, 1, 2, kR).sight(1, 1, 3, kR).sight(1, 1, 4, kR).sight(2, 1, 5, kD);
    s.sights[2].dR = 0.06;  // a wrong reading at 1 towards 4
    s.sights[3].dD = 0.15;  // a distance 15 cm long
    Loaded x(s);
    kontroli_2d(x.w);

    // The orientation of station 1 is the mean of the three; each direction deviates from it.
    double o[3], mean = 0, worst = 0;
    const int targets[3] = {2, 3, 4};
    for (int k = 0; k < 3; ++k) {
        const auto& b = s.point(targets[k]);
        o[k] = rang(atang(b.y - 100, b.x - 100) - file_reading(s, 1, 1, targets[k], k == 2 ? 0.06 : 0.0));
        mean += o[k] / 3;
    }
    for (double v : o) worst = std::max(worst, std::fabs(v - mean));
    std::vector<std::string> expected = {
        " 10.КОНТРОЛИ СЛЕД 2D-РЕШЕНИЕ.",
        "",
        "      Станция 1  - конфликт в посоките.",
        "         No         R            Алфа           о             vo",
    };
    for (int k = 0; k < 3; ++k) {
        const auto& b = s.point(targets[k]);
        expected.push_back(whole(targets[k], 11) +
                           real(file_reading(s, 1, 1, targets[k], k == 2 ? 0.06 : 0.0), 15, 5) +
                           real(atang(b.y - 100, b.x - 100), 14, 5) + real(o[k], 14, 5) +
                           real(std::fabs(o[k] - mean), 14, 5));
    }
    ASSERT_NEAR(worst, 0.04, 0.00002);  // 0.06 grads off a mean that moved by a third of it
    const std::vector<std::string> rest = {
        "",
        "      Конфликт в разстоянията.",
        "        от т.  до т.      измерено      изчислено     разлика",
        "            1     5       500.1500      500.0000      0.1500",
        "",
        "    Макс. ъглова  разлика: " + real(worst * 10000, 6, 1) + " сс. в ст.1 към т.4",
        "    Макс. линейна разлика:   15.0  см. в ст.1 към т.5",
        "",
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(x.rep.lines(), expected);
    EXPECT_TRUE(x.w.plane_conflict);
}

TEST(PlaneControls, SmallDeviationsGiveOnlyTheSummaryLine) {
    // Targets due north, east and west of station 1, so that the readings are exact.
    Survey s;
    s.known(1, 100, 100, 50);
    s.known(6, 100, 400, 50);
    s.known(7, 400, 100, 50);
    s.known(8, 100, -200, 50);
    s.unknown(10, 300, 300, 50);  // undetermined: its distance is left out
    s.sight(1, 1, 6, kR).sight(1, 1, 7, kR).sight(1, 1, 8, kR).sight(2, 1, 10, kD);
    s.sights[2].dR = 0.00045;  // the mean moves by 1.5 cc, direction 8 is 3 cc off it
    Loaded x(s);
    kontroli_2d(x.w);
    const std::vector<std::string> expected = {
        " 10.КОНТРОЛИ СЛЕД 2D-РЕШЕНИЕ.",
        "",
        "    Макс. ъглова  разлика:    3.0 сс. в ст.1 към т.8",
        "",
    };
    EXPECT_EQ(x.rep.lines(), expected);
    EXPECT_FALSE(x.w.plane_conflict);
}

TEST(Heights, LevelledPassByPassFromForwardAndReverseObservations) {
    Survey s;
    s.k = 0.13;
    s.known(1, 100, 100, 50);
    s.known(2, 420, 160, 0, 2);
    s.unknown(10, 300, 300, 58.25);
    s.unknown(11, 180, 420, 44.1);
    s.unknown(12, 600, 100, 61.0);
    // 11 is seen only from 10, and that row comes first: 11 needs a second pass.
    s.sight(1, 1, 2, kR);
    s.sight(1, 1, 10, kR | kD);
    s.sight(3, 10, 11, kV | kS);
    s.sight(1, 1, 10, kV | kS);
    s.sight(2, 10, 1, kV | kS);                      // reverse observation: the mean of both
    s.sight(1, 1, 12, kV | kD);                      // zenith angle and horizontal distance only
    s.sights[3].dV = 0.002, s.sights[4].dV = 0.002;  // the refraction-like error cancels in the mean
    Loaded x(s);
    zadachi_2d(x.w);
    h_zadacha(x.w);
    EXPECT_EQ(x.rep.lines().back(), "");
    EXPECT_NE(std::find(x.rep.lines().begin(), x.rep.lines().end(), " 11.ТРИГОНОМЕТРИЧНА НИВЕЛАЦИЯ."),
              x.rep.lines().end());
    const struct {
        int no, vi;
        double h;
    } expected[] = {{1, 3, 50}, {2, 2, kNoHeight}, {10, 3, 58.25}, {11, 1, 44.1}, {12, 1, 61.0}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.no);
        EXPECT_EQ(x.pt(e.no).vi, e.vi);
        EXPECT_NEAR(x.pt(e.no).h, e.h, 0.001);
    }
}

TEST(Heights, AGivenHeightBelowTheNoHeightMarkIsStillAHeight) {
    // A shaft bottom 1200 m below the datum: the passes must end and raise each kind once.
    Survey s;
    s.known(1, 100, 100, -1200.0);
    s.known(2, 420, 160, -1195.0);
    s.unknown(10, 300, 300, -1190.0);
    s.sight(1, 1, 2, kR).sight(1, 1, 10, kR | kD | kV | kS).sight(2, 10, 1, kV | kS);
    Loaded x(s);
    zadachi_2d(x.w);
    h_zadacha(x.w);
    EXPECT_EQ(x.pt(1).vi, 3);
    EXPECT_NEAR(x.pt(1).h, -1200.0, 1e-9);
    EXPECT_EQ(x.pt(10).vi, 3);
    EXPECT_NEAR(x.pt(10).h, -1190.0, 0.001);
}

TEST(Heights, NoLevellingWithoutSlopeDistancesOrGivenHeights) {
    for (bool slope : {false, true}) {
        Survey s;
        s.known(1, 100, 100, 50, slope ? 2 : 3);
        s.known(2, 420, 160, 55, 2);
        s.unknown(10, 300, 300, 58);
        s.sight(1, 1, 2, kR).sight(1, 1, 10, kR | kD | kV | (slope ? kS : 0u));
        Loaded x(s);
        zadachi_2d(x.w);
        h_zadacha(x.w);
        EXPECT_FALSE(x.w.heights_ran);
        EXPECT_EQ(x.pt(10).vi, 2);
        const auto lines = x.rep.lines();
        EXPECT_EQ(std::find(lines.begin(), lines.end(), " 11.ТРИГОНОМЕТРИЧНА НИВЕЛАЦИЯ."), lines.end());
        EXPECT_NO_THROW(h_kontrola(x.w));
        EXPECT_EQ(x.rep.lines(), lines) << "no section 12 either";
    }
}

TEST(HeightControls, ConflictRowsTheLargestMisclosureAndTheStop) {
    Survey s;
    s.k = 1.0;  // no curvature term: f(V,S) is S cos V + hs - ht
    s.known(1, 100, 100, 50);
    s.known(2, 400, 500, 55);  // 500 m away
    s.known(3, 400, 100, 51);
    s.sight(1, 1, 2, kV | kS).sight(1, 1, 3, kV | kD);
    s.sights[0].dV = 0.03;  // 0.03 grads over 500 m: about 24 cm
    Loaded x(s);
    h_zadacha(x.w);
    const std::size_t before = x.rep.lines().size();
    EXPECT_THROW(h_kontrola(x.w), ModuleStop);

    const double v =
        std::stod(real(std::acos(5.0 / std::hypot(500.0, 5.0)) * test::kGradsPerRadian + 0.03, 0, 5));
    const double slope = std::stod(real(std::hypot(500.0, 5.0), 0, 4));
    const double f_vs = slope * cosg(v);                        // from the slope distance
    const double f_vxy = 500.0 * cosg(v) / std::fabs(sing(v));  // from the coordinates
    const double worst = std::max(std::fabs(f_vs - 5.0), std::fabs(f_vxy - 5.0));
    const std::vector<std::string> expected = {
        " 12.КОНТРОЛИ СЛЕД НИВЕЛАЦИЯ.",
        "",
        "",
        "    Конфликтни точки:",
        "    No    No     V          S         D      (h2-h1)   f(V,S)   f(V,D)   f(V,x,y)",
        " ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
        "     1     2 " + real(v, 10, 5) + " " + real(slope, 9, 4) + "    0.0000   5.0000 " +
            real(f_vs, 8, 4) + "   0.0000 " + real(f_vxy, 8, 4),
        "",
        "    Макс. несвръзка за коти : " + real(worst * 100, 6, 1) + " см. за точки 1 - 2",
        "",
    };
    const auto lines = x.rep.lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(before), lines.end()), expected);
    EXPECT_NEAR(worst, 0.24, 0.02);
}

TEST(HeightControls, APlaneConflictStopsAfterTheHeights) {
    Survey s;
    s.known(1, 100, 100, 50, 2);
    s.known(2, 400, 500, 55, 2);
    s.sight(1, 1, 2, kD).sights[0].dD = 0.5;
    Loaded x(s);
    kontroli_2d(x.w);
    h_zadacha(x.w);
    EXPECT_THROW(h_kontrola(x.w), ModuleStop);
}

}  // namespace
}  // namespace vk::v2

namespace vk::v2 {
namespace {

TEST(Heights, AGivenHeightIsKeptWhenThePointGetsCoordinates) {
    // Point 5 is a levelling benchmark without coordinates; a polar sight places it.
    Survey s;
    s.known(1, 100, 100, 50);
    s.known(2, 420, 160, 55);
    s.known(5, 300, 300, 57.125, 1);
    s.sight(1, 1, 2, kR | kV | kS).sight(1, 1, 5, kR | kD);
    Loaded x(s);
    zadachi_2d(x.w);
    EXPECT_EQ(x.pt(5).vi, 3);
    EXPECT_NEAR(x.pt(5).x, 300, 0.001);
    h_zadacha(x.w);
    EXPECT_EQ(x.pt(5).vi, 3);
    EXPECT_DOUBLE_EQ(x.pt(5).h, 57.125);
}

}  // namespace
}  // namespace vk::v2
