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
    const double a = std::atan2(dy, dx) * 200.0 / std::numbers::pi;
    return a < 0 ? a + 400.0 : a;
}

std::string vk2_bytes(const Network& net) {
    const std::string t40(40, '~'), t38(38, '~');
    std::vector<std::string> L = {"", "Резултати от модул  * ВОКРАМ-2 *", std::string(32, '~'), "",
                                  real(net.xo, 0, 1) + " " + real(net.yo, 0, 1) + " - редукционно начало"};
    auto table = [&](long long count, const std::string& what, const std::string& rule, const char* head) {
        L.insert(L.end(), {"", whole(count, 10) + what, rule, head, rule});
    };
    for (const auto* sites : {&net.given, &net.approx}) {
        table(std::ssize(*sites), sites == &net.given ? " - брой зададени точки" : " - брой нови точки", t40,
              "vi    no     xk         yk        hk    ");
        for (const Site& s : *sites)
            L.push_back(" " + whole(s.vi, 1) + " " + whole(s.no, 5) + " " + real(s.x, 10, 4) + " " +
                        real(s.y, 10, 4) + " " + real(s.h, 9, 4));
    }
    table(std::ssize(net.sights), " - брой посоки и/или страни ", t38,
          "    ps    ns    nt    R          D    ");
    for (const Sight& w : net.sights)
        L.push_back(whole(w.ps, 6) + " " + whole(w.ns, 5) + " " + whole(w.nt, 5) + " " + real(w.R, 9, 5) +
                    " " + real(w.D, 9, 4));
    L.insert(L.end(), {t38, ""});
    std::string out;
    for (const std::string& line : L) out += vk::to_cp1251(line) + "\r\n";
    return out;
}

Network grid(const Shape& sh) {
    // Uniform in [-1, 1) and normal deviates made here from the engine's raw output, so
    // that a seed gives the same network with every standard library.
    std::mt19937 rng(sh.seed);
    auto uni = [&rng] { return rng() / 2147483648.0 - 1.0; };
    auto gauss = [&uni] {
        double a, b, r;
        do a = uni(), b = uni(), r = a * a + b * b;
        while (r >= 1.0 || r == 0.0);
        return a * std::sqrt(-2.0 * std::log(r) / r);
    };
    auto round4 = [](double v) { return std::round(v * 1e4) / 1e4; };
    std::set<int> used;  // distinct random point numbers

    Network net;
    std::vector<Site> all;  // true positions, grid order; the corners are given
    for (int r = 0; r < sh.rows; ++r)
        for (int c = 0; c < sh.cols; ++c) {
            Site s;
            do s.no = static_cast<std::uint16_t>(1 + rng() % 9000);
            while (!used.insert(s.no).second);
            s.x = 300.0 + r * sh.spacing + sh.jitter * uni();
            s.y = 200.0 + c * sh.spacing + sh.jitter * uni();
            all.push_back(s);
        }
    for (int r = 0; r < sh.rows; ++r)
        for (int c = 0; c < sh.cols; ++c) {
            Site& s = all[r * sh.cols + c];
            if ((r == 0 || r == sh.rows - 1) && (c == 0 || c == sh.cols - 1)) {
                s.x = round4(s.x), s.y = round4(s.y);
                net.given.push_back(s);
            } else {
                net.truth.push_back(s);
            }
        }
    if (sh.reverse_new) std::reverse(net.truth.begin(), net.truth.end());
    if (sh.shuffle_new)
        for (std::size_t i = net.truth.size(); i > 1; --i) std::swap(net.truth[i - 1], net.truth[rng() % i]);
    for (const Site& s : net.truth) {
        Site a = s;
        a.x = round4(s.x + sh.approx / 100 * uni());
        a.y = round4(s.y + sh.approx / 100 * uni());
        net.approx.push_back(a);
    }

    // Every point a station; one orientation per station, neighbours in grid order.
    auto observe = [&](const Site& P, const Site& T, double ori) {
        Sight w{1, P.no, T.no};
        const double noisy = bearing(T.y - P.y, T.x - P.x) - ori + sh.sigma_R * gauss() / 1e4;
        const double R = std::round(std::fmod(noisy + 800.0, 400.0) * 1e5) / 1e5;
        w.R = R > 0 ? R : 400.0;
        if ((rng() % 1000) < sh.distance_share * 1000)
            w.D = round4(std::hypot(T.x - P.x, T.y - P.y) + sh.sigma_D * gauss() / 100);
        net.sights.push_back(w);
    };
    std::vector<double> orientation(all.size());
    for (std::size_t k = 0; k < all.size(); ++k) {
        const Site& P = all[k];
        const int r = static_cast<int>(k) / sh.cols, c = static_cast<int>(k) % sh.cols;
        const double ori = orientation[k] = sh.north_oriented ? 0.0003 * uni() : 200.0 + 200.0 * uni();
        if (sh.few_stations && (r + 2 * c) % 3 != 0) continue;
        if (!sh.sparse) {
            for (const Site& T : all)
                if (T.no != P.no && std::hypot(T.x - P.x, T.y - P.y) <= 1.5 * sh.spacing &&
                    std::ssize(net.sights) < sh.sights)
                    observe(P, T, ori);
            continue;
        }
        if (c + 1 < sh.cols) observe(P, all[k + 1], ori);
        if (r + 1 < sh.rows) observe(P, all[k + sh.cols], ori);
    }
    if (sh.sparse)
        for (int r = 0; r + 1 < sh.rows; ++r)
            for (int c = 0; c + 1 < sh.cols && std::ssize(net.sights) < sh.sights; ++c)
                observe(all[r * sh.cols + c], all[(r + 1) * sh.cols + c + 1], orientation[r * sh.cols + c]);
    return net;
}

Network one_new_point() {
    Network net;
    net.given = {{101, 100.0, 100.0}, {102, 100.0, 600.0}, {103, 500.0, 350.0}};
    const Site truth{201, 260.0, 330.0};
    net.truth = {truth};
    net.approx = {{201, 260.0017, 329.9985}};
    const double noise[] = {3.1, -2.4, 1.7, -4.2, 2.2, 0.6, -1.3, 3.6, -2.9};  // cc
    const double dnoise[] = {0.21, -0.34, 0.12};                               // cm
    int k = 0, d = 0;
    for (const Site& P : net.given)
        for (const Site& T : {net.given[0], net.given[1], net.given[2], truth}) {
            if (T.no == P.no) continue;
            const double R = bearing(T.y - P.y, T.x - P.x) - (37.0 * P.no - 3700.0) + noise[k++] / 1e4;
            Sight w{1, P.no, T.no, std::round(std::fmod(R + 400.0, 400.0) * 1e5) / 1e5};
            if (T.no == 201)
                w.D = std::round((std::hypot(T.x - P.x, T.y - P.y) + dnoise[d++] / 100) * 1e4) / 1e4;
            net.sights.push_back(w);
        }
    return net;
}

}  // namespace v4test
