// The common command line of the programs: the options each program declares, the survey
// folder, and what is a usage error (status 64).
#include "vokram/command_line.hpp"

#include <gtest/gtest.h>

#include "support/cases.hpp"

namespace vk {
namespace {

using O = CommandLine::Outcome;
using test::PrintTo;

struct Declared {
    const char* behaviour;
    std::vector<std::string> args;
    O outcome;
    std::string folder, page;
    bool adopt;
};

const Declared kDeclared[] = {
    {"no arguments run in the current folder", {}, O::run, ".", "", false},
    {"a flag and a folder", {"--adopt", "bela-voda"}, O::run, "bela-voda", "", true},
    {"a value, and after -- a folder that begins with a dash",
     {"--page", "A3", "--", "-odd"},
     O::run,
     "-odd",
     "A3",
     false},
    {"help before an unknown option is help",
     {"--page=A4", "--help", "--nonsense"},
     O::help,
     ".",
     "A4",
     false},
    {"the version", {"--version"}, O::version, ".", "", false},
    {"a value outside its choices is a usage error", {"--page", "A5"}, O::usage_error, ".", "", false},
    {"an option without its value is a usage error", {"--page"}, O::usage_error, ".", "", false},
    {"a flag with a value is a usage error", {"--adopt=1"}, O::usage_error, ".", "", false},
    {"an undeclared option is a usage error", {"-v"}, O::usage_error, ".", "", false},
    {"two folders are a usage error", {"a", "b"}, O::usage_error, "a", "", false},
};

class DeclaredOptions : public ::testing::TestWithParam<Declared> {};

TEST_P(DeclaredOptions, FolderAndUsageErrors) {
    const Declared& c = GetParam();
    CommandLine cl("vokram-plot", "Чертае план.");
    cl.flag("--adopt", "поема изравнените координати")
        .value("--page", "ЛИСТ", "формат на листа", {"A4", "A3"});
    EXPECT_EQ(cl.parse(c.args), c.outcome);
    EXPECT_EQ(cl.folder(), c.folder);
    EXPECT_EQ(cl.get("--page"), c.page);
    EXPECT_EQ(cl.has("--adopt"), c.adopt);
    EXPECT_NE(cl.help().find("--page ЛИСТ         формат на листа (A4, A3)"), std::string::npos) << cl.help();
}

INSTANTIATE_TEST_SUITE_P(CommandLine, DeclaredOptions, ::testing::ValuesIn(kDeclared), test::ByBehaviour());

const std::string kFolder = testing::TempDir();  // a folder that exists

struct Operands {
    const char* behaviour;
    std::vector<std::string> args;
    O outcome;
    std::string folder;
    std::vector<std::string> files, given;
};

const Operands kOperands[] = {
    {"a file alone in the current folder", {"a.gsi"}, O::run, ".", {"a.gsi"}, {}},
    {"a folder, then files and a repeated value in either spelling",
     {"--given", "g1", kFolder, "a.gsi", "--given=g2", "b.sdr"},
     O::run,
     kFolder,
     {"a.gsi", "b.sdr"},
     {"g1", "g2"}},
    {"a folder after a file is a file", {"a.gsi", kFolder}, O::run, ".", {"a.gsi", kFolder}, {}},
    {"a folder without files is a usage error", {kFolder}, O::usage_error, ".", {kFolder}, {}},
    {"no files are a usage error", {}, O::usage_error, ".", {}, {}},
};

class FilesAfterTheFolder : public ::testing::TestWithParam<Operands> {};

TEST_P(FilesAfterTheFolder, AreOperands) {
    const Operands& c = GetParam();
    CommandLine cl("vokram-import", "Внася.");
    cl.operands("ФАЙЛ", "сурови файлове").value("--given", "ФАЙЛ", "дадени точки");
    EXPECT_EQ(cl.parse(c.args), c.outcome);
    EXPECT_EQ(cl.folder(), c.folder);
    EXPECT_EQ(cl.operands(), c.files);
    EXPECT_EQ(cl.values("--given"), c.given);
    EXPECT_EQ(cl.usage(), "Употреба: vokram-import [ОПЦИИ] [ПАПКА] ФАЙЛ...");
}

INSTANTIATE_TEST_SUITE_P(CommandLine, FilesAfterTheFolder, ::testing::ValuesIn(kOperands),
                         test::ByBehaviour());

}  // namespace
}  // namespace vk
