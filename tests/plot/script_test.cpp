// Reading the suite's scripts: what each command puts into the plan, and damaged or
// foreign lines that must neither end the program nor reach the picture.
#include <cstdio>

#include "support.hpp"
#include "support/cases.hpp"

namespace vk::plot::test {
namespace {

using vk::test::PrintTo;

// The counts of the reading and every layer with what it holds, places as "E,N".
std::string read(const std::string& script) {
    Drawing d;
    const ScriptReport r = read_script(script, d);
    auto at = [](const Pt& p) {
        char s[64];
        std::snprintf(s, sizeof s, " %.4f,%.4f", p.e, p.n);
        return std::string(s);
    };
    std::string o = std::to_string(r.entities) + " drawn, " + std::to_string(r.solid) + " solid, " +
                    std::to_string(r.damaged) + " damaged";
    if (r.damaged) o += " from line " + std::to_string(r.first_damaged);
    for (const Layer& l : d.layers) {
        o += "; " + l.name + ":";
        for (const Symbol& s : l.symbols) o += " " + s.block + at(s.at);
        for (const Pt& p : l.dots) o += " point" + at(p);
        for (const Label& t : l.labels) o += " \"" + t.text + "\"";
        for (const auto& line : l.lines) o += " line of " + std::to_string(line.size());
        for (const Ellipse& e : l.ellipses)
            o += " ellipse" + at(e.centre) + at(e.axis) + " " + std::to_string(e.minor);
    }
    return o;
}

// A line in the layer of the points, after the layer command and its empty line.
std::string in_layer(const std::string& line) {
    return "layer s 2D_Points\r\n\r\n" + line + "\r\n";
}
const std::string kDamaged = "0 drawn, 0 solid, 1 damaged from line 3";
const std::string kNothing = "0 drawn, 0 solid, 0 damaged";

const struct Case {
    const char* behaviour;
    std::string script, want;
} kCases[] = {
    // The suite's commands: easting first, the 3D model (which repeats the plan) passed
    // over, a layer named again in other letters the same layer, an ellipse by its centre
    // and the end of an axis or by the ends of one axis.
    {"the suite's commands reach their layers and the 3D model is passed over",
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
     "layer s 2d_points\r\n\r\n"
     "point 8512655.832,4567975.121\r\n"
     "layer s Ellipses\r\n\r\n"
     "ellipse c 8512471.9032,4568010.5124 8512480.9032,4568022.5124 7.5000\r\n"
     "ellipse 100,200 120,200 4\r\n"
     "\r\nzoom e\r\nregen\r\n",
     "7 drawn, 2 solid, 0 damaged; 2D_Points: tri 8512345.6780,4567891.2340 cir 8512471.9032,4568010.5124 "
     "point 8512655.8320,4567975.1210; 2D_Names: \"101\"; Measured_R: line of 2; Ellipses: ellipse "
     "8512471.9032,4568010.5124 8512480.9032,4568022.5124 7.500000 ellipse 110.0000,200.0000 "
     "120.0000,200.0000 4.000000"},
    // Texts in Windows-1251 reach UTF-8: "Граница", "Т.5", a byte the code page leaves
    // undefined, a bell.
    {"texts in Windows-1251 reach UTF-8",
     "layer s \xc3\xf0\xe0\xed\xe8\xf6\xe0\r\n\r\ntext 1,2 0.2 0 \xd2.5\r\ntext 1,2 0.2 0 A\x98\x42\r\n"
     "text 1,2 0.2 0 X\x07Y  \r\n",
     "3 drawn, 0 solid, 0 damaged; Граница: \"Т.5\" \"A?B\" \"XY\""},
    // Damaged drawing commands are skipped and counted.
    {"an insert without a place", in_layer("insert tri"), kDamaged},
    {"an insert with one coordinate", in_layer("insert tri 8512345.678 0.2 0"), kDamaged},
    {"an insert with a broken size", in_layer("insert tri 1,2 0.2x 0"), kDamaged},
    {"an insert with a double minus", in_layer("insert cir --1,2 0.2 0"), kDamaged},
    {"a point without its northing", in_layer("point 1,"), kDamaged},
    {"a point without its easting", in_layer("point ,2"), kDamaged},
    {"a point with a trailing comma", in_layer("point 1,2,"), kDamaged},
    {"a point at nan", in_layer("point nan,2"), kDamaged},
    {"a point at infinity", in_layer("point inf,2"), kDamaged},
    {"a point in hexadecimal", in_layer("point 0x10,2"), kDamaged},
    {"a point beyond a double", in_layer("point 1e999,2"), kDamaged},
    {"a point beyond any survey", in_layer("point 2e9,1"), kDamaged},
    {"a line with one end", in_layer("line 1,2"), kDamaged},
    {"a line with a word after its ends", in_layer("line 1,2 3,4 x"), kDamaged},
    {"a text without its words", in_layer("text 1,2 0.2 0"), kDamaged},
    {"a text of height 0", in_layer("text 1,2 0 0 101"), kDamaged},
    {"a text of negative height", in_layer("text 1,2 -0.2 0 101"), kDamaged},
    {"a text at four coordinates", in_layer("text 1,2,3,4 0.2 0 101"), kDamaged},
    {"a text of a control character", in_layer("text 1,2 0.2 0 \x03"), kDamaged},
    {"an ellipse with its axis end at its centre", in_layer("ellipse c 1,2 1,2 3"), kDamaged},
    {"an ellipse with a negative minor axis", in_layer("ellipse c 1,2 3,4 -1"), kDamaged},
    {"an ellipse without its minor axis", in_layer("ellipse c 1,2 3,4"), kDamaged},
    {"an ellipse with a number too many", in_layer("ellipse c 1,2 3,4 5 6"), kDamaged},
    {"a layer without a name", in_layer("layer s"), kDamaged},
    {"a layer named in control characters", in_layer("layer s \x01\x02"), kDamaged},
    // Commands of other programs pass without a word.
    {"a circle of another program", "circle 1,2 5\n", kNothing},
    {"a polyline of another program", "pline 1,2 3,4\n", kNothing},
    {"a layer colour", "layer c red 2D_Points\n", kNothing},
    {"a zoom", "zoom e\n", kNothing},
    {"bytes outside any command", "\x7f\x80\xff\n", kNothing},
    {"a line type", "-linetype s continuous\n", kNothing},
    {"a comment", ";a comment\n", kNothing},
};

class Script : public ::testing::TestWithParam<Case> {};

TEST_P(Script, LineReachesItsLayerOrIsCountedAsDamaged) {
    EXPECT_EQ(read(GetParam().script), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(Lines, Script, ::testing::ValuesIn(kCases), vk::test::ByBehaviour());

}  // namespace
}  // namespace vk::plot::test
