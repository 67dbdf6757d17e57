// The picture of a plan: positions (easting to the right, northing up, no distortion),
// texts, ellipses, the scale bar and the layers.
#include <cmath>
#include <numbers>
#include <set>

#include "support.hpp"
#include "support/cases.hpp"

namespace vk::plot::test {
namespace {

using vk::test::PrintTo;

std::unique_ptr<Element> picture_on(const Drawing& d, Page page) {
    std::string why;
    auto svg = parse_xml(render_svg(d, page), why);
    EXPECT_NE(svg, nullptr) << why;
    return svg;
}
std::unique_ptr<Element> picture(const Drawing& d) {
    return picture_on(d, Page::A3);
}

TEST(Picture, PlanPositionsTextsAndEllipses) {
    // A given point; a new point 300 m east and 400 m north of it with a number above
    // right and a height below right (as the scripts place them, 0.2 m texts) and an
    // ellipse of semi-axes 20 m towards north-east and 8 m; a detail point 100 m west
    // and 50 m south of the given point.
    Drawing d;
    d.layer("2D_Points").symbols = {{{5000, 7000}, "tri"}, {{5300, 7400}, "cir"}};
    d.layer("2D_Points").dots = {{4900, 6950}};
    d.layer("2D_Names").labels = {{{5300.16, 7400.1}, 0.2, 0, "<7 & \"8\">"}};
    d.layer("2D_Altitudes").labels = {{{5300.16, 7399.8}, 0.2, 0, "512.35"}};
    const double half = 20 / std::numbers::sqrt2;
    d.layer("Ellipses").ellipses = {{{5300, 7400}, {5300 + half, 7400 + half}, 8}};
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);

    const Element* points = svg->child("inkscape:label", "2D_Points");
    ASSERT_NE(points, nullptr);
    const auto circles = points->all("circle");  // the triangle's dot, the new point, its dot, the detail
    ASSERT_EQ(circles.size(), 4u);
    const auto [xa, ya] = centre(*points->all("polygon").at(0));
    const auto [xb, yb] = centre(*circles[1]);
    const auto [xc, yc] = centre(*circles[3]);
    EXPECT_NEAR(xb - xa, 300, 0.002);   // picture units are metres: east is +x ...
    EXPECT_NEAR(yb - ya, -400, 0.002);  // ... and north is -y
    EXPECT_NEAR(xc - xa, -100, 0.002);
    EXPECT_NEAR(yc - ya, 50, 0.002);

    const Element* frame = svg->child("id", "frame");
    ASSERT_NE(frame, nullptr);
    for (auto [x, y] : {std::pair{xa, ya}, std::pair{xb, yb}, std::pair{xc, yc}}) {
        EXPECT_GT(x, frame->num("x"));
        EXPECT_LT(x, frame->num("x") + frame->num("width"));
        EXPECT_GT(y, frame->num("y"));
        EXPECT_LT(y, frame->num("y") + frame->num("height"));
    }
    double vx, vy, vw, vh;
    std::istringstream(svg->attr.at("viewBox")) >> vx >> vy >> vw >> vh;
    EXPECT_LE(frame->num("x") + frame->num("width"), vw);
    EXPECT_NEAR(svg->num("width") / svg->num("height"), vw / vh, 0.01);

    const Element* name = svg->child("inkscape:label", "2D_Names")->all("text").at(0);
    const Element* height = svg->child("inkscape:label", "2D_Altitudes")->all("text").at(0);
    EXPECT_EQ(name->text, "<7 & \"8\">");
    EXPECT_GT(name->num("x"), xb);
    EXPECT_LT(name->num("y"), yb);
    EXPECT_GT(height->num("x"), xb);
    EXPECT_GT(height->num("y"), yb);
    // Readable at the extent of 500 m: about a hundredth of it, not the CAD's 0.2 m.
    EXPECT_GT(name->num("font-size"), 500.0 / 200);
    EXPECT_LT(name->num("font-size"), 500.0 / 30);

