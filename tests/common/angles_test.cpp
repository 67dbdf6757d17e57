// The angle primitives at their seams: every expected value is a hand computation.
#include "vokram/angles.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "support/cases.hpp"

namespace vk {
namespace {

using test::PrintTo;

struct Case {
    const char* behaviour;
    double got, want;
};

const Case kCases[] = {
    {"rang: 0 comes back as 400", rang(0.0), 400.0},
    {"rang: a full turn stays", rang(400.0), 400.0},
    {"rang: a hair past a turn is 400", rang(400.000001), 400.0},
    {"rang: a negative angle", rang(-0.5), 399.5},
    {"rang: two turns", rang(800.0), 400.0},
    {"rang: three turns and a half grad", rang(1200.5), 0.5},
    {"rang: two turns below zero", rang(-800.5), 399.5},
    {"rang: next to zero is zero", rang(-0.000009), 400.0},
    {"rang: just above the rounding", rang(0.00002), 0.00002},
    // The two faces of one sighting straddling north: face II read 200 off face I.
    {"face mean across north, seam at 400", face_mean(399.999, 200.001, Seam::at_400), 400.0},
    {"face mean across north, seam at 0", face_mean(399.999, 200.001, Seam::at_0), 0.0},
    {"face mean just east of north", face_mean(0.002, 200.0, Seam::at_0), 0.001},
    {"face mean just west of north", face_mean(399.998, 199.996, Seam::at_400), 399.997},
    {"face mean with face II below 200", face_mean(199.999, 399.997, Seam::at_400), 199.998},
    {"atang: north", atang(0, 5), 400},
    {"atang: south", atang(0, -5), 200},
    {"atang: east", atang(5, 0), 100},
    {"atang: west", atang(-5, 0), 300},
    {"atang: north-east", atang(1, 1), 50},
    {"atang: south-east", atang(1, -1), 150},
    {"atang: south-west", atang(-1, -1), 250},
    {"atang: north-west", atang(-1, 1), 350},
    {"atang: no direction", atang(0, 0), 400},
    {"atang: a hair west of north", atang(-1e-3, 1000.0), 400.0 - 1e-6 * kRho},
    {"atang_raw: north", atang_raw(0, 5), 0},
    {"atang_raw: south-west", atang_raw(-1, -1), 250},
    {"eight-decimal rho: north-east", atang(1, 1, kRhoAdjustment), 50},
    {"eight-decimal rho: sine of 100", sing(100.0, kRhoAdjustment), 1},
    {"ina: across the seam", ina(399.9990, 0.0010), 0.002},
    {"ina: from 10 to 390", ina(10, 390), 20},
    {"ina: opposite", ina(0, 200), 200},
    {"dist: in the plane", dist(0, 0, 0, 3, 4, 0), 5},
    {"dist: in space", dist(0, 0, 0, 3, 4, 12), 13},
    {"dist: x and y apart", dist(1, 2, 0, 4, 6, 0), 5},
    {"sing: 50 grads", sing(50), std::sqrt(0.5)},
    {"cosg: 200 grads", cosg(200), -1},
};

class Angles : public ::testing::TestWithParam<Case> {};

TEST_P(Angles, AtItsSeams) {
    EXPECT_NEAR(GetParam().got, GetParam().want, 1e-8);  // 0.0001 cc
}

INSTANTIATE_TEST_SUITE_P(Primitives, Angles, ::testing::ValuesIn(kCases), test::ByBehaviour());

}  // namespace
}  // namespace vk
