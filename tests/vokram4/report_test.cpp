// Report section 13 as written, the warnings of large absolute terms, and every way the
// module stops.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "support.hpp"

namespace v4test {
namespace {

TEST(Section13, ControlsAndCoordinateLinesAsWritten) {
    vk::ScriptedConsole con;
    vk::v4::Adjustment a(con);
    a.rep = std::make_unique<vk::TextFile>();
    a.xo = 4500000.0, a.yo = 8500000.0;
    a.pts = {{1, 0.0, 0.0}, {17, 123.45678, 456.78901}, {2345, -10.5, 0.00004}};
    a.g = 1, a.u = 4;
    a.pff = 1234.56, a.pvv = 1234.49, a.m0 = 3.456;
    a.vR = {12.34, 17, 2345};
    a.M.create(9);
    a.M[1] = 0.25f, a.M[2] = 1.0f, a.M[3] = 4.0f, a.M[4] = 0.01f;
    vk::v4::zapis(a);
    const std::vector<std::string> expected = {
        "",
        "    Контроли:  pff.  4 =   1234.6   - от редуцирани  уравнения",
        "                 [pvv] =   1234.5   - от уравнения на поправки",
        "",
        "        макс. поправки =     12.3 сс.  за посоката: ст.17 - т.2345",
        "                              0.0 см.  за страната: ст.0 - т.0",
        "",
        "             ср.кв.гр. =      3.46",
        "",
        "",
        "    ПОПРАВЕНИ КООРДИНАТИ И ТЕОРЕТИЧНИТЕ ИМ ТОЧНОСТИ        ",
        "",
        "    Номер      X [м]      mx[см]        Y [м]      my[см]  ",
        "    ------------------------------------------------------ ",
        "      17   4500123.4568    1.73     8500456.7890    3.46",
        "    2345   4499989.5000    6.91     8500000.0000    0.35",
    };
    EXPECT_EQ(a.rep->lines(), expected);
}

TEST(Section13, LargeAbsoluteTermsAreWarnedOfAndTheAdjustmentGoesOn) {
    for (const auto& [dR, dD] :
         {std::pair{0.2, 0.0}, {-0.2, 0.0}, {0.0, -1.5}, {0.0, 1.5}}) {  // grads, metres
        SCOPED_TRACE(std::to_string(dR) + " grads, " + std::to_string(dD) + " m");
        Network net = grid({.seed = 71, .distance_share = 1.0});
        Sight& w = net.sights[7];
        w.R += dR;
        w.D += dD;
        Staged s(net);
        s.adjust();
        vk::v4::zapis(s.a);
        const std::vector<std::string> lines = s.a.rep->lines();
        const std::string where = "  Станция " + vk::whole(w.ns) + " към т. " + vk::whole(w.nt) + "  = ";
        const std::string first = std::string("  Голяма разлика в уравнение на поправка за измерен") +
                                  (dR != 0 ? "а посока." : "о разстояние.");
        const auto at = std::ranges::find(lines, first);
        ASSERT_TRUE(at > lines.begin() && at + 2 < lines.end());
        EXPECT_EQ(at[-1], "");
        ASSERT_EQ(at[1].substr(0, where.size()), where);
        const std::string value = at[1].substr(where.size());
        EXPECT_GT(std::fabs(std::atof(value.c_str())), dR != 0 ? 900.0 : 90.0);
        EXPECT_TRUE(value.ends_with(dR != 0 ? " сс." : " см.")) << value;
        EXPECT_EQ(at[2], "  Търсете груба или систематични грешки.");
        EXPECT_EQ(lines.back().substr(0, 8), vk::whole(net.approx.back().no, 8));
    }
}

// Every way the module ends early: a token of 0 leaves everything as it was; a stop
// ends in order with its reason as the report's last line (or the report untouched);
// a missing, damaged or foreign network file is a file error and leaves the report
// untouched; never a crash or an endless loop. The diagnostics files of an earlier run
// do not outlive a run that does not adjust.
TEST(Stops, EachEndsInOrder) {
    Network many_points, many_sights = one_new_point();
    for (int i = 1; i <= 401; ++i)
        many_points.given.push_back({static_cast<std::uint16_t>(i), 10.0 * i, 5.0});
    while (many_sights.sights.size() <= 1000) many_sights.sights.push_back(many_sights.sights.front());
    auto plus = [](std::vector<Site> fresh, std::vector<Sight> sights) {  // one new point and more
        Network net = one_new_point();
        net.approx.insert(net.approx.end(), fresh.begin(), fresh.end());
        net.sights.insert(net.sights.begin() + 1, sights.begin(), sights.end());
        return vk2_bytes(net);
    };
    const std::string good = vk2_bytes(one_new_point());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        const std::string a = vk::to_cp1251(from);
        return s.replace(s.find(a), a.size(), vk::to_cp1251(to));
    };
    const char* impossible = "     Изравнение на планови координати не е възможно.";
    auto undetermined = [](const char* no) {
        return "    Точка \"" + std::string(no) +
               "\" не се определя от измерванията: изравнението не е възможно.";
    };

