// The working folder, the run token and the two ways a module ends early.
#include "vokram/frame.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "vokram/command_line.hpp"
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

TEST(RunFrame, EveryEndingGivesItsStatusAndOneErrorLine) {
    const std::function<std::string()> reason = [] {
        return std::string("Дадени точки с еднакъв номер \"1\".");
    };
    struct Case {
        std::function<void()> body;
        int status;
        std::string error;  // empty: no error line
    } cases[] = {
        {[] {}, 0, ""},
        {[] { throw ModuleStop{}; }, kStopped, "Дадени точки с еднакъв номер \"1\"."},
        {[] { throw ModuleStop{"липсва файл VK/Geo_Data.txt"}; }, kStopped, "липсва файл VK/Geo_Data.txt"},
        {[] { throw ChainBlocked{}; }, kStopped, "Temp/Key.tmp е 0"},
        {[] {
             throw FatalIo{kFileNotFound, "Temp/VK_1.tmp: файлът не съществува"};
         },
         kFileNotFound, "Temp/VK_1.tmp"},
    };
    for (const Case& c : cases) {
        ScriptedConsole con;
        EXPECT_EQ(run_frame(con, c.body, reason), c.status) << c.error;
        ASSERT_EQ(con.errors.size(), c.error.empty() ? 0u : 1u) << c.error;
        if (!c.error.empty()) {
            EXPECT_NE(con.errors[0].find(c.error), std::string::npos) << con.errors[0];
        }
    }
}

TEST(CommandLine, DeclaredOptionsFolderAndUsageErrors) {
    using O = CommandLine::Outcome;
    struct Case {
        std::vector<std::string> args;
        O outcome;
        std::string folder, page;
        bool adopt;
    } cases[] = {
        {{}, O::run, ".", "", false},
        {{"--adopt", "bela-voda"}, O::run, "bela-voda", "", true},
        {{"--page", "A3", "--", "-odd"}, O::run, "-odd", "A3", false},
        {{"--page=A4", "--help", "--nonsense"}, O::help, ".", "A4", false},
        {{"--version"}, O::version, ".", "", false},
        {{"--page", "A5"}, O::usage_error, ".", "", false},
        {{"--page"}, O::usage_error, ".", "", false},
        {{"--adopt=1"}, O::usage_error, ".", "", false},
        {{"-v"}, O::usage_error, ".", "", false},
        {{"a", "b"}, O::usage_error, "a", "", false},
    };
    for (const Case& c : cases) {
        CommandLine cl("vokram-plot", "Чертае план.");
        cl.flag("--adopt", "поема изравнените координати")
            .value("--page", "ЛИСТ", "формат на листа", {"A4", "A3"});
        EXPECT_EQ(cl.parse(c.args), c.outcome) << c.args.size();
        EXPECT_EQ(cl.folder(), c.folder);
        EXPECT_EQ(cl.get("--page"), c.page);
        EXPECT_EQ(cl.has("--adopt"), c.adopt);
        EXPECT_NE(cl.help().find("--page ЛИСТ         формат на листа (A4, A3)"), std::string::npos)
            << cl.help();
    }
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
