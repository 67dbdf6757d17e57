#include <filesystem>
#include <string>
#include <string_view>

#include "vokram/platform.hpp"

namespace vk {

// The char8_t forms say plainly that the narrow text is UTF-8 on every system.
std::filesystem::path path_from_utf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string path_to_utf8(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace vk
