// Orientation and reductions (report sections 4 to 7): station records are oriented on
// given points, records of one station are brought into one frame, repeated directions
// averaged, and horizontal distances reduced to the projection plane.
#include <cmath>

#include "rows.hpp"
#include "vokram/angles.hpp"
#include "vokram/geodesy.hpp"
#include "vokram/units.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

namespace {

// The reason of a stop on the directions of a station that disagree, in one line: the
// heading of the block, its mean and the line of the direction farthest from the mean.
std::string disagreement(const std::string& head, const std::string& mean_line,
                         const std::vector<std::pair<int, double>>& list, double mean) {
    std::pair<int, double> far = list.front();
    for (const auto& seen : list)
        if (ina(seen.second, mean) > ina(far.second, mean)) far = seen;
    return head + " " + mean_line.substr(mean_line.find_first_not_of(' ')) + ", към " + whole(far.first, 5) +
           "   О = " + real(far.second, 10, 5) + " гр.";
}

// The given points with a plane position, by number. Height-only points have none and
// cannot take part in an orientation.
class PlanePoints {
  public:
    explicit PlanePoints(const Survey& s) : by_number_(65536, nullptr) {
        for (int i = s.given - 1; i >= 0; --i)  // the first of equal numbers wins
            if (s.pts[i].vi >= 2) by_number_[s.pts[i].no] = &s.pts[i];
    }
    const Point* operator()(std::uint16_t no) const { return by_number_[no]; }

  private:
    std::vector<const Point*> by_number_;
};

// Section 4: every record that sees given points gets its orientation angle; its
// directions become direction angles and its series number 0.
void orient_on_given(Survey& s) {
    auto& rows = s.rows;
    s.rep.endl();
    s.rep.line("  4.ПРИВЕЖДА СТАНЦИИ КЪМ ПОСОЧНИ ЪГЛИ.");
    s.rep.endl();
    const PlanePoints plane_point(s);
    Largest worst;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& first = rows[i];
        if (first.R <= 0.0 || first.ps == 0 || !plane_point(first.ns) || !plane_point(first.nt)) continue;
        const Point& st = *plane_point(first.ns);
        const std::uint16_t ps = first.ps, ns = first.ns;
        std::vector<std::pair<int, double>> seen;  // target and orientation angle
        DirectionMean o;
        for (std::size_t j = i; j < rows.size(); ++j) {
            const Row& row = rows[j];
            if (row.ns != ns || row.ps != ps || row.R <= 0.0) continue;
            const Point* tg = plane_point(row.nt);
            if (!tg) continue;
            const double angle = rang(atang(tg->y - st.y, tg->x - st.x) - row.R);
            seen.emplace_back(row.nt, angle);
            o.add(angle);
        }
        const double mean = o.mean();
        if (o.count > 1) {
            for (const auto& [nt, angle] : seen) worst.take(ina(angle, mean), ns, nt);
            if (worst.v > s.par.tol_angle) {
                const std::string head =
                    "    Станция " + whole(ns, 5) + " - несъгласуваност м/у посоки към дадени точки.";
                const std::string mean_line = "      Общо средно   = " + real(mean, 10, 5);
                s.rep.line(head);
                s.rep.line(mean_line);
                for (const auto& [nt, angle] : seen)
                    s.rep.line("      към " + whole(nt, 5) + "   О = " + real(angle, 10, 5) + " гр.");
                s.rep.endl();
                stop(disagreement(head, mean_line, seen, mean));
            }
        }
        for (Row& row : rows)
            if (row.ps == ps && row.R > 0.0) row.R = rang(row.R + mean), row.ps = 0;
    }
    if (worst.v <= kLeastShownAngle)
        s.rep.line("    Максим. разлика м/у ориент. неизвестни  не е открита.");
    else
        s.rep.line("    Максим. разлика м/у ориент. неизвестни " +
                   worst.where(kCcPerGrad, " сс. в ст.", " към т."));
    s.rep.endl();
}

// Section 5: a record that shares directions with an earlier record of the same station
// is turned into that record's frame.
void common_origin(Survey& s) {
    auto& rows = s.rows;
    s.rep.line("  5.ПРИВЕЖДА СТАНЦИИ КЪМ ОБЩО НАЧАЛО.");
    s.rep.endl();
    bool several = false;
    for (std::size_t i = 0; i < rows.size() && !several; ++i)
        for (std::size_t j = i + 1; j < rows.size() && !several; ++j)
            if (rows[i].R > 0.0 && rows[j].R > 0.0 && rows[i].ns == rows[j].ns && rows[i].ps != rows[j].ps)
                several = true;
    if (rows.size() <= 3 || !several) {
        s.rep.line("    Не са открити едноименни станции с общи посоки.");
        return;
    }
    Largest worst;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        if (rows[i].R <= 0.0) continue;
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            const Row& a = rows[i];
            const Row& b = rows[j];
            if (b.R <= 0.0 || b.ns != a.ns || b.nt != a.nt || b.ps == a.ps) continue;
            const std::uint16_t ns = a.ns, ps_a = a.ps, ps_b = b.ps;
            std::vector<std::pair<int, double>> pairs;  // target and offset of the second record
            DirectionMean o;
            for (std::size_t p = i; p < rows.size(); ++p) {
                if (rows[p].R <= 0.0 || rows[p].ps != ps_a || rows[p].ns != ns) continue;
                for (std::size_t q = j; q < rows.size(); ++q) {
                    if (rows[q].R <= 0.0 || rows[q].ps != ps_b || rows[q].ns != ns ||
                        rows[q].nt != rows[p].nt)
                        continue;
                    const double delta = rang(rows[q].R - rows[p].R);
                    pairs.emplace_back(rows[p].nt, delta);
                    o.add(delta);
                }
            }
            const double mean = o.mean();
            double largest = 0.0;
            for (const auto& [nt, delta] : pairs) {
                const double e = ina(delta, mean);
                if (e > largest) largest = e;
                worst.take(e, ns, nt);
            }
            if (largest > s.par.tol_angle) {
                const std::string head =
                    "    Станция " + whole(ns, 5) + " - несъгласуваност между общи посоки :";
                const std::string mean_line = "      Общо средно   = " + real(mean, 10, 5) + " гр.";
                s.rep.line(head);
                s.rep.endl();
                s.rep.line(mean_line);
                for (const auto& [nt, delta] : pairs)
                    s.rep.line("      към " + whole(nt, 5) + "   О = " + real(delta, 10, 5) + " гр.");
                s.rep.endl();
                stop(disagreement(head, mean_line, pairs, mean));
            }
            for (std::size_t k = i + 1; k < rows.size(); ++k)
                if (rows[k].R > 0.0 && rows[k].ns == ns && rows[k].ps == ps_b)
                    rows[k].R = rang(rows[k].R - mean), rows[k].ps = ps_a;
        }
    }
    if (worst.v <= kLeastShownAngle)
        s.rep.line("    Максим. разлика   не е открита.");
    else
        s.rep.line("    Максим. разлика " + worst.where(kCcPerGrad, " сс. в ст.", " към т."));
    s.rep.endl();
}

