// vokram5 on polar stations of field data passed through the whole chain: what it makes of
// a station with a position and a height, with a position only or a height only, of
// detail sights in two faces, and of the largest network. Every detail point the report
// lists must be its true position or height.
#include "support/cases.hpp"
#include "support/chain.hpp"

namespace vk::test {
namespace {

using test::PrintTo;

// Given 1 to 4; new 10 (plane and height) by the polar task from 1 and checked from 4, 11
// (height only) by a zenith angle and a distance from 2, 12 (position only) by a forward
// intersection from 1 and 3; polar station `station` with three detail points.
Survey stations(int station, Faces faces = kFaceI) {
    Survey s = on_sheet({{1, {{2, kR}, {10}, {12, kR}}},
                         {2, {{11, kVS}}},
                         {3, {{4, kR}, {12, kR}}},
                         {4, {{1, kR}, {3, kR}, {10}}}},
                        {{11, {380, 260, 57}},
                         {12, {380, 380, 0}},
                         {501, {330, 320, 58.5}},
                         {502, {350, 270, 56.2}},
                         {503, {340, 300, 59.1}}});
    Record polar{station, {{station - 9, station == 11 ? kVS : kR}}};  // to 1, 2 or 3
    for (int no : {501, 502, 503}) polar.details.push_back({no, kRVS, 0, 0, 0, faces});
    s.records.push_back(polar);
    return s;
}

struct Case {
    const char* behaviour;
    Survey survey;
    std::vector<std::string> lines;  // consecutive lines of the report
    bool stops = false;
    // Text put into the data file before the polar station for vokram5 alone: a station
    // record whose detail block is one number short (the closing -9 inside its sight).
    std::string inserted = {};
    std::string reason = {};  // the last line vokram5 printed: its error line at a stop
};

const Case kCases[] = {
    {"a station with position and height gives detail points in 3D",
     stations(10),
     {"    Станция 10", "       ТОЧКИ ОТ ПОЛЯРНО ЗАСНИМАНЕ В СТАНЦИЯ: 10"}},
    {"detail sights in two faces are merged and summarised",
     stations(10, kFaceIThenII),
     {"    Ст. 10 - полярна снимка, визиране в две положения.", "",
      "    Максимални разлики между измервания:", "      за  хор. посоки :   не е открита.",
      "      за  зен. ъгли   :   80.0 сс. към т.501"}},
    {"a station with a height only gives heights", stations(11), {"    Липсват (x,y) координати."}},
    {"a station with a height only bends a sight of 544 m by 2 cm of curvature less refraction",
     stations(11).point(503, 4567700, 8512700, 61.3),
     {"    Липсват (x,y) координати."}},
    {"a station with a position only gives positions",
     stations(12),
     {"    Липсва надморска височина за ст. 12."}},
    {"the largest network vokram1 accepts (399 points) is taken whole",
     [] {
         Survey s = grow({.seed = 6,
                          .given = 10,
                          .fresh = 389,
                          .polar_stations = 1,
                          .details = 3,
                          .repeated_sets = false,
                          .second_sight = 0.5});
         s.faces = kFaceI;
         return s;
     }(),
     {"    Приети 399 точки. "}},
    {"a detail block closed inside a sight stops its station",
     stations(10),
     {"    В станция \"10\" Код -9, проверете броя данни."},
     true,
     "10 1.5 1 1.5 50 100 200 -4\n-9\n5001 1.5 10 100 -9\n"},
    // The direction over its tolerance is named, not the height difference written after it.
    {"a direction repeated 500 cc off stops its station",
     stations(10),
     {"    Макс. разлики от повторения:"},
     true,
     "10 1.5 1 1.5 50 100 200 2 1.5 150 100 200 1 1.5 50.05 100.01 200 -4\n-9\n5001 1.5 10 100 20 -9\n",
     "vokram5: В станция \"10\": Макс. разлики от повторения: за      посока:   0.0500 гр. в т.     1"},
    {"the detail block of a station outside the network is passed over whole",
     stations(10),
     {"    Липсват (x,y,h) координати за ст. 77", "", "    Станция 10"},
     false,
     "77 1.5 1 1.5 50 100 200 -4\n-9\n5001 1.5 10 100 -9\n"},
};

class Polar : public ::testing::TestWithParam<Case> {};

TEST_P(Polar, ReportsItsLinesAndEveryDetailPointIsTrue) {
    const Case& c = GetParam();
    Folder f;
    std::string stopped = run_chain(f, c.survey, c.inserted.empty() ? "vokram5" : "vokram4");
    if (!c.inserted.empty()) {
        std::string geo = c.survey.geo();
        geo.insert(geo.rfind("-4\n", geo.find("\n-9\n") - 3) + 3, c.inserted);
        f.write("VK/Geo_Data.txt", geo);
        const int status = run_program(f, "vokram5");
        stopped = status == 0 ? "" : status == 1 ? "vokram5" : "status " + std::to_string(status);
        const std::string said = f.read("vokram5.out");
        EXPECT_TRUE(c.reason.empty() || said.ends_with(c.reason + "\n")) << said;
    }
    EXPECT_EQ(stopped, c.stops ? "vokram5" : "");
    const std::vector<std::string> report = f.lines("VK/Protokol.TXT");
    EXPECT_TRUE(has_block(report, c.lines));
    const auto listed = read_report(report).detail;
    EXPECT_EQ(listed.size(), c.stops ? 0u : 3u);
    expect_true(listed, c.survey, 0.001);
}

INSTANTIATE_TEST_SUITE_P(Rows, Polar, ::testing::ValuesIn(kCases), ByBehaviour());

}  // namespace
}  // namespace vk::test
