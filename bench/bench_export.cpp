// A whole animated GIF export: 200 frames of 320 x 240, three transparent casts moving over a
// photograph-like main image, one common palette of 256 colours (and, beside it, the halftone
// and per-frame palettes). Prints each time against its goal.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "editor/frameexport.h"

namespace {

constexpr int ImageWidth = 320, ImageHeight = 240, Frames = 200, CastSize = 48;

// A sky gradient with a shaded disc and a little sensor noise.
void PaintMainImage(TBitmap& Image) {
    Image.SetPixelFormat(pfDevice);
    Image.SetSize(ImageWidth, ImageHeight);
    QImage& pixels = Image.Image();
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 3.0);
    for (int y = 0; y < ImageHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < ImageWidth; ++x) {
            double r = 90 + 80.0 * y / ImageHeight, g = 140 + 60.0 * y / ImageHeight,
                   b = 230 - 40.0 * x / ImageWidth;
            const double distance = std::hypot(x - 200.0, y - 150.0) / 70.0;
            if (distance < 1) {
                const double shade = 1.1 - 0.6 * distance;
                r = 200 * shade;
                g = 60 * shade;
                b = 40 * shade;
            }
            auto channel = [&](double v) { return int(std::clamp(v + noise(random), 0.0, 255.0)); };
            row[x] = qRgb(channel(r), channel(g), channel(b));
        }
    }
}

// A cast: a filled ellipse on a key-coloured square, the key colour left out when drawn.
void MakeCast(TScoreChannel& Channel, TColor Colour) {
    TBitmap& cast = Channel.EnsureCast(0);
    cast.SetPixelFormat(pfDevice);
    cast.SetSize(CastSize, CastSize);
    TCanvas& canvas = *cast.Canvas();
    canvas.Brush = TBrush{clFuchsia, bsSolid};
    canvas.FillRect(TRect{0, 0, CastSize, CastSize});
    canvas.Brush = TBrush{Colour, bsSolid};
    canvas.Ellipse(4, 4, CastSize - 4, CastSize - 4);
    Channel.CastTransparent[0] = true;
    Channel.CastKeyPoint[0] = TPoint{0, 0};
    Channel.SyncCastTransparency(0);
    Channel.RecountCasts();
}

TEditorDocument& Document() {
    static TEditorDocument document;
    static const bool made = [] {
        PaintMainImage(*document.MainImage);
        document.RebuildCanvas();
        const TColor colours[3] = {RGB(240, 200, 30), RGB(30, 160, 60), RGB(120, 40, 170)};
        for (int ch = 0; ch < 3; ++ch) {
            TScoreChannel& channel = document.Channels[ch];
            MakeCast(channel, colours[ch]);
            for (int f = 0; f < Frames; ++f) {
                const double t = f / double(Frames) * 2 * 3.14159265 + ch * 2.1;
                channel.CellSet[f] = true;
                channel.Positions[f] = TPoint{CanvasMargin + ImageWidth / 2 + int(110 * std::cos(t)),
                                              CanvasMargin + ImageHeight / 2 + int(80 * std::sin(2 * t))};
            }
        }
        for (int f = 0; f < Frames; ++f)
            document.FrameWaits[f] = 5;
        return true;
    }();
    (void)made;
    return document;
}

void Export(benchmark::State& State, int ColorChoice, bool CommonPalette) {
    TEditorDocument& document = Document();
    QTemporaryDir folder;
    const std::string name = folder.filePath("bench.gif").toStdString();
    TFrameExportSettings settings;
    settings.Gif.ColorChoice = ColorChoice;
    settings.Gif.CommonPalette = CommonPalette;
    for (auto _ : State)
        ExportFrames(document, name, settings, TExportProgress{});
    State.SetItemsProcessed(State.iterations() * Frames);
}

void CommonPalette256(benchmark::State& State) {
    Export(State, 1, true);
}
void OwnPalettes256(benchmark::State& State) {
    Export(State, 1, false);
}
void Halftone(benchmark::State& State) {
    Export(State, 0, true);
}

BENCHMARK(CommonPalette256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OwnPalettes256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Halftone)->Unit(benchmark::kMillisecond)->UseRealTime();

// Goals in milliseconds per whole export, by benchmark name.
const std::map<std::string, double> Goals = {{"CommonPalette256", 500}};

class TGoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        ConsoleReporter::ReportRuns(Runs);
        for (const Run& run : Runs) {
            if (run.error_occurred) continue;
            const bool single = run.run_type == Run::RT_Iteration;
            if (!single && run.aggregate_name != "mean") continue;
            FResults[run.run_name.function_name] =
                run.GetAdjustedRealTime() * 1000 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }
    bool PrintSummary() const {
        bool met = true;
        std::printf("\n%-18s %10s %10s\n", "export", "ms", "goal ms");
        for (const auto& [name, ms] : FResults) {
            const auto goal = Goals.find(name);
            const bool ok = goal == Goals.end() || ms <= goal->second;
            met = met && ok;
            if (goal == Goals.end())
                std::printf("%-18s %10.1f %10s\n", name.c_str(), ms, "-");
            else
                std::printf("%-18s %10.1f %10.0f  %s\n", name.c_str(), ms, goal->second,
                            ok ? "met" : "MISSED");
        }
        return met;
    }

private:
    std::map<std::string, double> FResults;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    TGoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool met = reporter.PrintSummary();
    benchmark::Shutdown();
    return met ? 0 : 1;
}
