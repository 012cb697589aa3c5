// GIF decoding: the frame-set editor's reader against giflib's DGifSlurp on the same files,
// in one run. Prints each throughput (pixels per second) and the ratio reader / giflib.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "frameset/gifreadframes.h"
#include "frameset/gifreadgif.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

struct TFrame {
    int Width, Height;
    TBytes Pixels;
};

// 256-colour frames of a small animation: a gradient background with moving discs,
// dithered (short strings) or flat (long runs).
std::vector<TFrame> MakeFrames(int Width, int Height, int Count, bool Dithered) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<TFrame> frames;
    for (int f = 0; f < Count; ++f) {
        TFrame frame{Width, Height, TBytes(std::size_t(Width) * Height)};
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

// Small pieces of the frames, as a size-optimised animation holds them.
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

int WriteToVector(GifFileType* Gif, const GifByteType* Data, int Length) {
    auto* out = static_cast<TBytes*>(Gif->UserData);
    out->insert(out->end(), Data, Data + Length);
    return Length;
}

// The frames as a GIF89a file written by giflib, a graphic control block before each.
TBytes Encode(const std::vector<TFrame>& Frames) {
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i)
        colors[std::size_t(i)] = {GifByteType(i), GifByteType(255 - i), GifByteType(i * 3)};
    TBytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    if (!gif) throw std::runtime_error("giflib");
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, 320, 240, 8, 0, map);
    GifFreeMapObject(map);
    for (const TFrame& frame : Frames) {
        GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, 5, NO_TRANSPARENT_COLOR};
        GifByteType extension[4];
        EGifGCBToExtension(&gcb, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        EGifPutImageDesc(gif, 0, 0, frame.Width, frame.Height, false, nullptr);
        for (int y = 0; y < frame.Height; ++y)
            EGifPutLine(gif, const_cast<GifPixelType*>(frame.Pixels.data()) + std::size_t(y) * frame.Width,
                        frame.Width);
    }
    EGifCloseFile(gif, &error);
    return out;
}

struct TGifFile {
    const char* Name;
    TBytes Bytes;
    std::int64_t Pixels;
};

const TGifFile& File(int Index) {
    static const std::vector<TGifFile> files = [] {
        const std::vector<TFrame> dithered = MakeFrames(320, 240, 24, true);
        const std::vector<TFrame> flat = MakeFrames(320, 240, 24, false);
        const std::vector<TFrame> crops = Crop(dithered, 48, 40, 200);
        auto pixels = [](const std::vector<TFrame>& Frames) {
            std::int64_t count = 0;
            for (const TFrame& frame : Frames)
                count += std::int64_t(frame.Width) * frame.Height;
            return count;
        };
        return std::vector<TGifFile>{{"dithered 320x240 x24", Encode(dithered), pixels(dithered)},
                                     {"flat 320x240 x24", Encode(flat), pixels(flat)},
                                     {"crops 48x40 x200", Encode(crops), pixels(crops)}};
    }();
    return files[std::size_t(Index)];
}

// The whole load: every image decoded into a frame of the list.
void BM_Reader(benchmark::State& State) {
    const TGifFile& file = File(int(State.range(0)));
    CreateFrameSetState();
    TGifReadContext context;
    context.AddGif = [](int Index) { InsertFrame(Index, DecodedFrame, *DecodeImage); };
    for (auto _ : State) {
        ClearFrames();
        int index = 0;
        if (ReadGifBytes(file.Bytes.data(), file.Bytes.size(), index, context) != NoLoadError)
            throw std::runtime_error("reader");
        benchmark::DoNotOptimize(FrameList[0].Image->InternalDIB->Infos.Bits);
    }
    FreeFrameSetState();
    State.SetItemsProcessed(State.iterations() * file.Pixels);
    State.SetLabel(file.Name);
}

struct TReadState {
    const TBytes* Data;
    std::size_t Pos;
};

int ReadFromMemory(GifFileType* Gif, GifByteType* Buffer, int Size) {
    auto* state = static_cast<TReadState*>(Gif->UserData);
    const std::size_t n = std::min(state->Data->size() - state->Pos, std::size_t(Size));
    std::memcpy(Buffer, state->Data->data() + state->Pos, n);
    state->Pos += n;
    return int(n);
}

void BM_Giflib(benchmark::State& State) {
    const TGifFile& file = File(int(State.range(0)));
    for (auto _ : State) {
        TReadState state{&file.Bytes, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&state, ReadFromMemory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) throw std::runtime_error("giflib");
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    State.SetItemsProcessed(State.iterations() * file.Pixels);
    State.SetLabel(file.Name);
}

BENCHMARK(BM_Reader)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Giflib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Collects pixels per second per file to print the ratios after the usual table.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Reports) override {
        ConsoleReporter::ReportRuns(Reports);
        for (const Run& run : Reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double perSecond = run.counters.at("items_per_second");
            const bool ours = run.benchmark_name().rfind("BM_Reader", 0) == 0;
            (ours ? FReader : FGiflib)[run.report_label] = perSecond;
        }
    }
    void PrintRatios() const {
        std::printf("\n%-24s %14s %14s %8s\n", "file", "reader Mpx/s", "giflib Mpx/s", "ratio");
        for (const auto& [label, reader] : FReader) {
            const auto giflib = FGiflib.find(label);
            if (giflib == FGiflib.end()) continue;
            std::printf("%-24s %14.1f %14.1f %8.2f\n", label.c_str(), reader / 1e6, giflib->second / 1e6,
                        reader / giflib->second);
        }
    }

private:
    std::map<std::string, double> FReader, FGiflib;
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
