// The diagnostics listing "VK/VK_4.txt" and the ellipse drawing "VK/VK_4.scr".
#include <algorithm>
#include <cmath>
#include <numbers>

#include "vokram/units.hpp"
#include "vokram4/diagnostics.hpp"

namespace vk::v4 {

namespace {

// "за посоката: ст.17 - т.2345", as the report names a measurement.
std::string named(const Adjustment& a, const Observed& o) {
    const Measurement& ms = a.ms[o.m];
    return std::string(o.direction() ? "за посоката" : "за страната") + ": ст." + whole(a.pts[ms.ns].no) +
           " - т." + whole(a.pts[ms.nt].no);
}

std::string residual(const Observed& o) {
    return o.direction() ? real(o.v, 10, 1) + " сс." : real(o.v, 10, 2) + " см.";
}

std::string group_line(const char* name, const GroupVariance& g, const char* unit) {
    return std::string("    ") + name + whole(g.count, 7) + real(g.pvv, 11, 1) + real(g.r, 10, 2) +
           (g.estimated() ? real(g.s0, 10, 2) + real(g.m, 11, 2) + unit : std::string(9, ' ') + "-");
}

// What became of the distance weight after the F test: balanced, or why not.
std::string balancing_line(const VarianceComponents& vc) {
    const std::string not_found = "    Тегло, при което групите се изравняват, не е намерено: ";
    const bool R = at_rounding(vc.directions, kDirectionResolution),
               D = at_rounding(vc.distances, kDistanceResolution);
    switch (vc.balancing) {
        case Balancing::kept_agree:
            return "    Теглата се запазват: групите са съгласувани с тях.";
        case Balancing::kept_redundancy:
            return "    Теглата се запазват: група с излишък под " + real(kBalanceRedundancy, 0, 0) +
                   " не се изравнява с другата.";
        case Balancing::kept_rounding:
            return std::string("    Теглата се запазват: поправките на ") +
                   (R && D ? "посоките и страните"
                    : R    ? "посоките"
                           : "страните") +
                   " са в закръгляването на данните.";
        case Balancing::settled:
            return "    Тегло на разстоянията, при което групите се изравняват: pD = " +
                   real(vc.balanced_pD, 0, 2) + " (" + whole(vc.solutions) +
                   (vc.solutions == 1 ? " решение);" : " решения);");
        case Balancing::unsettled:
            return not_found + "след " + whole(vc.solutions) + " решения pD още се променя.";
        case Balancing::failed:
            return not_found + "при пробно тегло точка " + in_quotes(whole(vc.undetermined)) +
                   " не се определя.";
        case Balancing::lost:
        case Balancing::untested:
            break;
    }
    return not_found + "при пробно тегло група остава без оценка.";
}

// Each group's part of [pvv] and of the redundancy, its mean errors, and the test whether
// the two groups agree with the weights.
void variance_section(const Adjustment& a, const Diagnostics& d, TextFile& f) {
    const VarianceComponents& vc = d.variance;
    f.endl();
    f.line("    ДИСПЕРСИОННИ КОМПОНЕНТИ (точност по групи измервания)");
    f.endl();
    f.line("    Група    брой      [pvv]   излишък    m0[сс]  m на едно");
    f.line("    " + std::string(59, '-'));
    f.line(group_line("посоки", vc.directions, " сс."));
    f.line(group_line("страни", vc.distances, " см."));
    f.line("    общо  " + whole(vc.directions.count + vc.distances.count + vc.merged, 7) +
           real(a.pvv, 11, 1) + real(d.redundancy, 10, 2) + real(a.m0, 10, 2));
    f.endl();
    f.line("    Тегла: посока 1 на сс^2, разстояние pD = " + real(a.pD, 0, 2) + " на см^2.");
    f.line("    m0 на групата = sqrt([pvv] / излишък), m на едно измерване = m0 / sqrt(тегло).");
    if (vc.merged > 0)
        f.line("    Страна, осреднена от ВОКРАМ-1 от няколко реда, се брои веднъж: " + whole(vc.merged) +
               (vc.merged == 1 ? " ред по-малко." : " реда по-малко."));
    if (!vc.tested) {
        f.line("    Тест F: не се прави (група с излишък под " + real(kGroupRedundancy, 0, 0) +
               " или без поправки).");
        return;
    }
    f.line("    Тест F = m0(посоки)^2 / m0(страни)^2 = " + real(vc.F, 0, 2) +
           ",  граници при 5 %: " + real(vc.lower, 0, 2) + " и " + real(vc.upper, 0, 2) + ".");
    f.line(vc.agree ? "    Групите са съгласувани с теглата."
                    : "    Групите не са съгласувани с теглата: точността на полето не отговаря на тях.");
    f.line(balancing_line(vc));
    if (vc.balancing == Balancing::settled)
        f.line("    при него: m на една посока = " + real(vc.balanced_mR, 0, 2) +
               " сс., m на едно разстояние = " + real(vc.balanced_mD, 0, 2) + " см.");
}

}  // namespace

void write_listing(const Adjustment& a, const Diagnostics& d, TextFile& f) {
    const int groups = static_cast<int>(a.groups.size());
    f.endl();
    f.line("  ДИАГНОСТИКА НА ИЗРАВНЕНИЕТО НА ПЛАНОВА МРЕЖА ПО МНМК");
    f.endl();
    f.line("    Последна итерация:");
    f.endl();
    f.line("    Измерени:  - посоки    : " + whole(a.n_dir, 5));
    f.line("               - разстояния: " + whole(a.n_dist, 5));
    f.line("          Всички измервания: " + whole(a.n_dir + a.n_dist, 5));
    f.endl();
    f.line("     Неизвестни: координати: " + whole(a.u, 5));
    f.line("               ориентировки: " + whole(groups, 5));
    f.line("          Всички неизвестни: " + whole(a.u + groups, 5));
    f.endl();
    f.line("         Степени на свобода: " + whole(d.redundancy, 5));
    f.line("                      [pvv]: " + real(a.pvv, 10, 1));
    f.line("                  ср.кв.гр.: " + real(a.m0, 10, 2) + " сс.");
    f.line("                   итерации: " + whole(a.iterations, 5));
    if (!a.converged) f.line("    Изравнението не е сходимо: числата са от последната итерация.");
    variance_section(a, d, f);
    f.endl();
    f.line("    r - число на излишък (от 0 до 1), w - стюдентизирана поправка v / (m0 * sqrt(qvv)),");
    f.line("        m0 - ср.кв.гр. на групата на измерването (общата за група с излишък под " +
           real(kGroupRedundancy, 0, 0) + ").");
    f.line("    *  - |w| над критичната стойност " + real(kCriticalW, 0, 2) + ": възможна груба грешка.");
    f.line("    !  - r под " + real(kWeakR, 0, 2) + ": слабо контролирано измерване.");
    f.line("    -  - измерването не се контролира от други: w не се определя.");

    f.endl();
    f.line("    ПОПРАВКИ НА ИЗМЕРВАНИЯТА");
    f.endl();
    f.line("    Станция" + std::string("   Точка") + "   Вид   " + "         v    " + "       r" +
           "        w");
    f.line("    " + std::string(55, '-'));
    for (std::size_t o = 0; o < a.obs.size(); ++o) {
        const Observed& x = a.obs[o];
        const ObservationCheck& c = d.checks[o];
        const Measurement& ms = a.ms[x.m];
        f.line(whole(a.pts[ms.ns].no, 11) + whole(a.pts[ms.nt].no, 8) + "   " +
               (x.direction() ? "посока" : "страна") + residual(x) + snooping_columns(c.r, c.tested, c.w));
    }
    f.endl();
    if (d.worst < 0) {
        f.line("    Най-вероятна груба грешка: не може да се посочи (няма контролирано измерване).");
    } else {
        const Observed& x = a.obs[static_cast<std::size_t>(d.worst)];
        const double w = d.checks[static_cast<std::size_t>(d.worst)].w;
        f.line("    Най-вероятна груба грешка " + named(a, x) +
               ",  v = " + real(x.v, 0, x.direction() ? 1 : 2) + (x.direction() ? " сс." : " см.") +
               ",  w = " + real(w, 0, 2));
        if (std::fabs(w) > kCriticalW)
            f.line("    |w| е над критичната стойност: проверете измерването.");
        else
            f.line("    |w| не е над критичната стойност: груба грешка не е открита.");
    }

    f.endl();
    f.line("    СРЕДНИ ЕЛИПСИ НА ГРЕШКИТЕ НА НОВИТЕ ТОЧКИ");
    f.endl();
    f.line("   Номер   mx[см]  my[см]    a[см]   b[см] посока a[гр]  mp[см]");
    f.line("    " + std::string(59, '-'));
    for (int k = 0; k < a.n() - a.g; ++k) {
        const ErrorEllipse& e = d.ellipses[static_cast<std::size_t>(k)];
        f.line(whole(a.pts[a.g + k].no, 8) + real(e.mx, 9, 2) + real(e.my, 8, 2) + real(e.a, 9, 2) +
               real(e.b, 8, 2) + real(e.theta, 13, 2) + real(e.mp, 8, 2));
    }
    f.endl();
    f.line("    a, b - полуоси на елипсата; посоката на a е посочният ъгъл от оста X.");
    f.line("    Увеличение на елипсите в чертежа VK/VK_4.scr: " + real(d.magnification, 0, 0) + " пъти.");
}

void write_ellipses(const Adjustment& a, const Diagnostics& d, TextFile& f) {
    f.line("layer s Ellipses");
    f.endl();
    for (int k = 0; k < a.n() - a.g; ++k) {
        const ErrorEllipse& e = d.ellipses[static_cast<std::size_t>(k)];
        // An exact fit leaves nothing to draw.
        if (!(e.a > 0)) continue;
        const Point& p = a.pts[a.g + k];
        const double E = p.y + a.yo, N = p.x + a.xo;
        const double major = d.magnification * e.a / kCmPerMetre, t = e.theta * std::numbers::pi / 200;
        // The drawing needs a minor axis of some length; the last written digit will do.
        const double minor = std::max(d.magnification * e.b / kCmPerMetre, 0.0001);
        f.line("ellipse c " + real(E, 0, 4) + "," + real(N, 0, 4) + " " +
               real(E + major * std::sin(t), 0, 4) + "," + real(N + major * std::cos(t), 0, 4) + " " +
               real(minor, 0, 4));
    }
    f.endl();
    f.line("zoom e");
}

}  // namespace vk::v4
