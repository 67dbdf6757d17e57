// The survey as a DXF drawing of release 12 in ASCII, the form every CAD program and GIS
// reads. Each entry is a group: a code line and a value line. Coordinates are absolute
// metres; DXF X is the easting and DXF Y the northing, so that north is up in every CAD.
#include <numbers>

#include "anchors.hpp"

namespace vk::plot {

namespace {

// The layers of the file, named for what they hold, with their colours (AutoCAD Colour Index).
struct DxfLayer {
    std::string name;
    int colour;
};

class Dxf {
  public:
    explicit Dxf(TextFile& f) : f_(f) {}

    void group(int code, std::string_view value) {
        f_.line(whole(code, 3));
        f_.line(value);
    }
    void xyz(int code, double e, double n, double z = 0) {
        group(code, real(e, 0, 4));
        group(code + 10, real(n, 0, 4));
        group(code + 20, real(z, 0, 4));
    }
    void entity(const char* type, const std::string& layer) {
        group(0, type);
        group(8, layer);
    }
    void section(const char* name) {
        group(0, "SECTION");
        group(2, name);
    }
    void end_section() { group(0, "ENDSEC"); }
    void table(const char* name, int entries) {
        group(0, "TABLE");
        group(2, name);
        group(70, whole(entries));
    }
    void end_table() { group(0, "ENDTAB"); }
    void line(const std::string& layer, const Pt& a, const Pt& b) {
        entity("LINE", layer);
        xyz(10, a.e, a.n);
        xyz(11, b.e, b.n);
    }

