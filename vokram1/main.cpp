// vokram1: checks and reduces the field data of "VK/Geo_Data.txt" in the current folder.
#include <filesystem>

#include "vokram1/survey.hpp"

int main() {
    auto console = vk::make_console();
    return vk::v1::run(*console, std::filesystem::current_path());
}
