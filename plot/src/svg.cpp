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
#include <optional>

#include "anchors.hpp"
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

// The radius of a point's symbol in layout units: a given point's triangle, a new
// point's circle, another block's square, a detail point's dot.
double symbol_radius(std::string_view block) {
    return block.empty() ? 0.3 : block == "tri" ? 1.0 : block == "cir" ? 0.65 : 0.78;
}

// The paper in millimetres, landscape.
struct Paper {
    double w, h;
};
Paper paper(Page p) {
    return p == Page::A4 ? Paper{297, 210} : Paper{420, 297};
}

// The layout unit in millimetres of paper: texts, symbols, margins and the side panel
// are measured in it, so that a plan prints alike at every scale.
constexpr double kUnitMm = 1.8;
// The sheet in layout units: the margins, the title band above the map frame, the side
// panel to its right with the gap before it, the grid's figures below the frame, and the
// free edge kept inside the frame around the survey for its texts.
constexpr double kMargin = 4, kBand = 9, kPanel = 34, kGap = 2.5, kBelow = 3, kPad = 4.5;

// A text's box from its size: capitals and digits rise 0.73 of the size above the
// baseline, descenders reach 0.24 below it; 0.8 and 0.25 hold every letter with room.
constexpr double kRise = 0.8, kDescent = 0.25;

// A rectangle of the picture (y downwards).
struct Rect {
    double x0, y0, x1, y1;
    Rect grown(double m) const { return {x0 - m, y0 - m, x1 + m, y1 + m}; }
    bool within(const Rect& o) const { return x0 >= o.x0 && y0 >= o.y0 && x1 <= o.x1 && y1 <= o.y1; }
};

Rect text_box(double x, double y, double size, std::string_view text, bool bold) {
    return {x, y - kRise * size, x + text_width(text, bold) * size, y + kDescent * size};
}

// What a new text must keep clear of: the texts placed before it, the point symbols, the
// leader lines and, where there is room, the drawn lines. A grid of cells over the map
// frame finds what lies near a place.
class Clearance {
  public:
    Clearance(const Rect& area, double cell) : cells_(cell, area.x0, area.y0, area.x1, area.y1) {}

    void text(const Rect& r) {
        cells_.add_box(r.x0, r.y0, r.x1, r.y1, id(kText, texts_.size()));
        texts_.push_back(r);
    }
    void disc(double x, double y, double r) {
        cells_.add_box(x - r, y - r, x + r, y + r, id(kDisc, discs_.size()));
        discs_.push_back({x, y, r});
    }
    // A drawn line; a leader line is `hard`: no text may cover it.
    void segment(double ax, double ay, double bx, double by, bool hard) {
        cells_.add_segment(ax, ay, bx, by, id(hard ? kLeader : kLine, segments_.size()));
        segments_.push_back({ax, ay, bx, by});
    }

