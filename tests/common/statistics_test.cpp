// The F distribution behind the test of the variance components: quantiles from the
// printed tables, and one of non-whole degrees of freedom from the closed form of d1 = 2.
#include "vokram/statistics.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "support/cases.hpp"

namespace vk {
namespace {

using test::PrintTo;

struct Case {
    const char* behaviour;
    double p, d1, d2, f;
};

const double d2 = 7.3, p = 0.975;  // d1 = 2: P(F <= f) = 1 - (1 + 2f/d2)^(-d2/2)
const Case kCases[] = {
    {"upper 5 percent of 5 and 10 degrees of freedom", 0.95, 5, 10, 3.3258},
    {"upper 25 per mille of 10 and 20 degrees of freedom", 0.975, 10, 20, 2.7737},
    {"lower 25 per mille, the reciprocal of the upper with the degrees swapped", 0.025, 10, 20, 1 / 3.4185},
    {"upper 1 percent of 1 and 1 degree of freedom", 0.99, 1, 1, 4052.18},
    {"the median of 30 and 30 degrees of freedom is 1", 0.5, 30, 30, 1.0},
    {"non-whole degrees of freedom by the closed form of d1 = 2", p, 2, d2,
     d2 / 2 * (std::pow(1 - p, -2 / d2) - 1)},
};

class FQuantile : public ::testing::TestWithParam<Case> {};

TEST_P(FQuantile, AgreesWithTheTables) {
    const Case& c = GetParam();
    EXPECT_NEAR(f_quantile(c.p, c.d1, c.d2), c.f, 1e-4 * c.f);
}

INSTANTIATE_TEST_SUITE_P(Statistics, FQuantile, ::testing::ValuesIn(kCases), test::ByBehaviour());

}  // namespace
}  // namespace vk
