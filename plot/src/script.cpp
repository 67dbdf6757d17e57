// Reader of the suite's AutoCAD scripts. One command stands on one line, its values
// separated by blanks; a point is "E,N" in the plan or "E,N,H" in the 3D model.
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "plot/plot.hpp"
#include "vokram/text.hpp"

namespace vk::plot {

namespace {

// Coordinates beyond a million kilometres are no survey's: such a value is damage.
constexpr double kFar = 1e9;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

struct Token {
    std::string_view text;
    std::size_t end;  // position after the token in its line
};

std::vector<Token> split(std::string_view line) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && blank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !blank(line[i])) ++i;
        if (i > start) out.push_back({line.substr(start, i - start), i});
    }
    return out;
}

// A decimal number (sign, digits, fraction, exponent); "nan", "inf" and hexadecimal
// are not numbers, nor is a value beyond kFar.
bool number(std::string_view t, double& v) {
    if (t.size() > 1 && t[0] == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
    if (t.empty()) return false;
    const char c = t[0] == '-' && t.size() > 1 ? t[1] : t[0];
    if (!((c >= '0' && c <= '9') || c == '.')) return false;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    return ec == std::errc{} && end == t.data() + t.size() && std::isfinite(v) && std::fabs(v) <= kFar;
}

// "E,N" or "E,N,H"; `solid` is set when a height is given.
bool point(std::string_view t, Pt& p, bool& solid) {
    const std::size_t c1 = t.find(',');
    if (c1 == std::string_view::npos) return false;
    const std::size_t c2 = t.find(',', c1 + 1);
    const std::string_view n =
        t.substr(c1 + 1, c2 == std::string_view::npos ? std::string_view::npos : c2 - c1 - 1);
    double h = 0;
    if (c2 != std::string_view::npos && !number(t.substr(c2 + 1), h)) return false;
    if (!number(t.substr(0, c1), p.e) || !number(n, p.n)) return false;
    solid = solid || c2 != std::string_view::npos;
    return true;
}

// Windows-1251 to UTF-8 for a label or a layer name; a byte the code page leaves
// undefined becomes "?", and control characters, which XML cannot carry, are dropped.
std::string readable(std::string_view cp1251) {
    std::string clean;
    for (char c : cp1251)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) clean += c;
    try {
        return from_cp1251(clean);
    } catch (const std::runtime_error&) {
        std::string out;
        for (char c : clean) {
            try {
                out += from_cp1251(std::string_view(&c, 1));
            } catch (const std::runtime_error&) {
                out += '?';
            }
        }
        return out;
    }
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

enum class Read { drawn, solid, damaged, passed };

// A point of the 3D model, "E,N,H", kept for the height of the plan's point at E,N.
Read spot(std::string_view t, const Pt& at, Drawing& d) {
    double h = 0;
    number(t.substr(t.rfind(',') + 1), h);
    d.spots.push_back({at, h});
    return Read::solid;
}

// One command line onto `current`; `layer` receives the name of a layer command.
Read command(std::string_view line, Drawing& d, std::string& current) {
    const std::vector<Token> t = split(line);
    if (t.empty()) return Read::passed;
    std::string name;
    for (char c : t[0].text) name += lower(c);
    // "-layer" and "_line" are the same commands in the CAD's command-line forms.
    while (!name.empty() && (name[0] == '-' || name[0] == '_')) name.erase(0, 1);
    const std::size_t n = t.size() - 1;
    bool solid = false;

    if (name == "layer") {
        if (n < 2) return Read::damaged;
        std::string option;
        for (char c : t[1].text) option += lower(c);
        if (option != "s" && option != "set" && option != "m" && option != "make") return Read::passed;
        const std::string layer = readable(t[2].text);
        if (layer.empty()) return Read::damaged;
        current = layer;
        return Read::passed;
    }
    if (name == "insert") {  // insert BLOCK E,N[,H] [scale [rotation]]
        Symbol s;
        double v = 0;
        if (n < 2 || !point(t[2].text, s.at, solid)) return Read::damaged;
        for (std::size_t i = 3; i <= n && i <= 4; ++i)
            if (!number(t[i].text, v)) return Read::damaged;
        if (solid) return spot(t[2].text, s.at, d);
        for (char c : t[1].text) s.block += lower(c);
        d.layer(current).symbols.push_back(s);
        return Read::drawn;
    }
    if (name == "point") {
        Pt p;
        if (n < 1 || !point(t[1].text, p, solid)) return Read::damaged;
        if (solid) return spot(t[1].text, p, d);
        d.layer(current).dots.push_back(p);
        return Read::drawn;
    }
    if (name == "text") {  // text E,N[,H] height rotation label
        Label l;
        if (n < 4 || !point(t[1].text, l.at, solid) || !number(t[2].text, l.size) ||
            !number(t[3].text, l.rot) || l.size <= 0)
            return Read::damaged;
        l.text = readable(trimmed(line.substr(t[3].end)));
        if (l.text.empty()) return Read::damaged;
        if (solid) return Read::solid;
        d.layer(current).labels.push_back(std::move(l));
        return Read::drawn;
    }
    if (name == "line") {  // line P1 P2 [P3 ...]
        std::vector<Pt> v(n);
        if (n < 2) return Read::damaged;
        for (std::size_t i = 0; i < n; ++i)
            if (!point(t[i + 1].text, v[i], solid)) return Read::damaged;
        if (solid) return Read::solid;
        d.layer(current).lines.push_back(std::move(v));
        return Read::drawn;
    }
    if (name == "ellipse") {
        // "ellipse c CENTRE AXIS-END OTHER-SEMI-AXIS", or by the two ends of one axis:
        // "ellipse END1 END2 OTHER-SEMI-AXIS".
        Ellipse el;
        const bool by_centre = n >= 1 && (t[1].text == "c" || t[1].text == "C");
        const std::size_t k = by_centre ? 2 : 1;
        Pt a, b;
        if (n != k + 2 || !point(t[k].text, a, solid) || !point(t[k + 1].text, b, solid) ||
            !number(t[k + 2].text, el.minor) || el.minor < 0)
            return Read::damaged;
        el.centre = by_centre ? a : Pt{(a.e + b.e) / 2, (a.n + b.n) / 2};
        el.axis = b;
        if (el.axis.e == el.centre.e && el.axis.n == el.centre.n) return Read::damaged;
        if (solid) return Read::solid;
        d.layer(current).ellipses.push_back(el);
        return Read::drawn;
    }
    return Read::passed;  // zoom, regen, rectangle, settings: nothing for the plan
}

}  // namespace

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

