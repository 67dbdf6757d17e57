// The plan as an SVG picture. Picture units are metres of the plan, counted from the
// picture's top left corner (easting to the right, northing up, so y runs against the
// northing); absolute coordinates of seven digits would lose their centimetres in the
// single-precision arithmetic of many renderers. Sizes of symbols, texts and lines are
// fractions of the extent, so that the picture reads alike for a plot of land and for a
// whole network.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "plot/plot.hpp"
#include "vokram/text.hpp"

namespace vk::plot {

namespace {

// How a layer of the suite is drawn. Other layers get a colour of `kOther` in turn.
struct Style {
    const char* name;
    const char* colour;
    double width;  // stroke in hundredths of the extent
    int rank;      // drawing order: bands, lines, ellipses, points, texts
    const char* caption;
};

constexpr Style kStyles[] = {
    {"Measured_D", "#f2b36b", 0.75, 0, "измерени дължини"},
    {"Measured_R", "#1f4e79", 0.14, 1, "измерени посоки"},
    {"2D_Snimka", "#2e7d32", 0.12, 1, "лъчи на полярната снимка"},
    {"Ellipses", "#c62828", 0.16, 2, "елипси на грешките (увеличени)"},
    {"2D_Points", "#111111", 0.16, 3, "точки"},
    {"2D_Names", "#0d2a8a", 0.0, 4, "номера на точките"},
    {"2D_Altitudes", "#7b4a12", 0.0, 4, "коти"},
};
constexpr const char* kOther[] = {"#7b1fa2", "#00838f", "#ad1457", "#5d4037", "#558b2f", "#ef6c00"};

const char* kFont = "DejaVu Sans, Verdana, Arial, sans-serif";

// A picture number: millimetres at most, without trailing zeros.
std::string num(double v) {
    std::string s = real(v, 0, 3);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string escaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// An id for a layer's group: letters, digits, "_" and "-"; other characters become "_".
std::string id_of(std::string_view name) {
    std::string id;
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '_' || c == '-';
        id += plain ? c : '_';
    }
    return id;
}

// Characters of a UTF-8 text (for its width on the picture).
std::size_t glyphs(std::string_view s) {
    std::size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) ++n;
    return n;
}

struct Box {
    double e0 = std::numeric_limits<double>::infinity(), n0 = e0, e1 = -e0, n1 = -e0;
    void add(double e, double n) {
        e0 = std::min(e0, e), e1 = std::max(e1, e);
        n0 = std::min(n0, n), n1 = std::max(n1, n);
    }
    bool empty() const { return e0 > e1; }
};

// Semi-axes and the direction of the first in picture terms (degrees from the
// picture's x axis towards its y axis, which points south).
struct EllipseShape {
    double a, b, angle;
};
EllipseShape shape(const Ellipse& el) {
    const double de = el.axis.e - el.centre.e, dn = el.axis.n - el.centre.n;
    return {std::hypot(de, dn), el.minor, std::atan2(-dn, de) * 180.0 / std::numbers::pi};
}

struct Styled {
    const Layer* layer;
    std::string id;
    std::string colour;
    double width;
    int rank;
    std::string caption;
};

std::vector<Styled> styled_layers(const Drawing& d) {
    std::vector<Styled> out;
    std::size_t others = 0;
    for (const auto& l : d.layers) {
        if (l.empty()) continue;
        const Style* known = nullptr;
        for (const auto& s : kStyles)
            if (same_name(s.name, l.name)) known = &s;
        // "layer-" keeps a layer's id apart from those of the frame, the legend and the rest.
        std::string id = "layer-" + id_of(l.name);
        for (int k = 2; std::any_of(out.begin(), out.end(), [&](const Styled& o) { return o.id == id; }); ++k)
            id = "layer-" + id_of(l.name) + "-" + std::to_string(k);
        if (known) {
            out.push_back({&l, id, known->colour, known->width, known->rank, known->caption});
            continue;
        }
        const int rank = !l.labels.empty() && l.lines.empty() && l.symbols.empty() && l.dots.empty() ? 4
                         : !l.symbols.empty() || !l.dots.empty()                                     ? 3
                         : !l.ellipses.empty() && l.lines.empty()                                    ? 2
                                                                                                     : 1;
        out.push_back({&l, id, kOther[others++ % std::size(kOther)], 0.14, rank, l.name});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Styled& a, const Styled& b) { return a.rank < b.rank; });
    return out;
}

