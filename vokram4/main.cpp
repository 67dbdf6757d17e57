// vokram4: least-squares adjustment of the plane network of "Temp/VK_2.tmp" in the
// current folder.
#include <filesystem>

#include "vokram4/adjustment.hpp"

int main() {
    auto console = vk::make_console();
    return vk::v4::run(*console, std::filesystem::current_path());
}
