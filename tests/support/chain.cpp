#include "support/chain.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vk::test {

namespace {

// The exit status from what std::system returned; cmd.exe gives it as it is.
// Runs `cmd` through the shell and gives the command's exit status.
int exit_status_of(const std::string& cmd) {
#ifdef _WIN32
    // std::system gives -1 when it could not start the command interpreter at all, which
    // an emulated Windows does now and then under load: that is tried once more.
    int status = std::system(cmd.c_str());
    if (status == -1) status = std::system(cmd.c_str());
    return status;
#else
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace

int run_program(const Folder& f, const std::string& program, const std::string& answers,
                const std::string& options, int disk) {
    f.write("answers.txt", answers);
    const std::filesystem::path exe = std::filesystem::absolute(std::string(VOKRAM_BIN) + "/" + program);
#ifdef _WIN32
    (void)disk;  // Windows has no limit of a file's size to stand for a full disk
    const std::string cmd = "cd /d \"" + f.root.string() + "\" && \"" + exe.lexically_normal().string() +
                            ".exe\" " + options + " < answers.txt > " + program + ".out 2>&1";
#else
    // A write past the limit then fails with an error instead of a signal.
    const std::string full = disk < 0 ? "" : "ulimit -f " + std::to_string(disk) + " && trap '' XFSZ && ";
    const std::string cmd = full + "cd '" + f.root.string() + "' && '" + exe.string() + "' " + options +
                            " < answers.txt > '" + program + ".out' 2>&1";
#endif
    return exit_status_of(cmd);
}

Ran run_command(const std::filesystem::path& cwd, const std::string& command) {
    const std::string out = cwd.string() + ".stdout", err = cwd.string() + ".stderr";
#ifdef _WIN32
    const std::string bin = std::filesystem::absolute(VOKRAM_BIN).make_preferred().string();
    const std::string cmd = "cd /d \"" + cwd.string() + "\" && set \"PATH=" + bin + ";%PATH%\" && " +
                            command + " < nul > \"" + out + "\" 2> \"" + err + "\"";
#else
    const std::string cmd = "cd '" + cwd.string() + "' && export PATH='" + VOKRAM_BIN + "':\"$PATH\" && " +
                            command + " < /dev/null > '" + out + "' 2> '" + err + "'";
#endif
    const int status = exit_status_of(cmd);
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    Ran r{status, read(out), read(err)};
    std::filesystem::remove(out), std::filesystem::remove(err);
    return r;
}

std::string run_chain(const Folder& f, const Survey& s, const std::string& last, const std::string& answers,
                      bool adopt) {
    f.write("VK/Geo_Data.txt", s.geo());
    f.write("P.txt", s.params());
    std::filesystem::create_directories(f.root / "vokram2" / "VK");
    std::filesystem::create_directories(f.root / "vokram2" / "Temp");
    for (const char* m : {"vokram1", "vokram2", "vokram4", "vokram5"}) {
        const int status = run_program(f, m, answers, adopt && m == std::string("vokram4") ? "--adopt" : "");
        if (m == std::string("vokram2"))
            for (const char* rel : kVokram2Files) f.write(std::string("vokram2/") + rel, f.read(rel));
        const std::string out = f.read(std::string(m) + ".out");
        // A stop on the data ends with 1, a run to the end with 0.
        const bool stopped = f.read("Temp/Key.tmp") != "1\r\n" || out.find("ПРЕКЪСВАНЕ") != std::string::npos;
        EXPECT_EQ(status, stopped ? 1 : 0) << m << ": " << out;
        if (stopped) return m;
        if (m == last) break;
    }
    return "";
}

namespace {

// Reads "number x y [h]" (or "number h") rows until the first line that is not one; a
// rule under a column header is passed over.
void rows(std::vector<std::string>::const_iterator at, std::vector<std::string>::const_iterator end,
          std::map<int, Listed>& into, bool adjusted) {
    for (; at != end; ++at) {
        std::istringstream l(*at);
        std::vector<double> v;
        for (double x; l >> x;) v.push_back(x);
        if (v.empty()) {
            if (at->find_first_not_of(" ~-") == std::string::npos || at->find("[м.]") != std::string::npos)
                continue;
            return;
        }
        const int no = static_cast<int>(v[0]);
        if (adjusted && v.size() >= 4)
            into[no] = {v[1], v[3], NAN};  // X mx Y my
        else if (v.size() == 2)
            into[no] = {NAN, NAN, v[1]};
        else if (v.size() >= 3)
            into[no] = {v[1], v[2], v.size() > 3 ? v[3] : NAN};
    }
}

}  // namespace

ReportPoints read_report(const std::vector<std::string>& report) {
    ReportPoints r;
    for (auto at = report.begin(); at != report.end(); ++at) {
        if (at->starts_with("       Нови точки:"))
            rows(at + 2, report.end(), r.approximate, false);
        else if (at->starts_with("    Номер      H [м]"))
            rows(at + 1, report.end(), r.heights, false);
        else if (at->starts_with("    Номер      X [м]"))
            rows(at + 1, report.end(), r.adjusted, true);
        else if (at->starts_with("       ТОЧКИ ОТ ПОЛЯРНО ЗАСНИМАНЕ В СТАНЦИЯ:"))
            rows(at + 2, report.end(), r.detail, false);
    }
    return r;
}

void expect_true(const std::map<int, Listed>& listed, const Survey& s, double within) {
    for (const auto& [no, got] : listed) {
        const TruePoint& t = s.truth.at(no);
        if (!std::isnan(got.x)) {
            EXPECT_NEAR(got.x, t.x, within) << "x of " << no;
            EXPECT_NEAR(got.y, t.y, within) << "y of " << no;
        }
        if (!std::isnan(got.h)) {
            EXPECT_NEAR(got.h, t.h, within) << "h of " << no;
        }
    }
}

::testing::AssertionResult has_block(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& block) {
    for (std::size_t i = 0; i + block.size() <= lines.size(); ++i)
        if (std::equal(block.begin(), block.end(), lines.begin() + static_cast<std::ptrdiff_t>(i)))
            return ::testing::AssertionSuccess();
    auto r = ::testing::AssertionFailure() << "missing lines:\n";
    for (const std::string& l : block) r << "  [" << l << "]\n";
    r << "last lines of the file:\n";
    for (std::size_t i = lines.size() > 12 ? lines.size() - 12 : 0; i < lines.size(); ++i)
        r << "  [" << lines[i] << "]\n";
    return r;
}

}  // namespace vk::test
