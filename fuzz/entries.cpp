#include "entries.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "import/import.hpp"
#include "vokram/console.hpp"
#include "vokram/frame.hpp"
#include "vokram/platform.hpp"
#include "vokram/text.hpp"
#include "vokram1/survey.hpp"
#include "vokram2/network.hpp"
#include "vokram4/adjustment.hpp"
#include "vokram5/polar.hpp"

namespace vk::fuzz {

namespace {

namespace fs = std::filesystem;

// A file of the bundled example survey, as the seed corpora keep it.
std::string seed(const char* rel) {
    std::ifstream in(fs::path(VOKRAM_FUZZ_CORPUS) / rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string& example_geo() {
    static const std::string s = seed("geo_data/example.txt");
    return s;
}
// A survey of one station and a polar station with two detail points, small enough that
// the parameter target spends its time on the values it reads.
const std::string& small_geo() {
    static const std::string s = seed("geo_data/small.txt");
    return s;
}
const std::string& small_polar() {
    static const std::string s = seed("geo_data_polar/one_station.txt");
    return s;
}
const std::string& example_params() {
    static const std::string s = seed("params/example.txt");
    return s;
}
const std::string& example_vk1() {
    static const std::string s = seed("vk1/example.tmp");
    return s;
}
const std::string& example_vk2() {
    static const std::string s = seed("vk2_polar/example.tmp");
    return s;
}

// A working folder of this process with its VK/ and Temp/, for the readers that take a
// folder; the same one serves every input and goes when the process ends.
const fs::path& scratch() {
    struct Folder {
        fs::path root = fs::temp_directory_path() / ("vokram-fuzz-" + std::to_string(::getpid()));
        Folder() {
            fs::create_directories(root / "VK");
            fs::create_directories(root / "Temp");
        }
        ~Folder() {
            std::error_code ec;
            fs::remove_all(root, ec);
        }
    };
    static const Folder folder;
    return folder.root;
}

void put_file(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// The input as the programs meet it: written to `rel` in the working folder and read back
// through the file reader (its size limit, its encoding checks).
NumberReader from_file(const char* rel, std::string_view text) {
    put_file(scratch() / rel, text);
    return NumberReader::open(scratch() / rel, rel);
}

// Runs `body` to an orderly end: a stop or a fatal input error.
template <class F>
void orderly(F&& body) {
    try {
        body();
    } catch (const ModuleStop&) {
    } catch (const FatalIo&) {
    }
}

// vokram1's stages from the point intake on, with the parameters already in `s.par`.
void v1_after_params(v1::Survey& s) {
    v1::report_params(s);
    v1::vhod_stations(s);
    v1::kontroli(s);
    v1::korekcii(s);
    v1::elementi(s);
    TextFile out;
    v1::izhod(s, out);
}

// vokram2's stages on a loaded network, with its stop sequence, as its run() has them.
void v2_stages(v2::Network& w, const Parameters& dp) {
    try {
        v2::zadachi_2d(w);
        v2::kontroli_2d(w);
        v2::h_zadacha(w);
        v2::h_kontrola(w);
        v2::izhod(w);
        TextFile sur, scr, cad, out;
        const NetTables t = v2::tables(w);
        write_surface(t, sur);
        write_plot(t, dp, scr);
        write_cad(t, cad);
        write_vk2(t, out);
    } catch (const ModuleStop&) {
        v2::kontrol(w);
        TextFile scr;
        write_plot(v2::tables(w), dp, scr);
    }
}

// A console whose answers cover both replies of the questions vokram2 may ask.
void script_answers(ScriptedConsole& con) {
    con.keys = {'x', 'D', 'N', 'd', 'n'};
    con.typed = {"1", "abc"};
}

// vokram5's station walk over a data file, with the points and parameters in `p`.
void v5_walk(v5::Polar& p, std::string_view geo) {
    p.geo = from_file("VK/Geo_Data.txt", geo);
    p.geo.skip_lines(3);
    do v5::stanciq(p);
    while (!p.geo.at_end());
    p.scr->line("zoom e");
    p.cad->line("END_LAYER");
}

// vokram5 with its network points loaded from `vk2` and its parameters from `par`.
void v5_run(std::string_view vk2, std::string_view par, std::string_view geo) {
    ScriptedConsole con;
    v5::Polar p(con);
    orderly([&] {
        v5::report_head(p);
        NumberReader r = from_file("Temp/VK_2.tmp", vk2);
        v5::vhod_points(p, r);
        NumberReader pr = from_file("P.txt", par);
        p.par = parse_parameters(pr);
        v5::derive(p);
        p.cad->line("LAYER CADASTER");
        v5_walk(p, geo);
    });
}

// The example's network as vokram2 leaves it, solved once.
const v2::Network& example_network() {
    static ScriptedConsole con;
    static TextFile report;
    static const std::unique_ptr<v2::Network> w = [] {
        auto n = std::make_unique<v2::Network>(con, report);
        NumberReader r(example_vk1(), "Temp/VK_1.tmp");
        v2::vhod(*n, r);
        v2_stages(*n, kDefaultParameters);
        return n;
    }();
    return *w;
}

}  // namespace

void geo_data(std::string_view text) {
    ScriptedConsole con;
    TextFile report;
    v1::Survey s(con, report);
    orderly([&] {
        put_file(scratch() / "VK/Geo_Data.txt", text);
        s.geo = read_file(scratch() / "VK/Geo_Data.txt", "VK/Geo_Data.txt");
        v1::report_head(s);
        v1::vhod_points(s);
        v1_after_params(s);
    });
}

void geo_data_polar(std::string_view text) {
    v5_run(example_vk2(), example_params(), text);
}

void params(std::string_view text) {
    // vokram1: the eight processing values, then the checks and reductions of a station.
    {
        ScriptedConsole con;
        TextFile report;
        v1::Survey s(con, report);
        s.geo = small_geo();
        orderly([&] {
            v1::report_head(s);
            v1::vhod_points(s);
            NumberReader r = from_file("P.txt", text);
            s.par = parse_parameters(r);
            v1_after_params(s);
        });
    }
    // vokram2: the drawing values, found in the working folder, then the drawing of the
    // example's network.
    put_file(scratch() / "P.txt", text);
    orderly([&] {
        const Parameters dp = read_parameter_file(Workspace(scratch())).value_or(kDefaultParameters);
        TextFile scr;
        write_plot(v2::tables(example_network()), dp, scr);
    });
    // vokram5: every value, then a polar station on the example's network.
    v5_run(example_vk2(), text, small_polar());
}

void vk1(std::string_view text) {
    ScriptedConsole con;
    TextFile report;
    v2::Network w(con, report);
    script_answers(con);
    orderly([&] {
        NumberReader r = from_file("Temp/VK_1.tmp", text);
        v2::vhod(w, r);
        v2_stages(w, kDefaultParameters);
    });
}

void vk2_adjust(std::string_view text) {
    ScriptedConsole con;
    v4::Adjustment a(con);
    a.rep = std::make_unique<TextFile>();
    orderly([&] {
        NumberReader r = from_file("Temp/VK_2.tmp", text);
        v4::vhod(a, r);
        v4::vhod_report(a);
        v4::iterate(a);
        v4::opredelq_q(a);
        v4::zapis(a);
    });
}

void vk2_polar(std::string_view text) {
    v5_run(text, example_params(), example_geo());
}

void token(std::string_view text) {
    put_file(scratch() / "Temp" / "Key.tmp", text);
    orderly([&] { read_token(Workspace(scratch())); });
}

void raw(std::string_view text) {
    put_file(scratch() / "raw.txt", text);
    imp::Options o;
    o.raw = {path_to_utf8(scratch() / "raw.txt")};
    o.station_code = "7";
    o.replace = true;
    o.instrument_height = 1.5;
    ScriptedConsole con;
    orderly([&] { imp::run(con, scratch(), o); });
    o.raw = {path_to_utf8(scratch() / "VK" / "Geo_Data.txt")};  // the data file as a list of given points
    o.given.swap(o.raw);
    o.raw = {path_to_utf8(scratch() / "raw.txt")};
    orderly([&] { imp::run(con, scratch(), o); });
}

}  // namespace vk::fuzz