// Section 6: directions repeated after the records were joined become their vector mean.
void average_directions(Survey& s) {
    auto& rows = s.rows;
    s.rep.line("  6.ОСРЕДНЯВА ПОСОКИ СЛЕД ПРИВЕЖДАНЕ.");
    s.rep.endl();
    Largest worst;
    auto same = [](const Row& a, const Row& b) {
        return b.R > 0.0 && a.ns == b.ns && a.nt == b.nt && a.ps == b.ps;
    };
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        if (rows[i].R <= 0.0) continue;
        DirectionMean o;
        for (std::size_t j = i; j < rows.size(); ++j)
            if (same(rows[i], rows[j])) o.add(rows[j].R);
        if (o.count <= 1) continue;
        const double mean = o.mean();
        double largest = 0.0;
        for (std::size_t j = i; j < rows.size(); ++j)
            if (same(rows[i], rows[j])) largest = std::max(largest, ina(rows[j].R, mean));
        worst.take(largest, rows[i].ns, rows[i].nt);
        if (largest > s.par.tol_angle) {
            const std::string head = "    Станция " + whole(rows[i].ns, 5) + ", към точка " +
                                     whole(rows[i].nt, 5) + " - разлика м/у повторения.";
            const std::string mean_line = "      Общо средно   = " + real(mean, 8, 4) + " гр.";
            s.rep.line(head);
            s.rep.line(mean_line);
            std::string far;  // the repetition farthest from the mean
            for (std::size_t j = i; j < rows.size(); ++j)
                if (same(rows[i], rows[j])) {
                    const std::string line = "R = " + real(rows[j].R, 10, 5) +
                                             "   Разлика = " + real(ina(rows[j].R, mean), 10, 5) + " гр.";
                    s.rep.line("        " + line);
                    if (ina(rows[j].R, mean) == largest && far.empty()) far = line;
                }
            s.rep.endl();
            stop(head + " " + mean_line.substr(mean_line.find_first_not_of(' ')) + ", " + far);
        }
        const Row key = rows[i];
        for (std::size_t j = i; j < rows.size(); ++j)
            if (same(key, rows[j])) rows[j].R = mean;
    }
    if (worst.v <= kLeastShownAngle)
        s.rep.line("    Максим. разлика  не е открита.");
    else
        s.rep.line("    Максим. разлика " + worst.where(kCcPerGrad, " сс. в ст.", " към т."));
}

// Section 7: horizontal distances reduced to the projection plane at the given height.
void projection_scale(Survey& s) {
    double sum = 0.0;
    int nh = 0;
    for (int i = 0; i < s.given; ++i)
        if (s.pts[i].h != 0.0) sum += s.pts[i].h, ++nh;
    const double hp = s.par.hp;
    const double kp = projection_correction(hp) * kMmPerKm;
    s.rep.endl();
    s.rep.line("  7.КОРЕКЦИЯ НА МАЩАБА ЗАРАДИ ПРОЕКЦИЯ ВЪРХУ ЕЛИПСОИДА. ");
    s.rep.endl();
    if (nh > 0) {
        const double hm = sum / nh;
        const double km = projection_correction(hm) * kMmPerKm;
        s.rep.line("       Средна надм. височина от коти " + real(hm, 6, 1) + " [м]     ");
        s.rep.line("             Свързана с нея корекция " + real(km, 6, 1) + " [мм/км] ");
    }
    s.rep.line("             Зададена надм. височина " + real(hp, 6, 1) + " [м]     ");
    s.rep.line("       ВНЕСЕНА Е ЗАДАДЕНАТА КОРЕКЦИЯ " + real(kp, 6, 1) + " [мм/км] ");
    s.rep.endl();
    for (Row& row : s.rows)
        if (row.D > 0.0) row.D *= 1.0 - kp / kMmPerKm;
}

}  // namespace

void korekcii(Survey& s) {
    orient_on_given(s);
    common_origin(s);
    average_directions(s);
    projection_scale(s);
}

}  // namespace vk::v1
