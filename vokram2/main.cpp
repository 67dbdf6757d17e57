// vokram2: approximate coordinates, heights and drawing files for the network of "Temp/VK_1.tmp".
#include <filesystem>

#include "vokram2/network.hpp"

int main() {
    auto console = vk::make_console();
    return vk::v2::run(*console, std::filesystem::current_path());
}
