// A working folder for vokram5 built from known true coordinates: what vokram2 leaves
// ("Temp/VK_2.tmp", "VK/VK_2.cad", "VK/Surface.txt", the token 1), "P.txt", and polar
// stations whose readings are generated from true detail points.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace v5test {

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

// The values of "P.txt".
struct Settings {
    double hp = 0, k = 0.13, add_mm = 0, ppm = 0;
    double index = 0;  // correction added to face-I zenith readings: the index error is -index
};

enum class Faces { I, II, I_then_II, II_then_I };

struct Aim {
    True target;
    double t = 1.5;  // target height
    Faces faces = Faces::I_then_II;
};

// A polar station; `zero` is the direction angle of the circle's zero.
struct Station {
    True at;
    double i = 1.55, zero = 37.1234;
    std::vector<Aim> known, detail;  // sights to network points; detail sights
};

class Folder {
  public:
    Folder();  // a fresh folder with VK/ and Temp/
    ~Folder();
    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path operator/(const std::string& rel) const { return root_ / rel; }
    void write(const std::string& rel, const std::string& bytes) const;
    std::string read(const std::string& rel) const;
    std::vector<std::string> lines(const std::string& rel) const;  // UTF-8, without CR LF

    void network(const Network& n) const;  // what vokram2 leaves
    void params(const Settings& s) const;
    void survey(const std::vector<Station>& st, const Settings& s) const;  // "VK/Geo_Data.txt"

  private:
    std::filesystem::path root_;
};

// Station record, marker, detail block, marker, with readings from the true points.
std::string polar_station(const Station& st, const Settings& s);

// Point rows of the report and detail records of the cadastral file: absolute x, y, h.
struct Got {
    double x = 0, y = 0, h = 0;
    bool has_h = false;
};
std::multimap<int, Got> report_rows(const std::vector<std::string>& report);
std::multimap<int, Got> cadastral(const std::vector<std::string>& cad, const Network& n);

}  // namespace v5test
