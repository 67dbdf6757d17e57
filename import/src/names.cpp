// The names of the points and their numbers, kept in "VK/Names.txt".
#include <set>

#include "import/import.hpp"

namespace vk::imp {

std::optional<long> numeric(const std::string& name) {
    const std::string n = unpadded(name);
    if (n.empty() || n.size() > 5 || n.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long v = std::stol(n);
    return v <= Names::kLargest ? std::optional<long>(v) : std::nullopt;
}

Names::Names(const std::optional<std::string>& file) {
    if (!file) return;
    const std::vector<std::string> lines = text_lines(*file);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string l = as_utf8(lines[i]);
        if (l.find_first_not_of(' ') == std::string::npos) continue;
        const std::size_t blank = l.find_last_of(' ');
        const std::optional<long> no =
            blank == std::string::npos ? std::nullopt : numeric(l.substr(blank + 1));
        std::string name = blank == std::string::npos ? "" : l.substr(0, blank);
        name.erase(name.find_last_not_of(' ') + 1);
        name.erase(0, name.find_first_not_of(' '));
        if (!no || name.empty()) fail({"VK/Names.txt", static_cast<long>(i + 1)}, "очаква се име и номер");
        if (!by_name_.count(name)) order_.push_back(name);
        by_name_[name] = *no;
    }
}

void Names::assign(const std::vector<std::string>& names) {
    std::set<long> taken;
    std::map<long, std::string> owner;
    for (const auto& [name, no] : by_name_) taken.insert(no), owner[no] = name;
    for (const std::string& n : names)
        if (const std::optional<long> v = numeric(n)) {
            if (owner.count(*v))
                throw ImportError{"точка " + n + ": номерът " + std::to_string(*v) + " е даден на името " +
                                  owner[*v] + " във VK/Names.txt"};
            taken.insert(*v);
        }
    long next = kLargest;
    for (const std::string& n : names) {
        if (numeric(n) || by_name_.count(n)) continue;
        while (next >= 0 && taken.count(next)) --next;
        if (next < 0) throw ImportError{"няма свободен номер за точка " + n};
        by_name_[n] = next;
        taken.insert(next);
        order_.push_back(n);
        added_.push_back(n);
    }
}

long Names::number(const std::string& name) const {
    if (const std::optional<long> v = numeric(name)) return *v;
    return by_name_.at(name);
}

std::vector<std::string> Names::lines() const {
    std::vector<std::string> out;
    for (const std::string& n : order_) out.push_back(n + " " + std::to_string(by_name_.at(n)));
    return out;
}

}  // namespace vk::imp
