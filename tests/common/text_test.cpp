// Number formatting, the Windows-1251 writer and the free-format reader: each case is a
// text the suite writes or reads, against the text it must be.
#include "vokram/text.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/cases.hpp"
#include "vokram/folder_lock.hpp"
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

// The value of line `line` of a parameter file that holds `value` there and usual values on
// its other lines, or the fatal error that ends the reading.
std::string parameter(int line, const std::string& value) {
    const char* usual[] = {"0.01", "0.1", "0.1", "0", "0.106", "0", "0", "0", "0.2", "2"};
    std::string text = "~\n~\n~\n";
    for (int l = kFirstParameterLine; l <= kLastParameterLine; ++l)
        text += (l == line ? value : usual[l - kFirstParameterLine]) + std::string(" [m]\n");
    NumberReader r(text, "P.txt");
    try {
        return real(parse_parameters(r).in_file_order()[line - kFirstParameterLine], 0, 4);
    } catch (const FatalIo& e) {
        return "error " + std::to_string(e.code) + ": " + e.message;
    }
}

// The bytes of a file written with `lines`, then abandoned half way by a second writer
// that replaces it.
std::string written(const std::vector<std::string>& lines) {
    // The cases are built in every process of this test program, and ctest runs several at
    // once: each writes its own file.
    const auto path =
        std::filesystem::temp_directory_path() / ("vokram_text_test_" + std::to_string(::getpid()) + ".txt");
    const std::filesystem::path outside = path.string() + ".outside";
    {
        TextFile f(path, TextFile::Mode::create);
        for (const std::string& l : lines) f.line(l);
        f.close();
        // A link planted at the replacement's temporary name is removed, never written through.
        std::error_code ec;
        std::filesystem::create_symlink(outside, temporary_name(path), ec);
        TextFile abandoned(path, TextFile::Mode::replace);
        abandoned.line("half");
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();  // Windows removes no file that is open
    std::filesystem::remove(path);
    if (std::filesystem::remove(outside)) bytes += " (written through a link)";
    return bytes;
}

using test::PrintTo;

struct Case {
    const char* behaviour;
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
    {"Windows-1251 with CR LF, an abandoned replacement leaving the file"
     " and writing nothing through a link",
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
    {"a parameter at the bound of its range", parameter(7, "-500"), "-500.0000"},
    {"a projection height beyond its range", parameter(7, "1e308"),
     "error 106: P.txt:7: \"1e308\" извън границите от -500 до 9000"},
    {"a refraction coefficient beyond its range", parameter(8, "1e308"),
     "error 106: P.txt:8: \"1e308\" извън границите от -1 до 1"},
    {"a tolerance below zero", parameter(5, "-0.001"),
     "error 106: P.txt:5: \"-0.001\" извън границите от 0 до 10"},
    {"no text height", parameter(12, "0"), "error 106: P.txt:12: \"0\" извън границите от 0.001 до 100"},
    {"decimals of heights not whole", parameter(13, "2.5"),
     "error 106: P.txt:13: \"2.5\" не е цяло число от 0 до 6"},
};

class Text : public ::testing::TestWithParam<Case> {};

TEST_P(Text, WrittenAndReadAsTheSuiteNeedsIt) {
    EXPECT_EQ(GetParam().got, GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(Values, Text, ::testing::ValuesIn(kCases), test::ByBehaviour());

TEST(Text, ANumberPastTheEndIsAReadError) {
    NumberReader early("1", "Temp/VK_2.tmp");
    EXPECT_EQ(early.integer(0, 10), 1);
    try {
        early.number();
        ADD_FAILURE() << "no error at the end of the file";
    } catch (const FatalIo& e) {
        EXPECT_EQ(e.code, kReadError);
    }
}

}  // namespace
}  // namespace vk
