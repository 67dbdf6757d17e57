// The diagnostics of the adjustment against an independent solution with explicit
// orientation unknowns and a dense inverse, a planted blunder, and the two files
// "VK/VK_4.txt" and "VK/VK_4.scr" as a whole run writes them.
#include "vokram4/diagnostics.hpp"

#include <cmath>
#include <map>
#include <numbers>
#include <regex>
#include <sstream>

#include "support.hpp"
#include "vokram/frame.hpp"

namespace v4test {
namespace {

constexpr double kGradPerRad = 200 / std::numbers::pi;

// The standard error ellipse of a 2 x 2 cofactor block, found as a construction: the
// mean error m0 sqrt(f' Q f) in every direction f = (cos t, sin t), t stepped by
// 0.002 grads over a half-turn; its largest and smallest values are the semi-axes.
struct Sampled {
    double a = 0, b = 1e300, theta = 0;  // cm, cm, grads
};
Sampled sample_ellipse(double m0, double qxx, double qxy, double qyy) {
    Sampled s;
    for (int step = 0; step < 100000; ++step) {
        const double t = step * 0.002, c = std::cos(t / kGradPerRad), n = std::sin(t / kGradPerRad);
        const double m = m0 * std::sqrt(c * c * qxx + 2 * c * n * qxy + n * n * qyy);
        if (m > s.a) s.a = m, s.theta = t;
        s.b = std::min(s.b, m);
    }
    return s;
}

// The difference of two axis directions, which repeat every 200 grads.
double axis_difference(double t1, double t2) {
    return std::fabs(std::remainder(t1 - t2, 200.0));
}

// The module's observation that matches a reference one: same station, target and kind,
// and the same occurrence among equal ones.
std::vector<int> matching(const vk::v4::Adjustment& a, const Reference& ref) {
    std::map<std::tuple<int, int, bool>, std::vector<int>> by_key;
    for (std::size_t o = 0; o < a.obs.size(); ++o) {
        const vk::v4::Measurement& w = a.ms[a.obs[o].m];
        by_key[{a.pts[w.ns].no, a.pts[w.nt].no, a.obs[o].direction()}].push_back(static_cast<int>(o));
    }
    std::map<std::tuple<int, int, bool>, std::size_t> used;
    std::vector<int> out;
    for (const RefObservation& r : ref.obs) {
        const auto key = std::make_tuple(r.ns, r.nt, r.direction);
        const std::vector<int>& list = by_key[key];
        const std::size_t k = used[key]++;
        out.push_back(k < list.size() ? list[k] : -1);
    }
    return out;
}

Network with_second_series(Network net) {
    const std::uint16_t station = net.truth[2].no;
    std::vector<Sight> second;
    for (const Sight& w : net.sights)
        if (w.ns == station && w.R > 0) {
            Sight s = w;
            s.ps = 2;
            s.R = std::fmod(w.R + 123.4, 400.0);
            s.D = 0;
            second.push_back(s);
        }
    net.sights.insert(net.sights.end(), second.begin(), second.end());
    return net;
}

TEST(Diagnostics, AgreeWithTheFullInverseWithOrientationUnknowns) {
    struct Case {
        const char* name;
        Network net;
    };
    const Case cases[] = {
        {"4x4 grid", grid({.seed = 111})},
        {"new points listed after their targets", grid({.seed = 112, .rows = 5, .reverse_new = true})},
        {"directions only", grid({.seed = 113, .distance_share = 0.0})},
        {"sparse grid with weakly controlled sights",
         grid({.seed = 114, .rows = 5, .cols = 5, .sparse = true})},
        {"a station in two series, sights along the 0/400 seam",
         with_second_series(grid({.seed = 115, .jitter = 0.002, .north_oriented = true}))},
        {"one new point from three given stations", one_new_point()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Reference ref = adjust_reference(c.net);
        Staged s(c.net);
        s.adjust();
        const vk::v4::Adjustment& a = s.a;
        const vk::v4::Diagnostics d = vk::v4::diagnose(a);

        // The redundancy numbers share out the degrees of freedom.
        const int dof = static_cast<int>(ref.obs.size()) - a.u - static_cast<int>(a.groups.size());
        EXPECT_EQ(d.redundancy, dof);
        ASSERT_EQ(d.checks.size(), ref.obs.size());
        double sum = 0;
        for (const vk::v4::ObservationCheck& ch : d.checks) sum += ch.r;
        EXPECT_NEAR(sum, dof, 1e-3);

        const std::vector<int> match = matching(a, ref);
        double worst = 0;
        for (std::size_t k = 0; k < ref.obs.size(); ++k) {
            const RefObservation& r = ref.obs[k];
            ASSERT_GE(match[k], 0) << "observation " << r.ns << " - " << r.nt << " not listed";
            const vk::v4::ObservationCheck& ch = d.checks[static_cast<std::size_t>(match[k])];
            const std::string what = (r.direction ? "direction " : "distance ") + std::to_string(r.ns) +
                                     " - " + std::to_string(r.nt);
            EXPECT_NEAR(ch.r, r.r, 0.002) << what;
            // cc; cm (a distance of some hundred metres carries 0.03 mm in 32 bits)
            EXPECT_NEAR(a.obs[static_cast<std::size_t>(match[k])].v, r.v, r.direction ? 0.1 : 0.01) << what;
            if (r.r < 2 * vk::v4::kUncheckedR) {
                // An observation that no other one checks has no studentized residual.
                if (r.r < vk::v4::kUncheckedR / 2) {
                    EXPECT_FALSE(ch.tested) << what;
                }
                continue;
            }
            EXPECT_TRUE(ch.tested) << what;
            const double w = r.v / (ref.m0 * std::sqrt(r.r / (r.direction ? 1.0 : 2.0)));
            EXPECT_NEAR(ch.w, w, 0.01 * std::fabs(w) + 0.02) << what;
            worst = std::max(worst, std::fabs(w));
        }
        ASSERT_GE(d.worst, 0);
        EXPECT_NEAR(std::fabs(d.checks[static_cast<std::size_t>(d.worst)].w), worst, 0.01 * worst);

        ASSERT_EQ(d.ellipses.size(), ref.x.size());
        for (std::size_t k = 0; k < ref.x.size(); ++k) {
            const vk::v4::ErrorEllipse& e = d.ellipses[k];
            const Sampled t = sample_ellipse(ref.m0, ref.Qxy[2 * k][2 * k], ref.Qxy[2 * k][2 * k + 1],
                                             ref.Qxy[2 * k + 1][2 * k + 1]);
            const std::string point = "point " + std::to_string(a.pts[a.g + k].no);
            EXPECT_NEAR(e.a, t.a, 0.01 * t.a) << point;
            EXPECT_NEAR(e.b, t.b, 0.01 * t.a) << point;
            EXPECT_NEAR(e.mp, std::hypot(ref.mx[k], ref.my[k]), 0.02 * e.mp) << point;
            EXPECT_GE(e.theta, 0.0);
            EXPECT_LT(e.theta, 200.0);
            // The end of the semi-major axis within 1 % of its length of the reference one;
            // the direction of a nearly round ellipse says nothing.
            if (t.a > 1.05 * t.b) {
                EXPECT_LT(axis_difference(e.theta, t.theta) / kGradPerRad, 0.01) << point;
            }
        }
    }
}

// The listing's lines as UTF-8; the bytes must be Windows-1251 with CR LF.
std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        out.push_back(vk::from_cp1251(bytes.substr(start, end - start)));
        start = end + 2;
    }
    return out;
}

const std::string kWorst = "    Най-вероятна груба грешка за посоката: ст.";

TEST(Diagnostics, PlantedBlunderOf20ccIsTheLikeliestGrossError) {
    struct Case {
        unsigned seed;
        std::size_t from;  // the blunder goes into the first well-checked direction from here on
        double blunder;    // cc
    };
    const Case cases[] = {{121, 5, 20.0}, {122, 20, -20.0}, {123, 41, 20.0}, {124, 60, -20.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed));
        Network net = grid({.seed = c.seed, .sigma_R = 2.0, .sigma_D = 0.2, .distance_share = 1.0});
        // A direction whose error shows in its residual (r > 0.4 by the reference).
        const Reference clean = adjust_reference(net);
        std::size_t k = c.from;
        while (k < clean.obs.size() && !(clean.obs[k].direction && clean.obs[k].r > 0.4)) ++k;
        ASSERT_LT(k, clean.obs.size());
        const RefObservation target = clean.obs[k];
        int planted = 0;
        for (Sight& w : net.sights)
            if (w.ns == target.ns && w.nt == target.nt && w.R > 0) {
                w.R = std::fmod(w.R + c.blunder / 1e4 + 400.0, 400.0);
                ++planted;
            }
        ASSERT_EQ(planted, 1);

        Folder f(vk2_bytes(net));
        vk::ScriptedConsole con;
        ASSERT_EQ(vk::v4::run(con, f.root), 0);
        const std::vector<std::string> lines = lines_of(read_bytes(f.root / "VK" / "VK_4.txt"));
        const std::string named =
            kWorst + std::to_string(target.ns) + " - т." + std::to_string(target.nt) + ",";
        bool found = false;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].starts_with(kWorst)) {
                found = true;
                EXPECT_TRUE(lines[i].starts_with(named)) << lines[i];
                EXPECT_EQ(lines[i + 1], "    |w| е над критичната стойност: проверете измерването.");
            }
        EXPECT_TRUE(found);
    }
}

