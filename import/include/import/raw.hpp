// vokram-import: the total station's own files in, "VK/Geo_Data.txt" out.
//
//   stage              reads                          writes
//   recognise, read    RAWFILE... (GSI-8, GSI-16,     -
//                      SDR33/SDR2x), --given FILE...
//   names              VK/Names.txt                   VK/Names.txt
//   assemble           -                              -
//   run                VK/Geo_Data.txt (kept as       VK/Geo_Data.txt, VK/Import.txt (--report)
//                      VK/Geo_Data.bak)
//
// Every reader yields the same things: station setups with their sights, points with
// coordinates, and the records it passed over with the reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vk::imp {

// Where a record stands: "a.gsi:12".
struct Place {
    std::string file;
    long line = 0;
    std::string text() const { return file + ":" + std::to_string(line); }
};

// Bad input: the import stops, writes nothing and names the place.
struct ImportError {
    std::string message;
};
[[noreturn]] void fail(const Place& at, const std::string& why);

// One sight as the instrument recorded it, converted: R and V in grads (V a zenith angle,
// above 200 in the second face), S the slope distance in metres; none when not measured.
struct RawSight {
    std::string target;
    double ht = 0;  // target height [m]
    bool ht_given = false;
    std::optional<double> R, V, S;
    bool face2 = false;
    Place at;
};

struct RawStation {
    std::string name;
    std::optional<double> hs;  // instrument height [m]
    Place at;
    std::vector<RawSight> sights;
};

struct RawPoint {
    std::string name;
    std::optional<double> x, y, h;  // northing, easting, height [m]
    Place at;
};

struct Skipped {
    Place at;
    std::string why;
};

struct RawData {
    std::string format;  // "GSI-16", "SDR33", "списък"
    std::vector<RawStation> stations;
    std::vector<RawPoint> points;
    std::vector<Skipped> skipped;
    std::vector<Skipped> notes;  // the notes of the file (UTF-8), where they stand
};

struct ReadOptions {
    std::string station_code;  // GSI: the code of a code block that starts a station
};

// A reader of one format. `text` is the file's bytes, `name` how messages name the file.
class Reader {
  public:
    virtual ~Reader() = default;
    virtual bool recognises(const std::string& text) const = 0;
    virtual RawData read(const std::string& text, const std::string& name, const ReadOptions& o) const = 0;
};

// The reader of an instrument format that recognises `text`, or none.
const Reader* instrument_reader(const std::string& text);
// A plain list of given points: name, x, y and optionally H.
RawData read_point_list(const std::string& text, const std::string& name);

// Units of angles and lengths, converted exactly.
enum class Angle { gon, degrees, dms, mil };
enum class Length { metre, foot };
double to_gon(double v, Angle u);
double to_metres(double v, Length u);
// A vertical angle from the horizon as a zenith angle (face II stays face II).
double zenith_from_horizon(double v);

// The lines of a text, without line ends, and the text's words.
std::vector<std::string> text_lines(const std::string& text);
// The leading zeros of a point name are padding: "00BP04" is "BP04", "000" is "0".
std::string unpadded(std::string name);
// Text in UTF-8: kept when it is UTF-8 already, otherwise read as Windows-1251 (the code page
// of the instruments sold here).
std::string as_utf8(const std::string& text);
// A decimal number: the whole text, blanks around it allowed; none otherwise.
std::optional<double> decimal(const std::string& text);

}  // namespace vk::imp
