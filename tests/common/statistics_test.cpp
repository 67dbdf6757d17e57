// The F distribution behind the test of the variance components: quantiles from the
// printed tables, and one of non-whole degrees of freedom from the closed form of d1 = 2.
#include "vokram/statistics.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace vk {
namespace {

TEST(Statistics, FQuantilesAgreeWithTheTables) {
    const double d2 = 7.3, p = 0.975;  // d1 = 2: P(F <= f) = 1 - (1 + 2f/d2)^(-d2/2)
    struct Case {
        double p, d1, d2, f;
    } cases[] = {
        {0.95, 5, 10, 3.3258}, {0.975, 10, 20, 2.7737}, {0.025, 10, 20, 1 / 3.4185},
        {0.99, 1, 1, 4052.18}, {0.5, 30, 30, 1.0},      {p, 2, d2, d2 / 2 * (std::pow(1 - p, -2 / d2) - 1)},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(f_quantile(c.p, c.d1, c.d2), c.f, 1e-4 * c.f) << c.p << " " << c.d1 << " " << c.d2;
}

}  // namespace
}  // namespace vk
