// A plain list of given points: name, x (northing), y (easting) and optionally the height,
// separated by blanks, tabs, commas or semicolons; '#' starts a comment.
#include "import/raw.hpp"

namespace vk::imp {

RawData read_point_list(const std::string& text, const std::string& name) {
    RawData d;
    d.format = "списък";
    const std::vector<std::string> lines = text_lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Place at{name, static_cast<long>(i + 1)};
        std::string l = lines[i].substr(0, lines[i].find('#'));
        for (char& c : l)
            if (c == '\t' || c == ',' || c == ';') c = ' ';
        std::vector<std::string> words;
        for (std::size_t from = 0; (from = l.find_first_not_of(' ', from)) != std::string::npos;) {
            const std::size_t end = std::min(l.find(' ', from), l.size());
            words.push_back(l.substr(from, end - from));
            from = end;
        }
        if (words.empty()) continue;
        if (words.size() < 3 || words.size() > 4)
            fail(at, "очакват се име, x, y и по желание H, а са дадени " + std::to_string(words.size()) +
                         " думи");
        RawPoint p{as_utf8(words[0]), decimal(words[1]), decimal(words[2]), std::nullopt, at};
        if (words.size() == 4) {
            p.h = decimal(words[3]);
            if (!p.h) fail(at, "неправилна височина \"" + words[3] + "\"");
        }
        if (!p.x || !p.y) fail(at, "неправилни координати \"" + words[1] + " " + words[2] + "\"");
        d.points.push_back(p);
    }
    return d;
}

}  // namespace vk::imp
