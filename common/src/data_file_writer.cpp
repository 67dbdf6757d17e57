#include "vokram/data_file_writer.hpp"

#include "vokram/text.hpp"

namespace vk {

std::string shortest(double v, int decimals) {
    std::string s = real(v, 0, decimals);
    if (s.find('.') == std::string::npos) return s;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

namespace {

// Angles to 0.001 cc, lengths to 0.01 mm: finer than any instrument reads.
void sight_line(TextFile& f, const DataFile::Sight& k) {
    f.line("  " + whole(k.nt) + " " + real(k.ht, 0, 3) + " " + shortest(k.R, 7) + " " + shortest(k.V, 7) +
           " " + shortest(k.S, 5));
}

// Where the sights of a record are cut into groups: before a sight to another target than
// the one before it, so that the two faces of a target stay in one group.
std::vector<std::size_t> cuts(const std::vector<DataFile::Sight>& s) {
    std::vector<std::size_t> at{0};
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i - at.back() < kSightsPerRecord) continue;
        std::size_t c = i;
        while (c > at.back() + 1 && s[c].nt == s[c - 1].nt) --c;
        at.push_back(c);
        i = c;
    }
    at.push_back(s.size());
    return at;
}

}  // namespace

void write_data_file(const std::filesystem::path& path, const DataFile& d) {
    TextFile f(path, TextFile::Mode::replace);
    for (const std::string& h : d.header) f.line(h);
    for (const DataFile::Given& p : d.given) {
        const std::string no = whole(p.no) + " ";
        if (p.vi == 3)
            f.line(no + shortest(p.x, 5) + " " + shortest(p.y, 5) + " " + shortest(p.h, 5) + " -3");
        if (p.vi == 2) f.line(no + shortest(p.x, 5) + " " + shortest(p.y, 5) + " -2");
        if (p.vi == 1) f.line(no + shortest(p.h, 5) + " -1");
    }
    for (const DataFile::Record& r : d.records) {
        const std::vector<std::size_t> at = cuts(r.sights);
        for (std::size_t g = 0; g + 1 < at.size(); ++g) {
            f.line(whole(r.ns) + " " + real(r.hs, 0, 3));
            for (std::size_t i = at[g]; i < at[g + 1]; ++i) sight_line(f, r.sights[i]);
            f.line("-4");
        }
        if (r.details.empty()) continue;
        f.line("-9");
        for (const DataFile::Sight& k : r.details) sight_line(f, k);
        f.line("-9");
    }
    f.close();
}

}  // namespace vk