  private:
    TextFile& f_;
};

// An error ellipse as a closed polyline of 72 vertices.
void ellipse(Dxf& x, const std::string& layer, const Ellipse& el) {
    x.entity("POLYLINE", layer);
    x.group(66, "1");
    x.xyz(10, 0, 0);
    x.group(70, "1");
    const double ue = el.axis.e - el.centre.e, un = el.axis.n - el.centre.n;
    const double a = std::hypot(ue, un), ce = ue / a, cn = un / a;
    constexpr int kVertices = 72;
    for (int k = 0; k < kVertices; ++k) {
        const double t = 2 * std::numbers::pi * k / kVertices;
        const double p = a * std::cos(t), q = el.minor * std::sin(t);
        x.entity("VERTEX", layer);
        x.xyz(10, el.centre.e + p * ce - q * cn, el.centre.n + p * cn + q * ce);
    }
    x.entity("SEQEND", layer);
}

// Layers of the drawing's lines and texts: the layer of the suite's scripts and its own.
const std::pair<const char*, DxfLayer> kLineLayers[] = {
    {"Measured_R", {"MEASURED_DIRECTIONS", 5}},
    {"Measured_D", {"MEASURED_DISTANCES", 40}},
    {"2D_Snimka", {"POLAR_SIGHTS", 3}},
};
const std::pair<const char*, DxfLayer> kTextLayers[] = {
    {"2D_Names", {"POINT_NUMBERS", 7}},
    {"2D_Altitudes", {"POINT_HEIGHTS", 30}},
};
// The layers of the points, by their kind.
const DxfLayer kPointLayers[] = {{"GIVEN_POINTS", 1}, {"NEW_POINTS", 5}, {"DETAIL_POINTS", 3}};

// The header: the release and the points' extent.
void dxf_header(Dxf& x, const std::vector<SurveyPoint>& points) {
    Pt lo, hi;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Pt& p = points[i].at;
        lo = i ? Pt{std::min(lo.e, p.e), std::min(lo.n, p.n)} : p;
        hi = i ? Pt{std::max(hi.e, p.e), std::max(hi.n, p.n)} : p;
    }
    x.section("HEADER");
    x.group(9, "$ACADVER");
    x.group(1, "AC1009");
    x.group(9, "$EXTMIN");
    x.xyz(10, lo.e, lo.n);
    x.group(9, "$EXTMAX");
    x.xyz(10, hi.e, hi.n);
    x.end_section();
}

// The tables: the one line type, the layers with their colours and the one text style.
void dxf_tables(Dxf& x, const std::string& ellipses) {
    std::vector<DxfLayer> layers(std::begin(kPointLayers), std::end(kPointLayers));
    for (const auto& [from, to] : kLineLayers) layers.push_back(to);
    for (const auto& [from, to] : kTextLayers) layers.push_back(to);
    layers.push_back({"LEADER_LINES", 8});
    layers.push_back({ellipses, 1});

    x.section("TABLES");
    x.table("LTYPE", 1);
    x.group(0, "LTYPE");
    x.group(2, "CONTINUOUS");
    x.group(70, "0");
    x.group(3, "Solid line");
    x.group(72, "65");
    x.group(73, "0");
    x.group(40, "0.0");
    x.end_table();
    x.table("LAYER", static_cast<int>(layers.size()));
    for (const auto& l : layers) {
        x.group(0, "LAYER");
        x.group(2, l.name);
        x.group(70, "0");
        x.group(62, whole(l.colour));
        x.group(6, "CONTINUOUS");
    }
    x.end_table();
    x.table("STYLE", 1);
    x.group(0, "STYLE");
    x.group(2, "STANDARD");
    x.group(70, "0");
    x.group(40, "0.0");
    x.group(41, "1.0");
    x.group(50, "0.0");
    x.group(71, "0");
    x.group(42, "1.0");
    x.group(3, "txt");
    x.group(4, "");
    x.end_table();
    x.end_section();
}

// The measured lines, the polar sights and the error ellipses.
void dxf_lines(Dxf& x, const Drawing& d, const std::string& ellipses) {
    for (const auto& [from, to] : kLineLayers)
        if (const Layer* l = d.find(from))
            for (const auto& v : l->lines)
                for (std::size_t i = 1; i < v.size(); ++i) x.line(to.name, v[i - 1], v[i]);
    if (const Layer* l = d.find("Ellipses"))
        for (const auto& el : l->ellipses) ellipse(x, ellipses, el);
}

// Each point in space, on the layer of its kind; a point without a height at 0.
void dxf_points(Dxf& x, const std::vector<SurveyPoint>& points) {
    for (const auto& p : points) {
        x.entity("POINT", kPointLayers[static_cast<int>(p.kind)].name);
        x.xyz(10, p.at.e, p.at.n, std::isnan(p.h) ? 0 : p.h);
    }
}

// The point numbers and heights where the plan placed them, with their leader lines.
void dxf_texts(Dxf& x, const Drawing& d, const Plan& plan) {
    for (const auto& [from, to] : kTextLayers)
        for (std::size_t i = 0; i < d.layers.size(); ++i) {
            if (!same_name(d.layers[i].name, from)) continue;
            for (std::size_t k = 0; k < d.layers[i].labels.size(); ++k) {
                const Label& t = d.layers[i].labels[k];
                const PlacedLabel& p = plan.labels[i][k];
                // A text the sheet had no room for stands in the drawing where the script set it.
                const Pt at = p.shown ? p.at : t.at;
                x.entity("TEXT", to.name);
                x.xyz(10, at.e, at.n);
                x.group(40, real(p.size, 0, 4));
                if (t.rot != 0) x.group(50, real(t.rot, 0, 4));
                x.group(1, ascii(t.text));
                if (p.shown && p.leader) x.line("LEADER_LINES", p.from, p.to);
            }
        }
}

}  // namespace

void write_dxf(const Drawing& d, const Plan& plan, const std::vector<SurveyPoint>& points, TextFile& f) {
    const std::string ellipses = d.magnification > 0 ? "ERROR_ELLIPSES_X" + real(d.magnification, 0, 0)
                                                     : std::string("ERROR_ELLIPSES");
    Dxf x(f);
    dxf_header(x, points);
    dxf_tables(x, ellipses);
    x.section("ENTITIES");
    dxf_lines(x, d, ellipses);
    dxf_points(x, points);
    dxf_texts(x, d, plan);
    x.end_section();
    x.group(0, "EOF");
}

}  // namespace vk::plot
