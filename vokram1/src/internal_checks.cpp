// Checks of the station measurements (report section 3): telescope faces, repeated
// directions and distances, repeated and reciprocal height differences.
#include <cmath>

#include "rows.hpp"
#include "vokram/angles.hpp"
#include "vokram/geodesy.hpp"
#include "vokram/units.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

namespace {

bool same_sight(const Row& a, const Row& b) {
    return a.ps == b.ps && a.ns == b.ns && a.nt == b.nt;
}

// The height difference station to target of a row, bent by the earth's curvature less
// refraction as the levelling has it, so that a reciprocal pair cancels.
double height_difference(const Row& row, double k) {
    return row.hs / kMmPerMetre + row.S * cosg(row.V) + curvature_refraction(row.S, k) - row.ht / kMmPerMetre;
}

// Merges the observations of one target in the two faces of the telescope, turns the
// single observations to face I and applies the vertical index correction to them.
void two_faces(Survey& s) {
    Largest dir, zen, slope, hor;
    double mean_index = 0.0;
    int k = 0;
    auto& rows = s.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Row& a = rows[i];
        if (i + 1 < rows.size() && same_sight(a, rows[i + 1])) {
            Row& b = rows[i + 1];
            if (a.V > 0.0 && b.V > 0.0 && a.V > b.V) {
                std::swap(a.R, b.R), std::swap(a.V, b.V), std::swap(a.S, b.S), std::swap(a.D, b.D);
            }
            if (a.R > 0.0 && b.R > 0.0) {
                const double d = rang(b.R - a.R) - 200.0;
                dir.take(std::fabs(d), a.ns, a.nt);
                a.R = face_mean(a.R, b.R, Seam::at_400);
            }
            if (a.V > 0.0 && b.V > 0.0) {
                const double e = a.V + b.V - 400.0;  // twice the index error
                mean_index = (k * mean_index + e) / (k + 1);
                ++k;
                zen.take(std::fabs(e), a.ns, a.nt);
                a.V -= e / 2.0;
            }
            if (a.S > 0.0 && b.S > 0.0) {
                const double d = a.S - (a.S + b.S) / 2.0;
                slope.take(std::fabs(d), a.ns, a.nt);
                a.S -= d;
            }
            if (a.D > 0.0 && b.D > 0.0) {
                const double d = a.D - (a.D + b.D) / 2.0;
                hor.take(std::fabs(d), a.ns, a.nt);
                a.D -= d;
            }
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        } else if (a.V > 200.0) {
            // A single sight in face II: a reading there is 400 - z + i while the face-I
            // correction is -i, so the zenith angle is 400 - V - correction.
            a.V = 400.0 - a.V - s.par.index;
            if (a.R > 0.0) a.R = rang(a.R + 200.0);
        } else if (a.V > 0.0) {
            a.V += s.par.index;
        }
    }

    if (dir.v > 0.0 || zen.v > 0.0 || slope.v > 0.0 || hor.v > 0.0) {
        auto line = [&](const char* label, const Largest& m, double threshold, double factor,
                        const char* unit, bool over) {
            const std::string text = m.v <= threshold ? std::string(label) + "  не е открита разлика."
                                                      : label + m.where(factor, unit, " към т.");
            if (over)
                fault(s, text);
            else
                s.rep.line(text);
        };
        s.rep.line("    Визиране в две положения на телескопа.");
        s.rep.endl();
        s.rep.line("    Максимална разлика с Общо средно : ");
        line("      за  хор. посоки : ", dir, kLeastFaceAngle, 0.5 * kCcPerGrad, " сс. в ст.",
             dir.v * 0.5 > s.par.tol_angle);
        line("      за  зен. ъгли   : ", zen, kLeastFaceAngle, 0.5 * kCcPerGrad, " сс. в ст.",
             zen.v * 0.5 > s.par.tol_angle);
        line("      за накл. разст. : ", slope, kLeastFaceLength, kCmPerMetre, " см. в ст.",
             slope.v > s.par.tol_linear);
        line("      за  хор. разст. : ", hor, kLeastFaceLength, kCmPerMetre, " см. в ст.",
             hor.v > s.par.tol_linear);
        s.rep.endl();
        if (zen.v > kLeastIndexShown)
            s.rep.line("    Средна индексна грешка : " + real(mean_index * 0.5 * kCcPerGrad, 0, 1) +
                       " сс. от " + whole(k) + " измервания.");
        s.rep.endl();
    }
}

// A summary line "<label>" followed by the largest difference, or "  не е открита." when
// it is not above `least`.
void summary(Survey& s, const char* label, const Largest& m, double least, double factor, const char* unit,
             const char* joint) {
    if (m.v <= least)
        s.rep.line(std::string(label) + "  не е открита.");
    else
        s.rep.line(label + m.where(factor, unit, joint));
}

// Drops the rows that carry nothing (no direction and not both zenith angle and slope
// distance) and faults every sight of a station to itself.
void measured_rows(Survey& s) {
    std::erase_if(s.rows, [](const Row& row) { return row.V * row.S + row.R + row.D == 0.0; });
    for (const Row& row : s.rows)
        if (row.ns == row.nt) {
            fault(s, "    В станция " + in_quotes(whole(row.ns)) + " е записано измерване към точка " +
                         in_quotes(whole(row.nt)) + ".");
        }
}

