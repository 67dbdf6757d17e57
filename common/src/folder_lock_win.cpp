// The survey-folder lock on Windows: LockFileEx() on a handle of Temp/Lock.tmp.
#include <process.h>
#include <windows.h>

#include <cerrno>

#include "lock_io.hpp"
#include "vokram/frame.hpp"
#include "vokram/platform.hpp"

namespace vk::lock_io {

long long process_id() {
    return _getpid();
}

long long open_lock(const std::filesystem::path& path, const std::string& name) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw io_error(errno_of(GetLastError()), name);
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(h);
        throw io_error(ENXIO, name);
    }
    return reinterpret_cast<long long>(h);
}

// Any failure other than another program's lock counts as a busy folder: `err` stays 0.
Attempt try_lock(long long handle, int& err) {
    err = 0;
    OVERLAPPED at{};
    if (LockFileEx(reinterpret_cast<HANDLE>(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                   1, 0, &at))
        return Attempt::taken;
    return GetLastError() == ERROR_LOCK_VIOLATION ? Attempt::held : Attempt::failed;
}

void release(long long handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));  // closing the handle releases the lock
}

}  // namespace vk::lock_io
