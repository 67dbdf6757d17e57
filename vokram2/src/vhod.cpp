// Loading of the network that vokram1 left in "Temp/VK_1.tmp", and the helpers that
// every stage shares.
#include <cmath>
#include <map>
#include <utility>

#include "vokram/angles.hpp"
#include "vokram/capacity.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

double t(const Network& net, int p, int q) {
    const Point& a = net.pts[p];
    const Point& b = net.pts[q];
    return atang(b.y - a.y, b.x - a.x);
}

double dist2d(const Network& net, int p, int q) {
    const Point& a = net.pts[p];
    const Point& b = net.pts[q];
    return dist(a.x, a.y, 0.0, b.x, b.y, 0.0);
}

bool compute(Network& net, int p, double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    Point& pt = net.pts[p];
    pt.x = x;
    pt.y = y;
    // A given point with a height only keeps its height: it now has both.
    pt.vi = pt.vi == 1 ? 3 : 2;
    pt.stp = static_cast<std::uint16_t>(net.step);
    ++net.solved;
    return true;
}

void build_index(Network& net) {
    RowIndex& x = net.idx;
    const auto n = static_cast<std::size_t>(net.n());
    x.at_station.assign(n, {});
    x.at_target.assign(n, {});
    x.touching.assign(n, {});
    x.series.clear();
    x.series_of.assign(static_cast<std::size_t>(net.m()), -1);
    std::map<std::pair<int, int>, int> groups;
    for (int j = 0; j < net.m(); ++j) {
        const Row& r = net.rows[j];
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
[[noreturn]] void capacity(Network& net) {
    capacity_stop(net.con, 18);
}

}  // namespace

void vhod(Network& net, NumberReader& r) {
    net.con.clear();
    net.con.write_at(25, 12, "* * *   В О К Р А М - 2  * * *");
    net.pts.clear();
    net.rows.clear();
    net.pts.reserve(kPointCapacity);
    net.rows.reserve(kRowCapacity);
    net.g = 0;
    net.xo = net.yo = 0;
    net.indexed = false;

    // The tables take what the file gave; a file too large for them stops the module with
    // what had been read before the count that does not fit.
    auto take = [&net](const Vk1& f) {
        net.xo = f.xo;
        net.yo = f.yo;
        net.tol = {f.tol_angle, f.tol_linear, f.tol_height, f.refraction};
        for (const NetPoint& q : f.given) net.pts.push_back({q.vi, q.no, q.x, q.y, q.h});
        net.g = static_cast<int>(f.given.size());
        net.given_heights = f.given_heights;
        for (std::uint16_t no : f.fresh) {
            Point p;
            p.no = no;
            net.pts.push_back(p);
        }
        net.rows = f.rows;
        net.levelling_rows = f.levelling_rows;
    };
    take(read_vk1(r, {kPointCapacity, kRowCapacity}, [&](const Vk1& so_far) {
        take(so_far);
        capacity(net);
    }));

    if (net.g < 2 || net.m() == 0) {
        stop(net.rep, kNoData);
    }

    // Point numbers become table indexes; with a number used twice the first entry holds.
    std::vector<int> entry(65536, -1);
    for (int i = net.n() - 1; i >= 0; --i) entry[net.pts[i].no] = i;
    for (const Row& x : net.rows) {
        // A station or target missing from the point list cannot be placed in the network.
        if (entry[x.ns] < 0 || entry[x.nt] < 0) {
            stop(net.rep, kNoData);
        }
    }
    for (Row& x : net.rows) x.ns = entry[x.ns];
    for (Row& x : net.rows) x.nt = entry[x.nt];
    net.indexed = true;

    for (int i = 0; i < net.g; ++i)
        if (net.known(i)) net.pts[i].stp = 1;
}

}  // namespace vk::v2
