// The plan as PDF through librsvg's converter, run as a program of its own. Where the
// system cannot start programs by name, the converter counts as not installed.
#include <cerrno>
#include <string>
#include <vector>

#include "plot/plot.hpp"

#if __has_include(<spawn.h>) && __has_include(<sys/wait.h>)
#include <spawn.h>
#include <sys/wait.h>
#define VOKRAM_SPAWN 1
#endif

namespace vk::plot {

namespace {

constexpr const char* kConverter = "rsvg-convert";

// Runs the program found on the search path with `args`: its exit status, or -1 when
// it could not be started, -2 when it is not installed.
int spawn(std::vector<std::string> args) {
#ifdef VOKRAM_SPAWN
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int err = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (err == ENOENT) return -2;
    if (err != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    (void)args;
    return -2;
#endif
}

}  // namespace

bool convert_to_pdf(const std::filesystem::path& svg, const std::filesystem::path& pdf) {
    std::filesystem::path part = pdf;
    part += ".part";
    const int status = spawn({kConverter, "--format=pdf", "--output=" + part.string(), svg.string()});
    if (status == -2) return false;
    std::error_code ec;
    if (status == 0) {
        std::filesystem::rename(part, pdf, ec);
        if (!ec) return true;
    }
    std::filesystem::remove(part, ec);
    throw FatalIo{kWriteError, "VK/Survey.pdf: " + std::string(kConverter) + " не успя"};
}

}  // namespace vk::plot
