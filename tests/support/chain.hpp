// Running the built programs in a scratch working folder, the way a surveyor does, and
// reading back what they wrote.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/scratch.hpp"
#include "support/survey.hpp"

namespace vk::test {

using Folder = ScratchFolder;

// Runs one program with `options` in the folder with `answers` on standard input; its exit
// status. What it printed is kept in the folder as <program>.out. With `disk` >= 0 no file
// can grow beyond `disk` blocks of 512 bytes, as on a full disk.
int run_program(const Folder& f, const std::string& program, const std::string& answers = "",
                const std::string& options = "", int disk = -1);

// A command line of the built programs ("vokram4 --help") run from the folder `cwd` with
// standard input closed: its exit status and what it printed on each stream.
struct Ran {
    int status;
    std::string out, err;
};
Ran run_command(const std::filesystem::path& cwd, const std::string& command);

// vokram2's products, which vokram4 may rewrite and vokram5 appends to.
inline const char* const kVokram2Files[] = {"Temp/VK_2.tmp", "VK/VK_2.scr", "VK/VK_2.cad", "VK/Surface.txt"};

// Writes the survey's files and runs vokram1, vokram2, vokram4 (asked to adopt its result
// when `adopt`), vokram5 in order up to and including `last`. Returns the program that
// stopped ("" when none did); a file error, or an exit status other than 1 for a stop and 0
// for a run to the end, fails the test. What vokram2 wrote is kept beside, as
// "vokram2/Temp/VK_2.tmp" and so on.
std::string run_chain(const Folder& f, const Survey& s, const std::string& last = "vokram5",
                      const std::string& answers = "", bool adopt = false);

// The point coordinates a report lists: the register of vokram2 ("x y h"), the adjusted
// coordinates of vokram4 ("x y"), the detail points of vokram5 ("x y h"); the adjusted
// heights of "VK/VK_H.txt" ("H mH[cm] H-Hlevelled[cm]" in x, y, h). A missing height is NaN.
struct Listed {
    double x, y, h;
};
struct ReportPoints {
    std::map<int, Listed> approximate, adjusted, detail, heights;
};
ReportPoints read_report(const std::vector<std::string>& report);

// Every point `listed` stands at its true position and height within `within` [m]; what
// the listing leaves out (NaN) is not checked.
void expect_true(const std::map<int, Listed>& listed, const Survey& s, double within);

// Whether `lines` hold `block` as consecutive lines; the failure shows the block and
// the end of the file.
::testing::AssertionResult has_block(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& block);

}  // namespace vk::test
