// The eight plane tasks: for each a network built from known coordinates in which that
// task, and no simpler one, finds the new point; the coordinates must come back to the
// millimetre and the report entry must name the points as the surveyor expects.
#include <gtest/gtest.h>

#include <functional>

#include "builder.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {
namespace {

using test::kD;
using test::kR;
using test::Survey;

constexpr double kMm = 0.001;
const char* const kTitle = "  9.2D-РЕШЕНИЕ.";

// A network loaded as vokram2 reads it, with a console that answers from a script.
struct Loaded {
    ScriptedConsole con;
    TextFile rep;
    Network w{con, rep};
    explicit Loaded(const Survey& s) {
        NumberReader r(s.vk1(), "Temp/VK_1.tmp");
        vhod(w, r);
    }
    const Point& pt(int no) const {
        for (const Point& p : w.pts)
            if (p.no == no) return p;
        throw std::runtime_error("no point");
    }
};

// Four given points around the new points 10 (inside) and 11, 12 (outside the triangle).
Survey base() {
    Survey s;
    s.known(1, 100, 100, 50);
    s.known(2, 420, 160, 55);
    s.known(3, 260, 480, 60);
    s.known(4, 80, 420, 52);
    s.unknown(10, 300, 300, 58);
    return s;
}

struct TaskCase {
    const char* name;
    std::function<void(Survey&)> sights;
    std::string entry;  // the report entry of section 9
    std::vector<int> solved;
    std::vector<std::string> typed;
    std::vector<char> keys;
};

// 4 given points: the first polar point makes the solved count 5, so no line break comes first.
const TaskCase kCases[] = {
    {"forward problem",
     [](Survey& s) { s.sight(1, 1, 2, kR).sight(1, 1, 10, kR | kD); },
     " Пр.зад. 2,1 ~ 10, ",
     {10},
     {},
     {}},
    {"forward problem, distance measured back",
     [](Survey& s) { s.sight(1, 1, 2, kR).sight(1, 1, 10, kR).sight(2, 10, 1, kD); },
     " Пр.зад: 2,1 ~ 10, ",
     {10},
     {},
     {}},
    {"forward angular intersection",
     [](Survey& s) { s.sight(1, 1, 2, kR).sight(1, 1, 10, kR).sight(2, 2, 1, kR).sight(2, 2, 10, kR); },
     "    Пр.ъгл.засечка 2,1/1,2 ~ 10",
     {10},
     {},
     {}},
    {"side angular intersection",
     [](Survey& s) { s.sight(1, 1, 2, kR).sight(1, 1, 10, kR).sight(2, 10, 1, kR).sight(2, 10, 3, kR); },
     " Стран.ъгл.засечка 2,1/3 ~ 10",
     {10},
     {},
     {}},
    {"forward combined intersection",
     [](Survey& s) { s.sight(1, 1, 2, kR).sight(1, 1, 10, kR).sight(2, 4, 10, kD); },
     "   Пр.комб.засечка 2,1/4 ~ 10",
     {10},
     {},
     {}},
    {"angular resection",
     [](Survey& s) { s.sight(1, 10, 1, kR).sight(1, 10, 2, kR).sight(1, 10, 3, kR); },
     "   Обр.ъгл.засечка 1,2,3 ~ 10",
     {10},
     {},
     {}},
    {"Hansen problem",
     [](Survey& s) {
         s.unknown(11, 180, 260, 54);
         s.sight(1, 10, 11, kR).sight(1, 10, 1, kR).sight(1, 10, 2, kR);
         s.sight(2, 11, 10, kR).sight(2, 11, 1, kR).sight(2, 11, 2, kR);
     },
     "  Ханзенова задача 1,2 ~ 10,11",
     {10, 11},
     {},
     {}},
    // Seen from 10, point 1 lies to the left of point 2.
    {"distance intersection",
     [](Survey& s) { s.sight(1, 1, 10, kD).sight(2, 2, 10, kD); },
     "  Дължинна засечка 1,2 ~ 10",
     {10},
     {"1"},
     {}},
    // The angle at 10 is obtuse: one triangle only, no question.
    {"combined resection",
     [](Survey& s) { s.sight(1, 10, 1, kR | kD).sight(1, 10, 2, kR); },
     "  Обр.комб.засечка 1,2 ~ 10",
     {10},
     {},
     {}},
    // Acute angle at 12 and |1-12| > |1-2|: two triangles; the true angle at 2 is 132 grads.
    {"combined resection with the question",
     [](Survey& s) {
         s.unknown(12, 520, 40, 56);
         s.sight(1, 12, 1, kR | kD).sight(1, 12, 2, kR);
     },
     "  Обр.комб.засечка 1,2 ~ 12",
     {12},
     {},
     {'N'}},
};

TEST(PlaneTasks, EachTaskFindsItsPointAndReportsIt) {
    for (const TaskCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Survey s = base();
        c.sights(s);
        Loaded n(s);
        n.con.typed.assign(c.typed.begin(), c.typed.end());
        n.con.keys.assign(c.keys.begin(), c.keys.end());
        zadachi_2d(n.w);
        for (int no : c.solved) {
            const auto& truth = s.point(no);
            EXPECT_EQ(n.pt(no).vi, 2);
            EXPECT_NEAR(n.pt(no).x, truth.x, kMm) << "point " << no;
            EXPECT_NEAR(n.pt(no).y, truth.y, kMm) << "point " << no;
        }
        std::vector<std::string> expected = {kTitle, ""};
        // An intersection entry starts with a line end of its own.
        if (c.entry.find("Пр.зад") == std::string::npos) expected.push_back("");
        expected.push_back(c.entry);
        expected.push_back("");
        EXPECT_EQ(n.rep.lines(), expected);
        EXPECT_TRUE(n.con.typed.empty() && n.con.keys.empty()) << "every scripted answer is used";
    }
}

TEST(PlaneTasks, PolarEntriesRunOnInLinesOfAboutThree) {
    Survey s = base();
    s.unknown(11, 180, 260, 54);
    s.unknown(12, 520, 40, 56);
    s.unknown(13, 600, 300, 56);
    s.unknown(14, 30, 250, 56);
    s.sight(1, 1, 2, kR);
    for (int no : {10, 11, 12, 13, 14}) s.sight(1, 1, no, kR | kD);
    Loaded n(s);
    zadachi_2d(n.w);
    // The solved count starts at the 4 given points; a line ends before the 6th and the 9th.
    const std::vector<std::string> expected = {
        kTitle,
        "",
        " Пр.зад. 2,1 ~ 10, ",
        " Пр.зад. 2,1 ~ 11,  Пр.зад. 2,1 ~ 12,  Пр.зад. 2,1 ~ 13, ",
        " Пр.зад. 2,1 ~ 14, ",
        "",
    };
    EXPECT_EQ(n.rep.lines(), expected);
    for (int no : {10, 11, 12, 13, 14}) {
        EXPECT_NEAR(n.pt(no).x, s.point(no).x, kMm);
        EXPECT_NEAR(n.pt(no).y, s.point(no).y, kMm);
        EXPECT_EQ(n.pt(no).stp, 2);
    }
}

// The mirror image of point p in the line through a and b.
std::pair<double, double> mirror(const test::TruePoint& p, const test::TruePoint& a,
                                 const test::TruePoint& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double u = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
    const double fx = a.x + u * dx, fy = a.y + u * dy;
    return {2 * fx - p.x, 2 * fy - p.y};
}

TEST(DistanceIntersection, TheTwoAnswersGiveTheTwoMirrorSolutions) {
    Survey s = base();
    s.sight(1, 1, 10, kD).sight(2, 2, 10, kD);
    const auto& p10 = s.point(10);
    // Seen from 10 towards the line 1-2, which point is on the left? Cross product with x
    // north and y east: a positive z of (to 2) x (to 1) puts 1 counter-clockwise, i.e. left.
    const double cross =
        (s.point(2).y - p10.y) * (s.point(1).x - p10.x) - (s.point(2).x - p10.x) * (s.point(1).y - p10.y);
    const std::string left = cross > 0 ? "1" : "2", right = cross > 0 ? "2" : "1";
    const auto other = mirror(p10, s.point(1), s.point(2));
    struct Reply {
        std::vector<std::string> typed;
        double x, y;
    } replies[] = {
        {{left}, p10.x, p10.y},
        {{"7", right}, other.first, other.second},  // a number of neither point is asked again
    };
    for (const Reply& r : replies) {
        Loaded n(s);
        n.con.typed.assign(r.typed.begin(), r.typed.end());
        zadachi_2d(n.w);
        EXPECT_NEAR(n.pt(10).x, r.x, kMm);
        EXPECT_NEAR(n.pt(10).y, r.y, kMm);
        EXPECT_TRUE(n.con.typed.empty());
        EXPECT_TRUE(n.con.showed("Д Ъ Л Ж И Н Н А   З А С Е Ч К А"));
        EXPECT_TRUE(n.con.showed("1 ИЛИ 2 ?"));
        EXPECT_TRUE(n.con.showed("1, 2, 10"));
    }
}

TEST(DistanceIntersection, AReplyThatIsNotANumberIsAFatalInputError) {
    for (std::vector<std::string> typed : {std::vector<std::string>{"A"}, std::vector<std::string>{}}) {
        Survey s = base();
        s.sight(1, 1, 10, kD).sight(2, 2, 10, kD);
        Loaded n(s);
        n.con.typed.assign(typed.begin(), typed.end());
        EXPECT_THROW(zadachi_2d(n.w), FatalIo);
    }
}

TEST(CombinedResection, TheTwoAnswersGiveTheTwoTrianglesAndOtherKeysAreIgnored) {
    Survey s = base();
    s.unknown(12, 520, 40, 56);
    s.sight(1, 12, 1, kR | kD).sight(1, 12, 2, kR);
    const auto& a = s.point(1);
    const auto& b = s.point(2);
    const auto& p = s.point(12);
    const double da = std::hypot(p.x - a.x, p.y - a.y);
    const double nu = std::acos(((a.x - p.x) * (b.x - p.x) + (a.y - p.y) * (b.y - p.y)) /
                                (da * std::hypot(p.x - b.x, p.y - b.y)));
    for (std::vector<char> keys : {std::vector<char>{'x', 'n'}, std::vector<char>{'d'}}) {
        Loaded n(s);
        n.con.keys.assign(keys.begin(), keys.end());
        zadachi_2d(n.w);
        EXPECT_TRUE(n.con.keys.empty());
        EXPECT_TRUE(n.con.showed("ОБРАТНА КОМБИНИРАНА ЗАСЕЧКА"));
        const Point& q = n.pt(12);
        if (keys.back() == 'n') {  // the true angle at 2 is obtuse
            EXPECT_NEAR(q.x, p.x, kMm);
            EXPECT_NEAR(q.y, p.y, kMm);
            EXPECT_TRUE(n.con.showed("N"));
        } else {
            // The other triangle: the same distance from 1 and the same angle at the new point.
            EXPECT_NEAR(std::hypot(q.x - a.x, q.y - a.y), da, kMm);
            const double angle = std::acos(((a.x - q.x) * (b.x - q.x) + (a.y - q.y) * (b.y - q.y)) /
                                           (da * std::hypot(q.x - b.x, q.y - b.y)));
            EXPECT_NEAR(angle, nu, 1e-6);
            EXPECT_GT(std::hypot(q.x - p.x, q.y - p.y), 1.0);
        }
    }
}

// Degenerate figures leave the label of the rejected candidate and let the search go on.
TEST(PlaneTasks, DegenerateFiguresArePassedOver) {
    struct Case {
        const char* name;
        std::function<void(Survey&)> build;
        std::vector<std::string> lines;
    } cases[] = {
        {"new point on the danger circle of the resection",
         [](Survey& s) {
             // 20, 21, 22 and 23 on the circle of radius 200 around (300, 300); the
             // directions are whole grads, so the file holds them exactly.
             s.known(21, 100, 300, 50);
             s.known(22, 300, 500, 50);
             s.known(23, 300, 100, 50);
             s.unknown(20, 500, 300, 50);
             s.sight(1, 20, 21, kR).sight(1, 20, 22, kR).sight(1, 20, 23, kR);
         },
         {kTitle, "", "", "   Обр.ъгл.засечка ", ""}},
        {"distances too short for a triangle",
         [](Survey& s) {
             s.unknown(20, 300, 300, 50);  // 282.8 m from 1 and 184.4 m from 2, which are 325.6 m apart
             s.sight(1, 1, 20, kD).sight(2, 2, 20, kD).sights[0].dD = -200;
         },
         {kTitle, "", "", "  Дължинна засечка ", ""}},
        {"distance back to the orienting station itself",
         [](Survey& s) {
             // Series 5 orients station 1 for the forward problem, so only the combined
             // intersection sees the direction to 20 of series 1.
             s.unknown(20, 260, 130, 50);
             s.sight(5, 1, 2, kR).sight(1, 1, 2, kR).sight(1, 1, 20, kR).sight(2, 20, 1, kD);
         },
         {kTitle, "", "", "   Пр.комб.засечка ", ""}},
        {"forward intersection at less than 5 grads",
         [](Survey& s) {
             s.unknown(20, 100, 6000, 50);  // 1 and 2 seen from 20 under 3.5 grads
             s.sight(1, 1, 2, kR).sight(1, 1, 20, kR).sight(2, 2, 1, kR).sight(2, 2, 20, kR);
         },
         // Tried from 1 and then again from 2: two rejected candidates.
         {kTitle, "", "", "    Пр.ъгл.засечка ", "    Пр.ъгл.засечка ", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Survey s;
        s.known(1, 100, 100, 50);
        s.known(2, 420, 160, 55);
        c.build(s);
        Loaded n(s);
        zadachi_2d(n.w);
        EXPECT_EQ(n.pt(20).vi, 0);
        EXPECT_EQ(n.rep.lines(), c.lines);
        EXPECT_TRUE(n.con.shown.size() <= 1) << "no question for a rejected figure";
    }
}

}  // namespace
}  // namespace vk::v2
