// What every reader of the survey data file "VK/Geo_Data.txt" checks alike.
#pragma once

#include <optional>
#include <string>

#include "vokram/text.hpp"

namespace vk {

// The first number of a last group that no code closes, or of a detail block that no -9
// closes (the file ends inside it, as when it was cut off), or none. `r` stands after the
// three header lines.
std::optional<double> unclosed_group(NumberReader r);
// The report line that names that group.
std::string unclosed_group_line(double first);

}  // namespace vk
