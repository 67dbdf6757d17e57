// The control block of a stopped run: the tables as they stood at the stop, so that the
// user can find the cause in the report.
#include "vokram/units.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

namespace {

void point_line(TextFile& rep, const Point& p) {
    const std::string head = whole(p.vi, 6) + " " + whole(p.no, 5);
    const std::string stp = whole(p.stp, 4);
    switch (p.vi) {
        case 3:
            rep.line(head + " " + real(p.x, 12, 4) + " " + real(p.y, 12, 4) + " " + real(p.h, 9, 4) + " " +
                     stp);
            break;
        case 2:
            rep.line(head + " " + real(p.x, 12, 4) + " " + real(p.y, 12, 4) + std::string(11, ' ') + stp);
            break;
        case 1:
            rep.line(head + std::string(27, ' ') + real(p.h, 9, 4) + " " + stp);
            break;
        default:
            break;  // never determined: nothing to show
    }
}

}  // namespace

void kontrol(Network& net) {
    TextFile& rep = net.rep;
    const char* const columns = "    vi    no       xk           yk        hk      stp";
    const std::string rule = " " + std::string(52, '~');
    const std::string row_rule = " " + std::string(71, '~');
    rep.endl();
    rep.line(" ПРЕКЪСВАНЕ НА ПРОГРАМАТА - К о н т р о л е н   б л о к ");
    rep.endl();
    rep.line(" xo= " + real(net.xo, 10, 1) + " yo= " + real(net.yo, 10, 1) + " - редукционно начало");
    rep.endl();
    rep.line(" дадени точки:");
    rep.line(columns);
    rep.line(rule);
    for (int i = 0; i < net.g && i < net.n(); ++i) point_line(rep, net.pts[i]);
    rep.endl();
    rep.line(" нови точки:  ");
    rep.line(columns);
    rep.line(rule);
    for (int i = net.g; i < net.n(); ++i) point_line(rep, net.pts[i]);
    rep.endl();
    rep.line(" измервания:");
    rep.line("    ps     ns   hs       nt   ht      R         V          S        D   ");
    rep.line(row_rule);
    for (const Row& r : net.rows) {
        // Before the input has finished the rows still hold point numbers.
        const int ns = net.indexed ? net.no(r.ns) : r.ns;
        const int nt = net.indexed ? net.no(r.nt) : r.nt;
        rep.line(whole(r.ps, 6) + " " + whole(ns, 6) + " " + real(r.hs / kMmPerMetre, 6, 3) + " " +
                 whole(nt, 6) + " " + real(r.ht / kMmPerMetre, 6, 3) + " " + real(r.R, 9, 5) + " " +
                 real(r.V, 9, 5) + " " + real(r.S, 8, 3) + " " + real(r.D, 8, 3));
    }
    rep.line(row_rule);
}

}  // namespace vk::v2
