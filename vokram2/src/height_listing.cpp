// The listing of the height adjustment, "VK/VK_H.txt".
#include <cmath>

#include "vokram/statistics.hpp"
#include "vokram/units.hpp"
#include "vokram2/height_adjustment.hpp"

namespace vk::v2 {

void write_height_listing(const HeightAdjustment& h, TextFile& f) {
    const int u = static_cast<int>(h.points.size());
    f.endl();
    f.line("  ИЗРАВНЕНИЕ НА ВИСОЧИНИТЕ ПО МНМК");
    f.endl();
    f.line("    Тригонометрични превишения: " + whole(static_cast<long long>(h.obs.size()), 5));
    f.line("            Дадени коти       : " + whole(h.fixed, 5));
    f.line("            Нови коти         : " + whole(u, 5));
    f.line("         Степени на свобода   : " + whole(h.redundancy, 5));
    if (!h.solvable) {
        f.endl();
        f.line("    Изравнение на височините не е възможно: превишенията не определят всички коти.");
        return;
    }
    f.line("                      [pvv]   : " + real(h.pvv, 10, 2));
    if (h.redundancy > 0)
        f.line("                  ср.кв.гр.   : " + real(h.m0, 10, 2) + " см. за превишение на 100 м.");
    else
        f.line("                  ср.кв.гр.   : не се определя (няма излишни превишения).");
    f.line("                   итерации   : " + whole(h.iterations, 5));
    f.endl();
    f.line("    Тегло на превишение p = 1 / D^2, D - хоризонталното разстояние в хектометри.");
    f.line("    Превишенията са с поправка за кривина на Земята и рефракция, както при нивелацията.");

    f.endl();
    f.line("    ИЗРАВНЕНИ КОТИ И ТЕОРЕТИЧНИТЕ ИМ ТОЧНОСТИ");
    f.endl();
    f.line("    Номер      H [м]    mH[см]  H-Hнив[см]  превишения");
    f.line("    " + std::string(50, '-'));
    for (const AdjustedHeight& p : h.points)
        f.line(whole(p.no, 9) + real(p.h, 11, 4) +
               (h.redundancy > 0 ? real(p.mH, 10, 2) : std::string(9, ' ') + "-") +
               real((p.h - p.levelled) * kCmPerMetre, 12, 2) + whole(p.differences, 12));
    f.line("    Hнив - котата от тригонометричната нивелация (раздел 11 на протокола).");

    f.endl();
    f.line("    r - число на излишък (от 0 до 1), w - стюдентизирана поправка v / (m0 * sqrt(qvv)).");
    f.line("    *  - |w| над критичната стойност " + real(kCriticalW, 0, 2) + ": възможна груба грешка.");
    f.line("    !  - r под " + real(kWeakR, 0, 2) + ": слабо контролирано превишение.");
    f.line("    -  - превишението не се контролира от други: w не се определя.");
    f.endl();
    f.line("    ПОПРАВКИ НА ПРЕВИШЕНИЯТА");
    f.endl();
    f.line("    Станция   Точка     D [м]     dh [м]    v[см]       r        w");
    f.line("    " + std::string(62, '-'));
    for (const HeightDifference& x : h.obs) {
        f.line(whole(x.from, 11) + whole(x.to, 8) + real(x.d, 10, 2) + real(x.dh, 11, 4) + real(x.v, 9, 2) +
               snooping_columns(x.r, x.tested, x.w));
    }
    f.endl();
    if (h.worst < 0) {
        f.line("    Най-вероятна груба грешка: не може да се посочи (няма контролирано превишение).");
        return;
    }
    const HeightDifference& x = h.obs[static_cast<std::size_t>(h.worst)];
    f.line("    Най-вероятна груба грешка за превишението: ст." + whole(x.from) + " - т." + whole(x.to) +
           ",  v = " + real(x.v, 0, 2) + " см.,  w = " + real(x.w, 0, 2));
    if (std::fabs(x.w) > kCriticalW)
        f.line("    |w| е над критичната стойност: проверете измерването.");
    else
        f.line("    |w| не е над критичната стойност: груба грешка не е открита.");
}

}  // namespace vk::v2
