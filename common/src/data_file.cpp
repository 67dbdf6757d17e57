#include "vokram/data_file.hpp"

#include <cmath>

namespace vk {

std::optional<double> unclosed_group(NumberReader r) {
    constexpr double kMarker = -9.0;  // opens and closes a block of detail sights
    std::optional<double> first;      // of the group or the detail block still open
    bool detail = false;
    double v = 0.0;
    NumberReader::Got got;
    while ((got = r.next(v)) == NumberReader::Got::number) {
        if (detail && v == kMarker) {  // the block is closed
            detail = false;
            first.reset();
        } else if (!detail && v < 0.0) {  // a code closes the group, or opens a block
            detail = v == kMarker;
            first.reset();
            if (detail) first = v;  // a block is named by its marker until it holds a number
        } else if (!first || (detail && *first == kMarker)) {
            first = v;
        }
    }
    return got == NumberReader::Got::end ? first : std::nullopt;  // a bad token is reported where it is read
}

std::string unclosed_group_line(double first) {
    const std::string number = first == std::floor(first) ? real(first, 0, 0) : real(first, 0, 4);
    return "    Групата данни от " + in_quotes(number) + " до края на файла не е завършена с код.";
}

}  // namespace vk