    const Element* e = svg->child("inkscape:label", "Ellipses")->all("ellipse").at(0);
    EXPECT_NEAR(e->num("rx"), 20, 0.001);
    EXPECT_NEAR(e->num("ry"), 8, 0.001);
    EXPECT_NEAR(e->num("cx"), xb, 0.001);
    EXPECT_NEAR(e->num("cy"), yb, 0.001);
    double angle = 0;  // rotate(angle cx cy): the first axis must point up and to the right
    ASSERT_EQ(std::sscanf(e->attr.at("transform").c_str(), "rotate(%lf", &angle), 1);
    EXPECT_NEAR(20 * std::cos(angle * std::numbers::pi / 180), half, 0.001);
    EXPECT_NEAR(20 * std::sin(angle * std::numbers::pi / 180), -half, 0.001);

    // A survey's name too long for the sheet shrinks by its letters, Cyrillic or Latin.
    std::vector<double> title;
    for (const char* words : {"Бела вода ", "Bela voda "}) {
        d.title.clear();
        for (int k = 0; k < 25; ++k) d.title += words;
        title.push_back(picture(d)->child("id", "title")->all("text").at(0)->num("font-size"));
    }
    EXPECT_EQ(title[0], title[1]);

    // The bundled survey's name on either sheet ends inside the right margin, which is as
    // wide as the left one, even if every letter were as wide as the widest (a bold Щ
    // advances 1.326 of the size, a regular one 1.094); a digit advances 0.70 at most, a
    // comma or hyphen 0.42, a blank 0.35.
    d.title = "Опорна мрежа Бела вода - полигон и засечки, тотална станция, 2 положения";
    for (const Page page : {Page::A3, Page::A4}) {
        auto svg = picture_on(d, page);
        double vx, vy, vw, vh;
        std::istringstream(svg->attr.at("viewBox")) >> vx >> vy >> vw >> vh;
        for (const Element* t : svg->child("id", "title")->all("text")) {
            const bool bold = t->attr.count("font-weight");
            double em = 0;
            for (char c : t->text)
                if ((c & 0xc0) != 0x80)
                    em += c == ' '                                      ? 0.35
                          : c == ',' || c == '-'                        ? 0.42
                          : std::isdigit(static_cast<unsigned char>(c)) ? 0.7
                                                                        : (bold ? 1.326 : 1.094);
            EXPECT_LE(t->num("x") + em * t->num("font-size"), vw - t->num("x")) << t->text;
        }
    }
}

// The largest 1, 2 or 5 times ten to a power within a quarter of the extent.
struct Bar {
    const char* behaviour;
    double extent, length;
};
const Bar kBars[] = {{"750 m take 100 m", 750, 100},      {"800 m take 200 m", 800, 200},
                     {"1000 m take 200 m", 1000, 200},    {"2000 m take 500 m", 2000, 500},
                     {"3999 m take 500 m", 3999, 500},    {"4000 m take 1000 m", 4000, 1000},
                     {"40 m take 10 m", 40, 10},          {"10 m take 2 m", 10, 2},
                     {"just under 8 m take 1 m", 7.9, 1}, {"4 tenths of a metre take 1 tenth", 0.4, 0.1}};

class ScaleBar : public ::testing::TestWithParam<Bar> {};

TEST_P(ScaleBar, IsRound) {
    EXPECT_DOUBLE_EQ(scale_bar_length(GetParam().extent), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Picture, ScaleBar, ::testing::ValuesIn(kBars), vk::test::ByBehaviour());

// The largest usual ratio scale at which the survey fits the frame of the sheet (on A3
// about 324 x 245 mm landscape, 201 x 368 mm portrait; on A4 201 x 158 mm landscape).
struct Sheeted {
    const char* behaviour;
    double e, n;
    Page page;
    long long scale;
    double width_mm;
};
const Sheeted kSheets[] = {{"600 by 400 m on A3 landscape, scale 2000", 600, 400, Page::A3, 2000, 420},
                           {"600 by 400 m on A4 landscape, scale 5000", 600, 400, Page::A4, 5000, 297},
                           {"300 by 800 m on A3 portrait, scale 2500", 300, 800, Page::A3, 2500, 297},
                           {"5 by 5 m on A4, scale 100", 5, 5, Page::A4, 100, 297}};

class RatioScale : public ::testing::TestWithParam<Sheeted> {};

TEST_P(RatioScale, FitsTheSheet) {
    const Sheeted& c = GetParam();
    const Sheet got = sheet_for(c.e, c.n, c.page);
    EXPECT_EQ(got.scale, c.scale);
    EXPECT_EQ(got.width_mm, c.width_mm);
}

INSTANTIATE_TEST_SUITE_P(Picture, RatioScale, ::testing::ValuesIn(kSheets), vk::test::ByBehaviour());

TEST(Picture, ScaleBarIsDrawnTrue) {
    Drawing d;
    d.layer("2D_Points").symbols = {{{0, 0}, "tri"}, {{750, 300}, "tri"}};
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);
    const Element* bar = svg->child("id", "scale");
    ASSERT_NE(bar, nullptr);
    double left = 1e300, right = -1e300;
    for (const Element* r : bar->all("rect")) {
        left = std::min(left, r->num("x"));
        right = std::max(right, r->num("x") + r->num("width"));
    }
    EXPECT_NEAR(right - left, 100, 0.002);
    EXPECT_EQ(bar->all("text").back()->text, "100 м");
    // 750 m on A3 at 1:2500, stated over the bar: the sheet's 420 mm hold 1050 m of plan.
    EXPECT_EQ(bar->all("text").front()->text, "М 1:2500");
    EXPECT_EQ(svg->attr.at("width"), "420mm");
    double vx, vy, vw, vh;
    std::istringstream(svg->attr.at("viewBox")) >> vx >> vy >> vw >> vh;
    EXPECT_NEAR(vw, 1050, 0.001);
}

TEST(Picture, OneGroupPerLayerInItsOwnColourLinesUnderPointsUnderTexts) {
    Drawing d;
    for (const auto& [name, script] : chain_scripts().files) read_script(script, d);
    const std::vector<std::vector<Pt>> line = {{{8512300, 4567900}, {8512310, 4567910}}};
    d.layer("legend").lines = line;   // a name the picture also uses for a group of its own
    d.layer("legend!").lines = line;  // two names of one id in XML
    d.layer("legend?").lines = line;
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);
    std::vector<std::string> order;
    std::set<std::string> colours, ids;
    for (const auto& c : svg->children) {
        if (c->attr.count("id")) {
            EXPECT_TRUE(ids.insert(c->attr.at("id")).second) << c->attr.at("id");
        }
        if (c->attr.count("inkscape:label")) {
            order.push_back(c->attr.at("inkscape:label"));
            EXPECT_TRUE(colours.insert(c->attr.at("stroke")).second) << order.back();
        }
    }
    // The plan's layers once each; not the 3D model nor the empty situation layer.
    EXPECT_EQ(std::set<std::string>(order.begin(), order.end()),
              (std::set<std::string>{"2D_Points", "2D_Names", "2D_Altitudes", "Measured_R", "Measured_D",
                                     "Ellipses", "2D_Snimka", "legend", "legend!", "legend?"}));
    EXPECT_EQ(order.size(), 10u);
    const auto pos = [&](const std::string& l) {
        return std::find(order.begin(), order.end(), l) - order.begin();
    };
    EXPECT_LT(pos("Measured_D"), pos("Measured_R"));  // the distance band under the direction line
    EXPECT_LT(pos("Measured_R"), pos("2D_Points"));
    EXPECT_LT(pos("Ellipses"), pos("2D_Points"));
    EXPECT_LT(pos("2D_Points"), pos("2D_Names"));
}

}  // namespace
}  // namespace vk::plot::test
