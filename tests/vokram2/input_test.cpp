// Reading of "Temp/VK_1.tmp": a good file fills the tables, a file beyond the capacity
// or without a task is refused with its message, a damaged one is a fatal input error.
#include <random>

#include "builder.hpp"

namespace vk::v2 {
namespace {

using namespace test;

Survey small() {
    Survey s;
    s.points({{1, 100, 100, 50, 3}, {2, 500, 100, 0, 2}, {3, 0, 0, 47.5, 1}, {10, 300, 300, 58}});
    return s.measure({{1, 1, 2, kR}, {1, 1, 10, kR | kD | kV | kS}});
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error("no " + from);
    return text.replace(at, from.size(), to);
}

TEST(Input, LoadsAListOfNewPointsOverSeveralLines) {
    Survey s = small();
    for (int no = 11; no <= 21; ++no) s.points({{no, 0, 0, 0}});  // twelve new points: two lines of numbers
    Loaded x(s);
    ASSERT_EQ(x.w.n(), 15);
    EXPECT_EQ(x.w.pts[14].no, 21);
    EXPECT_TRUE(x.con.showed("* * *   В О К Р А М - 2  * * *"));
}

// `given` points, `fresh` new points and `rows` measurements from 1 to 2 (or to a new point).
std::string sized(int given, int fresh, int rows) {
    Survey s;
    for (int i = 1; i <= given; ++i) s.points({{i, 1.0 * i, 2.0 * i, 50, 3}});
    for (int i = 1; i <= fresh; ++i) s.points({{1000 + i, 0, 0, 0}});
    for (int j = 0; j < rows; ++j) s.measure({{1, 1, given >= 2 ? 2 : 1001, kR | kD}});
    return s.vk1();
}

TEST(Input, RefusesFilesWithoutATaskOrBeyondTheCapacity) {
    enum Outcome { kAccepted, kNoData, kCapacity };
    const struct {
        const char* name;
        std::string text;
        Outcome outcome;
    } cases[] = {
        {"two given points and one measurement", sized(2, 0, 1), kAccepted},
        {"one given point", sized(1, 1, 1), kNoData},
        {"no measurement", sized(2, 0, 0), kNoData},
        {"a station not in the point list",
         replaced(small().vk1(), "     1     1  1500", "     1    77  1500"), kNoData},
        {"401 given points", sized(401, 0, 1), kCapacity},
        {"400 given points and one new", sized(400, 1, 1), kCapacity},
        {"1001 measurements", sized(2, 0, 1001), kCapacity},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedConsole con;
        TextFile rep;
        Network w(con, rep);
        NumberReader r(c.text, "Temp/VK_1.tmp");
        if (c.outcome == kAccepted) {
            EXPECT_NO_THROW(vhod(w, r));
        } else {
            EXPECT_THROW(vhod(w, r), ModuleStop);
        }
        EXPECT_EQ(con.showed("АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА."), c.outcome == kCapacity);
        EXPECT_EQ(rep.lines(), c.outcome == kNoData
                                   ? std::vector<std::string>{"    Няма данни за образуване на задача."}
                                   : std::vector<std::string>{});
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
        EXPECT_THROW(Loaded{text}, FatalIo);
    }
}

// Damage of every kind in random places: the module ends through a stop or a fatal input
// error, or finishes, but never crashes or hangs.
TEST(Input, RandomlyDamagedFilesNeverCrashTheModule) {
    Survey s = small();
    s.points({{11, 180, 420, 44}});
    s.measure({{2, 10, 11, kR | kD | kV | kS}, {2, 10, 1, kR | kV | kS}, {3, 2, 11, kD}});
    const std::string good = s.vk1();
    const std::string pieces[] = {"0", "9", "-", ".", " ", "\r\n", "65535", "1e308", "-999", "400"};
    std::mt19937 gen(2024);
    for (int round = 0; round < 400; ++round) {
        std::string text = good;
        for (int e = 0, edits = 1 + static_cast<int>(gen() % 4); e < edits; ++e) {
            const std::size_t at = gen() % text.size();
            const std::string& piece = pieces[gen() % std::size(pieces)];
            if (gen() % 2)
                text.replace(at, 1, piece);
            else
                text.insert(at, piece);
        }
        ScriptedConsole con;
        con.typed = {"1", "10", "2", "11"};
        con.keys = {'D', 'N', 'D', 'N'};
        TextFile rep, out;
        Network w(con, rep);
        try {  // the stages as the module runs them
            NumberReader r(text, "Temp/VK_1.tmp");
            vhod(w, r);
            for (auto stage : {zadachi_2d, kontroli_2d, h_zadacha, h_kontrola, izhod}) stage(w);
            const NetTables t = tables(w);
            write_surface(t, out);
            write_plot(t, DrawParams{}, out);
            write_cad(t, out);
            write_vk2(t, out);
        } catch (const ModuleStop&) {
            kontrol(w);
            write_plot(tables(w), DrawParams{}, out);
        } catch (const FatalIo&) {
        }
        for (const Point& p : w.pts) EXPECT_LE(p.vi, 3) << "round " << round;
    }
}

}  // namespace
}  // namespace vk::v2
