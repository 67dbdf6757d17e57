// A scratch working folder for the tests that run a module on files: VK/ and Temp/ under
// the system's temporary folder, named after the running test, removed afterwards (kept
// when VOKRAM_KEEP_SCRATCH is set, to look at the files of a failing run).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "vokram/text.hpp"

namespace vk::test {

class ScratchFolder {
  public:
    std::filesystem::path root;

    // `tag` tells apart several folders of one test.
    explicit ScratchFolder(const std::string& tag = "") {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "vokram";
        if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
        if (!tag.empty()) name += "_" + tag;
        // Parameterised test names carry a slash.
        std::replace(name.begin(), name.end(), '/', '_');
        root = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        for (const char* sub : {"VK", "Temp"}) std::filesystem::create_directories(root / sub);
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!std::getenv("VOKRAM_KEEP_SCRATCH")) std::filesystem::remove_all(root, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    void write(const std::string& rel, const std::string& bytes) const {
        std::ofstream(root / rel, std::ios::binary) << bytes;
    }
    std::string read(const std::string& rel) const {
        std::ifstream in(root / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool exists(const std::string& rel) const { return std::filesystem::exists(root / rel); }
    // The lines of a Windows-1251, CR LF file as UTF-8.
    std::vector<std::string> lines(const std::string& rel) const {
        const std::string b = read(rel);
        std::vector<std::string> out;
        for (std::size_t at = 0, end; at < b.size(); at = end + 2) {
            end = std::min(b.find("\r\n", at), b.size());
            out.push_back(from_cp1251(b.substr(at, end - at)));
        }
        return out;
    }
};

}  // namespace vk::test
