// vokram4: least-squares adjustment of the plane network left by vokram2 in
// "Temp/VK_2.tmp", with the mean errors of the adjusted coordinates (report section 13).
//
//   stage                   file
//   run, iterate            src/run.cpp  (its Module; owns the work files in "Temp/")
//   vhod, vhod_report       src/vhod.cpp
//   sastavq_n               src/normal.cpp, src/equations.cpp
//   reshava_n, opredelq_q   src/solve.cpp, src/normal_matrix.cpp
//   kontrola, popravq       src/residuals.cpp
//   zapis                   src/zapis.cpp
//   adopt                   src/adopt.cpp  (--adopt)
//   diagnose                src/diagnostics.cpp, src/variance.cpp  ("VK/VK_4.txt", "VK/VK_4.scr"
//   write_listing                                                   through src/listing.cpp)
//   record files            src/records.cpp
//
// Observations are the horizontal directions (one orientation per station and series,
// eliminated group by group with Schreiber's sum equation) and the horizontal distances;
// the unknowns are the corrections of the new points' x and y in centimetres, the given
// points are fixed. Directions are in centesimal seconds with weight 1, distances in
// centimetres with weight pD.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "vokram/console.hpp"
#include "vokram/frame.hpp"
#include "vokram/statistics.hpp"
#include "vokram/text.hpp"
#include "vokram4/normal_matrix.hpp"

namespace vk::v4 {

inline constexpr int kPointCapacity = 400;
inline constexpr int kMeasurementCapacity = 1000;
// Iterations that do not settle within this many are abandoned with a report line.
inline constexpr int kIterationCap = 30;

// A point with plane coordinates: given (fixed) or new (adjusted).
struct Point {
    std::uint16_t no = 0;
    double x = 0, y = 0;  // metres, reduced by the origin (xo, yo)
};

// A direction and/or horizontal distance between two loaded points.
struct Measurement {
    std::uint16_t ps = 0;          // series
    std::uint16_t ns = 0, nt = 0;  // station and target: indexes into the point table, from 0
    double R = 0;                  // horizontal direction, grads; 0 = not measured
    double D = 0;                  // horizontal distance, metres; 0 = not measured
};

// A direction or distance as it entered the equations of the latest iteration: its
// coefficients at the current coordinates and its residual for the corrections solved.
struct Observed {
    int m = 0;         // index into the measurement table
    int group = -1;    // orientation group of a direction; -1 for a distance
    double c[4] = {};  // coefficients of the station's and the target's x and y corrections
    int i[4] = {};     // their unknowns (from 1; 0 = absent: a given point)
    double v = 0;      // residual: cc for a direction, cm for a distance
    bool direction() const { return group >= 0; }
};

// The whole working state of one vokram4 run.
struct Adjustment {
    explicit Adjustment(Console& console) : con(console) {}
    Console& con;
    // The report, open for appending from vhod_report on; none for a solution of the
    // network that only the diagnostics read.
    std::unique_ptr<TextFile> rep;

    double xo = 0, yo = 0;   // reduction origin
    std::vector<Point> pts;  // given points first (0..g-1), then the new points
    int g = 0;               // given points loaded
    std::vector<Measurement> ms;
    // The orientation groups: the measurements with a direction, per station and series,
    // each in table order; the groups in the order of their first direction.
    std::vector<std::vector<int>> groups;
    int n_dir = 0;    // directions
    int n_dist = 0;   // distances with a new end
    int u = 0;        // coordinate unknowns, 2 per new point
    double pD = 2.0;  // weight of a distance equation

    // Figures of the latest iteration.
    double pff = 0;             // the reduced element (u+1, u+1)
    double pvv = 0;             // [pvv] from the residuals
    double m0 = 0;              // mean error of unit weight, cc
    Largest vR;                 // cc
    Largest vD;                 // cm
    std::vector<Observed> obs;  // every direction and distance of the latest iteration
    int iterations = 0;
    bool converged = false;
    int max_iterations = kIterationCap;
    bool adopted = false;  // the adjusted coordinates are in vokram2's files
    std::string adoption;  // the line after the coordinate table on what was adopted; empty: not asked

    // The work files: the stages fill them, the main program writes them to the disk.
    NormalMatrix N;       // "Temp/N_matrix.tmp"
    RecordFile<float> X;  // "Temp/dx.tmp"
    RecordFile<float> Q;  // "Temp/Q_row.tmp"
    RecordFile<float> M;  // "Temp/Q_main.tmp"
    // The inverse of the reduced normal matrix of the last iteration wherever the
    // accuracies and the diagnostics read it (OPREDELQ_Q).
    Cofactors cofactors;

    int n() const { return static_cast<int>(pts.size()); }
    // The index of the x unknown of point p (from 1), 0 for a given point.
    int unknown(int p) const { return p < g ? 0 : 2 * (p - g) + 1; }
    // The number of the new point that owns unknown `i`.
    std::uint16_t owner(int i) const { return pts[g + (i - 1) / 2].no; }
    // Mean errors of the x and y of new point g + k (k from 0), cm.
    double mx(int k) const;
    double my(int k) const;
};

// Stages in the order the main program runs them.
void vhod(Adjustment& a, NumberReader& in);  // loads "Temp/VK_2.tmp", counts, groups
void vhod_report(Adjustment& a);             // section 13 head and the possibility test
void sastavq_n(Adjustment& a);               // the bordered normal matrix
void reshava_n(Adjustment& a);               // reduction, pff, corrections
int solve(Adjustment& a);                    // the same without a stop: 0 or the undetermined unknown
void invert(Adjustment& a);                  // the cofactors the diagnostics read
void kontrola(Adjustment& a);                // residuals, [pvv], m0
void popravq(Adjustment& a);                 // applies the corrections, console figures
void opredelq_q(Adjustment& a);              // cofactors and "Temp/Q_main.tmp"
void zapis(Adjustment& a);                   // section 13: controls and adjusted coordinates

// Takes the adjusted coordinates of a converged adjustment, and vokram2's adjusted heights
// when it left any, over into "Temp/VK_2.tmp" and vokram2's drawing files, written as
// vokram2 writes them; sets the report line saying so, or why nothing was adopted.
void adopt(Adjustment& a, const Workspace& ws);

// The stop rule: true when the figures of an iteration have settled.
bool settled(double prev_m0, double m0, double prev_pvv, double pvv);
// The iterations up to the stop rule or the cap; a line in the report when capped.
void iterate(Adjustment& a);

// How a run goes beyond the adjustment itself.
struct Options {
    bool adopt = false;  // the adjusted coordinates and heights replace vokram2's in its files
};

// Runs the module in the working folder `root`; returns the exit status.
int run(Console& con, const std::filesystem::path& root, const Options& options = {});

}  // namespace vk::v4
