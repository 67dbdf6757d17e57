// vokram-plot's main sequence: the scripts in the order of the chain, the picture, the
// closing message. The run token is neither read nor written: the picture is wanted
// most after a stopped vokram2, whose script shows what it had computed.
#include <cerrno>
#include <fstream>
#include <iterator>

#include "plot/plot.hpp"
#include "vokram/text.hpp"

namespace vk::plot {

namespace {

constexpr const char* kScripts[] = {"VK/VK_2.scr", "VK/VK_4.scr", "VK/VK_5.scr"};

std::string load(const std::filesystem::path& path, const std::string& name) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw io_error(errno, name);
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) throw FatalIo{kReadError, name + ": грешка при четене"};
    return text;
}

// Writes the picture under a temporary name and renames it over the old one, so that a
// browser never shows half a picture.
void save(const std::filesystem::path& path, const std::string& svg) {
    std::filesystem::path part = path;
    part += ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (!out) throw io_error(errno, "VK/Survey.svg");
        out << svg;
        out.close();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(part, ec);
            throw FatalIo{kWriteError, "VK/Survey.svg: грешка при запис"};
        }
    }
    std::error_code ec;
    std::filesystem::rename(part, path, ec);
    if (ec) throw io_error(ec.value(), "VK/Survey.svg");
}

}  // namespace

int run(Console& con, const std::filesystem::path& root) {
    const Workspace ws(root);
    return run_frame(
        con,
        [&] {
            con.clear();
            con.write_at(22, 12, "* * *   В О К Р А М  -  П Л А Н  * * *");
            Drawing d;
            int row = 14;
            for (const std::string name : kScripts) {
                const std::filesystem::path path = ws.file(name);
                std::error_code ec;
                if (!std::filesystem::is_regular_file(path, ec)) continue;
                const ScriptReport r = read_script(load(path, name), d);
                d.sources.push_back(name);
                con.write_at(20, row++, name + "  - " + whole(r.entities) + " обекта в план");
                if (r.damaged > 0)
                    con.write_at(20, row++,
                                 "   пропуснати повредени редове: " + whole(r.damaged) + " (първият - ред " +
                                     whole(r.first_damaged) + ")");
            }
            if (d.sources.empty())
                throw FatalIo{kFileNotFound, "липсват чертежите VK/VK_2.scr, VK/VK_4.scr и VK/VK_5.scr"};
            if (d.empty()) throw FatalIo{kFileNotFound, "в чертежите няма обекти в план"};
            save(ws.file("VK/Survey.svg"), render_svg(d));
            con.write_at(23, row + 1, "ЧЕРТЕЖ  VK/Survey.svg  - ГОТОВ.");
            con.wait_key();
        },
        [] { return std::string(); });
}

}  // namespace vk::plot