// The point positions of the drawing, sorted by easting, for placing texts.
class Anchors {
  public:
    struct Anchor {
        Pt at;
        bool detail;  // a detail point, whose texts are smaller than those of the network
    };
    explicit Anchors(const Drawing& d) {
        for (const auto& l : d.layers) {
            for (const auto& s : l.symbols) pts_.push_back({s.at, false});
            for (const auto& p : l.dots) pts_.push_back({p, true});
        }
        std::sort(pts_.begin(), pts_.end(), [](const Anchor& a, const Anchor& b) { return a.at.e < b.at.e; });
    }
    // The point nearest to `at` within `reach`, if any.
    const Anchor* near(const Pt& at, double reach) const {
        auto it = std::lower_bound(pts_.begin(), pts_.end(), at.e - reach,
                                   [](const Anchor& p, double e) { return p.at.e < e; });
        const Anchor* best = nullptr;
        double best_d = reach;
        for (; it != pts_.end() && it->at.e <= at.e + reach; ++it) {
            const double dd = std::hypot(it->at.e - at.e, it->at.n - at.n);
            if (dd <= best_d) best = &*it, best_d = dd;
        }
        return best;
    }

  private:
    std::vector<Anchor> pts_;
};

// A text as placed on the picture: the scripts offset a label from its point by a few
// text heights; the picture keeps that offset in its own, larger text height.
struct Placed {
    Pt at;
    double size;
};

class Picture {
  public:
    explicit Picture(const Drawing& d) : d_(d), layers_(styled_layers(d)), anchors_(d) {
        Box core;
        std::vector<double> sizes;
        for (const auto& l : d.layers) {
            for (const auto& s : l.symbols) core.add(s.at.e, s.at.n);
            for (const auto& p : l.dots) core.add(p.e, p.n);
            for (const auto& line : l.lines)
                for (const auto& p : line) core.add(p.e, p.n);
            for (const auto& el : l.ellipses) {
                const EllipseShape s = shape(el);
                const double t = s.angle * std::numbers::pi / 180.0;
                const double he = std::hypot(s.a * std::cos(t), s.b * std::sin(t));
                const double hn = std::hypot(s.a * std::sin(t), s.b * std::cos(t));
                core.add(el.centre.e - he, el.centre.n - hn);
                core.add(el.centre.e + he, el.centre.n + hn);
            }
            for (const auto& t : l.labels) {
                core.add(t.at.e, t.at.n);
                sizes.push_back(t.size);
            }
        }
        extent_ = std::max({core.e1 - core.e0, core.n1 - core.n0, 10.0});
        u_ = extent_ / 100;
        if (!sizes.empty()) {
            std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
            text_unit_ = sizes[sizes.size() / 2];
        }
        // Texts widen the extent by their own size.
        box_ = core;
        for (const auto& l : d.layers)
            for (const auto& t : l.labels) {
                const Placed p = place(t, l);
                box_.add(p.at.e, p.at.n - 0.3 * p.size);
                box_.add(p.at.e + 0.62 * p.size * static_cast<double>(glyphs(t.text)), p.at.n + p.size);
            }
        pad_ = 4 * u_;
        frame_x_ = 3 * u_, frame_y_ = 12 * u_;
        frame_w_ = box_.e1 - box_.e0 + 2 * pad_;
        frame_h_ = box_.n1 - box_.n0 + 2 * pad_;
        panel_x_ = frame_x_ + frame_w_ + 4 * u_;
        width_ = std::max(panel_x_ + kPanel * u_, frame_x_ + kTitle * u_) + 3 * u_;
        height_ = std::max(frame_y_ + frame_h_ + 3 * u_, legend_top() + legend_rows() * kRow * u_ + 3 * u_);
    }

