// Intake of "VK/Geo_Data.txt" and "P.txt": report sections 1 and 2 and the head of 3.
#include <cmath>

#include "vokram/angles.hpp"
#include "vokram/capacity.hpp"
#include "vokram/data_file.hpp"
#include "vokram/parameters.hpp"
#include "vokram/products.hpp"
#include "vokram/units.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

namespace {

constexpr double kMaxNumber = 65535.0;  // point numbers travel as unsigned 16-bit values

bool is_whole(double v) {
    return v == std::floor(v);
}

// True when a height in metres fits a 16-bit count of millimetres.
bool mm_fits(double m) {
    return std::round(m * kMmPerMetre) <= 65535.0;
}
std::uint16_t mm(double m) {
    return static_cast<std::uint16_t>(std::llround(m * kMmPerMetre));
}

// A value as a message quotes it: whole numbers plainly, others with four decimals.
std::string as_written(double v) {
    return is_whole(v) ? real(v, 0, 0) : real(v, 0, 4);
}

// Positions a reader after the three header lines of the data file.
NumberReader data_reader(const Survey& s) {
    NumberReader r(s.geo, "VK/Geo_Data.txt");
    r.skip_lines(3);
    return r;
}

// Reads the next coded group: numbers up to and including the first negative one (the
// code), at most `limit` numbers when limit > 0. A group closed by -9 opens a detail
// block, which is passed over up to and including the next -9. Returns false when the
// text holds no more numbers. The text has passed the syntax check, so every token
// is a number.
bool next_group(NumberReader& r, std::vector<double>& g, std::size_t limit = 0) {
    g.clear();
    double v = 0.0;
    while ((limit == 0 || g.size() < limit) && r.next(v) == NumberReader::Got::number) {
        g.push_back(v);
        if (v < 0.0) break;
    }
    if (!g.empty() && g.back() == -9.0) {
        while (r.next(v) == NumberReader::Got::number && v != -9.0) {
        }
    }
    return !g.empty();
}

// Checks a given point's number: whole and within the 16-bit range.
bool number_ok(Survey& s, double no, const char* code) {
    if (!is_whole(no)) {
        fault(s, "    Неправилен номер на дадена точка " + in_quotes(real(no, 0, 4)) + ". Код " + code + ".");
        return false;
    }
    if (no > kMaxNumber) {
        fault(s, "    Номер на дадена точка " + in_quotes(as_written(no)) +
                     " е извън обхвата 0 - 65535. Код " + code + ".");
        return false;
    }
    return true;
}

void add_point(Survey& s, std::uint8_t vi, double no, double x, double y, double h) {
    ++s.given;
    granica(s);
    Point p;
    p.vi = vi;
    p.no = static_cast<std::uint16_t>(std::llround(no));
    p.x = x;
    p.y = y;
    p.h = h;
    s.pts.push_back(p);
}

// Pass 0: every item after the header must be a number, and no group may be left open.
void all_numbers(Survey& s) {
    NumberReader r = data_reader(s);
    long long ordinal = 0;
    double v = 0.0;
    for (NumberReader::Got got; (got = r.next(v)) != NumberReader::Got::end;) {
        ++ordinal;
        if (got == NumberReader::Got::bad) {
            s.rep.line("    Грешка при четене, брояч на цифри = " + whole(ordinal + 3) + ".");
            throw ModuleStop{r.bad_token()};
        }
    }
    // A file cut off inside a group would lose that group without a word.
    if (const std::optional<double> first = unclosed_group(data_reader(s))) {
        stop(s.rep, unclosed_group_line(*first));
    }
}

// Pass 1: group lengths, counts and numbers of the plane points; from their extent the
// reduction origin, a round value 10 m below the smallest coordinates.
void reduction_origin(Survey& s) {
    bool seeded = false;
    double min_x = 0.0, min_y = 0.0;
    NumberReader r = data_reader(s);
    std::vector<double> g;
    while (next_group(r, g, 100)) {
        if (g.size() == 100) {
            stop(s.rep, "    Голям брой данни преди код. Разделете на групи.");
        }
        const double code = g.back();
        if (code != -3.0 && code != -2.0) continue;
        const std::size_t per = code == -3.0 ? 4 : 3;
        const char* name = code == -3.0 ? "-3" : "-2";
        if (!seeded && g.size() >= 4) {
            min_x = g[1];
            min_y = g[2];
            seeded = true;
        }
        const std::size_t count = g.size();
        if (count < per + 1 || (count - 1) % per != 0) {
            fault(s, std::string("    Проверете броя данни пред Код ") + name + ".");
            continue;
        }
        for (std::size_t k = 0; k + per < count; k += per) {
            number_ok(s, g[k], name);
            if (g[k + 1] < min_x) min_x = g[k + 1];
            if (g[k + 2] < min_y) min_y = g[k + 2];
        }
    }
    stop_on_fault(s);

    s.xo = std::trunc(min_x / 10.0) * 10.0 - 10.0;
    s.yo = std::trunc(min_y / 10.0) * 10.0 - 10.0;
}

// Pass 2: the given points, height-only points and the codes.
void given_points(Survey& s) {
    NumberReader r = data_reader(s);
    std::vector<double> g;
    while (next_group(r, g)) {
        const double code = g.back();
        const std::size_t count = g.size();
        if (code == -3.0) {
            for (std::size_t k = 0; k + 4 < count; k += 4)
                add_point(s, 3, g[k], g[k + 1] - s.xo, g[k + 2] - s.yo, g[k + 3]);
        } else if (code == -2.0) {
            for (std::size_t k = 0; k + 3 < count; k += 3)
                add_point(s, 2, g[k], g[k + 1] - s.xo, g[k + 2] - s.yo, 0.0);
        } else if (code == -1.0) {
            if (count < 3 || (count - 1) % 2 != 0) {
                fault(s, "    Проверете броя данни пред Код -1.");
                continue;
            }
            for (std::size_t k = 0; k + 2 < count; k += 2) {
                if (!number_ok(s, g[k], "-1") && g[k] > kMaxNumber) continue;  // cannot be stored
                add_point(s, 1, g[k], 0.0, 0.0, g[k + 1]);
            }
        } else if (code < -9.0 || !is_whole(code)) {
            fault(s, "    Неразчетен код в записите: " + real(code, 0, 4));
        }
    }
    stop_on_fault(s);
}

// Pair checks: one number per point, and plane points that nearly coincide.
void point_pairs(Survey& s) {
    for (int i = 0; i < s.given; ++i) {
        for (int j = i + 1; j < s.given; ++j) {
            const Point& a = s.pts[i];
            const Point& b = s.pts[j];
            if (a.no == b.no) {
                stop(s.rep, "  Дадени точки с еднакъв номер " + in_quotes(whole(a.no)) + ".");
            }
            if (a.vi >= 2 && b.vi >= 2 && dist(a.x, a.y, a.h, b.x, b.y, b.h) < 0.05)
                s.rep.line("    Дадени точки близки по положение: " + in_quotes(whole(a.no)) + " И " +
                           in_quotes(whole(b.no)) + ".");
        }
    }
    s.rep.endl();
}

}  // namespace

