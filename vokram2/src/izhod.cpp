// Results: points without a plane position, undetermined points and their removal, the
// coordinate register, and the files for vokram4, vokram5 and CAD.
#include "vokram2/network.hpp"

namespace vk::v2 {

namespace {

const char* const kColumns = "       номер        сев./юг         изт./зап.  височина";
const char* const kRule = "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]";

void register_line(const Network& w, const Point& p, bool fresh) {
    const std::string no = whole(p.no, 12);
    switch (p.vi) {
        case 3:
            w.rep.line(no + real(p.x + w.xo, 16, 4) + real(p.y + w.yo, 16, 4) + real(p.h, 11, 4));
            break;
        case 2:
            w.rep.line(no + real(p.x + w.xo, 16, 4) + real(p.y + w.yo, 16, 4) +
                       (fresh ? std::string(11, ' ') : ""));
            break;
        case 1:
            w.rep.line(no + real(p.h, 43, 4));
            break;
        default:
            break;
    }
}

void point_line(TextFile& f, const Point& p) {
    f.line(" " + whole(p.vi, 1) + " " + whole(p.no, 5) + " " + real(p.x, 10, 4) + " " + real(p.y, 10, 4) +
           " " + real(p.h, 9, 4));
}

}  // namespace

void otstrani(Network& w) {
    std::vector<int> moved(static_cast<std::size_t>(w.n()), -1);
    std::vector<Point> kept;
    kept.reserve(w.pts.size());
    for (int i = 0; i < w.n(); ++i) {
        if (w.pts[i].vi == 0) continue;
        moved[i] = static_cast<int>(kept.size());
        kept.push_back(w.pts[i]);
    }
    // A measurement that touches an undetermined point goes with it; the others keep
    // their order and follow their points to the new entries.
    std::vector<Row> rows;
    rows.reserve(w.rows.size());
    for (const Row& r : w.rows) {
        if (moved[r.ns] < 0 || moved[r.nt] < 0) continue;
        Row x = r;
        x.ns = moved[r.ns];
        x.nt = moved[r.nt];
        rows.push_back(x);
    }
    int g = 0;
    for (int i = 0; i < w.g; ++i)
        if (moved[i] >= 0) ++g;
    w.g = g;
    w.pts = std::move(kept);
    w.rows = std::move(rows);
}

void izhod(Network& w) {
    TextFile& rep = w.rep;
    bool given1 = false, new1 = false, undetermined = false;
    for (int i = 0; i < w.n(); ++i) {
        if (w.pts[i].vi == 1) (i < w.g ? given1 : new1) = true;
        if (i >= w.g && w.pts[i].vi == 0) undetermined = true;
    }
    if (given1 || new1) {
        rep.line("    Точки без позиция(x,y) с известна кота(h).");
        rep.endl();
    }
    if (given1) {
        rep.line("      Дадени:");
        for (int i = 0; i < w.g; ++i)
            if (w.pts[i].vi == 1) rep.line(whole(w.pts[i].no, 21) + " " + real(w.pts[i].h, 11, 4));
        rep.endl();
    }
    if (new1) {
        rep.line("      Нови:  ");
        for (int i = w.g; i < w.n(); ++i)
            if (w.pts[i].vi == 1) rep.line(whole(w.pts[i].no, 21) + " " + real(w.pts[i].h, 11, 4));
    }
    if (given1 || new1) rep.endl();
    if (undetermined) {
        rep.line("    Неопределени точки:");
        for (int i = w.g; i < w.n(); ++i) {
            if (w.pts[i].vi != 0) continue;
            rep.put(whole(w.pts[i].no, 6) + " ");
            if ((i + 1) % 10 == 0) rep.endl();  // the line breaks after every tenth table entry
        }
        rep.endl();
        rep.endl();
    }

    otstrani(w);

    rep.line("       КООРДИНАТЕН РЕГИСТЪР");
    rep.endl();
    rep.line("       Дадени точки, участвали в решението:  ");
    rep.line(kColumns);
    rep.line(kRule);
    for (int i = 0; i < w.g; ++i) register_line(w, w.pts[i], false);
    rep.endl();
    rep.line("       Нови точки:");
    rep.line(kColumns);
    rep.line(kRule);
    for (int i = w.g; i < w.n(); ++i) register_line(w, w.pts[i], true);
    rep.endl();
    rep.close();
}

void surface(const Network& w, TextFile& f) {
    for (const Point& p : w.pts)
        if (p.vi == 3) f.line(real(p.y + w.yo, 0, 2) + " " + real(p.x + w.xo, 0, 2) + " " + real(p.h, 0, 2));
}

void cad(const Network& w, TextFile& f) {
    f.line("HEADER                           ");
    f.line("  VERSION     1.00               ");
    f.line("  EKNM        10135              ");
    f.line("  PROGRAM     Vokram             ");
    f.line("  REFERENCE  " + real(w.xo, 11, 3) + " " + real(w.yo, 11, 3));
    f.line("END_HEADER                       ");
    f.endl();
    f.line("LAYER CADASTER");
    for (int i = 0; i < w.n(); ++i) {
        const Point& p = w.pts[i];
        if (p.vi < 2) continue;
        const bool given = i < w.g;
        f.line((given ? "P   2 " : "P  20 ") + whole(p.no + (given ? 2000000LL : 20000000LL), 8) + " " +
               real(p.x, 10, 3) + " " + real(p.y, 10, 3) + " " + real(p.vi == 3 ? p.h : 0.0, 10, 3) +
               (given ? " 4 4" : " 8 8"));
    }
    f.line("END_LAYER");
}

void vk2(const Network& w, TextFile& f) {
    const std::string tildes40(40, '~'), tildes38(38, '~');
    const char* const head = "vi    no     xk         yk        hk    ";
    f.endl();
    f.line("Резултати от модул  * ВОКРАМ-2 *");
    f.line(std::string(32, '~'));
    f.endl();
    f.line(real(w.xo, 0, 1) + " " + real(w.yo, 0, 1) + " - редукционно начало");
    f.endl();
    f.line(whole(w.g, 10) + " - брой зададени точки");
    f.line(tildes40);
    f.line(head);
    f.line(tildes40);
    for (int i = 0; i < w.g; ++i) point_line(f, w.pts[i]);
    f.endl();
    f.line(whole(w.n() - w.g, 10) + " - брой нови точки");
    f.line(tildes40);
    f.line(head);
    f.line(tildes40);
    for (int i = w.g; i < w.n(); ++i) point_line(f, w.pts[i]);
    f.endl();
    int k = 0;
    for (const Row& r : w.rows) k += r.R + r.D > 0;
    f.line(whole(k, 10) + " - брой посоки и/или страни ");
    f.line(tildes38);
    f.line("    ps    ns    nt    R          D    ");
    f.line(tildes38);
    for (const Row& r : w.rows)
        if (r.R + r.D > 0)
            f.line(whole(r.ps, 6) + " " + whole(w.no(r.ns), 5) + " " + whole(w.no(r.nt), 5) + " " +
                   real(r.R, 9, 5) + " " + real(r.D, 9, 4));
    f.line(tildes38);
    f.endl();
}

}  // namespace vk::v2