    std::string svg() const {
        std::string s;
        const double px = 1400 / std::max(width_, height_);
        s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        s += "<svg xmlns=\"http://www.w3.org/2000/svg\" "
             "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"" +
             num(std::round(width_ * px)) + "\" height=\"" + num(std::round(height_ * px)) +
             "\" viewBox=\"0 0 " + num(width_) + " " + num(height_) + "\" font-family=\"" + kFont + "\">\n";
        s += "<title>ВОКРАМ - план на снимката</title>\n";
        s += "<rect id=\"sheet\" x=\"0\" y=\"0\" width=\"" + num(width_) + "\" height=\"" + num(height_) +
             "\" fill=\"#ffffff\"/>\n";
        s += "<rect id=\"frame\" x=\"" + num(frame_x_) + "\" y=\"" + num(frame_y_) + "\" width=\"" +
             num(frame_w_) + "\" height=\"" + num(frame_h_) +
             "\" fill=\"#fbfbf7\" stroke=\"#555555\" stroke-width=\"" + num(0.12 * u_) + "\"/>\n";
        grid(s);
        for (const auto& l : layers_) layer(s, l);
        title(s);
        north_arrow(s);
        scale_bar(s);
        legend(s);
        s += "</svg>\n";
        return s;
    }

  private:
    static constexpr double kPanel = 34;  // width of the side panel, hundredths of the extent
    static constexpr double kRow = 3.0;   // height of a legend row
    static constexpr double kTitle = 66;  // width of the title

    double x(double e) const { return frame_x_ + pad_ + (e - box_.e0); }
    double y(double n) const { return frame_y_ + pad_ + (box_.n1 - n); }
    std::string xy(const Pt& p, const char* xn = "x", const char* yn = "y") const {
        return std::string(xn) + "=\"" + num(x(p.e)) + "\" " + yn + "=\"" + num(y(p.n)) + "\"";
    }

    double font(const Layer& l) const { return (same_name(l.name, "2D_Altitudes") ? 1.2 : 1.45) * u_; }

    Placed place(const Label& t, const Layer& l) const {
        double size = font(l) * (text_unit_ > 0 ? std::clamp(t.size / text_unit_, 0.5, 3.0) : 1.0);
        const Anchors::Anchor* a = anchors_.near(t.at, std::min(3 * t.size, extent_ / 10));
        if (!a) return {t.at, size};
        if (a->detail) size *= 0.7;
        const Pt& p = a->at;
        const double k = size / t.size;
        return {{p.e + (t.at.e - p.e) * k, p.n + (t.at.n - p.n) * k}, size};
    }

    void layer(std::string& s, const Styled& st) const {
        const Layer& l = *st.layer;
        const double w = st.width * u_;
        s += "<g id=\"" + st.id + "\" inkscape:groupmode=\"layer\" inkscape:label=\"" + escaped(l.name) +
             "\" stroke=\"" + st.colour + "\" fill=\"none\" stroke-width=\"" + num(w) +
             "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
        if (same_name(l.name, "2D_Snimka"))
            s += " stroke-dasharray=\"" + num(0.8 * u_) + " " + num(0.5 * u_) + "\"";
        s += ">\n";
        for (const auto& line : l.lines) {
            s += "<polyline points=\"";
            for (std::size_t i = 0; i < line.size(); ++i)
                s += (i ? " " : "") + num(x(line[i].e)) + "," + num(y(line[i].n));
            s += "\"/>\n";
        }
        for (const auto& el : l.ellipses) {
            const EllipseShape e = shape(el);
            s += "<ellipse cx=\"" + num(x(el.centre.e)) + "\" cy=\"" + num(y(el.centre.n)) + "\" rx=\"" +
                 num(e.a) + "\" ry=\"" + num(e.b) + "\" transform=\"rotate(" + num(e.angle) + " " +
                 num(x(el.centre.e)) + " " + num(y(el.centre.n)) + ")\" fill=\"" + st.colour +
                 "\" fill-opacity=\"0.12\"/>\n";
        }
        for (const auto& sym : l.symbols) symbol(s, sym.block, sym.at, st.colour);
        for (const auto& p : l.dots) symbol(s, "", p, st.colour);
        if (!l.labels.empty()) {
            // A white halo keeps a text readable where it crosses a line.
            s += "<g stroke=\"#ffffff\" stroke-width=\"" + num(0.45 * u_) + "\" fill=\"" + st.colour +
                 "\" paint-order=\"stroke\"";
            if (same_name(l.name, "2D_Altitudes")) s += " font-style=\"italic\"";
            if (same_name(l.name, "2D_Names")) s += " font-weight=\"bold\"";
            s += ">\n";
            for (const auto& t : l.labels) {
                const Placed p = place(t, l);
                s += "<text " + xy(p.at) + " font-size=\"" + num(p.size) + "\"";
                if (t.rot != 0)
                    s += " transform=\"rotate(" + num(-t.rot) + " " + num(x(p.at.e)) + " " + num(y(p.at.n)) +
                         ")\"";
                s += ">" + escaped(t.text) + "</text>\n";
            }
            s += "</g>\n";
        }
        s += "</g>\n";
    }

