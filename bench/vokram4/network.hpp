// Survey networks generated from known true coordinates, written as the network file
// "Temp/VK_2.tmp" that vokram2 hands to the adjustment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace v4test {

struct Site {
    std::uint16_t no = 0;
    double x = 0, y = 0;  // metres, reduced by the origin
    int vi = 2;           // 2 plane, 3 plane and height, 1 height only
    double h = -999.0;
};

struct Sight {
    std::uint16_t ps = 1, ns = 0, nt = 0;  // series, station and target numbers
    double R = 0, D = 0;                   // grads and metres, 0 = not measured
};

struct Network {
    double xo = 4500000.0, yo = 8500000.0;
    std::vector<Site> given;
    std::vector<Site> truth;   // the new points' true coordinates
    std::vector<Site> approx;  // the same points as the file carries them (approximate)
    std::vector<Sight> sights;

    // The new points with plane coordinates, in file order, as the adjustment lists them.
    std::vector<Site> plane_approx() const {
        std::vector<Site> out;
        for (const Site& s : approx)
            if (s.vi > 1) out.push_back(s);
        return out;
    }
};

// The bytes of the network file (Windows-1251, CR LF).
std::string vk2_bytes(const Network& net);

struct Shape {
    unsigned seed = 1;
    int rows = 4, cols = 4;       // a grid of points about `spacing` apart
    double spacing = 250.0;       // metres
    double jitter = 40.0;         // metres of random displacement from the grid
    double sigma_R = 4.0;         // cc of noise on a direction
    double sigma_D = 0.3;         // cm of noise on a distance
    double approx = 3.0;          // cm of error in the approximate coordinates
    double distance_share = 0.7;  // share of sights that also carry a distance
    bool reverse_new = false;     // new points listed in the file from the last to the first
    bool north_oriented = false;  // every station oriented near 0, so directions meet the 0/400 seam
    // A sparse network: each station sights only its right and lower neighbours, braced
    // with lower right diagonals while `sights` allow (instead of every neighbour).
    bool sparse = false;
    int sights = 999;
    bool shuffle_new = false;  // new points listed in random order
    // Only every third point a station (in a diagonal pattern), each sighting all its
    // neighbours while `sights` allow: groups of many directions, as a network of few
    // stations and many targets has them.
    bool few_stations = false;
};

// A grid with given points at the four corners; every point is a station that observes
// its neighbours within 1.5 spacings (or the sparse pattern). Point numbers are random.
Network grid(const Shape& shape);

// One new point (201) fixed by directions and distances from three given stations
// (101, 102, 103), each a station of one series: two unknowns.
Network one_new_point();

// Direction angle of (dy, dx) in grads in [0, 400).
double bearing(double dy, double dx);

}  // namespace v4test
