// Loading of the network that vokram1 left in "Temp/VK_1.tmp", and the helpers that
// every stage shares.
#include <cmath>
#include <map>
#include <utility>

#include "vokram/angles.hpp"
#include "vokram/capacity.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

double t(const Network& w, int p, int q) {
    const Point& a = w.pts[p];
    const Point& b = w.pts[q];
    return atang(b.y - a.y, b.x - a.x);
}

double dist2d(const Network& w, int p, int q) {
    const Point& a = w.pts[p];
    const Point& b = w.pts[q];
    return dist(a.x, a.y, 0.0, b.x, b.y, 0.0);
}

bool compute(Network& w, int p, double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    Point& pt = w.pts[p];
    pt.x = x;
    pt.y = y;
    // A given point with a height only keeps its height: it now has both.
    pt.vi = pt.vi == 1 ? 3 : 2;
    pt.stp = static_cast<std::uint16_t>(w.step);
    ++w.solved;
    return true;
}

void build_index(Network& w) {
    RowIndex& x = w.idx;
    const auto n = static_cast<std::size_t>(w.n());
    x.at_station.assign(n, {});
    x.at_target.assign(n, {});
    x.touching.assign(n, {});
    x.series.clear();
    x.series_of.assign(static_cast<std::size_t>(w.m()), -1);
    std::map<std::pair<int, int>, int> groups;
    for (int j = 0; j < w.m(); ++j) {
        const Row& r = w.rows[j];
        x.at_station[r.ns].push_back(j);
        x.at_target[r.nt].push_back(j);
        x.touching[r.ns].push_back(j);
        if (r.nt != r.ns) x.touching[r.nt].push_back(j);
        auto [it, fresh] = groups.try_emplace({r.ns, r.ps}, static_cast<int>(x.series.size()));
        if (fresh) x.series.emplace_back();
        x.series[it->second].push_back(j);
        x.series_of[j] = it->second;
    }
}

namespace {

const char* const kNoData = "    Няма данни за образуване на задача.";

// The file names a point that cannot be held: refuse it before anything is stored.
[[noreturn]] void capacity(Network& w) {
    capacity_stop(w.con, 18);
}

}  // namespace

void vhod(Network& w, NumberReader& r) {
    w.con.clear();
    w.con.write_at(25, 12, "* * *   В О К Р А М - 2  * * *");
    w.pts.clear();
    w.rows.clear();
    w.pts.reserve(kPointCapacity);
    w.rows.reserve(kRowCapacity);
    w.g = 0;
    w.xo = w.yo = 0;
    w.indexed = false;

    // The tables take what the file gave; a file too large for them stops the module with
    // what had been read before the count that does not fit.
    auto take = [&w](const Vk1& f) {
        w.xo = f.xo;
        w.yo = f.yo;
        w.tol = {f.tol_angle, f.tol_linear, f.tol_height, f.refraction};
        for (const NetPoint& q : f.given) w.pts.push_back({q.vi, q.no, q.x, q.y, q.h});
        w.g = static_cast<int>(f.given.size());
        w.given_heights = f.given_heights;
        for (std::uint16_t no : f.fresh) {
            Point p;
            p.no = no;
            w.pts.push_back(p);
        }
        w.rows = f.rows;
        w.levelling_rows = f.levelling_rows;
    };
    take(read_vk1(r, {kPointCapacity, kRowCapacity}, [&](const Vk1& so_far) {
        take(so_far);
        capacity(w);
    }));

    if (w.g < 2 || w.m() == 0) {
        stop(w.rep, kNoData);
    }

    // Point numbers become table indexes; with a number used twice the first entry holds.
    std::vector<int> entry(65536, -1);
    for (int i = w.n() - 1; i >= 0; --i) entry[w.pts[i].no] = i;
    for (const Row& x : w.rows) {
        // A station or target missing from the point list cannot be placed in the network.
        if (entry[x.ns] < 0 || entry[x.nt] < 0) {
            stop(w.rep, kNoData);
        }
    }
    for (Row& x : w.rows) x.ns = entry[x.ns];
    for (Row& x : w.rows) x.nt = entry[x.nt];
    w.indexed = true;

    for (int i = 0; i < w.g; ++i)
        if (w.known(i)) w.pts[i].stp = 1;
}

}  // namespace vk::v2
