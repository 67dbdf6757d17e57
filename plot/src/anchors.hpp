// The points of a drawing, found by position: the symbols and detail dots on which the
// plan hangs the numbers and heights, and from which the point list is made.
#pragma once

#include <string>
#include <vector>

#include "cells.hpp"
#include "plot/plot.hpp"

namespace vk::plot {

class Anchors {
  public:
    struct Anchor {
        Pt at;
        std::string block;  // "tri" a given point, "cir" a new point; empty: a detail point
        bool detail() const { return block.empty(); }
    };
    // The points of every layer; `cell` is the side in metres of the cells of the search,
    // about the reach of the searches to come.
    Anchors(const Drawing& d, double cell);

    // The point nearest to `at` within `reach`, if any.
    const Anchor* near(const Pt& at, double reach) const;
    // The point a text belongs to: on the layers of numbers and heights the point from
    // which the suite's scripts set such a text (the number 0.8 of its size to the east
    // and 0.5 to the north, the height 0.8 east and 1.0 south), otherwise the point
    // nearest to the text within three text sizes (and a tenth of `extent`).
    const Anchor* of(const Label& t, const Layer& l, double extent) const;
    // For each point, the number of points within about `radius` of it: the points of its
    // cell and of the eight around it, in cells of side `radius`.
    std::vector<int> crowding(double radius) const;

    const std::vector<Anchor>& all() const { return pts_; }
    std::size_t index(const Anchor& a) const { return static_cast<std::size_t>(&a - pts_.data()); }

  private:
    std::vector<Anchor> pts_;
    double e0_ = 0, n0_ = 0, e1_ = 0, n1_ = 0;
    Cells cells_;
};

}  // namespace vk::plot