    // Whether a text's box is clear of the texts, the symbols and the leader lines, and
    // with `lines` of the drawn lines too.
    bool free(const Rect& r, bool lines) const {
        return !cells_.any(r.x0, r.y0, r.x1, r.y1, [&](int k) {
            const std::size_t i = static_cast<std::size_t>(k / 4);
            switch (k % 4) {
                case kText: {
                    const Rect& t = texts_[i];
                    return r.x0 < t.x1 && t.x0 < r.x1 && r.y0 < t.y1 && t.y0 < r.y1;
                }
                case kDisc: {
                    const Disc& c = discs_[i];
                    const double dx = std::max({r.x0 - c.x, 0.0, c.x - r.x1}),
                                 dy = std::max({r.y0 - c.y, 0.0, c.y - r.y1});
                    return dx * dx + dy * dy < c.r * c.r;
                }
                case kLine:
                    return lines && crosses(r, segments_[i]);
                default:
                    return crosses(r, segments_[i]);
            }
        });
    }
    // Whether a leader line from the edge of its point's symbol at (ax, ay) to (bx, by)
    // passes clear of the texts placed and of the other symbols.
    bool free(double ax, double ay, double bx, double by) const {
        const Segment s{ax, ay, bx, by};
        return !cells_.any(
            std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by), [&](int k) {
                const std::size_t i = static_cast<std::size_t>(k / 4);
                if (k % 4 == kText) return crosses(texts_[i], s);
                if (k % 4 != kDisc) return false;
                const Disc& c = discs_[i];
                const double dx = bx - ax, dy = by - ay;
                const double t =
                    std::clamp(((c.x - ax) * dx + (c.y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                // Its own symbol touches the line's start: a little less than the radius.
                const double ex = ax + t * dx - c.x, ey = ay + t * dy - c.y;
                return ex * ex + ey * ey < 0.98 * c.r * c.r;
            });
    }

  private:
    enum { kText, kDisc, kLine, kLeader };
    static int id(int kind, std::size_t i) { return static_cast<int>(i) * 4 + kind; }
    struct Disc {
        double x, y, r;
    };
    struct Segment {
        double ax, ay, bx, by;
    };
    // Clips the segment to the rectangle (Liang and Barsky); something left is a crossing.
    static bool crosses(const Rect& r, const Segment& s) {
        if (std::max(s.ax, s.bx) < r.x0 || std::min(s.ax, s.bx) > r.x1 || std::max(s.ay, s.by) < r.y0 ||
            std::min(s.ay, s.by) > r.y1)
            return false;
        const double dx = s.bx - s.ax, dy = s.by - s.ay;
        const double p[] = {-dx, dx, -dy, dy}, q[] = {s.ax - r.x0, r.x1 - s.ax, s.ay - r.y0, r.y1 - s.ay};
        double t0 = 0, t1 = 1;
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            if (t0 > t1) return false;
        }
        return true;
    }
    Cells cells_;
    std::vector<Rect> texts_;
    std::vector<Disc> discs_;
    std::vector<Segment> segments_;
};

// A text as placed on the picture: its start on the baseline and its size; a text set
// away from its point hangs on a leader line from the point's symbol. A text without room
// is not shown.
struct Placed {
    double x, y, size;
    bool shown = true;
    bool leader = false;
    double lx0 = 0, ly0 = 0, lx1 = 0, ly1 = 0;
};

// What a text says of its point, in the order in which the texts are placed: the network
// points' numbers win over their heights, and both over the detail points' texts.
enum Rank { kNetworkNumber, kNetworkHeight, kDetailNumber, kDetailHeight, kOtherText, kRanks };

class Picture {
  public:
    Picture(const Drawing& d, Page page) : d_(d), layers_(styled_layers(d)), page_(page) {
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
        if (!sizes.empty()) {
            std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
            text_unit_ = sizes[sizes.size() / 2];
        }
        sheet_ = sheet_for(core.e1 - core.e0, core.n1 - core.n0, page);
        u_ = kUnitMm * static_cast<double>(sheet_.scale) / 1000;
        width_ = sheet_.width_mm / kUnitMm * u_;
        height_ = sheet_.height_mm / kUnitMm * u_;
        frame_x_ = kMargin * u_, frame_y_ = (kMargin + kBand) * u_;
        panel_x_ = width_ - (kMargin + kPanel) * u_;
        frame_w_ = panel_x_ - kGap * u_ - frame_x_;
        frame_h_ = height_ - (kMargin + kBelow) * u_ - frame_y_;
        mid_ = {(core.e0 + core.e1) / 2, (core.n0 + core.n1) / 2};
        anchors_.emplace(d, std::max(3 * text_unit_, extent_ / 4096));
        place_texts();
    }

    const Sheet& sheet() const { return sheet_; }

    // The texts as placed, in plan coordinates.
    std::vector<std::vector<PlacedLabel>> labels() const {
        std::vector<std::vector<PlacedLabel>> out;
        const auto plan = [&](double px, double py) {
            return Pt{mid_.e + (px - frame_x_ - frame_w_ / 2), mid_.n - (py - frame_y_ - frame_h_ / 2)};
        };
        for (const auto& layer : placed_) {
            out.emplace_back();
            for (const Placed& p : layer)
                out.back().push_back(
                    {plan(p.x, p.y), p.size, p.shown, p.leader, plan(p.lx0, p.ly0), plan(p.lx1, p.ly1)});
        }
        return out;
    }

