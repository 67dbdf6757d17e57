#include "vokram/parameters.hpp"

#include <charconv>

#include "vokram/units.hpp"

namespace vk {

namespace {

// One line of the file: the range of its value, whether it is a whole number, the decimals
// it is written with, and the comment after the value.
struct Line {
    double lo, hi;
    bool whole;
    int decimals;
    const char* comment;
};

// Lines 4 to 13, in file order.
constexpr Line kLines[kParameterCount] = {
    {0.0, 1.0, false, 4, "[гради]  недопустима разлика за ъглови  величини      "},
    {0.0, 10.0, false, 3, "[м.]     недопустима разлика за линейни величини      "},
    {0.0, 10.0, false, 3, "[м.]     недопустима разлика за превишения            "},
    {-500.0, 9000.0, false, 2, "[м.]     височина над проекционната равнина           "},
    {-1.0, 1.0, false, 3, "         коефиц. отчитащ рефракция за визури над 300м."},
    {-1000.0, 1000.0, false, 1, "[мм.]    събир. попр. към дължини (? призм. константа)"},
    {-1000.0, 1000.0, false, 2, "[мм/км]  умнож. попр. към дължини (? атмосф. условия )"},
    {-1.0, 1.0, false, 4, "[гради]  поправка към индекс на вертикален кръг       "},
    {0.001, 100.0, false, 1, "[м.]     височина на текст в чертежа, извън мащаб     "},
    {0.0, 6.0, true, 0, "[брой]   брой знаци след дес. точка за коти в чертежа "},
};

constexpr std::size_t kRuleWidth = 65;  // the tilde lines that frame the file
constexpr std::size_t kValueWidth = 8;  // the value, left-aligned, before its comment

// `v` with at least `decimals` decimals, and with as many more as it needs to be read back
// as written (a text height of 0.35 m on a line of one decimal).
std::string exact(double v, int decimals) {
    std::string text = real(v, 0, decimals);
    for (int more = decimals + 1; more <= 9; ++more) {
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == v) break;
        text = real(v, 0, more);
    }
    return text;
}

}  // namespace

std::array<double, kParameterCount> Parameters::in_file_order() const {
    return {tol_angle, tol_linear, tol_height, hp,   refraction,
            additive,  scale,      index,      text, static_cast<double>(decimals)};
}

Parameters parse_parameters(NumberReader& r) {
    std::array<double, kParameterCount> v{};
    r.skip_lines(kFirstParameterLine - 1);
    for (int i = 0; i < kParameterCount; ++i) {
        const Line& line = kLines[i];
        v[i] = line.whole ? static_cast<double>(r.line_integer(static_cast<long long>(line.lo),
                                                               static_cast<long long>(line.hi)))
                          : r.line_number(line.lo, line.hi);
    }
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], static_cast<int>(v[9])};
}

std::optional<Parameters> read_parameter_file(const Workspace& ws) {
    std::optional<std::string> text = read_if_present(ws.file("P.txt"), "P.txt", kSmallFile);
    if (!text) return std::nullopt;
    NumberReader r(std::move(*text), "P.txt");
    return parse_parameters(r);
}

void write_parameter_file(const Parameters& p, TextFile& f) {
    const std::string rule(kRuleWidth, '~');
    f.line(rule);
    f.line("     * ВОКРАМ *     параметри при обработка на измерванията      ");
    f.line(rule);
    const std::array<double, kParameterCount> v = p.in_file_order();
    for (int i = 0; i < kParameterCount; ++i) {
        std::string value = exact(v[i], kLines[i].decimals);
        value.resize(std::max(value.size() + 1, kValueWidth), ' ');
        f.line("   " + value + kLines[i].comment);
    }
    f.line(rule);
}

DistanceCorrection distance_correction(const Parameters& p) {
    return {p.scale / kMmPerKm + 1.0, p.additive / kMmPerMetre};
}

}  // namespace vk
