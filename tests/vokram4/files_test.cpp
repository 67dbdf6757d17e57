// The record files of the adjustment (packed addressing, sizes, contents) and section 13
// of a whole run on the smallest network: one new point, two unknowns.
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
    for (std::size_t u : {2, 7, 790}) {
        std::size_t expected = 1;  // row after row, each from its diagonal to column u + 1
        for (std::size_t i = 1; i <= u + 1; ++i)
            for (std::size_t j = i; j <= u + 1; ++j, ++expected)
                ASSERT_EQ(vk::v4::op_l(u, i, j), expected) << "u " << u << " (" << i << ", " << j << ")";
    }
}

TEST(RecordFiles, WholeRunWithTwoUnknowns) {
    const Network net = one_new_point();
    const Reference ref = adjust_reference(net);
    Folder f(vk2_bytes(net));
    ASSERT_EQ(f.run(), 0);
    EXPECT_TRUE(f.con.showed("ИЗРАВНЕНИЕ - ЗАВЪРШЕНО. "));
    EXPECT_EQ(f.con.waits, 1);

    // Section 13 is appended in Windows-1251: its head and counts (three given stations,
    // each sighting the two others and the new point; distances only to the new point).
    const std::string report = f.report();
    ASSERT_EQ(report.substr(0, Folder::earlier.size()), Folder::earlier);
    const std::string head =
        "\r\n\r\n" + vk::to_cp1251(" 13.ИЗРАВНЕНИЕ НА ПЛАНОВА МРЕЖА ПО МНМК") + "\r\n\r\n";
    EXPECT_EQ(f.added().substr(0, head.size()), head);
    const std::vector<std::string> lines = lines_of(f.added());
    const std::vector<std::string> counts = {
        "            Зададени точки :     3",
        "    Измерени:  - посоки    :     9",
        "               - разстояния:     3",
        "          Всички измервания:    12",
        "",
        "                 Нови точки:     1",
        "             Ъглови станции:     3",
        "          Всички неизвестни:     5",
        "",
    };
    ASSERT_GE(lines.size(), 4 + counts.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.begin() + 4 + std::ssize(counts)), counts);
    EXPECT_EQ(lines.back().substr(0, 8), "     201");

    // The normal matrix of the coordinates with the orientations eliminated is the
    // inverse of their cofactor block.
    const double q11 = ref.Q[0][0], q12 = ref.Q[0][1], q22 = ref.Q[1][1], det = q11 * q22 - q12 * q12;
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

    // The last corrections: after one iteration they carry the approximate point to the
    // adjusted one; after more they are what was left, below 0.1 mm.
    int iterations = 0;
    for (const auto& shown : f.con.shown) iterations += shown.row == 20 && shown.col == 15;
    const auto dx = records<float>(f.temp("dx.tmp"));
    ASSERT_EQ(dx.size(), 7u);
    EXPECT_NEAR(dx[0], iterations == 1 ? (ref.x[0] - net.approx[0].x) * 100 : 0.0, 0.01);
    EXPECT_NEAR(dx[1], iterations == 1 ? (ref.y[0] - net.approx[0].y) * 100 : 0.0, 0.01);
    EXPECT_EQ(dx[2], 1.0f);

    // The work vector holds the first column of the inverse, the cofactor file its diagonal.
    const auto Q = records<float>(f.temp("Q_row.tmp"));
    const auto M = records<float>(f.temp("Q_main.tmp"));
    ASSERT_TRUE(Q.size() == 7 && M.size() == 7);
    EXPECT_NEAR(Q[0], q11, 1e-4 * q11);
    EXPECT_NEAR(Q[1], q12, 1e-4 * q11);
    EXPECT_EQ(Q[2], 1.0f);
    EXPECT_NEAR(M[0], q11, 1e-4 * q11);
    EXPECT_NEAR(M[1], q22, 1e-4 * q22);
    EXPECT_EQ(M[2], 0.0f);
    for (std::size_t k = 3; k < 7; ++k)
        EXPECT_TRUE(dx[k] == 0 && Q[k] == 0 && M[k] == 0) << "record " << k + 1;
}

}  // namespace
}  // namespace v4test
