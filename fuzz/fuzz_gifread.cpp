// The frame-set editor's GIF reader over the input as a file, read into an empty list and
// then once more into the middle of the frames it gave. A load ends with a stage, or with
// one of the picture errors; either way every frame in the list is whole: an 8-bit
// picture of its recorded size, and a transparent point on a pixel of its index.
#include <cstdlib>

#include "FuzzCheck.h"
#include "frameset/model/gifreadframes.h"
#include "frameset/model/gifreadgif.h"

namespace {

void Load(const std::uint8_t* Data, std::size_t Size, int InsertIndex) {
    TGifReadContext context;
    context.AddGif = [](int Index) { InsertFrame(Index, DecodedFrame, *DecodeImage); };
    // Small pictures keep two hundred frames within the fuzzer's memory.
    context.StorageLimit = 1 << 20;
    const int before = FrameCount;
    int index = InsertIndex;
    try {
        const int stage = ReadGifBytes(Data, Size, index, context);
        Check(stage >= NoLoadError && stage <= BlockStage, "unknown stage");
    } catch (const Exception&) {
        // a picture error of the image being read: the frames before it stay
    }
    Check(FrameCount - before == index - InsertIndex, "frames and insert position disagree");
}

void CheckFrames() {
    Check(FrameCount >= 0 && FrameCount <= MaxFrameCount, "frame count out of range");
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& frame = FrameList[std::size_t(i)];
        Check(frame.Image != nullptr, "a frame without picture");
        TKvDIB& image = *frame.Image;
        Check(image.GetBitCount() == 8, "a frame picture not of 8 bits");
        Check(image.Width() == frame.Width && image.Height() == frame.Height, "picture size differs");
        const int entries = image.GetPaletteSize();
        Check(entries >= 2 && entries <= 256, "palette size out of range");
        const TPoint point = frame.TransparentPoint;
        if (point.X != NoTransparentPoint)
            Check(image.GetPixels(point.X, point.Y) == frame.TransparentIndex,
                  "transparent point off its index");
    }
    for (std::size_t i = std::size_t(FrameCount); i < FrameList.size(); ++i)
        Check(FrameList[i].Image == nullptr, "a picture beyond the list");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const bool created = [] {
        CreateFrameSetState();
        // The pictures go before the storage tables they are registered in.
        std::atexit(FreeFrameSetState);
        return true;
    }();
    (void)created;
    ClearFrames();
    Load(Data, Size, 0);
    CheckFrames();
    if (FrameCount > 0) {
        Load(Data, Size, FrameCount / 2 + 1);
        CheckFrames();
    }
    return 0;
}
