// vokram4: least-squares adjustment of the plane network of "Temp/VK_2.tmp" in the survey folder.
#include "vokram/command_line.hpp"
#include "vokram4/adjustment.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl(
        "vokram4",
        "Изравнява плановата мрежа по метода на най-малките квадрати.\n"
        "Чете:  Temp/Key.tmp, Temp/VK_2.tmp; с --adopt и Temp/VK_1.tmp, Temp/VK_H.tmp, P.txt\n"
        "Пише:  VK/Protokol.TXT (добавя), VK/VK_4.txt, VK/VK_4.scr и работните файлове\n"
        "       Temp/N_matrix.tmp, Temp/dx.tmp, Temp/Q_row.tmp, Temp/Q_main.tmp;\n"
        "       с --adopt и Temp/VK_2.tmp, VK/VK_2.scr, VK/VK_2.cad, VK/Surface.txt\n"
        "Без --adopt тези четири файла остават, както ги е записал vokram2: с приблизителните\n"
        "координати и котите от нивелацията. С --adopt, след сходимо изравнение, те носят\n"
        "изравнените координати на новите точки и изравнените коти от VK/VK_H.txt, и vokram5\n"
        "изчислява от тях; при прекъсване или несходимост не се променят.");
    cl.flag("--adopt", "поема изравнените координати и коти в Temp/VK_2.tmp и в чертожните файлове");
    return vk::program_main(argc, argv, cl, [&cl](vk::Console& con, const std::filesystem::path& root) {
        return vk::v4::run(con, root, {.adopt = cl.has("--adopt")});
    });
}