    std::string svg() const {
        std::string s;
        s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        s += "<svg xmlns=\"http://www.w3.org/2000/svg\" "
             "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"" +
             num(sheet_.width_mm) + "mm\" height=\"" + num(sheet_.height_mm) + "mm\" viewBox=\"0 0 " +
             num(width_) + " " + num(height_) + "\" font-family=\"" + kFont + "\">\n";
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
        thinned_note(s);
        s += "</svg>\n";
        return s;
    }

  private:
    static constexpr double kRow = 3.0;  // height of a legend row

    // The survey's middle stands in the middle of the frame.
    double x(double e) const { return frame_x_ + frame_w_ / 2 + (e - mid_.e); }
    double y(double n) const { return frame_y_ + frame_h_ / 2 - (n - mid_.n); }

    double font(const Layer& l) const { return (same_name(l.name, "2D_Altitudes") ? 1.2 : 1.45) * u_; }

    // Places every text clear of the symbols, the leader lines and the texts placed before
    // it, inside the frame: by rank (Rank), and within a rank from the most crowded points
    // outwards, so that a text in a dense cluster has the first choice of the little room
    // there while a lone point has room enough whenever its turn comes.
    void place_texts() {
        const double inset = 0.3 * u_;
        area_ = {frame_x_ + inset, frame_y_ + inset, frame_x_ + frame_w_ - inset,
                 frame_y_ + frame_h_ - inset};
        Clearance c(area_, 3 * 1.45 * u_);
        for (const auto& l : d_.layers) {
            for (const auto& sym : l.symbols) c.disc(x(sym.at.e), y(sym.at.n), symbol_radius(sym.block) * u_);
            for (const auto& p : l.dots) c.disc(x(p.e), y(p.n), symbol_radius("") * u_);
            for (const auto& line : l.lines)
                for (std::size_t i = 1; i < line.size(); ++i)
                    c.segment(x(line[i - 1].e), y(line[i - 1].n), x(line[i].e), y(line[i].n), false);
        }
        struct Job {
            std::size_t layer, label;
            const Anchors::Anchor* a;
            int rank, crowd;
        };
        const std::vector<int> crowd = anchors_->crowding(12 * u_);
        std::vector<Job> jobs;
        placed_.resize(d_.layers.size());
        for (std::size_t i = 0; i < d_.layers.size(); ++i) {
            const Layer& l = d_.layers[i];
            const bool numbers = same_name(l.name, "2D_Names"), heights = same_name(l.name, "2D_Altitudes");
            placed_[i].resize(l.labels.size());
            for (std::size_t k = 0; k < l.labels.size(); ++k) {
                const Anchors::Anchor* a = anchors_->of(l.labels[k], l, extent_);
                const int rank = !a || !(numbers || heights) ? kOtherText
                                 : a->detail()               ? (numbers ? kDetailNumber : kDetailHeight)
                                                             : (numbers ? kNetworkNumber : kNetworkHeight);
                jobs.push_back({i, k, a, rank, a ? crowd[anchors_->index(*a)] : 0});
            }
        }
        std::stable_sort(jobs.begin(), jobs.end(), [](const Job& p, const Job& q) {
            return p.rank != q.rank ? p.rank < q.rank : p.crowd > q.crowd;
        });
        for (const Job& j : jobs) {
            const Layer& l = d_.layers[j.layer];
            Placed& p = placed_[j.layer][j.label] = place(l.labels[j.label], l, j.a, c);
            if (!p.shown) ++thinned_[j.rank];
        }
    }

