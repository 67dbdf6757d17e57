// The eight plane tasks: for each a network built from known coordinates in which that
// task, and no earlier one, finds the new point; the coordinates must come back to the
// millimetre and the report entry must name the points as the surveyor expects.
#include "builder.hpp"

namespace vk::v2 {
namespace {

using namespace test;

const char* const kTitle = "  9.2D-РЕШЕНИЕ.";

// The mirror image of point p in the line through a and b.
TruePoint mirror(const TruePoint& p, const TruePoint& a, const TruePoint& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double u = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
    return {p.no, 2 * (a.x + u * dx) - p.x, 2 * (a.y + u * dy) - p.y, p.h};
}

// The centre of the circle through a, b and c.
TruePoint centre(const TruePoint& a, const TruePoint& b, const TruePoint& c) {
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    const double qa = a.x * a.x + a.y * a.y, qb = b.x * b.x + b.y * b.y, qc = c.x * c.x + c.y * c.y;
    return {0, (qa * (b.y - c.y) + qb * (c.y - a.y) + qc * (a.y - b.y)) / d,
            (qa * (c.x - b.x) + qb * (a.x - c.x) + qc * (b.x - a.x)) / d, 0};
}

// Four given points; the new point 10 lies inside the triangle 1-2-3 unless a case moves it.
Survey base() {
    return Survey().points(
        {{1, 100, 100, 50, 3}, {2, 420, 160, 55, 3}, {3, 260, 480, 60, 3}, {4, 80, 420, 52, 3}});
}

const TruePoint kInside{10, 300, 300, 58}, kOutside{10, 520, 40, 56};

struct TaskCase {
    std::string entry;  // the report entry of section 9
    std::vector<Sight> sights;
    std::vector<TruePoint> fresh = {kInside};
    std::deque<std::string> typed = {};
    std::deque<char> keys = {};
    bool mirrored = false;  // the answer chooses the other of the two solutions
};

// Seen from 10, point 1 lies to the left of point 2. At 10 inside, the angle 1-10-2 is
// obtuse: one triangle, no question; outside, the angle is acute, |1-10| > |1-2| and the
// true angle at 2 is obtuse (132 grads): two triangles.
const TaskCase kCases[] = {
    {" Пр.зад. 2,1 ~ 10, ", {{1, 1, 2, kR}, {1, 1, 10, kR | kD}}},
    {" Пр.зад: 2,1 ~ 10, ", {{1, 1, 2, kR}, {1, 1, 10, kR}, {2, 10, 1, kD}}},
    {"    Пр.ъгл.засечка 2,1/1,2 ~ 10", {{1, 1, 2, kR}, {1, 1, 10, kR}, {2, 2, 1, kR}, {2, 2, 10, kR}}},
    {" Стран.ъгл.засечка 2,1/3 ~ 10", {{1, 1, 2, kR}, {1, 1, 10, kR}, {2, 10, 1, kR}, {2, 10, 3, kR}}},
    {"   Пр.комб.засечка 2,1/4 ~ 10", {{1, 1, 2, kR}, {1, 1, 10, kR}, {2, 4, 10, kD}}},
    {"   Обр.ъгл.засечка 1,2,3 ~ 10", {{1, 10, 1, kR}, {1, 10, 2, kR}, {1, 10, 3, kR}}},
    {"  Ханзенова задача 1,2 ~ 10,11",
     {{1, 10, 11, kR}, {1, 10, 1, kR}, {1, 10, 2, kR}, {2, 11, 10, kR}, {2, 11, 1, kR}, {2, 11, 2, kR}},
     {kInside, {11, 180, 260, 54}}},
    {"  Дължинна засечка 1,2 ~ 10", {{1, 1, 10, kD}, {2, 2, 10, kD}}, {kInside}, {"1"}},
    // A number of neither point is asked again.
    {"  Дължинна засечка 1,2 ~ 10", {{1, 1, 10, kD}, {2, 2, 10, kD}}, {kInside}, {"7", "2"}, {}, true},
    {"  Обр.комб.засечка 1,2 ~ 10", {{1, 10, 1, kR | kD}, {1, 10, 2, kR}}},
    // Other keys than D and N are ignored.
    {"  Обр.комб.засечка 1,2 ~ 10", {{1, 10, 1, kR | kD}, {1, 10, 2, kR}}, {kOutside}, {}, {'x', 'N'}},
    {"  Обр.комб.засечка 1,2 ~ 10", {{1, 10, 1, kR | kD}, {1, 10, 2, kR}}, {kOutside}, {}, {'d'}, true},
};

TEST(PlaneTasks, EachTaskFindsItsPointsAndReportsThem) {
    for (const TaskCase& c : kCases) {
        SCOPED_TRACE(c.entry + (c.mirrored ? " (mirror)" : ""));
        Survey s = base();
        s.points(c.fresh).measure(c.sights);
        Loaded n(s);
        n.con.typed = c.typed;
        n.con.keys = c.keys;
        zadachi_2d(n.w);
        for (TruePoint want : c.fresh) {
            const TruePoint &a = s.point(1), &b = s.point(2);
            // The other triangle of the combined resection has the same distance from 1 and
            // the same angle at the new point: the mirror image in the diameter through 1.
            if (c.mirrored) want = mirror(want, a, c.keys.empty() ? b : centre(a, b, want));
            EXPECT_EQ(n.pt(want.no).vi, 2);
            EXPECT_NEAR(n.pt(want.no).x, want.x, 0.001) << "point " << want.no;
            EXPECT_NEAR(n.pt(want.no).y, want.y, 0.001) << "point " << want.no;
        }
        // An intersection entry starts with a line end of its own.
        std::vector<std::string> expected = {kTitle, "", "", c.entry, ""};
        if (c.entry.find("Пр.зад") != std::string::npos) expected.erase(expected.begin() + 2);
        EXPECT_EQ(n.rep.lines(), expected);
        EXPECT_TRUE(n.con.typed.empty() && n.con.keys.empty()) << "every scripted answer is used";
        EXPECT_EQ(n.con.showed("1, 2, 10"), !c.typed.empty() || !c.keys.empty()) << "the question names";
    }
}

TEST(PlaneTasks, AnAnswerThatIsNotANumberOrNoAnswerIsAFatalInputError) {
    for (const std::deque<std::string>& typed : {std::deque<std::string>{"A"}, std::deque<std::string>{}}) {
        Loaded n(base().points({kInside}).measure({{1, 1, 10, kD}, {2, 2, 10, kD}}));
        n.con.typed = typed;
        EXPECT_THROW(zadachi_2d(n.w), FatalIo);
    }
}

TEST(PlaneTasks, PolarEntriesRunOnInLinesOfAboutThree) {
    Survey s = base();
    s.points({kInside, {11, 180, 260, 54}, {12, 520, 40, 56}, {13, 600, 300, 56}, {14, 30, 250, 56}});
    s.measure({{1, 1, 2, kR}});
    for (int no : {10, 11, 12, 13, 14}) s.measure({{1, 1, no, kR | kD}});
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
}

// A degenerate figure leaves the label of the rejected candidate and the search goes on.
TEST(PlaneTasks, DegenerateFiguresArePassedOver) {
    const struct {
        const char* name;
        std::vector<TruePoint> pts;
        std::vector<Sight> sights;
        std::string label;
        int times = 1;
    } cases[] = {
        // 20 to 23 on the circle of radius 200 around (300, 300); the directions are whole grads.
        {"new point on the danger circle of the resection",
         {{21, 100, 300, 50, 3}, {22, 300, 500, 50, 3}, {23, 300, 100, 50, 3}, {20, 500, 300, 50}},
         {{1, 20, 21, kR}, {1, 20, 22, kR}, {1, 20, 23, kR}},
         "   Обр.ъгл.засечка "},
        // 282.8 m less 200 from 1 and 184.4 m from 2, which are 325.6 m apart.
        {"distances too short for a triangle",
         {{20, 300, 300, 50}},
         {{1, 1, 20, kD, 0, -200}, {2, 2, 20, kD}},
         "  Дължинна засечка "},
        // Series 5 orients station 1 for the forward problem, so only the combined
        // intersection sees the direction to 20 of series 1.
        {"distance back to the orienting station itself",
         {{20, 260, 130, 50}},
         {{5, 1, 2, kR}, {1, 1, 2, kR}, {1, 1, 20, kR}, {2, 20, 1, kD}},
         "   Пр.комб.засечка "},
        // 1 and 2 seen from 20 under 3.5 grads; tried from 1 and again from 2.
        {"forward intersection at less than 5 grads",
         {{20, 100, 6000, 50}},
         {{1, 1, 2, kR}, {1, 1, 20, kR}, {2, 2, 1, kR}, {2, 2, 20, kR}},
         "    Пр.ъгл.засечка ",
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Survey s;
        Loaded n(s.points({{1, 100, 100, 50, 3}, {2, 420, 160, 55, 3}}).points(c.pts).measure(c.sights));
        zadachi_2d(n.w);
        EXPECT_EQ(n.pt(20).vi, 0);
        std::vector<std::string> expected = {kTitle, "", ""};
        expected.insert(expected.end(), c.times, c.label);
        expected.push_back("");
        EXPECT_EQ(n.rep.lines(), expected);
        EXPECT_LE(n.con.shown.size(), 1u) << "no question for a rejected figure";
    }
}

}  // namespace
}  // namespace vk::v2
