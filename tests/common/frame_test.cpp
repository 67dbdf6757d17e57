// The working folder, the run token and the two ways a module ends early.
#include "vokram/frame.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "vokram/console.hpp"

namespace vk {
namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path root = fs::temp_directory_path() /
                    ("vokram_frame_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                     "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    Folder() {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~Folder() { fs::remove_all(root); }
};

TEST(Workspace, FindsFilesAndFoldersInAnyLetterCase) {
    Folder f;
    fs::create_directories(f.root / "vk");
    fs::create_directories(f.root / "Temp");
    { std::ofstream(f.root / "vk" / "PROTOKOL.TXT") << "x"; }
    const Workspace ws(f.root);
    EXPECT_EQ(ws.file("VK/Protokol.txt"), f.root / "vk" / "PROTOKOL.TXT");
    EXPECT_EQ(ws.file("VK/Protokol.TXT"), f.root / "vk" / "PROTOKOL.TXT");
    EXPECT_EQ(ws.file("Temp/Key.tmp"), f.root / "Temp" / "Key.tmp");  // a new file keeps the given name
    try {
        ws.file("Missing/x.txt");
        FAIL();
    } catch (const FatalIo& e) {
        EXPECT_EQ(e.code, kFolderNotFound);
    }
}

TEST(RunToken, WrittenWithCrLfAndReadBack) {
    Folder f;
    fs::create_directories(f.root / "Temp");
    const Workspace ws(f.root);
    try {
        read_token(ws);
        FAIL() << "a missing token must be fatal";
    } catch (const FatalIo& e) {
        EXPECT_EQ(e.code, kFileNotFound);
    }
    write_token(ws, 0);
    EXPECT_EQ(read_token(ws), 0);
    write_token(ws, 1);
    EXPECT_EQ(read_token(ws), 1);
    std::ifstream in(f.root / "Temp" / "Key.tmp", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "1\r\n");
}

TEST(RunFrame, StopRunsTheStopSequenceAndFatalErrorsGiveTheirCode) {
    ScriptedConsole con;
    bool stopped = false;
    EXPECT_EQ(run_frame(
                  con, [] { throw ModuleStop{}; }, [&] { stopped = true; }),
              0);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(run_frame(
                  con,
                  [] {
                      throw FatalIo{kFileNotFound, "Temp/VK_1.tmp: файлът не съществува"};
                  },
                  [] {}),
              kFileNotFound);
    ASSERT_EQ(con.errors.size(), 1u);
    EXPECT_NE(con.errors[0].find("Temp/VK_1.tmp"), std::string::npos);
    EXPECT_EQ(run_frame(
                  con, [] {}, [] { FAIL(); }),
              0);
}

TEST(ScriptedConsole, EndOfAnswersIsAFatalInputError) {
    ScriptedConsole con;
    con.keys = {'1'};
    EXPECT_EQ(con.read_key(), '1');
    EXPECT_THROW(con.read_key(), FatalIo);
    EXPECT_THROW(con.read_line(), FatalIo);
}

}  // namespace
}  // namespace vk
