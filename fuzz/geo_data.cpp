// Any survey data file runs vokram1's stages to an orderly end: a stop with its report
// lines, or the network. Never a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "vokram1/survey.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vk::ScriptedConsole con;
    vk::TextFile report;
    vk::v1::Survey s(con, report);
    s.geo.assign(reinterpret_cast<const char*>(data), size);
    try {
        vk::v1::report_head(s);
        vk::v1::vhod_points(s);
        vk::v1::report_params(s);
        vk::v1::vhod_stations(s);
        vk::v1::kontroli(s);
        vk::v1::korekcii(s);
        vk::v1::elementi(s);
        vk::TextFile out;
        vk::v1::izhod(s, out);
    } catch (const vk::ModuleStop&) {
    } catch (const vk::FatalIo&) {
    }
    return 0;
}
