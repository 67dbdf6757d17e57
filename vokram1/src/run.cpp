// vokram1's main sequence: token, intake, checks, reductions, elements, "Temp/VK_1.tmp".
#include <memory>
#include <optional>

#include "vokram/folder_lock.hpp"
#include "vokram/products.hpp"
#include "vokram1/survey.hpp"

namespace vk::v1 {

namespace {

// Reads the survey data file whole; false when there is none. A file that is there but
// cannot be read is a fatal file error.
bool load(const std::filesystem::path& path, std::string& text) {
    std::optional<std::string> bytes = read_if_present(path, "VK/Geo_Data.txt");
    if (!bytes) return false;
    text = std::move(*bytes);
    return true;
}

}  // namespace

int run(Console& con, const std::filesystem::path& root) {
    // A new run of the chain begins anew: it finishes a set of files an adoption left half
    // in place, and needs no token.
    const Module module{.name = "vokram1",
                        .half_done = HalfDoneSet::complete,
                        .needs_token = false,
                        .passes_token = true,
                        .title = ScreenText{25, 12, "* * *   В О К Р А М - 1  * * *"},
                        .done = ScreenText{23, 16, "КООРДИНАТИ И ИЗМЕРВАНИЯ  - ПРИЕТИ. "},
                        .stopped = {20, 20, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА ..."}};
    const Workspace ws(root);
    std::optional<FolderLock> lock;
    std::unique_ptr<TextFile> report;
    return run_frame(
        con, ws, module, lock,
        [&] {
            report = std::make_unique<TextFile>(ws.file("VK/Protokol.TXT"), TextFile::Mode::create);
            Survey s(con, *report);
            report_head(s);
            if (!load(ws.file("VK/Geo_Data.txt"), s.geo)) {
                con.write_at(28, 14, "ЛИПСВА ФАЙЛ  VK/Geo_Data.txt");
                throw ModuleStop{"липсва файл VK/Geo_Data.txt"};
            }
            vhod_points(s);
            vhod_params(s, ws);
            vhod_stations(s);
            kontroli(s);
            korekcii(s);
            elementi(s);
            report->close();
            save_file(ws, "Temp/VK_1.tmp", [&](TextFile& f) { izhod(s, f); });
        },
        [&] {
            if (report) report->close();
        });
}

}  // namespace vk::v1
