// vokram2 on a network at the capacity limits: 399 points and 999 measurements. A chain
// of forward angular intersections determines one point per pass, so the finder runs
// about three hundred passes, the worst case for its searches; polar points hang off
// the chain, and every sight carries a zenith angle and a slope distance for the heights.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "builder.hpp"
#include "vokram2/network.hpp"

namespace {

using namespace vk::v2;
using test::kD;
using test::kR;
using test::kS;
using test::kV;

constexpr int kChain = 301;  // points of the intersection chain
constexpr int kPoints = 399;
constexpr int kRows = 999;

test::Survey capacity_network() {
    test::Survey s;
    s.noise_angle = 0.0002;
    s.noise_length = 0.002;
    // A zigzag strip: each chain point is intersected from the two before it.
    auto x = [](int k) { return 50.0 * k; };
    auto y = [](int k) { return (k % 2) * 80.0; };
    s.points({{1, x(1), y(1), 100.0, 3}, {2, x(2), y(2), 101.0, 3}});
    for (int k = 3; k <= kChain; ++k) s.points({{k, x(k), y(k), 100.0 + 0.01 * k}});
    for (int k = kChain + 1; k <= kPoints; ++k) {
        const int at = 2 + (k - kChain) * 3;  // a polar point beside every third chain station
        s.points({{k, x(at) + 20.0, y(at) + (at % 2 ? 60.0 : -60.0), 99.0 + 0.01 * k}});
    }
    const unsigned all = kR | kV | kS;
    s.measure({{1, 1, 2, all}, {1, 1, 3, all}});
    for (int k = 2; k < kChain; ++k) {
        s.measure({{k, k, k - 1, all}, {k, k, k + 1, all}});
        if (k + 2 <= kChain) s.measure({{k, k, k + 2, all}});
        const int polar = kChain + (k - 2) / 3;
        if ((k - 2) % 3 == 0 && polar > kChain && polar <= kPoints) s.measure({{k, k, polar, all | kD}});
    }
    for (int k = 1; static_cast<int>(s.sights.size()) < kRows; ++k) s.measure({{kRows + k, k, k + 1, kD}});
    return s;
}

void BM_Vokram2AtCapacity(benchmark::State& state) {
    const test::Survey s = capacity_network();
    if (static_cast<int>(s.sights.size()) != kRows ||
        static_cast<int>(s.given.size() + s.fresh.size()) != kPoints) {
        state.SkipWithError("the generated network is not at the capacity limits");
        return;
    }
    test::Folder dir("bench");
    dir.write("Temp/VK_1.tmp", vk::to_cp1251(s.vk1()));
    for (auto _ : state) {
        state.PauseTiming();
        dir.write("Temp/Key.tmp", "1\r\n");
        std::filesystem::remove(dir.root / "VK" / "Protokol.TXT");
        vk::ScriptedConsole con;
        state.ResumeTiming();
        const int status = run(con, dir.root);
        state.PauseTiming();
        if (status != 0 || dir.read("Temp/Key.tmp") != "1\r\n") state.SkipWithError("vokram2 did not finish");
        const std::string report = dir.read("VK/Protokol.TXT");
        if (report.find(vk::to_cp1251("Неопределени точки")) != std::string::npos)
            state.SkipWithError("a point stayed undetermined");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Vokram2AtCapacity)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
