// Number formatting, the Windows-1251 writer and the free-format reader.
#include "vokram/text.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "vokram/frame.hpp"

namespace vk {
namespace {

TEST(Format, RealsAndWholesInTheirFields) {
    struct Case {
        double v;
        int w, d;
        const char* out;
    } cases[] = {
        {0.106, 8, 3, "   0.106"},       {0.0, 4, 0, "   0"},     {0.0, 6, 1, "   0.0"},
        {0.0, 10, 5, "   0.00000"},      {3.14159, 0, 2, "3.14"}, {-1.25, 8, 2, "   -1.25"},
        {123456.789, 6, 2, "123456.79"},  // widens rather than cut a digit
        {-0.00001, 6, 1, "   0.0"},       // negative zero prints as zero
        {-0.0, 0, 4, "0.0000"},          {-0.04, 0, 1, "0.0"},    {-0.06, 0, 1, "-0.1"},
        {4567790.0, 0, 1, "4567790.0"},  {2.5, 0, 0, "2"},  // ties to even, as the C library rounds
    };
    for (const auto& c : cases) EXPECT_EQ(real(c.v, c.w, c.d), c.out) << c.v << " " << c.w << ":" << c.d;
    EXPECT_EQ(whole(5, 10), "         5");
    EXPECT_EQ(whole(123456, 3), "123456");
    EXPECT_EQ(whole(-7), "-7");
    EXPECT_EQ(in_quotes(whole(12)), "\"12\"");
}

TEST(TextFile, WritesWindows1251WithCrLf) {
    const auto dir = std::filesystem::temp_directory_path() / "vokram_text_test";
    std::filesystem::create_directories(dir);
    const auto path = dir / "out.txt";
    {
        TextFile f(path, TextFile::Mode::create);
        f.line("Приети 5 точки.").put("abc").endl();
        f.close();
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "\xCF\xF0\xE8\xE5\xF2\xE8 5 \xF2\xEE\xF7\xEA\xE8.\r\nabc\r\n");
    {
        TextFile f(path, TextFile::Mode::append);
        f.line("x");
        f.close();
    }
    std::ifstream again(path, std::ios::binary);
    const std::string appended((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
    EXPECT_EQ(appended, bytes + "x\r\n");
    std::filesystem::remove_all(dir);
}

TEST(TextFile, ReplaceLeavesTheOldFileUntilClosedAndNothingWhenAbandoned) {
    const auto dir = std::filesystem::temp_directory_path() / "vokram_replace_test";
    std::filesystem::create_directories(dir);
    const auto path = dir / "VK_1.tmp";
    { std::ofstream(path) << "old"; }
    {
        TextFile f(path, TextFile::Mode::replace);
        f.line("new");
        // abandoned, as when a stage fails half way
    }
    std::ifstream kept(path);
    std::string word;
    kept >> word;
    EXPECT_EQ(word, "old");
    EXPECT_FALSE(std::filesystem::exists(dir / "VK_1.tmp.part"));
    {
        TextFile f(path, TextFile::Mode::replace);
        f.line("new");
        f.close();
    }
    std::ifstream now(path);
    now >> word;
    EXPECT_EQ(word, "new");
    std::filesystem::remove_all(dir);
}

TEST(TextFile, FullDiskIsAFatalWriteError) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    try {
        TextFile f("/dev/full", TextFile::Mode::append);
        f.line(std::string(100000, 'x'));
        f.close();
        FAIL() << "no error on a full disk";
    } catch (const FatalIo& e) {
        EXPECT_EQ(e.code, kWriteError);
    }
}

TEST(NumberReader, ReadsNumbersAcrossLineEndsOfEitherKind) {
    for (const char* text : {"h1\nh2\n 1 2.5\n-3e2\t.5 7.\n", "h1\r\nh2\r\n 1 2.5\r\n-3e2\t.5 7.\r\n"}) {
        NumberReader r(text, "t");
        r.skip_lines(2);
        EXPECT_EQ(r.number(), 1.0);
        EXPECT_EQ(r.number(), 2.5);
        r.skip_line();
        EXPECT_EQ(r.number(), -300.0);
        EXPECT_EQ(r.number(), 0.5);
        EXPECT_EQ(r.number(), 7.0);
        EXPECT_TRUE(r.at_end());
        double v;
        EXPECT_EQ(r.next(v), NumberReader::Got::end);
    }
}

TEST(NumberReader, RejectsWhatIsNotADecimalNumber) {
    for (const char* token : {"nan", "NaN", "inf", "-Infinity", "0x1p3", "1,5", "12a", "e5", ".", "-", "1e",
                              "1e+", "1e999", "--1", "1.2.3"}) {
        NumberReader r(token, "t");
        double v;
        EXPECT_EQ(r.next(v), NumberReader::Got::bad) << token;
    }
    NumberReader ok("+4 1E-3 1e-400", "t");
    EXPECT_EQ(ok.number(), 4.0);
    EXPECT_EQ(ok.number(), 0.001);
    EXPECT_EQ(ok.number(), 0.0);  // below the smallest double: zero
}

TEST(NumberReader, EarlyEndAndBadTokensAreFatalInputErrorsNamingTheFile) {
    NumberReader r("1 x\n", "Temp/VK_1.tmp");
    EXPECT_EQ(r.integer(0, 10), 1);
    try {
        r.number();
        FAIL();
    } catch (const FatalIo& e) {
        EXPECT_EQ(e.code, kBadNumber);
        EXPECT_NE(e.message.find("Temp/VK_1.tmp:1: \"x\" не е число"), std::string::npos) << e.message;
    }
    try {
        r.number();
        FAIL();
    } catch (const FatalIo& e) {
        EXPECT_EQ(e.code, kReadError);
    }
    NumberReader big("70000 2.5", "t");
    EXPECT_THROW(big.integer(0, 65535), FatalIo);
    EXPECT_THROW(big.integer(0, 65535), FatalIo);  // not whole
}

TEST(NumberReader, CtrlZEndsTheText) {
    NumberReader r("1 2\x1a garbage", "t");
    EXPECT_EQ(r.number(), 1.0);
    EXPECT_EQ(r.number(), 2.0);
    EXPECT_TRUE(r.at_end());
}

}  // namespace
}  // namespace vk
