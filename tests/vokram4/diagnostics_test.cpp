// Whole runs in a working folder: section 13, the diagnostics listing "VK/VK_4.txt" and
// the ellipse drawing "VK/VK_4.scr" against the independent solution, and a planted
// blunder named as the likeliest gross error.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <regex>
#include <sstream>

#include "support.hpp"

namespace v4test {
namespace {

TEST(Diagnostics, PlantedBlunderOf20ccIsTheLikeliestGrossError) {
    const std::string kWorst = "    Най-вероятна груба грешка за посоката: ст.";
    // Seed, the first observation to look at, blunder (cc).
    for (const auto& [seed, from, blunder] :
         {std::tuple{121u, 5u, 20.0}, {122u, 20u, -20.0}, {123u, 41u, 20.0}, {124u, 60u, -20.0}}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Network net = grid({.seed = seed, .sigma_R = 2.0, .sigma_D = 0.2, .distance_share = 1.0});
        // The first direction from `from` on whose error shows in its residual (r > 0.4).
        const Reference clean = adjust_reference(net);
        std::size_t k = from;
        while (k < clean.obs.size() && !(clean.obs[k].direction && clean.obs[k].r > 0.4)) ++k;
        ASSERT_LT(k, clean.obs.size());
        const RefObservation target = clean.obs[k];
        int planted = 0;
        for (Sight& w : net.sights)
            if (w.ns == target.ns && w.nt == target.nt && w.R > 0)
                w.R = std::fmod(w.R + blunder / 1e4 + 400.0, 400.0), ++planted;
        ASSERT_EQ(planted, 1);

        Folder f(vk2_bytes(net));
        ASSERT_EQ(f.run(), 0);
        const std::vector<std::string> lines = lines_of(f.vk("VK_4.txt"));
        const std::string expected =
            kWorst + std::to_string(target.ns) + " - т." + std::to_string(target.nt) + ",";
        const auto named =
            std::ranges::find_if(lines, [&](const std::string& l) { return l.starts_with(kWorst); });
        ASSERT_LT(named + 1, lines.end());
        EXPECT_EQ(named->substr(0, expected.size()), expected);
        EXPECT_EQ(named[1], "    |w| е над критичната стойност: проверете измерването.");
    }
}

// One run on a sparse network with weakly controlled sights, new points listed after
// their targets, and earlier diagnostics files under other letter cases in the folder.
TEST(Diagnostics, WholeRunWritesSection13TheListingAndTheDrawing) {
    const Network net = grid({.seed = 131, .rows = 5, .cols = 5, .reverse_new = true, .sparse = true});
    const Reference ref = adjust_reference(net);
    Folder f(vk2_bytes(net));
    f.write("VK/vk_4.txt", "earlier listing\r\n");
    f.write("VK/VK_4.SCR", "earlier drawing\r\n");
    ASSERT_EQ(f.run(), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.root / "VK"), {}), 3);

    // The work files hold their used records and five more.
    const std::size_t n = net.approx.size(), u = 2 * n;
    EXPECT_EQ(std::filesystem::file_size(f.temp("N_matrix.tmp")), ((u + 1) * (u + 2) / 2 + 5) * 8);
    for (const char* name : {"dx.tmp", "Q_row.tmp", "Q_main.tmp"})
        EXPECT_EQ(std::filesystem::file_size(f.temp(name)), (u + 5) * 4) << name;

    // Section 13's coordinates and mean errors as printed, against the independent solution.
    const std::vector<std::string> report = lines_of(f.added());
    ASSERT_GE(report.size(), n);
    std::map<int, std::pair<std::string, std::string>> section13;  // number: mx, my as printed
    for (std::size_t k = 0; k < n; ++k) {
        std::istringstream in(report[report.size() - n + k]);
        int no;
        double x, y;
        std::string mx, my;
        in >> no >> x >> mx >> y >> my;
        ASSERT_FALSE(in.fail()) << report[report.size() - n + k];
        EXPECT_EQ(no, net.approx[k].no);
        EXPECT_NEAR(x, ref.x[k] + net.xo, 0.00015) << "x of " << no;  // 0.1 mm and the printed 0.05 mm
        EXPECT_NEAR(y, ref.y[k] + net.yo, 0.00015) << "y of " << no;
        EXPECT_NEAR(std::stod(mx), ref.mx[k], 0.02 * ref.mx[k] + 0.005) << "mx of " << no;
        EXPECT_NEAR(std::stod(my), ref.my[k], 0.02 * ref.my[k] + 0.005) << "my of " << no;
        section13[no] = {mx, my};
    }

    // The listing: its fixed lines, with the counts of the independent solution.
    const std::string bytes = f.vk("VK_4.txt");
    const std::vector<std::string> lines = lines_of(bytes);
    const int dirs = static_cast<int>(std::ranges::count_if(ref.obs, &RefObservation::direction));
    const int dists = static_cast<int>(ref.obs.size()) - dirs, ui = static_cast<int>(u);
    for (const std::string& expected : {
             std::string("  ДИАГНОСТИКА НА ИЗРАВНЕНИЕТО НА ПЛАНОВА МРЕЖА ПО МНМК"),
             "    Измерени:  - посоки    : " + vk::whole(dirs, 5),
             "               - разстояния: " + vk::whole(dists, 5),
             "     Неизвестни: координати: " + vk::whole(ui, 5),
             "               ориентировки: " + vk::whole(ref.groups, 5),
             "         Степени на свобода: " + vk::whole(dirs + dists - ui - ref.groups, 5),
             std::string("    *  - |w| над критичната стойност 3.29: възможна груба грешка."),
             std::string("    !  - r под 0.10: слабо контролирано измерване."),
             std::string("    Станция   Точка   Вид            v           r        w"),
             std::string("   Номер   mx[см]  my[см]    a[см]   b[см] посока a[гр]  mp[см]"),
         })
        EXPECT_NE(bytes.find(vk::to_cp1251(expected) + "\r\n"), std::string::npos) << expected;

