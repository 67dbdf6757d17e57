// The angle primitives at their seams: every case is a hand computation.
#include "vokram/angles.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace vk {
namespace {

constexpr double kExact = 1e-12;
constexpr double kRounding = 1e-9;

TEST(Angles, RangReducesIntoHalfOpenTurnWithZeroAs400) {
    struct Case {
        double in, out;
    } cases[] = {
        {0.0, 400.0},      {400.0, 400.0},         {400.000001, 400.0}, {-0.5, 399.5},
        {800.0, 400.0},    {399.99999, 399.99999}, {1200.5, 0.5},       {-800.5, 399.5},
        {0.000009, 400.0}, {-0.000009, 400.0},     {0.00002, 0.00002},  {123.4567, 123.4567},
    };
    for (const auto& c : cases) EXPECT_NEAR(rang(c.in), c.out, kExact) << "rang(" << c.in << ")";
}

TEST(Angles, DirectionAngleInEveryQuadrantAndOnTheAxes) {
    struct Case {
        double dy, dx, reduced, raw;
    } cases[] = {
        {0, 5, 400, 0},    {0, -5, 200, 200},  {5, 0, 100, 100},  {-5, 0, 300, 300}, {1, 1, 50, 50},
        {1, -1, 150, 150}, {-1, -1, 250, 250}, {-1, 1, 350, 350}, {0, 0, 400, 0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(atang(c.dy, c.dx), c.reduced, kRounding) << c.dy << ", " << c.dx;
        EXPECT_NEAR(atang_raw(c.dy, c.dx), c.raw, kRounding) << c.dy << ", " << c.dx;
    }
    // A point a hair east of due north lies just past 0, one a hair west just below 400.
    EXPECT_NEAR(atang(1e-3, 1000.0), 1e-6 * kRho, 1e-12);
    EXPECT_NEAR(atang(-1e-3, 1000.0), 400.0 - 1e-6 * kRho, 1e-9);
}

TEST(Angles, VokramFourRhoIsTheEightDecimalCut) {
    EXPECT_NEAR(atang(1, 1, kRhoAdjustment), 50.0, 1e-8);
    EXPECT_NE(atang(1, 2, kRhoAdjustment), atang(1, 2));
    EXPECT_NEAR(sing(100.0, kRhoAdjustment), 1.0, 1e-15);
}

TEST(Angles, AngleBetweenDirectionsAndDistances) {
    EXPECT_DOUBLE_EQ(ina(10, 390), 20);
    EXPECT_DOUBLE_EQ(ina(0, 200), 200);
    EXPECT_DOUBLE_EQ(ina(50, 50), 0);
    EXPECT_NEAR(ina(399.9990, 0.0010), 0.002, 1e-12);  // across the 0/400 seam
    EXPECT_DOUBLE_EQ(dist(0, 0, 0, 3, 4, 0), 5);
    EXPECT_DOUBLE_EQ(dist(0, 0, 0, 3, 4, 12), 13);
    EXPECT_NEAR(sing(100), 1.0, kRounding);
    EXPECT_NEAR(cosg(200), -1.0, kRounding);
    EXPECT_NEAR(sing(50), std::sqrt(0.5), kRounding);
}

}  // namespace
}  // namespace vk
