// The intermediate files read back what their writers wrote: a network grown by the survey
// generator, its values rounded to the decimals of each layout, goes through the writer
// and the reader of "Temp/VK_1.tmp", "Temp/VK_2.tmp" and "Temp/VK_H.tmp" unchanged; so do
// the values of "P.txt".
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>

#include "support/cases.hpp"
#include "support/survey.hpp"
#include "vokram/products.hpp"

namespace vk {
namespace {

using test::PrintTo;

double to(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

// The grown network as the files carry it: given points first (their kinds), new points
// as kind 3; one row per sight with every quantity present, `ns` and `nt` as indexes.
NetTables grown() {
    const test::Survey s = test::grow({});
    NetTables t;
    t.xo = 4512300.5, t.yo = 8512300.5;
    for (const bool given : {true, false}) {
        for (const int no : s.of_kind(given)) {
            const test::TruePoint& p = s.truth.at(no);
            t.pts.push_back({static_cast<std::uint8_t>(given ? p.kind : 3), static_cast<std::uint16_t>(no),
                             to(p.x, 4), to(p.y, 4), to(p.h, 4)});
        }
        if (given) t.g = t.n();
    }
    const auto at = [&](int no) {
        for (int i = 0; i < t.n(); ++i)
            if (t.pts[i].no == no) return i;
        return -1;
    };
    for (std::size_t r = 0; r < s.records.size(); ++r)
        for (const test::Sight& w : s.records[r].sights)
            t.rows.push_back({static_cast<std::uint16_t>(r + 1), at(s.records[r].station),
                              static_cast<std::uint16_t>(std::lround(s.records[r].hs * 1000)), at(w.target),
                              static_cast<std::uint16_t>(std::lround(w.ht * 1000)), to(w.target * 0.731, 5),
                              to(99.5 + w.target * 0.001, 5), to(50 + w.target * 0.37, 4),
                              to(49 + w.target * 0.37, 4)});
    return t;
}

using PointValues = std::vector<std::tuple<int, int, double, double, double>>;
using RowValues = std::vector<std::tuple<int, int, int, int, int, double, double, double, double>>;

PointValues values(const std::vector<NetPoint>& pts) {
    PointValues v;
    for (const NetPoint& p : pts) v.emplace_back(p.vi, p.no, p.x, p.y, p.h);
    return v;
}

// The rows with point numbers for indexes (when `t` is given); a plane file keeps only
// series, station, target, direction and distance.
RowValues values(const std::vector<NetRow>& rows, const NetTables* t, bool spatial) {
    RowValues v;
    for (const NetRow& r : rows)
        v.emplace_back(r.ps, t ? t->pts[r.ns].no : r.ns, spatial ? r.hs : 0, t ? t->pts[r.nt].no : r.nt,
                       spatial ? r.ht : 0, r.R, spatial ? r.V : 0, spatial ? r.S : 0, r.D);
    return v;
}

NumberReader reread(const TextFile& f) {
    std::string text;
    for (const std::string& l : f.lines()) text += l + "\n";
    return NumberReader(text, "Temp");
}

struct RoundTrip {
    const char* behaviour;
    std::function<void(const NetTables&)> check;
};

const RoundTrip kFiles[] = {
    {"VK_1 keeps the parameters, the points, the numbers and every quantity",
     [](const NetTables& t) {
         Vk1 v;
         v.xo = t.xo, v.yo = t.yo, v.tol_angle = 0.0123, v.tol_linear = 0.0456, v.tol_height = 0.0789,
         v.refraction = 0.13;
         v.given.assign(t.pts.begin(), t.pts.begin() + t.g);
         for (int i = t.g; i < t.n(); ++i) v.fresh.push_back(t.pts[i].no);
         for (NetRow w : t.rows) w.ns = t.pts[w.ns].no, w.nt = t.pts[w.nt].no, v.rows.push_back(w);
         TextFile f;
         write_vk1(v, f);
         NumberReader r = reread(f);
         const Vk1 b = read_vk1(r, {}, [](const Vk1&) { FAIL(); });
         EXPECT_EQ(std::tie(b.xo, b.yo, b.tol_angle, b.tol_linear, b.tol_height, b.refraction),
                   std::tie(v.xo, v.yo, v.tol_angle, v.tol_linear, v.tol_height, v.refraction));
         EXPECT_EQ(values(b.given), values(v.given));
         EXPECT_EQ(b.fresh, v.fresh);
         EXPECT_EQ(values(b.rows, nullptr, true), values(v.rows, nullptr, true));
         EXPECT_EQ(b.levelling_rows, static_cast<long long>(v.rows.size()));
     }},
    {"VK_2 keeps both point tables and the plane quantities",
     [](const NetTables& t) {
         TextFile f;
         write_vk2(t, f);
         NumberReader r = reread(f);
         const NetTables b = read_vk2(r, {});
         EXPECT_EQ(std::tie(b.xo, b.yo, b.g), std::tie(t.xo, t.yo, t.g));
         EXPECT_EQ(values(b.pts), values(t.pts));
         EXPECT_EQ(values(b.rows, nullptr, false), values(t.rows, &t, false));
     }},
    {"VK_H keeps the numbers and the heights",
     [](const NetTables& t) {
         std::vector<NetHeight> heights;
         for (const NetPoint& p : t.pts) heights.push_back({p.no, p.h});
         TextFile f;
         write_vkh(heights, f);
         NumberReader r = reread(f);
         PointValues wrote, read;
         for (const NetHeight& p : heights) wrote.emplace_back(0, p.no, 0, 0, p.h);
         for (const NetHeight& p : read_vkh(r, {})) read.emplace_back(0, p.no, 0, 0, p.h);
         EXPECT_EQ(read, wrote);
     }},
    {"ParameterFileKeepsEveryValueAtItsDecimals",
     [](const NetTables&) {
         const Parameters odd{0.0123, 0.045, 9.999, -500, -0.25, 12.5, -3.25, 0.0012, 0.35, 6};
         for (const Parameters& p : {kDefaultParameters, odd}) {
             TextFile f;
             write_parameter_file(p, f);
             NumberReader r = reread(f);
             EXPECT_EQ(parse_parameters(r).in_file_order(), p.in_file_order());
         }
     }},
};

class IntermediateFile : public testing::TestWithParam<RoundTrip> {};

TEST_P(IntermediateFile, ReadsBackWhatWasWritten) {
    const NetTables t = grown();
    ASSERT_TRUE(t.g > 0 && t.n() > t.g && !t.rows.empty());
    GetParam().check(t);
}

INSTANTIATE_TEST_SUITE_P(Layouts, IntermediateFile, testing::ValuesIn(kFiles), test::ByBehaviour());

}  // namespace
}  // namespace vk
