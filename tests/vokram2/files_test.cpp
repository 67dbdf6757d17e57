// The files of a successful run, line by line and byte by byte: "Temp/VK_2.tmp" for
// vokram4 and vokram5, the coordinate register, "VK/Surface.txt", "VK/VK_2.scr" and
// "VK/VK_2.cad". The network is chosen so that every printed value is exact: sights
// along the axes, level zenith angles and whole-metre distances.
#include "builder.hpp"

namespace vk::v2 {
namespace {

using namespace test;

// Given 1, 2 (plane and height), 3 (plane only), 4 (height only); new 10 (polar with
// zenith angle: plane and height), 11 (polar: plane only), 12 (a direction only:
// undetermined) and 13 (levelled only: height only).
Survey results_network() {
    Survey s;
    s.k = 1.0;  // no curvature term: a level sight between equal sign heights gives V = 100
    s.points({{1, 100, 100, 50, 3}, {2, 500, 100, 55, 3}, {3, 260, 480, 0, 2}, {4, 0, 0, 52.5, 1}});
    s.points({{10, 100, 400, 50}, {11, 100, -150, 0}, {12, 300, 300, 0}, {13, 600, 100, 55}});
    return s.measure({{1, 1, 2, kR}, {1, 1, 10, kR | kD | kV | kS}, {1, 1, 11, kR | kD}, {1, 1, 12, kR}})
        .measure({{2, 2, 13, kV | kS}});
}

// The lines of a file must also be its bytes: Windows-1251 with CR LF after every line.
void expect_text(const Folder& dir, const std::string& rel, std::string text) {
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
    EXPECT_EQ(dir.read(rel), to_cp1251(text)) << rel;
}
void expect_bytes(const Folder& dir, const std::string& rel, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    expect_text(dir, rel, text);
}

TEST(Results, FilesOfASuccessfulRun) {
    Folder dir("results", results_network());
    ScriptedConsole con;
    ASSERT_EQ(run(con, dir.root), 0);
    EXPECT_EQ(dir.read("Temp/Key.tmp"), "1\r\n");
    EXPECT_TRUE(con.showed("РЕШЕНИЕ - ЗАВЪРШЕНО. "));
    EXPECT_EQ(con.waits, 1);
    const std::string t40(40, '~'), t38(38, '~');
    const char* const head = "vi    no     xk         yk        hk    ";
    expect_bytes(dir, "Temp/VK_2.tmp",
                 {
                     "",
                     "Резултати от модул  * ВОКРАМ-2 *",
                     std::string(32, '~'),
                     "",
                     "4567000.0 8512000.0 - редукционно начало",
                     "",
                     "         4 - брой зададени точки",
                     t40,
                     head,
                     t40,
                     " 3     1   100.0000   100.0000   50.0000",
                     " 3     2   500.0000   100.0000   55.0000",
                     " 2     3   260.0000   480.0000 -999.0000",
                     " 1     4     0.0000     0.0000   52.5000",
                     "",
                     "         3 - брой нови точки",
                     t40,
                     head,
                     t40,
                     " 3    10   100.0000   400.0000   50.0000",
                     " 2    11   100.0000  -150.0000 -999.0000",
                     " 1    13     0.0000     0.0000   55.0000",
                     "",
                     "         3 - брой посоки и/или страни ",
                     t38,
                     "    ps    ns    nt    R          D    ",
                     t38,
                     // Directions along the axes minus the orientation 128.5004 of series 1.
                     "     1     1     2 271.49960    0.0000",
                     "     1     1    10 371.49960  300.0000",
                     "     1     1    11 171.49960  250.0000",
                     t38,
                     "",
                 });
    dir.expect_tail("VK/Protokol.TXT", {
                                           "    Точки без позиция(x,y) с известна кота(h).",
                                           "",
                                           "      Дадени:",
                                           "                    4     52.5000",
                                           "",
                                           "      Нови:  ",
                                           "                   13     55.0000",
                                           "",
                                           "    Неопределени точки:",
                                           "    12 ",
                                           "",
                                           "       КООРДИНАТЕН РЕГИСТЪР",
                                           "",
                                           "       Дадени точки, участвали в решението:  ",
                                           "       номер        сев./юг         изт./зап.  височина",
                                           "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]",
                                           "           1    4567100.0000    8512100.0000    50.0000",
                                           "           2    4567500.0000    8512100.0000    55.0000",
                                           "           3    4567260.0000    8512480.0000",
                                           "           4                                    52.5000",
                                           "",
                                           "       Нови точки:",
                                           "       номер        сев./юг         изт./зап.  височина",
                                           "       ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~ [м.]",
                                           "          10    4567100.0000    8512400.0000    50.0000",
                                           "          11    4567100.0000    8511850.0000           ",
                                           "          13                                    55.0000",
                                           "",
                                       });
    expect_bytes(dir, "VK/Surface.txt",
                 {
                     "8512100.00 4567100.00 50.00",
                     "8512100.00 4567500.00 55.00",
                     "8512400.00 4567100.00 50.00",
                 });
    expect_bytes(dir, "VK/VK_2.cad",
                 {
                     "HEADER                           ",
                     "  VERSION     1.00               ",
                     "  EKNM        10135              ",
                     "  PROGRAM     Vokram             ",
                     "  REFERENCE  4567000.000 8512000.000",
                     "END_HEADER                       ",
                     "",
                     "LAYER CADASTER",
                     "P   2  2000001    100.000    100.000     50.000 4 4",
                     "P   2  2000002    500.000    100.000     55.000 4 4",
                     "P   2  2000003    260.000    480.000      0.000 4 4",
                     "P  20 20000010    100.000    400.000     50.000 8 8",
                     "P  20 20000011    100.000   -150.000      0.000 8 8",
                     "END_LAYER",
                 });
    expect_text(dir, "VK/VK_2.scr", R"(ucsicon off osnap none ortho off
rectangle 8511830,4567080 8512500,4567520
zoom window 8511820,4567070 8512510,4567530
layer s 2D_Points

insert tri 8512100.0000,4567100.0000 0.200  0
insert tri 8512100.0000,4567500.0000 0.200  0
insert tri 8512480.0000,4567260.0000 0.200  0
insert cir 8512400.0000,4567100.0000 0.200  0
insert cir 8511850.0000,4567100.0000 0.200  0
layer s 2D_Names

text 8512100.160,4567100.100 0.200 0 1
text 8512100.160,4567500.100 0.200 0 2
text 8512480.160,4567260.100 0.200 0 3
text 8512400.160,4567100.100 0.200 0 10
text 8511850.160,4567100.100 0.200 0 11
layer s 2D_Altitudes

text 8512100.160,4567099.800 0.200 0 50.00
text 8512100.160,4567499.800 0.200 0 55.00
text 8512400.160,4567099.800 0.200 0 50.00
layer s 3D_Points

insert tri 8512100.0000,4567100.0000,50.0000 0.200  0
insert tri 8512100.0000,4567500.0000,55.0000 0.200  0
insert cir 8512400.0000,4567100.0000,50.0000 0.200  0
layer s 3D_Names

text 8512100.160,4567100.100,50.000 0.200 0 1
text 8512100.160,4567500.100,55.000 0.200 0 2
text 8512400.160,4567100.100,50.000 0.200 0 10
layer s 3D_Altitudes

text 8512100.160,4567099.800,50.000 0.200 0 50.00
text 8512100.160,4567499.800,55.000 0.200 0 55.00
text 8512400.160,4567099.800,50.000 0.200 0 50.00
layer s Measured_R

line 8512100.0000,4567100.0000 8512100.0000,4567500.0000

line 8512100.0000,4567100.0000 8512400.0000,4567100.0000

line 8512100.0000,4567100.0000 8511850.0000,4567100.0000

layer s Measured_D

line 8512100.0000,4567100.0000 8512400.0000,4567100.0000

line 8512100.0000,4567100.0000 8511850.0000,4567100.0000

layer s Measured_V

line 8512100.0000,4567100.0000,51.5000 8512400.0000,4567100.0000,51.5000

layer s Measured_S

line 8512100.0000,4567100.0000,51.5000 8512400.0000,4567100.0000,51.5000

layer s Measured_HS

line 8512100.0000,4567100.0000,50.0000 8512100.0000,4567100.0000,51.5000

line 8512100.0000,4567500.0000,55.0000 8512100.0000,4567500.0000,56.5000

layer s Measured_HT

line 8512100.0000,4567500.0000,55.0000 8512100.0000,4567500.0000,56.5000

line 8512400.0000,4567100.0000,50.0000 8512400.0000,4567100.0000,51.5000

layer s Situation

regen
)");
}

TEST(Results, DrawingValuesComeFromTheParameterFile) {
    Folder dir("ptxt", results_network());
    std::string p_txt;
    for (int i = 1; i <= 11; ++i) p_txt += "   0.0100  [гради]\r\n";
    p_txt += "   0.5     [м.]     височина на текст в чертежа, извън мащаб     \r\n";
    p_txt += "   3       [брой]   брой знаци след дес. точка за коти в чертежа \r\n";
    dir.write("P.txt", to_cp1251(p_txt));
    ScriptedConsole con;
    ASSERT_EQ(run(con, dir.root), 0);
    const auto scr = dir.lines("VK/VK_2.scr");
    EXPECT_TRUE(has(scr, "text 8512100.400,4567100.250 0.500 0 1"));
    EXPECT_TRUE(has(scr, "text 8512100.400,4567099.500 0.500 0 50.000"));
    EXPECT_TRUE(has(scr, "insert tri 8512100.0000,4567100.0000 0.500  0"));
}

}  // namespace
}  // namespace vk::v2
