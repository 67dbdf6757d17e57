// Controls after the plane solution: directions of each station against their mean
// orientation, and horizontal distances against the coordinates (report section 10).
#include <cmath>

#include "vokram/angles.hpp"
#include "vokram/statistics.hpp"
#include "vokram/units.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

namespace {

// A measurement between two points with coordinates can be checked against them.
bool checkable(const Network& w, const Row& r) {
    return w.known(r.ns) && w.known(r.nt);
}

// The directions of the first record of station `st` with coordinates at both ends
// against their mean orientation; a conflict beyond the tolerance is listed.
void station_directions(const Network& w, int st, PlaneCheck& c, TextFile& out, Largest& angular) {
    int first = -1;
    for (int j = 0; j < w.m() && first < 0; ++j) {
        const Row& r = w.rows[j];
        if (r.ns == st && r.R > 0 && checkable(w, r)) first = j;
    }
    if (first < 0) return;
    const std::uint16_t s = w.rows[first].ps;
    std::vector<int> used;
    DirectionMean orientation;
    for (int k = first; k < w.m(); ++k) {
        const Row& r = w.rows[k];
        if (r.ps != s || r.ns != st || !(r.R > 0) || !checkable(w, r)) continue;
        orientation.add(t(w, st, r.nt) - r.R);
        used.push_back(k);
    }
    const double mean = orientation.mean();
    Largest station;
    for (int k : used) {
        const Row& r = w.rows[k];
        c.angle_off[k] = ina(rang(t(w, st, r.nt) - r.R), mean);
        station.take(c.angle_off[k], w.no(st), w.no(r.nt));
    }
    angular.take(station.v, station.st, station.tg);
    if (station.v > w.tol.angle) {
        c.named.push_back(st);
        for (int k : used) c.named.push_back(w.rows[k].nt);
        out.line("      Станция " + whole(w.no(st)) + "  - конфликт в посоките.");
        out.line("         No         R            Алфа           о             vo");
        for (int k : used) {
            const Row& r = w.rows[k];
            const double alfa = t(w, st, r.nt);
            const double o = rang(alfa - r.R);
            out.line(whole(w.no(r.nt), 11) + real(r.R, 15, 5) + real(alfa, 14, 5) + real(o, 14, 5) +
                     real(ina(o, mean), 14, 5));
        }
        out.endl();
    }
}

// Horizontal distances against the coordinates; the conflicts beyond the tolerance listed.
Largest distance_conflicts(const Network& w, PlaneCheck& c, TextFile& out) {
    Largest linear;
    for (std::size_t j = 0; j < w.rows.size(); ++j) {
        const Row& r = w.rows[j];
        if (!(r.D > 0) || !checkable(w, r)) continue;
        c.length_off[j] = std::fabs(r.D - dist2d(w, r.ns, r.nt));
        linear.take(c.length_off[j], w.no(r.ns), w.no(r.nt));
    }
    if (linear.v > w.tol.linear) {
        out.line("      Конфликт в разстоянията.");
        out.line("        от т.  до т.      измерено      изчислено     разлика");
        for (const Row& r : w.rows) {
            if (!(r.D > 0) || !checkable(w, r)) continue;
            const double computed = dist2d(w, r.ns, r.nt);
            const double diff = std::fabs(computed - r.D);
            if (!(diff > w.tol.linear)) continue;
            c.named.push_back(r.ns), c.named.push_back(r.nt);
            out.line(whole(w.no(r.ns), 13) + " " + whole(w.no(r.nt), 5) + real(r.D, 15, 4) +
                     real(computed, 14, 4) + real(diff, 12, 4));
        }
        out.endl();
    }
    return linear;
}

// The lines of the largest angular and linear differences, written when worth showing.
void largest_differences(PlaneCheck& c, const Largest& angular, const Largest& linear, TextFile& out) {
    bool summary = false;
    c.angular_line = "    Макс. ъглова  разлика: " + real(angular.v * kCcPerGrad, 6, 1) + " сс. в ст." +
                     whole(angular.st) + " към т." + whole(angular.tg);
    c.linear_line = "    Макс. линейна разлика: " + real(linear.v * kCmPerMetre, 6, 1) + "  см. в ст." +
                    whole(linear.st) + " към т." + whole(linear.tg);
    if (angular.v > kLeastShownAngle) {
        out.line(c.angular_line);
        summary = true;
    }
    if (linear.v > kLeastShownLength) {
        out.line(c.linear_line);
        summary = true;
    }
    if (summary) out.endl();
    c.angular = angular.v, c.linear = linear.v;
}

}  // namespace

PlaneCheck plane_controls(const Network& w, TextFile& out) {
    PlaneCheck c;
    c.angle_off.assign(w.rows.size(), 0.0), c.length_off.assign(w.rows.size(), 0.0);
    out.line(" 10.КОНТРОЛИ СЛЕД 2D-РЕШЕНИЕ.");
    out.endl();
    Largest angular;
    for (int st = 0; st < w.n(); ++st) station_directions(w, st, c, out, angular);
    const Largest linear = distance_conflicts(w, c, out);
    largest_differences(c, angular, linear, out);
    return c;
}

void kontroli_2d(Network& w) {
    const PlaneCheck c = plane_controls(w, w.rep);
    if (c.angular > w.tol.angle)
        w.plane_conflict = c.angular_line;
    else if (c.linear > w.tol.linear)
        w.plane_conflict = c.linear_line;
}

}  // namespace vk::v2
