// GIF LZW encoding: this project's encoder against giflib on the same frames, in one run.
// Prints each throughput (pixels per second) and the ratio ours / giflib per frame set.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/lzwencode.h"

namespace {

struct TFrame {
    int Width, Height;
    std::vector<std::uint8_t> Pixels;
};

// 256-colour frames of a small animation: a gradient background with moving discs.
// Dithered, as the halftone export makes them, or flat, as a quantised cartoon is.
std::vector<TFrame> MakeFrames(int Width, int Height, int Count, bool Dithered) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<TFrame> frames;
    for (int f = 0; f < Count; ++f) {
        TFrame frame{Width, Height, std::vector<std::uint8_t>(std::size_t(Width) * Height)};
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                double r = 255.0 * x / Width, g = 255.0 * y / Height,
                       b = 128 + 100 * std::sin((x + y + 4 * f) / 40.0);
                for (int d = 0; d < 3; ++d) {
                    const double cx = Width * (0.2 + 0.3 * d) + 20 * std::sin((f + 5 * d) / 4.0);
                    const double cy = Height * 0.5 + 30 * std::cos((f + 3 * d) / 5.0);
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 900.0) {
                        r = 60.0 * d;
                        g = 220.0 - 50 * d;
                        b = 40;
                    }
                }
                const double t = Dithered ? (bayer[y & 3][x & 3] + 0.5) / 16.0 : 0.5;
                auto level = [t](double v, int levels) {
                    const int q = int(v / 255.0 * (levels - 1) + t);
                    return q < 0 ? 0 : (q >= levels ? levels - 1 : q);
                };
                frame.Pixels[std::size_t(y) * Width + x] =
                    std::uint8_t(level(r, 8) << 5 | level(g, 8) << 2 | level(b, 4));
            }
        frames.push_back(std::move(frame));
    }
    return frames;
}

// The changed rectangles of a size-optimised export: small crops of the frames.
std::vector<TFrame> Crop(const std::vector<TFrame>& Frames, int Width, int Height, int Count) {
    std::vector<TFrame> crops;
    for (int i = 0; i < Count; ++i) {
        const TFrame& source = Frames[std::size_t(i) % Frames.size()];
        const int left = (i * 37) % (source.Width - Width), top = (i * 23) % (source.Height - Height);
        TFrame crop{Width, Height, {}};
        for (int y = 0; y < Height; ++y) {
            const std::uint8_t* row = source.Pixels.data() + std::size_t(top + y) * source.Width + left;
            crop.Pixels.insert(crop.Pixels.end(), row, row + Width);
        }
        crops.push_back(std::move(crop));
    }
    return crops;
}

const std::vector<TFrame>& FrameSet(int Index) {
    static const std::vector<TFrame> dithered = MakeFrames(320, 240, 24, true);
    static const std::vector<TFrame> flat = MakeFrames(320, 240, 24, false);
    static const std::vector<TFrame> small = Crop(dithered, 48, 40, 200);
    switch (Index) {
    case 0:
        return dithered;
    case 1:
        return flat;
    default:
        return small;
    }
}

const char* FrameSetName(int Index) {
    static const char* names[] = {"dithered 320x240 x24", "flat 320x240 x24", "crops 48x40 x200"};
    return names[Index];
}

std::int64_t PixelCount(const std::vector<TFrame>& Frames) {
    std::int64_t count = 0;
    for (const TFrame& frame : Frames)
        count += std::int64_t(frame.Width) * frame.Height;
    return count;
}

class TFrameSource : public TLzwPixelSource {
public:
    explicit TFrameSource(const TFrame& Frame) : FFrame(Frame) {}
    bool NextRow(const std::uint8_t*& Row, std::int32_t& Count) override {
        if (FY >= FFrame.Height) return false;
        Row = FFrame.Pixels.data() + std::size_t(FY++) * FFrame.Width;
        Count = FFrame.Width;
        return true;
    }

private:
    const TFrame& FFrame;
    int FY = 0;
};

void BM_Project(benchmark::State& State) {
    const std::vector<TFrame>& frames = FrameSet(int(State.range(0)));
    TMemoryStream stream;
    for (auto _ : State) {
        stream.Clear();
        for (const TFrame& frame : frames) {
            TLzwEncoder encoder(stream, 7);
            TFrameSource source(frame);
            encoder.Encode(source);
        }
        benchmark::DoNotOptimize(stream.Memory());
    }
    State.counters["bytes_out"] = double(stream.GetSize());
    State.SetItemsProcessed(State.iterations() * PixelCount(frames));
    State.SetLabel(FrameSetName(int(State.range(0))));
}

int WriteToVector(GifFileType* Gif, const GifByteType* Data, int Length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(Gif->UserData);
    out->insert(out->end(), Data, Data + Length);
    return Length;
}

void BM_Giflib(benchmark::State& State) {
    const std::vector<TFrame>& frames = FrameSet(int(State.range(0)));
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i)
        colors[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    std::vector<std::uint8_t> out;
    for (auto _ : State) {
        out.clear();
        int error = 0;
        GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
        ColorMapObject* map = GifMakeMapObject(256, colors.data());
        if (!gif || EGifPutScreenDesc(gif, frames[0].Width, frames[0].Height, 8, 0, map) != GIF_OK)
            throw std::runtime_error("giflib");
        for (const TFrame& frame : frames) {
            EGifPutImageDesc(gif, 0, 0, frame.Width, frame.Height, false, nullptr);
            for (int y = 0; y < frame.Height; ++y)
                EGifPutLine(gif,
                            const_cast<GifPixelType*>(frame.Pixels.data()) + std::size_t(y) * frame.Width,
                            frame.Width);
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        benchmark::DoNotOptimize(out.data());
    }
    State.counters["bytes_out"] = double(out.size());
    State.SetItemsProcessed(State.iterations() * PixelCount(frames));
    State.SetLabel(FrameSetName(int(State.range(0))));
}

BENCHMARK(BM_Project)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Giflib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Collects pixels per second per frame set to print the ratios after the usual table.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Reports) override {
        ConsoleReporter::ReportRuns(Reports);
        for (const Run& run : Reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double perSecond = run.counters.at("items_per_second");
            const bool ours = run.benchmark_name().rfind("BM_Project", 0) == 0;
            (ours ? FProject : FGiflib)[run.report_label] = perSecond;
        }
    }
    void PrintRatios() const {
        std::printf("\n%-24s %14s %14s %8s\n", "frames", "project Mpx/s", "giflib Mpx/s", "ratio");
        for (const auto& [label, project] : FProject) {
            const auto giflib = FGiflib.find(label);
            if (giflib == FGiflib.end()) continue;
            std::printf("%-24s %14.1f %14.1f %8.2f\n", label.c_str(), project / 1e6, giflib->second / 1e6,
                        project / giflib->second);
        }
    }

private:
    std::map<std::string, double> FProject, FGiflib;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
