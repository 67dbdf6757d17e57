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
    for (const Row& row : s.rows) {
        for (const int no : {row.ns, row.nt}) {
            if (known[no]) continue;
            granica(s);
            Point p;
            p.no = static_cast<std::uint16_t>(no);
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
                         rows, [](const Row& row) { return row.R > 0.0; }, same_sight),
                     5));
    s.rep.line("               зен. ъгли : " +
               whole(independent(
                         rows, [](const Row& row) { return row.V > 0.0; }, same_sight),
                     5));
    s.rep.line("           накл. разст-я : " +
               whole(independent(
                         rows, [](const Row& row) { return row.S > 0.0; }, same_side),
                     5));
    s.rep.line("        (хориз. разст-я) : " +
               whole(independent(
                         rows, [](const Row& row) { return row.D > 0.0; }, same_side),
                     5));
    s.rep.line("              превишения : " +
               whole(independent(rows, has_height_difference<Row>, same_side), 5));
    s.rep.endl();
    s.rep.line("              Нови точки : " + whole(static_cast<long long>(s.pts.size()) - s.given, 5));
    s.rep.endl();
}

void izhod(const Survey& s, TextFile& f) {
    Vk1 v;
    v.xo = s.xo;
    v.yo = s.yo;
    v.tol_angle = s.par.tol_angle;
    v.tol_linear = s.par.tol_linear;
    v.tol_height = s.par.tol_height;
    v.refraction = s.par.refraction;
    v.given.assign(s.pts.begin(), s.pts.begin() + s.given);
    for (auto p = s.pts.begin() + s.given; p != s.pts.end(); ++p) v.fresh.push_back(p->no);
    v.rows = s.rows;
    write_vk1(v, f);
}

}  // namespace vk::v1
