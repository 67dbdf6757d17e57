// The whole module in a working folder: a survey built from known true coordinates
// must come back as true direction angles, zenith angles and distances.
#include "fixture.hpp"

namespace vk::v1::test {
namespace {

// One measurement row of "Temp/VK_1.tmp".
struct FileRow {
    int ps, ns, hs, nt, ht;
    double R, V, S, D;
};

// Reads the rows of a network file by its counts, as vokram2 does.
std::vector<FileRow> read_rows(const std::string& bytes, double& x0, double& y0) {
    NumberReader r(bytes, "Temp/VK_1.tmp");
    r.skip_lines(4);
    x0 = r.number();
    y0 = r.number();
    r.skip_line();
    r.skip_line();
    const int g = static_cast<int>(r.number());
    r.skip_lines(4);
    for (int i = 0; i < g; ++i) r.skip_line();
    r.skip_lines(2);
    r.skip_line();
    r.skip_line();
    const int fresh = static_cast<int>(r.number());
    r.skip_line();
    for (int i = 0; i < fresh; ++i) r.number();
    r.skip_line();
    r.skip_line();
    const int m = static_cast<int>(r.number());
    r.skip_lines(4);
    std::vector<FileRow> rows(m);
    for (auto& w : rows) {
        w.ps = static_cast<int>(r.number()), w.ns = static_cast<int>(r.number()),
        w.hs = static_cast<int>(r.number());
        w.nt = static_cast<int>(r.number()), w.ht = static_cast<int>(r.number());
        w.R = r.number(), w.V = r.number(), w.S = r.number(), w.D = r.number();
        r.skip_line();
    }
    return rows;
}

GeoBuilder network() {
    GeoBuilder b;
    b.point(101, 4567891.234, 8512345.678, 512.346);
    b.point(102, 4568412.871, 8512198.402, 527.118);
    b.point(103, 4568307.519, 8512912.655, 534.902);
    b.point(104, 4567802.144, 8512861.337, 515.804);
    b.point(501, 4568120.000, 8512560.000, 519.874);
    b.point(1, 4568010.512, 8512471.903, 518.227);
    b.point(2, 4568155.377, 8512389.114, 521.660);
    b.point(3, 4568231.096, 8512566.845, 526.031);
    b.point(4, 4568102.650, 8512702.318, 523.415);
    return b;
}

TEST(Module, SurveyFromTrueCoordinatesComesBackTrue) {
    GeoBuilder b = network();
    b.index_error = 0.0012;
    b.given(-3, {101, 102, 103}).given(-2, {104}).given(-1, {501});
    b.station(101, 1.562, {{102, 1.8, true}, {1, 1.5, true}, {2, 1.5, true}, {104, 1.3, true}}, 37.4521);
    b.station(101, 1.562, {{102, 1.8, true}, {1, 1.5, true}}, 137.0);                  // a second set
    b.station(2, 1.530, {{1, 1.5, true}, {3, 1.5, true}, {101, 1.8, true}}, 155.521);  // a new station
    b.station(2, 1.530, {{3, 1.5}, {4, 1.5, false, true, true}}, 311.2);               // its second record
    b.station(103, 1.515, {{3, 1.5, false, true, true}, {4, 1.5}, {102, 1.8}}, 305.7711);  // single sights
    b.station(104, 1.45, {{101, 1.3, true, false}, {4, 1.5, true}}, 12.8806);
    b.station(3, 1.5, {{501, 1.5, true}}, 10.0);  // a sight to a benchmark with no plane position
    Folder f;
    f.write("VK/Geo_Data.txt", b.text());
    // The index correction removes the index error from the single sights.
    std::string params;
    for (const auto& l : default_parameter_lines()) params += to_cp1251(l) + "\r\n";
    params.replace(params.find("   0.0000  "), 11, "  -0.0012  ");
    f.write("P.txt", params);
    ScriptedConsole con;
    ASSERT_EQ(run(con, f.root), 0);
    ASSERT_EQ(f.read("Temp/Key.tmp"), "1\r\n") << from_cp1251(f.read("VK/Protokol.TXT"));
    EXPECT_TRUE(con.showed("КООРДИНАТИ И ИЗМЕРВАНИЯ  - ПРИЕТИ. "));
    EXPECT_EQ(con.waits, 1);

    double x0, y0;
    const auto rows = read_rows(f.read("Temp/VK_1.tmp"), x0, y0);
    EXPECT_EQ(x0, 4567790.0);
    EXPECT_EQ(y0, 8512180.0);
    std::map<int, double> series_offset;
    int oriented = 0;
    for (const FileRow& w : rows) {
        double R, V, Sd;
        b.observe(w.ns, w.hs / 1000.0, w.nt, w.ht / 1000.0, R, V, Sd);
        const std::string sight = std::to_string(w.ns) + " -> " + std::to_string(w.nt);
        if (w.R > 0) {
            if (w.ps == 0) {
                ++oriented;
                EXPECT_NEAR(ina(w.R, R), 0.0, 0.6e-5) << sight;  // printed to 0.1 cc
            } else {
                // Raw readings of one frame share one offset from the direction angles.
                auto [it, fresh] = series_offset.emplace(w.ps, rang(R - w.R));
                if (!fresh) {
                    EXPECT_NEAR(ina(rang(R - w.R), it->second), 0.0, 1e-5) << sight;
                }
            }
        }
        const double D = std::hypot(b.truth[w.nt].x - b.truth[w.ns].x, b.truth[w.nt].y - b.truth[w.ns].y);
        EXPECT_NEAR(w.V, w.V > 0 ? V : 0.0, 0.6e-5) << sight;
        EXPECT_NEAR(w.S, w.S > 0 ? Sd : 0.0, 0.6e-4) << sight;
        EXPECT_NEAR(w.D, w.D > 0 ? D : 0.0, 1e-4) << sight;
    }
    EXPECT_GT(oriented, 10);
    EXPECT_EQ(series_offset.size(), 2u);  // station 2's records joined into one frame; station 3's own
    const auto report = f.lines("VK/Protokol.TXT");
    EXPECT_EQ(report[1], "                        * * *    В О К Р А М   * * *");
    EXPECT_EQ(report.back(), "");
    EXPECT_EQ(report[report.size() - 2], "              Нови точки :     4");
    // Twelve zenith pairs with an index error of 12 cc.
    EXPECT_NE(
        std::find(report.begin(), report.end(), "    Средна индексна грешка : 12.0 сс. от 12 измервания."),
        report.end());
}

TEST(Module, StopLeavesTheTokenAtZeroAndTheReasonLast) {
    Folder f;
    f.write("Temp/Key.tmp", "1\r\n");
    f.write("VK/Geo_Data.txt", "h\nh\nh\n1 10 20 -2 1 30 40 -2\n");
    ScriptedConsole con;
    EXPECT_EQ(run(con, f.root), 0);
    EXPECT_EQ(f.read("Temp/Key.tmp"), "0\r\n");
    EXPECT_EQ(f.lines("VK/Protokol.TXT").back(), "  Дадени точки с еднакъв номер \"1\".");
    EXPECT_TRUE(con.showed("ПРЕКЪСВАНЕ НА ПРОГРАМАТА ..."));
    EXPECT_FALSE(std::filesystem::exists(f.root / "Temp/VK_1.tmp"));
}

TEST(Module, MissingDataFileIsReportedOnTheConsole) {
    Folder f;
    ScriptedConsole con;
    EXPECT_EQ(run(con, f.root), 0);
    EXPECT_TRUE(con.showed("ЛИПСВА ФАЙЛ  VK/Geo_Data.txt"));
    EXPECT_EQ(f.read("Temp/Key.tmp"), "0\r\n");
    EXPECT_EQ(f.lines("VK/Protokol.TXT").back(), "");
}

TEST(Module, ParameterFileIsCreatedWithDefaultsAndReadWhenPresent) {
    Folder f;
    f.write("VK/Geo_Data.txt", "h\nh\nh\n1 1000 1000 -2 2 1000 1100 -2\n1 1.5 2 1.5 10 100 100 -4\n");
    ScriptedConsole con;
    ASSERT_EQ(run(con, f.root), 0);
    std::string expected;
    for (const auto& l : default_parameter_lines()) expected += to_cp1251(l) + "\r\n";
    EXPECT_EQ(f.read("P.txt"), expected);
    // A file with other values is read; the report and the network file show them.
    std::string edited = expected;
    edited.replace(edited.find("   0.106 "), 9, "   0.130 ");
    f.write("P.txt", edited);
    ASSERT_EQ(run(con, f.root), 0);
    EXPECT_EQ(f.lines("VK/Protokol.TXT")[10], "            Коефициент на рефракция              0.130");
    f.write("P.txt", "garbage\n");
    EXPECT_EQ(run(con, f.root), kReadError);
}

}  // namespace
}  // namespace vk::v1::test
