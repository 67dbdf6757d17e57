// Running the built programs in a scratch working folder, the way a surveyor does, and
// reading back what they reported.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/scratch.hpp"

namespace vk::chain {

using Folder = ::vk::test::ScratchFolder;

// Runs one program in the folder with standard input closed; returns its exit status.
// What it printed is kept in the folder as <program>.out.
int run_program(const Folder& f, const std::string& program);

// The point coordinates a report lists: the register of vokram2 ("x y h"), the adjusted
// coordinates of vokram4 ("x y"), the detail points of vokram5 ("x y h"). A missing
// height is NaN.
struct Listed {
    double x, y, h;
};
struct ReportPoints {
    std::map<int, Listed> approximate, adjusted, detail;
};
ReportPoints read_report(const std::string& utf8_report);

}  // namespace vk::chain
