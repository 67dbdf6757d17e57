// vokram-plot on a large detail survey: 50 polar stations 300 m apart, each with its
// detail points at 15 to 75 m around it (10,000 points in all), written as vokram5
// writes its script: each point with its number and height, and the ray from its
// station. Measured: reading the script, placing the texts and drawing the plan, and the
// DXF drawing with the point list. The whole must stay well under 3 s.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "plot/plot.hpp"

namespace {

std::string fixed(double v) {
    char s[32];
    std::snprintf(s, sizeof s, "%.3f", v);
    return s;
}

std::string detail_script(int points) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0, 1);
    constexpr int kStations = 50;
    std::string scr;
    for (int k = 0; k < points; ++k) {
        const int st = k % kStations;
        const double es = 8512000 + 300.0 * (st % 10), ns = 4567000 + 300.0 * (st / 10.0);
        const double d = 15 + 60 * unit(rng), t = 2 * std::numbers::pi * unit(rng);
        const double e = es + d * std::sin(t), n = ns + d * std::cos(t), h = 500 + 20 * unit(rng);
        const std::string no = std::to_string(10000 + k);
        scr += "layer s 2D_Points\r\n\r\npoint " + fixed(e) + "," + fixed(n) + "\r\n";
        scr += "layer s 2D_Names\r\n\r\ntext " + fixed(e + 0.16) + "," + fixed(n + 0.1) + " 0.20 0 " + no +
               "\r\n";
        scr += "layer s 2D_Altitudes\r\n\r\ntext " + fixed(e + 0.16) + "," + fixed(n - 0.2) + " 0.20 0 " +
               fixed(h).substr(0, fixed(h).size() - 1) + "\r\n";
        scr += "layer s 2D_Snimka\r\n\r\nline " + fixed(es) + "," + fixed(ns) + " " + fixed(e) + "," +
               fixed(n) + "\r\n\r\n";
        scr += "layer s 3D_Points\r\n\r\npoint " + fixed(e) + "," + fixed(n) + "," + fixed(h) + "\r\n";
    }
    return scr;
}

void PlanOfDetailSurvey(benchmark::State& state) {
    const std::string scr = detail_script(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        vk::plot::Drawing d;
        vk::plot::read_script(scr, d);
        const vk::plot::Plan plan = vk::plot::draw_plan(d, vk::plot::Page::A3);
        const std::vector<vk::plot::SurveyPoint> points = vk::plot::survey_points(d, "");
        vk::TextFile dxf, csv;
        vk::plot::write_dxf(d, plan, points, dxf);
        vk::plot::write_points(points, csv);
        benchmark::DoNotOptimize(plan.svg.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(PlanOfDetailSurvey)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
