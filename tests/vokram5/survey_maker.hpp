// Test support for vokram5: a working folder as vokram2 leaves it, with polar stations whose
// readings are generated from known true coordinates; and one polar station in memory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

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

struct Network {
    double xo = 4567880, yo = 8512330;  // reduction origin
    std::vector<True> given, added;
};

// The values of "P.txt"; `index` is added to face-I zenith readings (the index error is -index).
struct Settings {
    double hp = 0, k = 0.13, add_mm = 0, ppm = 0, index = 0;
};

enum class Faces { I, II, I_then_II, II_then_I };

struct Aim {
    True target;
    double t;  // target height
    Faces faces;
};

// A polar station: instrument 1.553 m high, the circle's zero at direction angle 37.1234 + its
// number; sights to network points, then detail sights.
struct Station {
    True at;
    std::vector<Aim> known, detail;
};

class Folder {
  public:
    explicit Folder(const Network& n);  // the token 1, "Temp/VK_2.tmp", the drawing files
    ~Folder();
    const std::filesystem::path& root() const { return root_; }
    void write(const std::string& rel, const std::string& bytes) const;
    std::string read(const std::string& rel) const;
    Lines lines(const std::string& rel) const;                             // UTF-8, without CR LF
    void params(const Settings& s) const;                                  // "P.txt"
    void survey(const std::vector<Station>& st, const Settings& s) const;  // "VK/Geo_Data.txt"
    int run() { return vk::v5::run(con, root_); }
    vk::ScriptedConsole con;

  private:
    std::filesystem::path root_;
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
