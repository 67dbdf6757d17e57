// What vokram1 makes of each kind of field data: the report lines it writes, the lines of
// the network file for vokram2, and whether it stops. Every expected value is a hand
// computation from the readings of the case.
#include "support/cases.hpp"
#include "support/chain.hpp"

namespace vk::test {
namespace {

using test::PrintTo;

struct Case {
    const char* behaviour;
    std::string data;  // "VK/Geo_Data.txt" after its three header lines
    bool stops;
    std::vector<std::string> lines;  // consecutive lines of `file`
    std::string file = "VK/Protokol.TXT";
    bool present = true;
    std::string params = {};  // "P.txt"; the defaults when empty
};

// "P.txt" with the index correction -i and the height of the projection plane.
std::string params(double index, double hp = 0) {
    Survey s;
    s.index_error = index, s.hp = hp;
    return s.params();
}

// `n` control points of kind -2, a record of station 1 with `fresh` sights to new points,
// and records of station 2 with `repeats` sights to point 1 in alternate faces.
std::string many(int n, int fresh, int repeats) {
    std::string g;
    for (int i = 1; i <= n; ++i) g += std::to_string(i) + " " + std::to_string(i * 10) + " 50 -2\n";
    auto records = [&](int station, int sights, auto sight) {
        for (int k = 0; k < sights; ++k) {
            if (k % 19 == 0) g += std::to_string(station) + " 1.5";
            g += sight(k);
            if (k % 19 == 18 || k + 1 == sights) g += " -4\n";
        }
    };
    records(1, fresh, [](int k) { return " " + std::to_string(1000 + k) + " 1.5 10 0 0"; });
    records(2, repeats, [](int k) { return std::string(k % 2 ? " 1 1.5 210 300 50" : " 1 1.5 10 100 50"); });
    return g;
}

// A group of `n` numbers closed by the code -5, which is passed over.
std::string group(int n) {
    std::string g;
    for (int i = 1; i < n; ++i) g += "1 ";
    return g + "-5\n";
}

const std::string kG = "1 100 100 -2\n";  // a control point for the records of new stations
const std::string kRec = "\n9 1.5 1 1.5 10 100 100 -4";
const std::string kTwo = "1 1000 1000 -2 2 1000 1100 -2 3 900 1000 -2\n";
const char* const kW = "Temp/VK_1.tmp";
const char* const kCon = "vokram1.out";

const Case kCases[] = {
    // Section 1: the control points.
    {"a word among the numbers stops with the count of numbers read",
     "1 2 3 4 -3 5 abc 6 -1",
     true,
     {"    Грешка при четене, брояч на цифри = 10."}},
    {"a file cut off inside a group names the group",
     "1 10 20 -2 5 6.5",
     true,
     {"    Групата данни от \"5\" до края на файла не е завършена с код."}},
    {"a detail block cut off names its first point",
     "1 10 20 -2 2 30 40 -2 -9 1001 1.8 207.6",
     true,
     {"    Групата данни от \"1001\" до края на файла не е завършена с код."}},
    {"a code -3 after three numbers stops", "1 2 3 -3", true, {"    Проверете броя данни пред Код -3."}},
    {"a code -2 after two numbers stops", "1 2 -2", true, {"    Проверете броя данни пред Код -2."}},
    {"a code -1 after one number stops", "1 10 20 -2 1 -1", true, {"    Проверете броя данни пред Код -1."}},
    {"a given point number with decimals stops",
     "1.5 10 20 30 -3",
     true,
     {"    Неправилен номер на дадена точка \"1.5000\". Код -3."}},
    {"an unknown code stops", "1 10 20 -2 5 6 -10", true, {"    Неразчетен код в записите: -10.0000"}},
    {"a given point number twice stops",
     "1 10 20 -2 1 500 -1",
     true,
     {"  Дадени точки с еднакъв номер \"1\"."}},
    {"a given point number beyond 16 bits stops",
     "70000 10 20 -2",
     true,
     {"    Номер на дадена точка \"70000\" е извън обхвата 0 - 65535. Код -2."}},
    {"points 3 cm apart are warned of",
     "1 10 20 -2 2 10.03 20 -2" + kRec,
     false,
     {"    Дадени точки близки по положение: \"1\" И \"2\"."}},
    {"points 30 cm apart are not warned of",
     "1 10 20 -2 2 10.3 20 -2" + kRec,
     false,
     {"    Дадени точки близки по положение: \"1\" И \"2\"."},
     "VK/Protokol.TXT",
     false},
    {"a group of 99 numbers is read", "1 10 20 -2\n" + group(99) + kRec, false, {"    Приети 1 точки. "}},
    {"a group of 100 numbers stops",
     "1 10 20 -2\n" + group(100),
     true,
     {"    Голям брой данни преди код. Разделете на групи."}},
    {"398 control points fit", many(398, 0, 1), false, {"    Приети 398 точки. "}},
    {"399 control points stop", many(399, 0, 1), true, {"АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА."}, kCon},
    {"399 points in all fit", many(398, 1, 0), false, {"              Нови точки :     1"}},
    {"400 points in all stop", many(398, 2, 0), true, {"АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА."}, kCon},
    {"999 sights fit", many(2, 0, 999), false, {"         0   - брой нови точки           "}, kW},
    {"1000 sights stop", many(2, 0, 1000), true, {"АКТИВИРАНА ЗАЩИТА НА ПРОГРАМАТА."}, kCon},
    // Section 2: the parameters as read.
    {"the parameters are reported as read",
     kG,
     false,
     {"            Коефициент на рефракция              0.106",
      "    Надморска височина към проекция      [м]   500",
      "      Събират. поправка към разст-я     [мм]     0.0",
      "      Мащабна  поправка към разст-я  [мм/км]     0.0",
      "    Попр. към Индекса на верт. кръг  [гради]  -0.00100"},
     "VK/Protokol.TXT",
     true,
     params(0.001, 500)},
    // Section 3: the station records and their checks.
    {"a station record with a broken count stops",
     kG + "5 1.5 1 1.5 10 -4",
     true,
     {"    В станция \"5\" код -4, проверете броя данни."}},
    {"a direction beyond a full turn stops",
     kG + "5 1.5 1 1.5 400.00001 100 50 -4",
     true,
     {"    В станция \"5\" грешна посока \" 400.00001\"."}},
    {"a sight to the station itself stops",
     kG + "5 1.5 1 1.5 10 100 50 5 1.5 10 100 50 -4",
     true,
     {"    В станция \"5\" е записано измерване към точка \"5\"."}},
    {"a target height beyond 16 bits of millimetres stops",
     kG + "5 1.5 1 70 10 100 50 -4",
     true,
     {"    В станция \"5\" височина на сигнала към точка \"1\" \"70.000\" е над 65.535 м."}},
    {"two faces merged and reported",
     kG + "5 1.5  1 1.5 10.0000 98.0000 100  1 1.5 210.0020 302.0040 100.002 -4",
     false,
     {"    Визиране в две положения на телескопа.", "",
      "    Максимална разлика с Общо средно : ", "      за  хор. посоки :   10.0 сс. в ст.5 към т.1",
      "      за  зен. ъгли   :   20.0 сс. в ст.5 към т.1",
      "      за накл. разст. :    0.1 см. в ст.5 към т.1", "      за  хор. разст. :   не е открита разлика.",
      "", "    Средна индексна грешка : 20.0 сс. от 1 измервания."}},
    {"two faces give the mean direction, the corrected zenith angle, the mean distance",
     kG + "5 1.5  1 1.5 10.0000 98.0000 100  1 1.5 210.0020 302.0040 100.002 -4",
     false,
     {"     1     5  1500     1  1500"
      "   10.00100   97.99800  100.0010   99.9516"},
     kW},
    {"face II first gives the same row",
     kG + "5 1.5  1 1.5 210.0020 302.0040 100.002  1 1.5 10.0000 98.0000 100 -4",
     false,
     {"     1     5  1500     1  1500"
      "   10.00100   97.99800  100.0010   99.9516"},
     kW},
    {"faces 150 cc apart pass",
     kG + "5 1.5  1 1.5 10.0000 100 100  1 1.5 210.0150 300 100 -4",
     false,
     {"      за  хор. посоки :   75.0 сс. в ст.5 към т.1"}},
    {"faces 250 cc apart stop",
     kG + "5 1.5  1 1.5 10.0000 100 100  1 1.5 210.0250 300 100 -4",
     true,
     {"      за  хор. посоки :  125.0 сс. в ст.5 към т.1"}},
    {"zenith faces 250 cc apart stop",
     kG + "5 1.5  1 1.5 10 100 100  1 1.5 210 300.025 100 -4",
     true,
     {"      за  зен. ъгли   :  125.0 сс. в ст.5 към т.1"}},
    {"single sights in either face corrected for the index",
     kG + "5 1.5  1 1.5 250.0000 302.0010 100  2 1.5 50 98.0010 100 -4",
     false,
     {"     1     5  1500     1  1500"
      "   50.00000   98.00000  100.0000   99.9507",
      "     1     5  1500     2  1500"
      "   50.00000   98.00000  100.0000   99.9507"},
     kW,
     true,
     params(0.001)},
    {"repeated directions 8 cc apart are averaged",
     kG + "5 1.5  1 1.5 10.0000 0 0  2 1.5 50 0 0  1 1.5 10.0008 0 0 -4",
     false,
     {"                 за посока :    8.0 сс. в  ст.5 към т.1"}},
    {"repeated directions 200 cc apart stop",
     kG + "5 1.5  1 1.5 10.0000 0 0  2 1.5 50 0 0  1 1.5 10.0200 0 0 -4",
     true,
     {"    Голяма разлика в посока \"5\" - \"1\" =    10.00000 /   10.02000"}},
    {"a distance measured both ways 4 cm apart is reported",
     kG + "5 1.5  1 1.5 10 100 100.00 -4\n1 1.5  5 1.5 20 100 100.04 -4",
     false,
     {"             за разстояние :    4.0 см. за страната 5 - 1"}},
    {"a distance 15 cm too short stops",
     kG + "5 1.5  1 1.5 10 100 99.85 -4\n1 1.5  5 1.5 20 100 100.00 -4",
     true,
     {"    Голяма разлика в хор. разстояние \"5\" - \"1\" =    99.8500 /  100.0000"}},
    // Curvature less refraction (k = 0.106) lifts each of a reciprocal pair by
    // 0.894 s^2 / 12742 km: 0.7 mm at 100 m, 11.86 cm at 1300 m.
    {"reciprocal height differences that disagree are reported",
     kG + "5 2.734  1 1.5 10 100 100 -4\n1 1.5  5 2.7 20 100 100 -4",
     false,
     {"      повторени превишения :   не е открита.",
      "      прави и обратни пр-я :    3.5 см. за страната 5 - 1"}},
    {"a reciprocal pair of 1300 m seen below the horizon by the earth's curvature agrees",
     kG + "5 1.5  1 1.5 10 100.005806 1300 -4\n1 1.5  5 1.5 20 100.005806 1300 -4",
     false,
     {"      прави и обратни пр-я :   не е открита."}},
    {"repeated height differences 20 cm apart stop",
     kG + "5 2.734  1 1.5 10 100 100  2 1.5 30 100 50  1 1.3 10 100 100 -4",
     true,
     {"    Голяма разлика в превишение \"5\" - \"1\" =  0.2000"}},
    // Sections 4 to 7: orientation, joined records, averaging, projection.
    {"orientation averaged across the seam",
     kTwo + "1 1.5  2 1.5 100.0010 0 0  3 1.5 199.9990 0 0 -4",
     false,
     {"    Максим. разлика м/у ориент. неизвестни   10.0 сс. в ст.1 към т.2"}},
    {"oriented directions are direction angles",
     kTwo + "1 1.5  2 1.5 100.0010 0 0  3 1.5 199.9990 0 0 -4",
     false,
     {"     0     1  1500     2  1500"
      "  100.00100    0.00000    0.0000    0.0000",
      "     0     1  1500     3  1500"
      "  199.99900    0.00000    0.0000    0.0000"},
     kW},
    {"orientations that disagree stop",
     kTwo + "1 1.5  2 1.5 100.0000 0 0  3 1.5 200.0300 0 0 -4",
     true,
     {"      към     2   О =  400.00000 гр.", "      към     3   О =  399.97000 гр."}},
    {"a height-only point takes no part in the orientation",
     "1 1000 1000 -2 2 1000 1100 -2\n9 512.3 -1\n1 1.5  2 1.5 60 0 0  9 1.5 10 0 0 -4",
     false,
     {"     0     1  1500     9  1500"
      "   50.00000    0.00000    0.0000    0.0000"},
     kW},
    {"a second set of a new station joins the first",
     "1 1000 1000 -2 2 1000 1100 -2\n7 1.5  1 1.5 10 0 0  2 1.5 60 0 0  8 1.5 150 0 0 -4\n"
     "7 1.5  1 1.5 133.4 0 0  8 1.5 273.4012 0 0 -4",
     false,
     {"    Максим. разлика    6.0 сс. в ст.7 към т.1"}},
    {"a second set of a new station is averaged with the first",
     "1 1000 1000 -2 2 1000 1100 -2\n7 1.5  1 1.5 10 0 0  2 1.5 60 0 0  8 1.5 150 0 0 -4\n"
     "7 1.5  1 1.5 133.4 0 0  8 1.5 273.4012 0 0 -4",
     false,
     {"     1     7  1500     8  1500"
      "  150.00030    0.00000    0.0000    0.0000"},
     kW},
    {"repeats that disagree after joining stop",
     "1 1000 1000 -2 2 1000 1100 -2\n1 1.5  2 1.5 30 0 0  8 1.5 70 0 0 -4\n1 1.5  2 1.5 130 0 0  8 1.5 "
     "170.05 0 0 -4",
     true,
     {"        R =  140.00000   Разлика =    0.02500 гр.",
      "        R =  140.05000   Разлика =    0.02500 гр."}},
    {"the correction for the projection height is reported",
     "1 1000 1000 520 -3 2 1000 2000 530 -3 4 0 -1\n1 1.5  2 1.5 0 100 1000 -4",
     false,
     {"       Средна надм. височина от коти  525.0 [м]     ",
      "             Свързана с нея корекция   82.4 [мм/км] ",
      "             Зададена надм. височина  500.0 [м]     ",
      "       ВНЕСЕНА Е ЗАДАДЕНАТА КОРЕКЦИЯ   78.4 [мм/км] "},
     "VK/Protokol.TXT",
     true,
     params(0, 500)},
    // By 78.4 mm/km: 500 m over the projection radius of 6375.05 km.
    {"distances shortened for a projection height of 500 m",
     "1 1000 1000 520 -3 2 1000 2000 530 -3 4 0 -1\n1 1.5  2 1.5 0 100 1000 -4",
     false,
     {"     1     1  1500     2  1500"
      "    0.00000  100.00000 1000.0000  999.9216"},
     kW,
     true,
     params(0, 500)},
    // Section 8 and the network file.
    {"repeated observations count once",
     "1 1000 1000 500 -3 2 1000 1100 510 -3\n1 1.5  2 1.5 10 100 100  5 1.5 50 0 0  2 1.5 10 100 100 -4\n"
     "2 1.5  1 1.5 30 100 100 -4",
     false,
     {"    Измерени :    посоки :     3", "               зен. ъгли :     2",
      "           накл. разст-я :     1", "        (хориз. разст-я) :     1",
      "              превишения :     1"}},
    {"new points sorted, ten to a line",
     "100 1000 1000 -2 101 1000 1100 -2\n20 1.5 3 1.5 30 0 0 11 1.5 110 0 0 7 1.5 70 0 0 1 1.5 10 0 0 15 1.5 "
     "150 0 0 "
     "9 1.5 90 0 0 2 1.5 20 0 0 8 1.5 80 0 0 4 1.5 40 0 0 6 1.5 60 0 0 -4",
     false,
     {"        11   - брой нови точки           ",
      "    1     2     3     4     6     7     8     9    11    15 ", "   20 ", ""},
     kW},
    {"the network file heads its rows with the parameters and the given points",
     "1 4567891.23 8512345.67 512.346 -3 2 4567999.5 8512400 -2 3 519.874 -1\n1 1.562  2 1.8 382.48202 "
     "98.2374 542.236 -4",
     false,
     {"4567880.0 8512330.0 0.01000 0.1000 0.1000 0.106  - редукц. начало, параметри", "",
      "         3 - брой зададени точки", std::string(40, '~'), "vi    no     xk         yk        hk    ",
      std::string(40, '~'), " 3     1    11.2300    15.6700  512.3460",
      " 2     2   119.5000    70.0000    0.0000", " 1     3     0.0000     0.0000  519.8740",
      std::string(40, '~'), "", "1 1 1 - вид точки:  3D / 2D / 1D "},
     kW},
    {"the network file rows carry every quantity of a sight",
     "1 4567891.23 8512345.67 512.346 -3 2 4567999.5 8512400 -2 3 519.874 -1\n1 1.562  2 1.8 382.48202 "
     "98.2374 542.236 -4",
     false,
     {"     0     1  1562     2  1800"
      "   29.60838   98.23740  542.2360  542.0282",
      std::string(72, '~'), "", "1 1 1 1 1   - вид измервания:  R / V / S / D / dH"},
     kW},
};

class FieldData : public ::testing::TestWithParam<Case> {};

TEST_P(FieldData, WritesItsLinesAndStopsOnlyWhereItMust) {
    const Case& c = GetParam();
    Folder f;
    f.write("VK/Geo_Data.txt", "header\nheader\nheader\n" + c.data + "\n");
    if (!c.params.empty()) f.write("P.txt", c.params);
    EXPECT_EQ(run_program(f, "vokram1"), c.stops ? 1 : 0) << f.read(kCon);
    EXPECT_EQ(f.read("Temp/Key.tmp"), c.stops ? "0\r\n" : "1\r\n");
    if (c.file == kCon)
        EXPECT_NE(f.read(kCon).find(c.lines[0]), std::string::npos) << f.read(kCon);
    else if (c.present)
        EXPECT_TRUE(has_block(f.lines(c.file), c.lines));
    else
        EXPECT_FALSE(has_block(f.lines(c.file), c.lines));
}

INSTANTIATE_TEST_SUITE_P(Rows, FieldData, ::testing::ValuesIn(kCases), ByBehaviour());

}  // namespace
}  // namespace vk::test
