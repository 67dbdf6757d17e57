// Orientation on given points, records joined into one frame, averaging, projection scale.
#include "fixture.hpp"

namespace vk::v1::test {
namespace {

const std::string kHead = "h1\nh2\nh3\n";

TEST(Orientation, VectorMeanAtTheSeamAndDirectionAngles) {
    // Station 1 at the centre; 2 due east (100 grads), 3 due south (200 grads). The readings
    // give orientation angles of 399.9990 and 0.0010: their mean is 0, not 200.
    Stage t(
        kHead +
        "1 1000 1000 -2 2 1000 1100 -2 3 900 1000 -2\n1 1.5  2 1.5 100.0010 0 0  3 1.5 199.9990 0 0 -4\n");
    ASSERT_FALSE(t.upto(4));
    EXPECT_TRUE(t.has("    Максим. разлика м/у ориент. неизвестни   10.0 сс. в ст.1 към т.2"));
    ASSERT_EQ(t.s.rows.size(), 2u);
    EXPECT_EQ(t.s.rows[0].ps, 0);
    // The nine-decimal rho leaves the mean 0.00003 cc off zero at the seam.
    EXPECT_NEAR(t.s.rows[0].R, 100.0010, 1e-8);
    EXPECT_NEAR(t.s.rows[1].R, 199.9990, 1e-8);
}

TEST(Orientation, DisagreementAmongGivenPointsStops) {
    Stage t(
        kHead +
        "1 1000 1000 -2 2 1000 1100 -2 3 900 1000 -2\n1 1.5  2 1.5 100.0000 0 0  3 1.5 200.0300 0 0 -4\n");
    EXPECT_TRUE(t.upto(4));
    EXPECT_TRUE(t.has("    Станция     1 - несъгласуваност м/у посоки към дадени точки."));
    EXPECT_TRUE(t.has("      към     2   О =  400.00000 гр."));
    EXPECT_TRUE(t.has("      към     3   О =  399.97000 гр."));
}

TEST(Orientation, HeightOnlyPointTakesNoPartInTheOrientation) {
    // Point 9 has a height only: its plane position is unknown, so the direction to it
    // must not pull the orientation of station 1 (it would, by 50 grads, at 0, 0).
    Stage t(kHead + "1 1000 1000 -2 2 1000 1100 -2\n9 512.3 -1\n1 1.5  2 1.5 60 0 0  9 1.5 10 0 0 -4\n");
    ASSERT_FALSE(t.upto(4));
    EXPECT_NEAR(t.s.rows[0].R, 100.0, 1e-9);  // the direction angle from 1 to 2
    EXPECT_NEAR(t.s.rows[1].R, 50.0, 1e-9);   // turned with the same orientation
    EXPECT_TRUE(t.has("    Максим. разлика м/у ориент. неизвестни  не е открита."));
}

TEST(CommonOrigin, SecondRecordOfANewStationJoinsTheFirst) {
    // Station 7 is a new point observed in two sets whose circle zeros differ by 123.4 grads.
    Stage t(kHead +
            "1 1000 1000 -2 2 1000 1100 -2\n"
            "7 1.5  1 1.5 10 0 0  2 1.5 60 0 0  8 1.5 150 0 0 -4\n"
            "7 1.5  1 1.5 133.4 0 0  8 1.5 273.4012 0 0 -4\n");
    ASSERT_FALSE(t.upto(4));
    ASSERT_EQ(t.s.rows.size(), 5u);
    for (const Row& w : t.s.rows) EXPECT_EQ(w.ps, 1);
    // The offset is the mean of 123.4000 (to 1) and 123.4012 (to 8): each pair is 6 cc off it.
    EXPECT_TRUE(t.has("    Максим. разлика    6.0 сс. в ст.7 към т.1"));
    // Then the two sets are averaged: 10 and 9.9994 to point 1, 150 and 150.0006 to point 8.
    EXPECT_TRUE(t.has("    Максим. разлика    3.0 сс. в ст.7 към т.1"));
    EXPECT_NEAR(t.s.rows[0].R, 9.9997, 1e-8);
    EXPECT_NEAR(t.s.rows[3].R, 9.9997, 1e-8);
    EXPECT_NEAR(t.s.rows[2].R, 150.0003, 1e-8);
    EXPECT_NEAR(t.s.rows[4].R, 150.0003, 1e-8);
}

TEST(CommonOrigin, RecordOfAStationWithoutGivenSightsBecomesOriented) {
    Stage t(kHead +
            "1 1000 1000 -2 2 1000 1100 -2\n"
            "1 1.5  2 1.5 30 0 0  8 1.5 70 0 0 -4\n"
            "1 1.5  8 1.5 170 0 0  9 1.5 250 0 0 -4\n");
    ASSERT_FALSE(t.upto(4));
    for (const Row& w : t.s.rows) EXPECT_EQ(w.ps, 0);
    EXPECT_NEAR(t.s.rows[3].R, 220.0, 1e-8);  // 9 lies 80 grads right of 8, which is at 140
}

TEST(CommonOrigin, NoSharedStationsSaySo) {
    Stage t(kHead + "1 1000 1000 -2 2 1000 1100 -2\n1 1.5  2 1.5 30 0 0  8 1.5 70 0 0 -4\n");
    ASSERT_FALSE(t.upto(4));
    const auto l = t.lines();
    const auto it = std::find(l.begin(), l.end(), "    Не са открити едноименни станции с общи посоки.");
    ASSERT_NE(it, l.end());
    EXPECT_EQ(*(it + 1), "  6.ОСРЕДНЯВА ПОСОКИ СЛЕД ПРИВЕЖДАНЕ.");
}

TEST(Averaging, RepeatsThatDisagreeAfterJoiningStop) {
    Stage t(kHead +
            "1 1000 1000 -2 2 1000 1100 -2\n"
            "1 1.5  2 1.5 30 0 0  8 1.5 70 0 0 -4\n"
            "1 1.5  2 1.5 130 0 0  8 1.5 170.05 0 0 -4\n");
    EXPECT_TRUE(t.upto(4));
    EXPECT_TRUE(t.has("    Станция     1, към точка     8 - разлика м/у повторения."));
    EXPECT_TRUE(t.has("      Общо средно   = 140.0250 гр."));
    EXPECT_TRUE(t.has("        R =  140.00000   Разлика =    0.02500 гр."));
    EXPECT_TRUE(t.has("        R =  140.05000   Разлика =    0.02500 гр."));
}

TEST(ProjectionScale, HeightOfThePlaneShortensTheDistances) {
    Stage t(kHead +
            "1 1000 1000 520 -3 2 1000 2000 530 -3 3 5000 5000 -2 4 0 -1\n1 1.5  2 1.5 0 100 1000 -4\n");
    t.s.par.hp = 500.0;
    ASSERT_FALSE(t.upto(4));
    EXPECT_NEAR(t.s.rows[0].D, 1000.0 * (1.0 - 500.0 / 6375050.0), 1e-9);
    EXPECT_NEAR(t.s.rows[0].D, 999.9216, 1e-4);
    EXPECT_TRUE(t.has("       Средна надм. височина от коти  525.0 [м]     "));  // 3 and 4 have no height
    EXPECT_TRUE(t.has("             Свързана с нея корекция   82.4 [мм/км] "));
    EXPECT_TRUE(t.has("             Зададена надм. височина  500.0 [м]     "));
    EXPECT_TRUE(t.has("       ВНЕСЕНА Е ЗАДАДЕНАТА КОРЕКЦИЯ   78.4 [мм/км] "));

    Stage flat(kHead + "1 1000 1000 -2 2 1000 2000 -2\n1 1.5  2 1.5 0 100 1000 -4\n");
    ASSERT_FALSE(flat.upto(4));
    for (const auto& l : flat.lines()) EXPECT_EQ(l.find("от коти"), std::string::npos);
}

}  // namespace
}  // namespace vk::v1::test
