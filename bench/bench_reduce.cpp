// Colour reduction and halftoning of a 1024 x 768 true-colour picture, against the time
// each is allowed.
#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>

#include "BenchReport.h"
#include "imagelib/KvDIBConverters.h"

namespace {

constexpr int PictureWidth = 1024;
constexpr int PictureHeight = 768;

// A photograph-like picture: a sky gradient, a few shaded discs, and sensor noise.
const TKvInternalDIB& Picture() {
    static const std::unique_ptr<TKvInternalDIB> picture = [] {
        auto dib = std::make_unique<TKvInternalDIB>(PictureWidth, PictureHeight, 24, 0);
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
const std::pair<const char*, double> Goals[] = {
    {"ReduceLow256", 15}, {"ReduceLow16", 15},   {"ReduceHigh256", 80},
    {"ReduceHigh16", 80}, {"HalftoneColor", 10}, {"HalftoneBW", 10},
};

template <class Convert> void Measure(benchmark::State& state, Convert&& convert) {
    const TKvDIBInfos& source = Picture().Infos;
    const TWorkUsage usage;
    for (auto _ : state) {
        TKvDIBInfos result;
        convert(source, result);
        benchmark::DoNotOptimize(result.Bits);
        ReleaseFileMap(result.MapHandle, result.Bits);
    }
    usage.Report(state);
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
    return RunWithGoals(argc, argv, [](const TBenchRecorder& Results) {
        std::vector<TGoalRow> rows;
        for (const auto& [name, goal] : Goals)
            if (const auto* run = Results.Find(name)) {
                rows.push_back({std::string("1024x768 ") + name, run->Ms, "ms", TGoalRow::AtMost, goal});
                rows.push_back({"  minor page faults per conversion", run->Counter("faults"), "faults"});
            }
        return rows;
    });
}
