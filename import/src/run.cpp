// vokram-import's run: read everything, decide everything, and only then write.
#include <algorithm>
#include <system_error>

#include "import/import.hpp"
#include "vokram/console.hpp"
#include "vokram/folder_lock.hpp"
#include "vokram/frame.hpp"
#include "vokram/platform.hpp"
#include "vokram/text.hpp"

namespace vk::imp {

namespace {

// A file name for the data file's header: characters the code page lacks become '?'.
std::string in_code_page(const std::string& utf8) {
    try {
        (void)to_cp1251(utf8);
        return utf8;
    } catch (const std::exception&) {
        return ascii(utf8);  // one '?' for each character, not for each of its bytes
    }
}

std::string file_list(const std::vector<std::string>& names, const std::vector<RawData>& data) {
    std::string s;
    for (std::size_t i = 0; i < names.size(); ++i)
        s +=
            (i ? ", " : "") + path_to_utf8(path_from_utf8(names[i]).filename()) + " (" + data[i].format + ")";
    return in_code_page(s);
}

Inputs read_inputs(const Options& o) {
    Inputs in;
    ReadOptions ro{o.station_code};
    for (const std::string& f : o.raw) {
        const std::string text = read_file(path_from_utf8(f), f);
        const Reader* r = instrument_reader(text);
        if (!r) throw ImportError{f + ": файлът не е GSI-8, GSI-16 или SDR33/SDR2x"};
        in.raw.push_back(r->read(text, f, ro));
        in.raw_names.push_back(f);
    }
    for (const std::string& f : o.given) {
        const std::string text = read_file(path_from_utf8(f), f);
        const Reader* r = instrument_reader(text);
        in.given.push_back(r ? r->read(text, f, ro) : read_point_list(text, f));
        in.given_names.push_back(f);
    }
    return in;
}

void write_lines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    TextFile f(path, TextFile::Mode::replace);
    for (const std::string& l : lines) f.line(in_code_page(l));
    f.close();
}

}  // namespace

int run(Console& con, const std::filesystem::path& root, const Options& o) {
    try {
        const Workspace ws(root);
        const Inputs in = read_inputs(o);
        const std::filesystem::path names_file = ws.find("VK/Names.txt");
        Names names(names_file.empty() ? std::nullopt : read_if_present(names_file, "VK/Names.txt"));
        Assembled a = assemble(in, o, names);
        for (const std::string& l : names.lines())
            if (in_code_page(l) != l) throw ImportError{"име с букви извън кодовата таблица: " + l};

        std::error_code ec;
        const std::string folder =
            path_to_utf8(std::filesystem::absolute(root, ec).lexically_normal().parent_path().filename());
        const std::string survey =
            path_to_utf8(std::filesystem::absolute(root, ec).lexically_normal().filename());
        a.file.header = {
            in_code_page("Измерване " + (survey.empty() ? folder : survey)),
            "Внесено от " + file_list(in.raw_names, in.raw),
            in.given.empty() ? "Без дадени точки" : "Дадени точки от " + file_list(in.given_names, in.given)};

        const std::filesystem::path found = ws.find("VK/Geo_Data.txt");
        const bool exists = !found.empty() && std::filesystem::exists(found, ec);
        if (exists && !o.replace)
            throw ImportError{
                "VK/Geo_Data.txt вече съществува; с --replace се заменя, а старият остава като "
                "VK/Geo_Data.bak"};

        // All is read and sound: a new survey folder gets its VK/ and Temp/ now.
        for (const char* sub : {"VK", "Temp"})
            if (ws.find(sub).empty() || !std::filesystem::is_directory(ws.find(sub), ec))
                std::filesystem::create_directories(root / sub, ec);
        const FolderLock lock(ws);
        const std::filesystem::path geo = ws.file("VK/Geo_Data.txt");
        if (exists) {
            TextFile bak(ws.file("VK/Geo_Data.bak"), TextFile::Mode::replace);
            bak.bytes(read_file(geo, "VK/Geo_Data.txt"));
            bak.close();
        }
        if (!names.empty()) write_lines(ws.file("VK/Names.txt"), names.lines());
        write_data_file(geo, a.file);
        a.listing.push_back("Записан VK/Geo_Data.txt" +
                            std::string(exists ? " (старият е VK/Geo_Data.bak)" : ""));
        if (o.report) write_lines(ws.file("VK/Import.txt"), a.listing);
        for (const std::string& l : a.listing) con.print(l);
        return 0;
    } catch (const ImportError& e) {
        con.error(e.message);
        return kStopped;
    }
}

}  // namespace vk::imp
