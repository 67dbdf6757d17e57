// The documentation against the programs: the example surveys of doc/examples run through
// the chain and are quoted as they are, the report lines doc/report.md quotes stand in the
// bundled survey's report, and every file, option and exit status a manual page names is
// one the program's --help names.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "support/chain.hpp"

namespace vk::test {
namespace {

namespace fs = std::filesystem;
const fs::path kSource = VOKRAM_SOURCE;

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::string line;
    for (std::istringstream in(text); std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

// A quoted block: the lines after a marker line, between an opening and a closing line;
// the marker names a file the block is whole ("file") or a part of ("part of").
struct Quote {
    std::string kind, marker, text;
};
std::vector<Quote> quotes(const fs::path& doc, const std::regex& marker, const std::string& open,
                          const std::string& close) {
    std::vector<Quote> out;
    const std::vector<std::string> l = lines_of(slurp(doc));
    std::smatch m;
    for (std::size_t i = 0; i + 1 < l.size(); ++i) {
        if (!std::regex_match(l[i], m, marker) || l[i + 1].rfind(open, 0) != 0) continue;
        Quote q{m[1], m[2], ""};
        for (i += 2; i < l.size() && l[i] != close; ++i) q.text += l[i] + "\n";
        out.push_back(q);
    }
    return out;
}

// A roff line as it reads: escapes of the minus and the backslash resolved, fonts dropped.
std::string plain(std::string s) {
    s = std::regex_replace(s, std::regex(R"(\\f[BIRP])"), "");
    s = std::regex_replace(s, std::regex(R"(\\-)"), "-");
    s = std::regex_replace(s, std::regex(R"(\\e)"), "\\");
    return s;
}

// A report line with its numbers masked and its blanks collapsed, so that a quoted
// line matches whatever figures the survey gives.
std::string masked(const std::string& s) {
    std::string m = std::regex_replace(s, std::regex(R"(-?\d+(\.\d+)?)"), "#");
    m = std::regex_replace(m, std::regex(R"(\s+)"), " ");
    return std::regex_replace(m, std::regex(R"(^ | $)"), "");
}

TEST(Doc, ExamplesRunAndAreQuotedAsTheyAre) {
    std::set<std::string> quoted;
    const std::regex md(R"(<!-- (file|part of): (\S+) -->)"), roff(R"(\.\\" (file): (\S+))");
    std::vector<std::pair<fs::path, Quote>> all;
    for (const fs::path doc :
         {"doc/data-file.md", "doc/data-file.bg.md", "doc/report.md", "doc/man/vokram-data.5"}) {
        if (!fs::exists(kSource / doc)) continue;
        const bool page = doc.extension() == ".5";
        for (Quote q : quotes(kSource / doc, page ? roff : md, page ? ".nf" : "```", page ? ".fi" : "```")) {
            if (page) q.text = plain(q.text);
            all.emplace_back(doc, q);
        }
    }
    for (const auto& [doc, q] : all) {
        std::string file = from_cp1251(slurp(kSource / q.marker));
        file.erase(std::remove(file.begin(), file.end(), '\r'), file.end());
        if (q.kind == "file") {
            EXPECT_EQ(q.text, file) << doc << " quotes " << q.marker;
            quoted.insert(q.marker);
        } else {
            EXPECT_NE(file.find(q.text), std::string::npos)
                << doc << " quotes a part of " << q.marker << ":\n"
                << q.text;
        }
    }
    for (const fs::directory_entry& e : fs::directory_iterator(kSource / "doc/examples")) {
        const std::string data = "doc/examples/" + e.path().filename().string() + "/VK/Geo_Data.txt";
        EXPECT_TRUE(quoted.count(data)) << data << " is not shown in doc/";
        Folder f(e.path().filename().string());
        fs::copy(e.path(), f.root, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        for (const char* program : {"vokram1", "vokram2", "vokram4 --adopt", "vokram5", "vokram-plot"})
            EXPECT_EQ(run_command(f.root, program).status, 0) << program << " on " << data;
    }
}

TEST(Doc, ReportLinesQuotedStandInTheBundledReport) {
    Folder f;
    fs::copy(kSource / "examples/survey", f.root,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    for (const char* program : {"vokram1", "vokram2", "vokram4 --adopt", "vokram5"})
        ASSERT_EQ(run_command(f.root, program).status, 0) << program;
    std::set<std::string> report;
    for (const std::string& l : f.lines("VK/Protokol.TXT")) report.insert(masked(l));
    int checked = 0;
    for (const Quote& q :
         quotes(kSource / "doc/report.md", std::regex(R"(<!-- (report)() -->)"), "```", "```"))
        for (const std::string& l : lines_of(q.text)) {
            if (masked(l).empty()) continue;
            EXPECT_TRUE(report.count(masked(l))) << "[" << l << "]";
            ++checked;
        }
    EXPECT_GT(checked, 50);
}

// The page of each program is checked against its --help; the data file's against the
// program that reads it first.
TEST(Doc, ManualPagesNameWhatTheHelpNames) {
    const std::map<std::string, std::string> reader = {{"vokram-data", "vokram1"}};
    const std::set<std::string> checked = {"ФАЙЛОВЕ", "ОПЦИИ", "ИЗХОДЕН СТАТУС"};
    int pages = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(kSource / "doc/man")) {
        const std::string stem = e.path().stem().string();
        const std::string program = reader.count(stem) ? reader.at(stem) : stem;
        const Ran help = run_command(fs::temp_directory_path(), program + " --help");
        ASSERT_EQ(help.status, 0) << program;
        const std::string statuses = help.out.substr(std::min(help.out.find("Изходен код"), help.out.size()));
        std::string section;
        const std::vector<std::string> l = lines_of(slurp(e.path()));
        for (std::size_t i = 0; i + 1 < l.size(); ++i) {
            if (l[i].rfind(".SH ", 0) == 0) section = l[i].substr(4);
            if (l[i] != ".TP" || !checked.count(section)) continue;
            std::string tag = std::regex_replace(plain(l[i + 1]), std::regex(R"(^\.[BIR]+ |")"), "");
            tag = std::regex_replace(tag, std::regex(" +"), " ");
            for (std::size_t at = 0, end; at < tag.size(); at = end + 2) {
                end = std::min(tag.find(", ", at), tag.size());
                const std::string item = tag.substr(at, end - at);
                const bool status = section == "ИЗХОДЕН СТАТУС";
                EXPECT_TRUE(status ? std::regex_search(statuses, std::regex("\\b" + item + "\\b"))
                                   : help.out.find(item) != std::string::npos)
                    << e.path().filename() << ", " << section << ": " << item << " is not in " << program
                    << " --help";
            }
        }
        ++pages;
    }
    EXPECT_GE(pages, 7);
}

}  // namespace
}  // namespace vk::test
