// vokram5: detail points from the polar stations of "VK/Geo_Data.txt" in the current folder.
#include <filesystem>

#include "vokram5/polar.hpp"

int main() {
    auto console = vk::make_console();
    return vk::v5::run(*console, std::filesystem::current_path());
}
