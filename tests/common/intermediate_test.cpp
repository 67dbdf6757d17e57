// The intermediate files read back what their writers wrote: a network grown by the survey
// generator, its values rounded to the decimals of each layout, goes through the writer
// and the reader of "Temp/VK_1.tmp", "Temp/VK_2.tmp" and "Temp/VK_H.tmp" unchanged.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "support/survey.hpp"
#include "vokram/products.hpp"

namespace vk {
namespace {

double to(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

// The grown network as the files carry it: given points first (their kinds), new points
// as undetermined; one row per sight with every quantity present.
NetTables grown() {
    const test::Survey s = test::grow({});
    NetTables t;
    t.xo = 4512300.5;
    t.yo = 8512300.5;
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
    std::uint16_t series = 0;
    for (const test::Record& r : s.records) {
        ++series;
        for (const test::Sight& w : r.sights)
            t.rows.push_back({series, at(r.station), static_cast<std::uint16_t>(std::lround(r.hs * 1000)),
                              at(w.target), static_cast<std::uint16_t>(std::lround(w.ht * 1000)),
                              to(w.target * 0.731, 5), to(99.5 + w.target * 0.001, 5),
                              to(50 + w.target * 0.37, 4), to(49 + w.target * 0.37, 4)});
    }
    return t;
}

void same_point(const NetPoint& a, const NetPoint& b) {
    EXPECT_EQ(a.vi, b.vi) << a.no;
    EXPECT_EQ(a.no, b.no);
    EXPECT_EQ(a.x, b.x) << a.no;
    EXPECT_EQ(a.y, b.y) << a.no;
    EXPECT_EQ(a.h, b.h) << a.no;
}

void same_row(const NetRow& a, const NetRow& b, bool spatial) {
    EXPECT_EQ(a.ps, b.ps);
    EXPECT_EQ(a.ns, b.ns);
    EXPECT_EQ(a.nt, b.nt);
    EXPECT_EQ(a.R, b.R) << a.ns << "-" << a.nt;
    EXPECT_EQ(a.D, b.D) << a.ns << "-" << a.nt;
    if (!spatial) return;
    EXPECT_EQ(a.hs, b.hs);
    EXPECT_EQ(a.ht, b.ht);
    EXPECT_EQ(a.V, b.V) << a.ns << "-" << a.nt;
    EXPECT_EQ(a.S, b.S) << a.ns << "-" << a.nt;
}

NumberReader reread(const TextFile& f) {
    std::string text;
    for (const std::string& l : f.lines()) text += l + "\n";
    return NumberReader(text, "Temp");
}

struct RoundTrip {
    const char* name;
    std::function<void(const NetTables&)> check;
};

const RoundTrip kFiles[] = {
    {"Vk1KeepsPointsNumbersAndEveryQuantity",
     [](const NetTables& t) {
         Vk1 v;
         v.xo = t.xo, v.yo = t.yo, v.tol_angle = 0.0123, v.tol_linear = 0.0456, v.tol_height = 0.0789,
         v.k = 0.13;
         v.given.assign(t.pts.begin(), t.pts.begin() + t.g);
         for (int i = t.g; i < t.n(); ++i) v.fresh.push_back(t.pts[i].no);
         for (NetRow w : t.rows) w.ns = t.pts[w.ns].no, w.nt = t.pts[w.nt].no, v.rows.push_back(w);
         TextFile f;
         write_vk1(v, f);
         NumberReader r = reread(f);
         const Vk1 back = read_vk1(r, {}, [](const Vk1&) { FAIL(); });
         EXPECT_EQ(back.xo, v.xo);
         EXPECT_EQ(back.yo, v.yo);
         EXPECT_EQ(back.tol_angle, v.tol_angle);
         EXPECT_EQ(back.tol_linear, v.tol_linear);
         EXPECT_EQ(back.tol_height, v.tol_height);
         EXPECT_EQ(back.k, v.k);
         ASSERT_EQ(back.given.size(), v.given.size());
         for (std::size_t i = 0; i < v.given.size(); ++i) same_point(back.given[i], v.given[i]);
         EXPECT_EQ(back.fresh, v.fresh);
         ASSERT_EQ(back.rows.size(), v.rows.size());
         for (std::size_t i = 0; i < v.rows.size(); ++i) same_row(back.rows[i], v.rows[i], true);
         EXPECT_EQ(back.levelling_rows, static_cast<long long>(v.rows.size()));
     }},
    {"Vk2KeepsBothPointTablesAndPlaneQuantities",
     [](const NetTables& t) {
         TextFile f;
         write_vk2(t, f);
         NumberReader r = reread(f);
         const NetTables back = read_vk2(r, {});
         EXPECT_EQ(back.xo, t.xo);
         EXPECT_EQ(back.yo, t.yo);
         EXPECT_EQ(back.g, t.g);
         ASSERT_EQ(back.n(), t.n());
         for (int i = 0; i < t.n(); ++i) same_point(back.pts[i], t.pts[i]);
         ASSERT_EQ(back.rows.size(), t.rows.size());
         for (std::size_t i = 0; i < t.rows.size(); ++i) {
             NetRow w = t.rows[i];
             w.ns = t.pts[w.ns].no, w.nt = t.pts[w.nt].no;
             same_row(back.rows[i], w, false);
         }
     }},
    {"VkhKeepsNumbersAndHeights",
     [](const NetTables& t) {
         std::vector<NetHeight> heights;
         for (const NetPoint& p : t.pts) heights.push_back({p.no, p.h});
         TextFile f;
         write_vkh(heights, f);
         NumberReader r = reread(f);
         const std::vector<NetHeight> back = read_vkh(r, {});
         ASSERT_EQ(back.size(), heights.size());
         for (std::size_t i = 0; i < back.size(); ++i) {
             EXPECT_EQ(back[i].no, heights[i].no);
             EXPECT_EQ(back[i].h, heights[i].h) << heights[i].no;
         }
     }},
};

class IntermediateFile : public testing::TestWithParam<RoundTrip> {};

TEST_P(IntermediateFile, ReadsBackWhatWasWritten) {
    const NetTables t = grown();
    ASSERT_GT(t.g, 0);
    ASSERT_GT(t.n(), t.g);
    ASSERT_FALSE(t.rows.empty());
    GetParam().check(t);
}

INSTANTIATE_TEST_SUITE_P(Layouts, IntermediateFile, testing::ValuesIn(kFiles),
                         [](const testing::TestParamInfo<RoundTrip>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
}  // namespace vk
