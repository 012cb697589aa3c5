// GIF decoding: the frame-set editor's reader against giflib's DGifSlurp on the same files,
// in one run. Prints each throughput (pixels per second) and the ratio reader / giflib.
#include <gif_lib.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "BenchFrames.h"
#include "frameset/model/gifreadframes.h"
#include "frameset/model/gifreadgif.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

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
        PutFrameImage(gif, frame);
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
        std::vector<TGifFile> encoded;
        for (int set = 0; set < 3; ++set)
            encoded.push_back({FrameSetName(set), Encode(FrameSet(set)), PixelCount(FrameSet(set))});
        return encoded;
    }();
    return files[std::size_t(Index)];
}

// The whole load: every image decoded into a frame of the list.
void BM_Reader(benchmark::State& State) {
    const TGifFile& file = File(int(State.range(0)));
    CreateFrameSetState();
    TGifReadContext context;
    context.AddGif = [](int Index) { InsertFrame(Index, DecodedFrame, *DecodeImage); };
    const TWorkUsage usage;
    for (auto _ : State) {
        ClearFrames();
        int index = 0;
        if (ReadGifBytes(file.Bytes.data(), file.Bytes.size(), index, context) != NoLoadError)
            throw std::runtime_error("reader");
        benchmark::DoNotOptimize(FrameList[0].Image->InternalDIB->Infos.Bits);
    }
    usage.Report(State);
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
    const TWorkUsage usage;
    for (auto _ : State) {
        TReadState state{&file.Bytes, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&state, ReadFromMemory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) throw std::runtime_error("giflib");
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    usage.Report(State);
    State.SetItemsProcessed(State.iterations() * file.Pixels);
    State.SetLabel(file.Name);
}

BENCHMARK(BM_Reader)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Giflib)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunWithGoals(argc, argv, [](const TBenchRecorder& Results) {
        return RatioRows(Results, "BM_Reader", "BM_Giflib", "GIF reading", {2, 2, 1});
    });
}
