// The survey-folder lock, the temporary names and the sets of files that change together:
// with folder_lock_posix.cpp and folder_lock_win.cpp (the system's side of the lock), the only
// place where the suite calls the operating system directly for its files.
#include "vokram/folder_lock.hpp"

#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>

#include "lock_io.hpp"
#include "vokram/frame.hpp"
#include "vokram/platform.hpp"
#include "vokram/text.hpp"

namespace vk {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockName = "Temp/Lock.tmp";
constexpr const char* kJournal = "Temp/Adopt.tmp";
constexpr const char* kStaged = ".new";
// How long a second program waits for the first before it gives up.
constexpr auto kPatience = std::chrono::seconds(2);
constexpr auto kRetry = std::chrono::milliseconds(100);

// Every file the suite writes in the survey folder: only their temporary and staged names
// count as leftovers, never a file of the surveyor's that merely looks like one.
constexpr const char* kOwnFiles[] = {
    "P.txt",           "Temp/Key.tmp",    "Temp/VK_1.tmp",     "Temp/VK_2.tmp",
    "Temp/VK_H.tmp",   "Temp/Adopt.tmp",  "Temp/Solution.tmp", "Temp/dx.tmp",
    "Temp/Q_row.tmp",  "Temp/Q_main.tmp", "Temp/N_matrix.tmp", "VK/Protokol.TXT",
    "VK/Geo_Data.txt", "VK/VK_2.scr",     "VK/VK_2.cad",       "VK/Surface.txt",
    "VK/VK_H.txt",     "VK/VK_4.txt",     "VK/VK_4.scr",       "VK/VK_5.scr",
    "VK/Survey.svg",   "VK/Survey.pdf",
};

[[noreturn]] void busy() {
    throw FatalIo{kFolderBusy,
                  "ПАПКАТА СЕ ОБРАБОТВА ОТ ДРУГА ПРОГРАМА НА ВОКРАМ. Изчакайте я да завърши и "
                  "стартирайте отново."};
}

FatalIo not_regular(const std::string& name) {
    return io_error(ENXIO, name);
}

bool same_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto low = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (low(a[i]) != low(b[i])) return false;
    }
    return true;
}

// True for "<own file>.<digits>.part", "<own file>.new" and "<own file>.new.<digits>.part" of
// the folder `dir` ("", "Temp/", "VK/"), the names temporary_name() and FileSet give.
bool is_leftover(const std::string& dir, const std::string& name) {
    std::string_view rest = name;
    const std::string_view part = ".part", staged = kStaged;
    if (rest.ends_with(part)) {
        rest.remove_suffix(part.size());
        std::size_t digits = 0;
        while (digits < rest.size() && rest[rest.size() - 1 - digits] >= '0' &&
               rest[rest.size() - 1 - digits] <= '9')
            ++digits;
        if (digits == 0 || digits == rest.size() || rest[rest.size() - 1 - digits] != '.') return false;
        rest.remove_suffix(digits + 1);
    }
    if (rest.ends_with(staged)) rest.remove_suffix(staged.size());
    if (rest.size() == name.size()) return false;
    for (std::string_view own : kOwnFiles)
        if (own.starts_with(dir) && own.find('/', dir.size()) == std::string_view::npos &&
            same_letters(own.substr(dir.size()), rest))
            return true;
    return false;
}

// Files that a killed program left half written, and links planted at their names; only the
// holder of the lock may remove them, since no other program can be writing them then. A
// link goes itself, whatever it names; a folder stays.
void remove_leftovers(const fs::path& dir, const std::string& rel) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        if (is_leftover(rel, path_to_utf8(it->path().filename())) &&
            !fs::is_directory(it->symlink_status(ignored)))
            fs::remove(it->path(), ignored);
    }
}

}  // namespace

FolderLock::FolderLock(const Workspace& ws, HalfDoneSet half_done) {
    ws.require_folders();
    const fs::path path = ws.file(kLockName);
    check_output(path, kLockName);
    handle_ = lock_io::open_lock(path, kLockName);
    const auto give_up = std::chrono::steady_clock::now() + kPatience;
    while (true) {
        int err = 0;
        const lock_io::Attempt attempt = lock_io::try_lock(handle_, err);
        if (attempt == lock_io::Attempt::taken) break;
        if (attempt == lock_io::Attempt::failed || std::chrono::steady_clock::now() >= give_up) {
            lock_io::release(handle_);
            if (attempt == lock_io::Attempt::failed && err != 0) throw io_error(err, kLockName);
            busy();
        }
        std::this_thread::sleep_for(kRetry);
    }
    try {
        if (!half_done_set(ws).empty()) {
            if (half_done == HalfDoneSet::refuse)
                throw FatalIo{kReadError,
                              std::string(kJournal) +
                                  ": приемането на изравнените координати е прекъснато и файловете "
                                  "в VK и Temp са смесени; стартирайте vokram4 --adopt"};
            complete_set(ws);
        }
    } catch (...) {
        lock_io::release(handle_);
        throw;
    }
    remove_leftovers(ws.root(), "");
    remove_leftovers(path.parent_path(), "Temp/");
    const fs::path vk = ws.find("VK");
    if (!vk.empty()) remove_leftovers(vk, "VK/");
}

