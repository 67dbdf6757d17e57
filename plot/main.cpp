// vokram-plot: draws the suite's AutoCAD scripts of the current folder as "VK/Survey.svg".
#include <filesystem>

#include "plot/plot.hpp"

int main() {
    auto console = vk::make_console();
    return vk::plot::run(*console, std::filesystem::current_path());
}
