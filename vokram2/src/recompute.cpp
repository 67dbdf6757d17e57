// Approximations that the controls of the plane solution reject: a poor figure (a short
// base, a resection near its danger circle) can put a point far enough off to make its
// directions and distances disagree, although the data agree among themselves. The points
// named in the conflict are then recomputed from their other intersections and adjusted
// together by a few Gauss-Newton steps, and the result is kept only when the conflict
// disappears.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tasks.hpp"
#include "vokram/angles.hpp"

namespace vk::v2 {

namespace {

constexpr double kRadiansPerGrad = 3.14159265358979323846 / 200.0;
constexpr int kSteps = 10;         // Gauss-Newton steps at most
constexpr double kSettled = 1e-5;  // m: a step that moves no point further has converged
constexpr double kMoved = 0.001;   // m: a point moved further is named in the report
// Every observation of a recomputed point must come back within this share of its
// tolerance. A blunder
// in the data leaves a good part of itself in its own residual and still exceeds it; a
// poor approximation leaves nothing behind.
constexpr double kShareOfTolerance = 1.0 / 3.0;

// Solves the symmetric positive definite system n·x = b (order u) by Cholesky; b receives
// x. False when the system is singular: the network does not determine its points.
bool solve(std::vector<double>& n, std::vector<double>& b, std::size_t u) {
    for (std::size_t j = 0; j < u; ++j) {
        double d = n[j * u + j];
        for (std::size_t k = 0; k < j; ++k) d -= n[j * u + k] * n[j * u + k];
        if (!(d > 1e-10 * n[j * u + j])) return false;
        const double l = std::sqrt(d);
        n[j * u + j] = l;
        for (std::size_t i = j + 1; i < u; ++i) {
            double s = n[i * u + j];
            for (std::size_t k = 0; k < j; ++k) s -= n[i * u + k] * n[j * u + k];
            n[i * u + j] = s / l;
        }
    }
    for (std::size_t i = 0; i < u; ++i) {
        for (std::size_t k = 0; k < i; ++k) b[i] -= n[i * u + k] * b[k];
        b[i] /= n[i * u + i];
    }
    for (std::size_t i = u; i-- > 0;) {
        for (std::size_t k = i + 1; k < u; ++k) b[i] -= n[k * u + i] * b[k];
        b[i] /= n[i * u + i];
    }
    return true;
}

// Adjusts the points `free` (all others fixed) by directions, with one orientation per
// series, and distances; true when the steps converged.
bool gauss_newton(Network& net, const std::vector<int>& free) {
    const std::size_t none = static_cast<std::size_t>(-1);
    std::vector<std::size_t> col(static_cast<std::size_t>(net.n()), none);
    std::size_t u = 0;
    for (int p : free) col[p] = u, u += 2;
    std::vector<std::size_t> series_col(net.idx.series.size(), none);
    for (int j = 0; j < net.m(); ++j) {
        const Row& r = net.rows[j];
        std::size_t& c = series_col[net.idx.series_of[j]];
        if (r.R > 0 && net.known(r.ns) && net.known(r.nt) && r.ns != r.nt && c == none) c = u++;
    }
    if (u == 0) return false;
    const double p_dir = 1.0 / std::pow(net.tol.angle * kRadiansPerGrad, 2),
                 p_dist = 1.0 / std::pow(net.tol.linear, 2);
    for (int step = 0; step < kSteps; ++step) {
        // Orientation of each series: the vector mean over its directions.
        std::vector<DirectionMean> orientation(net.idx.series.size());
        for (int j = 0; j < net.m(); ++j) {
            const Row& r = net.rows[j];
            if (!(r.R > 0) || !net.known(r.ns) || !net.known(r.nt) || r.ns == r.nt) continue;
            const double o = t(net, r.ns, r.nt) - r.R;
            orientation[net.idx.series_of[j]].add(o);
        }
        std::vector<double> n(u * u, 0), b(u, 0);
        auto add = [&](const std::size_t(&c)[5], const double(&a)[5], double l, double p) {
            for (int i = 0; i < 5; ++i) {
                if (c[i] == none) continue;
                b[c[i]] -= p * a[i] * l;
                for (int k = 0; k < 5; ++k)
                    if (c[k] != none) n[c[i] * u + c[k]] += p * a[i] * a[k];
            }
        };
        for (int j = 0; j < net.m(); ++j) {
            const Row& r = net.rows[j];
            if (!net.known(r.ns) || !net.known(r.nt) || r.ns == r.nt) continue;
            const Point& s = net.pts[r.ns];
            const Point& e = net.pts[r.nt];
            const double dx = e.x - s.x, dy = e.y - s.y, d2 = dx * dx + dy * dy, d = std::sqrt(d2);
            if (!(d > 0)) return false;
            const std::size_t cs = col[r.ns], ce = col[r.nt];
            const std::size_t c[5] = {cs, cs == none ? none : cs + 1, ce, ce == none ? none : ce + 1,
                                      series_col[net.idx.series_of[j]]};
            if (r.R > 0) {
                const std::size_t g = static_cast<std::size_t>(net.idx.series_of[j]);
                const double o = orientation[g].of_sum();
                double l = rang(t(net, r.ns, r.nt) - r.R - o);
                if (l > 200.0) l -= 400.0;
                add(c, {dy / d2, -dx / d2, -dy / d2, dx / d2, -1.0}, l * kRadiansPerGrad, p_dir);
            }
            if (r.D > 0) add(c, {-dx / d, -dy / d, dx / d, dy / d, 0.0}, d - r.D, p_dist);
        }
        if (!solve(n, b, u)) return false;
        double moved = 0;
        for (int p = 0; p < net.n(); ++p) {
            if (col[p] == none) continue;
            net.pts[p].x += b[col[p]], net.pts[p].y += b[col[p] + 1];
            moved = std::max(moved, std::hypot(b[col[p]], b[col[p] + 1]));
        }
        if (!std::isfinite(moved)) return false;
        if (moved < kSettled) return true;
    }
    return false;
}

// A place line of the new point: a circle about the far end of a measured distance, or a
// ray from a known station whose series is oriented on another known point.
struct Locus {
    bool ray;
    Xy at;
    double ux, uy, radius;
};

constexpr std::size_t kLoci = 12;  // place lines met two at a time, at most

std::vector<Locus> loci(const Network& net, int nn) {
    std::vector<Locus> out;
    for (int j : net.idx.touching[nn]) {
        const Row& r = net.rows[j];
        const int o = r.ns == nn ? r.nt : r.ns;
        if (o == nn || !net.known(o)) continue;
        const Xy at{net.pts[o].x, net.pts[o].y};
        if (r.D > 0) out.push_back({false, at, 0, 0, r.D});
        if (r.R > 0 && r.nt == nn)
            for (int k : net.idx.series[net.idx.series_of[j]]) {
                const Row& q = net.rows[k];
                if (!(q.R > 0) || !net.known(q.nt) || q.nt == o) continue;
                const double a = rang(r.R - (q.R - t(net, o, q.nt)));
                out.push_back({true, at, cosg(a), sing(a), 0});
                break;
            }
        if (out.size() >= kLoci) break;
    }
    return out;
}

// Where two place lines meet, as the polar task, the intersections and the distance
// intersection find it; both places where a circle takes part.
void meet(const Locus& a, const Locus& b, std::vector<Xy>& out) {
    if (a.ray && b.ray) {
        const double cross = a.ux * b.uy - a.uy * b.ux;
        if (std::fabs(cross) < 1e-9) return;
        const double dx = b.at.x - a.at.x, dy = b.at.y - a.at.y;
        const double s = (dx * b.uy - dy * b.ux) / cross, u = (dx * a.uy - dy * a.ux) / cross;
        if (s > 0 && u > 0) out.push_back({a.at.x + s * a.ux, a.at.y + s * a.uy});
    } else if (a.ray || b.ray) {
        const Locus& r = a.ray ? a : b;
        const Locus& c = a.ray ? b : a;
        ray_meets_circle(r.at, r.ux, r.uy, c.at, c.radius, out);
    } else {
        const double dx = b.at.x - a.at.x, dy = b.at.y - a.at.y, d = std::hypot(dx, dy);
        if (!(d > 0)) return;
        const double along = (a.radius * a.radius - b.radius * b.radius + d * d) / (2 * d);
        const double h = std::sqrt(std::max(0.0, a.radius * a.radius - along * along));
        const double ex = dx / d, ey = dy / d;
        out.push_back({a.at.x + along * ex - h * ey, a.at.y + along * ey + h * ex});
        out.push_back({a.at.x + along * ex + h * ey, a.at.y + along * ey - h * ex});
    }
}

// Moves the new point nn to the place, among those its observations give two at a time,
// that fits all of them best, when that fits better than where it is; true when moved.
bool by_other_tasks(Network& net, int nn) {
    const std::vector<Locus> l = loci(net, nn);
    std::vector<Xy> places;
    for (std::size_t i = 0; i < l.size(); ++i)
        for (std::size_t k = i + 1; k < l.size(); ++k) meet(l[i], l[k], places);
    double best = worst_misfit(net, nn, net.pts[nn].x, net.pts[nn].y);
    const Xy was{net.pts[nn].x, net.pts[nn].y};
    for (const Xy& p : places)
        if (const double m = worst_misfit(net, nn, p.x, p.y); m < best)
            best = m, net.pts[nn].x = p.x, net.pts[nn].y = p.y;
    return net.pts[nn].x != was.x || net.pts[nn].y != was.y;
}

// The controls pass, and every observation of a recomputed point lies well inside its
// tolerance.
bool settled(const Network& net, const std::vector<int>& named) {
    TextFile scratch;
    const PlaneCheck c = plane_controls(net, scratch);
    if (c.angular > net.tol.angle || c.linear > net.tol.linear) return false;
    for (std::size_t j = 0; j < net.rows.size(); ++j) {
        const Row& r = net.rows[j];
        if (std::find(named.begin(), named.end(), r.ns) == named.end() &&
            std::find(named.begin(), named.end(), r.nt) == named.end())
            continue;
        if (c.angle_off[j] > kShareOfTolerance * net.tol.angle ||
            c.length_off[j] > kShareOfTolerance * net.tol.linear)
            return false;
    }
    return true;
}

}  // namespace

void popravka(Network& net) {
    TextFile scratch;
    const PlaneCheck before = plane_controls(net, scratch);
    if (!(before.angular > net.tol.angle) && !(before.linear > net.tol.linear)) return;
    const std::vector<Point> approximate = net.pts;
    // The points of the conflict, earliest computed first, each by the other tasks its
    // observations allow; then together by Gauss-Newton steps, the other points held.
    std::vector<int> named;
    for (int p : before.named)
        if (net.pts[p].stp > 1 && std::find(named.begin(), named.end(), p) == named.end()) named.push_back(p);
    std::stable_sort(named.begin(), named.end(),
                     [&](int a, int b) { return net.pts[a].stp < net.pts[b].stp; });
    std::string how;
    for (int p : named)
        if (by_other_tasks(net, p)) how = "засечки";
    bool done = settled(net, named);
    if (!done) {
        const std::vector<Point> tasks_gave = net.pts;
        done = gauss_newton(net, named) && settled(net, named);
        how += how.empty() ? "МНМК" : " и МНМК";
        if (!done) net.pts = tasks_gave;
    }
    if (!done) {
        net.pts = approximate;
        return;
    }
    std::string moved;
    for (int p = 0; p < net.n(); ++p)
        if (std::hypot(net.pts[p].x - approximate[p].x, net.pts[p].y - approximate[p].y) > kMoved)
            moved += (moved.empty() ? "" : ", ") + num(net, p);
    net.rep.endl();
    net.rep.put("    Приближения в конфликт, преизчислени чрез " + how + ": " + moved);
}

}  // namespace vk::v2
