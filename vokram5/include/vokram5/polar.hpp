// vokram5: the detail survey. Every polar station of "VK/Geo_Data.txt" is oriented on
// the network points it sighted, checked against them, and its detail points are
// written to the report, the script "VK/VK_5.scr", the cadastral file "VK/VK_2.cad"
// and the surface list "VK/Surface.txt".
//
//   stage                      file
//   run                        src/run.cpp  (its Module; common/ run_frame does the rest)
//   vhod_points, granica       src/intake.cpp  ("Temp/VK_2.tmp" and "P.txt")
//   stanciq, nova_st           src/station.cpp  (the station record and its detail points)
//   ins_kontrol, out_kontrol   src/station_checks.cpp, src/faces.hpp
//   zapis_st, zapis_to         src/output.cpp  (lines through common/)
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "vokram/console.hpp"
#include "vokram/frame.hpp"
#include "vokram/parameters.hpp"
#include "vokram/statistics.hpp"
#include "vokram/text.hpp"

namespace vk::v5 {

inline constexpr int kPointCapacity = 400;  // entries of the point table
inline constexpr int kSightCapacity = 130;  // entries of the sight table of one station
inline constexpr int kGroupCapacity = 600;  // numbers of one group of the data file

// The parameters the detail survey takes when "P.txt" is absent: wider tolerances than the
// network's, for sights to detail points, and no refraction.
inline constexpr Parameters kAbsentParameters{0.02, 0.15, 0.15, 0.0, 0.0, 0.0, 0.0, 0.0, 0.2, 2};

// A network point of "Temp/VK_2.tmp".
struct Point {
    std::uint8_t vi = 0;  // 1 height only, 2 plane only, 3 plane and height
    std::uint16_t no = 0;
    double x = 0, y = 0;  // reduced by the origin (xo, yo)
    double h = 0;
};

// One sight of the station record to a network point.
struct Sight {
    std::uint16_t ns = 0, hs = 0;       // station, instrument height [mm]
    std::uint16_t nt = 0, ht = 0;       // target, target height [mm]
    double R = 0, V = 0, S = 0, D = 0;  // direction, zenith angle [grads]; slope, horizontal distance [m]
};

// A detail sight: point number, target height, direction, zenith angle, slope distance.
struct DetailSight {
    std::int32_t no = -1;
    double t = 0, r = 0, z = 0, s = 0;
};

// A computed detail point: kind 1 height only, 2 plane only, 3 plane and height.
struct DetailPoint {
    std::int32_t no = 0;
    int vi = 0;
    double x = 0, y = 0, h = 0;  // x, y reduced
    double t = 0;                // target height of its sight
};

// The whole working state of one vokram5 run.
struct Polar {
    explicit Polar(Console& console) : con(console) {}
    Console& con;

    // Output: the report, the script, the cadastral file and the surface list. They are
    // memory files until run() opens the real ones, so that a stage can be tested alone.
    std::unique_ptr<TextFile> rep = std::make_unique<TextFile>();
    std::unique_ptr<TextFile> scr = std::make_unique<TextFile>();
    std::unique_ptr<TextFile> cad = std::make_unique<TextFile>();
    std::unique_ptr<TextFile> sur = std::make_unique<TextFile>();

    std::vector<Point> pts;              // given points first, then the new points
    double xo = 0, yo = 0;               // reduction origin
    Parameters par = kAbsentParameters;  // "P.txt" as read
    DistanceCorrection dist;             // the correction of measured distances
    double q = 0.0;                      // projection reduction: horizontal distances are multiplied by 1 - q

    // The survey data file, positioned after its three header lines.
    NumberReader geo{std::string(), "VK/Geo_Data.txt"};
    std::vector<double> buf;  // the group read before the last marker
    std::string record_at;    // "VK/Geo_Data.txt:line" where that group starts
    double last_code = 0;     // the last number NOVA_ST read
    std::vector<Sight> sights;

    // The current station.
    double st = 0;                     // its number as written
    double ih = 0;                     // instrument height [m]
    int J = -1;                        // index in the point table
    int st_vi = 0;                     // kind
    double xst = 0, yst = 0, hst = 0;  // coordinates (reduced) and height
    double Z = 0;                      // orientation unknown
};

// Capacity guard: writes the capacity message and stops when a table is full.
void granica(Polar& p);

// VHOD: the report head, the points of "Temp/VK_2.tmp", the parameters.
void report_head(Polar& p);
void vhod_points(Polar& p, NumberReader& vk2);
// The corrections the parameters give: the distance correction and the projection reduction.
void derive(Polar& p);

// NOVA_ST: reads groups up to the next lone marker -9; true when one was found.
bool nova_st(Polar& p);
// STANCIQ: at most one polar station per call.
void stanciq(Polar& p);
// The detail block of the current station, up to its closing -9.
void detail_block(Polar& p, const std::vector<DetailSight>& block);
// The point of one merged detail sight, or none when the sight gives no point.
std::optional<DetailPoint> polar_point(const Polar& p, const DetailSight& d);

// Checks of the station's own sights (faces, repetitions) and against the network.
void ins_kontrol(Polar& p);
void out_kontrol(Polar& p);

// Output of the station's sights to the script, and of one detail point to all files.
void zapis_st(Polar& p);
void zapis_to(Polar& p, const DetailPoint& d);

// Runs the module in the working folder `root`; returns the exit status.
int run(Console& con, const std::filesystem::path& root);

}  // namespace vk::v5
