// Running the built programs in a scratch working folder, the way a surveyor does, and
// reading back what they reported.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vk::chain {

// A scratch working folder with VK/ and Temp/ (removed afterwards).
struct Folder {
    std::filesystem::path root;
    explicit Folder(const std::string& name);
    ~Folder();
    void write(const std::string& rel, const std::string& bytes) const;
    std::string read(const std::string& rel) const;
    bool exists(const std::string& rel) const { return std::filesystem::exists(root / rel); }
};

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
