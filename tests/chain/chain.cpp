#include "chain.hpp"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace vk::chain {

int run_program(const Folder& f, const std::string& program) {
    const std::string exe = std::string(VOKRAM_BIN) + "/" + program;
    const std::string cmd =
        "cd '" + f.root.string() + "' && '" + exe + "' < /dev/null > '" + program + ".out' 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

bool starts_with(const std::string& s, const std::string& p) {
    return s.compare(0, p.size(), p) == 0;
}

// Reads "number x y [h]" rows until the first line that is not one.
void rows(std::istringstream& in, std::map<int, Listed>& into, bool adjusted) {
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream l(line);
        double no, a, b, c = NAN, d = NAN;
        if (!(l >> no)) {
            const bool rule = line.find_first_of("~-") != std::string::npos &&
                              (line.find_first_not_of(" ~-") == std::string::npos ||
                               line.find("[м.]") != std::string::npos);
            if (rule) continue;  // the rule under a column header
            return;
        }
        l >> a >> b;
        if (adjusted) {
            l >> c >> d;  // X mx Y my
            into[static_cast<int>(no)] = {a, c, NAN};
        } else {
            if (!(l >> c)) c = NAN;
            into[static_cast<int>(no)] = {a, b, c};
        }
    }
}

}  // namespace

ReportPoints read_report(const std::string& utf8) {
    ReportPoints r;
    std::istringstream in(utf8);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (starts_with(line, "       Нови точки:")) {
            std::getline(in, line);  // column header
            rows(in, r.approximate, false);
        } else if (starts_with(line, "    Номер      X [м]")) {
            rows(in, r.adjusted, true);
        } else if (starts_with(line, "       ТОЧКИ ОТ ПОЛЯРНО ЗАСНИМАНЕ В СТАНЦИЯ:")) {
            std::getline(in, line);  // column header
            rows(in, r.detail, false);
        }
    }
    return r;
}

}  // namespace vk::chain
