// The adjustment against an independent least-squares solution with explicit
// orientation unknowns, on networks generated from known true coordinates.
#include <cmath>
#include <set>

#include "support.hpp"

namespace v4test {
namespace {

constexpr double kMm = 0.001;  // metres

// A generated network with the awkward cases the surveyor meets: a height-only given
// point and a height-only new point with sights to them, a distance between two given
// points that disagrees with their coordinates, and a second series at a station.
Network with_extras(Network net) {
    Site hg;
    hg.no = 9501, hg.x = 111.0, hg.y = 222.0, hg.vi = 1, hg.h = 100.0;
    net.given.insert(net.given.begin() + 1, hg);
    Site hn;
    hn.no = 9502, hn.vi = 1, hn.h = 50.0;
    net.approx.insert(net.approx.begin(), hn);
    net.truth.insert(net.truth.begin(), hn);
    const std::uint16_t g0 = net.given[0].no, g2 = net.given[2].no, n0 = net.truth[1].no;
    net.sights.push_back({1, g0, 9501, 123.4567, 77.7});
    net.sights.push_back({1, 9502, n0, 321.0, 55.5});
    net.sights.push_back({1, n0, 9502, 10.0, 0.0});
    net.sights.push_back({3, g0, g2, 0.0, 999.0});
    std::vector<Sight> second;
    for (const Sight& w : net.sights)
        if (w.ns == n0 && w.ps == 1 && w.R > 0 && w.nt != 9502) {
            Sight s = w;
            s.ps = 2;
            s.R = std::fmod(w.R + 57.3, 400.0);
            s.D = 0;
            second.push_back(s);
        }
    net.sights.insert(net.sights.end(), second.begin(), second.end());
    return net;
}

struct Case {
    const char* name;
    Network net;
};

std::vector<Case> cases() {
    std::vector<Case> out;
    out.push_back({"4x4 grid", grid({.seed = 11})});
    out.push_back(
        {"new points listed after the targets they observe", grid({.seed = 12, .reverse_new = true})});
    out.push_back({"5x4 grid, rougher directions", grid({.seed = 13, .rows = 5, .sigma_R = 10.0})});
    out.push_back({"directions only", grid({.seed = 14, .distance_share = 0.0})});
    out.push_back({"stations oriented to north, sights along the 0/400 seam",
                   grid({.seed = 15, .jitter = 0.002, .approx = 4.0, .north_oriented = true})});
    out.push_back(
        {"height-only points, given-to-given distance, two series", with_extras(grid({.seed = 16}))});
    return out;
}

TEST(Adjustment, AgreesWithIndependentLeastSquares) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const Reference ref = adjust_reference(c.net);
        Staged s(c.net);
        s.adjust();
        const vk::v4::Adjustment& a = s.a;
        ASSERT_EQ(a.n() - a.g, static_cast<int>(ref.x.size()));
        EXPECT_TRUE(a.converged);
        for (std::size_t k = 0; k < ref.x.size(); ++k) {
            const vk::v4::Point& p = a.pts[a.g + k];
            EXPECT_NEAR(p.x, ref.x[k], 0.1 * kMm) << "x of " << p.no;
            EXPECT_NEAR(p.y, ref.y[k], 0.1 * kMm) << "y of " << p.no;
            EXPECT_NEAR(a.mx(static_cast<int>(k)), ref.mx[k], 0.02 * ref.mx[k]) << "mx of " << p.no;
            EXPECT_NEAR(a.my(static_cast<int>(k)), ref.my[k], 0.02 * ref.my[k]) << "my of " << p.no;
        }
        EXPECT_NEAR(a.m0, ref.m0, 0.02 * ref.m0);
        EXPECT_NEAR(a.pvv, ref.pvv, 0.01 * ref.pvv);
        EXPECT_NEAR(a.pff, ref.pvv, 0.01 * ref.pvv);
        EXPECT_NEAR(a.vR.v, ref.max_vR, 0.3);   // cc
        EXPECT_NEAR(a.vD.v, ref.max_vD, 0.01);  // cm
    }
}

