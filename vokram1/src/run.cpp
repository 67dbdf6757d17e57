// vokram1's main sequence: token, intake, checks, reductions, elements, "Temp/VK_1.tmp".
#include <optional>

#include "vokram/folder_lock.hpp"
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
    const Workspace ws(root);
    std::optional<FolderLock> lock;  // held until the stop sequence too has written its files
    TextFile* report = nullptr;
    std::unique_ptr<TextFile> owned;
    return run_frame(
        con,
        [&] {
            // A new run of the chain finishes a set of files an adoption left half in place.
            lock.emplace(ws, HalfDoneSet::complete);
            write_token(ws, 0);
            remove_stale_products(ws, "vokram1");
            con.clear();
            con.write_at(25, 12, "* * *   В О К Р А М - 1  * * *");
            owned = std::make_unique<TextFile>(ws.file("VK/Protokol.TXT"), TextFile::Mode::create);
            report = owned.get();
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
            TextFile out(ws.file("Temp/VK_1.tmp"), TextFile::Mode::replace);
            izhod(s, out);
            out.close();
            con.write_at(23, 16, "КООРДИНАТИ И ИЗМЕРВАНИЯ  - ПРИЕТИ. ");
            con.wait_key();
            write_token(ws, 1);
        },
        [&] {
            if (report) report->close();
            con.write_at(20, 20, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА ...");
            con.wait_key();
        });
}

}  // namespace vk::v1
