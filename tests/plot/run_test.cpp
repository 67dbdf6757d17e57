// The whole program in a working folder: the picture holds every point of the scripts,
// a real SVG renderer draws it, and the endings without a picture are clear.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "support.hpp"
#include "support/cases.hpp"

namespace vk::plot::test {
namespace {

using vk::test::PrintTo;

bool have(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs `program` on the files, each quoted for the shell.
int shell(std::string program, const std::vector<std::filesystem::path>& files) {
    for (const auto& p : files) program += " '" + p.string() + "'";
    return std::system(program.c_str());
}

// Runs the program on the scripts of the chain; the picture or nullptr.
std::unique_ptr<Element> run_chain_scripts(const Folder& f) {
    for (const auto& [name, bytes] : chain_scripts().files) f.write(name, bytes);
    ScriptedConsole con;
    EXPECT_EQ(run(con, f.root), 0);
    EXPECT_TRUE(con.showed("VK/Survey.svg  - ГОТОВ."));
    std::string why;
    auto svg = parse_xml(f.read("VK/Survey.svg"), why);
    EXPECT_NE(svg, nullptr) << why;
    return svg;
}

// Every point of the survey is drawn where it lies from the first given point, east to
// the right and north up, with its number; each new point has its ellipse.
TEST(Run, PictureHoldsEveryPointOfTheScripts) {
    const vk::test::Survey& s = chain_scripts().survey;
    Folder f;
    auto svg = run_chain_scripts(f);
    ASSERT_NE(svg, nullptr);
    if (have("xmllint")) {
        EXPECT_EQ(shell("xmllint --noout", {f.root / "VK/Survey.svg"}), 0);
    }
    std::set<std::string> names;
    for (const Element* t : svg->child("inkscape:label", "2D_Names")->all("text")) names.insert(t->text);
    EXPECT_EQ(names.size(), s.truth.size());
    const Element* points = svg->child("inkscape:label", "2D_Points");
    const auto [x0, y0] = centre(*points->all("polygon").at(0));
    const vk::test::TruePoint& first =
        s.truth.begin()->second.kind ? s.truth.begin()->second : s.truth.at(9001);
    for (const auto& [no, p] : s.truth) {
        EXPECT_TRUE(names.count(std::to_string(no))) << no;
        const double x = x0 + (p.y - first.y), y = y0 - (p.x - first.x);
        bool found = false;
        for (const char* shape : {"circle", "polygon"})
            for (const Element* c : points->all(shape)) {
                const auto [cx, cy] = centre(*c);
                found = found || (std::fabs(cx - x) < 0.002 && std::fabs(cy - y) < 0.002);
            }
        EXPECT_TRUE(found) << "point " << no;
    }
    EXPECT_EQ(svg->child("inkscape:label", "Ellipses")->all("ellipse").size(), s.of_kind(false).size());
}

// Clusters of 25 and 60 detail points around each of three polar stations, on A3 and A4:
// every point number and height shown stands clear of the other texts, of the point
// symbols and of the leader lines, inside the map frame; every network point shows its
// number; a text left out is counted on the sheet. A text's box comes from DejaVu Sans:
// a digit advances 0.696 of the size in bold (numbers) and 0.636 in italic (heights), a
// point 0.380 and 0.318; digits rise 0.73 of the size, descenders reach 0.24 below.
struct Cluster {
    const char* behaviour;
    unsigned seed;
    int details;
    Page page;
};
const Cluster kClusters[] = {{"25 detail points a station on A3", 1, 25, Page::A3},
                             {"60 detail points a station on A3", 2, 60, Page::A3},
                             {"60 detail points a station on A4", 3, 60, Page::A4},
                             {"25 detail points a station on A4", 4, 25, Page::A4}};

class TextsStandClear : public ::testing::TestWithParam<Cluster> {};

TEST_P(TextsStandClear, InDenseClusters) {
    const Cluster& c = GetParam();
    Folder f;
    const vk::test::Survey s = vk::test::grow(
        {.seed = c.seed, .given = 4, .fresh = 20, .polar_stations = 3, .details = c.details, .spacing = 25});
    ASSERT_EQ(vk::test::run_chain(f, s), "");
    ScriptedConsole con;
    ASSERT_EQ(run(con, f.root, {.page = c.page}), 0);
    std::string why;
    const auto svg = parse_xml(f.read("VK/Survey.svg"), why);
    ASSERT_NE(svg, nullptr) << why;
    std::vector<std::pair<std::string, std::array<double, 4>>> texts;
    std::vector<std::array<double, 4>> leaders;  // x0, y0, x1, y1
    std::set<std::string> numbers;
    for (const bool bold : {true, false}) {
        const Element* layer = svg->child("inkscape:label", bold ? "2D_Names" : "2D_Altitudes");
        for (const Element* t : layer->all("text")) {
            const double size = t->num("font-size"), x = t->num("x"), y = t->num("y");
            double w = 0;
            for (char ch : t->text) w += (ch == '.' ? 0.318 : 0.636) + (bold ? 0.06 : 0);
            texts.push_back({t->text, {x, y - 0.73 * size, x + w * size, y + 0.24 * size}});
            if (bold) numbers.insert(t->text);
        }
        for (const Element* l : layer->all("path")) {
            std::array<double, 4> seg;
            ASSERT_EQ(
                std::sscanf(l->attr.at("d").c_str(), "M%lf %lfL%lf %lf", &seg[0], &seg[1], &seg[2], &seg[3]),
                4);
            leaders.push_back(seg);
        }
    }
    for (const int no : s.of_kind(true)) EXPECT_TRUE(numbers.count(std::to_string(no))) << no;
    for (const int no : s.of_kind(false)) EXPECT_TRUE(numbers.count(std::to_string(no))) << no;
    // Every point has a number and a height; those not shown are counted on the sheet.
    const std::size_t all = 2 * s.truth.size();
    const Element* note = svg->child("id", "thinned");
    if (texts.size() < all) {
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->all("text").at(0)->text,
                  "НЕ СЕ ПОБРАХА " + std::to_string(all - texts.size()) + " НАДПИСА:");
    } else {
        EXPECT_EQ(note, nullptr);
    }
    const Element* frame = svg->child("id", "frame");
    const double fx = frame->num("x"), fy = frame->num("y");
    const double fx1 = fx + frame->num("width"), fy1 = fy + frame->num("height");
    std::vector<std::array<double, 3>> symbols;  // the triangles by their circumcircles
    for (const char* shape : {"circle", "polygon"})
        for (const Element* e : svg->child("inkscape:label", "2D_Points")->all(shape)) {
            const auto [cx, cy] = centre(*e);
            double r = 0, vx, vy;
            if (e->attr.count("r"))
                r = e->num("r");
            else if (std::sscanf(e->attr.at("points").c_str(), "%lf,%lf", &vx, &vy) == 2)
                r = std::hypot(vx - cx, vy - cy);
            symbols.push_back({cx, cy, r});
        }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto& [text, b] = texts[i];
        EXPECT_TRUE(fx <= b[0] && b[2] <= fx1 && fy <= b[1] && b[3] <= fy1) << text << " beyond the frame";
        for (std::size_t j = i + 1; j < texts.size(); ++j) {
            const auto& o = texts[j].second;
            EXPECT_FALSE(b[0] < o[2] && o[0] < b[2] && b[1] < o[3] && o[1] < b[3])
                << text << " on " << texts[j].first;
        }
        for (const auto& [cx, cy, r] : symbols)
            EXPECT_GE(std::hypot(std::clamp(cx, b[0], b[2]) - cx, std::clamp(cy, b[1], b[3]) - cy), r)
                << text << " on a point symbol";
        // Points every 0.05 along each leader, none inside the box shrunk by the rounding
        // of the file (a text's own leader ends on its box).
        for (const auto& l : leaders) {
            const int n = 1 + static_cast<int>(std::hypot(l[2] - l[0], l[3] - l[1]) / 0.05);
            bool hit = false;
            for (int k = 0; k <= n && !hit; ++k) {
                const double x = l[0] + (l[2] - l[0]) * k / n, y = l[1] + (l[3] - l[1]) * k / n;
                hit = b[0] + 0.01 < x && x < b[2] - 0.01 && b[1] + 0.01 < y && y < b[3] - 0.01;
            }
            EXPECT_FALSE(hit) << text << " on a leader line";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Run, TextsStandClear, ::testing::ValuesIn(kClusters), vk::test::ByBehaviour());

// The sizes of a PNG and the bytes of its compressed image data.
struct Png {
    unsigned width = 0, height = 0;
    std::size_t data = 0;
};
Png png(const std::string& b) {
    Png p;
    auto u32 = [&](std::size_t at) {
        unsigned v = 0;
        for (std::size_t k = at; k < at + 4; ++k) v = v << 8 | static_cast<unsigned char>(b[k]);
        return v;
    };
    if (b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return p;
    for (std::size_t at = 8; at + 16 <= b.size(); at += 12 + u32(at)) {
        if (b.compare(at + 4, 4, "IHDR") == 0) p.width = u32(at + 8), p.height = u32(at + 12);
        if (b.compare(at + 4, 4, "IDAT") == 0) p.data += u32(at);
    }
    return p;
}

TEST(Run, RendererDrawsThePicture) {
    if (!have("rsvg-convert")) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
    Folder f;
    auto svg = run_chain_scripts(f);
    ASSERT_NE(svg, nullptr);
    ASSERT_EQ(shell("rsvg-convert -o", {f.root / "Survey.png", f.root / "VK/Survey.svg"}), 0);
    const Png drawn = png(f.read("Survey.png"));
    // The sheet's millimetres at the renderer's 96 pixels to the inch.
    EXPECT_NEAR(drawn.width, svg->num("width") / 25.4 * 96, 1);
    EXPECT_NEAR(drawn.height, svg->num("height") / 25.4 * 96, 1);
    // A blank sheet of the same size compresses to almost nothing; the drawing must not.
    f.write("blank.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + svg->attr.at("width") +
                             "\" height=\"" + svg->attr.at("height") +
                             "\"><rect width=\"100%\" height=\"100%\" " + "fill=\"#ffffff\"/></svg>");
    ASSERT_EQ(shell("rsvg-convert -o", {f.root / "blank.png", f.root / "blank.svg"}), 0);
    const Png blank = png(f.read("blank.png"));
    ASSERT_GT(blank.data, 0u);
    EXPECT_GT(drawn.data, 10 * blank.data);
    // Asked for, the same sheet as PDF.
    ScriptedConsole con;
    EXPECT_EQ(run(con, f.root, {.pdf = true}), 0);
    EXPECT_EQ(f.read("VK/Survey.pdf").substr(0, 5), "%PDF-");
}

struct Ending {
    const char* behaviour;
    std::vector<std::pair<std::string, std::string>> files;  // "" as content: a folder
    int code;
    const char* shown;
};
const Ending kEndings[] = {
    {"no script", {}, kFileNotFound, "липсват чертежите VK/VK_2.scr, VK/VK_4.scr и VK/VK_5.scr"},
    {"only the 3D model",
     {{"VK/VK_2.scr", "layer s 3D_Points\r\n\r\ninsert tri 1,2,3 0.2  0\r\n"}, {"VK/VK_5.scr", "x"}},
     kFileNotFound,
     "в чертежите няма обекти в план"},
    {"no folder VK", {{"VK", ""}}, kFolderNotFound, "VK/: папката не съществува"},
    {"other letter cases, a broken third line",
     {{"VK", ""},
      {"vk", ""},
      {"vk/Vk_5.SCR", "layer s 2D_Points\r\n\r\npoint 1,\r\npoint 1,2\r\npoint 5,5\r\n"}},
     0,
     "пропуснати повредени редове: 1 (първият - ред 3)"},
};

class EndingsAndFolderNames : public ::testing::TestWithParam<Ending> {};

TEST_P(EndingsAndFolderNames, AreClear) {
    const Ending& c = GetParam();
    Folder f;
    for (const auto& [name, bytes] : c.files) {
        if (!bytes.empty())
            f.write(name, bytes);
        else if (std::filesystem::exists(f.root / name))
            std::filesystem::remove_all(f.root / name);
        else
            std::filesystem::create_directory(f.root / name);
    }
    ScriptedConsole con;
    EXPECT_EQ(run(con, f.root), c.code);
    EXPECT_TRUE(con.showed(c.shown) ||
                (!con.errors.empty() && con.errors[0].find(c.shown) != std::string::npos));
    const bool drawn = std::filesystem::exists(f.root / "vk/Survey.svg") ||
                       std::filesystem::exists(f.root / "VK/Survey.svg");
    EXPECT_EQ(drawn, c.code == 0);
}

INSTANTIATE_TEST_SUITE_P(Run, EndingsAndFolderNames, ::testing::ValuesIn(kEndings), vk::test::ByBehaviour());

}  // namespace
}  // namespace vk::plot::test
