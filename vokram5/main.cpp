// vokram5: detail points from the polar stations of "VK/Geo_Data.txt" in the survey folder.
#include "vokram/command_line.hpp"
#include "vokram5/polar.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl(
        "vokram5",
        "Изчислява подробните точки от полярните станции.\n"
        "Чете:  Temp/Key.tmp, Temp/VK_2.tmp, VK/Geo_Data.txt, P.txt\n"
        "Пише:  VK/Protokol.TXT (добавя), VK/VK_5.scr; добавя към VK/VK_2.cad и VK/Surface.txt");
    return vk::program_main(argc, argv, cl, vk::v5::run);
}
