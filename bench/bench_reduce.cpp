// Colour reduction and halftoning of a 1024 x 768 true-colour picture, against the time
// each is allowed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "imagelib/KvDIBConverters.h"

namespace {

constexpr int PictureWidth = 1024;
constexpr int PictureHeight = 768;

// A photograph-like picture: a sky gradient, a few shaded discs, and sensor noise.
const TKvInternalDIB& Picture() {
    static const std::unique_ptr<TKvInternalDIB> picture = [] {
        auto dib = std::make_unique<TKvInternalDIB>();
        dib->FreeDIB();
        dib->CreateDIB(PictureWidth, PictureHeight, 24, 0);
        std::mt19937 random(2024);
        std::normal_distribution<double> noise(0.0, 4.0);
        struct TDisc {
            double X, Y, Radius, R, G, B;
        };
        const TDisc discs[] = {{300, 500, 180, 200, 60, 40},
                               {700, 420, 240, 40, 150, 70},
                               {520, 180, 90, 250, 220, 90},
                               {880, 650, 120, 90, 80, 200}};
        for (int y = 0; y < PictureHeight; ++y) {
            std::uint8_t* p = DIBScanLine(dib->Infos, y);
            for (int x = 0; x < PictureWidth; ++x, p += 3) {
                double r = 90 + 80.0 * y / PictureHeight, g = 140 + 60.0 * y / PictureHeight,
                       b = 230 - 40.0 * x / PictureWidth;
                for (const TDisc& d : discs) {
                    const double distance = std::hypot(x - d.X, y - d.Y) / d.Radius;
                    if (distance >= 1) continue;
                    const double shade = 1.1 - 0.6 * distance;
                    r = d.R * shade;
                    g = d.G * shade;
                    b = d.B * shade;
                }
                auto channel = [&](double v) {
                    return std::uint8_t(std::clamp(v + noise(random), 0.0, 255.0));
                };
                p[0] = channel(b);
                p[1] = channel(g);
                p[2] = channel(r);
            }
        }
        return dib;
    }();
    return *picture;
}

// Goals in milliseconds per conversion, by benchmark name.
const std::map<std::string, double> Goals = {
    {"ReduceLow256", 15}, {"ReduceLow16", 15},   {"ReduceHigh256", 80},
    {"ReduceHigh16", 80}, {"HalftoneColor", 10}, {"HalftoneBW", 10},
};

template <class Convert> void Measure(benchmark::State& state, Convert&& convert) {
    const TKvDIBInfos& source = Picture().Infos;
    for (auto _ : state) {
        TKvDIBInfos result;
        convert(source, result);
        benchmark::DoNotOptimize(result.Bits);
        ReleaseFileMap(result.MapHandle, result.Bits);
    }
}

void Reduction(benchmark::State& state,
               void (*convert)(const TKvDIBInfos&, TKvDIBInfos&, const TKvProgressStep&)) {
    int steps = 0;
    const TKvProgressStep step = [&steps] { ++steps; };
    Measure(state, [&](const TKvDIBInfos& source, TKvDIBInfos& result) { convert(source, result, step); });
}

void Halftone(benchmark::State& state, void (*convert)(const TKvDIBInfos&, TKvDIBInfos&)) {
    Measure(state, convert);
}

// Prints the usual table, then each measurement against its goal.
class TGoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            // With repetitions the mean stands for the benchmark.
            const bool single = run.run_type == Run::RT_Iteration;
            if (!single && run.aggregate_name != "mean") continue;
            FResults[run.run_name.str()] =
                run.GetAdjustedRealTime() * 1000 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }
    bool PrintSummary() const {
        bool met = true;
        std::printf("\n%-16s %10s %10s\n", "conversion", "ms", "goal ms");
        for (const auto& [name, ms] : FResults) {
            const auto goal = Goals.find(name);
            const bool ok = goal == Goals.end() || ms <= goal->second;
            met = met && ok;
            std::printf("%-16s %10.2f %10.0f  %s\n", name.c_str(), ms,
                        goal == Goals.end() ? 0.0 : goal->second, ok ? "met" : "MISSED");
        }
        return met;
    }

private:
    std::map<std::string, double> FResults;
};

} // namespace

BENCHMARK_CAPTURE(Reduction, ReduceLow256, ConvertTrueColorTo8BitRGBLow)
    ->Name("ReduceLow256")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reduction, ReduceLow16, ConvertTrueColorTo4BitRGBLow)
    ->Name("ReduceLow16")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reduction, ReduceHigh256, ConvertTrueColorTo8BitRGBHigh)
    ->Name("ReduceHigh256")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reduction, ReduceHigh16, ConvertTrueColorTo4BitRGBHigh)
    ->Name("ReduceHigh16")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Halftone, HalftoneColor, ConvertToHalfTone)
    ->Name("HalftoneColor")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Halftone, HalftoneBW, ConvertToHalfToneBW)
    ->Name("HalftoneBW")
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TGoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.PrintSummary() ? 0 : 1;
}
