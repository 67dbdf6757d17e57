// The plan as PDF through librsvg's converter, run as a program of its own. Where the
// system cannot start programs by name, the converter counts as not installed.
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "plot/plot.hpp"
#include "vokram/folder_lock.hpp"

#if __has_include(<spawn.h>) && __has_include(<sys/wait.h>)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#define VOKRAM_SPAWN 1
#endif

namespace vk::plot {

namespace {

constexpr const char* kConverter = "rsvg-convert";

// Runs the program found on the search path with `args`, its standard output going to
// `out`: its exit status, or -1 when it could not be started, -2 when it is not installed.
int spawn(std::vector<std::string> args, std::FILE* out) {
#ifdef VOKRAM_SPAWN
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    pid_t pid = 0;
    int err = posix_spawn_file_actions_adddup2(&actions, fileno(out), STDOUT_FILENO);
    if (err == 0) err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err == ENOENT) return -2;
    if (err != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    (void)args;
    (void)out;
    return -2;
#endif
}

}  // namespace

bool convert_to_pdf(const std::filesystem::path& svg, const std::filesystem::path& pdf) {
    // The converter writes to its standard output, a temporary file created here as new (never
    // through a link), and reads the picture by a path, which no folder name
    // beginning with "-" can turn into an option: a relative path begins with "./".
    const std::string name = "VK/Survey.pdf";
    std::filesystem::path part;
    std::FILE* out = create_temporary(pdf, name, part);
    const std::filesystem::path input = svg.is_absolute() ? svg : std::filesystem::path(".") / svg;
    const int status = spawn({kConverter, "--format=pdf", input.string()}, out);
    const bool closed = std::fclose(out) == 0;
    if (status == 0 && closed) {
        put_in_place(part, pdf, name);
        return true;
    }
    std::error_code ec;
    std::filesystem::remove(part, ec);
    if (status == -2) return false;
    throw FatalIo{kWriteError, name + ": " + std::string(kConverter) + " не успя"};
}

}  // namespace vk::plot
