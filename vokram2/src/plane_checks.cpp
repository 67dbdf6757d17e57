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
bool checkable(const Network& net, const Row& r) {
    return net.known(r.ns) && net.known(r.nt);
}

// The directions of the first record of station `st` with coordinates at both ends
// against their mean orientation; a conflict beyond the tolerance is listed.
void station_directions(const Network& net, int st, PlaneCheck& c, TextFile& out, Largest& angular) {
    int first = -1;
    for (int j = 0; j < net.m() && first < 0; ++j) {
        const Row& r = net.rows[j];
        if (r.ns == st && r.R > 0 && checkable(net, r)) first = j;
    }
    if (first < 0) return;
    const std::uint16_t s = net.rows[first].ps;
    std::vector<int> used;
    DirectionMean orientation;
    for (int k = first; k < net.m(); ++k) {
        const Row& r = net.rows[k];
        if (r.ps != s || r.ns != st || !(r.R > 0) || !checkable(net, r)) continue;
        orientation.add(t(net, st, r.nt) - r.R);
        used.push_back(k);
    }
    const double mean = orientation.mean();
    Largest station;
    for (int k : used) {
        const Row& r = net.rows[k];
        c.angle_off[k] = ina(rang(t(net, st, r.nt) - r.R), mean);
        station.take(c.angle_off[k], net.no(st), net.no(r.nt));
    }
    angular.take(station.v, station.st, station.tg);
    if (station.v > net.tol.angle) {
        c.named.push_back(st);
        for (int k : used) c.named.push_back(net.rows[k].nt);
        out.line("      Станция " + whole(net.no(st)) + "  - конфликт в посоките.");
        out.line("         No         R            Алфа           о             vo");
        for (int k : used) {
            const Row& r = net.rows[k];
            const double alfa = t(net, st, r.nt);
            const double o = rang(alfa - r.R);
            out.line(whole(net.no(r.nt), 11) + real(r.R, 15, 5) + real(alfa, 14, 5) + real(o, 14, 5) +
                     real(ina(o, mean), 14, 5));
        }
        out.endl();
    }
}

// Horizontal distances against the coordinates; the conflicts beyond the tolerance listed.
Largest distance_conflicts(const Network& net, PlaneCheck& c, TextFile& out) {
    Largest linear;
    for (std::size_t j = 0; j < net.rows.size(); ++j) {
        const Row& r = net.rows[j];
        if (!(r.D > 0) || !checkable(net, r)) continue;
        c.length_off[j] = std::fabs(r.D - dist2d(net, r.ns, r.nt));
        linear.take(c.length_off[j], net.no(r.ns), net.no(r.nt));
    }
    if (linear.v > net.tol.linear) {
        out.line("      Конфликт в разстоянията.");
        out.line("        от т.  до т.      измерено      изчислено     разлика");
        for (const Row& r : net.rows) {
            if (!(r.D > 0) || !checkable(net, r)) continue;
            const double computed = dist2d(net, r.ns, r.nt);
            const double diff = std::fabs(computed - r.D);
            if (!(diff > net.tol.linear)) continue;
            c.named.push_back(r.ns), c.named.push_back(r.nt);
            out.line(whole(net.no(r.ns), 13) + " " + whole(net.no(r.nt), 5) + real(r.D, 15, 4) +
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

PlaneCheck plane_controls(const Network& net, TextFile& out) {
    PlaneCheck c;
    c.angle_off.assign(net.rows.size(), 0.0), c.length_off.assign(net.rows.size(), 0.0);
    out.line(" 10.КОНТРОЛИ СЛЕД 2D-РЕШЕНИЕ.");
    out.endl();
    Largest angular;
    for (int st = 0; st < net.n(); ++st) station_directions(net, st, c, out, angular);
    const Largest linear = distance_conflicts(net, c, out);
    largest_differences(c, angular, linear, out);
    return c;
}

void kontroli_2d(Network& net) {
    const PlaneCheck c = plane_controls(net, net.rep);
    if (c.angular > net.tol.angle)
        net.plane_conflict = c.angular_line;
    else if (c.linear > net.tol.linear)
        net.plane_conflict = c.linear_line;
}

}  // namespace vk::v2
