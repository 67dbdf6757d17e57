// Number formatting, the Windows-1251 writer and the free-format reader: each case is a
// text the suite writes or reads, against the text it must be.
#include "vokram/text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "vokram/frame.hpp"
#include "vokram/parameters.hpp"

namespace vk {
namespace {

// Every number of `text` after its first line, or the fatal error that ends the reading.
std::string read_all(const std::string& text) {
    NumberReader r(text, "Temp/VK_1.tmp");
    r.skip_line();
    std::string out;
    try {
        while (!r.at_end()) out += real(r.number(), 0, 4) + " ";
    } catch (const FatalIo& e) {
        out += "error " + std::to_string(e.code) + ": " + e.message;
    }
    return out;
}

// The bytes of a file written with `lines`, then abandoned half way by a second writer
// that replaces it.
std::string written(const std::vector<std::string>& lines) {
    const auto path = std::filesystem::temp_directory_path() / "vokram_text_test.txt";
    {
        TextFile f(path, TextFile::Mode::create);
        for (const std::string& l : lines) f.line(l);
        f.close();
        TextFile abandoned(path, TextFile::Mode::replace);
        abandoned.line("half");
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return bytes;
}

struct Case {
    const char* what;
    std::string got, want;
};

const Case kCases[] = {
    {"a real in its field", real(0.106, 8, 3), "   0.106"},
    {"no leading blanks", real(3.14159, 0, 2), "3.14"},
    {"a negative real", real(-1.25, 8, 2), "   -1.25"},
    {"widened rather than cut", real(123456.789, 6, 2), "123456.79"},
    {"negative zero as zero", real(-0.00001, 6, 1), "   0.0"},
    {"negative zero without a field", real(-0.0, 0, 4), "0.0000"},
    {"rounded away from zero", real(-0.06, 0, 1), "-0.1"},
    {"ties to even", real(2.5, 0, 0), "2"},
    {"a whole number in its field", whole(5, 10), "         5"},
    {"a whole number wider than its field", whole(123456, 3), "123456"},
    {"Windows-1251 with CR LF, an abandoned replacement leaving the file",
     written({"Приети 5 точки.", "abc"}), "\xCF\xF0\xE8\xE5\xF2\xE8 5 \xF2\xEE\xF7\xEA\xE8.\r\nabc\r\n"},
    {"numbers across line ends of either kind", read_all("h1\n 1 2.5\r\n-3e2\t.5 7.\n+4 1E-3 1e-400"),
     "1.0000 2.5000 -300.0000 0.5000 7.0000 4.0000 0.0010 0.0000 "},
    {"a Ctrl-Z ends the text", read_all("h\n1 2\x1a garbage"), "1.0000 2.0000 "},
    {"a word is a bad number on its line", read_all("h\n1\n2 x"),
     "1.0000 2.0000 error 106: Temp/VK_1.tmp:3: \"x\" не е число"},
    {"not a decimal number", read_all("h\nnan"), "error 106: Temp/VK_1.tmp:2: \"nan\" не е число"},
    {"a hexadecimal float", read_all("h\n0x1p3"), "error 106: Temp/VK_1.tmp:2: \"0x1p3\" не е число"},
    {"a decimal comma", read_all("h\n1,5"),
     "error 106: Temp/VK_1.tmp:2: \"1,5\" не е число (десетичният знак е точка: 1.5)"},
    {"a lone point", read_all("h\n."), "error 106: Temp/VK_1.tmp:2: \".\" не е число"},
    {"an exponent without digits", read_all("h\n1e+"), "error 106: Temp/VK_1.tmp:2: \"1e+\" не е число"},
    {"beyond a double", read_all("h\n1e999"), "error 106: Temp/VK_1.tmp:2: \"1e999\" не е число"},
};

TEST(Text, EachValueIsWrittenAndReadAsTheSuiteNeedsIt) {
    for (const Case& c : kCases) EXPECT_EQ(c.got, c.want) << c.what;
    NumberReader early("1", "Temp/VK_2.tmp");
    EXPECT_EQ(early.integer(0, 10), 1);
    try {
        early.number();
        ADD_FAILURE() << "no error at the end of the file";
    } catch (const FatalIo& e) {
        EXPECT_EQ(e.code, kReadError);
    }
}

// Every value of the parameter file has a range: its bounds are taken, and a value past one
// stops the reading with a bad number that names the line.
TEST(Parameters, EveryValueHasARange) {
    const std::vector<std::string> defaults = {"0.01", "0.1", "0.1", "0", "0.106", "0", "0", "0", "0.2", "2"};
    const struct {
        int line;
        const char *inside, *outside;
    } cases[] = {{4, "1", "1.001"},  {5, "0", "-0.001"},    {6, "10", "10.5"},      {7, "-500", "1e308"},
                 {8, "-1", "1e308"}, {9, "1000", "1000.1"}, {10, "-1000", "-2000"}, {11, "1", "-1.01"},
                 {12, "0.001", "0"}, {13, "6", "2.5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        for (const char* value : {c.inside, c.outside}) {
            std::string text = "~\n~\n~\n";
            for (int line = kFirstParameterLine; line <= kLastParameterLine; ++line)
                text +=
                    (line == c.line ? value : defaults[line - kFirstParameterLine]) + std::string(" [m]\n");
            NumberReader r(text, "P.txt");
            if (value == c.inside) {
                EXPECT_EQ(read_parameters(r, kFirstParameterLine, kLastParameterLine)[c.line - 4],
                          std::strtod(value, nullptr));
                continue;
            }
            try {
                read_parameters(r, kFirstParameterLine, kLastParameterLine);
                ADD_FAILURE() << value << " taken";
            } catch (const FatalIo& e) {
                EXPECT_EQ(e.code, kBadNumber);
                EXPECT_NE(e.message.find("P.txt:" + std::to_string(c.line) + ":"), std::string::npos)
                    << e.message;
            }
        }
    }
}

}  // namespace
}  // namespace vk
