// Points that no classical task reaches, found as a surveyor does by hand: a group of
// stations and points is computed in a frame of its own, started from one measured
// distance, with the same tasks; the frame is then placed on the control points it shares
// by a similarity transformation. When it shares only one, a direction from one of its
// stations to a second control point places it as a free station.
#include <cmath>
#include <vector>

#include "tasks.hpp"
#include "vokram/angles.hpp"

namespace vk::v2 {

namespace {

// The similarity transformation that carries the frame points `from` onto `to` by least squares.
struct Similarity {
    double a = 1, b = 0, tx = 0, ty = 0;
    Xy operator()(Xy p) const { return {a * p.x - b * p.y + tx, b * p.x + a * p.y + ty}; }
};

Similarity fit(const std::vector<Xy>& from, const std::vector<Xy>& to) {
    const double k = static_cast<double>(from.size());
    Xy cf{0, 0}, ct{0, 0};
    for (std::size_t i = 0; i < from.size(); ++i)
        cf.x += from[i].x / k, cf.y += from[i].y / k, ct.x += to[i].x / k, ct.y += to[i].y / k;
    double sxx = 0, num_a = 0, num_b = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        const double fx = from[i].x - cf.x, fy = from[i].y - cf.y, gx = to[i].x - ct.x, gy = to[i].y - ct.y;
        sxx += fx * fx + fy * fy;
        num_a += fx * gx + fy * gy;
        num_b += fx * gy - fy * gx;
    }
    Similarity s;
    s.a = num_a / sxx, s.b = num_b / sxx;
    s.tx = ct.x - (s.a * cf.x - s.b * cf.y);
    s.ty = ct.y - (s.b * cf.x + s.a * cf.y);
    return s;
}

// The group around the row `seed` computed in a frame of its own: one end at the origin,
// the other on the x axis at the measured distance. Without distances (`scaled` false) the
// frame is built from the directions alone on a base of unit length; the placing on the
// control points then gives it its scale.
Network frame_from(const Network& net, int seed, bool scaled, Console& con, TextFile& rep) {
    Network f(con, rep);
    f.tol = net.tol;
    f.g = net.g;
    f.pts = net.pts;
    f.rows = net.rows;
    f.idx = net.idx;
    f.indexed = true;
    f.local = true;
    for (Point& p : f.pts) p.vi = 0, p.stp = 0, p.x = p.y = 0;
    if (!scaled)
        for (Row& row : f.rows) row.D = 0;
    const Row& r = f.rows[seed];
    f.pts[r.ns].vi = f.pts[r.nt].vi = 2;
    f.pts[r.ns].stp = f.pts[r.nt].stp = 1;
    f.pts[r.nt].x = scaled ? r.D : 1.0;
    f.step = 1;
    f.solved = 2;
    passes(f);
    return f;
}

// A control point the frame lacks that a direction from one of its stations reaches: the
// frame places where that point may lie, at its known distance from the control point `a`
// that the frame holds.
struct Sighted {
    int b = -1;
    std::vector<Xy> at;
};

Sighted sighted_control(const Network& net, const Network& f, int a) {
    for (int j = 0; j < net.m(); ++j) {
        const Row& r = net.rows[j];
        const int p = r.ns, b = r.nt;
        if (!(r.R > 0) || !f.known(p) || f.known(b) || !net.known(b) || b == a) continue;
        for (int k : f.idx.series[f.idx.series_of[j]]) {
            const Row& q = f.rows[k];
            if (!(q.R > 0) || !f.known(q.nt) || q.nt == p) continue;
            const double alpha = rang(r.R - (q.R - t(f, p, q.nt)));
            Sighted s{b, {}};
            ray_meets_circle({f.pts[p].x, f.pts[p].y}, cosg(alpha), sing(alpha), {f.pts[a].x, f.pts[a].y},
                             dist2d(net, a, b), s.at);
            if (!s.at.empty()) return s;
            break;
        }
    }
    return {};
}

// Places the frame's new points through `sim` when every shared control point comes back
// within the linear tolerance; false otherwise.
bool fits(const Network& net, const Network& f, const std::vector<int>& shared, const Similarity& sim) {
    for (int p : shared) {
        const Xy got = sim({f.pts[p].x, f.pts[p].y});
        if (!(std::hypot(got.x - net.pts[p].x, got.y - net.pts[p].y) <= net.tol.linear)) return false;
    }
    return true;
}

// Frames started from each measured distance (or, without `scaled`, each direction) that
// joins a point without coordinates, until one places points.
bool place_frame(Network& net, bool scaled, Console& quiet) {
    std::vector<char> tried(static_cast<std::size_t>(net.n()), 0);
    for (int j = 0; j < net.m(); ++j) {
        const Row& r = net.rows[j];
        if (!((scaled ? r.D : r.R) > 0) || r.ns == r.nt || (net.known(r.ns) && net.known(r.nt))) continue;
        if (tried[r.ns] && tried[r.nt]) continue;  // a frame already built around both ends
        TextFile scratch;
        const Network f = frame_from(net, j, scaled, quiet, scratch);
        std::vector<int> shared, fresh;
        for (int p = 0; p < net.n(); ++p) {
            if (!f.known(p)) continue;
            tried[p] = 1;
            (net.known(p) ? shared : fresh).push_back(p);
        }
        if (fresh.empty() || shared.empty()) continue;
        std::vector<Xy> from, to;
        for (int p : shared)
            from.push_back({f.pts[p].x, f.pts[p].y}), to.push_back({net.pts[p].x, net.pts[p].y});
        const char* how = "   Локална система ";
        Similarity sim;
        if (shared.size() >= 2) {
            sim = fit(from, to);
            if (!fits(net, f, shared, sim)) continue;
        } else if (scaled) {
            // One control point: the frame turns about it until a direction of one of its
            // stations meets a second control point. Where the direction meets that point's
            // circle twice, the other observations of the frame's points must tell which
            // place holds.
            const Sighted s = sighted_control(net, f, shared[0]);
            int agree = 0;
            for (const Xy& place : s.at) {
                const Similarity turn = fit({from[0], place}, {to[0], {net.pts[s.b].x, net.pts[s.b].y}});
                bool fits_all = true;
                for (int p : fresh) {
                    const Xy at = turn({f.pts[p].x, f.pts[p].y});
                    fits_all = fits_all && !(worst_misfit(net, p, at.x, at.y) > 1);
                }
                if (fits_all) ++agree, sim = turn;
            }
            if (agree != 1) continue;
            shared.push_back(s.b);
            how = "  Свободна станция ";
        } else {
            continue;
        }
        std::string names;
        for (int p : shared) names += (names.empty() ? "" : ",") + num(net, p);
        names += " ~ ";
        bool first = true;
        for (int p : fresh) {
            const Xy at = sim({f.pts[p].x, f.pts[p].y});
            if (!compute(net, p, at.x, at.y)) continue;
            names += (first ? "" : ",") + num(net, p);
            first = false;
        }
        if (first) continue;
        label(net, how);
        net.rep.put(names);
        return true;
    }
    return false;
}

}  // namespace

bool lokalna_sistema(Network& net) {
    ScriptedConsole quiet;
    for (const bool scaled : {true, false})
        if (place_frame(net, scaled, quiet)) return true;
    return false;
}

}  // namespace vk::v2
