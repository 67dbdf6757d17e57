// Report section 13, the warnings of large absolute terms, and every way the module
// stops; whole runs in a working folder and single stages in memory.
#include <cstdlib>
#include <sstream>

#include "support.hpp"

namespace v4test {
namespace {

// The lines of a Windows-1251 CR LF text as UTF-8; a lone LF fails the test.
std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "a line end without CR";
        out.push_back(vk::from_cp1251(line));
        start = end + 2;
    }
    return out;
}

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

TEST(Section13, WholeRunAppendsTheSectionInWindows1251) {
    const Network net = one_new_point();
    Folder f(vk2_bytes(net));
    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v4::run(con, f.root), 0);
    const std::string report = f.report();
    ASSERT_EQ(report.substr(0, Folder::earlier.size()), Folder::earlier);
    const std::string head =
        "\r\n\r\n" + vk::to_cp1251(" 13.ИЗРАВНЕНИЕ НА ПЛАНОВА МРЕЖА ПО МНМК") + "\r\n\r\n";
    EXPECT_EQ(f.added().substr(0, head.size()), head);
    const std::vector<std::string> lines = lines_of(f.added());
    // Three given stations, each sighting the two others and the new point; distances
    // only to the new point.
    const std::vector<std::string> counts = {
        "            Зададени точки :     3",
        "    Измерени:  - посоки    :     9",
        "               - разстояния:     3",
        "          Всички измервания:    12",
        "",
        "                 Нови точки:     1",
        "             Ъглови станции:     3",
        "          Всички неизвестни:     5",
        "",
    };
    ASSERT_GE(lines.size(), 4 + counts.size());
    EXPECT_EQ(
        std::vector<std::string>(lines.begin() + 4, lines.begin() + 4 + static_cast<long>(counts.size())),
        counts);
    EXPECT_EQ(lines.back().substr(0, 8), "     201");
    EXPECT_TRUE(con.showed("ИЗРАВНЕНИЕ - ЗАВЪРШЕНО. "));
    EXPECT_EQ(con.waits, 1);
}

// The adjusted coordinates and mean errors as the report prints them, against the
// independent solution.
TEST(Section13, PrintedCoordinatesAndAccuraciesAgreeWithLeastSquares) {
    const Network net = grid({.seed = 61, .rows = 4, .cols = 5, .reverse_new = true});
    const Reference ref = adjust_reference(net);
    Folder f(vk2_bytes(net));
    vk::ScriptedConsole con;
    ASSERT_EQ(vk::v4::run(con, f.root), 0);
    const std::vector<std::string> lines = lines_of(f.added());
    const std::vector<Site> fresh = net.plane_approx();
    ASSERT_GE(lines.size(), fresh.size());
    // The work files hold their used records and five more.
    const std::uintmax_t u = 2 * fresh.size();
    EXPECT_EQ(std::filesystem::file_size(f.temp("N_matrix.tmp")), ((u + 1) * (u + 2) / 2 + 5) * 8);
    for (const char* name : {"dx.tmp", "Q_row.tmp", "Q_main.tmp"})
        EXPECT_EQ(std::filesystem::file_size(f.temp(name)), (u + 5) * 4) << name;
    for (std::size_t k = 0; k < fresh.size(); ++k) {
        std::istringstream in(lines[lines.size() - fresh.size() + k]);
        int no;
        double x, mx, y, my;
        in >> no >> x >> mx >> y >> my;
        ASSERT_FALSE(in.fail()) << lines[lines.size() - fresh.size() + k];
        EXPECT_EQ(no, fresh[k].no);
        EXPECT_NEAR(x, ref.x[k] + net.xo, 0.00015) << "x of " << no;  // 0.1 mm and the printed 0.05 mm
        EXPECT_NEAR(y, ref.y[k] + net.yo, 0.00015) << "y of " << no;
        EXPECT_NEAR(mx, ref.mx[k], 0.02 * ref.mx[k] + 0.005) << "mx of " << no;
        EXPECT_NEAR(my, ref.my[k], 0.02 * ref.my[k] + 0.005) << "my of " << no;
    }
}

