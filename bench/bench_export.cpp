// A whole animated GIF export: 200 frames of 320 x 240, three transparent casts moving over a
// photograph-like main image, one common palette of 256 colours (and, beside it, the halftone
// and per-frame palettes). Prints each time, the page faults and peak memory against the
// goals; the first export of the run is measured on its own, as a user's first export is.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "BenchReport.h"
#include "editor/model/frameexport.h"

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

TFrameExportSettings Settings(int ColorChoice, bool CommonPalette) {
    TFrameExportSettings settings;
    settings.Gif.ColorChoice = ColorChoice;
    settings.Gif.CommonPalette = CommonPalette;
    return settings;
}

void Export(benchmark::State& State, int ColorChoice, bool CommonPalette) {
    TEditorDocument& document = Document();
    QTemporaryDir folder;
    const std::string name = folder.filePath("bench.gif").toStdString();
    const TFrameExportSettings settings = Settings(ColorChoice, CommonPalette);
    const TWorkUsage usage;
    for (auto _ : State)
        ExportFrames(document, name, settings, TExportProgress{});
    usage.Report(State);
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

// The first export after start-up, when nothing of the export's memory is in use yet.
struct TFirstExport {
    double Ms;
    long Faults;
};

TFirstExport FirstExport() {
    TEditorDocument& document = Document();
    QTemporaryDir folder;
    const std::string name = folder.filePath("first.gif").toStdString();
    const long faults = MinorFaults();
    const auto start = std::chrono::steady_clock::now();
    ExportFrames(document, name, Settings(1, true), TExportProgress{});
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return {took.count(), MinorFaults() - faults};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const TFirstExport first = FirstExport();
    std::printf("first export: %.1f ms, %ld minor faults\n", first.Ms, first.Faults);
    return RunWithGoals(argc, argv, [&first](const TBenchRecorder& Results) {
        std::vector<TGoalRow> rows{
            {"export 200 frames, first of the run", first.Ms, "ms"},
            {"  its minor page faults", double(first.Faults), "faults", TGoalRow::AtMost, 2000},
        };
        const char* names[] = {"CommonPalette256", "OwnPalettes256", "Halftone"};
        for (const char* name : names)
            if (const auto* run = Results.Find(name)) {
                const bool goals = name == names[0];
                rows.push_back({std::string("export 200 frames, ") + name, run->Ms, "ms",
                                goals ? TGoalRow::AtMost : TGoalRow::NoGoal, 250});
                rows.push_back({"  minor page faults per export", run->Counter("faults"), "faults",
                                goals ? TGoalRow::AtMost : TGoalRow::NoGoal, 2000});
            }
        rows.push_back({"export peak RSS", PeakRssMb(), "MB", TGoalRow::AtMost, 150});
        return rows;
    });
}
