// Times each program of the chain on a survey at the capacity limits (398 points in all,
// close to 999 sights, two polar stations), as a surveyor runs them: as separate
// processes in a working folder. Prints the best of several runs per program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "support/chain.hpp"

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    vk::test::Survey s = vk::test::grow({.seed = 6,
                                         .given = 10,
                                         .fresh = 388,
                                         .polar_stations = 2,
                                         .details = 60,
                                         .repeated_sets = false,
                                         .second_sight = 0.5});
    s.faces = vk::test::kFaceI;
    std::printf("survey: %zu points, %d sights, %zu detail points\n", s.truth.size() - s.details().size(),
                s.rows(), s.details().size());
    const char* modules[] = {"vokram1", "vokram2", "vokram4", "vokram5"};
    double best[4] = {1e9, 1e9, 1e9, 1e9};
    for (int r = 0; r < repeats; ++r) {
        vk::test::Folder f("bench");
        f.write("VK/Geo_Data.txt", s.geo());
        f.write("P.txt", s.params());
        for (int m = 0; m < 4; ++m) {
            const auto t0 = std::chrono::steady_clock::now();
            const int status = vk::test::run_program(f, modules[m]);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            if (status != 0 || f.read("Temp/Key.tmp") != "1\r\n") {
                std::fprintf(stderr, "%s did not end normally (status %d)\n", modules[m], status);
                return 1;
            }
            best[m] = std::min(best[m], ms);
        }
    }
    double total = 0;
    for (int m = 0; m < 4; ++m) {
        std::printf("%-8s %8.1f ms\n", modules[m], best[m]);
        total += best[m];
    }
    std::printf("%-8s %8.1f ms (best of %d runs each, process start included)\n", "chain", total, repeats);
    return 0;
}