    // A given point is a triangle, a new point a circle, a detail point a dot; a block of
    // another name is a square.
    void symbol(std::string& s, std::string_view block, const Pt& at, const std::string& colour) const {
        symbol_at(s, block, x(at.e), y(at.n), colour);
    }
    void symbol_at(std::string& s, std::string_view block, double cx, double cy,
                   const std::string& colour) const {
        if (block.empty()) {
            s += "<circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"" + num(0.3 * u_) + "\" fill=\"" +
                 colour + "\" stroke=\"none\"/>\n";
            return;
        }
        if (block == "tri") {
            const double r = 1.0 * u_;
            s += "<polygon points=\"" + num(cx) + "," + num(cy - r) + " " + num(cx - 0.866 * r) + "," +
                 num(cy + 0.5 * r) + " " + num(cx + 0.866 * r) + "," + num(cy + 0.5 * r) +
                 "\" fill=\"#ffffff\"/>\n";
        } else if (block == "cir") {
            s += "<circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"" + num(0.65 * u_) +
                 "\" fill=\"#ffffff\"/>\n";
        } else {
            const double r = 0.55 * u_;
            s += "<rect x=\"" + num(cx - r) + "\" y=\"" + num(cy - r) + "\" width=\"" + num(2 * r) +
                 "\" height=\"" + num(2 * r) + "\" fill=\"#ffffff\"/>\n";
        }
        s += "<circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"" + num(0.16 * u_) + "\" fill=\"" +
             colour + "\" stroke=\"none\"/>\n";
    }

    // Grid crosses at round coordinates, labelled along the frame's left and lower edges.
    void grid(std::string& s) const {
        double step = scale_bar_length(extent_ * 2);
        // Long texts may widen the frame well beyond the points: the crosses stay few.
        while (std::max(frame_w_, frame_h_) / step > 12) step *= 10;
        const double arm = 0.8 * u_, f = 1.1 * u_;
        const double e_lo = box_.e0 - pad_, e_hi = box_.e1 + pad_, n_lo = box_.n0 - pad_,
                     n_hi = box_.n1 + pad_;
        s += "<g id=\"grid\" stroke=\"#9e9e9e\" stroke-width=\"" + num(0.08 * u_) +
             "\" fill=\"#757575\" font-size=\"" + num(f) + "\">\n";
        for (double e = std::ceil(e_lo / step) * step; e <= e_hi; e += step)
            for (double n = std::ceil(n_lo / step) * step; n <= n_hi; n += step)
                s += "<path d=\"M" + num(x(e) - arm) + " " + num(y(n)) + "h" + num(2 * arm) + "M" +
                     num(x(e)) + " " + num(y(n) - arm) + "v" + num(2 * arm) + "\"/>\n";
        for (double e = std::ceil(e_lo / step) * step; e <= e_hi; e += step)
            s += "<text x=\"" + num(x(e)) + "\" y=\"" + num(frame_y_ + frame_h_ + 1.5 * f) +
                 "\" text-anchor=\"middle\" stroke=\"none\">" + num(e) + "</text>\n";
        for (double n = std::ceil(n_lo / step) * step; n <= n_hi; n += step)
            s += "<text x=\"" + num(frame_x_ - 0.5 * f) + "\" y=\"" + num(y(n)) +
                 "\" text-anchor=\"middle\" " + "stroke=\"none\" transform=\"rotate(-90 " +
                 num(frame_x_ - 0.5 * f) + " " + num(y(n)) + ")\">" + num(n) + "</text>\n";
        s += "</g>\n";
    }

