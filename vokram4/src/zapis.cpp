// ZAPIS: the controls of the last iteration and the adjusted coordinates of the new
// points with their mean errors, the end of report section 13.
#include "vokram4/adjustment.hpp"

namespace vk::v4 {

void zapis(Adjustment& a) {
    TextFile& r = *a.rep;
    r.endl();
    r.line("    Контроли:  pff." + whole(a.u, 3) + " = " + real(a.pff, 8, 1) +
           "   - от редуцирани  уравнения");
    r.line("                 [pvv] = " + real(a.pvv, 8, 1) + "   - от уравнения на поправки");
    r.endl();
    r.line("        макс. поправки = " + real(a.vR.v, 8, 1) + " сс.  за посоката: ст." + whole(a.vR.st) +
           " - т." + whole(a.vR.tg));
    r.line(std::string(25, ' ') + real(a.vD.v, 8, 1) + " см.  за страната: ст." + whole(a.vD.st) + " - т." +
           whole(a.vD.tg));
    r.endl();
    r.line("             ср.кв.гр. = " + real(a.m0, 9, 2));
    r.endl();
    r.endl();
    r.line("    ПОПРАВЕНИ КООРДИНАТИ И ТЕОРЕТИЧНИТЕ ИМ ТОЧНОСТИ        ");
    r.endl();
    r.line("    Номер      X [м]      mx[см]        Y [м]      my[см]  ");
    r.line("    ------------------------------------------------------ ");
    for (int k = 0; k < a.n() - a.g; ++k) {
        const Point& p = a.pts[a.g + k];
        r.line(whole(p.no, 8) + real(p.x + a.xo, 15, 4) + real(a.mx(k), 8, 2) + real(p.y + a.yo, 17, 4) +
               real(a.my(k), 8, 2));
    }
    if (!a.adoption.empty()) r.line(a.adoption);
}

}  // namespace vk::v4
