// vokram5's main sequence: token, intake, the polar stations of the data file, and the
// closing lines of the script and the cadastral layer.
#include <cerrno>
#include <optional>

#include "vokram5/polar.hpp"

namespace vk::v5 {

namespace {

// The numbers of a file that may be absent; none when it cannot be opened.
std::optional<NumberReader> open_if_there(const std::filesystem::path& path, const char* name) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    try {
        return NumberReader::open(path, name);
    } catch (const FatalIo&) {
        return std::nullopt;
    }
}

// A file vokram2 has started and this module only appends to.
std::unique_ptr<TextFile> append_to(const Workspace& ws, const char* name) {
    const std::filesystem::path path = ws.file(name);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw io_error(ENOENT, name);
    return std::make_unique<TextFile>(path, TextFile::Mode::append);
}

}  // namespace

int run(Console& con, const std::filesystem::path& root) {
    const Workspace ws(root);
    std::unique_ptr<Polar> state;
    return run_frame(
        con,
        [&] {
            require_token(ws);
            remove_stale_products(ws, "vokram5");
            state = std::make_unique<Polar>(con);
            Polar& p = *state;

            con.clear();
            con.write_at(25, 12, "* * *   В О К Р А М - 5  * * *");
            p.rep = std::make_unique<TextFile>(ws.file("VK/Protokol.txt"), TextFile::Mode::append);
            report_head(p);
            {
                NumberReader vk2 = NumberReader::open(ws.file("Temp/VK_2.tmp"), "Temp/VK_2.tmp");
                vhod_points(p, vk2);
            }
            if (std::optional<NumberReader> r = open_if_there(ws.file("P.txt"), "P.txt"))
                p.par = read_params(*r);
            else
                p.par = Params{};
            derive(p.par);

            p.sur = append_to(ws, "VK/Surface.txt");
            p.scr = std::make_unique<TextFile>(ws.file("VK/VK_5.scr"), TextFile::Mode::create);
            p.cad = append_to(ws, "VK/VK_2.cad");
            p.cad->endl();
            p.cad->line("LAYER CADASTER");

            if (std::optional<NumberReader> geo =
                    open_if_there(ws.file("VK/Geo_Data.txt"), "VK/Geo_Data.txt")) {
                p.geo = std::move(*geo);
                p.geo.skip_lines(3);
                do stanciq(p);
                while (!p.geo.at_end());
            }

            p.rep->close();
            p.sur->close();
            p.scr->line("layer s Situation");
            p.scr->endl();
            p.scr->line("zoom e");
            p.scr->close();
            p.cad->line("END_LAYER");
            p.cad->close();
            con.write_at(20, 20, "РЕШАВАНЕ НА ПОЛЯРНИ СТАНЦИИ - ЗАВЪРШЕНО.");
            con.wait_key();
        },
        [&] {
            std::string reason;
            if (state && state->rep) reason = state->rep->last_line(), state->rep->close();
            con.write_at(20, 20, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА.");
            con.wait_key();
            return reason;
        });
}

}  // namespace vk::v5
