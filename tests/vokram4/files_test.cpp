// The record files of the adjustment: sizes, packed addressing and contents.
#include <cmath>
#include <cstring>

#include "support.hpp"

namespace v4test {
namespace {

template <class T>
std::vector<T> records(const std::filesystem::path& p) {
    const std::string bytes = read_bytes(p);
    std::vector<T> out(bytes.size() / sizeof(T));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
    return out;
}

TEST(RecordFiles, PackedAddressOfElement) {
    // Record of (i, j) as the file layout defines it, evaluated in floating point.
    auto by_formula = [](int u, int i, int j) {
        return static_cast<std::size_t>(std::lround((i - 1) * (u + 2 - i / 2.0) + (j - i) + 1));
    };
    for (int u : {2, 7, 790}) {
        std::size_t expected = 1;  // row after row, each from its diagonal to column u + 1
        for (int i = 1; i <= u + 1; ++i)
            for (int j = i; j <= u + 1; ++j, ++expected) {
                ASSERT_EQ(vk::v4::op_l(u, i, j), expected) << "u " << u << " (" << i << ", " << j << ")";
                ASSERT_EQ(by_formula(u, i, j), expected);
            }
        EXPECT_EQ(expected - 1, static_cast<std::size_t>((u + 1) * (u + 2) / 2));
    }
}

TEST(RecordFiles, SizesAndContentsAfterARunWithTwoUnknowns) {
    const Network net = one_new_point();
    const Reference ref = adjust_reference(net);
    Folder f(vk2_bytes(net));
    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v4::run(con, f.root), 0);

    // The normal matrix of the coordinates with the orientations eliminated is the
    // inverse of their cofactor block.
    const double q11 = ref.Qxy[0][0], q12 = ref.Qxy[0][1], q22 = ref.Qxy[1][1];
    const double det = q11 * q22 - q12 * q12;
    const double n11 = q22 / det, n12 = -q12 / det, n22 = q11 / det;

    // (1,1) (1,2) (1,3) (2,2) (2,3) (3,3) and five more: the reduced matrix with the
    // last unit right-hand side (that of unknown 1) carried through the reduction.
    const auto N = records<double>(f.temp("N_matrix.tmp"));
    ASSERT_EQ(N.size(), 11u);
    EXPECT_NEAR(N[0], n11, 1e-4 * n11);
    EXPECT_NEAR(N[1], n12, 1e-4 * std::fabs(n11));
    EXPECT_EQ(N[2], -1.0);
    EXPECT_NEAR(N[3], n22 - n12 * n12 / n11, 1e-4 * n22);
    EXPECT_NEAR(N[4], n12 / n11, 1e-4);
    for (std::size_t k = 5; k < 11; ++k) EXPECT_EQ(N[k], 0.0) << "record " << k + 1;

    // The last corrections: after one iteration they carry the approximate point to
    // the adjusted one; after more they are what was left, below 0.1 mm.
    int iterations = 0;
    for (const auto& shown : con.shown) iterations += shown.row == 20 && shown.col == 15;
    const double cx = iterations == 1 ? (ref.x[0] - net.approx[0].x) * 100 : 0.0;
    const double cy = iterations == 1 ? (ref.y[0] - net.approx[0].y) * 100 : 0.0;
    const auto dx = records<float>(f.temp("dx.tmp"));
    ASSERT_EQ(dx.size(), 7u);
    EXPECT_NEAR(dx[0], cx, 0.01);
    EXPECT_NEAR(dx[1], cy, 0.01);
    EXPECT_EQ(dx[2], 1.0f);
    for (std::size_t k = 3; k < 7; ++k) EXPECT_EQ(dx[k], 0.0f);

    // The work vector holds the first column of the inverse, the cofactor file its diagonal.
    const auto Q = records<float>(f.temp("Q_row.tmp"));
    const auto M = records<float>(f.temp("Q_main.tmp"));
    ASSERT_EQ(Q.size(), 7u);
    ASSERT_EQ(M.size(), 7u);
    EXPECT_NEAR(Q[0], q11, 1e-4 * q11);
    EXPECT_NEAR(Q[1], q12, 1e-4 * q11);
    EXPECT_EQ(Q[2], 1.0f);
    EXPECT_NEAR(M[0], q11, 1e-4 * q11);
    EXPECT_NEAR(M[1], q22, 1e-4 * q22);
    for (std::size_t k = 3; k < 7; ++k) {
        EXPECT_EQ(Q[k], 0.0f);
        EXPECT_EQ(M[k], 0.0f);
    }
    EXPECT_EQ(M[2], 0.0f);
}

TEST(RecordFiles, CofactorsAreTheDiagonalOfTheInverseForEveryUnknown) {
    // With many unknowns only the last one's cofactor is the reciprocal of its reduced
    // pivot; every other one needs the full inverse.
    const Network net = grid({.seed = 51, .reverse_new = true});
    const Reference ref = adjust_reference(net);
    Staged s(net);
    s.adjust();
    for (int i = 0; i < s.a.u; ++i)
        EXPECT_NEAR(s.a.M[static_cast<std::size_t>(i + 1)], ref.Qxy[i][i], 1e-3 * ref.Qxy[i][i])
            << "unknown " << i + 1;
}

}  // namespace
}  // namespace v4test
