// The adjustment of a network at the capacity limits (400 points, 999 measurements,
// about 790 unknowns), whole: input, iterations with the record files on disk,
// cofactors, report and diagnostics; then the reduction, the cofactors and the
// diagnostics of the last iteration one by one. Beside them, in the same run, a bare
// in-memory Gaussian reduction of a dense matrix of the same size, the yardstick of the
// adjustment.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "network.hpp"
#include "vokram/console.hpp"
#include "vokram/text.hpp"
#include "vokram4/adjustment.hpp"
#include "vokram4/diagnostics.hpp"

namespace {

namespace fs = std::filesystem;

// A 20 x 20 grid: 4 given corners, 396 new points (792 unknowns), 999 measurements
// each with a direction and a distance. The new points come in the order of their
// numbers: numbered along the grid as a surveyor numbers them in the field, the
// normal matrix keeps a narrow band; numbered at random, the reduction fills it in.
v4test::Network capacity_network(bool shuffled) {
    v4test::Shape shape;
    shape.seed = 7;
    shape.rows = shape.cols = 20;
    shape.spacing = 150.0;
    shape.jitter = 30.0;
    shape.sigma_R = 10.0;
    shape.sigma_D = 3.0;
    shape.distance_share = 1.0;
    shape.sparse = true;
    shape.sights = 999;
    shape.shuffle_new = shuffled;
    return v4test::grid(shape);
}

// Few stations, each sighting all its neighbours (about 840 sights, each with a
// direction and a distance, every third point a station), noise-free or with field work
// that does not fit the weights (5 cc and 1 cm, where the weights take 3 cc for 2.1 cm),
// so that the F test of the variance components rejects and the weight is balanced.
v4test::Network few_stations(double sigma_R, double sigma_D) {
    v4test::Shape shape;
    shape.seed = 7;
    shape.rows = shape.cols = 20;
    shape.spacing = 150.0;
    shape.jitter = 30.0;
    shape.sigma_R = sigma_R;
    shape.sigma_D = sigma_D;
    shape.distance_share = 1.0;
    shape.few_stations = true;
    shape.sights = 999;
    return v4test::grid(shape);
}

struct Folder {
    fs::path root;
    explicit Folder(const v4test::Network& net) {
        root = fs::temp_directory_path() / ("vokram4-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "VK");
        fs::create_directories(root / "Temp");
        std::ofstream(root / "Temp" / "Key.tmp", std::ios::binary) << "1\r\n";
        std::ofstream(root / "Temp" / "VK_2.tmp", std::ios::binary) << v4test::vk2_bytes(net);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

// The distance weight's solutions beyond the adjustment, as "VK/VK_4.txt" states them.
int balancing_solutions(const fs::path& listing) {
    std::ifstream in(listing, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string said = vk::to_cp1251("се изравняват: pD = ");
    const std::size_t at = text.find(said);
    if (at == std::string::npos) return 0;
    return std::atoi(text.c_str() + text.find('(', at) + 1);
}

void adjustment(benchmark::State& state, const v4test::Network& net) {
    Folder f(net);
    int unknowns = 0, iterations = 0, solutions = 0;
    for (auto _ : state) {
        fs::remove(f.root / "VK" / "Protokol.txt");
        vk::ScriptedConsole con;
        if (vk::v4::run(con, f.root) != 0 || !con.showed("ИЗРАВНЕНИЕ - ЗАВЪРШЕНО. ")) {
            state.SkipWithError("the adjustment did not end normally");
            break;
        }
        iterations = 0;
        for (const auto& s : con.shown) iterations += s.row == 20 && s.col == 15;
        unknowns = 2 * static_cast<int>(net.plane_approx().size());
        solutions = balancing_solutions(f.root / "VK" / "VK_4.txt");
    }
    state.counters["unknowns"] = unknowns;
    state.counters["iterations"] = iterations;
    state.counters["balancing_solutions"] = solutions;
}

// The network adjusted in memory, with the normal matrix of its last coordinates as
// formed, to time the stages of the last iteration one by one.
struct Adjusted {
    vk::ScriptedConsole con;
    vk::v4::Adjustment a{con};
    std::vector<double> formed;
    explicit Adjusted(bool shuffled) {
        vk::NumberReader in(v4test::vk2_bytes(capacity_network(shuffled)), "Temp/VK_2.tmp");
        vk::v4::vhod(a, in);
        a.rep = std::make_unique<vk::TextFile>();
        vk::v4::vhod_report(a);
        vk::v4::iterate(a);
        vk::v4::sastavq_n(a);
        formed = a.N.rec;
        vk::v4::reshava_n(a);
        vk::v4::opredelq_q(a);
    }
};

// RESHAVA_N: the reduction of the normal matrix and the back substitution.
void reduction(benchmark::State& state, bool shuffled) {
    Adjusted s(shuffled);
    for (auto _ : state) {
        state.PauseTiming();
        s.a.N.rec = s.formed;
        s.a.N.reopen();
        state.ResumeTiming();
        vk::v4::reshava_n(s.a);
    }
}

// OPREDELQ_Q: the cofactors from the reduced matrix.
void cofactors(benchmark::State& state, bool shuffled) {
    Adjusted s(shuffled);
    for (auto _ : state) {
        vk::v4::opredelq_q(s.a);
        benchmark::DoNotOptimize(s.a.M.rec.data());
    }
}

// The diagnostics (redundancy numbers, studentized residuals, error ellipses) after
// the cofactors.
void diagnostics(benchmark::State& state, bool shuffled) {
    Adjusted s(shuffled);
    for (auto _ : state) {
        const vk::v4::Diagnostics d = vk::v4::diagnose(s.a);
        benchmark::DoNotOptimize(d.ellipses.data());
    }
}

// The textbook reduction of a dense symmetric matrix of n x n, upper triangle packed
// by rows, in memory: for every pivot row, every row below is reduced by it.
void bare_reduction(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    std::vector<double> start(n * (n + 1) / 2);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> uni(-1.0, 1.0);
    std::vector<std::size_t> row(n + 1);
    for (std::size_t i = 1; i <= n; ++i) row[i] = vk::v4::op_l(n - 1, i, i) - 1;
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = i; j <= n; ++j) start[row[i] + j - i] = i == j ? 2.0 * n : uni(rng);
    std::vector<double> a;
    for (auto _ : state) {
        a = start;
        for (std::size_t t = 1; t < n; ++t) {
            const double* rt = &a[row[t]];
            for (std::size_t i = t + 1; i <= n; ++i) {
                const double f = rt[i - t] / rt[0];
                double* ri = &a[row[i]];
                for (std::size_t j = i; j <= n; ++j) ri[j - i] -= f * rt[j - t];
            }
        }
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
}

// Keeps the mean time per iteration of every benchmark to print the ratio at the end.
class Reporter : public benchmark::ConsoleReporter {
  public:
    struct Times {
        double real, cpu;
    };
    std::map<std::string, Times> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.iterations > 0)
                seconds[r.benchmark_name()] = {r.real_accumulated_time / static_cast<double>(r.iterations),
                                               r.cpu_accumulated_time / static_cast<double>(r.iterations)};
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

BENCHMARK_CAPTURE(adjustment, numbered_along_the_grid, capacity_network(false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(adjustment, numbered_at_random, capacity_network(true))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(adjustment, few_stations_noise_free, few_stations(0, 0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(adjustment, few_stations_weights_unfit, few_stations(5, 1))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(reduction, numbered_along_the_grid, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(reduction, numbered_at_random, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cofactors, numbered_along_the_grid, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cofactors, numbered_at_random, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(diagnostics, numbered_along_the_grid, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(diagnostics, numbered_at_random, true)->Unit(benchmark::kMillisecond);
BENCHMARK(bare_reduction)->Arg(793)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto bare = reporter.seconds.find("bare_reduction/793");
    if (bare != reporter.seconds.end())
        for (const auto& [name, t] : reporter.seconds)
            if (name.rfind("adjustment", 0) == 0)
                std::printf(
                    "%s: %.1f ms = %.2f x the bare reduction (%.1f ms); processor time %.1f ms = %.2f x "
                    "(%.1f ms)\n",
                    name.c_str(), t.real * 1e3, t.real / bare->second.real, bare->second.real * 1e3,
                    t.cpu * 1e3, t.cpu / bare->second.cpu, bare->second.cpu * 1e3);
    // The stages of the last iteration in processor time: the cofactors and the
    // diagnostics against one reduction.
    for (const char* numbering : {"numbered_along_the_grid", "numbered_at_random"}) {
        auto cpu = [&](const char* stage) {
            const auto t = reporter.seconds.find(std::string(stage) + "/" + numbering);
            return t == reporter.seconds.end() ? 0.0 : t->second.cpu * 1e3;
        };
        const double red = cpu("reduction"), cof = cpu("cofactors"), dia = cpu("diagnostics");
        if (red > 0 && cof > 0 && dia > 0)
            std::printf(
                "%s, processor time: reduction %.2f ms, cofactors %.2f ms, diagnostics %.2f ms; "
                "cofactors and diagnostics = %.2f x the reduction\n",
                numbering, red, cof, dia, (cof + dia) / red);
    }
    benchmark::Shutdown();
    return 0;
}