    void title(std::string& s) const {
        std::string from;
        for (const auto& f : d_.sources) from += (from.empty() ? "" : ", ") + f;
        s += "<g id=\"title\" fill=\"#222222\">\n";
        s += "<text x=\"" + num(frame_x_) + "\" y=\"" + num(6 * u_) + "\" font-size=\"" + num(3.6 * u_) +
             "\" font-weight=\"bold\">ВОКРАМ  -  ПЛАН НА СНИМКАТА</text>\n";
        s += "<text x=\"" + num(frame_x_) + "\" y=\"" + num(9.5 * u_) + "\" font-size=\"" + num(1.6 * u_) +
             "\">по " + escaped(from) + "</text>\n";
        s += "</g>\n";
    }

    void north_arrow(std::string& s) const {
        const double cx = panel_x_ + kPanel / 2 * u_, top = frame_y_ + 3.5 * u_, foot = top + 11 * u_;
        const double half = 2.2 * u_, notch = foot - 3 * u_;
        s += "<g id=\"north\" stroke=\"#222222\" stroke-width=\"" + num(0.14 * u_) +
             "\" stroke-linejoin=\"round\">\n";
        s += "<polygon points=\"" + num(cx) + "," + num(top) + " " + num(cx - half) + "," + num(foot) + " " +
             num(cx) + "," + num(notch) + "\" fill=\"#222222\"/>\n";
        s += "<polygon points=\"" + num(cx) + "," + num(top) + " " + num(cx + half) + "," + num(foot) + " " +
             num(cx) + "," + num(notch) + "\" fill=\"#ffffff\"/>\n";
        s += "<text x=\"" + num(cx) + "\" y=\"" + num(top - 0.8 * u_) + "\" font-size=\"" + num(3 * u_) +
             "\" font-weight=\"bold\" text-anchor=\"middle\" fill=\"#222222\" stroke=\"none\">С</text>\n";
        s += "</g>\n";
    }

    double scale_top() const { return frame_y_ + 20 * u_; }

    void scale_bar(std::string& s) const {
        const double len = scale_bar_length(extent_);
        const double lead = len / std::pow(10.0, std::floor(std::log10(len) + 1e-9));
        const int parts = lead < 1.5 ? 5 : lead < 3 ? 4 : 5;
        const double x0 = panel_x_ + (kPanel * u_ - len) / 2, y0 = scale_top(), h = 0.9 * u_, f = 1.5 * u_;
        s += "<g id=\"scale\" stroke=\"#222222\" stroke-width=\"" + num(0.1 * u_) + "\">\n";
        for (int i = 0; i < parts; ++i)
            s += "<rect x=\"" + num(x0 + len * i / parts) + "\" y=\"" + num(y0) + "\" width=\"" +
                 num(len / parts) + "\" height=\"" + num(h) + "\" fill=\"" + (i % 2 ? "#ffffff" : "#222222") +
                 "\"/>\n";
        s += "<rect x=\"" + num(x0) + "\" y=\"" + num(y0) + "\" width=\"" + num(len) + "\" height=\"" +
             num(h) + "\" fill=\"none\"/>\n";
        s += "<g fill=\"#222222\" stroke=\"none\" font-size=\"" + num(f) + "\" text-anchor=\"middle\">\n";
        s += "<text x=\"" + num(x0) + "\" y=\"" + num(y0 + h + 1.3 * f) + "\">0</text>\n";
        s += "<text x=\"" + num(x0 + len) + "\" y=\"" + num(y0 + h + 1.3 * f) + "\">" + num(len) +
             " м</text>\n";
        s += "</g>\n</g>\n";
    }

