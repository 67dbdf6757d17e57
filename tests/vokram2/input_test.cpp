// Reading of "Temp/VK_1.tmp": a good file fills the tables, a file beyond the capacity
// or without a task is refused with its message, a damaged one is a fatal input error.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>

#include "builder.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {
namespace {

using test::kD;
using test::kR;
using test::kS;
using test::kV;
using test::Survey;

const char* const kNoData = "    Няма данни за образуване на задача.";

struct Intake {
    ScriptedConsole con;
    TextFile rep;
    Network w{con, rep};
    void load(const std::string& text) {
        NumberReader r(text, "Temp/VK_1.tmp");
        vhod(w, r);
    }
};

Survey small() {
    Survey s;
    s.known(1, 100, 100, 50, 3);
    s.known(2, 500, 100, 0, 2);
    s.known(3, 0, 0, 47.5, 1);
    s.unknown(10, 300, 300, 58);
    s.sight(1, 1, 2, kR).sight(1, 1, 10, kR | kD | kV | kS);
    return s;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error("no " + from);
    return text.replace(at, from.size(), to);
}

TEST(Input, LoadsPointsAndMeasurementsAndTiesRowsToTableEntries) {
    Survey s = small();
    for (int no = 11; no <= 21; ++no) s.unknown(no, 0, 0, 0);  // twelve new points: two lines of numbers
    Intake x;
    x.load(s.vk1());
    const Network& w = x.w;
    EXPECT_DOUBLE_EQ(w.xo, 4567000.0);
    EXPECT_DOUBLE_EQ(w.yo, 8512000.0);
    EXPECT_DOUBLE_EQ(w.tol.angle, 0.01);
    EXPECT_DOUBLE_EQ(w.tol.linear, 0.1);
    EXPECT_DOUBLE_EQ(w.tol.height, 0.1);
    EXPECT_DOUBLE_EQ(w.tol.k, 0.13);
    ASSERT_EQ(w.g, 3);
    ASSERT_EQ(w.n(), 15);
    EXPECT_EQ(w.pts[14].no, 21);
    EXPECT_EQ(w.given_heights, 2);  // kinds 3 and 1
    EXPECT_EQ(w.levelling_rows, 1);
    // Given points with plane coordinates count as solved in step 1; a height-only point does not.
    EXPECT_EQ(w.pts[0].stp, 1);
    EXPECT_EQ(w.pts[1].stp, 1);
    EXPECT_EQ(w.pts[2].stp, 0);
    EXPECT_EQ(w.pts[3].vi, 0);
    ASSERT_EQ(w.m(), 2);
    EXPECT_EQ(w.rows[1].ns, 0);
    EXPECT_EQ(w.rows[1].nt, 3);
    EXPECT_EQ(w.rows[1].hs, 1500);
    EXPECT_NEAR(w.rows[1].D, std::hypot(200.0, 200.0), 1e-4);
    EXPECT_TRUE(x.rep.lines().empty());
    EXPECT_TRUE(x.con.showed("* * *   В О К Р А М - 2  * * *"));
}

TEST(Input, TwoGivenPointsAndOneMeasurementAreEnough) {
    Survey s;
    s.known(1, 100, 100, 50);
    s.known(2, 500, 100, 50);
    s.sight(1, 1, 2, kR);
    Intake x;
    EXPECT_NO_THROW(x.load(s.vk1()));
}

TEST(Input, RefusesFilesWithoutATaskOrBeyondTheCapacity) {
    struct Case {
        const char* name;
        std::function<std::string()> text;
        bool capacity;  // console message; otherwise the report line
    } cases[] = {
        {"one given point",
         [] {
             Survey s;
             s.known(1, 100, 100, 50);
             s.unknown(10, 300, 300, 50);
             s.sight(1, 1, 10, kR | kD);
             return s.vk1();
         },
         false},
        {"no measurement",
         [] {
             Survey s;
             s.known(1, 100, 100, 50);
             s.known(2, 500, 100, 50);
             return s.vk1();
         },
         false},
        {"a station that is not in the point list",
         [] { return replaced(small().vk1(), "     1     1  1500     2", "     1    77  1500     2"); },
         false},
        {"401 given points",
         [] {
             Survey s;
             for (int i = 1; i <= 401; ++i) s.known(i, i, 2 * i, 50);
             s.sight(1, 1, 2, kR);
             return s.vk1();
         },
         true},
        {"400 given points and one new",
         [] {
             Survey s;
             for (int i = 1; i <= 400; ++i) s.known(i, i, 2 * i, 50);
             s.unknown(1000, 0, 0, 0);
             s.sight(1, 1, 1000, kR);
             return s.vk1();
         },
         true},
        {"1001 measurements",
         [] {
             Survey s;
             s.known(1, 100, 100, 50);
             s.known(2, 500, 100, 50);
             for (int j = 0; j < 1001; ++j) s.sight(1, 1, 2, kR);
             return s.vk1();
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Intake x;
        EXPECT_THROW(x.load(c.text()), ModuleStop);
        if (c.capacity) {
            ASSERT_FALSE(x.con.shown.empty());
            EXPECT_EQ(x.con.shown.back().text, "АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА.");
            EXPECT_EQ(x.con.shown.back().col, 20);
            EXPECT_EQ(x.con.shown.back().row, 18);
            EXPECT_LE(x.w.n(), kPointCapacity);
            EXPECT_LE(x.w.m(), kRowCapacity);
        } else {
            EXPECT_EQ(x.rep.lines(), std::vector<std::string>{kNoData});
        }
    }
}

TEST(Input, ADamagedFileIsAFatalInputError) {
    const std::string good = small().vk1();
    const std::pair<const char*, std::string> cases[] = {
        {"cut in the measurements", good.substr(0, good.find("~~~\r\n    ps") + 300)},
        {"cut before the counts", good.substr(0, good.rfind("~~~"))},
        {"a letter in a number", replaced(good, "100.0000", "1OO.0000")},
        {"a kind beyond 3", replaced(good, " 3     1", " 7     1")},
        {"a point number beyond 65535", replaced(good, "     1  1500     2", " 70000  1500     2")},
        {"a fractional point number", replaced(good, "     1  1500     2", "   1.5  1500     2")},
        {"empty", ""},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        Intake x;
        EXPECT_THROW(x.load(text), FatalIo);
    }
}

TEST(Input, ARepeatedPointNumberRefersToItsFirstEntry) {
    Survey s;
    s.known(1, 100, 100, 50);
    s.known(2, 500, 100, 50);
    s.known(1, 900, 900, 50);
    s.sight(1, 2, 1, kR);
    Intake x;
    x.load(s.vk1());
    EXPECT_EQ(x.w.rows[0].nt, 0);
}

}  // namespace
}  // namespace vk::v2

namespace vk::v2 {
namespace {

// Damage of every kind in random places: the module must end through a stop or a fatal
// input error, or finish, but never crash or hang.
TEST(Input, RandomlyDamagedFilesNeverCrashTheModule) {
    const std::string good = [] {
        Survey s = small();
        s.unknown(11, 180, 420, 44);
        s.sight(2, 10, 11, kR | kD | kV | kS).sight(2, 10, 1, kR | kV | kS).sight(3, 2, 11, kD);
        return s.vk1();
    }();
    const std::string pieces[] = {"0", "9", "-", ".", " ", "\r\n", "65535", "1e308", "-999", "400"};
    std::mt19937 gen(2024);
    for (int round = 0; round < 400; ++round) {
        std::string text = good;
        const int edits = 1 + static_cast<int>(gen() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = gen() % text.size();
            const std::string& piece = pieces[gen() % std::size(pieces)];
            if (gen() % 2)
                text.replace(at, 1, piece);
            else
                text.insert(at, piece);
        }
        Intake x;
        x.con.typed = {"1", "10", "2", "11"};
        x.con.keys = {'D', 'N', 'D', 'N'};
        try {
            x.load(text);
            zadachi_2d(x.w);
            kontroli_2d(x.w);
            h_zadacha(x.w);
            h_kontrola(x.w);
            izhod(x.w);
            TextFile out;
            surface(x.w, out);
            plot(x.w, DrawParams{}, out);
            cad(x.w, out);
            vk2(x.w, out);
        } catch (const ModuleStop&) {
            kontrol(x.w);
            TextFile out;
            plot(x.w, DrawParams{}, out);
        } catch (const FatalIo&) {
        }
        EXPECT_LE(x.w.n(), kPointCapacity);
        EXPECT_LE(x.w.m(), kRowCapacity);
        for (const Point& p : x.w.pts) EXPECT_LE(p.vi, 3);
    }
}

}  // namespace
}  // namespace vk::v2
