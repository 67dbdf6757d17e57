// The writer of the survey data file "VK/Geo_Data.txt": a three-line header, the given
// points under codes -3, -2 and -1, one station record (code -4) per station setup and the
// detail block of a polar station between two lone markers -9.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace vk {

struct DataFile {
    struct Given {
        int vi;  // 3: x y H, 2: x y, 1: H only
        long no;
        double x = 0, y = 0, h = 0;  // absolute coordinates and height [m]
    };
    // One sight as the file holds it: R and V in grads, S in metres, 0 when not measured.
    struct Sight {
        long nt;
        double ht, R, V, S;
    };
    struct Record {
        long ns;
        double hs;                   // instrument height [m]
        std::vector<Sight> sights;   // to network points, two faces of a target one after the other
        std::vector<Sight> details;  // a polar station's detail sights
    };
    std::array<std::string, 3> header;  // UTF-8, one line each
    std::vector<Given> given;
    std::vector<Record> records;
};

// A group holds at most 99 numbers: a station record at most this many sights.
inline constexpr std::size_t kSightsPerRecord = 19;

// Writes the whole file through a temporary name. A record with more sights than a group
// may hold is written as several records of the same station, never parting two sights to
// one target that follow each other (the two faces); the detail block follows the last.
void write_data_file(const std::filesystem::path& path, const DataFile& d);

// A value with at most `decimals` decimals and no trailing zeros ("12.5", "400").
std::string shortest(double v, int decimals);

}  // namespace vk
