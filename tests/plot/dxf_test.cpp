// The survey in other programs: "VK/Survey.dxf" opened by GDAL's DXF reader and audited by
// ezdxf, "VK/Points.csv" read as a delimited list; every point where the report puts it.
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>

#include "support.hpp"

namespace vk::plot::test {
namespace {

bool have(const std::string& check) {
    return std::system((check + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(Exchange, DrawingAndPointListHoldEveryPointWhereTheReportPutsIt) {
    const vk::test::Survey s =
        vk::test::grow({.seed = 5, .given = 4, .fresh = 8, .polar_stations = 1, .details = 6});
    Folder f;
    ASSERT_EQ(vk::test::run_chain(f, s, "vokram5", "", true), "");
    ScriptedConsole con;
    ASSERT_EQ(run(con, f.root), 0);
    const vk::test::ReportPoints report = vk::test::read_report(f.lines("VK/Protokol.TXT"));
    // Network coordinates come to 0.1 mm, detail points through their script to 1 mm.
    const auto listed = [&](int no, const std::string& kind) -> std::pair<vk::test::Listed, double> {
        if (kind == "detail") return {report.detail.at(no), 0.0006};
        const vk::test::TruePoint& t = s.truth.at(no);
        if (kind == "given") return {{t.x, t.y, t.h}, 0.00006};
        const vk::test::Listed& a = report.adjusted.at(no);
        return {{a.x, a.y, report.approximate.at(no).h}, 0.00006};
    };

    // The list: its header, then number, kind, x (north), y (east), h, mx, my.
    std::istringstream csv(f.read("VK/Points.csv"));
    std::string row;
    std::getline(csv, row);
    EXPECT_EQ(row, "number,kind,x,y,h,mx,my\r");
    std::map<std::string, int> kinds;
    while (std::getline(csv, row)) {
        std::vector<std::string> v;
        std::istringstream cells(row.substr(0, row.size() - 1));
        for (std::string c; std::getline(cells, c, ',');) v.push_back(c);
        ASSERT_GE(v.size(), 5u) << row;
        const auto [p, tol] = listed(std::stoi(v[0]), v[1]);
        EXPECT_NEAR(std::stod(v[2]), p.x, tol) << row;
        EXPECT_NEAR(std::stod(v[3]), p.y, tol) << row;
        EXPECT_NEAR(std::stod(v[4]), p.h, 0.0006) << row;
        EXPECT_EQ(v.size() == 7, v[1] == "new") << row;  // mean errors of the adjusted points only
        ++kinds[v[1]];
    }
    const int given = static_cast<int>(s.of_kind(true).size()),
              details = static_cast<int>(s.details().size());
    EXPECT_EQ(kinds, (std::map<std::string, int>{{"given", given},
                                                 {"new", static_cast<int>(s.truth.size()) - given - details},
                                                 {"detail", details}}));

    if (!have("command -v ogrinfo")) GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    const vk::test::Ran info = vk::test::run_command(f.root, "ogrinfo -ro -al -q VK/Survey.dxf");
    ASSERT_EQ(info.status, 0) << info.err;
    // Each feature: "Layer (String) = NAME", later its geometry, "POINT Z (E N H)" for a point.
    std::set<std::string> layers;
    std::map<std::string, int> points;
    std::string layer, line;
    std::istringstream out(info.out);
    while (std::getline(out, line)) {
        if (const auto at = line.find("Layer (String) = "); at != std::string::npos)
            layers.insert(layer = line.substr(at + 17));
        double e, n, h;
        // Texts come as points too, on their own layers.
        if (!layer.ends_with("_POINTS") ||
            std::sscanf(line.c_str(), "  POINT Z (%lf %lf %lf)", &e, &n, &h) != 3)
            continue;
        ++points[layer];
        bool found = false;
        for (const auto& [no, t] : s.truth) {
            const std::string kind = layer == "GIVEN_POINTS" ? "given"
                                     : layer == "NEW_POINTS" ? "new"
                                                             : "detail";
            if ((kind == "given") != (t.kind != 0) ||
                (kind == "detail") != static_cast<bool>(std::ranges::count(s.details(), no)))
                continue;
            const auto [p, tol] = listed(no, kind);
            found = found ||
                    (std::fabs(n - p.x) < tol && std::fabs(e - p.y) < tol && std::fabs(h - p.h) < 0.0006);
        }
        EXPECT_TRUE(found) << layer << ": " << line;
    }
    EXPECT_EQ(points, (std::map<std::string, int>{{"GIVEN_POINTS", kinds["given"]},
                                                  {"NEW_POINTS", kinds["new"]},
                                                  {"DETAIL_POINTS", kinds["detail"]}}));
    layers.erase("LEADER_LINES");  // when a text hangs away from its point
    EXPECT_EQ(layers, (std::set<std::string>{
                          "GIVEN_POINTS", "NEW_POINTS", "DETAIL_POINTS", "POINT_NUMBERS", "POINT_HEIGHTS",
                          "MEASURED_DIRECTIONS", "MEASURED_DISTANCES", "POLAR_SIGHTS",
                          "ERROR_ELLIPSES_X" +
                              whole(static_cast<long long>(stated_magnification(f.read("VK/VK_4.txt"))))}));

    // Debian's python3-ezdxf belongs to the system's Python, which another one may shadow.
    std::string python;
    for (const char* p : {"python3", "/usr/bin/python3"})
        if (python.empty() && have(std::string(p) + " -c 'import ezdxf'")) python = p;
    if (python.empty()) GTEST_SKIP() << "ezdxf (python3-ezdxf) is not installed";
    const vk::test::Ran audit = vk::test::run_command(
        f.root, python +
                    " -c \"import ezdxf, sys; a = ezdxf.readfile('VK/Survey.dxf').audit(); "
                    "[print(e.message) for e in a.errors + a.fixes]; sys.exit(1 if a.has_errors or "
                    "a.has_fixes else 0)\"");
    EXPECT_EQ(audit.status, 0) << audit.out << audit.err;
}

}  // namespace
}  // namespace vk::plot::test
