// Networks for the tests, generated from known true coordinates: every observation is
// computed from the truth (plus optional noise) and written in the layout of
// "Temp/VK_1.tmp" that vokram1 produces.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/scratch.hpp"
#include "vokram/angles.hpp"
#include "vokram/geodesy.hpp"
#include "vokram/text.hpp"
#include "vokram2/network.hpp"

namespace vk::v2::test {

inline constexpr double kGradsPerRadian = 200.0 / 3.14159265358979323846;

struct TruePoint {
    int no;
    double x, y, h;  // reduced plane coordinates and absolute height [m]
    int vi = 0;      // kind as given (1..3); 0 for a new point
};

// Which quantities a sight carries.
enum Carry : unsigned { kR = 1, kD = 2, kV = 4, kS = 8 };

// Instrument and target heights are 1.5 m; the errors are added to the exact values.
struct Sight {
    int ps, from, to;
    unsigned carry;
    double dR = 0, dD = 0, dV = 0;
};

struct Survey {
    double xo = 4567000.0, yo = 8512000.0;
    double k = 0.13;  // refraction
    std::vector<TruePoint> given, fresh;
    std::vector<Sight> sights;
    double noise_angle = 0, noise_length = 0;  // standard deviations [grads], [m]

    Survey& points(const std::vector<TruePoint>& pts) {
        for (const TruePoint& p : pts) (p.vi ? given : fresh).push_back(p);
        return *this;
    }
    Survey& measure(const std::vector<Sight>& w) {
        sights.insert(sights.end(), w.begin(), w.end());
        return *this;
    }
    const TruePoint& point(int no) const {
        for (const auto* list : {&given, &fresh})
            for (const auto& p : *list)
                if (p.no == no) return p;
        throw std::runtime_error("no point " + std::to_string(no));
    }

    // The contents of "Temp/VK_1.tmp" in vokram1's layout.
    std::string vk1() const {
        std::mt19937 gen(7);
        std::normal_distribution<double> unit(0.0, 1.0);
        std::string s;
        auto line = [&](const std::string& l) { s += l + "\r\n"; };
        line("\r\nРезултати от модул  * ВОКРАМ-1 *\r\n" + std::string(32, '~') + "\r\n");
        line(real(xo, 0, 1) + " " + real(yo, 0, 1) + " 0.01000 0.1000 0.1000 " + real(k, 0, 3) +
             "  - редукц. начало, параметри\r\n");
        const std::string rule40(40, '~');
        line(whole(static_cast<long long>(given.size()), 10) + " - брой зададени точки\r\n" + rule40 +
             "\r\nvi    no     xk         yk        hk    \r\n" + rule40);
        int kinds[4] = {0, 0, 0, 0};
        for (const auto& p : given) {
            ++kinds[p.vi];
            line(" " + whole(p.vi, 1) + " " + whole(p.no, 5) + " " + real(p.vi >= 2 ? p.x : 0, 10, 4) + " " +
                 real(p.vi >= 2 ? p.y : 0, 10, 4) + " " + real(p.vi != 2 ? p.h : 0, 9, 4));
        }
        line(rule40 + "\r\n");
        line(whole(kinds[3]) + " " + whole(kinds[2]) + " " + whole(kinds[1]) +
             " - вид точки:  3D / 2D / 1D \r\n");
        line(whole(static_cast<long long>(fresh.size()), 10) + "   - брой нови точки           ");
        for (std::size_t i = 0; i < fresh.size(); ++i)
            s += whole(fresh[i].no, 5) + ((i + 1) % 10 == 0 ? " \r\n" : " ");
        s += "\r\n\r\n";
        const std::string rule72(72, '~');
        line(whole(static_cast<long long>(sights.size()), 10) + "   - брой измервания \r\n" + rule72 +
             "\r\n    ps    ns hs[mm]   nt ht[mm]    R          V          S         D    \r\n" + rule72);
        int nr = 0, nv = 0, ns = 0, nd = 0, nh = 0;
        for (const Sight& w : sights) {
            const TruePoint& a = point(w.from);
            const TruePoint& b = point(w.to);
            const double d = std::hypot(b.x - a.x, b.y - a.y), dz = b.h - a.h, slope = std::hypot(d, dz);
            // Zenith angle such that the levelling formula gives the true difference.
            const double zenith = std::acos((dz - curvature_refraction(slope, k)) / slope) * kGradsPerRadian;
            double R = 0, V = 0, S = 0, D = 0;
            // The orientation of a series, direction angle minus circle reading, is 37.1234 + 91.377 ps.
            const double orientation = std::fmod(37.1234 + 91.377 * w.ps, 400.0);
            if (w.carry & kR)
                R = rang(atang(b.y - a.y, b.x - a.x) - orientation + w.dR + noise_angle * unit(gen));
            if (w.carry & kV) V = zenith + w.dV + noise_angle * unit(gen);
            if (w.carry & kS) S = slope + noise_length * unit(gen);
            if (w.carry & kD) D = d + w.dD + noise_length * unit(gen);
            nr += R > 0, nv += V > 0, ns += S > 0, nd += D > 0, nh += V > 0 && S > 0;
            line(whole(w.ps, 6) + " " + whole(w.from, 5) + "  1500 " + whole(w.to, 5) + "  1500 " +
                 real(R, 10, 5) + " " + real(V, 10, 5) + " " + real(S, 9, 4) + " " + real(D, 9, 4));
        }
        line(rule72 + "\r\n");
        line(whole(nr) + " " + whole(nv) + " " + whole(ns) + " " + whole(nd) + " " + whole(nh) +
             "   - вид измервания:  R / V / S / D / dH");
        return s;
    }
};

// A network loaded as vokram2 reads it, with a console that answers from a script.
struct Loaded {
    ScriptedConsole con;
    TextFile rep;
    Network w{con, rep};
    explicit Loaded(const std::string& text) {
        NumberReader r(text, "Temp/VK_1.tmp");
        vhod(w, r);
    }
    explicit Loaded(const Survey& s) : Loaded(s.vk1()) {}
    const Point& pt(int no) const {
        for (const Point& p : w.pts)
            if (p.no == no) return p;
        throw std::runtime_error("no point " + std::to_string(no));
    }
};

// A scratch working folder; `name` tells it apart.
struct Folder : ::vk::test::ScratchFolder {
    using ScratchFolder::ScratchFolder;
    // The folder as vokram1 leaves it after checking the survey `s`.
    Folder(const std::string& name, const Survey& s) : ScratchFolder(name) {
        write("Temp/Key.tmp", "1\r\n");
        write("Temp/VK_1.tmp", to_cp1251(s.vk1()));
    }
    // The last lines of a file must be `tail`.
    void expect_tail(const std::string& rel, const std::vector<std::string>& tail) const {
        const auto all = lines(rel);
        ASSERT_GE(all.size(), tail.size()) << rel;
        EXPECT_EQ(std::vector<std::string>(all.end() - static_cast<long>(tail.size()), all.end()), tail)
            << rel;
    }
};

// True when `lines` holds the line `l`.
inline bool has(const std::vector<std::string>& lines, const std::string& l) {
    return std::find(lines.begin(), lines.end(), l) != lines.end();
}

}  // namespace vk::v2::test
