// The elements of the task (report section 8) and the network file for vokram2.
#include "rows.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

namespace {

// Counts the rows that carry a quantity, a repeat counting once: a row counts only when
// no later row carries the quantity between the same points.
template <class Has, class Same>
int independent(const std::vector<Row>& rows, Has has, Same same) {
    int n = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!has(rows[i])) continue;
        bool last = true;
        for (std::size_t j = i + 1; j < rows.size() && last; ++j)
            if (has(rows[j]) && same(rows[i], rows[j])) last = false;
        if (last) ++n;
    }
    return n;
}

}  // namespace

void elementi(Survey& s) {
    s.rep.line("  8.ОПРЕДЕЛЯ ЕЛЕМЕНТИТЕ НА ЗАДАЧАТА.");
    s.rep.endl();
    s.rep.line("            Дадени точки : " + whole(s.given, 5));

    // Every station and target that is not a given point is a new point.
    std::vector<char> known(65536, 0);
    for (const Point& p : s.pts) known[p.no] = 1;
    for (const Row& w : s.rows) {
        for (std::uint16_t no : {w.ns, w.nt}) {
            if (known[no]) continue;
            granica(s);
            Point p;
            p.no = no;
            s.pts.push_back(p);
            known[no] = 1;
        }
    }
    // New points ascending by number (an insertion sort: the table is small and the
    // order of equal numbers cannot arise).
    for (std::size_t i = s.given + 1; i < s.pts.size(); ++i)
        for (std::size_t j = i; j > static_cast<std::size_t>(s.given) && s.pts[j - 1].no > s.pts[j].no; --j)
            std::swap(s.pts[j - 1], s.pts[j]);

    auto same_sight = [](const Row& a, const Row& b) { return a.ns == b.ns && a.nt == b.nt; };
    const auto& rows = s.rows;
    s.rep.line("    Измерени :    посоки : " +
               whole(independent(
                         rows, [](const Row& w) { return w.R > 0.0; }, same_sight),
                     5));
    s.rep.line("               зен. ъгли : " +
               whole(independent(
                         rows, [](const Row& w) { return w.V > 0.0; }, same_sight),
                     5));
    s.rep.line("           накл. разст-я : " +
               whole(independent(
                         rows, [](const Row& w) { return w.S > 0.0; }, same_side),
                     5));
    s.rep.line("        (хориз. разст-я) : " +
               whole(independent(
                         rows, [](const Row& w) { return w.D > 0.0; }, same_side),
                     5));
    s.rep.line("              превишения : " + whole(independent(rows, has_height_difference, same_side), 5));
    s.rep.endl();
    s.rep.line("              Нови точки : " + whole(static_cast<long long>(s.pts.size()) - s.given, 5));
    s.rep.endl();
    s.rep.close();
}

void izhod(const Survey& s, TextFile& f) {
    const std::string tildes40(40, '~');
    const std::string tildes72(72, '~');
    f.endl();
    f.line("Резултати от модул  * ВОКРАМ-1 *");
    f.line(std::string(32, '~'));
    f.endl();
    f.line(real(s.x0, 0, 1) + " " + real(s.y0, 0, 1) + " " + real(s.par.tol_angle, 0, 5) + " " +
           real(s.par.tol_linear, 0, 4) + " " + real(s.par.tol_height, 0, 4) + " " +
           real(s.par.refraction, 0, 3) + " " + " - редукц. начало, параметри");
    f.endl();
    f.line(whole(s.given, 10) + " - брой зададени точки");
    f.line(tildes40);
    f.line("vi    no     xk         yk        hk    ");
    f.line(tildes40);
    int kinds[4] = {0, 0, 0, 0};
    for (int i = 0; i < s.given; ++i) {
        const Point& p = s.pts[i];
        ++kinds[p.vi & 3];
        f.line(" " + whole(p.vi, 1) + " " + whole(p.no, 5) + " " + real(p.xk, 10, 4) + " " +
               real(p.yk, 10, 4) + " " + real(p.hk, 9, 4));
    }
    f.line(tildes40);
    f.endl();
    f.line(whole(kinds[3]) + " " + whole(kinds[2]) + " " + whole(kinds[1]) + " - вид точки:  3D / 2D / 1D ");
    f.endl();
    const int fresh = static_cast<int>(s.pts.size()) - s.given;
    f.line(whole(fresh, 10) + "   - брой нови точки           ");
    for (int k = 1; k <= fresh; ++k) {
        f.put(whole(s.pts[s.given + k - 1].no, 5) + " ");
        if (k % 10 == 0) f.endl();
    }
    f.endl();
    f.endl();
    f.line(whole(static_cast<long long>(s.rows.size()), 10) + "   - брой измервания ");
    f.line(tildes72);
    f.line("    ps    ns hs[mm]   nt ht[mm]    R          V          S         D    ");
    f.line(tildes72);
    int nr = 0, nv = 0, nsd = 0, nd = 0, nh = 0;
    for (const Row& w : s.rows) {
        nr += w.R > 0.0, nv += w.V > 0.0, nsd += w.S > 0.0, nd += w.D > 0.0, nh += has_height_difference(w);
        f.line(whole(w.ps, 6) + " " + whole(w.ns, 5) + " " + whole(w.hs, 5) + " " + whole(w.nt, 5) + " " +
               whole(w.ht, 5) + " " + real(w.R, 10, 5) + " " + real(w.V, 10, 5) + " " + real(w.S, 9, 4) +
               " " + real(w.D, 9, 4));
    }
    f.line(tildes72);
    f.endl();
    f.line(whole(nr) + " " + whole(nv) + " " + whole(nsd) + " " + whole(nd) + " " + whole(nh) +
           "   - вид измервания:  R / V / S / D / dH");
}

}  // namespace vk::v1
