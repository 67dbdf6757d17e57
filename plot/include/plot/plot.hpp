// vokram-plot: a picture of the survey. It reads the AutoCAD scripts that the suite
// leaves in VK/ ("VK/VK_2.scr" of the network, "VK/VK_4.scr" of the error ellipses,
// "VK/VK_5.scr" of the polar survey, whichever exist) and writes the plan as
// "VK/Survey.svg", viewable in any web browser.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "vokram/console.hpp"
#include "vokram/frame.hpp"

namespace vk::plot {

// A position in the plan: easting and northing in metres, as the scripts give them
// (easting first).
struct Pt {
    double e = 0, n = 0;
};

// An inserted block: "tri" marks a given point, "cir" a new point.
struct Symbol {
    Pt at;
    std::string block;  // lower case
};

// A text of the drawing: a point number or a height. `size` is the text height in
// metres and `rot` the rotation in degrees counter-clockwise, as the CAD takes them.
struct Label {
    Pt at;
    double size = 0;
    double rot = 0;
    std::string text;  // UTF-8, free of control characters
};

// An ellipse by its centre, the end of one semi-axis and the length of the other.
struct Ellipse {
    Pt centre;
    Pt axis;
    double minor = 0;
};

// The plane entities of one layer.
struct Layer {
    std::string name;
    std::vector<Symbol> symbols;
    std::vector<Pt> dots;  // detail points
    std::vector<Label> labels;
    std::vector<std::vector<Pt>> lines;  // each a line of two or more vertices
    std::vector<Ellipse> ellipses;

    bool empty() const {
        return symbols.empty() && dots.empty() && labels.empty() && lines.empty() && ellipses.empty();
    }
};

// Layer names compare without regard to letter case, as the CAD compares them.
bool same_name(std::string_view a, std::string_view b);

// The plan: the layers in the order in which the scripts first name them. Layer names
// are matched without regard to letter case, as the CAD does.
struct Drawing {
    std::vector<Layer> layers;
    std::vector<std::string> sources;  // the scripts read, as "VK/VK_2.scr"

    Layer& layer(std::string_view name);
    const Layer* find(std::string_view name) const;
    bool empty() const;
};

// What reading one script gave.
struct ScriptReport {
    int entities = 0;       // plane entities added to the drawing
    int solid = 0;          // entities with heights: the 3D model, which the plan leaves out
    int damaged = 0;        // drawing commands that could not be read, skipped
    int first_damaged = 0;  // line number of the first of them
};

// Adds the plane entities of one script (Windows-1251, CR LF or LF) to the drawing.
// Commands the plan does not draw are passed over; a drawing command with a missing or
// unreadable value is skipped and counted, so a damaged script never ends the program.
ScriptReport read_script(std::string_view bytes, Drawing& d);

// A round length for the scale bar: the largest 1, 2 or 5 times a power of ten that
// does not exceed a quarter of `extent` (metres, > 0).
double scale_bar_length(double extent);

// The SVG document of a drawing that holds at least one entity.
std::string render_svg(const Drawing& d);

// The program: reads the scripts of `root`/VK, writes "VK/Survey.svg", reports on the
// console and returns the exit code (0 done, 2 no script to draw, 3 no folder VK/, or
// the code of a file error).
int run(Console& con, const std::filesystem::path& root);

}  // namespace vk::plot
