// A polar station in memory for tests of single stages: station 1 at (1000, 1000, 100),
// point 2 100 m north and 3 100 m east at its height, 4 with a plan position only and 5
// with a height only (120); memory files take the report and the drawings.
#pragma once

#include <string>
#include <vector>

#include "vokram5/polar.hpp"

namespace v5test {

using Lines = std::vector<std::string>;

struct Stage {
    vk::ScriptedConsole con;
    vk::v5::Polar p{con};

    Stage() {
        p.xo = 4000000, p.yo = 8000000;
        p.pts = {{3, 1, 1000, 1000, 100},
                 {3, 2, 1100, 1000, 100},
                 {3, 3, 1000, 1100, 100},
                 {2, 4, 900, 1000, 0},
                 {1, 5, 0, 0, 120}};
        vk::v5::derive(p.par);
    }

    // A sight of station 1 as the intake stores it: instrument and target 1.5 m high.
    static vk::v5::Sight sight(int target, double R, double V, double S, double D = 0) {
        return {1, 1500, static_cast<std::uint16_t>(target), 1500, R, V, S, D};
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

    // STANCIQ over a data text (the part after the header) until its end.
    bool data(const std::string& text) {
        p.geo = vk::NumberReader(text, "VK/Geo_Data.txt");
        return stops([](vk::v5::Polar& q) {
            do vk::v5::stanciq(q);
            while (!q.geo.at_end());
        });
    }

    Lines report() const { return p.rep->lines(); }
    Lines tail(std::size_t n) const {
        const Lines r = report();
        return Lines(r.end() - static_cast<std::ptrdiff_t>(std::min(n, r.size())), r.end());
    }
};

}  // namespace v5test
