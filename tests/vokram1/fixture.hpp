// Helpers of the vokram1 tests: a survey data file built from known true coordinates,
// a stage context with an in-memory report, and a scratch working folder.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch.hpp"
#include "vokram/angles.hpp"
#include "vokram/console.hpp"
#include "vokram/text.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1::test {

struct Truth {
    double x, y, h;
};

// Writes "VK/Geo_Data.txt" for a survey whose points are known exactly: every reading
// is computed from the true coordinates, so the reductions must give them back.
class GeoBuilder {
  public:
    std::map<int, Truth> truth;
    double index_error = 0.0;  // grads, added to every zenith-angle reading

    void point(int no, double x, double y, double h) { truth[no] = {x, y, h}; }

    // Given points under code -3, -2 or -1.
    GeoBuilder& given(int code, const std::vector<int>& nos) {
        for (int no : nos) {
            const Truth& t = truth.at(no);
            if (code == -3) out_ << no << ' ' << num(t.x) << ' ' << num(t.y) << ' ' << num(t.h) << '\n';
            if (code == -2) out_ << no << ' ' << num(t.x) << ' ' << num(t.y) << '\n';
            if (code == -1) out_ << no << ' ' << num(t.h) << '\n';
        }
        out_ << code << '\n';
        return *this;
    }

    struct Sight {
        int target;
        double ht = 1.5;
        bool face2 = false;    // also observed in face II, right after face I
        bool distance = true;  // slope distance measured
        bool only_face2 = false;
    };

    // A station record: circle readings are the true direction angles less `orientation`.
    GeoBuilder& station(int st, double hs, const std::vector<Sight>& sights, double orientation) {
        out_ << st << ' ' << num(hs) << '\n';
        for (const Sight& s : sights) {
            double R, V, S;
            observe(st, hs, s.target, s.ht, R, V, S);
            R = rang(R - orientation);
            if (!s.distance) S = 0.0;
            if (!s.only_face2)
                out_ << "  " << s.target << ' ' << num(s.ht) << ' ' << num(R) << ' ' << num(V + index_error)
                     << ' ' << num(S) << '\n';
            if (s.face2 || s.only_face2)
                out_ << "  " << s.target << ' ' << num(s.ht) << ' ' << num(rang(R + 200.0)) << ' '
                     << num(400.0 - V + index_error) << ' ' << num(S) << '\n';
        }
        out_ << "-4\n";
        return *this;
    }

    // Any raw text (markers, detail blocks, faulty groups).
    GeoBuilder& raw(const std::string& text) {
        out_ << text << '\n';
        return *this;
    }

    // True readings from station to target: direction angle, zenith angle, slope distance.
    void observe(int st, double hs, int tg, double ht, double& R, double& V, double& S) const {
        const Truth& a = truth.at(st);
        const Truth& b = truth.at(tg);
        const double D = std::hypot(b.x - a.x, b.y - a.y);
        const double dz = (b.h + ht) - (a.h + hs);
        R = atang(b.y - a.y, b.x - a.x);
        V = atang(D, dz);  // the zenith angle is the direction of (D, dz) from the vertical
        S = std::hypot(D, dz);
    }

    std::string text() const { return "header one\nheader two\nheader three\n" + out_.str(); }

    static std::string num(double v) {
        char b[64];
        std::snprintf(b, sizeof b, "%.7f", v);
        return b;
    }

  private:
    std::ostringstream out_;
};

// A stage context with an in-memory report.
struct Stage {
    ScriptedConsole con;
    TextFile rep;
    Survey s{con, rep};
    explicit Stage(const std::string& geo = {}) { s.geo = geo; }
    std::vector<std::string> lines() const { return rep.lines(); }
    bool has(const std::string& line) const {
        for (const auto& l : rep.lines())
            if (l == line) return true;
        return false;
    }
    // Runs the intake and the checks up to and including `last` (1 points, 2 stations,
    // 3 checks, 4 reductions, 5 elements); true when the module stopped.
    bool upto(int last) {
        try {
            vhod_points(s);
            if (last >= 2) {
                report_params(s);
                vhod_stations(s);
            }
            if (last >= 3) kontroli(s);
            if (last >= 4) korekcii(s);
            if (last >= 5) elementi(s);
        } catch (const ModuleStop&) {
            return true;
        }
        return false;
    }
};

using Folder = ::vk::test::ScratchFolder;

}  // namespace vk::v1::test
