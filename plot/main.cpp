// vokram-plot: draws the suite's AutoCAD scripts of the survey folder as "VK/Survey.svg", and
// writes the survey as "VK/Survey.dxf" and the point list "VK/Points.csv".
#include "plot/plot.hpp"
#include "vokram/command_line.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl(
        "vokram-plot",
        "Чертае план на измерването върху лист A3 или A4 в мащаб.\n"
        "Чете:  VK/VK_2.scr, VK/VK_4.scr, VK/VK_5.scr (които има), VK/Geo_Data.txt, VK/VK_4.txt\n"
        "Пише:  VK/Survey.svg, VK/Survey.dxf (DXF R12 в абсолютни координати),\n"
        "       VK/Points.csv (списък на точките, UTF-8); с --pdf и VK/Survey.pdf (чрез rsvg-convert)");
    cl.value("--page", "ЛИСТ", "размер на листа, A3 по подразбиране", {"A3", "A4"});
    cl.flag("--pdf", "пише и VK/Survey.pdf в същия мащаб (нужен е rsvg-convert, пакет librsvg2-bin)");
    return vk::program_main(argc, argv, cl, [&cl](vk::Console& con, const std::filesystem::path& root) {
        return vk::plot::run(con, root,
                             {.page = cl.get("--page") == "A4" ? vk::plot::Page::A4 : vk::plot::Page::A3,
                              .pdf = cl.has("--pdf")});
    });
}
