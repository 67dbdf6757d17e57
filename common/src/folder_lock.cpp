// The survey-folder lock and the temporary names: the only place where the suite calls
// the operating system directly for its files.
#include "vokram/folder_lock.hpp"

#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>

#include "vokram/frame.hpp"

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vk {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockName = "Temp/Lock.tmp";
// How long a second program waits for the first before it gives up.
constexpr auto kPatience = std::chrono::seconds(2);
constexpr auto kRetry = std::chrono::milliseconds(100);

[[noreturn]] void busy() {
    throw FatalIo{kFolderBusy,
                  "ПАПКАТА СЕ ОБРАБОТВА ОТ ДРУГА ПРОГРАМА НА ВОКРАМ. Изчакайте я да завърши и "
                  "стартирайте отново."};
}

long long process_id() {
#ifdef _WIN32
    return _getpid();
#else
    return ::getpid();
#endif
}

// True for "<file>.<digits>.part", the name temporary_name() gives.
bool is_leftover(const std::string& name) {
    const std::string tail = ".part";
    if (name.size() <= tail.size() || name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::size_t end = name.size() - tail.size();
    std::size_t start = end;
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') --start;
    return start < end && start > 1 && name[start - 1] == '.';
}

// Files that a killed program left half written; only the holder of the lock may remove
// them, since no other program can be writing them then.
void remove_leftovers(const fs::path& dir) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ignored;
        if (is_leftover(it->path().filename().string()) && it->is_regular_file(ignored))
            fs::remove(it->path(), ignored);
    }
}

#ifdef _WIN32
int errno_of(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND:
            return ENOENT;
        case ERROR_PATH_NOT_FOUND:
            return ENOTDIR;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        default:
            return EIO;
    }
}
#endif

}  // namespace

FolderLock::FolderLock(const Workspace& ws) {
    ws.require_folders();
    const fs::path path = ws.file(kLockName);
    const auto give_up = std::chrono::steady_clock::now() + kPatience;
#ifdef _WIN32
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw io_error(errno_of(GetLastError()), kLockName);
    while (true) {
        OVERLAPPED at{};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
        if (GetLastError() != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= give_up) {
            CloseHandle(h);
            busy();
        }
        std::this_thread::sleep_for(kRetry);
    }
    handle_ = reinterpret_cast<long long>(h);
#else
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) throw io_error(errno, kLockName);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR) continue;
        if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= give_up) {
            ::close(fd);
            if (err != EWOULDBLOCK) throw io_error(err, kLockName);
            busy();
        }
        std::this_thread::sleep_for(kRetry);
    }
    handle_ = fd;
#endif
    remove_leftovers(path.parent_path());
    const fs::path vk = ws.find("VK");
    if (!vk.empty()) remove_leftovers(vk);
}

FolderLock::~FolderLock() {
#ifdef _WIN32
    CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing the handle releases the lock
#else
    ::close(static_cast<int>(handle_));  // closing the descriptor releases the lock
#endif
}

fs::path temporary_name(const fs::path& path) {
    fs::path part = path;
    part += "." + std::to_string(process_id()) + ".part";
    return part;
}

}  // namespace vk
