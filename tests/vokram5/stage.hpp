// A polar station set up in memory, for tests of single stages: station 1 at the reduced
// origin of a small network, with memory files for the report and the drawings.
#pragma once

#include <string>
#include <vector>

#include "vokram5/polar.hpp"

namespace v5test {

struct Stage {
    vk::ScriptedConsole con;
    vk::v5::Polar p{con};

    // Station 1 (plane and height) at (1000, 1000, 100); 2 lies 100 m north and 3 100 m
    // east at the same height; 4 has a plan position only, 5 a height only.
    Stage() {
        p.xo = 4000000, p.yo = 8000000;
        p.pts = {{3, 1, 1000, 1000, 100},
                 {3, 2, 1100, 1000, 100},
                 {3, 3, 1000, 1100, 100},
                 {2, 4, 900, 1000, 0},
                 {1, 5, 0, 0, 120}};
        vk::v5::derive(p.par);
    }

    // A sight of station 1 as the intake stores it (instrument and target 1.5 m).
    static vk::v5::Sight sight(int target, double R, double V, double S) {
        vk::v5::Sight s;
        s.ns = 1, s.hs = 1500, s.nt = static_cast<std::uint16_t>(target), s.ht = 1500;
        s.R = R, s.V = V, s.S = S;
        return s;
    }

    // Runs a stage; true when it stopped the module.
    template <class F>
    bool stops(F&& stage) {
        try {
            stage(p);
        } catch (const vk::ModuleStop&) {
            return true;
        }
        return false;
    }

    // Reads the data text (after the header) as STANCIQ does until its end.
    bool data(const std::string& text) {
        p.geo = vk::NumberReader(text, "VK/Geo_Data.txt");
        return stops([](vk::v5::Polar& q) {
            do vk::v5::stanciq(q);
            while (!q.geo.at_end());
        });
    }

    std::vector<std::string> report() const { return p.rep->lines(); }
    // The report lines from the first that equals `from`, up to `count` of them.
    std::vector<std::string> from(const std::string& first, std::size_t count = 100) const {
        const std::vector<std::string> r = report();
        std::vector<std::string> out;
        for (std::size_t i = 0; i < r.size(); ++i)
            if (r[i] == first) {
                for (std::size_t j = i; j < r.size() && out.size() < count; ++j) out.push_back(r[j]);
                break;
            }
        return out;
    }
};

}  // namespace v5test
