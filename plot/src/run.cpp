// vokram-plot's main sequence: the scripts in the order of the chain, the picture, the
// closing message. The run token is neither read nor written: the picture is wanted
// most after a stopped vokram2, whose script shows what it had computed.
#include <cstdio>
#include <ctime>
#include <optional>

#include "plot/plot.hpp"
#include "vokram/folder_lock.hpp"
#include "vokram/products.hpp"
#include "vokram/text.hpp"

namespace vk::plot {

namespace {

constexpr const char* kScripts[] = {"VK/VK_2.scr", "VK/VK_4.scr", "VK/VK_5.scr"};

// The file `rel` of the folder when it exists, else empty.
std::string load_if_any(const Workspace& ws, const std::string& rel) {
    return read_if_present(ws.find(rel), rel).value_or(std::string());
}

// Today's date as the surveyor writes it, "07.12.2026".
std::string today() {
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    char date[40] = "";
    if (t) std::snprintf(date, sizeof date, "%02d.%02d.%04d", t->tm_mday, t->tm_mon + 1, t->tm_year + 1900);
    return date;
}

}  // namespace

int run(Console& con, const std::filesystem::path& root, const Options& options) {
    // The plan is drawn whatever the token, and it replaces its own files only when it is
    // drawn again: a folder without drawings keeps the plan it had.
    const Module module{.name = "vokram-plot",
                        .half_done = HalfDoneSet::refuse,
                        .needs_token = false,
                        .removes_stale = false,
                        .title = ScreenText{22, 12, "* * *   В О К Р А М  -  П Л А Н  * * *"}};
    const Workspace ws(root);
    std::optional<FolderLock> lock;
    return run_frame(
        con, ws, module, lock,
        [&] {
            Drawing d;
            int row = 14;
            for (const std::string name : kScripts) {
                const std::optional<std::string> text = read_if_present(ws.file(name), name);
                if (!text) continue;
                const ScriptReport r = read_script(*text, d);
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
            d.title = survey_title(load_if_any(ws, "VK/Geo_Data.txt"));
            const std::string listing = load_if_any(ws, "VK/VK_4.txt");
            d.magnification = stated_magnification(listing);
            d.date = today();
            const Plan plan = draw_plan(d, options.page);
            const std::filesystem::path svg = ws.file("VK/Survey.svg");
            write_whole_file(svg, "VK/Survey.svg", plan.svg);
            const std::string page = options.page == Page::A4 ? "A4" : "A3";
            con.write_at(20, ++row, "М 1:" + whole(plan.sheet.scale) + " на лист " + page);
            con.write_at(23, row += 2, "ЧЕРТЕЖ  VK/Survey.svg  - ГОТОВ.");
            const std::vector<SurveyPoint> points = survey_points(d, listing);
            save_file(ws, "VK/Survey.dxf", [&](TextFile& f) { write_dxf(d, plan, points, f); });
            con.write_at(23, ++row, "ЧЕРТЕЖ  VK/Survey.dxf  - ГОТОВ.");
            save_file(ws, "VK/Points.csv", [&](TextFile& f) { write_points(points, f); });
            con.write_at(23, ++row,
                         "СПИСЪК  VK/Points.csv  - ГОТОВ (" + whole(static_cast<long long>(points.size())) +
                             " точки).");
            // A PDF of an earlier plan would no longer match the new one.
            const std::filesystem::path pdf = ws.file("VK/Survey.pdf");
            std::error_code gone;
            std::filesystem::remove(pdf, gone);
            if (options.pdf) {
                if (convert_to_pdf(svg, pdf))
                    con.write_at(23, ++row, "ЧЕРТЕЖ  VK/Survey.pdf  - ГОТОВ.");
                else
                    con.write_at(10, ++row,
                                 "VK/Survey.pdf не е направен: липсва rsvg-convert (пакет librsvg2-bin).");
            }
            con.wait_key();
        },
        [] {});
}

}  // namespace vk::plot
