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

Params read_params(NumberReader& r) {
    Params par;
    const std::vector<double> v = read_parameters(r, kFirstParameterLine, kLastParameterLine);
    double* fields[] = {&par.tol_angle, &par.tol_linear, &par.tol_height, &par.hp,  &par.k,
                        &par.additive,  &par.scale,      &par.index,      &par.text};
    for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = v[i];
    par.decimals = static_cast<int>(v.back());
    return par;
}

void derive(Params& par) {
    par.q = projection_correction(par.hp);
    par.additive /= 1000.0;
    par.scale = par.scale / 1000000.0 + 1.0;
}

}  // namespace vk::v5
