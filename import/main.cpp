// vokram-import: the total station's raw files and the lists of given points to the survey
// data file "VK/Geo_Data.txt" of the survey folder.
#include <cstdlib>

#include "import/import.hpp"
#include "vokram/command_line.hpp"
#include "vokram/console.hpp"

int main(int argc, char** argv) {
    vk::CommandLine cl(
        "vokram-import",
        "Внася суровите файлове на тоталната станция (GSI-8, GSI-16, SDR33/SDR2x) и списъците на\n"
        "дадените точки във файла на измерването.\n"
        "Чете:  ФАЙЛ..., дадените точки (--given), VK/Names.txt\n"
        "Пише:  VK/Geo_Data.txt (старият като VK/Geo_Data.bak при --replace), VK/Names.txt,\n"
        "       VK/Import.txt (--report)");
    cl.operands("ФАЙЛ", "са суровите файлове на станцията, както и файловете на --given, с пътя им от текущата\nпапка; форматът се познава по съдържанието.")
        .value("--given", "ФАЙЛ", "дадени точки: име x y [H] на ред, или файл GSI/SDR с координати")
        .value("--station-code", "N", "GSI: кодов блок с код N започва станция (WI 42 име, WI 43 височина)")
        .flag("--replace", "заменя съществуващ VK/Geo_Data.txt")
        .value("--detail", "none", "всички визури в мрежата, без подробни точки", {"none"})
        .value("--instrument-height", "H", "височина на инструмента [м] за станциите без такава")
        .flag("--report", "записва казаното и във VK/Import.txt");
    return vk::program_main(argc, argv, cl, [&cl](vk::Console& con, const std::filesystem::path& folder) {
        vk::imp::Options o;
        o.raw = cl.operands();
        o.given = cl.values("--given");
        o.station_code = cl.get("--station-code");
        o.replace = cl.has("--replace");
        o.detail = !cl.has("--detail");
        o.report = cl.has("--report");
        if (cl.has("--instrument-height")) {
            const std::optional<double> h = vk::imp::decimal(cl.get("--instrument-height"));
            if (!h || *h < 0) {
                con.error("неприета височина на инструмента \"" + cl.get("--instrument-height") + "\"");
                return vk::kUsageError;
            }
            o.instrument_height = h;
        }
        return vk::imp::run(con, folder, o);
    });
}
