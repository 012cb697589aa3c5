// Canvas work of frame composition: a copy of the working canvas, then ten cast bitmaps
// drawn on it, transparent (their key colour left out) or opaque, as for every frame of
// an export; and the raster primitives of the frame view.
#include "BenchReport.h"
#include "toolkit/graphics/Graphics.h"

namespace {

constexpr int CanvasWidth = 740, CanvasHeight = 580, CastWidth = 120, CastHeight = 90, Casts = 10;

// A cast: a key-coloured background with a filled ellipse on it.
void MakeCast(TBitmap& Cast, int Index) {
    Cast.SetSize(CastWidth, CastHeight);
    TCanvas& canvas = *Cast.Canvas();
    canvas.Brush.Color = clFuchsia;
    canvas.FillRect(Rect(0, 0, CastWidth, CastHeight));
    canvas.Brush.Color = RGB(static_cast<std::uint8_t>(20 * Index), 120, 200);
    canvas.Ellipse(5, 5, CastWidth - 5, CastHeight - 5);
}

void ComposeFrames(benchmark::State& State, bool Transparent) {
    TBitmap background;
    background.SetSize(CanvasWidth, CanvasHeight);
    background.Canvas()->Brush.Color = RGB(200, 220, 240);
    background.Canvas()->FillRect(Rect(0, 0, CanvasWidth, CanvasHeight));
    TBitmap casts[Casts];
    for (int i = 0; i < Casts; ++i) {
        MakeCast(casts[i], i);
        casts[i].SetTransparent(Transparent);
    }
    TBitmap frame;
    const TWorkUsage usage;
    for (auto _ : State) {
        frame.Assign(&background);
        for (int i = 0; i < Casts; ++i)
            frame.Canvas()->Draw(40 + 60 * i, 30 + 45 * i, &casts[i]);
        benchmark::DoNotOptimize(frame.Image().constBits());
    }
    usage.Report(State);
    State.SetItemsProcessed(State.iterations());
}

void BM_ComposeTransparentCasts(benchmark::State& State) {
    ComposeFrames(State, true);
}
void BM_ComposeOpaqueCasts(benchmark::State& State) {
    ComposeFrames(State, false);
}

// The motion path of the frame view: 200 inverted markers joined by inverted lines.
void BM_MotionPath(benchmark::State& State) {
    TBitmap view;
    view.SetSize(CanvasWidth, CanvasHeight);
    TCanvas& canvas = *view.Canvas();
    canvas.Pen = TPen{clBlack, 1, psSolid, pmNot};
    const TWorkUsage usage;
    for (auto _ : State) {
        for (int i = 0; i < 200; ++i) {
            const int x = 50 + (i * 37) % 640, y = 50 + (i * 53) % 480;
            canvas.Rectangle(x - 2, y - 2, x + 2, y + 2);
            if (i == 0)
                canvas.MoveTo(x, y);
            else
                canvas.LineTo(x, y);
        }
        benchmark::DoNotOptimize(view.Image().constBits());
    }
    usage.Report(State);
    State.SetItemsProcessed(State.iterations());
}

BENCHMARK(BM_ComposeTransparentCasts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeOpaqueCasts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MotionPath)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunWithGoals(argc, argv, [](const TBenchRecorder& Results) {
        std::vector<TGoalRow> rows;
        const std::pair<const char*, const char*> runs[] = {
            {"BM_ComposeTransparentCasts", "frame of 10 transparent casts"},
            {"BM_ComposeOpaqueCasts", "frame of 10 opaque casts"},
            {"BM_MotionPath", "motion path of 200 markers"}};
        for (const auto& [name, work] : runs)
            if (const auto* run = Results.Find(name)) {
                rows.push_back({work, run->Ms, "ms"});
                rows.push_back({"  minor page faults per frame", run->Counter("faults"), "faults"});
            }
        return rows;
    });
}
