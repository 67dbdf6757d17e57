// Leica GSI: one block a line, words of 16 (GSI-8) or 24 (GSI-16) characters with the blank
// after them; GSI-16 blocks begin with '*'. A word: the word index (2 digits), four
// characters of additional information (the sixth position the units), the sign, the data.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "readers.hpp"

namespace vk::imp {

namespace {

struct Word {
    std::string text;  // as written, without the blank after it
    int wi() const { return (text[0] - '0') * 10 + (text[1] - '0'); }
    char unit() const { return text[5]; }
    std::string data() const { return text.substr(7); }
    bool negative() const { return text[6] == '-'; }
};

// Whether `word` is a word of a GSI block with `width` data characters.
bool word_shape(const std::string& word, std::size_t width) {
    return word.size() == 7 + width && std::isdigit(static_cast<unsigned char>(word[0])) &&
           std::isdigit(static_cast<unsigned char>(word[1])) && (word[6] == '+' || word[6] == '-');
}

class Gsi : public Reader {
  public:
    bool recognises(const std::string& text) const override {
        for (const std::string& l : text_lines(text)) {
            if (l.find_first_not_of(' ') == std::string::npos) continue;
            const bool wide = l[0] == '*';
            const std::string first = l.substr(wide ? 1 : 0, l.find(' ', 1) - (wide ? 1 : 0));
            return word_shape(first, wide ? 16 : 8);
        }
        return false;
    }

    RawData read(const std::string& text, const std::string& name, const ReadOptions& o) const override {
        RawData d;
        const std::vector<std::string> lines = text_lines(text);
        const auto first = std::find_if(lines.begin(), lines.end(),
                                        [](const std::string& l) { return !l.empty() && l[0] != ' '; });
        const bool wide = first != lines.end() && (*first)[0] == '*';
        d.format = wide ? "GSI-16" : "GSI-8";
        double ht = 0;
        bool ht_given = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Place at{name, static_cast<long>(i + 1)};
            std::string l = lines[i];
            if (l.find_first_not_of(' ') == std::string::npos) continue;
            if (wide != (l[0] == '*'))
                fail(at, wide ? "блок GSI-8 във файл GSI-16" : "блок GSI-16 във файл GSI-8");
            std::map<int, Word> word;
            std::size_t from = wide ? 1 : 0;
            while (from < l.size()) {
                std::size_t end = l.find(' ', from);
                if (end == std::string::npos) end = l.size();
                const std::string t = l.substr(from, end - from);
                from = end + 1;
                if (t.empty()) continue;
                if (!word_shape(t, wide ? 16 : 8)) fail(at, "непълна или неправилна дума \"" + t + "\"");
                word[Word{t}.wi()] = Word{t};
            }
            block(d, word, at, o, ht, ht_given);
        }
        return d;
    }

  private:
    static std::optional<long long> digits(const Word& word, const Place& at) {
        const std::string s = word.data();
        if (s.find('-') != std::string::npos) return std::nullopt;  // not measured
        if (s.find_first_not_of("0123456789") != std::string::npos)
            fail(at, "неправилно число в думата \"" + word.text + "\"");
        const long long n = std::stoll(s);
        return word.negative() ? -n : n;
    }
    static std::optional<double> angle(const Word& word, const Place& at) {
        static const std::map<char, Angle> units = {
            {'2', Angle::gon}, {'3', Angle::degrees}, {'4', Angle::dms}, {'5', Angle::mil}};
        const std::optional<long long> n = digits(word, at);
        if (!n) return std::nullopt;
        const auto u = units.find(word.unit());
        if (u == units.end()) fail(at, "непозната мерна единица на ъгъл в думата \"" + word.text + "\"");
        return to_gon(static_cast<double>(*n) / 100000.0, u->second);
    }
    static std::optional<double> length(const Word& word, const Place& at) {
        struct Unit {
            double per_digit;
            Length l;
        };
        static const std::map<char, Unit> units = {{'0', {1e-3, Length::metre}},
                                                   {'1', {1e-3, Length::foot}},
                                                   {'6', {1e-4, Length::metre}},
                                                   {'7', {1e-4, Length::foot}},
                                                   {'8', {1e-5, Length::metre}}};
        const std::optional<long long> n = digits(word, at);
        if (!n) return std::nullopt;
        const auto u = units.find(word.unit());
        if (u == units.end()) fail(at, "непозната мерна единица на дължина в думата \"" + word.text + "\"");
        return to_metres(static_cast<double>(*n) * u->second.per_digit, u->second.l);
    }
    static std::string point(const Word& word) {
        std::string s = word.data();
        s.erase(0, s.find_first_not_of(' '));
        return unpadded(s);
    }

    static void block(RawData& d, const std::map<int, Word>& word, const Place& at, const ReadOptions& o,
                      double& ht, bool& ht_given) {
        auto has = [&](int wi) { return word.count(wi) != 0; };
        if (has(87)) {
            if (const std::optional<double> v = length(word.at(87), at)) ht = *v, ht_given = true;
        }
        if (has(41)) {
            const std::string code = point(word.at(41));
            if (o.station_code.empty() || code != unpadded(o.station_code)) {
                d.skipped.push_back({at, "кодов блок с код " + code});
                return;
            }
            if (!has(42)) fail(at, "кодов блок на станция без име в WI 42");
            RawStation s{point(word.at(42)), std::nullopt, at, {}};
            if (has(43)) {
                const std::string t = point(word.at(43));
                if (t.find('.') != std::string::npos) {
                    s.hs = decimal(t);
                    if (!s.hs) fail(at, "неправилна височина на инструмента \"" + t + "\"");
                } else {
                    s.hs = length(word.at(43), at);
                }
            }
            d.stations.push_back(s);
            return;
        }
        if (has(84) || has(85) || has(86) || has(88)) {
            if (!has(11)) fail(at, "станция без име в WI 11");
            RawStation s{point(word.at(11)), std::nullopt, at, {}};
            if (has(88)) s.hs = length(word.at(88), at);
            d.stations.push_back(s);
            return;
        }
        if (has(21) || has(22) || has(31) || has(32)) {
            if (!has(11)) fail(at, "визура без име на точка в WI 11");
            if (d.stations.empty()) fail(at, "визура преди първата станция");
            RawSight k;
            k.target = point(word.at(11));
            k.ht = ht, k.ht_given = ht_given, k.at = at;
            if (has(21)) k.R = angle(word.at(21), at);
            if (has(22)) k.V = angle(word.at(22), at);
            if (has(31)) {
                k.S = length(word.at(31), at);
            } else if (has(32) && k.V) {  // the slope distance from the horizontal one
                if (const std::optional<double> hd = length(word.at(32), at))
                    k.S = *hd / std::abs(std::sin(*k.V * 3.14159265358979323846 / 200.0));
            }
            k.face2 = k.V && *k.V > 200.0;
            d.stations.back().sights.push_back(k);
            return;
        }
        if (has(11) && (has(81) || has(82) || has(83))) {
            RawPoint p{point(word.at(11)), {}, {}, {}, at};
            if (has(82)) p.x = length(word.at(82), at);
            if (has(81)) p.y = length(word.at(81), at);
            if (has(83)) p.h = length(word.at(83), at);
            d.points.push_back(p);
            return;
        }
        if (!has(87)) d.skipped.push_back({at, "блок без измерване"});
    }
};

}  // namespace

const Reader& gsi_reader() {
    static const Gsi r;
    return r;
}

}  // namespace vk::imp
