// Builds a working folder for vokram5 from known true coordinates: the network that
// vokram2 leaves behind ("Temp/VK_2.tmp", the heads of "VK/VK_2.cad" and
// "VK/Surface.txt", the run token), "P.txt", and polar stations whose readings are
// generated from true detail points, so a test knows every answer beforehand.
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

// The processing parameters as written in "P.txt".
struct Settings {
    double tol_angle = 0.02, tol_linear = 0.15, tol_height = 0.15;
    double hp = 0.0;    // height above the projection plane [m]
    double k = 0.13;    // refraction coefficient
    double add_mm = 0;  // prism constant [mm]
    double ppm = 0;     // scale correction [mm/km]
    double index = 0;   // index correction [grads], added to face-I zenith readings
    double text = 0.2;  // text height
    int decimals = 2;   // decimals of height labels
};

// How a sight is observed.
enum class Faces { I, II, I_then_II, II_then_I };

struct Aim {
    True target;
    double t = 1.5;  // target height [m]
    Faces faces = Faces::I_then_II;
};

// A polar station: its true point, instrument height, circle orientation (the direction
// angle of the circle's zero) and whether the instrument's index error matches the
// correction in "P.txt".
struct Station {
    True at;
    double i = 1.55;
    double zero = 37.1234;
    std::vector<Aim> known;   // sights to network points (station record)
    std::vector<Aim> detail;  // detail sights
    bool curvature = true;    // false for a height-only station: its points carry no curvature term
};

class Folder {
  public:
    Folder();  // a fresh folder with VK/ and Temp/
    ~Folder();
    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path operator/(const std::string& rel) const { return root_ / rel; }

    void write(const std::string& rel, const std::string& bytes) const;
    std::string read(const std::string& rel) const;
    // Lines of a Windows-1251 CR LF file, as UTF-8 without line ends.
    std::vector<std::string> lines(const std::string& rel) const;

    // What vokram2 leaves: the token 1, "Temp/VK_2.tmp", and the two drawing files.
    void network(const Network& n) const;
    void params(const Settings& s) const;
    // "VK/Geo_Data.txt": a header, the given points, and the stations.
    void survey(const Network& n, const Settings& s, const std::vector<Station>& st) const;

  private:
    std::filesystem::path root_;
};

// The readings of one station as the data file holds them: record, marker, detail block, marker.
std::string polar_station(const Station& st, const Settings& s);

// Results read back from the files, keyed by point number: absolute x, y, h.
struct Got {
    double x = 0, y = 0, h = 0;
    bool has_h = false;
};
std::multimap<int, Got> report_rows(const std::vector<std::string>& report);
std::multimap<int, Got> cadastral(const std::vector<std::string>& cad, const Network& n);

}  // namespace v5test
