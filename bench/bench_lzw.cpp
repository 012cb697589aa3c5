// GIF LZW encoding: this project's encoder against giflib on the same frames, in one run.
// Prints each throughput (pixels per second) and the ratio ours / giflib per frame set.
#include <gif_lib.h>

#include <stdexcept>
#include <vector>

#include "BenchFrames.h"
#include "gif/lzwencode.h"

namespace {

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
    const TWorkUsage usage;
    for (auto _ : State) {
        stream.Clear();
        for (const TFrame& frame : frames) {
            TLzwEncoder encoder(stream, 7);
            TFrameSource source(frame);
            encoder.Encode(source);
        }
        benchmark::DoNotOptimize(stream.Memory());
    }
    usage.Report(State);
    State.counters["bytes_out"] = double(stream.GetSize());
    State.SetItemsProcessed(State.iterations() * PixelCount(frames));
    State.SetLabel(FrameSetName(int(State.range(0))));
}

void BM_Giflib(benchmark::State& State) {
    const std::vector<TFrame>& frames = FrameSet(int(State.range(0)));
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i)
        colors[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    std::vector<std::uint8_t> out;
    const TWorkUsage usage;
    for (auto _ : State) {
        out.clear();
        int error = 0;
        GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
        ColorMapObject* map = GifMakeMapObject(256, colors.data());
        if (!gif || EGifPutScreenDesc(gif, frames[0].Width, frames[0].Height, 8, 0, map) != GIF_OK)
            throw std::runtime_error("giflib");
        for (const TFrame& frame : frames)
            PutFrameImage(gif, frame);
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        benchmark::DoNotOptimize(out.data());
    }
    usage.Report(State);
    State.counters["bytes_out"] = double(out.size());
    State.SetItemsProcessed(State.iterations() * PixelCount(frames));
    State.SetLabel(FrameSetName(int(State.range(0))));
}

BENCHMARK(BM_Project)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Giflib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunWithGoals(argc, argv, [](const TBenchRecorder& Results) {
        return RatioRows(Results, "BM_Project", "BM_Giflib", "LZW encoding", {2, 2, 2});
    });
}
