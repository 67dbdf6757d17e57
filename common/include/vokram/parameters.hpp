// The processing parameters of "P.txt": lines 4 to 13 each begin with one value, and the
// rest of a line (unit, description) is a comment. Every value has a range that makes sense
// for a survey; the README lists them. One reader and one writer serve every program.
#pragma once

#include <array>
#include <optional>

#include "vokram/frame.hpp"
#include "vokram/text.hpp"

namespace vk {

inline constexpr int kFirstParameterLine = 4;
inline constexpr int kLastParameterLine = 13;
inline constexpr int kParameterCount = kLastParameterLine - kFirstParameterLine + 1;

// The values of "P.txt" in the units the file gives them.
struct Parameters {
    double tol_angle;   // tolerance for angular quantities [grads]
    double tol_linear;  // tolerance for linear quantities [m]
    double tol_height;  // tolerance for height differences [m]
    double hp;          // height above the projection plane [m]
    double refraction;  // coefficient of refraction k
    double additive;    // additive distance correction [mm]
    double scale;       // scale correction of distances [mm/km]
    double index;       // correction of the vertical circle index [grads]
    double text;        // text height in the drawing [m]
    int decimals;       // decimals of heights in the drawing

    // The values in the order of the file's lines.
    std::array<double, kParameterCount> in_file_order() const;
};

// The values of the file vokram1 writes when there is none, which the programs before the
// detail survey take when the file is absent.
inline constexpr Parameters kDefaultParameters{0.01, 0.1, 0.1, 0.0, 0.106, 0.0, 0.0, 0.0, 0.2, 2};

// The parameters of a file, `r` at its start. A value outside its range is a fatal input
// error (106) naming the line; every line is checked, those another program uses too, so
// that a file one program would refuse is refused by all.
Parameters parse_parameters(NumberReader& r);
// "P.txt" of the working folder, or none when it is absent.
std::optional<Parameters> read_parameter_file(const Workspace& ws);
// The whole file: its frame of tildes, its title, and each value with its unit and meaning.
void write_parameter_file(const Parameters& p, TextFile& f);

// The correction of a measured slope distance: the scale (mm/km) and the additive constant
// (mm, the prism constant), in that order.
struct DistanceCorrection {
    double factor = 1.0;    // 1 + scale / 10^6
    double additive = 0.0;  // [m]
    double operator()(double s) const { return s * factor + additive; }
};
DistanceCorrection distance_correction(const Parameters& p);

}  // namespace vk
