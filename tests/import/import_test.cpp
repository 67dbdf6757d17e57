// vokram-import: the generator's survey written as the instruments' raw files in every unit
// and both GSI station conventions, imported and run through the chain, must give the same
// adjusted coordinates and detail points as the generator's own data file; bad raw files
// stop the import with the place named and nothing written.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "support/cases.hpp"
#include "support/chain.hpp"

namespace vk::test {
namespace {

using test::PrintTo;

// The generator's data file read back as setups: station, instrument height, sights
// (target, target height, R, V, S) and detail sights.
using Reading = std::array<double, 5>;
struct Station {
    int station;
    double hs;
    std::vector<Reading> sights, details;
};
struct Given {
    int no;
    double x, y, h;
};

void parse(const std::string& geo, std::vector<Given>& given, std::vector<Station>& setups) {
    std::istringstream in(geo);
    std::string header;
    for (int i = 0; i < 3; ++i) std::getline(in, header);
    std::vector<double> g;
    for (double v; in >> v;) {
        if (v >= 0) {
            g.push_back(v);
        } else if (v == -3) {
            given.push_back({static_cast<int>(g[0]), g[1], g[2], g[3]}), g.clear();
        } else if (v == -4) {
            setups.push_back({static_cast<int>(g[0]), g[1], {}, {}});
            for (std::size_t k = 2; k + 5 <= g.size(); k += 5)
                setups.back().sights.push_back({g[k], g[k + 1], g[k + 2], g[k + 3], g[k + 4]});
            g.clear();
        } else if (v == -9) {
            std::vector<double> d;
            while (in >> v && v != -9) d.push_back(v);
            for (std::size_t k = 0; k + 5 <= d.size(); k += 5)
                setups.back().details.push_back({d[k], d[k + 1], d[k + 2], d[k + 3], d[k + 4]});
        }
    }
}

struct Format {
    const char* behaviour;
    int kind;                    // 16, 8: GSI; 33: SDR33
    char angle, length, height;  // GSI unit digits; SDR: angle 1 2 4, length 1 2
    bool alternative;            // GSI: station by code block 7; SDR: horizon and ENZ
    // [m]: the SDR files give the printed values exactly; GSI's five decimals of an angle
    // (0.05 cc) shift the weights that vokram4 balances on the residuals of a noise-free
    // network by a few tenths of a millimetre, and whole millimetres of distance by half.
    double tolerance = 0.0003;
};

std::string names(int no, const std::map<int, std::string>& renamed) {
    const auto it = renamed.find(no);
    return it == renamed.end() ? std::to_string(no) : it->second;
}

// GSI words: index, "..0" and the unit, the sign, the data right-aligned and zero-filled.
std::string gsi_word(int wi, char unit, double value, int width, bool measured = true) {
    char b[64];
    std::snprintf(b, sizeof b, "%02d..0%c+%0*lld", wi, unit, width, std::llabs(std::llround(value)));
    std::string w = b;
    if (!measured) w.replace(7, std::string::npos, std::string(width, '-'));
    return w;
}
std::string gsi_name(int wi, const std::string& name, int width) {
    return (wi < 10 ? "0" : "") + std::to_string(wi) + "0001+" + std::string(width - name.size(), '0') + name;
}
double gsi_angle(double gon, char unit) {
    switch (unit) {
        case '3':
            return gon * 0.9 * 1e5;
        case '4': {
            const long long t = std::llround(gon * 0.9 * 36000.0);  // tenths of a second
            return static_cast<double>(t / 36000 * 100000 + t % 36000 / 600 * 1000 + t % 600);
        }
        case '5':
            return gon * 16.0 * 1e5;
        default:
            return gon * 1e5;
    }
}
double gsi_length(double m, char unit) {
    const std::map<char, double> per_metre = {
        {'0', 1e3}, {'1', 1e3 / 0.3048}, {'6', 1e4}, {'7', 1e4 / 0.3048}, {'8', 1e5}};
    return m * per_metre.at(unit);
}

std::string gsi(const Format& f, const std::vector<Station>& setups,
                const std::map<int, std::string>& renamed) {
    const int w = f.kind == 16 ? 16 : 8;
    std::string out;
    auto block = [&](const std::vector<std::string>& words) {
        out += f.kind == 16 ? "*" : "";
        for (const std::string& word : words) out += word + " ";
        out += "\r\n";
    };
    for (const Station& s : setups) {
        if (f.alternative)
            block({gsi_name(41, "7", w), gsi_name(42, names(s.station, renamed), w),
                   gsi_name(43, std::to_string(s.hs).substr(0, 5), w)});
        else
            block({gsi_name(11, names(s.station, renamed), w), gsi_word(84, f.length, 0, w),
                   gsi_word(88, f.height, gsi_length(s.hs, f.height), w)});
        for (const auto* list : {&s.sights, &s.details})
            for (const Reading& k : *list)
                block({gsi_name(11, names(static_cast<int>(k[0]), renamed), w),
                       gsi_word(21, f.angle, gsi_angle(k[2], f.angle), w, k[2] > 0),
                       gsi_word(22, f.angle, gsi_angle(k[3], f.angle), w, k[3] > 0),
                       gsi_word(31, f.length, gsi_length(k[4], f.length), w, k[4] > 0),
                       gsi_word(87, f.height, gsi_length(k[1], f.height), w)});
    }
    return out;
}

std::string sdr(const Format& f, const std::vector<Station>& setups,
                const std::map<int, std::string>& renamed) {
    auto pad = [](const std::string& s) { return s + std::string(16 - s.size(), ' '); };
    auto value = [](double v, int d) {
        char b[32];
        std::snprintf(b, sizeof b, "%16.*f", d, v);
        return std::string(b);
    };
    const double per_unit = f.length == '2' ? 1 / 0.3048 : 1.0;
    const double angle = f.angle == '1' ? 0.9 : f.angle == '4' ? 16.0 : 1.0;
    std::string out = std::string("00NMSDR33 V04-04.02") + std::string(21, ' ') + f.angle + f.length + "11" +
                      (f.alternative ? '2' : '1') + "\r\n";
    out += "01KI" + std::string(46, ' ') + (f.alternative ? '2' : '1') + "\r\n";
    out += "13NM" + to_cp1251("Бела вода, второ ниво") + "\r\n";
    for (const Station& s : setups) {
        out += "02TP" + pad(names(s.station, renamed)) + value(0, 3) + value(0, 3) + value(0, 3) +
               value(s.hs * per_unit, 5) + "\r\n";
        for (const auto* list : {&s.sights, &s.details})
            for (const Reading& k : *list) {
                const double V = f.alternative ? std::fmod(500.0 - k[3], 400.0) : k[3];
                out += "03NM" + value(k[1] * per_unit, 5) + "\r\n";
                out += std::string("09") + (k[3] > 200 ? "F2" : "F1") + pad(names(s.station, renamed)) +
                       pad(names(static_cast<int>(k[0]), renamed)) +
                       (k[4] > 0 ? value(k[4] * per_unit, 5) : pad("")) +
                       (k[3] > 0 ? value(V * angle, 8) : pad("")) +
                       (k[2] > 0 ? value(k[2] * angle, 8) : pad("")) + "\r\n";
            }
    }
    return out;
}

const Format kFormats[] = {
    {"GSI-16 in gon and hundredths of a millimetre", 16, '2', '8', '8', false},
    {"GSI-16 in mil and feet, the station by its code block", 16, '5', '7', '7', true},
    {"GSI-8 in degrees, minutes and seconds and tenths of a millimetre, names for numbers", 8, '4', '6', '6',
     false},
    {"GSI-8 in degrees, millimetres and feet, the station by its code block", 8, '3', '0', '1', true, 0.0008},
    {"SDR33 in gon and metres", 33, '2', '1', '1', false},
    {"SDR33 in degrees and feet, zenith angles from the horizon and ENZ", 33, '1', '2', '2', true},
    {"SDR33 in mil, names for numbers", 33, '4', '1', '1', false},
};

// The generator's survey run through the chain from its own data file, read back as the
// given points and setups that the raw files are written from (once a run of the tests).
struct Reference {
    Survey survey = grow({.seed = 11, .given = 4, .fresh = 8, .polar_stations = 2, .details = 5});
    int status = -1;
    ReportPoints want;
    std::vector<Given> given;
    std::vector<Station> setups;
};
const Reference& reference() {
    static const Reference r = [] {
        Reference r;
        Folder ref("reference");
        ref.write("VK/Geo_Data.txt", r.survey.geo());
        ref.write("P.txt", r.survey.params());
        r.status = run_command(ref.root, "vokram").status;
        r.want = read_report(ref.lines("VK/Protokol.TXT"));
        parse(r.survey.geo(), r.given, r.setups);
        return r;
    }();
    return r;
}

class RawFiles : public ::testing::TestWithParam<Format> {};

TEST_P(RawFiles, GiveTheSameAdjustedAndDetailPointsAsTheDataFile) {
    const Format& f = GetParam();
    const Reference& ref = reference();
    ASSERT_EQ(ref.status, 0);
    ASSERT_FALSE(ref.want.adjusted.empty());
    ASSERT_FALSE(ref.want.detail.empty());
    // Names that are not numbers, and a number that a name would otherwise get.
    std::map<int, std::string> renamed;
    if (f.angle == '4') renamed = {{101, "W1"}, {9001, "BP01"}, {5001, "65535"}, {102, "00102"}};
    Folder g;
    std::string list = "# name x y H\n";
    for (const Given& p : ref.given)
        list += names(p.no, renamed) + "\t" + std::to_string(p.x) + ", " + std::to_string(p.y) + ";" +
                std::to_string(p.h) + "\r\n";
    g.write("given.txt", list);
    g.write("P.txt", ref.survey.params());
    g.write("raw.txt", f.kind == 33 ? sdr(f, ref.setups, renamed) : gsi(f, ref.setups, renamed));
    const std::string code = f.kind != 33 && f.alternative ? "--station-code 7 " : "";
    if (!code.empty()) {  // the chain passes no station code: the import alone first
        const Ran r = run_command(g.root, "vokram-import " + code + "--given given.txt raw.txt");
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(run_command(g.root, "vokram").status, 0);
    } else {
        const Ran r = run_command(g.root, "vokram --import raw.txt --given given.txt .");
        ASSERT_EQ(r.status, 0) << r.err << r.out;
        if (f.kind == 33) {
            EXPECT_NE(r.out.find("Бела вода, второ ниво"), std::string::npos) << r.out;
        }
    }
    const ReportPoints got = read_report(g.lines("VK/Protokol.TXT"));
    // 65535 is a point's own number: the names get the free numbers below it.
    std::map<int, int> number;
    if (!renamed.empty()) {
        EXPECT_EQ(g.read("VK/Names.txt"), "BP01 65534\r\nW1 65533\r\n");
        number = {{9001, 65534}, {101, 65533}, {5001, 65535}};
    }
    EXPECT_EQ(got.adjusted.size(), ref.want.adjusted.size());
    EXPECT_EQ(got.detail.size(), ref.want.detail.size());
    for (auto kind : {&ReportPoints::adjusted, &ReportPoints::detail})
        for (const auto& [no, p] : ref.want.*kind) {
            const auto it = (got.*kind).find(number.count(no) ? number[no] : no);
            ASSERT_NE(it, (got.*kind).end()) << no;
            EXPECT_NEAR(it->second.x, p.x, f.tolerance) << no;
            EXPECT_NEAR(it->second.y, p.y, f.tolerance) << no;
            if (!std::isnan(p.h)) {
                EXPECT_NEAR(it->second.h, p.h, f.tolerance) << no;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Import, RawFiles, ::testing::ValuesIn(kFormats), ByBehaviour());

// A station and one sight in GSI-16, with what a case changes.
std::string station16(const std::string& name, bool height = true) {
    std::string b = "*" + gsi_name(11, name, 16) + " " + gsi_word(84, '8', 0, 16) + " ";
    return b + (height ? gsi_word(88, '8', 150000, 16) + " " : "") + "\r\n";
}
std::string sight16(const std::string& target) {
    return "*" + gsi_name(11, target, 16) + " " + gsi_word(21, '2', 1234567, 16) + " " +
           gsi_word(22, '2', 9876543, 16) + " " + gsi_word(31, '8', 5432100, 16) + " " +
           gsi_word(87, '8', 130000, 16) + " \r\n";
}

const std::string kGood = station16("ST1") + sight16("9") + sight16("BP");
struct Case {
    const char* behaviour;
    std::vector<std::pair<std::string, std::string>> files;
    std::string options;
    int status;
    std::string said;  // on standard error, or on standard output after a run to the end
    std::string geo;   // a line the data file holds afterwards ("" none)
} kCases[] = {
    {"a file cut inside a block stops",
     {{"raw.gsi", kGood + sight16("12").substr(0, 60)}},
     "",
     1,
     "raw.gsi:4: непълна или неправилна дума \"22..02+0000\"",
     ""},
    {"a sight before the first station stops",
     {{"raw.gsi", sight16("9") + kGood}},
     "",
     1,
     "raw.gsi:1: визура преди първата станция",
     ""},
    {"a station without an instrument height stops",
     {{"raw.gsi", station16("ST1", false) + sight16("9")}},
     "",
     1,
     "raw.gsi:1: станция ST1 без височина на инструмента",
     ""},
    {"an instrument height given as 0 is taken",
     {{"raw.gsi", station16("ST1", false) + sight16("9")}},
     "--instrument-height 0 ",
     0,
     "станция ST1 (65535) от raw.gsi:1: визури 1 (I 1, II 0), серии 1, подробни точки 0",
     "65535 0.000"},
    {"a sight to a point not given is a detail point",
     {{"raw.gsi", kGood}, {"g.txt", "9 100 200 10\n"}},
     "--given g.txt ",
     0,
     "визури 1 (I 1, II 0), серии 1, подробни точки 1",
     "-9\r\n  65534 1.300"},
    {"without detail points every sight is a network sight",
     {{"raw.gsi", kGood}, {"g.txt", "9 100 200 10\n"}},
     "--given g.txt --detail none ",
     0,
     "визури 2 (I 2, II 0), серии 1, подробни точки 0",
     "  65534 1.300 12.34567 98.76543 54.321\r\n-4"},
    {"a point given twice with other coordinates stops",
     {{"raw.gsi", kGood}, {"a.txt", "9 100 200 10\n"}, {"b.txt", "9 100 200.5 10\n"}},
     "--given a.txt --given b.txt ",
     1,
     "b.txt:1: точка 9 е дадена с други координати в a.txt:1",
     ""},
    {"a file of no known format stops",
     {{"raw.gsi", "9 100 200 10\n"}},
     "",
     1,
     "raw.gsi: файлът не е GSI-8, GSI-16 или SDR33",
     ""},
    {"an existing data file is kept",
     {{"raw.gsi", kGood}, {"VK/Geo_Data.txt", "old\r\n"}},
     "",
     1,
     "вече съществува",
     "old"},
    {"an existing data file replaced is kept as a backup",
     {{"raw.gsi", kGood}, {"VK/Geo_Data.txt", "old\r\n"}},
     "--replace ",
     0,
     "старият е VK/Geo_Data.bak",
     "65535 1.5"},
    {"a name keeps its number",
     {{"raw.gsi", kGood}, {"VK/Names.txt", "BP 77\r\nST1 78\r\n"}},
     "",
     0,
     "Дадени точки: 0, станции 1",
     "  77 1.300 12.34567 98.76543 54.321"},
    {"a number taken by a name stops",
     {{"raw.gsi", kGood}, {"VK/Names.txt", "W 9\r\n"}},
     "",
     1,
     "точка 9: номерът 9 е даден на името W във VK/Names.txt",
     ""},
    {"an SDR33 file cut inside a record stops",
     {{"raw.sdr", "00NMSDR33" + std::string(31, ' ') + "21111\r\n02TP1\r\n09F11   2   10.0"}},
     "--instrument-height 1.5 ",
     1,
     "raw.sdr:3: непълен запис на визура",
     ""},
};

class BadInput : public ::testing::TestWithParam<Case> {};

TEST_P(BadInput, StopsWithItsPlaceAndWritesNothing) {
    const Case& c = GetParam();
    Folder f;
    std::string raw;
    for (const auto& [name, text] : c.files) {
        f.write(name, text);
        if (name.starts_with("raw")) raw = name;
    }
    const Ran r = run_command(f.root, "vokram-import " + c.options + raw);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE((c.status ? r.err : r.out).find(c.said), std::string::npos) << r.err << r.out;
    const std::string geo = f.read("VK/Geo_Data.txt");
    EXPECT_EQ(c.geo.empty() ? geo.empty() : geo.find(c.geo) != std::string::npos, true) << geo;
    if (c.options == "--replace ") {
        EXPECT_EQ(f.read("VK/Geo_Data.bak"), "old\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Import, BadInput, ::testing::ValuesIn(kCases), ByBehaviour());

}  // namespace
}  // namespace vk::test
