// The entry points of the fuzz targets and of their regression tests: each writes one
// text to the file it stands for, reads it back as the programs do, then runs the stages
// that use what was read.
// An orderly end (a stop with its report lines, a fatal input error with its message,
// or a normal finish) returns; anything else escapes as an exception, a crash or a
// sanitizer report.
#pragma once

#include <string_view>

namespace vk::fuzz {

void geo_data(std::string_view text);        // "VK/Geo_Data.txt" in vokram1
void geo_data_polar(std::string_view text);  // "VK/Geo_Data.txt" in vokram5's station walk
void params(std::string_view text);          // "P.txt" in vokram1, vokram2 and vokram5
void vk1(std::string_view text);             // "Temp/VK_1.tmp" in vokram2
void vk2_adjust(std::string_view text);      // "Temp/VK_2.tmp" in vokram4
void vk2_polar(std::string_view text);       // "Temp/VK_2.tmp" in vokram5
void token(std::string_view text);           // "Temp/Key.tmp"
void raw(std::string_view text);             // a raw file or a list of given points in vokram-import

}  // namespace vk::fuzz
