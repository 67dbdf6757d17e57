// vokram4's main sequence: token, input, iterations, cofactors, section 13.
#include <cmath>
#include <optional>
#include <vector>

#include "vokram/folder_lock.hpp"
#include "vokram/products.hpp"
#include "vokram4/adjustment.hpp"
#include "vokram4/diagnostics.hpp"

namespace vk::v4 {

bool settled(double prev_m0, double m0, double prev_pvv, double pvv) {
    // An exact fit cannot improve; otherwise m0 must settle within 3 cc and [pvv] must
    // not drop by a third or more. A value that is not a number never settles.
    if (pvv == 0) return true;
    return std::fabs(prev_m0 - m0) < 3 && (prev_pvv - pvv) / pvv < 0.33;
}

void iterate(Adjustment& a) {
    a.iterations = 0;
    a.converged = false;
    while (a.iterations < a.max_iterations) {
        const double prev_m0 = a.m0, prev_pvv = a.pvv;
        sastavq_n(a);
        reshava_n(a);
        kontrola(a);
        popravq(a);
        ++a.iterations;
        if (settled(prev_m0, a.m0, prev_pvv, a.pvv)) {
            a.converged = true;
            return;
        }
    }
    a.rep->endl();
    a.rep->line("    Изравнението не е сходимо: итерациите са прекъснати след " + whole(a.iterations) + ".");
}

namespace {

template <class T>
void place(const Workspace& ws, RecordFile<T>& f, const std::string& rel) {
    f.path = ws.file(rel);
    f.name = rel;
}

// The absolute-term column of the bordered normal matrix with its element (u+1, u+1):
// read, or set to `column`.
std::vector<double> absolute_terms(const NormalMatrix& N) {
    const std::size_t u = static_cast<std::size_t>(N.unknowns());
    std::vector<double> column(u + 1);
    for (std::size_t i = 1; i <= u + 1; ++i) column[i - 1] = N.rec[op_l(u, i, u + 1) - 1];
    return column;
}
void absolute_terms(NormalMatrix& N, const std::vector<double>& column) {
    const std::size_t u = static_cast<std::size_t>(N.unknowns());
    for (std::size_t i = 1; i <= u + 1; ++i) N.rec[op_l(u, i, u + 1) - 1] = column[i - 1];
}

// The network from Temp/VK_2.tmp and its part of the report, which reaches the disk before
// the long computation.
void read_network(Adjustment& a, const Workspace& ws) {
    NumberReader in = NumberReader::open_written(ws.file("Temp/VK_2.tmp"), "Temp/VK_2.tmp");
    vhod(a, in);
    const std::filesystem::path report = ws.file("VK/Protokol.txt");
    a.rep = std::make_unique<TextFile>(report, TextFile::Mode::append);
    vhod_report(a);
    a.rep->close();
    a.rep = std::make_unique<TextFile>(report, TextFile::Mode::append);
}

// The iterations, the cofactors, the adoption when asked for and the coordinate table.
void adjust(Adjustment& a, const Workspace& ws, bool adopting) {
    place(ws, a.N, "Temp/N_matrix.tmp");
    place(ws, a.X, "Temp/dx.tmp");
    place(ws, a.Q, "Temp/Q_row.tmp");
    place(ws, a.M, "Temp/Q_main.tmp");
    // The work files reach the disk as the last iteration and the cofactors leave
    // them, and only then: the balancing of the weights solves in memory.
    iterate(a);
    // The cofactors take the absolute-term column of the reduced matrix for their
    // unit column; a file error before the matrix is written leaves it on the disk
    // as the last iteration reduced it.
    const std::vector<double> reduced = absolute_terms(a.N);
    try {
        a.X.close();
        opredelq_q(a);
        a.Q.close();
        if (adopting) adopt(a, ws);
        zapis(a);
        a.rep->close();
        a.M.close();
    } catch (const FatalIo&) {
        absolute_terms(a.N, reduced);
        a.N.close();
        throw;
    }
    a.N.close();
}

// The diagnostics and the ellipse drawing of this adjustment.
void write_diagnostics(Adjustment& a, const Workspace& ws) {
    Diagnostics d = diagnose(a);
    balance_weights(a, d);
    save_file(ws, "VK/VK_4.txt", [&](TextFile& f) { write_listing(a, d, f); });
    save_file(ws, "VK/VK_4.scr", [&](TextFile& f) { write_ellipses(a, d, f); });
}

}  // namespace

int run(Console& con, const std::filesystem::path& root, const Options& options) {
    // A set of files that an adoption left half in place is finished by the next one.
    const Module module{.name = "vokram4",
                        .half_done = options.adopt ? HalfDoneSet::complete : HalfDoneSet::refuse,
                        .title = ScreenText{25, 11, "* * *   В О К Р А М - 4  * * *"},
                        .done = ScreenText{29, 22, "ИЗРАВНЕНИЕ - ЗАВЪРШЕНО. "},
                        .stopped = {28, 20, "ПРЕКЪСВАНЕ НА ПРОГРАМАТА. "}};
    const Workspace ws(root);
    std::optional<FolderLock> lock;
    std::unique_ptr<Adjustment> adj;
    return run_frame(
        con, ws, module, lock,
        [&] {
            adj = std::make_unique<Adjustment>(con);
            Adjustment& a = *adj;
            a.pD = 2.0;
            read_network(a, ws);
            adjust(a, ws, options.adopt);
            write_diagnostics(a, ws);
            // An adoption asked for and refused stops the chain here, with its reason.
            if (options.adopt && !a.adopted)
                throw ModuleStop{a.adoption.substr(a.adoption.find_first_not_of(' '))};
            con.write_at(1, 22, std::string(79, ' '));
            con.write_at(1, 22, std::string(79, ' '));
        },
        [&] {
            if (adj) {
                if (adj->rep) adj->rep->close();
                // Work files open at the stop keep what they hold, as at any end.
                adj->N.close();
                adj->X.close();
                adj->Q.close();
                adj->M.close();
            }
        },
        [&] {
            // Only the files of one solution are adopted into.
            if (options.adopt) check_fingerprint(ws);
        });
}

}  // namespace vk::v4
