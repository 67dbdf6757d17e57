// The common command line of the programs: the options each program declares, the survey
// folder, and what is a usage error (status 64).
#include "vokram/command_line.hpp"

#include <gtest/gtest.h>

namespace vk {
namespace {

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

TEST(CommandLine, FilesAfterTheFolder) {
    using O = CommandLine::Outcome;
    const std::string folder = testing::TempDir();  // a folder that exists
    struct Case {
        std::vector<std::string> args;
        O outcome;
        std::string folder;
        std::vector<std::string> files, given;
    } cases[] = {
        {{"a.gsi"}, O::run, ".", {"a.gsi"}, {}},
        {{"--given", "g1", folder, "a.gsi", "--given=g2", "b.sdr"},
         O::run,
         folder,
         {"a.gsi", "b.sdr"},
         {"g1", "g2"}},
        {{"a.gsi", folder}, O::run, ".", {"a.gsi", folder}, {}},
        {{folder}, O::usage_error, ".", {folder}, {}},
        {{}, O::usage_error, ".", {}, {}},
    };
    for (const Case& c : cases) {
        CommandLine cl("vokram-import", "Внася.");
        cl.operands("ФАЙЛ", "сурови файлове").value("--given", "ФАЙЛ", "дадени точки");
        EXPECT_EQ(cl.parse(c.args), c.outcome) << c.args.size();
        EXPECT_EQ(cl.folder(), c.folder);
        EXPECT_EQ(cl.operands(), c.files);
        EXPECT_EQ(cl.values("--given"), c.given);
        EXPECT_EQ(cl.usage(), "Употреба: vokram-import [ОПЦИИ] [ПАПКА] ФАЙЛ...");
    }
}

}  // namespace
}  // namespace vk