    // A text of a point goes to the first free place of sixteen around the point, tried
    // from the side on which the script set it; failing those, to the first free place of
    // eleven rings farther out, on a leader line. Places clear of the drawn lines come
    // first. A text of no point stays where the script set it; a turned one is drawn there
    // as it is. A text that finds no place is not shown.
    Placed place(const Label& t, const Layer& l, const Anchors::Anchor* a, Clearance& c) const {
        const bool bold = same_name(l.name, "2D_Names");
        double size = font(l) * (text_unit_ > 0 ? std::clamp(t.size / text_unit_, 0.5, 3.0) : 1.0);
        if (a && a->detail()) size *= 0.7;
        const double margin = 0.12 * size;  // the white halo of the text
        const double tx = x(t.at.e), ty = y(t.at.n);
        if (!a || t.rot != 0) {
            const Rect r = text_box(tx, ty, size, t.text, bold);
            if (t.rot == 0 && !(r.within(area_) && c.free(r.grown(margin), false)))
                return {tx, ty, size, false};
            c.text(r);
            return {tx, ty, size};
        }
        const double px = x(a->at.e), py = y(a->at.n), k = size / t.size, rs = symbol_radius(a->block) * u_;
        const Rect box = text_box(0, 0, size, t.text, bold);
        const double w = box.x1 - box.x0, h = box.y1 - box.y0;
        // The script's side first, then the other sides in turn away from it.
        constexpr int kSides = 16;
        const double step = 2 * std::numbers::pi / kSides;
        const double wanted = std::atan2((ty - py) * k, (tx - px) * k) / step;
        int order[kSides];
        double unit[kSides][2];
        for (int i = 0; i < kSides; ++i)
            order[i] = i, unit[i][0] = std::cos(i * step), unit[i][1] = std::sin(i * step);
        const auto away = [&](int i) { return std::fabs(std::remainder(i - wanted, kSides)) + 0.001 * i; };
        std::sort(order, order + kSides, [&](int i, int j) { return away(i) < away(j); });
        constexpr int kRings = 12;
        for (const bool lines : {true, false})
            for (int ring = lines ? 0 : 1; ring < kRings; ++ring) {
                const double reach = rs + 0.3 * size + ring * 1.1 * size;
                for (const int dir : order) {
                    const double ux = unit[dir][0], uy = unit[dir][1];
                    // The box's near side or corner at `reach` from the point.
                    const double bx = ux > 0.3    ? px + reach * ux
                                      : ux < -0.3 ? px + reach * ux - w
                                                  : px - w / 2;
                    const double by = uy > 0.3    ? py + reach * uy
                                      : uy < -0.3 ? py + reach * uy - h
                                                  : py - h / 2;
                    const Rect r{bx, by, bx + w, by + h};
                    if (!r.within(area_) || !c.free(r.grown(margin), lines)) continue;
                    Placed p{bx, by + kRise * size, size};
                    if (ring > 0) {
                        const double ex = std::clamp(px, r.x0, r.x1), ey = std::clamp(py, r.y0, r.y1);
                        const double len = std::sqrt((ex - px) * (ex - px) + (ey - py) * (ey - py));
                        p.leader = true;
                        p.lx0 = px + (ex - px) * rs / len, p.ly0 = py + (ey - py) * rs / len;
                        p.lx1 = ex, p.ly1 = ey;
                        if (!c.free(p.lx0, p.ly0, p.lx1, p.ly1)) continue;
                        c.segment(p.lx0, p.ly0, p.lx1, p.ly1, true);
                    }
                    c.text(r);
                    return p;
                }
            }
        return {px + (tx - px) * k, py + (ty - py) * k, size, false};
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
        const std::vector<Placed>& placed = placed_[static_cast<std::size_t>(&l - d_.layers.data())];
        for (const auto& p : placed)
            if (p.shown && p.leader)
                s += "<path d=\"M" + num(p.lx0) + " " + num(p.ly0) + "L" + num(p.lx1) + " " + num(p.ly1) +
                     "\" stroke-width=\"" + num(0.06 * u_) + "\"/>\n";
        if (!l.labels.empty()) {
            // A white halo keeps a text readable where it crosses a line.
            s += "<g stroke=\"#ffffff\" stroke-width=\"" + num(0.45 * u_) + "\" fill=\"" + st.colour +
                 "\" paint-order=\"stroke\"";
            if (same_name(l.name, "2D_Altitudes")) s += " font-style=\"italic\"";
            if (same_name(l.name, "2D_Names")) s += " font-weight=\"bold\"";
            s += ">\n";
            for (std::size_t i = 0; i < l.labels.size(); ++i) {
                const Label& t = l.labels[i];
                const Placed& p = placed[i];
                if (!p.shown) continue;
                s += "<text x=\"" + num(p.x) + "\" y=\"" + num(p.y) + "\" font-size=\"" + num(p.size) + "\"";
                if (t.rot != 0)
                    s += " transform=\"rotate(" + num(-t.rot) + " " + num(p.x) + " " + num(p.y) + ")\"";
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
        const double e_lo = mid_.e - frame_w_ / 2, e_hi = mid_.e + frame_w_ / 2, n_lo = mid_.n - frame_h_ / 2,
                     n_hi = mid_.n + frame_h_ / 2;
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

    // The survey's name, shrunk to the width of the sheet between its margins when long;
    // below it the plan's scale, date and sources, shrunk likewise.
    void title(std::string& s) const {
        const std::string head = d_.title.empty() ? "ВОКРАМ  -  ПЛАН НА СНИМКАТА" : d_.title;
        const double room = width_ - 2 * kMargin * u_;
        std::string from;
        for (const auto& f : d_.sources) from += (from.empty() ? "" : ", ") + f;
        std::string line = (d_.title.empty() ? "" : "ВОКРАМ - план на снимката  ·  ") + ratio();
        if (!d_.date.empty()) line += "  ·  " + d_.date;
        line += "  ·  по " + from;
        s += "<g id=\"title\" fill=\"#222222\">\n";
        s += "<text x=\"" + num(frame_x_) + "\" y=\"" + num((kMargin + 3) * u_) + "\" font-size=\"" +
             num(fitted(head, true, 3.6 * u_, room)) + "\" font-weight=\"bold\">" + escaped(head) +
             "</text>\n";
        s += "<text x=\"" + num(frame_x_) + "\" y=\"" + num((kMargin + 6) * u_) + "\" font-size=\"" +
             num(fitted(line, false, 1.6 * u_, room)) + "\">" + escaped(line) + "</text>\n";
        s += "</g>\n";
    }

    // The size of a text: `size`, or less where the text would be wider than `room`; a
    // fiftieth of the room is kept for the rounding of renderers.
    static double fitted(std::string_view text, bool bold, double size, double room) {
        return std::min(size, 0.98 * room / std::max(text_width(text, bold), 1.0));
    }

    // Where the sheet had no room for every text: how many of which kind were left out,
    // and what would hold them, in the side panel under the legend.
    void thinned_note(std::string& s) const {
        static constexpr const char* kWhat[kRanks] = {"номера на точки от мрежата",
                                                      "коти на точки от мрежата", "номера на подробни точки",
                                                      "коти на подробни точки", "други надписи"};
        int total = 0;
        for (const int n : thinned_) total += n;
        if (total == 0) return;
        std::vector<std::string> lines{"НЕ СЕ ПОБРАХА " + whole(total) + " НАДПИСА:"};
        for (int r = 0; r < kRanks; ++r)
            if (thinned_[r] > 0) lines.push_back(std::string("  ") + kWhat[r] + ": " + whole(thinned_[r]));
        lines.push_back("Нужен е по-едър мащаб");
        lines.push_back(page_ == Page::A4 ? "или лист A3 (--page A3)." : "или детайл на гъстите места.");
        double size = 1.35 * u_;
        for (const auto& l : lines) size = fitted(l, true, size, (kPanel - 1) * u_);
        double yy = legend_top() + (legend_rows() + 1) * kRow * u_;
        s += "<g id=\"thinned\" fill=\"#c62828\" font-weight=\"bold\" font-size=\"" + num(size) + "\">\n";
        for (const auto& l : lines) {
            s += "<text x=\"" + num(panel_x_ + 1 * u_) + "\" y=\"" + num(yy) + "\">" + escaped(l) +
                 "</text>\n";
            yy += 1.5 * size;
        }
        s += "</g>\n";
    }

    std::string ratio() const { return "М 1:" + whole(sheet_.scale); }

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
        // The bar takes at most four fifths of the panel.
        const double len = scale_bar_length(std::min(extent_, 3.2 * kPanel * u_));
        const double lead = len / std::pow(10.0, std::floor(std::log10(len) + 1e-9));
        const int parts = lead < 1.5 ? 5 : lead < 3 ? 4 : 5;
        const double x0 = panel_x_ + (kPanel * u_ - len) / 2, y0 = scale_top(), h = 0.9 * u_, f = 1.5 * u_;
        s += "<g id=\"scale\" stroke=\"#222222\" stroke-width=\"" + num(0.1 * u_) + "\">\n";
        s += "<text x=\"" + num(panel_x_ + kPanel / 2 * u_) + "\" y=\"" + num(y0 - 1.2 * u_) +
             "\" font-size=\"" + num(1.8 * u_) +
             "\" font-weight=\"bold\" text-anchor=\"middle\" fill=\"#222222\" stroke=\"none\">" + ratio() +
             "</text>\n";
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
            if (same_name(l.name, "Ellipses") && d_.magnification > 0) {
                out.push_back({&st, "", "елипси на грешките (×" + num(d_.magnification) + ")"});
                continue;
            }
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
    Page page_;
    std::optional<Anchors> anchors_;
    Rect area_{0, 0, 0, 0};     // where texts may stand: the map frame less a halo
    int thinned_[kRanks] = {};  // texts without room, by rank
    double extent_ = 10, u_ = 0.1, text_unit_ = 0;
    Sheet sheet_;
    Pt mid_;
    std::vector<std::vector<Placed>> placed_;  // the texts of each layer of the drawing
    double frame_x_ = 0, frame_y_ = 0, frame_w_ = 0, frame_h_ = 0, panel_x_ = 0;
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

Sheet sheet_for(double width_m, double height_m, Page page) {
    const Paper p = paper(page);
    Sheet best;
    for (const bool portrait : {false, true}) {
        const double w = portrait ? p.h : p.w, h = portrait ? p.w : p.h;
        // The frame's room for the survey, millimetres of paper.
        const double room_w = w - kUnitMm * (2 * kMargin + kPanel + kGap + 2 * kPad);
        const double room_h = h - kUnitMm * (2 * kMargin + kBand + kBelow + 2 * kPad);
        const double least = 1000 * std::max(width_m / room_w, height_m / room_h);
        long long scale = 0;
        for (long long power = 10; scale == 0; power *= 10)
            for (const long long lead : {10, 20, 25, 50})  // 1:100, 1:200, 1:250, 1:500, ...
                if (scale == 0 && static_cast<double>(lead * power) >= least) scale = lead * power;
        if (best.scale == 0 || scale < best.scale) best = {w, h, scale};
    }
    return best;
}

double text_width(std::string_view utf8, bool bold) {
    // DejaVu Sans and its bold face: the advances of the digits, the point and the comma,
    // the blank and the hyphen; Щ, the widest letter, for every other character.
    double w = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xc0) == 0x80) continue;
        w += c >= '0' && c <= '9'   ? (bold ? 0.6958 : 0.6362)
             : c == '.' || c == ',' ? (bold ? 0.3799 : 0.3179)
             : c == ' '             ? (bold ? 0.3481 : 0.3179)
             : c == '-'             ? (bold ? 0.4150 : 0.3608)
                                    : (bold ? 1.3257 : 1.0938);
    }
    return w;
}

Plan draw_plan(const Drawing& d, Page page) {
    const Picture picture(d, page);
    return {picture.sheet(), picture.svg(), picture.labels()};
}

std::string render_svg(const Drawing& d, Page page, Sheet* sheet) {
    Plan plan = draw_plan(d, page);
    if (sheet) *sheet = plan.sheet;
    return std::move(plan.svg);
}

}  // namespace vk::plot
