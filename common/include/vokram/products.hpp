// The network as the intermediate files hand it on, and the files made from it: the
// writer and the reader of vokram1's "Temp/VK_1.tmp"; the reader and the writer of "Temp/VK_2.tmp", the
// AutoCAD script "VK/VK_2.scr", the cadastral file "VK/VK_2.cad" and the surface list
// "VK/Surface.txt". vokram2 writes them from its approximate coordinates; vokram4, asked
// to adopt its result, writes them again from the adjusted ones.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vokram/frame.hpp"
#include "vokram/parameters.hpp"
#include "vokram/text.hpp"

namespace vk {

// A point of the network: given points first, then the new points.
struct NetPoint {
    std::uint8_t vi = 0;  // 0 undetermined, 1 height only, 2 plane only, 3 plane and height
    std::uint16_t no = 0;
    double x = 0, y = 0;  // reduced by the origin (xo, yo)
    double h = 0;         // absolute height
};

// The series of a row that belongs to no series yet; series ordinals are 16-bit.
inline constexpr std::uint16_t kUnusedSeries = 65535;

// One measurement. `ns` and `nt` are indexes into the point table (from 0), except
// while a reader still holds them as point numbers.
struct NetRow {
    std::uint16_t ps = kUnusedSeries;   // series: the directions of one series share an orientation
    int ns = 0;                         // station
    std::uint16_t hs = 0;               // instrument height [mm]
    int nt = 0;                         // target
    std::uint16_t ht = 0;               // target height [mm]
    double R = 0, V = 0, S = 0, D = 0;  // direction, zenith angle [grads], slope, horizontal distance [m]
};

// The tables the files are written from.
struct NetTables {
    double xo = 0, yo = 0;  // reduction origin
    int g = 0;              // given points: entries 0..g-1 of `pts`
    std::vector<NetPoint> pts;
    std::vector<NetRow> rows;  // empty when the rows are not yet tied to table entries
    int n() const { return static_cast<int>(pts.size()); }
};

// The table sizes of the reading program.
struct Capacity {
    int points = 400;
    int rows = 1000;
};

// "Temp/VK_1.tmp": the checked and reduced network of vokram1.
struct Vk1 {
    double xo = 0, yo = 0;  // reduction origin
    double tol_angle = 0;   // grads
    double tol_linear = 0;  // m
    double tol_height = 0;  // m
    double refraction = 0;  // coefficient k
    std::vector<NetPoint> given;
    long long given_heights = 0;       // given points that carry a height (kinds 3 and 1)
    std::vector<std::uint16_t> fresh;  // numbers of the new points
    std::vector<NetRow> rows;          // `ns` and `nt` hold point numbers
    long long levelling_rows = 0;      // rows with instrument height, zenith angle and slope distance
};

// A row gives a height difference when the instrument height, the zenith angle and the
// slope distance are all there.
template <class Row>
bool has_height_difference(const Row& w) {
    return w.hs > 0 && w.V > 0.0 && w.S > 0.0;
}

// Writes "Temp/VK_1.tmp"; the counts of the kinds of points and measurements are taken
// from the tables.
void write_vk1(const Vk1& v, TextFile& f);

// One point row of either intermediate file: kind (`lowest_kind` to 3), number, x, y, h;
// `plane_only` reads number, x and y of a point with plane coordinates and nothing more.
// It is read as a row of NumberReader::rows, which passes over the rest of the line.
NetPoint read_point_row(NumberReader& r, int lowest_kind = 1, bool plane_only = false);

// Reads "Temp/VK_1.tmp". A count that does not fit `cap` calls `too_many` with what has
// been read before it, and nothing more is stored; `too_many` must not return.
Vk1 read_vk1(NumberReader& r, const Capacity& cap, const std::function<void(const Vk1&)>& too_many);

// How a program reads "Temp/VK_2.tmp".
struct Vk2Reading {
    int lowest_kind = 1;      // 0 also takes undetermined points
    bool plane_only = false;  // only number, x and y of the points with plane coordinates
    bool with_rows = true;    // false: the point tables only
    // Called with the tables read so far when a count does not fit `cap`; it must not
    // return. Without it such a count is a fatal input error.
    std::function<void(const NetTables&)> too_many;
};

// Reads "Temp/VK_2.tmp": every point row and the directions and distances, whose `ns`
// and `nt` hold point numbers. A count that does not fit `cap` is a fatal input error.
NetTables read_vk2(NumberReader& r, const Capacity& cap, const Vk2Reading& how = {});

// A height adjusted from the trigonometric height differences.
struct NetHeight {
    std::uint16_t no = 0;
    double h = 0;  // m
};

// "Temp/VK_H.tmp": vokram2's adjusted heights, for vokram4 to take over with its adjusted
// coordinates. A count that does not fit `cap` is a fatal input error.
void write_vkh(const std::vector<NetHeight>& heights, TextFile& f);
std::vector<NetHeight> read_vkh(NumberReader& r, const Capacity& cap);

void write_surface(const NetTables& t, TextFile& f);  // "VK/Surface.txt"
// "VK/VK_2.scr", its texts sized and its heights rounded as the parameters say.
void write_plot(const NetTables& t, const Parameters& p, TextFile& f);
void write_cad(const NetTables& t, TextFile& f);  // "VK/VK_2.cad"
void write_vk2(const NetTables& t, TextFile& f);  // "Temp/VK_2.tmp"

// The lines the network's files share with the polar survey's: a layer switch of a drawing
// script (the empty line ends the LAYER command); a surface list line of absolute easting,
// northing and height; a cadastral point record of kind, code, reduced x, y, h with
// `decimals` and its symbol code twice; a position "E,N" of a drawing script, easting
// first, as the drawing's x axis is the survey's y axis.
void script_layer(TextFile& f, const char* name);
std::string script_position(double e, double n, int decimals);
std::string surface_line(double e, double n, double h);
std::string cad_point(int kind, long long code, double x, double y, double h, int decimals, int symbol);

// "VK/VK_2.scr" in the working folder, drawn with the values of its "P.txt".
void save_plot(const Workspace& ws, const NetTables& t);

// Writes the whole file `rel` of the folder ("VK/VK_2.cad") with `fill`: under a temporary
// name, renamed over the old file when it is complete, so that a stop or a full disk never
// leaves a file cut short.
void save_file(const Workspace& ws, const std::string& rel, const std::function<void(TextFile&)>& fill);

// Writes the file `rel` of the folder ("VK/VK_2.cad") with `fill`.
using FileWriter = std::function<void(const std::string& rel, const std::function<void(TextFile&)>& fill)>;
// The surface list, the script, the cadastral file and "Temp/VK_2.tmp", in this order,
// through `out`.
void write_solution(const Workspace& ws, const NetTables& t, const FileWriter& out);
// The same, each file under a temporary name renamed over the old one when complete.
void save_solution(const Workspace& ws, const NetTables& t);

// "Temp/Solution.tmp" ties the files of one solution to the "Temp/VK_1.tmp" they were
// computed from: the size and a hash of the bytes of "Temp/VK_1.tmp", "Temp/VK_2.tmp" (read
// from `vk2`) and "Temp/VK_H.tmp" (or that it is absent). vokram2 writes it after its other
// files; an adoption writes it anew with its set.
void write_fingerprint(const Workspace& ws, const std::filesystem::path& vk2, TextFile& f);
void save_fingerprint(const Workspace& ws);
// A damaged-file error (100) when the three files are not those the fingerprint names, as
// after a new run of vokram1 without vokram2, or a vokram2 that stopped.
void check_fingerprint(const Workspace& ws);

}  // namespace vk