TEST(Adjustment, NoiseFreeNetworkReturnsTheTruth) {
    for (const Shape& shape :
         {Shape{.seed = 21, .sigma_R = 0, .sigma_D = 0},
          Shape{.seed = 22, .sigma_R = 0, .sigma_D = 0, .approx = 5.0, .reverse_new = true}}) {
        const Network net = grid(shape);
        Staged s(net);
        s.adjust();
        const std::vector<Site> truth = net.plane_truth();
        for (std::size_t k = 0; k < truth.size(); ++k) {
            EXPECT_NEAR(s.a.pts[s.a.g + k].x, truth[k].x, 0.1 * kMm) << "x of " << truth[k].no;
            EXPECT_NEAR(s.a.pts[s.a.g + k].y, truth[k].y, 0.1 * kMm) << "y of " << truth[k].no;
        }
        // Only the rounding of the file's 0.1 cc and 0.1 mm is left.
        EXPECT_LT(s.a.m0, 0.3);
    }
}

// pff, the reduced element of the absolute terms, is the least [pvv] of the linearised
// equations; the [pvv] of the residuals must reach it in every iteration, also the
// first one from coordinates decimetres away.
TEST(Adjustment, ResidualsReachTheReducedSumInEveryIteration) {
    for (unsigned seed : {81u, 82u}) {
        Staged s(grid({.seed = seed, .approx = 30.0, .reverse_new = seed == 82}));
        s.a.max_iterations = 1;
        s.adjust();
        EXPECT_NEAR(s.a.pvv, s.a.pff, 1e-4 * s.a.pff) << "seed " << seed;
    }
}

TEST(Adjustment, SettlesByTheStopRule) {
    struct Row {
        double prev_m0, m0, prev_pvv, pvv;
        bool settled;
        const char* why;
    };
    const Row rows[] = {
        {0, 2.9, 0, 100, true, "first iteration below 3 cc"},
        {0, 3.1, 0, 100, false, "first iteration at 3 cc or more"},
        {5.0, 4.0, 130, 100, true, "m0 within 3 cc, [pvv] down by less than a third of itself"},
        {5.0, 4.0, 140, 100, false, "[pvv] down by 40 % of itself"},
        {5.0, 4.0, 90, 100, true, "[pvv] grew"},
        {8.0, 4.0, 100, 100, false, "m0 moved by 4 cc"},
        {0, 0, 0, 0, true, "exact fit: [pvv] of 0"},
        {0, NAN, 0, NAN, false, "not a number"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(vk::v4::settled(r.prev_m0, r.m0, r.prev_pvv, r.pvv), r.settled) << r.why;
}

TEST(Adjustment, IterationsThatDoNotSettleAreCappedWithAReportLine) {
    Staged s(grid({.seed = 31, .sigma_R = 8.0, .approx = 30.0}));
    s.a.max_iterations = 1;  // the first iteration of m0 >= 3 cc never settles
    s.adjust();
    EXPECT_FALSE(s.a.converged);
    EXPECT_EQ(s.a.iterations, 1);
    EXPECT_TRUE(has_line(s.report(), "    Изравнението не е сходимо: итерациите са прекъснати след 1."));
}

TEST(Adjustment, CountsOfSection13LeaveOutHeightOnlyPointsAndFixedDistances) {
    const Network net = with_extras(grid({.seed = 41}));
    Staged s(net);
    // 4 plane given points; the grid's 12 new points; the height-only ones are not loaded.
    EXPECT_EQ(s.a.g, 4);
    EXPECT_EQ(s.a.n() - s.a.g, 12);
    int directions = 0, distances = 0;
    std::set<std::pair<int, int>> groups;
    std::set<int> given;
    for (const Site& p : net.given) given.insert(p.no);
    for (const Sight& w : net.sights) {
        if (w.ns >= 9501 || w.nt >= 9501) continue;
        if (w.R > 0) ++directions, groups.insert({w.ns, w.ps});
        if (w.D > 0 && !(given.count(w.ns) && given.count(w.nt))) ++distances;
    }
    const auto lines = s.report();
    EXPECT_TRUE(has_line(lines, "    Измерени:  - посоки    : " + vk::whole(directions, 5)));
    EXPECT_TRUE(has_line(lines, "               - разстояния: " + vk::whole(distances, 5)));
    EXPECT_TRUE(has_line(
        lines, "             Ъглови станции: " + vk::whole(static_cast<long long>(groups.size()), 5)));
}

}  // namespace
}  // namespace v4test
