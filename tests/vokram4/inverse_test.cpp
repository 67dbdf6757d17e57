// The selected inversion of the normal matrix against a dense inverse: on hand-made
// sparse patterns (a chain, an arrow, two blocks tied by one element, a full matrix) every
// element that the envelope holds must equal the dense inverse's.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/cases.hpp"
#include "vokram4/normal_matrix.hpp"

namespace vk::v4 {
namespace {

using test::PrintTo;

using Dense = std::vector<std::vector<double>>;

// The inverse by Gauss-Jordan elimination (the matrices here are well conditioned).
Dense dense_inverse(Dense a) {
    const std::size_t n = a.size();
    Dense q(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) q[i][i] = 1.0;
    for (std::size_t k = 0; k < n; ++k) {
        const double p = a[k][k];
        for (std::size_t j = 0; j < n; ++j) a[k][j] /= p, q[k][j] /= p;
        for (std::size_t i = 0; i < n; ++i) {
            if (i == k) continue;
            const double f = a[i][k];
            for (std::size_t j = 0; j < n; ++j) a[i][j] -= f * a[k][j], q[i][j] -= f * q[k][j];
        }
    }
    return q;
}

struct Pattern {
    const char* behaviour;
    int u;
    bool (*tied)(int i, int j);  // i < j, from 1
};

const Pattern kPatterns[] = {
    {"a chain of points", 9, [](int i, int j) { return j - i <= 2; }},
    {"an arrow: the last unknown tied to all", 8, [](int i, int j) { return j == 8 || j - i == 1; }},
    {"two blocks tied by one element", 10,
     [](int i, int j) { return (i <= 5) == (j <= 5) || (i == 5 && j == 6); }},
    {"a full matrix", 6, [](int, int) { return true; }},
    {"a lone unknown between two blocks", 7, [](int i, int j) { return i != 4 && j != 4 && (j - i) <= 3; }},
};

class SelectedInversion : public ::testing::TestWithParam<Pattern> {};

TEST_P(SelectedInversion, EnvelopeEqualsTheDenseInverse) {
    const Pattern& p = GetParam();
    // A symmetric, diagonally dominant matrix of the pattern with unequal elements.
    Dense n(static_cast<std::size_t>(p.u), std::vector<double>(static_cast<std::size_t>(p.u), 0.0));
    NormalMatrix m;
    m.create(p.u);
    for (int i = 1; i <= p.u; ++i)
        for (int j = i + 1; j <= p.u; ++j)
            if (p.tied(i, j)) {
                const double v = -0.5 - 0.1 * ((i * 7 + j * 3) % 5);
                n[i - 1][j - 1] = n[j - 1][i - 1] = v;
                m.add(i, j, v, 1.0);
            }
    for (int i = 1; i <= p.u; ++i) {
        double row = 1.0 + 0.25 * i;
        for (int j = 1; j <= p.u; ++j) row += j != i ? std::fabs(n[i - 1][j - 1]) : 0.0;
        n[i - 1][i - 1] = row;
        m.add(i, i, row, 1.0);
    }
    ASSERT_EQ(m.reduce(), 0);
    const Dense q = dense_inverse(n);
    // Row 1 asks for the whole row, so the envelope must widen beyond the pattern.
    std::vector<int> need(static_cast<std::size_t>(p.u) + 1, 0);
    need[1] = p.u;
    const Cofactors c = m.inverse(need);
    int held = 0;
    for (int i = 1; i <= p.u; ++i)
        for (int j = 1; j <= p.u; ++j) {
            if ((i == j || (i < j ? p.tied(i, j) : p.tied(j, i)) || i == 1 || j == 1)) {
                ASSERT_TRUE(c.holds(i, j)) << i << "," << j;
            }
            if (!c.holds(i, j)) continue;
            ++held;
            EXPECT_NEAR(c(i, j), q[i - 1][j - 1], 1e-12) << i << "," << j;
        }
    EXPECT_GE(held, p.u * 3 - 2);
}

INSTANTIATE_TEST_SUITE_P(Patterns, SelectedInversion, ::testing::ValuesIn(kPatterns), test::ByBehaviour());

}  // namespace
}  // namespace vk::v4
