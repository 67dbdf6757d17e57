// vokram2's main sequence: token, report, network, plane solution, controls, heights,
// results; a stop leaves the control block and the drawing of what was computed.
#include <memory>
#include <optional>

#include "vokram/folder_lock.hpp"
#include "vokram2/height_adjustment.hpp"
#include "vokram2/network.hpp"

namespace vk::v2 {

int run(Console& con, const std::filesystem::path& root) {
    const Module module{.name = "vokram2",
                        .half_done = HalfDoneSet::refuse,
                        .passes_token = true,
                        .done = ScreenText{30, 16, "РЕШЕНИЕ - ЗАВЪРШЕНО. "},
                        .stopped = {11, 20, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА."}};
    const Workspace ws(root);
    std::optional<FolderLock> lock;
    std::unique_ptr<TextFile> report;
    std::unique_ptr<Network> state;
    return run_frame(
        con, ws, module, lock,
        [&] {
            // The adjusted heights of an earlier run must not reach vokram4 after a stop.
            if (const std::filesystem::path old = ws.find("Temp/VK_H.tmp"); !old.empty()) {
                std::error_code ec;
                std::filesystem::remove(old, ec);
            }
            report = std::make_unique<TextFile>(ws.file("VK/Protokol.TXT"), TextFile::Mode::append);
            state = std::make_unique<Network>(con, *report);
            Network& net = *state;
            {
                NumberReader in = NumberReader::open_written(ws.file("Temp/VK_1.tmp"), "Temp/VK_1.tmp");
                vhod(net, in);
            }
            zadachi_2d(net);
            kontroli_2d(net);
            h_zadacha(net);
            h_kontrola(net);
            const HeightAdjustment heights = adjust_heights(net);
            izhod(net);
            report->close();
            save_solution(ws, tables(net));
            if (!heights.points.empty()) {
                save_file(ws, "VK/VK_H.txt", [&](TextFile& f) { write_height_listing(heights, f); });
            }
            // The adjusted heights for vokram4, which takes them over when it is asked to
            // adopt its adjusted coordinates.
            if (heights.solvable && !heights.points.empty()) {
                std::vector<NetHeight> adjusted;
                for (const AdjustedHeight& p : heights.points) adjusted.push_back({p.no, p.h});
                save_file(ws, "Temp/VK_H.tmp", [&](TextFile& f) { write_vkh(adjusted, f); });
            }
            // The files of this solution, tied to the Temp/VK_1.tmp they were computed from.
            save_fingerprint(ws);
        },
        [&] {
            if (!state) return;  // stops come only from the stages, after the report is open
            kontrol(*state);
            report->close();
            save_plot(ws, tables(*state));
        });
}

}  // namespace vk::v2
