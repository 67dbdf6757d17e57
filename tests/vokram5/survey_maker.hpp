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

// A polar station with instrument height i; `zero` is the direction angle of the circle's zero.
struct Station {
    True at;
    double i, zero;
    std::vector<Aim> known, detail;  // sights to network points; detail sights
};

class Folder {
  public:
    Folder();  // a fresh folder with VK/ and Temp/
    ~Folder();
    const std::filesystem::path& root() const { return root_; }
    void write(const std::string& rel, const std::string& bytes) const;
    std::string read(const std::string& rel) const;
    Lines lines(const std::string& rel) const;  // UTF-8, without CR LF

    void network(const Network& n) const;  // the token, "Temp/VK_2.tmp", the drawing files
    void params(const Settings& s) const;  // "P.txt"
    void survey(const std::vector<Station>& st, const Settings& s) const;  // "VK/Geo_Data.txt"

  private:
    std::filesystem::path root_;
};

// A point found in an output file, absolute; what the line does not give is NaN.
struct Got {
    int no;
    double x, y, h;
};
std::vector<Got> report_rows(const Lines& report);               // rows of the detail point tables
std::vector<Got> cadastral(const Lines& cad, const Network& n);  // detail records
std::vector<Got> surface(const Lines& sur);                      // numbered 0
// How many of `got` carry number want.no and lie within tol of want, NaN matching NaN only.
int found(const std::vector<Got>& got, const Got& want, double tol);

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
