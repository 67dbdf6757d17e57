// Test support for vokram5: a working folder as vokram2 leaves it, with polar stations whose
// readings are generated from known true coordinates; and one polar station in memory.
#pragma once

#include <string>
#include <vector>

#include "support/scratch.hpp"
#include "vokram5/polar.hpp"

namespace v5test {

using Lines = std::vector<std::string>;
Lines tail(const Lines& l, std::size_t n);  // the last n lines (all when fewer)
// How many lines start with `prefix` followed by numbers only, as many as `want` and each
// within tol of its value.
int found(const Lines& lines, const std::string& prefix, const std::vector<double>& want, double tol);

// A point with absolute coordinates; kind 1 height only, 2 plane only, 3 both.
struct True {
    int no;
    double x, y, h;
    int vi = 3;
};

// Three given points, and new points 5 (kind 3), 6 (kind 2) and 7 (kind 1) that serve as
// polar stations.
struct Network {
    double xo = 4567880, yo = 8512330;  // reduction origin
    std::vector<True> given, added;
    Network();
};

// The six detail points of a station, 20 m to 200 m away. The survey sights them in both
// faces in either order and in one face of either kind, the last one in face II alone; all
// but the third with a target height.
std::vector<True> detail(const True& station);

// The values of "P.txt"; `index` is added to face-I zenith readings (the index error is -index).
struct Settings {
    double hp = 0, k = 0.13, add_mm = 0, ppm = 0, index = 0;
};

// A working folder as vokram2 leaves it; the console of its runs.
struct Folder : vk::test::ScratchFolder {
    vk::ScriptedConsole con;
    explicit Folder(const Network& n);     // the token 1, "Temp/VK_2.tmp", the drawing files
    void params(const Settings& s) const;  // "P.txt"
    // "VK/Geo_Data.txt": the first `stations` new points as polar stations, each sighting the
    // three given points, then its detail points.
    void survey(const Network& n, const Settings& s, std::size_t stations = 3) const;
    int run() { return vk::v5::run(con, root); }
};

// Station 1 at (1000, 1000, 100) in memory: point 2 is 100 m north and 3 100 m east at its
// height, 4 has a plan position only and 5 a height only (120); the files are memory files.
struct Stage {
    vk::ScriptedConsole con;
    vk::v5::Polar p{con};
    Stage();
    // Runs a stage; true when it stopped the module.
    template <class F>
    bool stops(F&& stage) {
        try {
            stage(p);
        } catch (const vk::ModuleStop&) {
            return true;
        }
        return false;
    }
    bool data(const std::string& text);  // STANCIQ over a data text until its end
    Lines report() const { return p.rep->lines(); }
};

// A sight of station 1 as the intake stores it: instrument and target 1.5 m high.
vk::v5::Sight sight(int target, double R, double V, double S, double D = 0);

}  // namespace v5test