TEST(Section13, LargeAbsoluteTermsAreWarnedOfAndTheAdjustmentGoesOn) {
    struct Case {
        const char* name;
        double dR, dD;  // grads, metres added to one measurement
        const char* first;
        const char* unit;
    };
    const Case cases[] = {
        {"direction larger by 2000 cc", 0.2, 0,
         "  Голяма разлика в уравнение на поправка за измерена посока.", " сс."},
        {"direction smaller by 2000 cc", -0.2, 0,
         "  Голяма разлика в уравнение на поправка за измерена посока.", " сс."},
        {"distance shorter by 1.5 m", 0, -1.5,
         "  Голяма разлика в уравнение на поправка за измерено разстояние.", " см."},
        {"distance longer by 1.5 m", 0, 1.5,
         "  Голяма разлика в уравнение на поправка за измерено разстояние.", " см."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Network net = grid({.seed = 71, .distance_share = 1.0});
        Sight& w = net.sights[7];
        w.R += c.dR;
        w.D += c.dD;
        Staged s(net);
        s.adjust();
        vk::v4::zapis(s.a);
        const std::vector<std::string> lines = s.report();
        const std::string where = "  Станция " + vk::whole(w.ns) + " към т. " + vk::whole(w.nt) + "  = ";
        bool found = false;
        for (std::size_t i = 1; i + 2 < lines.size(); ++i) {
            if (lines[i] != c.first) continue;
            found = true;
            EXPECT_EQ(lines[i - 1], "");
            ASSERT_EQ(lines[i + 1].substr(0, where.size()), where);
            const std::string value = lines[i + 1].substr(where.size());
            EXPECT_GT(std::fabs(std::atof(value.c_str())), c.dR != 0 ? 900.0 : 90.0);
            EXPECT_TRUE(value.ends_with(c.unit)) << value;
            EXPECT_EQ(lines[i + 2], "  Търсете груба или систематични грешки.");
        }
        EXPECT_TRUE(found);
        EXPECT_EQ(lines.back().substr(0, 8), vk::whole(net.approx.back().no, 8));
    }
}

// A network the file describes by its lines: given points, new points, sights.
Network small(std::vector<Site> given, std::vector<Site> fresh, std::vector<Sight> sights) {
    Network net;
    net.given = std::move(given);
    net.truth = fresh;
    net.approx = std::move(fresh);
    net.sights = std::move(sights);
    return net;
}

TEST(Stops, EachEndsInOrder) {
    Network many_points;
    for (int i = 1; i <= 401; ++i)
        many_points.given.push_back({static_cast<std::uint16_t>(i), 10.0 * i, 5.0});
    Network many_sights = one_new_point();
    while (many_sights.sights.size() <= 1000) many_sights.sights.push_back(many_sights.sights.front());
    Network single_direction = one_new_point();
    single_direction.approx.push_back({202, 300.0, 150.0});
    single_direction.sights.insert(single_direction.sights.begin() + 1, {1, 101, 202, 321.0, 0.0});
    Network single_distance = one_new_point();
    single_distance.approx.push_back({202, 300.0, 150.0});
    single_distance.sights.push_back({1, 102, 202, 0.0, 512.3});

    struct Case {
        const char* name;
        Network net;
        int token;
        bool guard;          // the capacity message on the console
        const char* reason;  // the last line of the report, nullptr: report untouched
    };
    const Case cases[] = {
        {"token 0", one_new_point(), 0, false, nullptr},
        {"401 points", many_points, 1, true, nullptr},
        {"1001 measurements", many_sights, 1, true, nullptr},
        {"more unknowns than observations",
         small({{1, 0, 0}, {2, 0, 500}, {3, 400, 200}}, {{10, 200, 200}},
               {{1, 1, 2, 100.0, 0}, {1, 1, 10, 150.0, 0}}),
         1, false, "     Изравнение на планови координати не е възможно."},
        {"no new point",
         small({{1, 0, 0}, {2, 0, 500}, {3, 400, 200}}, {},
               {{1, 1, 2, 100.0, 0}, {1, 1, 3, 130.0, 0}, {1, 2, 1, 300.0, 0}, {1, 2, 3, 330.0, 0}}),
         1, false, "     Изравнение на планови координати не е възможно."},
        {"new point on a single direction", single_direction, 1, false,
         "    Точка \"202\" не се определя от измерванията: изравнението не е възможно."},
        {"new point on a single distance", single_distance, 1, false,
         "    Точка \"202\" не се определя от измерванията: изравнението не е възможно."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f(vk2_bytes(c.net), c.token);
        vk::ScriptedConsole con;
        EXPECT_EQ(vk::v4::run(con, f.root), 0);
        if (c.token == 0) {
            EXPECT_TRUE(con.shown.empty());
            EXPECT_EQ(con.waits, 0);
            EXPECT_FALSE(std::filesystem::exists(f.temp("N_matrix.tmp")));
        } else {
            ASSERT_FALSE(con.shown.empty());
            EXPECT_EQ(con.shown.back().text, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА. ");
            EXPECT_EQ(con.shown.back().col, 28);
            EXPECT_EQ(con.shown.back().row, 20);
            EXPECT_EQ(con.waits, 1);
        }
        if (c.guard) {
            ASSERT_GE(con.shown.size(), 2u);
            const auto& g = con.shown[con.shown.size() - 2];
            EXPECT_EQ(g.text, "АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА.");
            EXPECT_EQ(g.col, 20);
            EXPECT_EQ(g.row, 18);
        }
        if (c.reason == nullptr) {
            EXPECT_EQ(f.report(), Folder::earlier);
        } else {
            const std::vector<std::string> lines = lines_of(f.added());
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back(), c.reason);
        }
    }
}

// A damaged or foreign network file ends the module with a file error or an orderly
// stop, never with a crash or an endless loop.
TEST(Stops, DamagedNetworkFiles) {
    const std::string good = vk2_bytes(one_new_point());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        const std::string a = vk::to_cp1251(from), b = vk::to_cp1251(to);
        s.replace(s.find(a), a.size(), b);
        return s;
    };
    Network to_itself = one_new_point();
    to_itself.sights.push_back({1, 201, 201, 12.3456, 0.0});
    Network twin = one_new_point();
    twin.approx.push_back({202, twin.approx[0].x, twin.approx[0].y});
    twin.sights.push_back({1, 101, 202, 200.0, 180.0});
    twin.sights.push_back({1, 202, 201, 100.0, 10.0});
    struct Case {
        const char* name;
        std::string bytes;
        int status;
    };
    const Case cases[] = {
        {"file ends before its measurements", good.substr(0, good.find("    ps    ns")), vk::kReadError},
        {"a word where a number belongs", replaced("   101 ", "   1O1 "), vk::kBadNumber},
        {"a negative count", replaced("         3 - брой зададени", "        -3 - брой зададени"),
         vk::kBadNumber},
        {"a point number beyond 65535", replaced("   201 ", " 70201 "), vk::kBadNumber},
        {"a sight from a point to itself", vk2_bytes(to_itself), 0},
        {"two new points on the same spot", vk2_bytes(twin), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f(c.bytes);
        vk::ScriptedConsole con;
        EXPECT_EQ(vk::v4::run(con, f.root), c.status);
        EXPECT_EQ(con.errors.size(), c.status != 0 ? 1u : 0u);
        // A sight of no length leaves its point undetermined: the orderly stop.
        EXPECT_EQ(con.showed("ПРЕКЪСВАНЕ НА ПРОГРАМАТА. "), c.status == 0);
    }
}

TEST(Stops, MissingNetworkFileIsAFatalFileError) {
    Folder f("");
    std::filesystem::remove(f.temp("VK_2.tmp"));
    vk::ScriptedConsole con;
    EXPECT_EQ(vk::v4::run(con, f.root), vk::kFileNotFound);
    EXPECT_EQ(con.errors.size(), 1u);
    EXPECT_EQ(f.report(), Folder::earlier);
}

}  // namespace
}  // namespace v4test
