// vokram4: least-squares adjustment of the plane network of "Temp/VK_2.tmp" in the survey folder.
#include "vokram/command_line.hpp"
#include "vokram4/adjustment.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl("vokram4",
                       "Изравнява плановата мрежа по метода на най-малките квадрати.\n"
                       "Чете:  Temp/Key.tmp, Temp/VK_2.tmp\n"
                       "Пише:  VK/Protokol.TXT (добавя), VK/VK_4.txt, VK/VK_4.scr и работните файлове\n"
                       "       Temp/N_matrix.tmp, Temp/dx.tmp, Temp/Q_row.tmp, Temp/Q_main.tmp");
    return vk::program_main(argc, argv, cl, vk::v4::run);
}
