// Helpers of the vokram4 tests: a working folder for whole runs, the stages run in
// memory on a generated network, and the lines of a Windows-1251 text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "network.hpp"
#include "reference.hpp"
#include "support/scratch.hpp"
#include "vokram/console.hpp"
#include "vokram4/adjustment.hpp"

namespace v4test {

inline std::string read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A working folder as vokram2 leaves it: VK/ with the report, Temp/ with the token and
// the network file.
struct Folder : vk::test::ScratchFolder {
    vk::ScriptedConsole con;
    explicit Folder(const std::string& bytes_of_vk2, int token = 1) {
        write("Temp/Key.tmp", std::to_string(token) + "\r\n");
        write("VK/Protokol.TXT", earlier);
        write("Temp/VK_2.tmp", bytes_of_vk2);
    }
    int run() { return vk::v4::run(con, root); }
    std::string report() const { return read("VK/Protokol.TXT"); }
    // The part of the report that this run added.
    std::string added() const { return report().substr(earlier.size()); }
    std::filesystem::path temp(const char* name) const { return root / "Temp" / name; }
    std::string vk(const char* name) const { return read(std::string("VK/") + name); }

    static inline const std::string earlier = "earlier sections\r\n";
};

// The stages run in memory: the report is a memory file, the record files have no path.
struct Staged {
    vk::ScriptedConsole con;
    vk::v4::Adjustment a{con};
    explicit Staged(const Network& net) {
        vk::NumberReader in(vk2_bytes(net), "Temp/VK_2.tmp");
        vk::v4::vhod(a, in);
        a.rep = std::make_unique<vk::TextFile>();
        vk::v4::vhod_report(a);
    }
    void adjust() {
        vk::v4::iterate(a);
        vk::v4::opredelq_q(a);
    }
};

inline bool has_line(const std::vector<std::string>& lines, const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

// The lines of a Windows-1251 CR LF text as UTF-8; a line end without CR fails the test.
inline std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> out;
    for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
        end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        out.push_back(vk::from_cp1251(bytes.substr(start, end - start)));
        EXPECT_EQ(out.back().find('\n'), std::string::npos) << "a line end without CR";
    }
    return out;
}

}  // namespace v4test
