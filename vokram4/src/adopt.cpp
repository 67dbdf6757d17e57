// Adoption of the adjusted coordinates: "Temp/VK_2.tmp" and vokram2's drawing files are
// written again with the adjusted plane coordinates of the new points, and the heights
// that vokram2's height adjustment gave ("Temp/VK_H.tmp") in place of the levelled ones,
// exactly as vokram2 would have written them had it found these values, so that vokram5,
// the drawing, the cadastral file and the surface list all work from the adjusted network.
#include <algorithm>
#include <optional>

#include "vokram/folder_lock.hpp"
#include "vokram/products.hpp"
#include "vokram4/adjustment.hpp"

namespace vk::v4 {

namespace {

const char* const kAdopted = "    Изравнените координати са приети в Temp/VK_2.tmp и в чертожните файлове.";
const char* const kAdoptedWithHeights =
    "    Изравнените координати и коти са приети в Temp/VK_2.tmp и в чертожните файлове.";
const char* const kNotSettled = "    Изравнените координати не са приети: изравнението не е сходимо.";
const char* const kOtherSolution =
    "    Изравнените координати не са приети: междинните файлове в Temp не са от едно решение.";

struct TooMany {};

// The measurements of the solved network with all that the drawing shows (zenith angles,
// slope distances, instrument and target heights), which "Temp/VK_2.tmp" does not carry:
// vokram1's rows without those that vokram2 removed with their undetermined points. None
// when they do not give exactly the directions and distances of "Temp/VK_2.tmp". The given
// points whose heights were given too are marked in `fixed`, by number.
std::optional<std::vector<NetRow>> drawing_rows(const NetTables& t, NumberReader& vk1,
                                                std::vector<bool>& fixed) {
    Vk1 f;
    try {
        f = read_vk1(vk1, {kPointCapacity, kMeasurementCapacity}, [](const Vk1&) { throw TooMany{}; });
    } catch (const TooMany&) {
        return std::nullopt;
    }
    fixed.assign(65536, false);
    for (const NetPoint& p : f.given) fixed[p.no] = fixed[p.no] || p.vi % 2 == 1;
    std::vector<int> index(65536, -1);
    for (int p = t.n() - 1; p >= 0; --p) index[t.pts[p].no] = p;
    std::vector<NetRow> rows;
    std::size_t k = 0;  // the next row of "Temp/VK_2.tmp"
    for (NetRow r : f.rows) {
        if (index[r.ns] < 0 || index[r.nt] < 0) continue;
        if (r.R + r.D > 0) {
            if (k == t.rows.size()) return std::nullopt;
            const NetRow& q = t.rows[k++];
            if (q.ps != r.ps || q.ns != r.ns || q.nt != r.nt) return std::nullopt;
        }
        r.ns = index[r.ns];
        r.nt = index[r.nt];
        rows.push_back(r);
    }
    if (k != t.rows.size()) return std::nullopt;
    return rows;
}

}  // namespace

void adopt(Adjustment& a, const Workspace& ws) {
    if (!a.converged) {
        a.adoption = kNotSettled;
        return;
    }
    NumberReader vk2 = NumberReader::open_written(ws.file("Temp/VK_2.tmp"), "Temp/VK_2.tmp");
    NetTables t = read_vk2(vk2, {kPointCapacity, kMeasurementCapacity});
    NumberReader vk1 = NumberReader::open_written(ws.file("Temp/VK_1.tmp"), "Temp/VK_1.tmp");
    std::vector<bool> fixed;
    std::optional<std::vector<NetRow>> rows = drawing_rows(t, vk1, fixed);
    // The points with plane coordinates, in file order, are the adjustment's table.
    int k = 0;
    for (int i = 0; i < t.n() && rows; ++i) {
        NetPoint& p = t.pts[i];
        if (p.vi < 2) continue;
        if (k == a.n() || a.pts[k].no != p.no)
            rows.reset();
        else if (i >= t.g)
            p.x = a.pts[k].x, p.y = a.pts[k].y;
        ++k;
    }
    // The heights adjusted by vokram2, when its levelling gave any, replace the levelled ones;
    // a given height stays. Whatever stands at that name is read as the file it must be.
    const std::filesystem::path vkh = ws.find("Temp/VK_H.tmp");
    std::error_code ec;
    const bool heights = !vkh.empty() && std::filesystem::symlink_status(vkh, ec).type() !=
                                             std::filesystem::file_type::not_found;
    if (heights && rows) {
        NumberReader r = NumberReader::open_written(vkh, "Temp/VK_H.tmp");
        for (const NetHeight& q : read_vkh(r, {kPointCapacity, kMeasurementCapacity})) {
            const auto p =
                std::ranges::find_if(t.pts, [&](const NetPoint& p) { return p.no == q.no && p.vi % 2 == 1; });
            if (p == t.pts.end() || fixed[q.no])
                rows.reset();
            else
                p->h = q.h;
        }
    }
    if (!rows || k != a.n()) {
        a.adoption = kOtherSolution;
        return;
    }
    t.rows = std::move(*rows);
    // The new files become current together, with the fingerprint of the new set.
    FileSet set(ws);
    write_solution(ws, t, [&](const std::string& rel, const std::function<void(TextFile&)>& fill) {
        set.write(rel, fill);
    });
    set.write("Temp/Solution.tmp",
              [&](TextFile& f) { write_fingerprint(ws, set.staged("Temp/VK_2.tmp"), f); });
    set.commit();
    a.adopted = true;
    a.adoption = heights ? kAdoptedWithHeights : kAdopted;
}

}  // namespace vk::v4
