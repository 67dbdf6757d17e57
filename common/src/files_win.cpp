// Files and the command line on Windows: the wide-character forms of the system calls, so
// that no name passes through the ANSI code page and loses its letters.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <cstdio>

#include "vokram/platform.hpp"

namespace vk {

std::FILE* open_file(const std::filesystem::path& path, const char* mode) {
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wide_mode.c_str());
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