    struct Row {
        const Styled* layer;
        std::string kind;  // a symbol kind for the rows of a points layer
        std::string text;
    };
    std::vector<Row> rows() const {
        std::vector<Row> out;
        for (const auto& st : layers_) {
            const Layer& l = *st.layer;
            if (l.symbols.empty() && l.dots.empty()) {
                out.push_back({&st, "", st.caption});
                continue;
            }
            auto has = [&](std::string_view b) {
                return std::any_of(l.symbols.begin(), l.symbols.end(),
                                   [&](const Symbol& s) { return s.block == b; });
            };
            if (has("tri")) out.push_back({&st, "tri", "дадена точка"});
            if (has("cir")) out.push_back({&st, "cir", "нова точка"});
            if (!l.dots.empty()) out.push_back({&st, "dot", "подробна точка"});
            if (std::any_of(l.symbols.begin(), l.symbols.end(),
                            [](const Symbol& s) { return s.block != "tri" && s.block != "cir"; }))
                out.push_back({&st, "block", "точка (" + st.caption + ")"});
            if (!l.labels.empty() || !l.lines.empty() || !l.ellipses.empty())
                out.push_back({&st, "", st.caption});
        }
        return out;
    }
    double legend_top() const { return scale_top() + 8 * u_; }
    double legend_rows() const { return static_cast<double>(rows().size()) + 1; }

    void legend(std::string& s) const {
        const double x0 = panel_x_ + 1 * u_, f = 1.35 * u_;
        double yy = legend_top();
        s += "<g id=\"legend\" font-size=\"" + num(f) + "\">\n";
        s += "<text x=\"" + num(x0) + "\" y=\"" + num(yy) +
             "\" font-weight=\"bold\" fill=\"#222222\">ЛЕГЕНДА</text>\n";
        for (const auto& r : rows()) {
            yy += kRow * u_;
            const Styled& st = *r.layer;
            const Layer& l = *st.layer;
            const double mid = yy - 0.4 * f, sx = x0 + 2.2 * u_;
            s += "<g stroke=\"" + st.colour + "\" stroke-width=\"" + num(std::max(st.width, 0.1) * u_) +
                 "\" fill=\"none\">";
            if (!r.kind.empty()) {
                symbol_at(s, r.kind == "dot" ? "" : r.kind, sx, mid, st.colour);
            } else if (!l.ellipses.empty()) {
                s += "<ellipse cx=\"" + num(sx) + "\" cy=\"" + num(mid) + "\" rx=\"" + num(1.8 * u_) +
                     "\" ry=\"" + num(0.8 * u_) + "\" fill=\"" + st.colour + "\" fill-opacity=\"0.12\"/>";
            } else if (!l.lines.empty()) {
                s += "<path d=\"M" + num(sx - 1.8 * u_) + " " + num(mid) + "h" + num(3.6 * u_) + "\"";
                if (same_name(l.name, "2D_Snimka"))
                    s += " stroke-dasharray=\"" + num(0.8 * u_) + " " + num(0.5 * u_) + "\"";
                s += "/>";
            } else {
                s += "<text x=\"" + num(sx) + "\" y=\"" + num(yy) +
                     "\" text-anchor=\"middle\" stroke=\"none\" fill=\"" + st.colour + "\"" +
                     (same_name(l.name, "2D_Altitudes") ? " font-style=\"italic\">5.2" : ">12") + "</text>";
            }
            s += "</g>\n";
            s += "<text x=\"" + num(x0 + 5 * u_) + "\" y=\"" + num(yy) + "\" fill=\"#222222\">" +
                 escaped(r.text) + "</text>\n";
        }
        s += "</g>\n";
    }

    const Drawing& d_;
    std::vector<Styled> layers_;
    Anchors anchors_;
    double extent_ = 10, u_ = 0.1, text_unit_ = 0;
    Box box_;
    double pad_ = 0, frame_x_ = 0, frame_y_ = 0, frame_w_ = 0, frame_h_ = 0, panel_x_ = 0;
    double width_ = 0, height_ = 0;
};

}  // namespace

double scale_bar_length(double extent) {
    const double most = extent / 4;
    double p = std::pow(10.0, std::floor(std::log10(most)));
    // Guard the power of ten against rounding at an exact power.
    if (p * 10 <= most) p *= 10;
    if (p > most) p /= 10;
    for (double lead : {5.0, 2.0, 1.0})
        if (lead * p <= most) return lead * p;
    return p;
}

std::string render_svg(const Drawing& d) {
    return Picture(d).svg();
}

}  // namespace vk::plot
