#include "vokram/parameters.hpp"

namespace vk {

namespace {

struct Range {
    double lo, hi;
    bool whole;
};

// Lines 4 to 13, in file order.
constexpr Range kRanges[] = {
    {0.0, 1.0, false},         // tolerance for angular quantities [grads]
    {0.0, 10.0, false},        // tolerance for linear quantities [m]
    {0.0, 10.0, false},        // tolerance for height differences [m]
    {-500.0, 9000.0, false},   // height above the projection plane [m]
    {-1.0, 1.0, false},        // refraction coefficient
    {-1000.0, 1000.0, false},  // additive distance correction [mm]
    {-1000.0, 1000.0, false},  // scale correction of distances [mm/km]
    {-1.0, 1.0, false},        // correction of the vertical circle index [grads]
    {0.001, 100.0, false},     // text height in the drawing [m]
    {0.0, 6.0, true},          // decimals of heights in the drawing
};

}  // namespace

std::vector<double> read_parameters(NumberReader& r, int first, int last) {
    std::vector<double> values;
    r.skip_lines(first - 1);
    for (int line = first; line <= last; ++line) {
        const Range& range = kRanges[line - kFirstParameterLine];
        values.push_back(range.whole ? static_cast<double>(r.line_integer(static_cast<long long>(range.lo),
                                                                          static_cast<long long>(range.hi)))
                                     : r.line_number(range.lo, range.hi));
    }
    return values;
}

}  // namespace vk
