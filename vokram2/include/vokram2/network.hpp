// vokram2: approximate plane coordinates of the new points by the classical tasks,
// controls of the plane solution, trigonometric heights, the coordinate register and
// the files for vokram4, vokram5 and CAD.
//
//   stage                    report section  file
//   run                      (the sequence)  src/run.cpp  (its Module; common/ run_frame does the rest)
//   vhod                     -               src/vhod.cpp  ("Temp/VK_1.tmp")
//   zadachi_2d, pra_zad      9               src/zadachi.cpp
//     p_a_zas s_a_zas o_a_zas                src/angular.cpp
//     p_k_zas dal_zas o_k_zas                src/linear.cpp, src/ambiguity.cpp (two solutions)
//     han_zad                                src/hansen.cpp
//     lokalna_sistema                        src/local_frame.cpp (points no task reaches)
//     popravka                               src/recompute.cpp (approximations in conflict)
//   kontroli_2d              10              src/plane_checks.cpp
//   h_zadacha, h_kontrola    11, 12          src/heights.cpp
//   adjust_heights           "VK/VK_H.txt"   src/height_adjustment.cpp, src/height_listing.cpp
//   izhod, otstrani          register        src/izhod.cpp  (files through common/)
//   kontrol                  control block   src/stop_block.cpp  (a stopped run)
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "vokram/console.hpp"
#include "vokram/frame.hpp"
#include "vokram/products.hpp"
#include "vokram/text.hpp"

namespace vk::v2 {

inline constexpr int kPointCapacity = 400;   // point table entries
inline constexpr int kRowCapacity = 1000;    // measurement table entries
inline constexpr double kNoHeight = -999.0;  // height of a point that has none yet

// A point of the table: given points first, then the new points.
struct Point {
    std::uint8_t vi = 0;  // 0 undetermined, 1 height only, 2 plane only, 3 plane and height
    std::uint16_t no = 0;
    double x = 0, y = 0;    // reduced by the origin (xo, yo)
    double h = 0;           // absolute height
    std::uint16_t stp = 0;  // solution step that gave the plane position; 1 for given points
    bool levelled = false;  // the height comes from the trigonometric levelling
};

// One measurement. `ns` and `nt` hold point numbers while the file is read and point-table
// indexes (0-based) afterwards.
using Row = NetRow;

// Tolerances and refraction from the header of "Temp/VK_1.tmp".
struct Tolerances {
    double angle = 0;       // grads
    double linear = 0;      // m
    double height = 0;      // m
    double refraction = 0;  // coefficient k
};

// Measurements indexed by station, target and series. Every list holds row indexes in
// table order, so a search through a list meets the candidates in the order of a scan
// of the whole table.
struct RowIndex {
    std::vector<std::vector<int>> at_station;  // rows measured at a point
    std::vector<std::vector<int>> at_target;   // rows aimed at a point
    std::vector<std::vector<int>> touching;    // rows with the point at either end
    std::vector<std::vector<int>> series;      // rows of one station and one series
    std::vector<int> series_of;                // row -> its entry in `series`
};

// The whole working state of one vokram2 run.
struct Network {
    Network(Console& console, TextFile& report) : con(console), rep(report) {}
    Console& con;
    TextFile& rep;

    double xo = 0, yo = 0;  // reduction origin
    Tolerances tol;
    int g = 0;                     // given points: entries 0..g-1 of `pts`
    std::vector<Point> pts;        // given, then new points
    std::vector<Row> rows;         // measurements in file order
    bool indexed = false;          // rows refer to table entries instead of point numbers
    long long given_heights = 0;   // given points that carry a height (kinds 3 and 1)
    long long levelling_rows = 0;  // rows with instrument height, zenith angle and slope distance

    // Plane solution.
    int step = 0;    // solution pass; 1 stands for the given points
    int solved = 0;  // points with plane coordinates, counted from the given points on
    bool found = false;
    bool local = false;  // a frame of its own is being built: nothing is asked, nothing stops
    RowIndex idx;

    std::string plane_conflict;  // the report line of a plane control over its tolerance
    bool heights_ran = false;    // trigonometric levelling took place

    int n() const { return static_cast<int>(pts.size()); }
    int m() const { return static_cast<int>(rows.size()); }
    bool known(int p) const { return pts[p].vi > 1; }       // has plane coordinates
    bool has_height(int p) const { return pts[p].vi & 1; }  // kind 1 or 3
    std::uint16_t no(int p) const { return pts[p].no; }
};

// Direction angle from point p to point q, (0, 400].
double t(const Network& net, int p, int q);
// Plane distance between points p and q.
double dist2d(const Network& net, int p, int q);
// Gives point p its plane coordinates in the current step (kind 2, or 3 when it had a
// height); false (and nothing changed) when they are not finite numbers, as a degenerate
// figure produces.
bool compute(Network& net, int p, double x, double y);
// A row of the trigonometric levelling: instrument height and zenith angle present.
bool levelling(const Row& r);
// The trigonometric height difference target minus station of a levelling row, with
// curvature and refraction, as the levelling takes it: from the slope distance, else from
// the horizontal distance, else from the plane distance of two points with coordinates.
// `d` receives the horizontal distance [m]. False when the row gives no difference.
bool height_difference(const Network& net, const Row& r, double& dh, double& d);
// Builds the row index after the rows refer to table entries.
void build_index(Network& net);

// Ends the module after a data error; the caller has written the reason.

// Stages in the order of the main program.
void vhod(Network& net, NumberReader& r);  // loads "Temp/VK_1.tmp"
void zadachi_2d(Network& net);             // report section 9
void passes(Network& net);                 // the eight tasks, pass by pass, until a pass finds nothing
// A group of points in a frame of its own, placed on the control points it reaches; true
// when it gave points their coordinates.
bool lokalna_sistema(Network& net);
void pra_zad(Network& net);      // forward problem
void p_a_zas(Network& net);      // forward angular intersection
void s_a_zas(Network& net);      // side angular intersection
void p_k_zas(Network& net);      // forward combined intersection
void o_a_zas(Network& net);      // angular resection
void han_zad(Network& net);      // Hansen problem
void dal_zas(Network& net);      // distance intersection (asks the user)
void o_k_zas(Network& net);      // combined resection (asks the user)
void kontroli_2d(Network& net);  // report section 10
// The controls of section 10 written to `out`: the largest angular [grads] and linear [m]
// differences, the points named in the conflicts, and each row's own difference.
struct PlaneCheck {
    double angular = 0, linear = 0;
    std::string angular_line, linear_line;  // the lines of the largest differences
    std::vector<int> named;
    std::vector<double> angle_off, length_off;  // by row: from the station's mean orientation [grads], [m]
};
PlaneCheck plane_controls(const Network& net, TextFile& out);
// When the controls of the plane solution find a conflict, its points recomputed from their
// other intersections and by a few Gauss-Newton steps; kept (and said in the report) only
// when the conflict then disappears well inside the tolerances.
void popravka(Network& net);
void h_zadacha(Network& net);   // report section 11
void h_kontrola(Network& net);  // report section 12 and the stop decision
void izhod(
    Network& net);  // points without position, undetermined points, removal, register (report section 11)
void otstrani(Network& net);  // removes the undetermined points and their measurements
void kontrol(Network& net);   // control block of a stopped run
// The tables as the files of the solution are written from them (write_vk2 and the
// products); rows that do not yet refer to table entries (a stop while reading) are left out.
NetTables tables(const Network& net);

// Runs the module in the working folder `root`; returns the exit status.
int run(Console& con, const std::filesystem::path& root);

}  // namespace vk::v2