// A whole run: the listing's lines byte for byte where they do not depend on the
// noise, its accuracies against section 13, and the drawing against the listing.
TEST(Listing, WholeRunWritesTheListingAndTheDrawing) {
    const Network net = grid({.seed = 131, .rows = 5, .cols = 5, .sparse = true});
    Folder f(vk2_bytes(net));
    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v4::run(con, f.root), 0);
    const std::string bytes = read_bytes(f.root / "VK" / "VK_4.txt");
    const std::vector<std::string> lines = lines_of(bytes);
    Staged s(net);  // the counts, as section 13 has them
    const int dirs = s.a.n_dir, dists = s.a.n_dist, groups = static_cast<int>(s.a.groups.size());
    const int u = s.a.u;
    for (const std::string& expected : {
             std::string("  ДИАГНОСТИКА НА ИЗРАВНЕНИЕТО НА ПЛАНОВА МРЕЖА ПО МНМК"),
             "    Измерени:  - посоки    : " + vk::whole(dirs, 5),
             "               - разстояния: " + vk::whole(dists, 5),
             "     Неизвестни: координати: " + vk::whole(u, 5),
             "               ориентировки: " + vk::whole(groups, 5),
             "         Степени на свобода: " + vk::whole(dirs + dists - u - groups, 5),
             std::string("    *  - |w| над критичната стойност 3.29: възможна груба грешка."),
             std::string("    !  - r под 0.10: слабо контролирано измерване."),
             std::string("    Станция   Точка   Вид            v           r        w"),
             std::string("   Номер   mx[см]  my[см]    a[см]   b[см] посока a[гр]  mp[см]"),
         })
        EXPECT_NE(bytes.find(vk::to_cp1251(expected) + "\r\n"), std::string::npos) << expected;

    // Every observation has its row: station, target, kind, v with its unit, r, w.
    const std::regex row(
        R"( +(\d+) +(\d+)   (посока|страна) +(-?\d+\.\d+) (сс|см)\. +(\d\.\d{3}) +(-?\d+\.\d\d|-)( .*)?)");
    // Its flags: * for |w| above 3.29, ! for r below 0.1 (judged on the printed values,
    // away from the rounding at the limits).
    int rows = 0, weak = 0;
    std::smatch rm;
    for (const std::string& l : lines) {
        if (!std::regex_match(l, rm, row)) continue;
        ++rows;
        const double r = std::stod(rm[6]);
        const std::string w = rm[7], flags = rm[8];
        const bool suspect = w != "-" && std::fabs(std::stod(w)) > 3.29;
        if (w == "-" || std::fabs(std::stod(w)) != 3.29) {
            EXPECT_EQ(flags.find('*') != std::string::npos, suspect) << l;
        }
        if (r != 0.1) {
            EXPECT_EQ(flags.find('!') != std::string::npos, r < 0.1) << l;
        }
        weak += r < 0.1;
        if (r == 0 || r > 0.001) {
            EXPECT_EQ(w == "-", r == 0) << l;  // a residual no other observation checks
        }
    }
    EXPECT_EQ(rows, dirs + dists);
    EXPECT_GT(weak, 0);

    // The report's section 13 and the listing give every new point the same mx and my.
    const std::vector<std::string> report = lines_of(f.added());
    const std::vector<Site> fresh = net.plane_approx();
    std::map<int, std::pair<std::string, std::string>> section13;  // number: mx, my as printed
    for (std::size_t k = report.size() - fresh.size(); k < report.size(); ++k) {
        std::istringstream in(report[k]);
        std::string no, x, mx, y, my;
        in >> no >> x >> mx >> y >> my;
        section13[std::stoi(no)] = {mx, my};
    }
    std::map<int, std::vector<double>> ellipse;  // number: mx, my, a, b, theta, mp
    std::map<int, std::pair<std::string, std::string>> listed;
    const std::regex point(
        R"( +(\d+) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d))");
    std::smatch m;
    for (const std::string& l : lines)
        if (std::regex_match(l, m, point)) {
            const int no = std::stoi(m[1]);
            listed[no] = {m[2], m[3]};
            for (int i = 2; i <= 7; ++i) ellipse[no].push_back(std::stod(m[i]));
        }
    EXPECT_EQ(listed, section13);

    // The magnification is a round number that draws the largest ellipse at about 2 % of
    // the extent (within the step of the 1-2-5 series).
    const std::string said = "    Увеличение на елипсите в чертежа VK/VK_4.scr: ";
    double F = 0;
    for (const std::string& l : lines)
        if (l.starts_with(said)) F = std::stod(l.substr(said.size()));
    const double decade = std::pow(10.0, std::floor(std::log10(F) + 1e-9));
    EXPECT_TRUE(F / decade == 1 || F / decade == 2 || F / decade == 5) << F;
    double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300, a_max = 0;
    for (const std::vector<Site>* sites : {&net.given, &net.truth})
        for (const Site& p : *sites)
            xmin = std::min(xmin, p.x), xmax = std::max(xmax, p.x), ymin = std::min(ymin, p.y),
            ymax = std::max(ymax, p.y);
    for (const auto& [no, e] : ellipse) a_max = std::max(a_max, e[2]);
    const double share = F * a_max / 100 / std::max(xmax - xmin, ymax - ymin);
    EXPECT_GT(share, 0.02 / std::sqrt(2.5));
    EXPECT_LT(share, 0.02 * std::sqrt(2.5));

    // The drawing: the layer, one ellipse per new point about its adjusted position, the
    // axis end at the magnified a in the listed direction, the magnified b; then zoom.
    const std::vector<std::string> scr = lines_of(read_bytes(f.root / "VK" / "VK_4.scr"));
    ASSERT_EQ(scr.size(), fresh.size() + 4);
    EXPECT_EQ(scr[0], "layer s Ellipses");
    EXPECT_EQ(scr[1], "");
    EXPECT_EQ(scr[scr.size() - 2], "");
    EXPECT_EQ(scr.back(), "zoom e");
    const Reference ref = adjust_reference(net);
    const std::regex cmd(
        R"(ellipse c (-?\d+\.\d{4}),(-?\d+\.\d{4}) (-?\d+\.\d{4}),(-?\d+\.\d{4}) (\d+\.\d{4}))");
    for (std::size_t k = 0; k < fresh.size(); ++k) {
        SCOPED_TRACE(scr[k + 2]);
        ASSERT_TRUE(std::regex_match(scr[k + 2], m, cmd));
        const double E = std::stod(m[1]), N = std::stod(m[2]), Ea = std::stod(m[3]), Na = std::stod(m[4]);
        EXPECT_NEAR(E, ref.y[k] + net.yo, 0.0002);  // metres
        EXPECT_NEAR(N, ref.x[k] + net.xo, 0.0002);
        const std::vector<double>& e = ellipse[fresh[k].no];
        ASSERT_EQ(e.size(), 6u);
        // Printed to 0.01 cm: the magnified lengths within half a digit, magnified.
        EXPECT_NEAR(std::hypot(Ea - E, Na - N), F * e[2] / 100, F * 0.00005 + 0.0002);
        EXPECT_NEAR(std::stod(m[5]), F * e[3] / 100, F * 0.00005 + 0.0002);
        double dir = std::atan2(Ea - E, Na - N) * kGradPerRad;
        EXPECT_LT(axis_difference(dir, e[4]), 0.02);  // grads
    }
}