    // A row per observation: station, target, kind, v with its unit, r, w and the flags,
    // * for |w| above 3.29 and ! for r below 0.1 (judged on the printed values, away from
    // the rounding at the limits); no w for a residual that no other observation checks.
    const std::regex row(
        R"( +(\d+) +(\d+)   (посока|страна) +(-?\d+\.\d+) (сс|см)\. +(\d\.\d{3}) +(-?\d+\.\d\d|-)( .*)?)");
    const std::regex point(
        R"( +(\d+) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d) +(\d+\.\d\d))");
    int rows = 0, weak = 0;
    std::map<int, std::pair<std::string, std::string>> listed;  // number: mx, my
    std::map<int, std::vector<double>> ellipse;                 // number: mx, my, a, b, theta, mp
    std::smatch m;
    for (const std::string& l : lines) {
        if (std::regex_match(l, m, point)) {
            listed[std::stoi(m[1])] = {m[2], m[3]};
            for (int i = 2; i <= 7; ++i) ellipse[std::stoi(m[1])].push_back(std::stod(m[i]));
        }
        if (!std::regex_match(l, m, row)) continue;
        ++rows;
        const double r = std::stod(m[6]);
        const std::string w = m[7], flags = m[8];
        const double aw = w == "-" ? 0 : std::fabs(std::stod(w));
        EXPECT_TRUE(aw == 3.29 || (flags.find('*') != std::string::npos) == (aw > 3.29)) << l;
        EXPECT_TRUE(r == 0.1 || (flags.find('!') != std::string::npos) == (r < 0.1)) << l;
        EXPECT_TRUE((r > 0 && r <= 0.001) || (w == "-") == (r == 0)) << l;
        weak += r < 0.1;
    }
    EXPECT_EQ(rows, dirs + dists);
    EXPECT_GT(weak, 0);
    EXPECT_EQ(listed, section13);

    // The magnification is a round number that draws the largest ellipse at about 2 % of
    // the extent (within the step of the 1-2-5 series).
    const std::string said = "    Увеличение на елипсите в чертежа VK/VK_4.scr: ";
    double F = 0;
    for (const std::string& l : lines)
        if (l.starts_with(said)) F = std::stod(l.substr(said.size()));
    const double digit = F / std::pow(10.0, std::floor(std::log10(F) + 1e-9));
    EXPECT_TRUE(digit == 1 || digit == 2 || digit == 5) << F;
    std::vector<double> xs, ys;
    for (const std::vector<Site>* sites : {&net.given, &net.truth})
        for (const Site& p : *sites) xs.push_back(p.x), ys.push_back(p.y);
    const auto [x0, x1] = std::ranges::minmax(xs);
    const auto [y0, y1] = std::ranges::minmax(ys);
    double a_max = 0;
    for (const auto& [no, e] : ellipse) a_max = std::max(a_max, e[2]);
    const double share = F * a_max / 100 / std::max(x1 - x0, y1 - y0);
    EXPECT_GT(share, 0.02 / std::sqrt(2.5));
    EXPECT_LT(share, 0.02 * std::sqrt(2.5));

    // The drawing: the layer, one ellipse per new point about its adjusted position, the
    // axis end at the magnified a in the listed direction, the magnified b; then zoom.
    const std::vector<std::string> scr = lines_of(f.vk("VK_4.scr"));
    ASSERT_EQ(scr.size(), n + 4);
    const std::vector<std::string> frame = {scr[0], scr[1], scr[n + 2], scr[n + 3]};
    EXPECT_EQ(frame, (std::vector<std::string>{"layer s Ellipses", "", "", "zoom e"}));
    const std::regex cmd(
        R"(ellipse c (-?\d+\.\d{4}),(-?\d+\.\d{4}) (-?\d+\.\d{4}),(-?\d+\.\d{4}) (\d+\.\d{4}))");
    for (std::size_t k = 0; k < n; ++k) {
        SCOPED_TRACE(scr[k + 2]);
        ASSERT_TRUE(std::regex_match(scr[k + 2], m, cmd));
        const double E = std::stod(m[1]), N = std::stod(m[2]), Ea = std::stod(m[3]), Na = std::stod(m[4]);
        EXPECT_NEAR(E, ref.y[k] + net.yo, 0.0002);  // metres
        EXPECT_NEAR(N, ref.x[k] + net.xo, 0.0002);
        const std::vector<double>& e = ellipse[net.approx[k].no];
        ASSERT_EQ(e.size(), 6u);
        // Printed to 0.01 cm: the magnified lengths within half a digit, magnified.
        EXPECT_NEAR(std::hypot(Ea - E, Na - N), F * e[2] / 100, F * 0.00005 + 0.0002);
        EXPECT_NEAR(std::stod(m[5]), F * e[3] / 100, F * 0.00005 + 0.0002);
        EXPECT_LT(
            std::fabs(std::remainder(std::atan2(Ea - E, Na - N) * 200 / std::numbers::pi - e[4], 200.0)),
            0.02);  // grads
    }
}

}  // namespace
}  // namespace v4test
