// vokram-plot: draws the suite's AutoCAD scripts of the survey folder as "VK/Survey.svg".
#include "plot/plot.hpp"
#include "vokram/command_line.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl("vokram-plot",
                       "Чертае план на измерването.\n"
                       "Чете:  VK/VK_2.scr, VK/VK_4.scr, VK/VK_5.scr (които има)\n"
                       "Пише:  VK/Survey.svg");
    return vk::program_main(argc, argv, cl, vk::plot::run);
}
