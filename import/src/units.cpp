// What every reader shares: units, places, lines, names and numbers.
#include <cmath>
#include <cstdlib>

#include "readers.hpp"
#include "vokram/text.hpp"

namespace vk::imp {

void fail(const Place& at, const std::string& why) {
    throw ImportError{at.text() + ": " + why};
}

double to_gon(double v, Angle u) {
    switch (u) {
        case Angle::gon:
            return v;
        case Angle::degrees:
            return v * 400.0 / 360.0;
        case Angle::dms: {  // DDD.MMSSs: degrees, minutes, seconds and tenths
            const double tenths = std::round(v * 100000.0);
            const double d = std::floor(tenths / 100000.0);
            const double m = std::floor((tenths - d * 100000.0) / 1000.0);
            const double s = (tenths - d * 100000.0 - m * 1000.0) / 10.0;
            return (d + m / 60.0 + s / 3600.0) * 400.0 / 360.0;
        }
        case Angle::mil:
            return v * 400.0 / 6400.0;
    }
    return v;
}

double to_metres(double v, Length u) {
    return u == Length::foot ? v * 0.3048 : v;  // the international foot
}

double zenith_from_horizon(double v) {
    const double z = std::fmod(100.0 - v + 400.0, 400.0);
    return z < 0 ? z + 400.0 : z;
}

std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        std::string l = text.substr(at, nl - at);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
        at = nl + 1;
    }
    return out;
}

std::string unpadded(std::string name) {
    const std::size_t first = name.find_first_not_of('0');
    if (first == std::string::npos) return name.empty() ? name : "0";
    return name.substr(first);
}

std::string as_utf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > text.size()) return from_cp1251(text);
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return from_cp1251(text);
        i += n;
    }
    return text;
}

std::optional<double> decimal(const std::string& text) {
    const std::size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
    if (b == std::string::npos) return std::nullopt;
    const std::string t = text.substr(b, e - b + 1);
    if (t.find_first_not_of("0123456789.+-") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

const Reader* instrument_reader(const std::string& text) {
    for (const Reader* r : {&gsi_reader(), &sdr_reader()})
        if (r->recognises(text)) return r;
    return nullptr;
}

}  // namespace vk::imp