FolderLock::~FolderLock() {
    lock_io::release(handle_);
}

fs::path temporary_name(const fs::path& path) {
    fs::path part = path;
    part += "." + std::to_string(lock_io::process_id()) + ".part";
    return part;
}

void check_output(const fs::path& path, const std::string& name) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (ec || st.type() == fs::file_type::not_found || fs::is_regular_file(st) || fs::is_symlink(st)) return;
    throw not_regular(name);
}

std::FILE* create_temporary(const fs::path& path, const std::string& name, fs::path& temp) {
    check_output(path, name);
    temp = temporary_name(path);
    std::FILE* f = create_new_file(temp);
    if (!f && errno == EEXIST) {
        std::error_code ec;
        fs::remove(temp, ec);
        f = create_new_file(temp);
    }
    if (!f) throw io_error(errno, name);
    return f;
}

void put_in_place(const fs::path& temp, const fs::path& path, const std::string& name) {
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (!ec) return;
    std::error_code ignored;
    fs::remove(temp, ignored);
    if (fs::is_directory(fs::symlink_status(path, ignored))) throw not_regular(name);
    throw io_error(ec.default_error_condition().value(), name);
}

void write_whole_file(const fs::path& path, const std::string& name, std::string_view bytes) {
    fs::path temp;
    std::FILE* f = create_temporary(path, name, temp);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    const int err = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw io_error(written ? errno : err, name);
    }
    put_in_place(temp, path, name);
}

// --- A set of files that changes together -------------------------------------------

void FileSet::write(const std::string& rel, const std::function<void(TextFile&)>& fill) {
    files_.push_back(rel);
    TextFile f(staged(rel), TextFile::Mode::replace);
    fill(f);
    f.close();
}

fs::path FileSet::staged(const std::string& rel) const {
    fs::path p = ws_.file(rel);
    p += kStaged;
    return p;
}

void FileSet::commit(const std::function<void(int)>& after_step) {
    int step = 0;
    const auto done = [&] {
        if (after_step) after_step(++step);
    };
    TextFile journal(ws_.file(kJournal), TextFile::Mode::replace);
    for (const std::string& rel : files_) journal.line(rel);
    journal.close();
    done();
    for (const std::string& rel : files_) {
        put_in_place(staged(rel), ws_.file(rel), rel);
        done();
    }
    std::error_code ec;
    if (!fs::remove(ws_.file(kJournal), ec) && ec) throw io_error(ec.value(), kJournal);
    done();
}

fs::path half_done_set(const Workspace& ws) {
    const fs::path journal = ws.find(kJournal);
    std::error_code ec;
    if (journal.empty() || fs::symlink_status(journal, ec).type() == fs::file_type::not_found) return {};
    return journal;
}

void complete_set(const Workspace& ws) {
    const fs::path journal = half_done_set(ws);
    if (journal.empty()) return;
    const std::string text = read_file(journal, kJournal, kSmallFile);
    // One name of the set on each line; a name outside the suite's own files is a damaged journal.
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) throw FatalIo{kReadError, std::string(kJournal) + ": повреден файл"};
        std::string rel = text.substr(at, end - at);
        if (rel.ends_with('\r')) rel.pop_back();
        at = end + 1;
        bool own = false;
        for (std::string_view f : kOwnFiles) own = own || (rel == f && rel != kJournal);
        if (!own) throw FatalIo{kReadError, std::string(kJournal) + ": повреден файл: " + rel};
        const fs::path to = ws.file(rel);
        fs::path from = to;
        from += kStaged;
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(from, ec);
        if (st.type() == fs::file_type::not_found) continue;  // already in place
        if (!fs::is_regular_file(st)) throw not_regular(rel + kStaged);
        put_in_place(from, to, rel);
    }
    std::error_code ec;
    if (!fs::remove(journal, ec) && ec) throw io_error(ec.value(), kJournal);
}

}  // namespace vk
