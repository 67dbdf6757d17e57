#include "vokram/frame.hpp"

#include <cerrno>
#include <system_error>

#include "vokram/console.hpp"
#include "vokram/folder_lock.hpp"
#include "vokram/platform.hpp"
#include "vokram/text.hpp"

namespace vk {

namespace fs = std::filesystem;

namespace {

// The files one program leaves for the others, with the program that writes them.
struct Product {
    const char* file;
    const char* writer;
};
constexpr Product kProducts[] = {
    {"Temp/Key.tmp", "vokram1"},      {"Temp/VK_1.tmp", "vokram1"},     {"Temp/VK_2.tmp", "vokram2"},
    {"VK/VK_2.scr", "vokram2"},       {"VK/VK_2.cad", "vokram2"},       {"VK/Surface.txt", "vokram2"},
    {"VK/VK_H.txt", "vokram2"},       {"VK/VK_4.txt", "vokram4"},       {"VK/VK_4.scr", "vokram4"},
    {"VK/VK_5.scr", "vokram5"},       {"VK/Survey.svg", "vokram-plot"}, {"VK/Survey.pdf", "vokram-plot"},
    {"VK/Survey.dxf", "vokram-plot"}, {"VK/Points.csv", "vokram-plot"}, {"Temp/Solution.tmp", "vokram2"},
};

}  // namespace

FatalIo io_error(int err, const std::string& name) {
    // A file of the current folder is named as the surveyor knows it (VK/Protokol.TXT),
    // without the "./" that joining it to the folder gave.
    const std::string what = name.starts_with("./") || name.starts_with(".\\") ? name.substr(2) : name;
    if (err == ENOENT)
        for (const Product& p : kProducts)
            if (what == p.file)
                return FatalIo{kFileNotFound, what + " липсва: стартирайте първо " + p.writer};
    int code = kWriteError;
    const char* text = "грешка при запис";
    switch (err) {
        case ENOENT:
            code = kFileNotFound, text = "файлът не съществува";
            break;
        case ENOTDIR:
            code = kFolderNotFound, text = "папката не съществува";
            break;
        case EMFILE:
        case ENFILE:
            code = kTooManyFiles, text = "твърде много отворени файлове";
            break;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            code = kAccessDenied, text = "отказан достъп";
            break;
        case EIO:
            code = kReadError, text = "грешка при четене/запис";
            break;
        case ENXIO:  // an output that is a FIFO, a device or a folder, found before it blocks
        case ELOOP:  // an output that is a symbolic link, never followed
            code = kReadError, text = "не е обикновен файл";
            break;
        default:
            break;  // a full disk and every other failure of a write
    }
    return FatalIo{code, what + ": " + text};
}

namespace {

bool same_name(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The entry of `dir` whose name equals `name` in any letter case; the exact name wins.
fs::path match(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(dir / name, ec)) return dir / name;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (same_name(path_to_utf8(it->path().filename()), name)) return it->path();
    return dir / name;
}

}  // namespace

fs::path Workspace::find(const std::string& rel) const {
    fs::path p = root_;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = rel.find('/', start);
        const std::string part =
            rel.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        p = match(p, part);
        if (slash == std::string::npos) return p;
        std::error_code ec;
        if (!fs::is_directory(p, ec)) return {};
        start = slash + 1;
    }
}

fs::path Workspace::file(const std::string& rel) const {
    fs::path p = find(rel);
    if (p.empty()) {
        const std::string folder = rel.substr(0, rel.rfind('/'));
        throw FatalIo{kFolderNotFound, folder + "/: папката не съществува"};
    }
    return p;
}

void Workspace::require_folders() const {
    for (const char* folder : {"VK", "Temp"}) {
        std::error_code ec;
        if (!fs::is_directory(find(folder), ec))
            throw FatalIo{kFolderNotFound, folder + std::string("/: папката не съществува")};
    }
}

void write_token(const Workspace& ws, int value) {
    TextFile f(ws.file("Temp/Key.tmp"), TextFile::Mode::replace);
    f.line(whole(value));
    f.close();
}

int read_token(const Workspace& ws) {
    NumberReader r = NumberReader::open_written(ws.file("Temp/Key.tmp"), "Temp/Key.tmp", kSmallFile);
    double v = 0;
    // The programs write 0 or 1 and nothing else: any other content is a damaged file.
    if (r.next(v) != NumberReader::Got::number || (v != 0 && v != 1) || !r.at_end())
        throw FatalIo{kReadError, "Temp/Key.tmp: повреден файл: очаква се 0 или 1"};
    return static_cast<int>(v);
}

void require_token(const Workspace& ws) {
    if (read_token(ws) == 0) throw ChainBlocked{};
}

void remove_stale_products(const Workspace& ws, std::string_view program) {
    const bool head = program == "vokram1" || program == "vokram2";
    for (const Product& p : kProducts) {
        const std::string_view file = p.file, writer = p.writer;
        if (!file.starts_with("VK/") || !(head || writer == program || writer == "vokram-plot")) continue;
        const fs::path old = ws.find(p.file);
        std::error_code ec;
        if (!old.empty() && !fs::remove(old, ec) && ec) throw io_error(ec.value(), p.file);
    }
}

void stop(std::string reason) {
    reason.erase(0, reason.find_first_not_of(' '));
    throw ModuleStop{std::move(reason)};
}

void stop(TextFile& report, const std::string& line) {
    report.line(line);
    stop(line);
}

int run_frame(Console& con, const Workspace& ws, const Module& m, std::optional<FolderLock>& lock,
              const std::function<void()>& body, const std::function<void()>& on_stop,
              const std::function<void()>& admit) {
    try {
        try {
            lock.emplace(ws, m.half_done);
            if (m.needs_token) require_token(ws);
            if (admit) admit();
            if (m.passes_token) write_token(ws, 0);
            if (m.removes_stale) remove_stale_products(ws, m.name);
            if (m.title) {
                con.clear();
                con.write_at(m.title->column, m.title->row, m.title->text);
            }
            body();
            if (m.done) {
                con.write_at(m.done->column, m.done->row, m.done->text);
                con.wait_key();
            }
            if (m.passes_token) write_token(ws, 1);
        } catch (const ModuleStop& s) {
            on_stop();
            con.write_at(m.stopped.column, m.stopped.row, m.stopped.text);
            con.wait_key();
            con.error(s.reason);
            return kStopped;
        } catch (const ChainBlocked&) {
            con.error("Temp/Key.tmp е 0: предишна програма е прекъсната, нищо не е направено");
            return kStopped;
        }
        return 0;
    } catch (const FatalIo& e) {
        con.error(e.message);
        return e.code;
    }
}

}  // namespace vk
