// Sokkia SDR33 (and SDR2x with its shorter fields): one record a line, the record type in
// positions 1-2, its derivation code in 3-4, then fields in fixed columns.
#include <cmath>

#include "readers.hpp"

namespace vk::imp {

namespace {

// The widths of a point name and of a value: SDR33 16 and 16, SDR2x 4 and 10.
struct Widths {
    std::size_t point, value;
};

class Sdr : public Reader {
  public:
    bool recognises(const std::string& text) const override { return text.compare(0, 4, "00NM") == 0; }

    RawData read(const std::string& text, const std::string& name, const ReadOptions&) const override {
        RawData d;
        const std::vector<std::string> lines = text_lines(text);
        const bool short_fields = !lines.empty() && lines.front().find("SDR2") != std::string::npos;
        d.format = short_fields ? "SDR2x" : "SDR33";
        const Widths widths = short_fields ? Widths{4, 10} : Widths{16, 16};
        State s;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Place at{name, static_cast<long>(i + 1)};
            const std::string& l = lines[i];
            if (l.find_first_not_of(' ') == std::string::npos) continue;
            if (l.size() < 4) fail(at, "непълен запис \"" + l + "\"");
            record(d, s, widths, l, at);
        }
        return d;
    }

  private:
    struct State {
        Angle angle = Angle::degrees;
        Length length = Length::metre;
        bool enz = false, horizon = false;
        double ht = 0;
        bool ht_given = false;
    };

    // The field of `len` characters from the 1-based position `from`, without its blanks.
    static std::string field(const std::string& l, std::size_t from, std::size_t len) {
        if (l.size() <= from - 1) return {};
        const std::string f = l.substr(from - 1, len);
        const std::size_t b = f.find_first_not_of(' '), e = f.find_last_not_of(' ');
        return b == std::string::npos ? std::string() : f.substr(b, e - b + 1);
    }
    static std::optional<double> value(const std::string& l, std::size_t from, std::size_t len,
                                       const Place& at) {
        const std::string f = field(l, from, len);
        if (f.empty()) return std::nullopt;
        const std::optional<double> v = decimal(f);
        if (!v) fail(at, "неправилно число \"" + f + "\"");
        return v;
    }

    static std::optional<double> length(const std::string& l, std::size_t from, std::size_t len,
                                        const Place& at, const State& s) {
        const std::optional<double> v = value(l, from, len, at);
        if (!v) return std::nullopt;
        return to_metres(*v, s.length);
    }

    static void record(RawData& d, State& s, const Widths& widths, const std::string& l, const Place& at) {
        const std::string type = l.substr(0, 2), code = l.substr(2, 2);
        const std::size_t p = widths.point, v = widths.value;
        auto digit = [&](std::size_t pos) { return l.size() >= pos ? l[pos - 1] : ' '; };
        if (type == "00") {
            const char a = digit(41), len = digit(42), order = digit(45);
            if (a == '1' || a == '2' || a == '4')
                s.angle = a == '1' ? Angle::degrees : a == '2' ? Angle::gon : Angle::mil;
            else
                fail(at, std::string("непозната мерна единица на ъгли \"") + a + "\"");
            if (len == '1' || len == '2')
                s.length = len == '1' ? Length::metre : Length::foot;
            else
                fail(at, std::string("непозната мерна единица на дължини \"") + len + "\"");
            s.enz = order == '2';
        } else if (type == "01") {
            s.horizon = digit(51) == '2';
        } else if (type == "02") {
            const std::string st = as_utf8(field(l, 5, p));
            if (st.empty()) fail(at, "станция без име");
            d.stations.push_back({st, length(l, 5 + p + 3 * v, v, at, s), at, {}});
        } else if (type == "03") {
            if (const std::optional<double> ht = length(l, 5, v, at, s)) s.ht = *ht, s.ht_given = true;
        } else if (type == "08") {
            RawPoint pt{as_utf8(field(l, 5, p)), {}, {}, {}, at};
            const std::size_t north = s.enz ? 5 + p + v : 5 + p, east = s.enz ? 5 + p : 5 + p + v;
            pt.x = length(l, north, v, at, s), pt.y = length(l, east, v, at, s);
            pt.h = length(l, 5 + p + 2 * v, v, at, s);
            d.points.push_back(pt);
        } else if (type == "09") {
            if (l.size() < 4 + 2 * p + 3 * v) fail(at, "непълен запис на визура");
            if (d.stations.empty()) fail(at, "визура преди първата станция");
            const std::string st = as_utf8(field(l, 5, p));
            if (!st.empty() && st != d.stations.back().name)
                fail(at, "визура от станция " + st + ", а текущата станция е " + d.stations.back().name);
            RawSight k;
            k.target = as_utf8(field(l, 5 + p, p));
            if (k.target.empty()) fail(at, "визура без име на точка");
            k.ht = s.ht, k.ht_given = s.ht_given, k.at = at;
            k.S = length(l, 5 + 2 * p, v, at, s);
            if (const std::optional<double> va = value(l, 5 + 2 * p + v, v, at)) {
                const double g = to_gon(*va, s.angle);
                k.V = s.horizon ? zenith_from_horizon(g) : g;
            }
            if (const std::optional<double> ha = value(l, 5 + 2 * p + 2 * v, v, at))
                k.R = to_gon(*ha, s.angle);
            k.face2 = code == "F2" || (code != "F1" && k.V && *k.V > 200.0);
            d.stations.back().sights.push_back(k);
        } else if (type == "13") {
            // Notes come in the instrument's code page; text in UTF-8 is taken as it is.
            const std::string note = l.substr(4);
            d.notes.push_back({at, as_utf8(note)});
        } else {
            d.skipped.push_back({at, "запис " + type + code + ", който не носи измерване"});
        }
    }
};

}  // namespace

const Reader& sdr_reader() {
    static const Sdr r;
    return r;
}

}  // namespace vk::imp
