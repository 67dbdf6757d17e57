// The picture of a plan: positions in plan (easting to the right, northing up, no
// distortion), ellipses, the scale bar, the layers and the texts.
#include <cmath>
#include <numbers>
#include <set>

#include "support.hpp"

namespace vk::plot::test {
namespace {

std::unique_ptr<Element> picture(const Drawing& d) {
    std::string why;
    auto svg = parse_xml(render_svg(d), why);
    EXPECT_NE(svg, nullptr) << why;
    return svg;
}

// The centre of the first shape of a group: a circle's centre, a triangle's centroid.
std::pair<double, double> centre(const Element& shape) {
    if (shape.name == "circle") return {shape.num("cx"), shape.num("cy")};
    std::istringstream in(shape.attr.at("points"));
    double x = 0, y = 0, sx = 0, sy = 0;
    char comma = 0;
    int n = 0;
    while (in >> x >> comma >> y) sx += x, sy += y, ++n;
    return {sx / n, sy / n};
}

TEST(Picture, PointsKeepTheirPlanPositions) {
    // A given point, a new point 300 m east and 400 m north of it, a detail point 100 m
    // west and 50 m south of it.
    Drawing d;
    d.layer("2D_Points").symbols = {{{5000, 7000}, "tri"}, {{5300, 7400}, "cir"}};
    d.layer("2D_Points").dots = {{4900, 6950}};
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);
    const Element* g = svg->layer("2D_Points");
    ASSERT_NE(g, nullptr);
    const Element* tri = g->all("polygon").at(0);
    const auto circles = g->all("circle");
    // The new point's circle comes after the triangle's dot; the detail dot is the last.
    ASSERT_GE(circles.size(), 3u);
    const auto [xa, ya] = centre(*tri);
    const auto [xb, yb] = centre(*circles[1]);
    const auto [xc, yc] = centre(*circles.back());
    // Picture units are metres of the plan: east is +x, north is -y.
    EXPECT_NEAR(xb - xa, 300, 0.002);
    EXPECT_NEAR(yb - ya, -400, 0.002);
    EXPECT_NEAR(xc - xa, -100, 0.002);
    EXPECT_NEAR(yc - ya, 50, 0.002);
    // Everything inside the frame, the frame inside the picture.
    const Element* frame = nullptr;
    for (const auto& c : svg->children)
        if (c->attr.count("id") && c->attr.at("id") == "frame") frame = c.get();
    ASSERT_NE(frame, nullptr);
    const double fx = frame->num("x"), fy = frame->num("y"), fw = frame->num("width"),
                 fh = frame->num("height");
    for (auto [x, y] : {std::pair{xa, ya}, std::pair{xb, yb}, std::pair{xc, yc}}) {
        EXPECT_GT(x, fx);
        EXPECT_LT(x, fx + fw);
        EXPECT_GT(y, fy);
        EXPECT_LT(y, fy + fh);
    }
    std::istringstream box(svg->attr.at("viewBox"));
    double vx, vy, vw, vh;
    box >> vx >> vy >> vw >> vh;
    EXPECT_LE(fx + fw, vx + vw);
    EXPECT_LE(fy + fh, vy + vh);
    // The picture's pixel size keeps the proportions of its units.
    EXPECT_NEAR(svg->num("width") / svg->num("height"), vw / vh, 0.01);
}

TEST(Picture, EllipseAxesAndDirection) {
    // Semi-axis 20 m towards north-east (bearing 50 grads), the other 8 m; a point 200 m
    // away gives the extent.
    const double a = 20, bearing = 45 * std::numbers::pi / 180;
    Drawing d;
    d.layer("2D_Points").symbols = {{{1000, 2000}, "cir"}, {{1200, 2000}, "tri"}};
    d.layer("Ellipses").ellipses = {
        {{1000, 2000}, {1000 + a * std::sin(bearing), 2000 + a * std::cos(bearing)}, 8}};
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);
    const Element* e = svg->layer("Ellipses")->all("ellipse").at(0);
    EXPECT_NEAR(e->num("rx"), 20, 0.001);
    EXPECT_NEAR(e->num("ry"), 8, 0.001);
    // rotate(angle cx cy): the end of the first axis lies 45 degrees up and to the right.
    double angle = 0;
    ASSERT_EQ(std::sscanf(e->attr.at("transform").c_str(), "rotate(%lf", &angle), 1);
    const double cx = e->num("cx"), cy = e->num("cy");
    const double ex = cx + 20 * std::cos(angle * std::numbers::pi / 180);
    const double ey = cy + 20 * std::sin(angle * std::numbers::pi / 180);
    EXPECT_NEAR(ex - cx, 20 / std::sqrt(2.0), 0.001);
    EXPECT_NEAR(ey - cy, -20 / std::sqrt(2.0), 0.001);
    // The new point at the ellipse's centre.
    const auto [px, py] = centre(*svg->layer("2D_Points")->all("circle").at(0));
    EXPECT_NEAR(px, cx, 0.001);
    EXPECT_NEAR(py, cy, 0.001);
}

