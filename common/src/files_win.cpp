// Files and the command line on Windows: the wide-character forms of the system calls, so
// that no name passes through the ANSI code page and loses its letters.
#include <windows.h>
// After windows.h:
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cerrno>
#include <cstdio>

#include "vokram/platform.hpp"

namespace vk {

std::FILE* open_file(const std::filesystem::path& path, const char* mode) {
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wide_mode.c_str());
}

int errno_of(unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return ENOENT;
        case ERROR_PATH_NOT_FOUND:
            return ENOTDIR;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        default:
            return EIO;
    }
}

namespace {

// A stream over a handle of a regular file: a link (a reparse point), a folder, a device or
// a pipe is closed again (errno ENXIO).
std::FILE* regular_stream(HANDLE h, int flags, const char* mode) {
    if (h == INVALID_HANDLE_VALUE) {
        errno = errno_of(GetLastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(h);
        errno = ENXIO;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, mode);
    if (!f) _close(fd);
    return f;
}

}  // namespace

std::FILE* create_new_file(const std::filesystem::path& path) {
    // CREATE_NEW fails on any existing entry, a link included; the reparse-point flag keeps
    // the call from ever acting on what a link names.
    return regular_stream(
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr),
        _O_WRONLY, "wb");
}

std::FILE* open_for_append(const std::filesystem::path& path) {
    return regular_stream(
        CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr),
        _O_WRONLY | _O_APPEND, "ab");
}

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    int n = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i) args.push_back(path_to_utf8(std::filesystem::path(wide[i])));
    LocalFree(wide);
    return args;
}

}  // namespace vk
