// vokram1: intake of the survey data file, checks of the station measurements,
// orientation and reductions, and the network written for vokram2.
//
//   stage            report sections  file
//   run              (the sequence)   src/run.cpp  (its Module; common/ run_frame does the rest)
//   vhod_points      1, 2             src/intake.cpp  (given points, "P.txt", stations)
//   vhod_params
//   vhod_stations
//   kontroli         3                src/internal_checks.cpp
//   korekcii         4 to 7           src/reductions.cpp
//   elementi, izhod  8                src/elements.cpp  ("Temp/VK_1.tmp" through common/)
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "vokram/console.hpp"
#include "vokram/frame.hpp"
#include "vokram/parameters.hpp"
#include "vokram/products.hpp"
#include "vokram/text.hpp"

namespace vk::v1 {

inline constexpr int kPointCapacity = 400;  // table entries; 399 points at most are accepted
inline constexpr int kRowCapacity = 1000;   // table entries; 999 rows at most are stored

// A given point (kind 1, 2 or 3) or a new point (kind 0) of the point table.
using Point = NetPoint;

// One sight of a station record, `ns` and `nt` point numbers. Its series `ps` is the
// station record's ordinal, 0 once the record is oriented on given points.
using Row = NetRow;

// The whole working state of one vokram1 run.
struct Survey {
    Survey(Console& console, TextFile& report) : con(console), rep(report) {}
    Console& con;
    TextFile& rep;

    std::string geo;                      // the text of "VK/Geo_Data.txt"
    Parameters par = kDefaultParameters;  // "P.txt" as read
    double xo = 0, yo = 0;                // reduction origin
    std::vector<Point> pts;               // given points first, then the new points
    int given = 0;                        // count of given points
    std::vector<Row> rows;
    int records = 0;    // station records read
    int rows_read = 0;  // rows stored by the intake (before any merging)
    std::string fault;  // the first error line of the stage: the reason of its stop
};

// Capacity guard: stops the module when a counter has reached its limit.
void granica(Survey& s);
// Writes an error line into the report; the first one of a stage is the reason of its stop.
void fault(Survey& s, const std::string& line);
// Stops the module when the stage has written an error line.
void stop_on_fault(const Survey& s);

// Stages in the order the main program runs them.
void report_head(Survey& s);                       // banner and the title of section 1
void vhod_points(Survey& s);                       // report section 1: given points, reduction origin
void vhod_params(Survey& s, const Workspace& ws);  // report section 2: "P.txt", created when missing
void vhod_stations(Survey& s);                     // report section 3 head: station records
void kontroli(Survey& s);                          // report section 3: faces, repeats, height differences
void korekcii(Survey& s);                          // report sections 4 to 7: orientation and reductions
void elementi(Survey& s);                          // report section 8: new points and element counts
void izhod(const Survey& s, TextFile& out);        // the contents of "Temp/VK_1.tmp"

// Writes the section 2 lines.
void report_params(Survey& s);

// Runs the module in the working folder `root`; returns the exit status.
int run(Console& con, const std::filesystem::path& root);

}  // namespace vk::v1
