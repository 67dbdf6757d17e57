// Files and the command line on POSIX systems: paths and arguments are UTF-8 bytes already.
#include <cstdio>

#include "vokram/platform.hpp"

namespace vk {

std::FILE* open_file(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace vk
