// Station checks: telescope faces, index error, repeated and reciprocal observations.
#include "fixture.hpp"

namespace vk::v1::test {
namespace {

const std::string kGiven = "h1\nh2\nh3\n1 100 100 -2\n";

TEST(TwoFaces, PairIsMergedWithItsDifferencesReported) {
    Stage t(kGiven + "5 1.5  1 1.5 10.0000 98.0000 100  1 1.5 210.0020 302.0040 100.002 -4\n");
    ASSERT_FALSE(t.upto(3));
    ASSERT_EQ(t.s.rows.size(), 1u);
    const Row& w = t.s.rows[0];
    EXPECT_NEAR(w.R, 10.0010, 1e-9);  // the mean of 10.0000 and 210.0020 - 200
    EXPECT_NEAR(w.V, 97.9980, 1e-9);  // the index error of 20 cc removed
    EXPECT_NEAR(w.S, 100.001, 1e-9);
    EXPECT_TRUE(t.has("    Визиране в две положения на телескопа."));
    EXPECT_TRUE(t.has("      за  хор. посоки :   10.0 сс. в ст.5 към т.1"));
    EXPECT_TRUE(t.has("      за  зен. ъгли   :   20.0 сс. в ст.5 към т.1"));
    EXPECT_TRUE(t.has("      за накл. разст. :    0.1 см. в ст.5 към т.1"));
    EXPECT_TRUE(t.has("      за  хор. разст. :   не е открита разлика."));
    EXPECT_TRUE(t.has("    Средна индексна грешка : 20.0 сс. от 1 измервания."));
}

TEST(TwoFaces, FaceTwoFirstGivesTheSameRowAsFaceOneFirst) {
    Stage a(kGiven + "5 1.5  1 1.5 10.0000 98.0000 100  1 1.5 210.0020 302.0040 100 -4\n");
    Stage b(kGiven + "5 1.5  1 1.5 210.0020 302.0040 100  1 1.5 10.0000 98.0000 100 -4\n");
    ASSERT_FALSE(a.upto(3));
    ASSERT_FALSE(b.upto(3));
    EXPECT_NEAR(a.s.rows[0].R, b.s.rows[0].R, 1e-9);
    EXPECT_NEAR(a.s.rows[0].V, b.s.rows[0].V, 1e-9);
}

TEST(TwoFaces, DirectionPairAcrossTheSeamAveragesNextToZero) {
    Stage t(kGiven + "5 1.5  1 1.5 399.9990 98 100  1 1.5 200.0010 302 100 -4\n");
    ASSERT_FALSE(t.upto(3));
    EXPECT_NEAR(ina(t.s.rows[0].R, 400.0), 0.0, 1e-9);
    EXPECT_TRUE(t.has("      за  хор. посоки :   10.0 сс. в ст.5 към т.1"));
}

TEST(TwoFaces, SameFaceTwiceInARowStops) {
    Stage t(kGiven + "5 1.5  1 1.5 10.0000 98 100  1 1.5 10.0004 98 100 -4\n");
    EXPECT_TRUE(t.upto(3));
}

TEST(TwoFaces, SingleSightsAreTurnedToFaceOneAndCorrected) {
    // Index correction -10 cc: a face-I reading of 98.0010 and a face-II reading of
    // 302.0010 both say 98.0000 (face I reads z + i, face II 400 - z + i, with i = +10 cc).
    Stage t(kGiven + "5 1.5  1 1.5 250.0000 302.0010 100  2 1.5 50 98.0010 100 -4\n7 1.5 1 1.5 0 0 0 -4");
    t.s.par.index = -0.0010;
    ASSERT_FALSE(t.upto(3));
    ASSERT_EQ(t.s.rows.size(), 2u);
    EXPECT_NEAR(t.s.rows[0].R, 50.0, 1e-9);
    EXPECT_NEAR(t.s.rows[0].V, 98.0, 1e-9);
    EXPECT_NEAR(t.s.rows[1].V, 98.0, 1e-9);
    // With no two-face pair the block is left out.
    for (const auto& l : t.lines()) EXPECT_EQ(l.find("две положения"), std::string::npos);
}

TEST(Checks, RowsWithoutUsableContentAreDropped) {
    Stage t(kGiven + "5 1.5  1 1.5 0 98 0  2 1.5 0 0 100  3 1.5 0 98 100  4 1.5 30 0 0 -4\n");
    ASSERT_FALSE(t.upto(3));
    ASSERT_EQ(t.s.rows.size(), 2u);
    EXPECT_EQ(t.s.rows[0].nt, 3);
    EXPECT_EQ(t.s.rows[1].nt, 4);
}

TEST(Checks, RepeatedDirectionsAreComparedWithinTheirRecordAndAveraged) {
    Stage ok(kGiven + "5 1.5  1 1.5 10.0000 0 0  2 1.5 50 0 0  1 1.5 10.0008 0 0 -4\n");
    ASSERT_FALSE(ok.upto(3));
    EXPECT_TRUE(ok.has("                 за посока :    8.0 сс. в  ст.5 към т.1"));
    EXPECT_NEAR(ok.s.rows[0].R, 10.0004, 1e-9);
    EXPECT_NEAR(ok.s.rows[2].R, 10.0004, 1e-9);

    Stage bad(kGiven + "5 1.5  1 1.5 10.0000 0 0  2 1.5 50 0 0  1 1.5 10.0200 0 0 -4\n");
    EXPECT_TRUE(bad.upto(3));
    EXPECT_TRUE(bad.has("    Голяма разлика в посока \"5\" - \"1\" =    10.00000 /   10.02000"));

    // The same direction in two records of one station is not compared here.
    Stage two(kGiven + "5 1.5  1 1.5 10 0 0 -4 5 1.5 1 1.5 110 0 0 -4\n");
    ASSERT_FALSE(two.upto(3));
    EXPECT_TRUE(two.has("                 за посока :   не е открита."));
}

TEST(Checks, DistancesBothWaysAreComparedAndAveraged) {
    Stage t(kGiven + "5 1.5  1 1.5 10 100 100.00 -4\n1 1.5  5 1.5 20 100 100.04 -4\n");
    ASSERT_FALSE(t.upto(3));
    EXPECT_TRUE(t.has("             за разстояние :    4.0 см. за страната 5 - 1"));
    EXPECT_NEAR(t.s.rows[0].D, 100.02, 1e-9);
    EXPECT_NEAR(t.s.rows[1].D, 100.02, 1e-9);

    Stage bad(kGiven + "5 1.5  1 1.5 10 100 100.00 -4\n1 1.5  5 1.5 20 100 100.20 -4\n");
    EXPECT_TRUE(bad.upto(3));
    EXPECT_TRUE(bad.has("    Голяма разлика в хор. разстояние \"5\" - \"1\" =   100.0000 /  100.2000"));
}

TEST(Checks, HeightDifferencesRepeatedAndReciprocal) {
    // At V = 100 the height difference is the instrument less the target height:
    // +1.234 from 5 to 1 and -1.200 back give a reciprocal misclosure of 3.4 cm.
    Stage t(kGiven + "5 2.734  1 1.5 10 100 100 -4\n1 1.5  5 2.7 20 100 100 -4\n");
    ASSERT_FALSE(t.upto(3));
    EXPECT_TRUE(t.has("      повторени превишения :   не е открита."));
    EXPECT_TRUE(t.has("      прави и обратни пр-я :    3.4 см. за страната 5 - 1"));

    Stage bad(kGiven + "5 2.734  1 1.5 10 100 100  2 1.5 30 100 50  1 1.3 10 100 100 -4\n");
    EXPECT_TRUE(bad.upto(3));
    EXPECT_TRUE(bad.has("    Голяма разлика в превишение \"5\" - \"1\" =  0.2000"));
    EXPECT_TRUE(bad.has("      повторени превишения :   20.0 см. за страната 5 - 1"));
}

}  // namespace
}  // namespace vk::v1::test
