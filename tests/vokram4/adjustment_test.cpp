// The adjustment and its diagnostics against an independent least-squares solution with
// explicit orientation unknowns and a dense inverse, on networks generated from known
// true coordinates; the stop rule and the cap of the iterations.
#include <array>
#include <cmath>
#include <map>
#include <numbers>

#include "support.hpp"
#include "vokram4/diagnostics.hpp"

namespace v4test {
namespace {

constexpr double kMm = 0.001;  // metres
constexpr double kGradPerRad = 200 / std::numbers::pi;

// The awkward cases a surveyor meets: a height-only given point and a height-only new
// point with sights to them, a distance between two given points that disagrees with
// their coordinates, and a second series at a station.
Network with_extras(Network net) {
    net.given.insert(net.given.begin() + 1, {9501, 111.0, 222.0, 1, 100.0});
    net.approx.insert(net.approx.begin(), {9502, 0, 0, 1, 50.0});
    const std::uint16_t g0 = net.given[0].no, g2 = net.given[2].no, n0 = net.approx[1].no;
    std::vector<Sight> second;
    for (const Sight& w : net.sights)
        if (w.ns == n0 && w.R > 0) second.push_back({2, w.ns, w.nt, std::fmod(w.R + 57.3, 400.0), 0});
    net.sights.insert(net.sights.end(), second.begin(), second.end());
    net.sights.insert(net.sights.end(), {{1, g0, 9501, 123.4567, 77.7},
                                         {1, 9502, n0, 321.0, 55.5},
                                         {1, n0, 9502, 10.0, 0.0},
                                         {3, g0, g2, 0.0, 999.0}});
    return net;
}

// The standard error ellipse of a 2 x 2 cofactor block, found as a construction: the
// mean error m0 sqrt(f' Q f) in every direction f = (cos t, sin t), t stepped by 0.002
// grads over a half-turn; its largest and smallest values are the semi-axes.
std::array<double, 3> sampled_ellipse(double m0, double qxx, double qxy, double qyy) {
    std::array<double, 3> s{0, 1e300, 0};  // a, b (cm), direction of a (grads)
    for (int step = 0; step < 100000; ++step) {
        const double t = step * 0.002, c = std::cos(t / kGradPerRad), n = std::sin(t / kGradPerRad);
        const double m = m0 * std::sqrt(c * c * qxx + 2 * c * n * qxy + n * n * qyy);
        if (m > s[0]) s[0] = m, s[2] = t;
        s[1] = std::min(s[1], m);
    }
    return s;
}

TEST(Adjustment, AndDiagnosticsAgreeWithIndependentLeastSquares) {
    const std::pair<const char*, Network> cases[] = {
        {"4x4 grid", grid({.seed = 11})},
        {"5x4 grid, rougher directions, new points listed after the targets they observe",
         grid({.seed = 12, .rows = 5, .sigma_R = 10.0, .reverse_new = true})},
        {"directions only", grid({.seed = 14, .distance_share = 0.0})},
        {"stations oriented to north, sights along the 0/400 seam",
         grid({.seed = 15, .jitter = 0.002, .approx = 4.0, .north_oriented = true})},
        {"height-only points, given-to-given distance, two series", with_extras(grid({.seed = 16}))},
        {"sparse grid with weakly controlled sights",
         grid({.seed = 114, .rows = 5, .cols = 5, .sparse = true})},
        {"one new point from three given stations", one_new_point()},
    };
    for (const auto& [name, net] : cases) {
        SCOPED_TRACE(name);
        const Reference ref = adjust_reference(net);
        Staged s(net);
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

        // The redundancy numbers share out the degrees of freedom.
        const vk::v4::Diagnostics d = vk::v4::diagnose(a);
        const int dof = static_cast<int>(ref.obs.size()) - a.u - ref.groups;
        EXPECT_EQ(d.redundancy, dof);
        ASSERT_EQ(d.checks.size(), ref.obs.size());
        double sum = 0;
        for (const vk::v4::ObservationCheck& ch : d.checks) sum += ch.r;
        EXPECT_NEAR(sum, dof, 1e-3);

        // Each reference observation against the module's of the same station, target and
        // kind (and the same occurrence among equal ones).
        std::map<std::tuple<int, int, bool>, std::vector<std::size_t>> listed;
        for (std::size_t o = a.obs.size(); o-- > 0;) {
            const vk::v4::Measurement& w = a.ms[a.obs[o].m];
            listed[{a.pts[w.ns].no, a.pts[w.nt].no, a.obs[o].direction()}].push_back(o);
        }
        int dirs = 0;
        double worst = 0, max_v[2] = {0, 0};  // of the distances (cm) and the directions (cc)
        for (const RefObservation& r : ref.obs) {
            const std::string what = (r.direction ? "direction " : "distance ") + std::to_string(r.ns) +
                                     " - " + std::to_string(r.nt);
            std::vector<std::size_t>& same = listed[{r.ns, r.nt, r.direction}];
            ASSERT_FALSE(same.empty()) << what << " not listed";
            const std::size_t m = same.back();
            same.pop_back();
            dirs += r.direction;
            max_v[r.direction] = std::max(max_v[r.direction], std::fabs(r.v));
            const vk::v4::ObservationCheck& ch = d.checks[m];
            EXPECT_NEAR(ch.r, r.r, 0.002) << what;
            // cc; cm (a distance of some hundred metres carries 0.03 mm in 32 bits)
            EXPECT_NEAR(a.obs[m].v, r.v, r.direction ? 0.1 : 0.01) << what;
            // An observation that no other one checks has no studentized residual.
            EXPECT_TRUE(r.r >= vk::v4::kUncheckedR / 2 || !ch.tested) << what;
            if (r.r < 2 * vk::v4::kUncheckedR) continue;
            EXPECT_TRUE(ch.tested) << what;
            const double w = r.v / (ref.m0 * std::sqrt(r.r / (r.direction ? 1.0 : 2.0)));
            EXPECT_NEAR(ch.w, w, 0.01 * std::fabs(w) + 0.02) << what;
            worst = std::max(worst, std::fabs(w));
        }
        EXPECT_NEAR(a.vR.v, max_v[1], 0.3);   // cc
        EXPECT_NEAR(a.vD.v, max_v[0], 0.01);  // cm
        // Section 13's counts: height-only points and distances between given points left out.
        const auto lines = s.a.rep->lines();
        EXPECT_TRUE(has_line(lines, "    Измерени:  - посоки    : " + vk::whole(dirs, 5)));
        EXPECT_TRUE(
            has_line(lines, "               - разстояния: " + vk::whole(std::ssize(ref.obs) - dirs, 5)));
        EXPECT_TRUE(has_line(lines, "             Ъглови станции: " + vk::whole(ref.groups, 5)));
        ASSERT_GE(d.worst, 0);
        EXPECT_NEAR(std::fabs(d.checks[static_cast<std::size_t>(d.worst)].w), worst, 0.01 * worst);

        ASSERT_EQ(d.ellipses.size(), ref.x.size());
        for (std::size_t k = 0; k < ref.x.size(); ++k) {
            const vk::v4::ErrorEllipse& e = d.ellipses[k];
            const auto [ta, tb, ttheta] = sampled_ellipse(
                ref.m0, ref.Q[2 * k][2 * k], ref.Q[2 * k][2 * k + 1], ref.Q[2 * k + 1][2 * k + 1]);
            const std::string point = "point " + std::to_string(a.pts[a.g + k].no);
            EXPECT_NEAR(e.a, ta, 0.01 * ta) << point;
            EXPECT_NEAR(e.b, tb, 0.01 * ta) << point;
            EXPECT_NEAR(e.mp, std::hypot(ref.mx[k], ref.my[k]), 0.02 * e.mp) << point;
            // The end of the semi-major axis within 1 % of its length of the reference one;
            // the direction of a nearly round ellipse says nothing.
            EXPECT_TRUE(e.theta >= 0 && e.theta < 200) << point;
            const double turned = std::fabs(std::remainder(e.theta - ttheta, 200.0)) / kGradPerRad;
            EXPECT_TRUE(ta <= 1.05 * tb || turned < 0.01) << point << ": a turned by " << turned << " rad";
        }
    }
}

TEST(Adjustment, NoiseFreeNetworkReturnsTheTruth) {
    for (const Shape& shape :
         {Shape{.seed = 21, .sigma_R = 0, .sigma_D = 0},
          Shape{.seed = 22, .sigma_R = 0, .sigma_D = 0, .approx = 5.0, .reverse_new = true}}) {
        const Network net = grid(shape);
        Staged s(net);
        s.adjust();
        for (std::size_t k = 0; k < net.truth.size(); ++k) {
            EXPECT_NEAR(s.a.pts[s.a.g + k].x, net.truth[k].x, 0.1 * kMm) << "x of " << net.truth[k].no;
            EXPECT_NEAR(s.a.pts[s.a.g + k].y, net.truth[k].y, 0.1 * kMm) << "y of " << net.truth[k].no;
        }
        EXPECT_LT(s.a.m0, 0.3);  // only the rounding of the file's 0.1 cc and 0.1 mm is left
    }
}

TEST(Adjustment, SettlesByTheStopRule) {
    // m0 and [pvv] of the previous and of this iteration, settled, why.
    for (const auto& [prev_m0, m0, prev_pvv, pvv, settled, why] : {
             std::tuple{0.0, 2.9, 0.0, 100.0, true, "first iteration below 3 cc"},
             {0.0, 3.1, 0.0, 100.0, false, "first iteration at 3 cc or more"},
             {5.0, 4.0, 130.0, 100.0, true, "m0 within 3 cc, [pvv] down by less than a third of itself"},
             {5.0, 4.0, 140.0, 100.0, false, "[pvv] down by 40 % of itself"},
             {5.0, 4.0, 90.0, 100.0, true, "[pvv] grew"},
             {8.0, 4.0, 100.0, 100.0, false, "m0 moved by 4 cc"},
             {0.0, 0.0, 0.0, 0.0, true, "exact fit: [pvv] of 0"},
             {0.0, NAN, 0.0, NAN, false, "not a number"},
         })
        EXPECT_EQ(vk::v4::settled(prev_m0, m0, prev_pvv, pvv), settled) << why;
}

// A first iteration from coordinates decimetres away that is not allowed to settle: the
// cap's report line; and pff, the least [pvv] of the linearised equations, is reached
// by the residuals' [pvv] in that iteration too.
TEST(Adjustment, IterationsThatDoNotSettleAreCappedWithAReportLine) {
    for (unsigned seed : {31u, 32u}) {
        Staged s(grid({.seed = seed, .sigma_R = 8.0, .approx = 30.0, .reverse_new = seed == 32}));
        s.a.max_iterations = 1;  // the first iteration of m0 >= 3 cc never settles
        s.adjust();
        EXPECT_FALSE(s.a.converged);
        EXPECT_EQ(s.a.iterations, 1);
        EXPECT_TRUE(
            has_line(s.a.rep->lines(), "    Изравнението не е сходимо: итерациите са прекъснати след 1."));
        EXPECT_NEAR(s.a.pvv, s.a.pff, 1e-4 * s.a.pff) << "seed " << seed;
    }
}

}  // namespace
}  // namespace v4test
