// Whole runs of vokram5 in a working folder, on surveys generated from true coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "survey_maker.hpp"

namespace {

using namespace v5test;

struct Case {
    const char* name;
    Settings s;
    bool write_params;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
class Generated : public testing::TestWithParam<Case> {};

// Every detail point comes back at its true position and height, in the report, the
// cadastral file (kind 2 with height 0) and the surface list (kind 3 only), once for each
// run: a second run appends to them again, while the script holds the last run only.
TEST_P(Generated, DetailPointsComeBackWithinAMillimetreOnEachRun) {
    const Case& c = GetParam();
    const Network n;
    Folder f(n);
    if (c.write_params) f.params(c.s);
    f.survey(n, c.s);
    ASSERT_EQ(f.run(), 0);
    const Lines script = f.lines("VK/VK_5.scr");
    ASSERT_EQ(f.run(), 0);
    EXPECT_EQ(f.lines("VK/VK_5.scr"), script);
    EXPECT_EQ(f.con.waits, 2);
    const Lines rep = f.lines("VK/Protokol.txt"), cad = f.lines("VK/VK_2.cad"),
                sur = f.lines("VK/Surface.txt");
    ASSERT_TRUE(f.con.showed("РЕШАВАНЕ НА ПОЛЯРНИ СТАНЦИИ - ЗАВЪРШЕНО."))
        << testing::PrintToString(tail(rep, 3));
    EXPECT_EQ(std::count(cad.begin(), cad.end(), "LAYER CADASTER"), 3);  // vokram2's and two of ours
    for (const True& at : n.added)
        for (const True& p : detail(at)) {
            const int kind = at.vi;
            SCOPED_TRACE(p.no);
            const std::vector<std::vector<double>> row = {
                {}, {1. * p.no, p.h}, {1. * p.no, p.x, p.y}, {1. * p.no, p.x, p.y, p.h}};
            EXPECT_EQ(found(rep, "", row[kind], 0.001), 2);
            EXPECT_EQ(found(cad, "P  28 ",
                            {28000000. + p.no, p.x - n.xo, p.y - n.yo, kind == 3 ? p.h : 0, 8, 8}, 0.006),
                      kind == 1 ? 0 : 2);  // 2 or 3 decimals
            EXPECT_EQ(found(sur, "", {p.y, p.x, p.h}, 0.006), kind == 3 ? 2 : 0);
        }
}

INSTANTIATE_TEST_SUITE_P(Settings, Generated,
                         testing::Values(Case{"plain", Settings{}, true},
                                         Case{"index_scale_prism_projection",
                                              Settings{637.505, 0.106, 5, 10, 0.008}, true},
                                         Case{"no_parameter_file", Settings{0, 0, 0, 0, 0}, false}),
                         [](const testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// Without a polar station (or without a data file) the blocks stay empty; a token of 0
// (a failed predecessor) ends the run at once and touches nothing.
TEST(Run, NoPolarStationOrBlockedToken) {
    for (const char* data : {"a\nb\nc\n101 1.5 102 1.8 12.3 99.1 400.12 -4\n", ""}) {
        Folder f(Network{});
        if (*data) f.write("VK/Geo_Data.txt", data);
        ASSERT_EQ(f.run(), 0);
        EXPECT_EQ(f.lines("VK/Protokol.txt"),
                  (Lines{"", " ПОЛЯРНА СНИМКА, ПРИЕМА ТОЧКИ ОТ РЕШЕНИЕ.", "", "    Приети 6 точки. ", ""}));
        EXPECT_EQ(f.lines("VK/VK_5.scr"), (Lines{"layer s Situation", "", "zoom e"}));
        EXPECT_EQ(tail(f.lines("VK/VK_2.cad"), 4), (Lines{"END_LAYER", "", "LAYER CADASTER", "END_LAYER"}));
    }
    Folder f(Network{});
    f.write("Temp/Key.tmp", "0\r\n");
    EXPECT_EQ(f.run(), 0);
    EXPECT_FALSE(std::filesystem::exists(f.root / "VK/Protokol.txt"));
    EXPECT_FALSE(std::filesystem::exists(f.root / "VK/VK_5.scr"));
    EXPECT_TRUE(f.con.shown.empty());
}

// Damaged or missing input ends with a fatal error and its line on the console.
TEST(Run, DamagedInputIsFatal) {
    const std::string head = "\r\nx\r\n~\r\n\r\n-10.0 -10.0 - o\r\n\r\n";
    const struct {
        const char* file;
        std::string bytes;  // empty: the file is missing
    } cases[] = {
        {"Temp/VK_2.tmp", head + "         3 - n\r\n"},
        {"Temp/VK_2.tmp", head + "         1 - n\r\n~\r\nh\r\n~\r\n 3 abc 1 2 3\r\n"},
        {"Temp/VK_2.tmp", head + "         1 - n\r\n~\r\nh\r\n~\r\n 7 101 1 2 3\r\n"},
        {"Temp/VK_2.tmp", head + "        -1 - n\r\n"},
        {"Temp/VK_2.tmp", ""},
        {"P.txt", "~\r\nP\r\n~\r\n 0.02\r\n 0.15\r\n [m] 0.15\r\n"},
        {"P.txt", "~\r\nP\r\n~\r\n 0.02\r\n 0.15\r\n"},
        {"VK/Surface.txt", ""},
        {"VK/VK_2.cad", ""},
        {"Temp/Key.tmp", ""},
        {"VK/Geo_Data.txt", "h\nh\nh\n5 1.5 999 1.8 1O0 100 50 -4 -9 -9\n"},
        {"VK/Geo_Data.txt", "h\nh\nh\n5 70 999 1.8 100 100 50 -4 -9 -9\n"},
        {"VK/Geo_Data.txt", "h\nh\nh\n5 1.5 999 1.8 100 100 50 -4 -9 3000000000 1.5 100 100 20 -9\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.bytes);
        Folder f(Network{});
        if (c.bytes.empty())
            std::filesystem::remove(f.root / c.file);
        else
            f.write(c.file, c.bytes);
        EXPECT_NE(f.run(), 0);
        EXPECT_EQ(f.con.errors.size(), 1u);
    }
}

// More points than the table holds are refused before anything is stored; a full table
// stops the first polar station; 398 points run.
TEST(Run, CapacityOfThePointTable) {
    for (const int points : {401, 399, 398}) {
        SCOPED_TRACE(points);
        Network n;
        for (int i = 6; i < points; ++i) n.given.push_back({200 + i, 4567000.0 + i, 8512000, 500});
        Folder f(n);
        f.survey(n, Settings{}, 1);
        ASSERT_EQ(f.run(), 0);
        const Lines rep = f.lines("VK/Protokol.txt");
        EXPECT_EQ(rep.back() == "  ОБЕМА ДАННИ НАДХВЪРЛЯ ВЪЗМОЖНОСТИТЕ НА ПРОГРАМАТА.", points > 398);
        EXPECT_EQ(f.con.showed("ПРЕКЪСВАНЕ НА ПРОГРАМАТА."), points > 398);
        EXPECT_EQ(std::count(rep.begin(), rep.end(), "    Приети " + std::to_string(points) + " точки. "),
                  points > 400 ? 0 : 1);
    }
}

}  // namespace
