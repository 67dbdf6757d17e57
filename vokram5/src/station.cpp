// Polar stations: the group reader, the station record, and the detail points.
#include <cmath>
#include <cstdint>
#include <limits>

#include "faces.hpp"
#include "vokram/geodesy.hpp"
#include "vokram/units.hpp"

namespace vk::v5 {

namespace {

constexpr double kMarker = -9.0;  // brackets the detail block of a polar station

bool is_whole(double v) {
    return v == std::floor(v);
}

// The next number of the data file; false when only blanks remain. A token that is not
// a number is a fatal input error naming its line.
bool read(Polar& p, double& v) {
    if (p.geo.at_end()) return false;
    v = p.geo.number();
    return true;
}

// A value that must fit one of the 16-bit fields of the sight table.
std::uint16_t field16(const Polar& p, double v, const char* what) {
    const double r = std::round(v);
    if (!(r >= 0.0 && r <= 65535.0))
        throw FatalIo{kBadNumber,
                      p.record_at + ": " + what + " " + real(v, 0, 4) + " е извън обхвата на програмата"};
    return static_cast<std::uint16_t>(r);
}

// One detail sight from its five numbers: point, target height, direction, zenith angle,
// slope distance.
DetailSight sight(const double* v, const std::string& at) {
    const double r = std::round(v[0]);
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
        throw FatalIo{kBadNumber, at + ": номер на подробна точка " + real(v[0], 0, 4) + " е извън обхвата"};
    return {static_cast<std::int32_t>(r), v[1], v[2], v[3], v[4]};
}

// The sights of the station's detail block: its numbers up to the closing marker, five to
// a sight. In a file that ends without the marker, numbers missing from the last sight
// count as not measured and a lone point number is no sight. A block closed inside a
// sight has lost or gained a number: a data error of the station when `checked`, and
// nothing to compute from otherwise.
std::vector<DetailSight> read_block(Polar& p, bool checked) {
    std::vector<double> v;
    std::vector<std::string> at;  // where each sight starts
    bool closed = false;
    for (double x = 0.0; !closed && read(p, x);) {
        if (x == kMarker) {
            closed = true;
        } else {
            if (v.size() % 5 == 0) at.push_back(p.geo.where());
            v.push_back(x);
        }
    }
    if (closed && v.size() % 5 != 0) {
        if (!checked) return {};
        stop(*p.rep, "    В станция " + in_quotes(real(p.st, 0, 0)) + " Код -9, проверете броя данни.");
    }
    if (v.size() % 5 == 1) v.pop_back();
    v.resize((v.size() + 4) / 5 * 5, 0.0);
    std::vector<DetailSight> sights;
    for (std::size_t k = 0; k < v.size(); k += 5) sights.push_back(sight(&v[k], at[k / 5]));
    return sights;
}

// The height of a detail point from the station's height: the slope distance enters as
// measured, bent by the earth's curvature less refraction, whatever the station's kind.
double trigonometric_height(const Polar& p, const DetailSight& d) {
    return cosg(d.z) * d.s + (p.hst + p.ih) + curvature_refraction(d.s, p.par.refraction) - d.t;
}

}  // namespace

bool nova_st(Polar& p) {
    for (;;) {
        double v = 0.0;
        if (!read(p, v)) {
            p.last_code = 0.0;
            return false;
        }
        p.last_code = v;
        if (v == kMarker) return true;
        if (p.geo.at_end()) return false;
        p.sights.clear();
        p.buf.clear();
        p.buf.push_back(v);
        p.record_at = p.geo.where();
        double w = 0.0;
        while (p.buf.size() < static_cast<std::size_t>(kGroupCapacity) && read(p, w)) {
            p.buf.push_back(w);
            if (w < 0.0) break;
        }
        if (p.buf.size() == static_cast<std::size_t>(kGroupCapacity)) {
            stop(*p.rep, "    Голям брой измервания от една станция : " + real(p.buf[0], 0, 0));
        }
        if (p.geo.at_end()) return false;
    }
}

void stanciq(Polar& p) {
    if (!nova_st(p)) return;
    const std::size_t n = p.buf.size();
    const double code = n > 0 ? std::round(p.buf[n - 1]) : 0.0;
    p.st = n > 0 ? p.buf[0] : 0.0;
    p.ih = n > 1 ? p.buf[1] : 0.0;
    const std::string station = real(p.st, 0, 0);

    if (code == -4.0) {
        if (n < 8 || (n - 3) % 5 != 0) {
            stop(*p.rep, "    В станция " + in_quotes(station) + " Код -1, проверете броя данни.");
        }
        if (!is_whole(p.st)) {
            stop(*p.rep, "    Код -1, неправилен номер на станция " + in_quotes(real(p.st, 0, 4)) + ".");
        }
        const std::uint16_t ns = field16(p, p.st, "номер на станция");
        const std::uint16_t hs = field16(p, p.ih * kMmPerMetre, "височина на инструмента [мм]");
        for (std::size_t j = 2; j + 5 < n; j += 5) {
            const double nt = p.buf[j], ht = p.buf[j + 1], R = p.buf[j + 2], V = p.buf[j + 3],
                         S = p.buf[j + 4];
            if (!is_whole(nt)) {
                stop(*p.rep,
                     "    Неправилен номер пред наблюдавана точка " + in_quotes(real(nt, 0, 4)) + ".");
            }
            if (R > 400.0) {
                stop(*p.rep, "    В станция " + in_quotes(station) + " грешна посока " +
                                 in_quotes(real(R, 0, 4)) + ".");
            }
            if (V > 400.0) {
                stop(*p.rep, "    В станция " + in_quotes(station) + " грешен зен. ъгъл " +
                                 in_quotes(real(V, 0, 4)) + ".");
            }
            granica(p);
            if (R + V + S > 0.0) {
                Sight s;
                s.ns = ns;
                s.hs = hs;
                s.nt = field16(p, nt, "номер на точка");
                s.ht = field16(p, ht * kMmPerMetre, "височина на сигнала [мм]");
                if (R > 0.0) s.R = R;
                if (V > 0.0) s.V = V;
                if (S > 0.0) s.S = p.dist(S);
                p.sights.push_back(s);
            }
        }
    }

    p.J = -1;
    for (std::size_t i = 0; i < p.pts.size(); ++i)
        if (static_cast<double>(p.pts[i].no) == p.st) {
            p.J = static_cast<int>(i);
            break;
        }
    // The detail block is read whole here; a station outside the network passes it over.
    const std::vector<DetailSight> block = read_block(p, p.J >= 0);
    if (p.J < 0) {
        p.rep->line("    Липсват (x,y,h) координати за ст. " + station);
        return;
    }

    p.rep->endl();
    p.rep->line("    Станция " + station);
    ins_kontrol(p);
    for (Sight& s : p.sights)
        if (s.D == 0.0 && s.V * s.S > 0.0) s.D = sing(s.V) * s.S;
    for (Sight& s : p.sights)
        if (s.D > 0.0) s.D *= 1.0 - p.q;
    out_kontrol(p);
    zapis_st(p);
    p.rep->line("       ТОЧКИ ОТ ПОЛЯРНО ЗАСНИМАНЕ В СТАНЦИЯ: " + station);
    p.rep->line("       номер        сев./юг         изт./зап.  височина");
    p.rep->line("       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]");
    detail_block(p, block);
}

void detail_block(Polar& p, const std::vector<DetailSight>& block) {
    if (block.empty()) return;  // an empty block: no points and no two-face summary

    FaceMaxima m;
    const Largest horizontal;  // detail sights carry no horizontal distance
    for (std::size_t k = 0; k < block.size(); ++k) {
        DetailSight cur = block[k];
        if (k + 1 < block.size() && block[k + 1].no == cur.no) {
            const DetailSight& second =
                block[++k];  // a third sight of the point is a single sight of its own
            merge_faces(cur.r, cur.z, cur.s, second.r, second.z, second.s, cur.no, m);
        } else {
            single_face(cur.r, cur.z, p.par.index);
        }
        if (const std::optional<DetailPoint> pt = polar_point(p, cur)) zapis_to(p, *pt);
    }

    if (m.r.v + m.z.v + m.s.v + horizontal.v > 0.0) {
        p.rep->endl();
        p.rep->line("    Ст. " + real(p.st, 0, 0) + " - полярна снимка, визиране в две положения.");
        p.rep->endl();
        p.rep->line("    Максимални разлики между измервания:");
        p.rep->line("      за  хор. посоки : " +
                    largest_or_none(m.r, kLeastShownAngle, kCcPerGrad, " сс. към т."));
        p.rep->line("      за  зен. ъгли   : " +
                    largest_or_none(m.z, kLeastShownAngle, kCcPerGrad, " сс. към т."));
        p.rep->line("      за накл. разст. : " +
                    largest_or_none(m.s, kLeastShownLength, kCmPerMetre, " см. към т."));
        p.rep->line("      за  хор. разст. : " +
                    largest_or_none(horizontal, kLeastShownLength, kCmPerMetre, " см. към т."));
        p.rep->endl();
    }
}

std::optional<DetailPoint> polar_point(const Polar& p, const DetailSight& d) {
    if (d.s <= p.par.tol_linear) return std::nullopt;
    DetailPoint pt;
    pt.no = d.no;
    pt.t = d.t;
    if (p.st_vi == 2 || p.st_vi == 3) {
        const double r = rang(d.r + p.Z);
        double h = std::fabs(sing(d.z)) * d.s;
        h = p.dist(h);
        h = (1.0 - p.q) * h;
        pt.x = p.xst + h * cosg(r);
        pt.y = p.yst + h * sing(r);
        pt.vi = 2;
        if (p.st_vi == 3 && p.ih > 0.0) {
            pt.h = trigonometric_height(p, d);
            pt.vi = 3;
        }
        return pt;
    }
    if (p.st_vi == 1 && p.ih > 0.0) {
        pt.h = trigonometric_height(p, d);
        pt.vi = 1;
        return pt;
    }
    return std::nullopt;
}

}  // namespace vk::v5
