// A uniform grid of square cells over a rectangle of the plane that keeps, for each cell,
// the entities touching it, so that a search near a place visits only what lies near it
// and placing the texts of ten thousand points stays a matter of a second.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vk::plot {

class Cells {
  public:
    // Cells of side `size` over [x0, x1] x [y0, y1]; whatever lies beyond counts in the
    // cells of the rectangle's edge.
    Cells(double size, double x0, double y0, double x1, double y1)
        : size_(size), x0_(x0), y0_(y0), ni_(count(x1 - x0)), nj_(count(y1 - y0)) {}

    void add_box(double x0, double y0, double x1, double y1, int id) {
        for (long long i = col(x0); i <= col(x1); ++i)
            for (long long j = row(y0); j <= row(y1); ++j) cells_[key(i, j)].push_back(id);
    }

    // A straight line from a to b, in every cell it passes through.
    void add_segment(double ax, double ay, double bx, double by, int id) {
        if (ax > bx) std::swap(ax, bx), std::swap(ay, by);
        for (long long i = col(ax); i <= col(bx); ++i) {
            // The part of the line within the column of cells.
            const double lo = std::max(ax, x0_ + static_cast<double>(i) * size_);
            const double hi = std::min(bx, x0_ + static_cast<double>(i + 1) * size_);
            const double t0 = bx > ax ? (lo - ax) / (bx - ax) : 0, t1 = bx > ax ? (hi - ax) / (bx - ax) : 1;
            const double ya = ay + (by - ay) * std::clamp(t0, 0.0, 1.0),
                         yb = ay + (by - ay) * std::clamp(t1, 0.0, 1.0);
            for (long long j = row(std::min(ya, yb)); j <= row(std::max(ya, yb)); ++j)
                cells_[key(i, j)].push_back(id);
        }
    }

    // Calls `hit(id)` for the entities of the cells the box touches (an entity may come
    // more than once) until one call returns true; whether one did.
    template <class Hit>
    bool any(double x0, double y0, double x1, double y1, Hit&& hit) const {
        for (long long i = col(x0); i <= col(x1); ++i)
            for (long long j = row(y0); j <= row(y1); ++j) {
                const auto it = cells_.find(key(i, j));
                if (it == cells_.end()) continue;
                for (const int id : it->second)
                    if (hit(id)) return true;
            }
        return false;
    }

  private:
    long long count(double extent) const {
        return std::clamp<long long>(static_cast<long long>(extent / size_) + 1, 1, 1 << 20);
    }
    static long long at(double v, long long n) {
        return std::isnan(v)
                   ? 0
                   : static_cast<long long>(std::clamp(std::floor(v), 0.0, static_cast<double>(n - 1)));
    }
    long long col(double x) const { return at((x - x0_) / size_, ni_); }
    long long row(double y) const { return at((y - y0_) / size_, nj_); }
    static std::uint64_t key(long long i, long long j) {
        return static_cast<std::uint64_t>(i) << 32 | static_cast<std::uint64_t>(j);
    }

    double size_, x0_, y0_;
    long long ni_, nj_;
    std::unordered_map<std::uint64_t, std::vector<int>> cells_;
};

}  // namespace vk::plot
