// New points, element counts (section 8) and the layout of "Temp/VK_1.tmp".
#include "fixture.hpp"

namespace vk::v1::test {
namespace {

const std::string kHead = "h1\nh2\nh3\n";

std::vector<std::string> network_file(const Survey& s) {
    TextFile f;
    izhod(s, f);
    return f.lines();
}

// The lines after the new-point count line, up to the measurement count line.
std::vector<std::string> new_point_block(const std::vector<std::string>& l) {
    auto it = std::find_if(l.begin(), l.end(), [](const std::string& x) {
        return x.find("брой нови точки") != std::string::npos;
    });
    auto end = std::find_if(
        it, l.end(), [](const std::string& x) { return x.find("брой измервания") != std::string::npos; });
    return {it, end};
}

TEST(Elements, NewPointsSortedAndTheirBlockInTheNetworkFile) {
    // Stations and targets 20, 3, 11, ... : eleven new points met in no particular order.
    std::string rec = "20 1.5";
    for (int no : {3, 11, 7, 1, 15, 9, 2, 8, 4, 6})
        rec += " " + std::to_string(no) + " 1.5 " + std::to_string(no * 10) + " 0 0";
    Stage t(kHead + "100 1000 1000 -2 101 1000 1100 -2\n" + rec + " -4\n");
    ASSERT_FALSE(t.upto(5));
    std::vector<int> numbers;
    for (std::size_t i = t.s.given; i < t.s.pts.size(); ++i) numbers.push_back(t.s.pts[i].no);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 6, 7, 8, 9, 11, 15, 20}));
    const auto block = new_point_block(network_file(t.s));
    ASSERT_EQ(block.size(), 4u);
    EXPECT_EQ(block[0], "        11   - брой нови точки           ");
    EXPECT_EQ(block[1], "    1     2     3     4     6     7     8     9    11    15 ");
    EXPECT_EQ(block[2], "   20 ");
    EXPECT_EQ(block[3], "");
    EXPECT_TRUE(t.has("              Нови точки :    11"));
}

TEST(Elements, NoNewPointsGiveACountOfZeroAndTwoEmptyLines) {
    Stage t(kHead + "1 1000 1000 -2 2 1000 1100 -2\n1 1.5 2 1.5 10 0 0 -4\n");
    ASSERT_FALSE(t.upto(5));
    const auto block = new_point_block(network_file(t.s));
    EXPECT_EQ(block, (std::vector<std::string>{"         0   - брой нови точки           ", "", ""}));
}

TEST(Elements, RepeatsCountOnceInTheReportAndEveryTimeInTheFile) {
    // A direction twice to one target in one record, and a distance measured both ways.
    Stage t(kHead +
            "1 1000 1000 500 -3 2 1000 1100 510 -3\n"
            "1 1.5  2 1.5 10 100 100  5 1.5 50 0 0  2 1.5 10 100 100 -4\n"
            "2 1.5  1 1.5 30 100 100 -4\n");
    ASSERT_FALSE(t.upto(5));
    EXPECT_TRUE(t.has("    Измерени :    посоки :     3"));
    EXPECT_TRUE(t.has("               зен. ъгли :     2"));
    EXPECT_TRUE(t.has("           накл. разст-я :     1"));
    EXPECT_TRUE(t.has("        (хориз. разст-я) :     1"));
    EXPECT_TRUE(t.has("              превишения :     1"));
    EXPECT_EQ(network_file(t.s).back(), "4 3 3 3 3   - вид измервания:  R / V / S / D / dH");
}

TEST(Elements, CapacityIs399PointsInAll) {
    auto survey = [](int fresh) {
        std::string g = kHead;
        for (int i = 1; i <= 398; ++i) g += std::to_string(i) + " " + std::to_string(i * 10) + " 50 -2\n";
        g += "1 1.5";
        for (int k = 0; k < fresh; ++k) g += " " + std::to_string(1000 + k) + " 1.5 10 0 0";
        return g + " -4\n";
    };
    Stage ok(survey(1));
    EXPECT_FALSE(ok.upto(5));
    EXPECT_EQ(ok.s.pts.size(), 399u);
    Stage full(survey(2));
    EXPECT_TRUE(full.upto(5));
    EXPECT_TRUE(full.con.showed("АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА."));
}

TEST(NetworkFile, HeadGivenPointsAndRowsInTheirColumns) {
    Stage t(kHead +
            "1 4567891.23 8512345.67 512.346 -3 2 4567999.5 8512400 -2 3 519.874 -1\n"
            "1 1.562  2 1.8 382.48202 98.2374 542.236 -4\n");
    ASSERT_FALSE(t.upto(5));
    const auto l = network_file(t.s);
    ASSERT_EQ(l.size(), 28u);
    EXPECT_EQ(l[0], "");
    EXPECT_EQ(l[1], "Резултати от модул  * ВОКРАМ-1 *");
    EXPECT_EQ(l[2], std::string(32, '~'));
    EXPECT_EQ(l[3], "");
    EXPECT_EQ(l[4], "4567880.0 8512330.0 0.01000 0.1000 0.1000 0.106  - редукц. начало, параметри");
    EXPECT_EQ(l[5], "");
    EXPECT_EQ(l[6], "         3 - брой зададени точки");
    EXPECT_EQ(l[7], std::string(40, '~'));
    EXPECT_EQ(l[8], "vi    no     xk         yk        hk    ");
    EXPECT_EQ(l[10], " 3     1    11.2300    15.6700  512.3460");
    EXPECT_EQ(l[11], " 2     2   119.5000    70.0000    0.0000");
    EXPECT_EQ(l[12], " 1     3     0.0000     0.0000  519.8740");
    EXPECT_EQ(l[13], std::string(40, '~'));
    EXPECT_EQ(l[14], "");
    EXPECT_EQ(l[15], "1 1 1 - вид точки:  3D / 2D / 1D ");
    EXPECT_EQ(l[17], "         0   - брой нови точки           ");
    EXPECT_EQ(l[20], "         1   - брой измервания ");
    EXPECT_EQ(l[21], std::string(72, '~'));
    EXPECT_EQ(l[22], "    ps    ns hs[mm]   nt ht[mm]    R          V          S         D    ");
    // Oriented on the one given target: the direction angle 1 -> 2 in place of the reading.
    const double alpha = atang(70.0 - 15.67, 119.5 - 11.23);
    EXPECT_EQ(l[24], "     0     1  1562     2  1800 " + real(alpha, 10, 5) + "   98.23740  542.2360 " +
                         real(542.236 * std::fabs(sing(98.2374)), 9, 4));
    EXPECT_EQ(l[25], std::string(72, '~'));
    EXPECT_EQ(l[27], "1 1 1 1 1   - вид измервания:  R / V / S / D / dH");
}

}  // namespace
}  // namespace vk::v1::test
