// Reading the suite's scripts: what each command puts into the plan, and damaged or
// foreign lines that must neither end the program nor reach the picture.

#include "support.hpp"
#include "vokram/text.hpp"

namespace vk::plot::test {
namespace {

TEST(Script, CommandsOfTheSuiteReachTheirLayers) {
    Drawing d;
    const ScriptReport r = read_script(
        "ucsicon off osnap none ortho off\r\n"
        "layer s 2D_Points\r\n\r\n"
        "insert tri 8512345.6780,4567891.2340 0.200  0\r\n"
        "insert cir 8512471.9032,4568010.5124 0.200  0\r\n"
        "layer s 2D_Names\r\n\r\n"
        "text 8512345.838,4567891.334 0.200 0 101\r\n"
        "layer s 3D_Points\r\n\r\n"
        "insert tri 8512345.6780,4567891.2340,512.3460 0.200  0\r\n"
        "layer s Measured_R\r\n\r\n"
        "line 8512345.6780,4567891.2340 8512471.9032,4568010.5124\r\n\r\n"
        "layer s Measured_V\r\n\r\n"
        "line 8512345.6780,4567891.2340,513.9080 8512471.9032,4568010.5124,519.7290\r\n\r\n"
        "layer s 2d_points\r\n\r\n"  // the same layer in other letters
        "point 8512655.832,4567975.121\r\n"
        "layer s Ellipses\r\n\r\n"
        "ellipse c 8512471.9032,4568010.5124 8512480.9032,4568022.5124 7.5000\r\n"
        "ellipse 100,200 120,200 4\r\n"  // by the ends of one axis
        "\r\nzoom e\r\nregen\r\n",
        d);
    EXPECT_EQ(r.entities, 7);
    EXPECT_EQ(r.solid, 2);  // the 3D model, which repeats the plan
    EXPECT_EQ(r.damaged, 0);
    EXPECT_EQ(d.find("3D_Points"), nullptr);
    EXPECT_EQ(d.find("Measured_V"), nullptr);

    const Layer* points = d.find("2D_POINTS");
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->symbols.size(), 2u);
    EXPECT_EQ(points->symbols[0].block, "tri");
    EXPECT_DOUBLE_EQ(points->symbols[0].at.e, 8512345.678);  // easting first
    EXPECT_DOUBLE_EQ(points->symbols[0].at.n, 4567891.234);
    EXPECT_EQ(points->symbols[1].block, "cir");
    ASSERT_EQ(points->dots.size(), 1u);
    EXPECT_DOUBLE_EQ(points->dots[0].n, 4567975.121);
    ASSERT_EQ(d.find("2D_Names")->labels.size(), 1u);
    EXPECT_EQ(d.find("2D_Names")->labels[0].text, "101");
    EXPECT_EQ(d.find("Measured_R")->lines.at(0).size(), 2u);

    const auto& el = d.find("Ellipses")->ellipses;
    ASSERT_EQ(el.size(), 2u);
    EXPECT_DOUBLE_EQ(el[0].centre.e, 8512471.9032);
    EXPECT_DOUBLE_EQ(el[0].axis.n, 4568022.5124);
    EXPECT_DOUBLE_EQ(el[0].minor, 7.5);
    EXPECT_DOUBLE_EQ(el[1].centre.e, 110);  // the middle of the axis
    EXPECT_DOUBLE_EQ(el[1].centre.n, 200);
}

TEST(Script, DamagedDrawingCommandsAreSkippedAndCountedForeignOnesPassed) {
    const char* damaged[] = {"insert tri",
                             "insert tri 8512345.678 0.2 0",
                             "insert tri 1,2 0.2x 0",
                             "insert cir --1,2 0.2 0",
                             "point 1,",
                             "point ,2",
                             "point 1,2,",
                             "point nan,2",
                             "point inf,2",
                             "point 0x10,2",
                             "point 1e999,2",  // beyond a double
                             "point 2e9,1",    // beyond any survey
                             "line 1,2",
                             "line 1,2 3,4 x",
                             "text 1,2 0.2 0",
                             "text 1,2 0 0 101",
                             "text 1,2 -0.2 0 101",
                             "text 1,2,3,4 0.2 0 101",
                             "text 1,2 0.2 0 \x03",
                             "ellipse c 1,2 1,2 3",
                             "ellipse c 1,2 3,4 -1",
                             "ellipse c 1,2 3,4",
                             "ellipse c 1,2 3,4 5 6",
                             "layer s",
                             "layer s \x01\x02"};
    for (const char* line : damaged) {
        Drawing d;
        const ScriptReport r = read_script(std::string("layer s 2D_Points\r\n\r\n") + line + "\r\n", d);
        EXPECT_EQ(r.damaged, 1) << line;
        EXPECT_EQ(r.first_damaged, 3) << line;
        EXPECT_TRUE(d.empty()) << line;
    }
    const char* foreign[] = {"circle 1,2 5", "pline 1,2 3,4", "layer c red 2D_Points",
                             "zoom e",       "\x7f\x80\xff",  "-linetype s continuous",
                             ";a comment"};
    for (const char* line : foreign) {
        Drawing d;
        const ScriptReport r = read_script(std::string(line) + "\n", d);
        EXPECT_EQ(r.damaged + r.entities + r.solid, 0) << line;
    }
}

TEST(Script, LabelsAndLayerNamesReachUtf8) {
    // "Граница" and "Т.5" in Windows-1251, a byte the code page leaves undefined, a bell.
    Drawing d;
    read_script(
        "layer s \xc3\xf0\xe0\xed\xe8\xf6\xe0\r\n\r\ntext 1,2 0.2 0 \xd2.5\r\ntext 1,2 0.2 0 A\x98\x42\r\n"
        "text 1,2 0.2 0 X\x07Y  \r\n",
        d);
    const Layer* l = d.find("Граница");
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->labels.size(), 3u);
    EXPECT_EQ(l->labels[0].text, "Т.5");
    EXPECT_EQ(l->labels[1].text, "A?B");
    EXPECT_EQ(l->labels[2].text, "XY");
}

}  // namespace
}  // namespace vk::plot::test