void granica(Survey& s) {
    if (s.given == kPointCapacity - 1 || static_cast<int>(s.pts.size()) == kPointCapacity - 1 ||
        static_cast<int>(s.rows.size()) == kRowCapacity - 1) {
        capacity_stop(s.con, 20);
    }
}

void fault(Survey& s, const std::string& line) {
    s.rep.line(line);
    if (s.fault.empty()) s.fault = line;
}

void stop_on_fault(const Survey& s) {
    if (!s.fault.empty()) stop(s.fault);
}

void report_head(Survey& s) {
    s.rep.endl();
    s.rep.line("                        * * *    В О К Р А М   * * *");
    s.rep.endl();
    s.rep.line("  1.ПРИЕМА КООРДИНАТИ.");
    s.rep.endl();
}

void vhod_points(Survey& s) {
    s.pts.clear();
    s.pts.reserve(kPointCapacity + 1);
    s.rows.clear();
    s.rows.reserve(kRowCapacity);
    s.given = 0;

    all_numbers(s);
    reduction_origin(s);
    given_points(s);

    s.rep.line("    Приети " + whole(s.given) + " точки. ");
    s.rep.endl();
    point_pairs(s);
}

void report_params(Survey& s) {
    s.rep.line("            Коефициент на рефракция           " + real(s.par.refraction, 8, 3));
    s.rep.line("    Надморска височина към проекция      [м]  " + real(s.par.hp, 4, 0));
    s.rep.line("      Събират. поправка към разст-я     [мм]  " + real(s.par.additive, 6, 1));
    s.rep.line("      Мащабна  поправка към разст-я  [мм/км]  " + real(s.par.scale, 6, 1));
    s.rep.line("    Попр. към Индекса на верт. кръг  [гради]" + real(s.par.index, 10, 5));
    s.rep.endl();
}

