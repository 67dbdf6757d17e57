// Reading the suite's scripts: what each command puts into the plan, and damaged or
// foreign lines that must neither end the program nor reach the picture.
#include <random>

#include "support.hpp"
#include "vokram/text.hpp"

namespace vk::plot::test {
namespace {

TEST(Script, CommandsOfTheSuiteReachTheirLayers) {
    const std::string script = to_cp1251(
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
        "layer s 2d_points\r\n\r\n"  // the CAD's layer names know no letter case
        "point 8512655.832,4567975.121\r\n"
        "layer s Ellipses\r\n\r\n"
        "ellipse c 8512471.9032,4568010.5124 8512480.9032,4568022.5124 7.5000\r\n"
        "ellipse 100,200 120,200 4\r\n"
        "\r\nzoom e\r\nregen\r\n");
    Drawing d;
    const ScriptReport r = read_script(script, d);
    EXPECT_EQ(r.entities, 7);
    EXPECT_EQ(r.solid, 2);  // the 3D model repeats the plan
    EXPECT_EQ(r.damaged, 0);

    const Layer* points = d.find("2D_POINTS");
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->symbols.size(), 2u);
    EXPECT_EQ(points->symbols[0].block, "tri");
    EXPECT_DOUBLE_EQ(points->symbols[0].at.e, 8512345.678);  // easting first
    EXPECT_DOUBLE_EQ(points->symbols[0].at.n, 4567891.234);
    EXPECT_EQ(points->symbols[1].block, "cir");
    ASSERT_EQ(points->dots.size(), 1u);
    EXPECT_DOUBLE_EQ(points->dots[0].n, 4567975.121);

    const Layer* names = d.find("2D_Names");
    ASSERT_NE(names, nullptr);
    ASSERT_EQ(names->labels.size(), 1u);
    EXPECT_EQ(names->labels[0].text, "101");
    EXPECT_DOUBLE_EQ(names->labels[0].size, 0.2);

    EXPECT_EQ(d.find("3D_Points"), nullptr);
    EXPECT_EQ(d.find("Measured_V"), nullptr);
    ASSERT_NE(d.find("Measured_R"), nullptr);
    ASSERT_EQ(d.find("Measured_R")->lines.size(), 1u);
    EXPECT_EQ(d.find("Measured_R")->lines[0].size(), 2u);

    const Layer* ellipses = d.find("Ellipses");
    ASSERT_NE(ellipses, nullptr);
    ASSERT_EQ(ellipses->ellipses.size(), 2u);
    EXPECT_DOUBLE_EQ(ellipses->ellipses[0].centre.e, 8512471.9032);
    EXPECT_DOUBLE_EQ(ellipses->ellipses[0].axis.n, 4568022.5124);
    EXPECT_DOUBLE_EQ(ellipses->ellipses[0].minor, 7.5);
    // By the ends of an axis: the centre is their middle.
    EXPECT_DOUBLE_EQ(ellipses->ellipses[1].centre.e, 110);
    EXPECT_DOUBLE_EQ(ellipses->ellipses[1].centre.n, 200);
}

TEST(Script, DamagedDrawingCommandsAreSkippedAndCountedForeignOnesPassed) {
    const char* damaged[] = {
        "insert tri",                    // no position
        "insert tri 8512345.678 0.2 0",  // no northing
        "insert tri 1,2 0.2x 0",         // a scale that is no number
        "point 1,",                      // empty northing
        "point ,2",                      //
        "point 1,2,",                    // empty height
        "point nan,2",                   // not numbers
        "point inf,2",                   //
        "point 0x10,2",                  //
        "point 1e999,2",                 // beyond the range of a double
        "point 2e9,1",                   // beyond any survey
        "line 1,2",                      // one vertex
        "line 1,2 3,4 x",                //
        "text 1,2 0.2 0",                // no label
        "text 1,2 0 0 101",              // a text of no height
        "text 1,2 -0.2 0 101",           //
        "text 1,2,3,4 0.2 0 101",        // four values for a point
        "ellipse c 1,2 1,2 3",           // an axis of no length
        "ellipse c 1,2 3,4 -1",          // a negative semi-axis
        "ellipse c 1,2 3,4",             // no second semi-axis
        "ellipse c 1,2 3,4 5 6",         //
        "layer s",                       // no layer name
        "layer s \x01\x02",              // a name of control characters
        "insert cir --1,2 0.2 0",        //
        "text 1,2 0.2 0 \x03",           // a label of a control character
    };
    for (const char* line : damaged) {
        Drawing d;
        const ScriptReport r = read_script(std::string("layer s 2D_Points\r\n\r\n") + line + "\r\n", d);
        EXPECT_EQ(r.damaged, 1) << line;
        EXPECT_EQ(r.first_damaged, 3) << line;
        EXPECT_EQ(r.entities, 0) << line;
        EXPECT_TRUE(d.empty()) << line;
    }
    const char* foreign[] = {"circle 1,2 5", "pline 1,2 3,4", "layer c red 2D_Points",  "zoom e",
                             "regen",        "\x7f\x80\xff",  "-linetype s continuous", ";a comment"};
    for (const char* line : foreign) {
        Drawing d;
        const ScriptReport r = read_script(std::string(line) + "\n", d);
        EXPECT_EQ(r.damaged + r.entities + r.solid, 0) << line;
    }
}

TEST(Script, LabelsAndLayerNamesReachUtf8) {
    Drawing d;
    // "Т.5" and "Граница" in Windows-1251, a byte the code page leaves undefined, and a tab
    // and a bell that XML cannot carry.
    read_script(
        "layer s \xc3\xf0\xe0\xed\xe8\xf6\xe0\r\n\r\n"
        "text 1,2 0.2 0 \xd2.5\r\n"
        "text 1,2 0.2 0 A\x98\x42\r\n"
        "text 1,2 0.2 0 X\x07Y  \r\n",
        d);
    const Layer* l = d.find("Граница");
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->labels.size(), 3u);
    EXPECT_EQ(l->labels[0].text, "Т.5");
    EXPECT_EQ(l->labels[1].text, "A?B");
    EXPECT_EQ(l->labels[2].text, "XY");
}

TEST(Script, RandomlyDamagedScriptsStillGiveAWellFormedPicture) {
    const Survey survey = Survey::example();
    const std::string good = survey.vk2() + survey.vk5();
    std::mt19937 rng(20261207);
    for (int round = 0; round < 300; ++round) {
        std::string bad = good;
        const int edits = 1 + static_cast<int>(rng() % 40);
        for (int k = 0; k < edits; ++k) {
            const std::size_t at = rng() % bad.size();
            switch (rng() % 4) {
                case 0:
                    bad[at] = static_cast<char>(rng() % 256);
                    break;
                case 1:
                    bad.erase(at, rng() % 30);
                    break;
                case 2:
                    bad.insert(at, std::string(1 + rng() % 5, "0,.-e\r\n \x98\x00"[rng() % 12]));
                    break;
                case 3:
                    bad.resize(at);
                    break;
            }
            if (bad.empty()) bad = "x";
        }
        Drawing d;
        read_script(bad, d);
        if (d.empty()) continue;
        std::string why;
        ASSERT_NE(parse_xml(render_svg(d), why), nullptr) << "round " << round << ": " << why;
    }
}

}  // namespace
}  // namespace vk::plot::test
