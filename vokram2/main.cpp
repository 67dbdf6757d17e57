// vokram2: approximate coordinates, heights and drawing files for the network of "Temp/VK_1.tmp".
#include "vokram/command_line.hpp"
#include "vokram2/network.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl(
        "vokram2",
        "Намира приблизителни координати на новите точки чрез засечки, контролира ги\n"
        "и определя височините им.\n"
        "Чете:  Temp/Key.tmp, Temp/VK_1.tmp, P.txt\n"
        "Пише:  VK/Protokol.TXT (добавя), VK/VK_2.scr, VK/VK_2.cad, VK/Surface.txt, Temp/VK_2.tmp,\n"
        "       VK/VK_H.txt, Temp/VK_H.tmp, Temp/Key.tmp (vokram4 --adopt пише първите четири\n"
        "       отново с изравнените координати и коти)\n"
        "Извън терминал отговорите на въпросите си чете от стандартния вход, по един на ред.");
    return vk::program_main(argc, argv, cl, vk::v2::run);
}
