// The whole program in a working folder: the picture holds every point of the scripts,
// a real SVG renderer draws it, and the endings without a picture are clear.
#include <cmath>
#include <cstdlib>
#include <set>

#include "support.hpp"
#include "vokram/text.hpp"

namespace vk::plot::test {
namespace {

bool have(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

TEST(Run, PictureHoldsEveryPointOfTheScripts) {
    const Survey s = Survey::example();
    Folder f;
    write_scripts(f, s);
    ScriptedConsole con;
    ASSERT_EQ(run(con, f.root), 0);
    EXPECT_TRUE(con.showed("П Л А Н"));
    EXPECT_TRUE(con.showed("VK/Survey.svg  - ГОТОВ."));
    EXPECT_EQ(con.waits, 1);
    EXPECT_FALSE(std::filesystem::exists(f.root / "VK/Survey.svg.part"));

    std::string why;
    auto svg = parse_xml(f.read("VK/Survey.svg"), why);
    ASSERT_NE(svg, nullptr) << why;
    if (have("xmllint")) {
        EXPECT_EQ(std::system(("xmllint --noout " + quoted(f.root / "VK/Survey.svg")).c_str()), 0);
    }

    // Every number of the names layer, given, new and detail points alike.
    std::set<std::string> names;
    for (const Element* t : svg->layer("2D_Names")->all("text")) names.insert(t->text);
    for (const auto* list : {&s.given, &s.fresh, &s.detail})
        for (const auto& p : *list) EXPECT_TRUE(names.count(std::to_string(p.number))) << p.number;
    EXPECT_EQ(names.size(), s.given.size() + s.fresh.size() + s.detail.size());

    // Every detail point as a dot at its place, measured from given point 101's triangle.
    const Element* points = svg->layer("2D_Points");
    const Element* tri = points->all("polygon").at(0);
    double x0 = 0, y0 = 0;
    {
        std::istringstream in(tri->attr.at("points"));
        double x, y;
        char c;
        for (int k = 0; k < 3 && in >> x >> c >> y; ++k) x0 += x / 3, y0 += y / 3;
    }
    const SurveyPoint& g = s.point(101);
    for (const auto& p : s.detail) {
        const double x = x0 + (p.e - g.e), y = y0 - (p.n - g.n);
        bool found = false;
        for (const Element* c : points->all("circle"))
            found = found || (std::fabs(c->num("cx") - x) < 0.002 && std::fabs(c->num("cy") - y) < 0.002);
        EXPECT_TRUE(found) << "detail point " << p.number;
    }
    EXPECT_EQ(svg->layer("Ellipses")->all("ellipse").size(), s.fresh.size());
    EXPECT_EQ(svg->layer("Measured_R")->all("polyline").size(), s.measured.size());
}

// The sizes of a PNG and the bytes of its compressed image data.
struct Png {
    unsigned width = 0, height = 0;
    std::size_t data = 0;
};
Png png(const std::string& b) {
    Png p;
    if (b.size() < 8 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return p;
    auto u32 = [&](std::size_t at) {
        return (static_cast<unsigned>(static_cast<unsigned char>(b[at])) << 24) |
               (static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 16) |
               (static_cast<unsigned>(static_cast<unsigned char>(b[at + 2])) << 8) |
               static_cast<unsigned>(static_cast<unsigned char>(b[at + 3]));
    };
    for (std::size_t at = 8; at + 8 <= b.size();) {
        const std::size_t len = u32(at);
        const std::string type = b.substr(at + 4, 4);
        if (type == "IHDR") p.width = u32(at + 8), p.height = u32(at + 12);
        if (type == "IDAT") p.data += len;
        at += 12 + len;
    }
    return p;
}

TEST(Run, RendererDrawsThePicture) {
    if (!have("rsvg-convert")) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
    const Survey s = Survey::example();
    Folder f;
    write_scripts(f, s);
    ScriptedConsole con;
    ASSERT_EQ(run(con, f.root), 0);
    std::string why;
    auto svg = parse_xml(f.read("VK/Survey.svg"), why);
    ASSERT_NE(svg, nullptr) << why;
    ASSERT_EQ(std::system(("rsvg-convert -o " + quoted(f.root / "Survey.png") + " " +
                           quoted(f.root / "VK/Survey.svg"))
                              .c_str()),
              0);
    const Png drawn = png(f.read("Survey.png"));
    EXPECT_EQ(drawn.width, static_cast<unsigned>(svg->num("width")));
    EXPECT_EQ(drawn.height, static_cast<unsigned>(svg->num("height")));
    // A blank sheet of the same size compresses to almost nothing; the drawing must not.
    f.write("blank.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + svg->attr.at("width") +
                             "\" height=\"" + svg->attr.at("height") +
                             "\"><rect width=\"100%\" height=\"100%\" " + "fill=\"#ffffff\"/></svg>");
    ASSERT_EQ(
        std::system(
            ("rsvg-convert -o " + quoted(f.root / "blank.png") + " " + quoted(f.root / "blank.svg")).c_str()),
        0);
    const Png blank = png(f.read("blank.png"));
    ASSERT_GT(blank.data, 0u);
    EXPECT_GT(drawn.data, 20 * blank.data);
}

TEST(Run, EndingsWithoutAPicture) {
    {  // no script: nothing to draw is an error the surveyor must see
        Folder f;
        ScriptedConsole con;
        EXPECT_EQ(run(con, f.root), kFileNotFound);
        ASSERT_EQ(con.errors.size(), 1u);
        EXPECT_NE(con.errors[0].find("VK/VK_2.scr"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(f.root / "VK/Survey.svg"));
    }
    {  // scripts without one plane entity
        Folder f;
        f.write("VK/VK_2.scr", "layer s 3D_Points\r\n\r\ninsert tri 1,2,3 0.2  0\r\nregen\r\n");
        f.write("VK/VK_5.scr", "");
        ScriptedConsole con;
        EXPECT_EQ(run(con, f.root), kFileNotFound);
        EXPECT_EQ(con.errors.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(f.root / "VK/Survey.svg"));
    }
    {  // no folder VK/
        Folder f;
        std::filesystem::remove_all(f.root / "VK");
        ScriptedConsole con;
        EXPECT_EQ(run(con, f.root), kFolderNotFound);
        EXPECT_EQ(con.errors.size(), 1u);
    }
}

TEST(Run, NamesInAnyLetterCaseAndDamagedLinesReported) {
    const Survey s = Survey::example();
    Folder f;
    std::filesystem::remove_all(f.root / "VK");
    std::filesystem::create_directories(f.root / "vk");
    // One script only, in other letter cases, with a broken line as its fourth.
    std::string vk5 = s.vk5();
    vk5.insert(vk5.find("line"), "point 8512655.832\r\n");
    f.write("vk/Vk_5.SCR", vk5);
    ScriptedConsole con;
    ASSERT_EQ(run(con, f.root), 0);
    EXPECT_TRUE(con.showed("VK/VK_5.scr  - "));
    EXPECT_TRUE(con.showed("1 повредени реда пропуснати (първи: ред 3)"));
    EXPECT_FALSE(con.showed("VK/VK_2.scr"));
    EXPECT_TRUE(std::filesystem::exists(f.root / "vk/Survey.svg"));
    std::string why;
    EXPECT_NE(parse_xml(f.read("vk/Survey.svg"), why), nullptr) << why;
}

}  // namespace
}  // namespace vk::plot::test
