#include "network.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <set>

#include "vokram/text.hpp"

namespace v4test {

using vk::real;
using vk::whole;

double bearing(double dy, double dx) {
    double a = std::atan2(dy, dx) * 200.0 / std::numbers::pi;
    if (a < 0) a += 400.0;
    return a;
}

std::vector<Site> Network::plane_truth() const {
    std::vector<Site> out;
    for (const Site& s : truth)
        if (s.vi > 1) out.push_back(s);
    return out;
}
std::vector<Site> Network::plane_approx() const {
    std::vector<Site> out;
    for (const Site& s : approx)
        if (s.vi > 1) out.push_back(s);
    return out;
}

std::vector<std::string> vk2_lines(const Network& net) {
    std::vector<std::string> L;
    const std::string t40(40, '~'), t38(38, '~');
    auto point = [](const Site& s) {
        return " " + whole(s.vi, 1) + " " + whole(s.no, 5) + " " + real(s.x, 10, 4) + " " + real(s.y, 10, 4) +
               " " + real(s.h, 9, 4);
    };
    L.push_back("");
    L.push_back("Резултати от модул  * ВОКРАМ-2 *");
    L.push_back(std::string(32, '~'));
    L.push_back("");
    L.push_back(real(net.xo, 0, 1) + " " + real(net.yo, 0, 1) + " - редукционно начало");
    L.push_back("");
    L.push_back(whole(static_cast<long long>(net.given.size()), 10) + " - брой зададени точки");
    L.push_back(t40);
    L.push_back("vi    no     xk         yk        hk    ");
    L.push_back(t40);
    for (const Site& s : net.given) L.push_back(point(s));
    L.push_back("");
    L.push_back(whole(static_cast<long long>(net.approx.size()), 10) + " - брой нови точки");
    L.push_back(t40);
    L.push_back("vi    no     xk         yk        hk    ");
    L.push_back(t40);
    for (const Site& s : net.approx) L.push_back(point(s));
    L.push_back("");
    L.push_back(whole(static_cast<long long>(net.sights.size()), 10) + " - брой посоки и/или страни ");
    L.push_back(t38);
    L.push_back("    ps    ns    nt    R          D    ");
    L.push_back(t38);
    for (const Sight& w : net.sights)
        L.push_back(whole(w.ps, 6) + " " + whole(w.ns, 5) + " " + whole(w.nt, 5) + " " + real(w.R, 9, 5) +
                    " " + real(w.D, 9, 4));
    L.push_back(t38);
    L.push_back("");
    return L;
}

std::string vk2_bytes(const Network& net) {
    std::string out;
    for (const std::string& line : vk2_lines(net)) out += vk::to_cp1251(line) + "\r\n";
    return out;
}

Network grid(const Shape& sh) {
    std::mt19937 rng(sh.seed);
    // Uniform in [-1, 1) and normal deviates made here from the engine's raw output, so
    // that a seed gives the same network with every standard library.
    auto uni = [](std::mt19937& g) { return g() / 2147483648.0 - 1.0; };
    auto gauss = [&uni](std::mt19937& g) {
        double a, b, r;
        do {
            a = uni(g), b = uni(g), r = a * a + b * b;
        } while (r >= 1.0 || r == 0.0);
        return a * std::sqrt(-2.0 * std::log(r) / r);
    };

    // Distinct random point numbers.
    std::set<int> used;
    auto number = [&] {
        int no;
        do no = 1 + static_cast<int>(rng() % 9000);
        while (!used.insert(no).second);
        return static_cast<std::uint16_t>(no);
    };

    Network net;
    std::vector<Site> all;  // true positions, grid order
    for (int r = 0; r < sh.rows; ++r)
        for (int c = 0; c < sh.cols; ++c) {
            Site s;
            s.no = number();
            s.x = 300.0 + r * sh.spacing + sh.jitter * uni(rng);
            s.y = 200.0 + c * sh.spacing + sh.jitter * uni(rng);
            all.push_back(s);
        }
    auto corner = [&](int r, int c) { return (r == 0 || r == sh.rows - 1) && (c == 0 || c == sh.cols - 1); };
    for (int r = 0; r < sh.rows; ++r)
        for (int c = 0; c < sh.cols; ++c) {
            const Site& s = all[r * sh.cols + c];
            if (corner(r, c)) {
                Site gp = s;
                gp.x = std::round(gp.x * 1e4) / 1e4;
                gp.y = std::round(gp.y * 1e4) / 1e4;
                all[r * sh.cols + c] = gp;
                net.given.push_back(gp);
            } else {
                net.truth.push_back(s);
            }
        }
    if (sh.reverse_new) std::reverse(net.truth.begin(), net.truth.end());
    if (sh.shuffle_new)
        for (std::size_t i = net.truth.size(); i > 1; --i) std::swap(net.truth[i - 1], net.truth[rng() % i]);
    for (const Site& s : net.truth) {
        Site a = s;
        a.x = std::round((s.x + sh.approx / 100 * uni(rng)) * 1e4) / 1e4;
        a.y = std::round((s.y + sh.approx / 100 * uni(rng)) * 1e4) / 1e4;
        net.approx.push_back(a);
    }

    // Every point a station; one orientation per station, neighbours in grid order.
    auto observe = [&](const Site& P, const Site& T, double ori) {
        const double dx = T.x - P.x, dy = T.y - P.y, s = std::hypot(dx, dy);
        Sight w;
        w.ns = P.no;
        w.nt = T.no;
        double R = bearing(dy, dx) - ori + sh.sigma_R * gauss(rng) / 10000;
        R = std::fmod(R + 800.0, 400.0);
        R = std::round(R * 1e5) / 1e5;
        w.R = R > 0 ? R : 400.0;
        if ((rng() % 1000) < sh.distance_share * 1000)
            w.D = std::round((s + sh.sigma_D * gauss(rng) / 100) * 1e4) / 1e4;
        net.sights.push_back(w);
    };
    std::vector<double> orientation(all.size());
    for (int r = 0; r < sh.rows; ++r)
        for (int c = 0; c < sh.cols; ++c) {
            const Site& P = all[r * sh.cols + c];
            const double ori = orientation[r * sh.cols + c] =
                sh.north_oriented ? 0.0003 * uni(rng) : 200.0 + 200.0 * uni(rng);
            if (sh.sparse) {
                if (c + 1 < sh.cols) observe(P, all[r * sh.cols + c + 1], ori);
                if (r + 1 < sh.rows) observe(P, all[(r + 1) * sh.cols + c], ori);
                continue;
            }
            for (const Site& T : all)
                if (T.no != P.no && std::hypot(T.x - P.x, T.y - P.y) <= 1.5 * sh.spacing) observe(P, T, ori);
        }
    // The sparse pattern is braced with diagonals as far as the measurement table allows.
    if (sh.sparse)
        for (int r = 0; r + 1 < sh.rows; ++r)
            for (int c = 0; c + 1 < sh.cols; ++c)
                if (static_cast<int>(net.sights.size()) < sh.sights)
                    observe(all[r * sh.cols + c], all[(r + 1) * sh.cols + c + 1],
                            orientation[r * sh.cols + c]);
    return net;
}

// One new point fixed by directions and distances from three given stations: u = 2.
Network one_new_point() {
    Network net;
    net.given = {{101, 100.0, 100.0}, {102, 100.0, 600.0}, {103, 500.0, 350.0}};
    const Site truth{201, 260.0, 330.0};
    net.truth = {truth};
    net.approx = {{201, 260.0017, 329.9985}};
    const double noise[] = {3.1, -2.4, 1.7, -4.2, 2.2, 0.6, -1.3, 3.6, -2.9};  // cc
    const double dnoise[] = {0.21, -0.34, 0.12};                               // cm
    int k = 0, d = 0;
    for (const Site& P : net.given) {
        const double ori = 37.0 * P.no - 3700.0;
        for (const Site& T : {net.given[0], net.given[1], net.given[2], truth}) {
            if (T.no == P.no) continue;
            Sight w;
            w.ns = P.no, w.nt = T.no;
            w.R = std::fmod(bearing(T.y - P.y, T.x - P.x) - ori + noise[k++] / 1e4 + 400.0, 400.0);
            w.R = std::round(w.R * 1e5) / 1e5;
            if (T.no == 201)
                w.D = std::round((std::hypot(T.x - P.x, T.y - P.y) + dnoise[d++] / 100) * 1e4) / 1e4;
            net.sights.push_back(w);
        }
    }
    return net;
}

}  // namespace v4test