void vhod_params(Survey& s, const Workspace& ws) {
    s.rep.line("  2.ПАРАМЕТРИ ПРИ ОБРАБОТКА.");
    s.rep.endl();
    if (std::optional<Parameters> read = read_parameter_file(ws)) {
        s.par = *read;
    } else {
        s.par = kDefaultParameters;
        save_file(ws, "P.txt", [&](TextFile& f) { write_parameter_file(s.par, f); });
    }
    report_params(s);
}

void vhod_stations(Survey& s) {
    s.rep.line("  3.ПРИЕМА ИЗМЕРВАНИЯ. ВЪТРЕШНИ КОНТРОЛИ.");
    s.rep.endl();
    NumberReader r = data_reader(s);
    const DistanceCorrection corrected = distance_correction(s.par);
    std::vector<double> g;
    while (next_group(r, g)) {
        if (g.back() != -4.0) continue;
        const std::size_t count = g.size();
        const double st = g[0];
        if (count < 8 || (count - 3) % 5 != 0) {
            stop(s.rep, "    В станция " + in_quotes(real(st, 0, 0)) + " код -4, проверете броя данни.");
        }
        if (s.records == kUnusedSeries - 1) {  // record ordinals are 16-bit, 65535 marks an unused row
            capacity_stop(s.con, 20);
        }
        const std::uint16_t ps = static_cast<std::uint16_t>(++s.records);
        bool storable = true;  // false when a value does not fit its 16-bit field
        if (!is_whole(st)) {
            fault(s, "    Код -4, неправилен номер на станция " + in_quotes(real(st, 10, 5)) + ".");
        }
        if (st > kMaxNumber) {
            fault(s, "    Код -4, номер на станция " + in_quotes(as_written(st)) +
                         " е извън обхвата 0 - 65535.");
            storable = false;
        }
        const std::string station = in_quotes(real(st, 0, 0));
        if (!mm_fits(g[1])) {
            fault(s, "    В станция " + station + " височина на инструмента " + in_quotes(real(g[1], 0, 3)) +
                         " е над 65.535 м.");
            storable = false;
        }
        for (std::size_t k = 2; k + 5 < count; k += 5) {
            const double nt = g[k], ht = g[k + 1], R = g[k + 2], V = g[k + 3], S = g[k + 4];
            bool fits = storable;
            if (!is_whole(nt)) {
                fault(s, "    Код -4, неправилен номер на точка " + in_quotes(real(nt, 10, 5)) + ".");
            }
            if (nt > kMaxNumber) {
                fault(s, "    Код -4, номер на точка " + in_quotes(as_written(nt)) +
                             " е извън обхвата 0 - 65535.");
                fits = false;
            }
            if (!mm_fits(ht)) {
                fault(s, "    В станция " + station + " височина на сигнала към точка " +
                             in_quotes(as_written(nt)) + " " + in_quotes(real(ht, 0, 3)) +
                             " е над 65.535 м.");
                fits = false;
            }
            if (R > 400.0) {
                fault(s, "    В станция " + station + " грешна посока " + in_quotes(real(R, 10, 5)) + ".");
            }
            if (V > 400.0) {
                fault(s, "    В станция " + station + " грешен зен. ъгъл " + in_quotes(real(V, 10, 5)) + ".");
            }
            granica(s);
            if (R + V + S > 0.0 && fits) {
                Row row;
                row.ps = ps;
                row.ns = static_cast<std::uint16_t>(std::llround(st));
                row.hs = mm(g[1]);
                row.nt = static_cast<std::uint16_t>(std::llround(nt));
                row.ht = mm(ht);
                if (R > 0.0) row.R = R;
                if (V > 0.0) row.V = V;
                if (S > 0.0) row.S = corrected(S);
                s.rows.push_back(row);
            }
        }
        stop_on_fault(s);
    }
    s.rows_read = static_cast<int>(s.rows.size());
    s.rep.line("    Разчетени общо " + whole(static_cast<long long>(s.rows.size())) + " записа в " +
               whole(s.records) + " станции.");
    s.rep.endl();
    // An empty file, or one of comments only, holds no survey: nothing for vokram2 to solve.
    if (s.given == 0 && s.records == 0) {
        stop(s.rep, "    Във VK/Geo_Data.txt няма нито дадени точки, нито станции.");
    }
}

}  // namespace vk::v1
