// Whole animated GIF exports of 200 frames: three transparent casts moving over a
// photograph-like main image. At 320 x 240 with one common palette of 256 colours (and,
// beside it, the halftone and per-frame palettes); at 1024 x 768 with size optimisation off,
// so that every frame is written whole. Prints each time, the page faults and the memory
// against the goals; the first export of each size is measured on its own, as a user's first
// export is.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "BenchReport.h"
#include "editor/model/frameexport.h"

namespace {

constexpr int Frames = 200;

struct TScene {
    int Width, Height, CastSize;
};
constexpr TScene Small{320, 240, 48}, Large{1024, 768, 144};

// A sky gradient with a shaded disc and a little sensor noise.
void PaintMainImage(TBitmap& Image, const TScene& Scene) {
    Image.SetPixelFormat(pfDevice);
    Image.SetSize(Scene.Width, Scene.Height);
    QImage& pixels = Image.Image();
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 3.0);
    const double discX = Scene.Width * 0.625, discY = Scene.Height * 0.625, discRadius = Scene.Height * 0.29;
    for (int y = 0; y < Scene.Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < Scene.Width; ++x) {
            double r = 90 + 80.0 * y / Scene.Height, g = 140 + 60.0 * y / Scene.Height,
                   b = 230 - 40.0 * x / Scene.Width;
            const double distance = std::hypot(x - discX, y - discY) / discRadius;
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
void MakeCast(TScoreChannel& Channel, TColor Color, int Size) {
    TBitmap& cast = Channel.EnsureCast(0);
    cast.SetPixelFormat(pfDevice);
    cast.SetSize(Size, Size);
    TCanvas& canvas = *cast.Canvas();
    canvas.Brush = TBrush{clFuchsia, bsSolid};
    canvas.FillRect(TRect{0, 0, Size, Size});
    canvas.Brush = TBrush{Color, bsSolid};
    canvas.Ellipse(Size / 12, Size / 12, Size - Size / 12, Size - Size / 12);
    Channel.CastTransparent[0] = true;
    Channel.CastKeyPoint[0] = TPoint{0, 0};
    Channel.SyncCastTransparency(0);
    Channel.RecountCasts();
}

// The casts circle the middle of the picture on figure-of-eight paths.
void MakeDocument(TEditorDocument& Document, const TScene& Scene) {
    PaintMainImage(*Document.MainImage, Scene);
    Document.RebuildCanvas();
    const TColor colors[3] = {RGB(240, 200, 30), RGB(30, 160, 60), RGB(120, 40, 170)};
    for (int ch = 0; ch < 3; ++ch) {
        TScoreChannel& channel = Document.Channels[ch];
        MakeCast(channel, colors[ch], Scene.CastSize);
        for (int f = 0; f < Frames; ++f) {
            const double t = f / double(Frames) * 2 * 3.14159265 + ch * 2.1;
            channel.CellSet[f] = true;
            channel.Positions[f] =
                TPoint{CanvasMargin + Scene.Width / 2 + int(Scene.Width * 0.34 * std::cos(t)),
                       CanvasMargin + Scene.Height / 2 + int(Scene.Height * 0.33 * std::sin(2 * t))};
        }
    }
    for (int f = 0; f < Frames; ++f)
        Document.FrameWaits[f] = 5;
}

TEditorDocument& Document(const TScene& Scene) {
    static TEditorDocument small, large;
    static bool madeSmall = false, madeLarge = false;
    const bool isLarge = Scene.Width == Large.Width;
    TEditorDocument& document = isLarge ? large : small;
    bool& made = isLarge ? madeLarge : madeSmall;
    if (!made) MakeDocument(document, Scene);
    made = true;
    return document;
}

TFrameExportSettings Settings(int ColorChoice, bool CommonPalette, bool SizeOptimised = true) {
    TFrameExportSettings settings;
    settings.Gif.ColorChoice = ColorChoice;
    settings.Gif.CommonPalette = CommonPalette;
    settings.SizeOptimised = SizeOptimised;
    return settings;
}

const TFrameExportSettings FullFrames = Settings(1, true, false);

void ExportOnce(const TScene& Scene, const TFrameExportSettings& Settings, const std::string& Name) {
    ExportFrames(Document(Scene), Name, Settings, TExportProgress{});
}

void Export(benchmark::State& State, const TScene& Scene, const TFrameExportSettings& Settings) {
    QTemporaryDir folder;
    const std::string name = folder.filePath("bench.gif").toStdString();
    // Faults are counted from the second export on: the first one finds nothing in use yet.
    ExportOnce(Scene, Settings, name);
    const TWorkUsage usage;
    for (auto _ : State)
        ExportOnce(Scene, Settings, name);
    usage.Report(State);
    State.SetItemsProcessed(State.iterations() * Frames);
}

void CommonPalette256(benchmark::State& State) {
    Export(State, Small, Settings(1, true));
}
void OwnPalettes256(benchmark::State& State) {
    Export(State, Small, Settings(1, false));
}
void Halftone(benchmark::State& State) {
    Export(State, Small, Settings(0, true));
}
void FullFrames1024(benchmark::State& State) {
    Export(State, Large, FullFrames);
}

BENCHMARK(CommonPalette256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OwnPalettes256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Halftone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FullFrames1024)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A field of /proc/self/status in MB.
double StatusMb(const std::string& Field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(Field + ":", 0) == 0) return std::stod(line.substr(Field.size() + 1)) / 1024;
    return 0;
}

// The first export of a size after start-up, when nothing of the export's memory is in use
// yet: its time, its page faults and its peak memory above the program before it began.
struct TFirstExport {
    double Ms;
    long Faults;
    double PeakAboveIdleMb;
};

TFirstExport FirstExport(const TScene& Scene, const TFrameExportSettings& Settings) {
    Document(Scene);
    QTemporaryDir folder;
    const std::string name = folder.filePath("first.gif").toStdString();
    const double idle = StatusMb("VmRSS");
    // Resets the peak to what is resident now.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long faults = MinorFaults();
    const auto start = std::chrono::steady_clock::now();
    ExportOnce(Scene, Settings, name);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return {took.count(), MinorFaults() - faults, StatusMb("VmHWM") - idle};
}

// What an export must hold at once: the composed frame, its reduced copy being written and
// the frame written before, all three 24 bits per pixel. The memory goal is 1.5 times that
// plus 16 MB.
double MemoryGoalMb(const TScene& Scene) {
    return 1.5 * 3 * Scene.Width * Scene.Height * 3 / (1024.0 * 1024.0) + 16;
}

void AddFirstExportRows(std::vector<TGoalRow>& Rows, const std::string& Figure, const TFirstExport& First,
                        const TScene& Scene) {
    Rows.push_back({Figure + ", first of the run", First.Ms, "ms"});
    Rows.push_back({"  its minor page faults", double(First.Faults), "faults"});
    Rows.push_back({"  its peak memory above idle", First.PeakAboveIdleMb, "MB", TGoalRow::AtMost,
                    std::round(MemoryGoalMb(Scene) * 10) / 10});
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const TFirstExport first = FirstExport(Small, Settings(1, true));
    const TFirstExport firstLarge = FirstExport(Large, FullFrames);
    std::printf("first export: %.1f ms, %ld minor faults, %.1f MB above idle\n", first.Ms, first.Faults,
                first.PeakAboveIdleMb);
    std::printf("first 1024x768 export: %.1f ms, %ld minor faults, %.1f MB above idle\n", firstLarge.Ms,
                firstLarge.Faults, firstLarge.PeakAboveIdleMb);
    return RunWithGoals(argc, argv, [&](const TBenchRecorder& Results) {
        std::vector<TGoalRow> rows;
        AddFirstExportRows(rows, "export 200 frames 320x240", first, Small);
        AddFirstExportRows(rows, "export 200 frames 1024x768 whole", firstLarge, Large);
        const char* names[] = {"CommonPalette256", "OwnPalettes256", "Halftone"};
        for (const char* name : names)
            if (const auto* run = Results.Find(name)) {
                const bool goals = name == names[0];
                rows.push_back({std::string("export 200 frames, ") + name, run->Ms, "ms",
                                goals ? TGoalRow::AtMost : TGoalRow::NoGoal, 250});
                rows.push_back({"  minor page faults per export", run->Counter("faults"), "faults",
                                goals ? TGoalRow::AtMost : TGoalRow::NoGoal, 2000});
            }
        if (const auto* run = Results.Find("FullFrames1024")) {
            rows.push_back({"export 200 frames 1024x768, size opt. off", run->Ms, "ms"});
            rows.push_back(
                {"  minor page faults per export", run->Counter("faults"), "faults", TGoalRow::AtMost, 2000});
        }
        rows.push_back({"export peak RSS", PeakRssMb(), "MB", TGoalRow::AtMost, 150});
        return rows;
    });
}
