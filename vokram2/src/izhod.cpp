// Results: points without a plane position, undetermined points and their removal, the
// coordinate register, and the files for vokram4, vokram5 and CAD.
#include "vokram2/network.hpp"

namespace vk::v2 {

namespace {

const char* const kColumns = "       номер        сев./юг         изт./зап.  височина";
const char* const kRule = "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]";

void register_line(const Network& net, const Point& p, bool fresh) {
    const std::string no = whole(p.no, 12);
    switch (p.vi) {
        case 3:
            net.rep.line(no + real(p.x + net.xo, 16, 4) + real(p.y + net.yo, 16, 4) + real(p.h, 11, 4));
            break;
        case 2:
            net.rep.line(no + real(p.x + net.xo, 16, 4) + real(p.y + net.yo, 16, 4) +
                         (fresh ? std::string(11, ' ') : ""));
            break;
        case 1:
            net.rep.line(no + real(p.h, 43, 4));
            break;
        default:
            break;
    }
}

}  // namespace

void otstrani(Network& net) {
    std::vector<int> moved(static_cast<std::size_t>(net.n()), -1);
    std::vector<Point> kept;
    kept.reserve(net.pts.size());
    for (int i = 0; i < net.n(); ++i) {
        if (net.pts[i].vi == 0) continue;
        moved[i] = static_cast<int>(kept.size());
        kept.push_back(net.pts[i]);
    }
    // A measurement that touches an undetermined point goes with it; the others keep
    // their order and follow their points to the new entries.
    std::vector<Row> rows;
    rows.reserve(net.rows.size());
    for (const Row& r : net.rows) {
        if (moved[r.ns] < 0 || moved[r.nt] < 0) continue;
        Row x = r;
        x.ns = moved[r.ns];
        x.nt = moved[r.nt];
        rows.push_back(x);
    }
    int g = 0;
    for (int i = 0; i < net.g; ++i)
        if (moved[i] >= 0) ++g;
    net.g = g;
    net.pts = std::move(kept);
    net.rows = std::move(rows);
}

void izhod(Network& net) {
    TextFile& rep = net.rep;
    bool given1 = false, new1 = false, undetermined = false;
    for (int i = 0; i < net.n(); ++i) {
        if (net.pts[i].vi == 1) (i < net.g ? given1 : new1) = true;
        if (i >= net.g && net.pts[i].vi == 0) undetermined = true;
    }
    if (given1 || new1) {
        rep.line("    Точки без позиция(x,y) с известна кота(h).");
        rep.endl();
    }
    if (given1) {
        rep.line("      Дадени:");
        for (int i = 0; i < net.g; ++i)
            if (net.pts[i].vi == 1) rep.line(whole(net.pts[i].no, 21) + " " + real(net.pts[i].h, 11, 4));
        rep.endl();
    }
    if (new1) {
        rep.line("      Нови:  ");
        for (int i = net.g; i < net.n(); ++i)
            if (net.pts[i].vi == 1) rep.line(whole(net.pts[i].no, 21) + " " + real(net.pts[i].h, 11, 4));
    }
    if (given1 || new1) rep.endl();
    if (undetermined) {
        rep.line("    Неопределени точки:");
        for (int i = net.g; i < net.n(); ++i) {
            if (net.pts[i].vi != 0) continue;
            rep.put(whole(net.pts[i].no, 6) + " ");
            if ((i + 1) % 10 == 0) rep.endl();  // the line breaks after every tenth table entry
        }
        rep.endl();
        rep.endl();
    }

    otstrani(net);

    rep.line("       КООРДИНАТЕН РЕГИСТЪР");
    rep.endl();
    rep.line("       Дадени точки, участвали в решението:  ");
    rep.line(kColumns);
    rep.line(kRule);
    for (int i = 0; i < net.g; ++i) register_line(net, net.pts[i], false);
    rep.endl();
    rep.line("       Нови точки:");
    rep.line(kColumns);
    rep.line(kRule);
    for (int i = net.g; i < net.n(); ++i) register_line(net, net.pts[i], true);
    rep.endl();
}

NetTables tables(const Network& net) {
    NetTables t;
    t.xo = net.xo;
    t.yo = net.yo;
    t.g = net.g;
    t.pts.reserve(net.pts.size());
    for (const Point& p : net.pts) t.pts.push_back({p.vi, p.no, p.x, p.y, p.h});
    if (net.indexed) t.rows = net.rows;
    return t;
}

}  // namespace vk::v2
