// Intake of the survey data file and the parameters: report sections 1 to 3.
#include "fixture.hpp"

namespace vk::v1::test {
namespace {

const std::string kHead = "h1\nh2\nh3\n";

TEST(GivenPoints, ReductionOriginIsARoundValueBelowTheSmallestCoordinates) {
    struct Case {
        std::string body;
        double x0, y0;
    } cases[] = {
        {"1 4567891.23 8512345.67 500 2 4567999 8512399 501 -3", 4567880, 8512330},
        {"1 4567999 8512399 -2 2 4567891.23 8512345.67 501 -3", 4567880,
         8512330},                     // the minimum of both groups
        {"1 500 2 501 -1", -10, -10},  // heights only
        {"1 5 5 -2 2 9.99 20 -2", -10, -10},
    };
    for (const auto& c : cases) {
        Stage t(kHead + c.body);
        ASSERT_FALSE(t.upto(1)) << c.body;
        EXPECT_DOUBLE_EQ(t.s.x0, c.x0) << c.body;
        EXPECT_DOUBLE_EQ(t.s.y0, c.y0) << c.body;
    }
    Stage t(kHead + "1 4567891.23 8512345.67 500 -3\n7 512.5 -1");
    ASSERT_FALSE(t.upto(1));
    ASSERT_EQ(t.s.given, 2);
    EXPECT_NEAR(t.s.pts[0].xk, 11.23, 1e-9);
    EXPECT_NEAR(t.s.pts[0].yk, 15.67, 1e-9);
    EXPECT_EQ(t.s.pts[1].vi, 1);
    EXPECT_EQ(t.s.pts[1].hk, 512.5);
    EXPECT_TRUE(t.has("    Приети 2 точки. "));
}

// One faulty data file each, with the report line it must produce and whether the
// module stops on it.
TEST(GivenPoints, FaultyFilesAreReportedAndStop) {
    struct Case {
        std::string body;
        std::string line;
        bool stops;
    } cases[] = {
        {"1 2 3 4 -3 5 abc 6 -1", "    Грешка при четене, брояч на цифри = 10.", true},
        {"1 nan 3 4 -3", "    Грешка при четене, брояч на цифри = 5.", true},
        {"1 2 3 -3", "    Проверете броя данни пред Код -3.", true},
        {"1 2 3 4 5 -3", "    Проверете броя данни пред Код -3.", true},
        {"1 2 -2", "    Проверете броя данни пред Код -2.", true},
        {"1 -1", "    Проверете броя данни пред Код -1.", true},
        {"1.5 10 20 30 -3", "    Неправилен номер на дадена точка \"1.5000\". Код -3.", true},
        {"2.25 10 20 -2", "    Неправилен номер на дадена точка \"2.2500\". Код -2.", true},
        {"1 10 20 -2 3.5 100 -1", "    Неправилен номер на дадена точка \"3.5000\". Код -1.", true},
        {"1 10 20 -2 5 6 -10", "    Неразчетен код в записите: -10.0000", true},
        {"1 10 20 -2 5 6 -2.5", "    Неразчетен код в записите: -2.5000", true},
        {"1 10 20 -2 5 6.5", "    Неразчетен код в записите: 6.5000", true},  // a trailing group's fraction
        {"1 10 20 -2 1 500 -1", "  Дадени точки с еднакъв номер \"1\".", true},
        {"70000 10 20 -2", "    Номер на дадена точка \"70000\" е извън обхвата 0 - 65535. Код -2.", true},
        {"1 10 20 -2 65536 5 -1", "    Номер на дадена точка \"65536\" е извън обхвата 0 - 65535. Код -1.",
         true},
        {"1 10 20 -2 2 10.03 20 -2", "    Дадени точки близки по положение: \"1\" И \"2\".", false},
    };
    for (const auto& c : cases) {
        Stage t(kHead + c.body);
        EXPECT_EQ(t.upto(1), c.stops) << c.body;
        EXPECT_TRUE(t.has(c.line)) << c.body << "\n  wanted: " << c.line << "\n  last: " << t.lines().back();
    }
}

TEST(GivenPoints, ErrorsOfOnePassAreAllReportedBeforeTheStop) {
    Stage t(kHead + "1 2 3 -3\n1.5 10 20 -2\n");
    EXPECT_TRUE(t.upto(1));
    EXPECT_TRUE(t.has("    Проверете броя данни пред Код -3."));
    EXPECT_TRUE(t.has("    Неправилен номер на дадена точка \"1.5000\". Код -2."));
}

TEST(GivenPoints, WhatIsSkippedAndWhatIsNot) {
    // Code -5 groups, detail blocks between lone -9 markers and an unclosed block all vanish.
    Stage skip(kHead + "1 10 20 -2\n 7 7 7 -5\n 9 9 -9\n 3 3 3 -3\n -9\n 2 30 40 -2\n 8 8 -9 4 1 1 1 -3");
    ASSERT_FALSE(skip.upto(1));
    ASSERT_EQ(skip.s.given, 2);
    EXPECT_EQ(skip.s.pts[1].no, 2);
    // Trailing blanks and line ends are accepted without a message.
    Stage trailing(kHead + "1 10 20 -2\n\n   \n\t\n");
    EXPECT_FALSE(trailing.upto(1));
    // A kind-3 and a kind-2 point at one plan position but heights apart are no warning;
    // a height-only point is never compared by position.
    Stage apart(kHead + "1 10 20 100 -3 2 10 20 -2 3 0 -1");
    ASSERT_FALSE(apart.upto(1));
    for (const auto& l : apart.lines()) EXPECT_EQ(l.find("близки"), std::string::npos) << l;
}

TEST(GivenPoints, GroupOf99NumbersIsAcceptedAndOf100Stops) {
    auto group = [](int numbers) {  // (numbers - 1) data values and the code -5
        std::string g;
        for (int i = 0; i < numbers - 1; ++i) g += "1 ";
        return g + "-5\n";
    };
    Stage ok(kHead + "1 10 20 -2\n" + group(99));
    EXPECT_FALSE(ok.upto(1));
    Stage too_long(kHead + "1 10 20 -2\n" + group(100));
    EXPECT_TRUE(too_long.upto(1));
    EXPECT_TRUE(too_long.has("    Голям брой данни преди код. Разделете на групи."));
}

TEST(GivenPoints, CapacityIs398GivenPoints) {
    auto file = [](int n) {
        std::string g = kHead;
        for (int i = 1; i <= n; ++i) g += std::to_string(i) + " " + std::to_string(i * 10) + " 50 " + "-2\n";
        return g;
    };
    Stage ok(file(398));
    EXPECT_FALSE(ok.upto(1));
    EXPECT_EQ(ok.s.given, 398);
    Stage full(file(399));
    EXPECT_TRUE(full.upto(1));
    EXPECT_TRUE(full.con.showed("АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА."));
}

TEST(Parameters, DefaultFileAndSectionTwo) {
    const auto& lines = default_parameter_lines();
    ASSERT_EQ(lines.size(), 14u);
    for (const auto& l : lines) {
        // 65 characters each, counted as the Windows-1251 bytes they become
        EXPECT_EQ(to_cp1251(l).size(), 65u) << l;
    }
    NumberReader r(std::string(), "P.txt");
    std::string text;
    for (const auto& l : lines) text += to_cp1251(l) + "\r\n";
    NumberReader p(text, "P.txt");
    const Params par = parse_params(p);
    EXPECT_EQ(par.tol_angle, 0.01);
    EXPECT_EQ(par.tol_linear, 0.1);
    EXPECT_EQ(par.tol_height, 0.1);
    EXPECT_EQ(par.hp, 0.0);
    EXPECT_EQ(par.refraction, 0.106);
    EXPECT_EQ(par.index, 0.0);

    Stage t;
    t.s.par = par;
    report_params(t.s);
    const auto out = t.lines();
    ASSERT_GE(out.size(), 6u);
    EXPECT_EQ(out[0], "            Коефициент на рефракция              0.106");
    EXPECT_EQ(out[1], "    Надморска височина към проекция      [м]     0");
    EXPECT_EQ(out[2], "      Събират. поправка към разст-я     [мм]     0.0");
    EXPECT_EQ(out[3], "      Мащабна  поправка към разст-я  [мм/км]     0.0");
    EXPECT_EQ(out[4], "    Попр. към Индекса на верт. кръг  [гради]   0.00000");
    EXPECT_EQ(out[5], "");
}

TEST(Parameters, MalformedFileIsAFatalInputError) {
    NumberReader bad("~\n~\n~\n0.01 x\nabc [m]\n", "P.txt");
    EXPECT_THROW(parse_params(bad), FatalIo);
    NumberReader shorter("~\n~\n~\n0.01\n0.1\n", "P.txt");
    EXPECT_THROW(parse_params(shorter), FatalIo);
}

TEST(Stations, DistanceCorrectionsAndRowContents) {
    Stage t(kHead + "1 10 20 -2\n5 1.5 1 1.65 123.4567 98.7654 1000 2 0 0 0 0 -4\n");
    t.s.par.additive = 5.0;  // mm
    t.s.par.scale = 10.0;    // mm/km
    ASSERT_FALSE(t.upto(2));
    ASSERT_EQ(t.s.rows.size(), 1u);  // the all-zero sight gives no row
    const Row& w = t.s.rows[0];
    EXPECT_EQ(w.ps, 1);
    EXPECT_EQ(w.ns, 5);
    EXPECT_EQ(w.hs, 1500);
    EXPECT_EQ(w.nt, 1);
    EXPECT_EQ(w.ht, 1650);
    EXPECT_EQ(w.R, 123.4567);
    EXPECT_EQ(w.V, 98.7654);
    EXPECT_NEAR(w.S, 1000.015, 1e-9);
    EXPECT_TRUE(t.has("    Разчетени общо 1 записа в 1 станции."));
}

TEST(Stations, FaultyRecordsAreReportedAndStop) {
    struct Case {
        std::string record;
        std::string line;
    } cases[] = {
        {"5 1.5 1 1.5 10 -4", "    В станция \"5\" код -4, проверете броя данни."},
        {"5 1.5 1 1.5 10 100 50 7 -4", "    В станция \"5\" код -4, проверете броя данни."},
        {"5.5 1.5 1 1.5 10 100 50 -4", "    Код -4, неправилен номер на станция \"   5.50000\"."},
        {"5 1.5 1.25 1.5 10 100 50 -4", "    Код -4, неправилен номер на точка \"   1.25000\"."},
        {"5 1.5 1 1.5 400.00001 100 50 -4", "    В станция \"5\" грешна посока \" 400.00001\"."},
        {"5 1.5 1 1.5 10 400.5 50 -4", "    В станция \"5\" грешен зен. ъгъл \" 400.50000\"."},
        {"5 1.5 1 1.5 10 100 50 5 1.5 10 100 50 -4",
         "    В станция \"5\" е записано измерване към точка \"5\"."},
        {"70000 1.5 1 1.5 10 100 50 -4", "    Код -4, номер на станция \"70000\" е извън обхвата 0 - 65535."},
        {"5 1.5 65536 1.5 10 100 50 -4", "    Код -4, номер на точка \"65536\" е извън обхвата 0 - 65535."},
        {"5 65.536 1 1.5 10 100 50 -4",
         "    В станция \"5\" височина на инструмента \"65.536\" е над 65.535 м."},
        {"5 1.5 1 70 10 100 50 -4",
         "    В станция \"5\" височина на сигнала към точка \"1\" \"70.000\" е над 65.535 м."},
    };
    for (const auto& c : cases) {
        Stage t(kHead + "1 10 20 -2\n" + c.record + "\n");
        EXPECT_TRUE(t.upto(3)) << c.record;
        EXPECT_TRUE(t.has(c.line)) << c.record << "\n  wanted: " << c.line
                                   << "\n  last: " << t.lines().back();
    }
    // Heights and numbers at the top of their ranges fit.
    Stage top(kHead + "1 10 20 -2\n5 65.535 65535 65.535 10 100 50 -4\n");
    ASSERT_FALSE(top.upto(2));
    EXPECT_EQ(top.s.rows[0].hs, 65535);
    EXPECT_EQ(top.s.rows[0].nt, 65535);
    // R = 400 is accepted in place of a direction of 0, which would mean "not measured".
    Stage full_turn(kHead + "1 10 20 -2\n5 1.5 1 1.5 400 100 50 -4\n");
    EXPECT_FALSE(full_turn.upto(2));
}

TEST(Stations, CapacityIs999Rows) {
    auto file = [](int rows, int zero_sights) {
        std::string g = kHead + "1 10 20 -2\n";
        int written = 0;
        while (written < rows) {
            g += "5 1.5";
            for (int k = 0; k < 19 && written < rows; ++k, ++written) g += " 1 1.5 10 100 50";
            g += " -4\n";
        }
        if (zero_sights) g += "6 1.5 1 1.5 0 0 0 -4\n";
        return g;
    };
    Stage ok(file(999, 0));
    EXPECT_FALSE(ok.upto(2));
    EXPECT_EQ(ok.s.rows.size(), 999u);
    Stage full(file(1000, 0));
    EXPECT_TRUE(full.upto(2));
    EXPECT_TRUE(full.con.showed("АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА."));
    // A sight with nothing measured stores no row, but still meets the guard.
    Stage zero(file(999, 1));
    EXPECT_TRUE(zero.upto(2));
}

}  // namespace
}  // namespace vk::v1::test
