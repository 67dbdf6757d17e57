// The processing parameters of "P.txt": lines 4 to 13 each begin with one value, and the
// rest of a line (unit, description) is a comment. Every value has a range that makes sense
// for a survey; the README lists them.
#pragma once

#include <vector>

#include "vokram/text.hpp"

namespace vk {

inline constexpr int kFirstParameterLine = 4;
inline constexpr int kLastParameterLine = 13;

// The values of lines `first` to `last` of a parameter file, `r` at the start of the file.
// A value outside its range is a fatal input error (106) naming the line.
std::vector<double> read_parameters(NumberReader& r, int first, int last);

}  // namespace vk
