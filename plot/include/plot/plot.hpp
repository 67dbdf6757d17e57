// vokram-plot: a picture of the survey. It reads the AutoCAD scripts that the suite
// leaves in VK/ ("VK/VK_2.scr" of the network, "VK/VK_4.scr" of the error ellipses,
// "VK/VK_5.scr" of the polar survey, whichever exist) and writes the plan as
// "VK/Survey.svg", viewable in any web browser; for other programs it writes the survey
// as the DXF drawing "VK/Survey.dxf" and the point list "VK/Points.csv".
#pragma once

#include <cmath>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "vokram/console.hpp"
#include "vokram/frame.hpp"
#include "vokram/text.hpp"

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

// A point of the 3D model: its plan position and its height, metres.
struct Spot {
    Pt at;
    double h = 0;
};

// The plan: the layers in the order in which the scripts first name them. Layer names
// are matched without regard to letter case, as the CAD does.
struct Drawing {
    std::vector<Layer> layers;
    std::vector<std::string> sources;  // the scripts read, as "VK/VK_2.scr"
    std::string title;                 // the survey's name, UTF-8; empty: none known
    std::string date;                  // the date of the plan, as "07.12.2026"
    double magnification = 0;          // of the error ellipses; 0: not known
    std::vector<Spot> spots;           // the points of the 3D model, which give the heights

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

// Adds the plane entities of one script (and the points of its 3D model to `spots`) (Windows-1251, CR LF or
// LF) to the drawing. Commands the plan does not draw are passed over; a drawing command with a missing or
// unreadable value is skipped and counted, so a damaged script never ends the program.
ScriptReport read_script(std::string_view bytes, Drawing& d);

// The survey's name: the first header line of "VK/Geo_Data.txt" (Windows-1251), trimmed.
std::string survey_title(std::string_view geo_data);

// The magnification of the error ellipses that vokram4's listing "VK/VK_4.txt"
// (Windows-1251) states for its drawing; 0 when the listing does not state it.
double stated_magnification(std::string_view listing);

// A round length for the scale bar: the largest 1, 2 or 5 times a power of ten that
// does not exceed a quarter of `extent` (metres, > 0).
double scale_bar_length(double extent);

enum class Page { A4, A3 };

// The sheet of a plan: the paper in millimetres (landscape or portrait, whichever takes
// the larger scale) and its ratio scale 1:`scale`.
struct Sheet {
    double width_mm = 0, height_mm = 0;
    long long scale = 0;
};

// The sheet for a survey of `width_m` (easting) by `height_m` (northing): the largest
// of the usual scales 1:100, 1:200, 1:250, 1:500, 1:1000, ..., 1:2500, 1:5000, ... at which the survey with a
// margin for its texts fits the map frame of the page.
Sheet sheet_for(double width_m, double height_m, Page page);

// A text as the plan shows it: the start of its baseline in plan coordinates and its
// size, metres; a text set away from its point hangs on a leader line drawn from the
// point's symbol (`from`) to the text (`to`). A text the sheet had no room for is not shown.
struct PlacedLabel {
    Pt at;
    double size = 0;
    bool shown = true;
    bool leader = false;
    Pt from, to;
};

// The plan of a drawing: the sheet chosen, the SVG document, and each layer's texts as
// placed (in the order of the drawing's layers and of their labels).
struct Plan {
    Sheet sheet;
    std::string svg;
    std::vector<std::vector<PlacedLabel>> labels;
};

// Draws a drawing that holds at least one entity on a page of the given paper at a ratio
// scale (the picture's size is in millimetres, so that a printer or a converter keeps the
// scale). Every point number and height stands clear of the other texts, of the point
// symbols and of the leader lines, inside the map frame; the texts of the most crowded
// places are set first, the network's numbers before all others, and what finds no room
// is left out and counted on the sheet.
Plan draw_plan(const Drawing& d, Page page = Page::A3);

// The SVG document of draw_plan; `sheet` receives the sheet chosen.
std::string render_svg(const Drawing& d, Page page = Page::A3, Sheet* sheet = nullptr);

// The width of a text in DejaVu Sans, the face the plan names first, in units of its
// size: digits and separators by their advances, any other character as the widest letter
// of the Latin and Cyrillic alphabets, so that a box from it always holds the text.
double text_width(std::string_view utf8, bool bold);

enum class Kind { given, fresh, detail };

// A point of the survey as the scripts draw it: its number, kind, plan position and
// height, and the mean errors of its adjusted coordinates; NaN where not known.
struct SurveyPoint {
    std::string number;
    Kind kind = Kind::given;
    Pt at;
    double h = NAN;
    double mx = NAN, my = NAN;  // metres
};

// The points of a drawing: the given and new points of "VK/VK_2.scr" and the detail points
// of "VK/VK_5.scr", each with the number and height the scripts set beside it. The mean
// errors come from vokram4's listing "VK/VK_4.txt" (Windows-1251) for each new point that
// stands at the centre of its error ellipse, that is whose coordinates are the adjusted ones.
std::vector<SurveyPoint> survey_points(const Drawing& d, std::string_view listing);

// "VK/Points.csv": a header line "number,kind,x,y,h,mx,my" and one row per point in
// absolute coordinates, x north and y east, metres; empty fields for what is not known.
void write_points(const std::vector<SurveyPoint>& points, TextFile& f);

// "VK/Survey.dxf": the survey in DXF R12 (ASCII), absolute metres with DXF X the easting and
// DXF Y the northing, so that every CAD shows north up. Each point a POINT at its height on
// the layer of its kind, its number and height as TEXT where the plan sets them, the
// measured sights as lines and the error ellipses as closed polylines on layers of their own.
void write_dxf(const Drawing& d, const Plan& plan, const std::vector<SurveyPoint>& points, TextFile& f);

// Converts the plan to PDF at its size in millimetres with librsvg's rsvg-convert;
// false when the converter is not installed. A failed conversion is a fatal file error
// and leaves no PDF.
bool convert_to_pdf(const std::filesystem::path& svg, const std::filesystem::path& pdf);

// What the surveyor asks of the program.
struct Options {
    Page page = Page::A3;
    bool pdf = false;  // also "VK/Survey.pdf", through librsvg's rsvg-convert
};

// The program: reads the scripts of `root`/VK, writes "VK/Survey.svg", "VK/Survey.dxf" and
// "VK/Points.csv" (and with `pdf` "VK/Survey.pdf"), reports on the console and returns the
// exit code (0 done, 2 no script to draw, 3 no folder VK/, or the code of a file error).
int run(Console& con, const std::filesystem::path& root, const Options& options = {});

}  // namespace vk::plot
