// A survey generator for end-to-end tests: a control network grown outwards from the
// given points, observed from known true coordinates (two faces or single sights,
// repeated sets, heights with curvature and refraction, polar stations with detail
// blocks), with or without noise. The whole chain must give the truth back.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vk::chain {

struct TruePoint {
    double x, y, h;
};

struct SurveyOptions {
    unsigned seed = 1;
    int given = 5;              // control points with coordinates and height
    int fresh = 12;             // new points of the network
    int polar_stations = 1;     // stations with a detail block
    int details = 5;            // detail points per polar station
    bool two_faces = true;      // every network sight in face I and face II
    bool repeated_sets = true;  // a second set at some stations, with another circle zero
    double second_sight = 1.0;  // share of new points also observed from a second station
    bool noise = false;
    double index_error = 0.0012;  // grads; single sights are corrected through P.txt
    double refraction = 0.106;
};

struct Survey {
    std::string geo;     // "VK/Geo_Data.txt" (ASCII, LF)
    std::string params;  // "P.txt" (Windows-1251, CR LF)
    std::map<int, TruePoint> truth;
    std::vector<int> given, fresh, detail;
    int rows = 0;  // sights written to station records (each face counted)
};

Survey make_survey(const SurveyOptions& o);

}  // namespace vk::chain