TEST(Picture, ScaleBarIsARoundLengthDrawnTrue) {
    // The largest 1, 2 or 5 times ten to a power within a quarter of the extent.
    const std::pair<double, double> cases[] = {{750, 100},  {800, 200},   {1000, 200}, {2000, 500},
                                               {3999, 500}, {4000, 1000}, {40, 10},    {10, 2},
                                               {7.9, 1},    {0.4, 0.1}};
    for (auto [extent, length] : cases) EXPECT_DOUBLE_EQ(scale_bar_length(extent), length) << extent;

    Drawing d;  // 750 m east-west
    d.layer("2D_Points").symbols = {{{0, 0}, "tri"}, {{750, 300}, "tri"}};
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);
    const Element* bar = nullptr;
    for (const auto& c : svg->children)
        if (c->attr.count("id") && c->attr.at("id") == "scale") bar = c.get();
    ASSERT_NE(bar, nullptr);
    double left = 1e300, right = -1e300;
    for (const Element* r : bar->all("rect")) {
        left = std::min(left, r->num("x"));
        right = std::max(right, r->num("x") + r->num("width"));
    }
    EXPECT_NEAR(right - left, 100, 0.002);  // picture units are metres
    bool labelled = false;
    for (const Element* t : bar->all("text")) labelled = labelled || t->text == "100 м";
    EXPECT_TRUE(labelled);
}

TEST(Picture, OneGroupPerLayerEachInItsOwnColour) {
    const Survey s = Survey::example();
    Drawing d;
    read_script(s.vk2(), d);
    read_script(s.vk4(), d);
    read_script(s.vk5(), d);
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);
    std::set<std::string> colours, labels;
    for (const auto& c : svg->children) {
        if (!c->attr.count("inkscape:label")) continue;
        EXPECT_TRUE(labels.insert(c->attr.at("inkscape:label")).second) << c->attr.at("inkscape:label");
        EXPECT_TRUE(colours.insert(c->attr.at("stroke")).second) << c->attr.at("inkscape:label");
    }
    // The plan layers; the 3D model and the empty situation layer are not drawn.
    EXPECT_EQ(labels, (std::set<std::string>{"2D_Points", "2D_Names", "2D_Altitudes", "Measured_R",
                                             "Measured_D", "Ellipses", "2D_Snimka"}));
    // Measured lines lie under the points, the texts over everything.
    std::vector<std::string> order;
    for (const auto& c : svg->children)
        if (c->attr.count("inkscape:label")) order.push_back(c->attr.at("inkscape:label"));
    const auto pos = [&](const std::string& l) {
        return std::find(order.begin(), order.end(), l) - order.begin();
    };
    EXPECT_LT(pos("Measured_D"), pos("Measured_R"));  // the distance band under the direction line
    EXPECT_LT(pos("Measured_R"), pos("2D_Points"));
    EXPECT_LT(pos("Ellipses"), pos("2D_Points"));
    EXPECT_LT(pos("2D_Points"), pos("2D_Names"));
}

TEST(Picture, TextsKeepTheirSideOfThePointAndTheirCharacters) {
    // The scripts put a number above right of its point and a height below right.
    Drawing d;
    d.layer("2D_Points").symbols = {{{100, 100}, "cir"}, {{400, 300}, "tri"}};
    d.layer("2D_Names").labels = {{{100.16, 100.1}, 0.2, 0, "<7 & \"8\">"}};
    d.layer("2D_Altitudes").labels = {{{100.16, 99.8}, 0.2, 0, "512.35"}};
    auto svg = picture(d);
    ASSERT_NE(svg, nullptr);
    const auto [px, py] = centre(*svg->layer("2D_Points")->all("circle").at(0));
    const Element* name = svg->layer("2D_Names")->all("text").at(0);
    const Element* height = svg->layer("2D_Altitudes")->all("text").at(0);
    EXPECT_EQ(name->text, "<7 & \"8\">");
    EXPECT_GT(name->num("x"), px);
    EXPECT_LT(name->num("y"), py);  // above: smaller y
    EXPECT_GT(height->num("x"), px);
    EXPECT_GT(height->num("y"), py);
    // Readable at the extent: texts a little over a hundredth of it, not the 0.2 m of the CAD.
    EXPECT_GT(name->num("font-size"), 300.0 / 100);
    EXPECT_LT(name->num("font-size"), 300.0 / 20);
}

}  // namespace
}  // namespace vk::plot::test
