// Surveys from known true coordinates: the field data file and the parameter file a
// surveyor would bring, every reading computed from the truth (the zenith angle bent by
// the earth's curvature less refraction, the instrument's index error and distance
// corrections undone), plus planted errors and optional noise. The programs must give the
// truth back. A survey is written out by hand (points and station records) or grown at
// random from its given points.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vk::test {

struct TruePoint {
    double x, y, h;
    int kind = 0;  // given as 3: x y H, 2: x y, 1: H only; 0 a new point
};

// What a sight carries: the direction, the zenith angle with the slope distance, or both.
enum Carry : unsigned { kR = 1, kVS = 2, kRVS = 3 };
// How a sight is written: the survey's choice, face I, face I then II, II then I, face II.
enum Faces { kSurveyFaces, kFaceI, kFaceIThenII, kFaceIIThenI, kFaceII };

struct Sight {
    int target;
    unsigned carry = kRVS;
    double dR = 0, dV = 0, dS = 0;  // planted errors of the first face written [grads, grads, m]
    Faces faces = kSurveyFaces;
    double ht = 1.5;
};

struct Record {
    int station;
    std::vector<Sight> sights = {};
    double zero = 0;                  // circle reading less direction angle
    std::vector<Sight> details = {};  // a polar station's detail block
    bool polar = false;               // a detail block follows (empty unless details are given)
    double hs = 1.5;
};

struct Survey {
    std::map<int, TruePoint> truth;
    std::vector<Record> records;
    Faces faces = kFaceIThenII;
    double index_error = 0.004;  // grads; single sights are corrected through P.txt
    double refraction = 0.106;
    double hp = 0;        // height of the projection plane [m]
    double additive = 0;  // distance corrections [mm], [mm/km]
    double scale = 0;
    double tol_angle = 0.01, tol_linear = 0.1, tol_height = 0.1;
    double noise = 0;  // 1: 3 cc in directions, 5 cc in zenith angles, `distance_noise` mm
    double distance_noise = 2;
    unsigned seed = 1;

    Survey& point(int no, double x, double y, double h, int kind = 0);
    std::string geo() const;     // "VK/Geo_Data.txt" (ASCII, LF)
    std::string params() const;  // "P.txt" (Windows-1251, CR LF)
    std::vector<int> of_kind(bool given) const;
    std::vector<int> details() const;
    int rows() const;  // sights written to station records, each face counted
};

struct GrowOptions {
    unsigned seed = 1;
    int given = 5, fresh = 12;
    int polar_stations = 1, details = 5;
    bool repeated_sets = true;         // a second set at some stations, with another circle zero
    double second_sight = 1.0;         // share of new points also observed from a second station
    double spacing = 60, relief = 60;  // metres between neighbours, height range
};

// The small networks of the module tests, as offsets from a corner of the sheet: the
// points `numbers` of given 1, 2, 3, 4 (x y H) and new 10 (inside the triangle 1-2-3) and
// 11, with `more` added or moved; the sights `records` in face I.
Survey on_sheet(std::vector<Record> records, const std::map<int, TruePoint>& more = {},
                const std::vector<int>& numbers = {1, 2, 3, 4, 10});

// A control network grown outwards from the given points: each new point is observed
// from its nearest known point (and the next nearest when asked); backsights keep every
// station oriented in the order vokram2 solves.
Survey grow(const GrowOptions& o);

}  // namespace vk::test
