// Output of a polar station and its detail points: report rows, the AutoCAD script
// "VK/VK_5.scr", the cadastral records and the surface list.
#include "vokram/products.hpp"
#include "vokram5/polar.hpp"

namespace vk::v5 {

namespace {

// "E,N" of a plan position, easting first as the drawing's x axis is the survey's y axis.
std::string en(double e, double n, int d) {
    return real(e, 0, d) + "," + real(n, 0, d);
}

}  // namespace

void zapis_st(Polar& p) {
    TextFile& scr = *p.scr;
    script_layer(scr, "2D_Snimka");
    const double es = p.yo + p.yst, ns = p.xo + p.xst;
    for (const Sight& s : p.sights)
        for (const Point& pt : p.pts)
            if (pt.no == s.nt && pt.vi * p.st_vi > 3) {
                scr.line("line " + en(es, ns, 4) + " " + en(p.yo + pt.y, p.xo + pt.x, 4));
                scr.endl();
            }
}

void zapis_to(Polar& p, const DetailPoint& d) {
    TextFile& scr = *p.scr;
    const double T = p.par.text;
    const double E = p.yo + d.y, N = p.xo + d.x;
    const double es = p.yo + p.yst, ns = p.xo + p.xst;
    const std::string no = whole(d.no);
    const std::string name = "text " + en(E + 0.8 * T, N + 0.5 * T, 3);
    const std::string label = "text " + en(E + 0.8 * T, N - T, 3);
    const std::string size = " " + real(T, 0, 2) + " 0 ";
    const long long code = 28000000LL + d.no;

    switch (d.vi) {
        case 1:
            p.rep->line(whole(d.no, 12) + real(d.h, 37, 4));
            break;
        case 2:
            p.rep->line(whole(d.no, 12) + real(N, 16, 4) + real(E, 16, 4));
            script_layer(scr, "2D_Points");
            scr.line("point " + en(E, N, 3));
            scr.line(name + size + no);
            script_layer(scr, "2D_Snimka");
            scr.line("line " + en(es, ns, 3) + " " + en(E, N, 3));
            scr.endl();
            p.cad->line(cad_point(28, code, d.x, d.y, 0.0, 2, 8));
            break;
        case 3: {
            const std::string h3 = "," + real(d.h, 0, 3);
            const std::string hd = real(d.h, 0, p.par.decimals);
            p.rep->line(whole(d.no, 12) + real(N, 16, 4) + real(E, 16, 4) + real(d.h, 11, 4));
            script_layer(scr, "2D_Points");
            scr.line("point " + en(E, N, 3));
            script_layer(scr, "2D_Names");
            scr.line(name + size + no);
            script_layer(scr, "2D_Altitudes");
            scr.line(label + size + hd);
            script_layer(scr, "2D_Snimka");
            scr.line("line " + en(es, ns, 3) + " " + en(E, N, 3));
            scr.endl();
            script_layer(scr, "3D_Points");
            scr.line("point " + en(E, N, 3) + h3);
            script_layer(scr, "3D_Names");
            scr.line(name + h3 + size + no);
            script_layer(scr, "3D_Altitudes");
            scr.line(label + h3 + size + hd);
            script_layer(scr, "3D_Snimka");
            scr.line("line " + en(es, ns, 3) + "," + real(p.hst + p.ih, 0, 3) + " " + en(E, N, 3) + "," +
                     real(d.h + d.t, 0, 3));
            scr.endl();
            if (d.t > 0.0) {
                script_layer(scr, "Measured_HT");
                scr.line("line " + en(E, N, 3) + h3 + " " + en(E, N, 3) + "," + real(d.h + d.t, 0, 3));
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