// Repeated directions within one station record, compared pair by pair.
void repeated_directions(Survey& s) {
    const auto& rows = s.rows;
    Largest dir;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].R <= 0.0) continue;
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            if (rows[j].R <= 0.0 || !same_sight(rows[i], rows[j])) continue;
            const double d = ina(rows[i].R, rows[j].R);
            dir.take(d, rows[i].ns, rows[i].nt);
            if (d > s.par.tol_angle)
                fault(s, "    Голяма разлика в посока " + in_quotes(whole(rows[i].ns)) + " - " +
                             in_quotes(whole(rows[i].nt)) + " =  " + real(rows[i].R, 10, 5) + " / " +
                             real(rows[j].R, 10, 5));
        }
    }
    summary(s, "                 за посока : ", dir, kLeastShownAngle, kCcPerGrad, " сс. в  ст.", " към т.");
}

// Repeated horizontal distances, in either direction and in any station record, compared
// pair by pair.
void repeated_distances(Survey& s) {
    const auto& rows = s.rows;
    Largest dis;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].D <= 0.0) continue;
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            if (rows[j].D <= 0.0 || !same_side(rows[i], rows[j])) continue;
            const double d = std::fabs(rows[i].D - rows[j].D);
            dis.take(d, rows[i].ns, rows[i].nt);
            if (d > s.par.tol_linear)
                fault(s, "    Голяма разлика в хор. разстояние " + in_quotes(whole(rows[i].ns)) + " - " +
                             in_quotes(whole(rows[i].nt)) + " =  " + real(rows[i].D, 9, 4) + " / " +
                             real(rows[j].D, 9, 4));
        }
    }
    summary(s, "             за разстояние : ", dis, kLeastRepeatLength, kCmPerMetre, " см. за страната ",
            " - ");
}

// Repeated directions of one record become their vector mean.
void mean_directions(std::vector<Row>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].R <= 0.0) continue;
        bool first = true;
        for (std::size_t j = 0; j < i && first; ++j)
            if (rows[j].R > 0.0 && same_sight(rows[i], rows[j])) first = false;
        if (!first) continue;
        DirectionMean sum;
        for (std::size_t j = i; j < rows.size(); ++j)
            if (rows[j].R > 0.0 && same_sight(rows[i], rows[j])) sum.add(rows[j].R);
        const double mean = sum.mean();
        for (std::size_t j = i; j < rows.size(); ++j)
            if (rows[j].R > 0.0 && same_sight(rows[i], rows[j])) rows[j].R = mean;
    }
}

// Repeated horizontal distances of one side become their arithmetic mean.
void mean_distances(std::vector<Row>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].D <= 0.0) continue;
        bool first = true;
        for (std::size_t j = 0; j < i && first; ++j)
            if (rows[j].D > 0.0 && same_side(rows[i], rows[j])) first = false;
        if (!first) continue;
        double sum = 0.0;
        int m = 0;
        for (std::size_t j = i; j < rows.size(); ++j)
            if (rows[j].D > 0.0 && same_side(rows[i], rows[j])) sum += rows[j].D, ++m;
        const double mean = sum / m;
        for (std::size_t j = i; j < rows.size(); ++j)
            if (rows[j].D > 0.0 && same_side(rows[i], rows[j])) rows[j].D = mean;
    }
}

// Height differences: repeated ones agree (sign -1), reciprocal ones cancel (sign +1).
void compare_heights(Survey& s, bool reciprocal, Largest& m) {
    const auto& rows = s.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!has_height_difference(rows[i])) continue;
        const Row& a = rows[i];
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            const Row& b = rows[j];
            if (!has_height_difference(b)) continue;
            if (reciprocal ? (a.ns != b.nt || a.nt != b.ns) : (a.ns != b.ns || a.nt != b.nt)) continue;
            const double hb = height_difference(b, s.par.refraction);
            const double d = std::fabs(height_difference(a, s.par.refraction) + (reciprocal ? hb : -hb));
            m.take(d, a.ns, a.nt);
            if (d > s.par.tol_height)
                fault(s, "    Голяма разлика в превишение " + in_quotes(whole(a.ns)) + " - " +
                             in_quotes(whole(a.nt)) + " =  " + real(d, 0, 4));
        }
    }
}

// Repeated and reciprocal height differences with their summary lines.
void height_differences(Survey& s) {
    Largest rep, rec;
    compare_heights(s, false, rep);
    compare_heights(s, true, rec);
    summary(s, "      повторени превишения : ", rep, kLeastRepeatLength, kCmPerMetre, " см. за страната ",
            " - ");
    summary(s, "      прави и обратни пр-я : ", rec, kLeastRepeatLength, kCmPerMetre, " см. за страната ",
            " - ");
}

}  // namespace

void kontroli(Survey& s) {
    measured_rows(s);
    two_faces(s);

    s.rep.line("    Многократно измерени величини - максимални разлики :");
    s.rep.endl();
    repeated_directions(s);
    for (Row& row : s.rows)
        if (row.V * row.S > 0.0 && row.D == 0.0) row.D = std::fabs(sing(row.V)) * row.S;
    repeated_distances(s);
    stop_on_fault(s);

    mean_directions(s.rows);
    mean_distances(s.rows);
    height_differences(s);
    stop_on_fault(s);
}

}  // namespace vk::v1