    auto small = [](std::vector<Site> fresh, std::vector<Sight> sights) {
        Network net;
        net.given = {{1, 0, 0}, {2, 0, 500}, {3, 400, 200}};
        net.approx = std::move(fresh), net.sights = std::move(sights);
        return vk2_bytes(net);
    };
    struct Case {
        const char* name;
        std::string bytes;   // of the network file; empty: no file
        std::string reason;  // the last line of the report; empty: report untouched
        int status;
        bool guard;  // the capacity message on the console
        int token;
    };
    const int kFound = vk::kFileNotFound, kRead = vk::kReadError, kNumber = vk::kBadNumber;
    const Case cases[] = {
        {"token 0", good, "", 0, false, 0},
        {"401 points", vk2_bytes(many_points), "", 0, true, 1},
        {"1001 measurements", vk2_bytes(many_sights), "", 0, true, 1},
        {"more unknowns than observations", small({{10, 200, 200}}, {{1, 1, 2, 100.0}, {1, 1, 10, 150.0}}),
         impossible, 0, false, 1},
        {"no new point", small({}, {{1, 1, 2, 100.0}, {1, 1, 3, 130.0}, {1, 2, 1, 300.0}, {1, 2, 3, 330.0}}),
         impossible, 0, false, 1},
        {"new point on a single direction", plus({{202, 300.0, 150.0}}, {{1, 101, 202, 321.0, 0.0}}),
         undetermined("202"), 0, false, 1},
        {"new point on a single distance", plus({{202, 300.0, 150.0}}, {{1, 102, 202, 0.0, 512.3}}),
         undetermined("202"), 0, false, 1},
        {"a sight from a point to itself", plus({}, {{1, 201, 201, 12.3456, 0.0}}), undetermined("201"), 0,
         false, 1},
        {"two new points on the same spot",
         plus({{202, 260.0017, 329.9985}}, {{1, 101, 202, 200.0, 180.0}, {1, 202, 201, 100.0, 10.0}}),
         undetermined("201"), 0, false, 1},
        {"no network file", "", "", kFound, false, 1},
        {"file ends before its measurements", good.substr(0, good.find("    ps    ns")), "", kRead, false, 1},
        {"a word where a number belongs", replaced("   101 ", "   1O1 "), "", kNumber, false, 1},
        {"a negative count", replaced("  3 - брой з", " -3 - брой з"), "", kNumber, false, 1},
        {"a point number beyond 65535", replaced("   201 ", " 70201 "), "", kNumber, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f(c.bytes, c.token);
        if (c.bytes.empty()) std::filesystem::remove(f.temp("VK_2.tmp"));
        f.write("VK/vk_4.txt", "earlier listing\r\n");
        f.write("VK/VK_4.SCR", "earlier drawing\r\n");
        EXPECT_EQ(f.run(), c.status);
        EXPECT_EQ(f.con.errors.size(), c.status != 0 ? 1u : 0u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.root / "VK"), {}), c.token ? 1 : 3);
        const bool stopped = c.token != 0 && c.status == 0;
        EXPECT_EQ(f.con.waits, stopped ? 1 : 0);
        EXPECT_TRUE(c.token != 0 ||
                    (f.con.shown.empty() && !std::filesystem::exists(f.temp("N_matrix.tmp"))));
        if (stopped) {
            ASSERT_GE(f.con.shown.size(), 2u);
            const auto &last = f.con.shown.back(), &guard = f.con.shown[f.con.shown.size() - 2];
            EXPECT_TRUE(last.text == "ПРЕКЪСВАНЕ НА ПРОГРАМАТА. " && last.col == 28 && last.row == 20);
            EXPECT_EQ(guard.text == "АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА." && guard.col == 20 && guard.row == 18,
                      c.guard);
        }
        if (c.reason.empty()) {
            EXPECT_EQ(f.report(), Folder::earlier);
        } else {
            const std::vector<std::string> lines = lines_of(f.added());
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back(), c.reason);
        }
    }
}

}  // namespace
}  // namespace v4test
