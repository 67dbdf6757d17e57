// The survey-folder lock on POSIX systems: flock() on a descriptor of Temp/Lock.tmp.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "lock_io.hpp"
#include "vokram/frame.hpp"

namespace vk::lock_io {

long long process_id() {
    return ::getpid();
}

long long open_lock(const std::filesystem::path& path, const std::string& name) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == ELOOP || errno == ENXIO)) throw io_error(ENXIO, name);
    if (fd < 0) throw io_error(errno, name);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw io_error(ENXIO, name);
    }
    // The `vokram` command holds the folder for its whole chain: it opens the lock file once
    // and hands each program that open file (VOKRAM_LOCK_FD), whose lock then stays with the
    // chain between its programs. A descriptor of any other file is not taken.
    const char* chain = std::getenv("VOKRAM_LOCK_FD");
    char* end = nullptr;
    const long inherited = chain ? std::strtol(chain, &end, 10) : -1;
    struct stat held {};
    if (inherited > 2 && inherited < 1024 && *end == '\0' &&
        ::fstat(static_cast<int>(inherited), &held) == 0 && held.st_dev == st.st_dev &&
        held.st_ino == st.st_ino) {
        ::close(fd);
        return inherited;
    }
    return fd;
}

Attempt try_lock(long long handle, int& err) {
    while (::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) != 0) {
        err = errno;
        if (err == EINTR) continue;
        return err == EWOULDBLOCK ? Attempt::held : Attempt::failed;
    }
    return Attempt::taken;
}

void release(long long handle) {
    ::close(static_cast<int>(handle));  // closing the descriptor releases the lock
}

}  // namespace vk::lock_io
