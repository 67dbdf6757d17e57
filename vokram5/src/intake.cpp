// Intake of vokram5: the network points of "Temp/VK_2.tmp" and the parameters of "P.txt".
#include <iterator>

#include "vokram/geodesy.hpp"
#include "vokram/parameters.hpp"
#include "vokram/products.hpp"
#include "vokram/units.hpp"
#include "vokram5/polar.hpp"

namespace vk::v5 {

namespace {

// A count of points that would not fit the table is refused before anything is stored.
[[noreturn]] void too_many(Polar& p) {
    stop(*p.rep, "  ОБЕМА ДАННИ НАДХВЪРЛЯ ВЪЗМОЖНОСТИТЕ НА ПРОГРАМАТА.");
}

}  // namespace

// The point table was checked against its capacity when it was read, and this module
// adds no points to it, so every network that vokram1 accepts (399 points) is taken;
// only the sights of one station are guarded here.
void granica(Polar& p) {
    if (static_cast<int>(p.sights.size()) >= kSightCapacity - 1) too_many(p);
}

void report_head(Polar& p) {
    p.rep->endl();
    p.rep->line(" ПОЛЯРНА СНИМКА, ПРИЕМА ТОЧКИ ОТ РЕШЕНИЕ.");
    p.rep->endl();
}

void vhod_points(Polar& p, NumberReader& r) {
    p.pts.clear();
    p.pts.reserve(kPointCapacity);
    const NetTables t =
        read_vk2(r, {kPointCapacity, 0}, {1, false, false, [&](const NetTables&) { too_many(p); }});
    p.xo = t.xo;
    p.yo = t.yo;
    for (const NetPoint& q : t.pts) p.pts.push_back({q.vi, q.no, q.x, q.y, q.h});
    p.rep->line("    Приети " + whole(static_cast<long long>(p.pts.size())) + " точки. ");
    p.rep->endl();
}

void derive(Polar& p) {
    p.q = projection_correction(p.par.hp);
    p.dist = distance_correction(p.par);
}

}  // namespace vk::v5
