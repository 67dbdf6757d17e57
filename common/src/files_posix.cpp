// Files and the command line on POSIX systems: paths and arguments are UTF-8 bytes already.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "vokram/platform.hpp"

namespace vk {

std::FILE* open_file(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

namespace {

// A buffered stream over `fd`; the descriptor is closed when none can be made.
std::FILE* stream(int fd, const char* mode) {
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, mode);
    if (!f) {
        const int err = errno;
        ::close(fd);
        errno = err;
    }
    return f;
}

}  // namespace

std::FILE* create_new_file(const std::filesystem::path& path) {
    return stream(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666), "wb");
}

std::FILE* open_for_append(const std::filesystem::path& path) {
    // Without waiting: a FIFO that nobody reads would hold the program forever.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = ENXIO;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, O_APPEND);  // writes to a regular file may wait for the disk again
    return stream(fd, "ab");
}

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace vk
