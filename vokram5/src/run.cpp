// vokram5's main sequence: token, intake, the polar stations of the data file, and the
// closing lines of the script and the cadastral layer.
#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>

#include "vokram/data_file.hpp"
#include "vokram/folder_lock.hpp"
#include "vokram5/polar.hpp"

namespace vk::v5 {

namespace {

// The end of the first `lines` lines of `bytes`, or of the first line that reads `last`;
// npos when there is no such end.
std::size_t end_of_lines(const std::string& bytes, std::size_t lines) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines; ++i) {
        const std::size_t nl = bytes.find('\n', at);
        if (nl == std::string::npos) return std::string::npos;
        at = nl + 1;
    }
    return at;
}
std::size_t end_of_line(const std::string& bytes, const std::string& last) {
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t nl = bytes.find('\n', at);
        if (nl == std::string::npos) return std::string::npos;
        const std::size_t end = nl > at && bytes[nl - 1] == '\r' ? nl - 1 : nl;
        if (bytes.compare(at, end - at, last) == 0) return nl + 1;
        at = nl + 1;
    }
    return std::string::npos;
}

// A file that vokram2 wrote and this module completes. vokram2's part is kept as it is and
// the whole file is written anew under a temporary name, so that a rerun of this module
// (or one after a full disk) gives the file of one run, never its points twice.
std::unique_ptr<TextFile> complete(const Workspace& ws, const char* name,
                                   const std::function<std::size_t(const std::string&)>& part_end) {
    const std::filesystem::path path = ws.file(name);
    const std::string bytes = read_file(path, name);
    const std::size_t end = part_end(bytes);
    if (end == std::string::npos)
        throw FatalIo{kReadError, std::string(name) + ": повреден файл от ВОКРАМ-2"};
    auto f = std::make_unique<TextFile>(path, TextFile::Mode::replace);
    f->bytes(std::string_view(bytes).substr(0, end));
    return f;
}

// Closes the output files in the order a finished run writes them; a stop may come before
// some of them are open.
void close_outputs(Polar& p) {
    for (std::unique_ptr<TextFile>* f : {&p.rep, &p.sur, &p.scr, &p.cad})
        if (*f) (*f)->close();
}

}  // namespace

int run(Console& con, const std::filesystem::path& root) {
    const Module module{.name = "vokram5",
                        .half_done = HalfDoneSet::refuse,
                        .title = ScreenText{25, 12, "* * *   В О К Р А М - 5  * * *"},
                        .done = ScreenText{20, 20, "РЕШАВАНЕ НА ПОЛЯРНИ СТАНЦИИ - ЗАВЪРШЕНО."},
                        .stopped = {20, 20, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА."}};
    const Workspace ws(root);
    std::optional<FolderLock> lock;
    std::unique_ptr<Polar> state;
    return run_frame(
        con, ws, module, lock,
        [&] {
            state = std::make_unique<Polar>(con);
            Polar& p = *state;
            p.rep = std::make_unique<TextFile>(ws.file("VK/Protokol.txt"), TextFile::Mode::append);
            report_head(p);
            {
                NumberReader vk2 = NumberReader::open_written(ws.file("Temp/VK_2.tmp"), "Temp/VK_2.tmp");
                vhod_points(p, vk2);
            }
            p.par = read_parameter_file(ws).value_or(kAbsentParameters);
            derive(p);

            // vokram2 wrote one surface line for each point with coordinates and height, and
            // one cadastral layer.
            const std::size_t surface_lines = static_cast<std::size_t>(
                std::count_if(p.pts.begin(), p.pts.end(), [](const Point& pt) { return pt.vi == 3; }));
            p.sur = complete(ws, "VK/Surface.txt",
                             [&](const std::string& b) { return end_of_lines(b, surface_lines); });
            p.scr = std::make_unique<TextFile>(ws.file("VK/VK_5.scr"), TextFile::Mode::replace);
            p.cad =
                complete(ws, "VK/VK_2.cad", [](const std::string& b) { return end_of_line(b, "END_LAYER"); });
            p.cad->endl();
            p.cad->line("LAYER CADASTER");

            // Without the data file there would be no detail point to compute: that is an
            // error of the folder, not a finished run.
            p.geo = NumberReader::open(ws.file("VK/Geo_Data.txt"), "VK/Geo_Data.txt");
            p.geo.skip_lines(3);
            if (const std::optional<double> first = unclosed_group(p.geo)) {
                stop(*p.rep, unclosed_group_line(*first));
            }
            do stanciq(p);
            while (!p.geo.at_end());

            p.scr->line("layer s Situation");
            p.scr->endl();
            p.scr->line("zoom e");
            p.cad->line("END_LAYER");
            close_outputs(p);
        },
        [&] {
            // The stations before the stop stay in the files as far as they were written.
            if (state) close_outputs(*state);
        });
}

}  // namespace vk::v5
