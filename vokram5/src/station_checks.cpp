// Checks of a polar station: its own sights against each other (INS_KONTROL) and
// against the coordinates and heights of the network points it sighted (OUT_KONTROL).
#include <cmath>

#include "faces.hpp"
#include "vokram/geodesy.hpp"
#include "vokram/units.hpp"

namespace vk::v5 {

namespace {

// Stops on a control of the station with the reason in one line: the station, the
// heading of the block and the report line over the tolerance.
[[noreturn]] void stop_control(const Polar& p, const std::string& head, const std::string& line) {
    auto bare = [](std::string l) { return l.erase(0, l.find_first_not_of(' ')); };
    stop("В станция " + in_quotes(real(p.st, 0, 0)) + ": " + bare(head) + " " + bare(line));
}

// Writes the report line of a largest difference; the first one over its tolerance is
// kept in `over`.
void maximum(Polar& p, const std::string& line, bool beyond, std::string& over) {
    p.rep->line(line);
    if (beyond && over.empty()) over = line;
}

// Merges the two faces of one sighting into sight k (face I) and removes sight k + 1.
void merge_pair(Polar& p, std::size_t k, FaceMaxima& m) {
    Sight& a = p.sights[k];
    Sight& b = p.sights[k + 1];
    if (merge_faces(a.R, a.V, a.S, b.R, b.V, b.S, a.nt, m)) a.D = b.D;
    p.sights.erase(p.sights.begin() + static_cast<std::ptrdiff_t>(k) + 1);
}

// Two faces of each sighting: merged, reported, and stopped when beyond the tolerances.
void two_faces(Polar& p) {
    const Parameters& par = p.par;
    FaceMaxima m;
    for (std::size_t k = 0; k < p.sights.size(); ++k) {
        if (k + 1 < p.sights.size() && p.sights[k].nt == p.sights[k + 1].nt)
            merge_pair(p, k, m);  // the walk goes on with the sight after the pair
        else
            single_face(p.sights[k].R, p.sights[k].V, par.index);
    }

    const Largest &dr = m.r, &dz = m.z, &ds = m.s;
    if (dr.v > par.tol_angle || dz.v > par.tol_angle || ds.v > par.tol_linear) {
        const std::string head = "    Недопустими разлики I/II положение";
        std::string over;
        p.rep->line(head);
        if (dr.v > par.tol_angle)
            maximum(p,
                    "      за хор. посока  " + real(dr.v * kCcPerGrad, 6, 1) + " сс. към т." + whole(dr.tg),
                    true, over);
        if (dz.v > par.tol_angle)
            maximum(p,
                    "      за верт.  ъгъл  " + real(dz.v * kCcPerGrad, 6, 1) + " сс. към т." + whole(dz.tg),
                    true, over);
        if (ds.v > par.tol_linear)
            maximum(p,
                    "      за накл. разст. " + real(ds.v * kCmPerMetre, 6, 1) + " см. към т." + whole(ds.tg),
                    true, over);
        stop_control(p, head, over);
    }
    if (dr.v > 0.0 || dz.v > 0.0 || ds.v > 0.0) {
        // Horizontal distances are derived only after this check, so their line never
        // shows a value.
        p.rep->line("    Визиране в две положения на телскопа.");
        p.rep->line("    Максимални разлики между измервания: ");
        p.rep->line("      за  хор. посоки : " +
                    largest_or_none(dr, kLeastShownAngle, kCcPerGrad, " сс. към т."));
        p.rep->line("      за  зен. ъгли   : " +
                    largest_or_none(dz, kLeastShownAngle, kCcPerGrad, " сс. към т."));
        p.rep->line("      за накл. разст. : " +
                    largest_or_none(ds, kLeastShownLength, kCmPerMetre, " см. към т."));
        p.rep->line("      за  хор. разст. : " +
                    largest_or_none(Largest{}, kLeastShownLength, kCmPerMetre, " см. към т."));
        p.rep->endl();
    }
}

// Repeated sightings of one point: directions, slope distances and height differences
// compared pair by pair, repeated directions replaced by their mean.
void repetitions(Polar& p) {
    const Parameters& par = p.par;
    std::vector<Sight>& s = p.sights;
    const std::size_t n = s.size();
    Largest dr, ds, dh;

    for (std::size_t k = 0; k + 1 < n; ++k)
        for (std::size_t l = k + 1; l < n; ++l) {
            if (s[k].nt != s[l].nt || !(s[k].R > 0.0 && s[l].R > 0.0)) continue;
            const double d = ina(s[k].R, s[l].R);
            dr.take(d, s[k].nt);
            if (d > par.tol_angle) p.rep->line("    Разлика в посока към т. " + whole(s[k].nt) + ".");
        }

    // The mean of repeated directions is the direction of the sum of their unit vectors,
    // so that readings on both sides of the zero direction average near zero.
    for (std::size_t k = 0; k + 1 < n; ++k) {
        if (!(s[k].R > 0.0)) continue;
        DirectionMean faces;
        faces.add(s[k].R);
        for (std::size_t l = k + 1; l < n; ++l)
            if (s[l].nt == s[k].nt && s[l].R > 0.0) faces.add(s[l].R);
        if (faces.count < 2) continue;
        s[k].R = faces.mean_raw();
        for (std::size_t l = k + 1; l < n; ++l)
            if (s[l].nt == s[k].nt && s[l].R > 0.0) s[l].R = s[k].R;
    }

    for (std::size_t k = 0; k + 1 < n; ++k)
        for (std::size_t l = k + 1; l < n; ++l) {
            if (s[k].nt != s[l].nt || !(s[k].S > 0.0 && s[l].S > 0.0)) continue;
            const double d = std::fabs(s[k].S - s[l].S);
            ds.take(d, s[k].nt);
            if (d > par.tol_linear)
                p.rep->line("    Разлика в накл. разстояние към т. " + whole(s[k].nt) + ".");
        }
    for (std::size_t k = 0; k + 1 < n; ++k)
        for (std::size_t l = k + 1; l < n; ++l) {
            if (s[k].nt != s[l].nt) continue;
            if (!(s[k].hs * s[k].V * s[k].S * s[l].V * s[l].S > 0.0)) continue;
            const double a = std::fabs(cosg(s[k].V) * s[k].S - s[k].ht / kMmPerMetre);
            const double b = std::fabs(cosg(s[l].V) * s[l].S - s[l].ht / kMmPerMetre);
            const double d = std::fabs(a - b);
            dh.take(d, s[k].nt);
            if (d > par.tol_height) p.rep->line("    Разлика в превишение към т. " + whole(s[k].nt) + ".");
        }

    if (dr.v != 0.0 || ds.v != 0.0 || dh.v != 0.0) {
        const std::string head = "    Макс. разлики от повторения:";
        std::string over;
        p.rep->line(head);
        if (dr.v > 0.0)
            maximum(p, "      за      посока: " + real(dr.v, 8, 4) + " гр. в т. " + whole(dr.tg, 5),
                    dr.v > par.tol_angle, over);
        if (ds.v > 0.0)
            maximum(p, "      за накл. р-ние: " + real(ds.v, 7, 3) + "  м.  в т. " + whole(ds.tg, 5),
                    ds.v > par.tol_linear, over);
        if (dh.v > 0.0)
            maximum(p, "      за  превишение: " + real(dh.v, 7, 3) + "  м.  в т. " + whole(dh.tg, 5),
                    dh.v > par.tol_height, over);
        if (!over.empty()) stop_control(p, head, over);
    }
}

// A sight matched with a network point of its number.
struct Match {
    const Sight* s;
    const Point* pt;
    double value;  // the orientation it gives, or the computed distance or height difference
};

// Each sight matched with every point of its number that `wanted` accepts.
template <class Wanted>
std::vector<Match> matches(const Polar& p, Wanted&& wanted) {
    std::vector<Match> m;
    for (const Sight& s : p.sights)
        for (const Point& pt : p.pts)
            if (pt.no == s.nt && wanted(s, pt)) m.push_back({&s, &pt, 0.0});
    return m;
}

// The orientation unknown of the station from the directions to the points with
// coordinates: their mean, stopped when one differs from it beyond the tolerance.
void orientation_unknown(Polar& p, const Point& st, Largest& dr) {
    const Parameters& par = p.par;
    p.Z = 0.0;
    std::vector<Match> o =
        matches(p, [](const Sight& s, const Point& pt) { return pt.vi >= 2 && s.R > 0.0; });
    if (o.empty()) {
        p.rep->line("    Невъзможно ориентиране.");
        return;
    }
    DirectionMean orientation;
    for (Match& m : o) {
        m.value = rang(atang_raw(m.pt->y - st.y, m.pt->x - st.x) - m.s->R);
        orientation.add(m.value);
    }
    p.Z = orientation.mean_raw();
    if (o.size() < 2) return;
    for (const Match& m : o) dr.take(ina(m.value, p.Z), m.pt->no);
    if (dr.v > par.tol_angle) {
        const std::string head = "    Разлика в ориент. неизвестно ";
        std::string over;
        p.rep->line(head);
        for (const Match& m : o)
            maximum(p, "      към т. " + whole(m.s->nt) + " о= " + real(m.value, 9, 5) + " гр.",
                    ina(m.value, p.Z) == dr.v, over);
        stop_control(p, head, over);
    }
}

// Horizontal distances to the points with coordinates against those computed from
// the coordinates, stopped beyond the tolerance.
void distance_control(Polar& p, Largest& dd) {
    std::vector<Match> d =
        matches(p, [](const Sight& s, const Point& pt) { return pt.vi >= 2 && s.D > 0.0; });
    for (Match& m : d) {
        m.value = dist(p.xst, p.yst, 0.0, m.pt->x, m.pt->y, 0.0);
        dd.take(std::fabs(m.s->D - m.value), m.pt->no);
    }
    if (dd.v > p.par.tol_linear) {
        const std::string head = "    Разлика в разстояния.";
        std::string over;
        p.rep->line(head);
        p.rep->line("      точка  изчислено    измерено");
        p.rep->line("     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]");
        for (const Match& m : d)
            maximum(p, whole(m.pt->no, 11) + " " + real(m.value, 8, 3) + " " + real(m.s->D, 11, 3),
                    std::fabs(m.s->D - m.value) == dd.v, over);
        stop_control(p, head + " точка изчислено измерено:", over);
    }
}

// Measured height differences to the points with heights against those from the
// heights, stopped beyond the tolerance.
void height_control(Polar& p, Largest& dh) {
    const Parameters& par = p.par;
    struct Height {
        long long no;
        double computed, measured;
    };
    std::vector<Height> rows;
    std::vector<Match> h = matches(p, [](const Sight& s, const Point& pt) {
        return (pt.vi == 1 || pt.vi == 3) && s.hs * s.V * s.S > 0.0;
    });
    for (const Match& m : h) {
        const Sight& s = *m.s;
        const double measured = cosg(s.V) * s.S + curvature_refraction(s.S, par.refraction) +
                                s.hs / kMmPerMetre - s.ht / kMmPerMetre;
        const double computed = m.pt->h - p.hst;
        dh.take(std::fabs(measured - computed), m.pt->no);
        rows.push_back({m.pt->no, computed, measured});
    }
    if (dh.v > par.tol_height) {
        const std::string head = "    Разлика в превишения";
        std::string over;
        p.rep->line(head);
        p.rep->endl();
        p.rep->line("      точка  изчислено    измерено   разлика");
        p.rep->line("     ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]");
        for (const Height& r : rows)
            maximum(p,
                    whole(r.no, 11) + " " + real(r.computed, 8, 3) + " " + real(r.measured, 11, 3) + " " +
                        real(r.computed - r.measured, 11, 3),
                    std::fabs(r.measured - r.computed) == dh.v, over);
        stop_control(p, head + ", точка изчислено измерено разлика:", over);
    }
}

// The largest differences of the orientation, distances and height differences.
void orientation_maxima(Polar& p, const Largest& dr, const Largest& dd, const Largest& dh) {
    if (dr.v + dd.v + dh.v > 0.0) {
        p.rep->line("    Mакс. разлики от ориентиране:");
        if (dr.v > 0.0)
            p.rep->line("           за посока:  към т." + whole(dr.tg, 5) + " " +
                        real(dr.v * kCcPerGrad, 6, 1) + " сс.");
        if (dd.v > 0.0)
            p.rep->line("       за разстояние:  към т." + whole(dd.tg, 5) + " " +
                        real(dd.v * kCmPerMetre, 6, 1) + " см.");
        if (dh.v > 0.0)
            p.rep->line("       за превишение:  към т." + whole(dh.tg, 5) + " " +
                        real(dh.v * kCmPerMetre, 6, 1) + " см.");
        p.rep->endl();
    }
}

}  // namespace

void ins_kontrol(Polar& p) {
    for (const Sight& s : p.sights)
        if (s.nt == s.ns) {
            stop(*p.rep, "    Записано измерване към т. " + whole(s.nt) + ".");
        }
    if (p.sights.empty()) return;
    two_faces(p);
    if (p.sights.size() > 1) repetitions(p);
}

void out_kontrol(Polar& p) {
    const Point& st = p.pts[static_cast<std::size_t>(p.J)];
    p.st_vi = st.vi;
    p.hst = st.h;
    Largest dr, dd, dh;

    if (p.st_vi == 2 || p.st_vi == 3) {
        orientation_unknown(p, st, dr);
        p.xst = st.x;
        p.yst = st.y;
        distance_control(p, dd);
    } else {
        p.rep->endl();
        p.rep->line("    Липсват (x,y) координати.");
    }
    if (p.st_vi == 1 || p.st_vi == 3) height_control(p, dh);
    if (p.st_vi == 2) {
        p.rep->endl();
        p.rep->line("    Липсва надморска височина за ст. " + whole(st.no) + ".");
    }
    orientation_maxima(p, dr, dd, dh);
}

}  // namespace vk::v5
