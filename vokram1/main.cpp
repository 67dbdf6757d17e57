// vokram1: checks and reduces the field data of "VK/Geo_Data.txt" in the survey folder.
#include "vokram/command_line.hpp"
#include "vokram1/survey.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl(
        "vokram1",
        "Проверява полевите данни и дадените точки, обединява двете положения на тръбата,\n"
        "сравнява повторните и реципрочните измервания, ориентира станциите и редуцира разстоянията.\n"
        "Чете:  VK/Geo_Data.txt, P.txt (създава го с подразбиращи се стойности, ако липсва)\n"
        "Пише:  VK/Protokol.TXT (наново), Temp/VK_1.tmp, Temp/Key.tmp");
    return vk::program_main(argc, argv, cl, vk::v1::run);
}