TEST(Listing, OnlyASuccessfulRunLeavesTheFiles) {
    Network undetermined = one_new_point();
    undetermined.approx.push_back({202, 300.0, 150.0});
    undetermined.sights.push_back({1, 102, 202, 0.0, 512.3});
    struct Case {
        const char* name;
        Network net;
        int token;
        bool files;  // the listing and the drawing exist after the run
    };
    const Case cases[] = {
        {"adjusted", one_new_point(), 1, true},
        {"stopped on an undetermined point: the earlier files go", undetermined, 1, false},
        {"token 0: nothing is touched", one_new_point(), 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f(vk2_bytes(c.net), c.token);
        write_bytes(f.root / "VK" / "vk_4.txt", "earlier listing\r\n");
        write_bytes(f.root / "VK" / "VK_4.SCR", "earlier drawing\r\n");
        vk::ScriptedConsole con;
        ASSERT_EQ(vk::v4::run(con, f.root), 0);
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(f.root / "VK"))
            files += entry.path().filename() != "Protokol.TXT";
        EXPECT_EQ(files, c.files ? 2u : 0u);
        if (c.token == 1 && c.files) {
            const vk::Workspace ws(f.root);
            const std::string listing = read_bytes(ws.find("VK/VK_4.txt"));
            EXPECT_NE(listing.find(vk::to_cp1251("  ДИАГНОСТИКА")), std::string::npos);
            EXPECT_EQ(read_bytes(ws.find("VK/VK_4.scr")).substr(0, 18), "layer s Ellipses\r\n");
        }
    }
}

}  // namespace
}  // namespace v4test