Layer& Drawing::layer(std::string_view name) {
    for (auto& l : layers)
        if (same_name(l.name, name)) return l;
    layers.push_back(Layer{std::string(name), {}, {}, {}, {}, {}});
    return layers.back();
}

const Layer* Drawing::find(std::string_view name) const {
    for (const auto& l : layers)
        if (same_name(l.name, name)) return &l;
    return nullptr;
}

bool Drawing::empty() const {
    for (const auto& l : layers)
        if (!l.empty()) return false;
    return true;
}

std::string survey_title(std::string_view geo_data) {
    return readable(trimmed(geo_data.substr(0, geo_data.find('\n'))));
}

double stated_magnification(std::string_view listing) {
    // "Увеличение на елипсите в чертежа VK/VK_4.scr: 500 пъти."
    const std::string key = to_cp1251("Увеличение на елипсите");
    const std::size_t at = listing.find(key);
    if (at == std::string_view::npos) return 0;
    const std::size_t colon = listing.find(':', at);
    const std::size_t end = listing.find('\n', at);
    if (colon == std::string_view::npos || colon > end) return 0;
    const std::vector<Token> t = split(listing.substr(colon + 1, end - colon - 1));
    double v = 0;
    return !t.empty() && number(t[0].text, v) && v > 0 ? v : 0;
}

ScriptReport read_script(std::string_view bytes, Drawing& d) {
    ScriptReport r;
    std::string current = "0";  // the CAD's own layer until the script names one
    int number = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        ++number;
        switch (command(bytes.substr(start, end - start), d, current)) {
            case Read::drawn:
                ++r.entities;
                break;
            case Read::solid:
                ++r.solid;
                break;
            case Read::damaged:
                if (r.damaged++ == 0) r.first_damaged = number;
                break;
            case Read::passed:
                break;
        }
        start = end + 1;
    }
    return r;
}

}  // namespace vk::plot
