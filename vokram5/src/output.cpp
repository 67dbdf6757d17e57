// Output of a polar station and its detail points: report rows, the AutoCAD script
// "VK/VK_5.scr", the cadastral records and the surface list.
#include "vokram/products.hpp"
#include "vokram5/polar.hpp"

namespace vk::v5 {

void zapis_st(Polar& p) {
    TextFile& scr = *p.scr;
    script_layer(scr, "2D_Snimka");
    const double e_st = p.yo + p.yst, n_st = p.xo + p.xst;  // the station
    for (const Sight& s : p.sights)
        for (const Point& pt : p.pts)
            if (pt.no == s.nt && pt.vi * p.st_vi > 3) {
                scr.line("line " + script_position(e_st, n_st, 4) + " " +
                         script_position(p.yo + pt.y, p.xo + pt.x, 4));
                scr.endl();
            }
}

void zapis_to(Polar& p, const DetailPoint& d) {
    TextFile& scr = *p.scr;
    const double T = p.par.text;
    const double E = p.yo + d.y, N = p.xo + d.x;
    const double e_st = p.yo + p.yst, n_st = p.xo + p.xst;  // the station
    const std::string no = whole(d.no);
    const std::string name = "text " + script_position(E + 0.8 * T, N + 0.5 * T, 3);
    const std::string label = "text " + script_position(E + 0.8 * T, N - T, 3);
    const std::string size = " " + real(T, 0, 2) + " 0 ";
    const long long code = 28000000LL + d.no;

    switch (d.vi) {
        case 1:
            p.rep->line(whole(d.no, 12) + real(d.h, 37, 4));
            break;
        case 2:
            p.rep->line(whole(d.no, 12) + real(N, 16, 4) + real(E, 16, 4));
            script_layer(scr, "2D_Points");
            scr.line("point " + script_position(E, N, 3));
            scr.line(name + size + no);
            script_layer(scr, "2D_Snimka");
            scr.line("line " + script_position(e_st, n_st, 3) + " " + script_position(E, N, 3));
            scr.endl();
            p.cad->line(cad_point(28, code, d.x, d.y, 0.0, 2, 8));
            break;
        case 3: {
            const std::string h3 = "," + real(d.h, 0, 3);
            const std::string hd = real(d.h, 0, p.par.decimals);
            p.rep->line(whole(d.no, 12) + real(N, 16, 4) + real(E, 16, 4) + real(d.h, 11, 4));
            script_layer(scr, "2D_Points");
            scr.line("point " + script_position(E, N, 3));
            script_layer(scr, "2D_Names");
            scr.line(name + size + no);
            script_layer(scr, "2D_Altitudes");
            scr.line(label + size + hd);
            script_layer(scr, "2D_Snimka");
            scr.line("line " + script_position(e_st, n_st, 3) + " " + script_position(E, N, 3));
            scr.endl();
            script_layer(scr, "3D_Points");
            scr.line("point " + script_position(E, N, 3) + h3);
            script_layer(scr, "3D_Names");
            scr.line(name + h3 + size + no);
            script_layer(scr, "3D_Altitudes");
            scr.line(label + h3 + size + hd);
            script_layer(scr, "3D_Snimka");
            scr.line("line " + script_position(e_st, n_st, 3) + "," + real(p.hst + p.ih, 0, 3) + " " +
                     script_position(E, N, 3) + "," + real(d.h + d.t, 0, 3));
            scr.endl();
            if (d.t > 0.0) {
                script_layer(scr, "Measured_HT");
                scr.line("line " + script_position(E, N, 3) + h3 + " " + script_position(E, N, 3) + "," +
                         real(d.h + d.t, 0, 3));
                scr.endl();
            }
            p.cad->line(cad_point(28, code, d.x, d.y, d.h, 3, 8));
            p.sur->line(surface_line(E, N, d.h));
            break;
        }
        default:
            break;
    }
}

}  // namespace vk::v5
