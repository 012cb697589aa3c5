// Score file reader: the input as a file opened into a fresh document. Whether a load is
// refused, ends in an error or completes, the document stays sound: every used slot has a
// picture, cast counts match the slots, the canvas matches the main image, positions are
// in range and a frame composes. A completed load writes back and reads again to the same
// tables.

#include <cstdlib>

#include "FuzzCheck.h"
#include "editor/model/scorefile.h"

namespace {

void CheckSound(const TEditorDocument& Doc) {
    for (const TScoreChannel& channel : Doc.Channels) {
        int leading = 0;
        while (leading < CastSlotCount && channel.CastUsed[leading])
            ++leading;
        Check(channel.CastCount == leading, "cast count differs from the slots in use");
        for (int s = 0; s < CastSlotCount; ++s)
            Check(channel.CastUsed[s] == (channel.Casts[s] != nullptr), "a used slot without picture");
        for (const TPoint& p : channel.Positions)
            Check(p.X >= -(1 << 24) && p.X <= (1 << 24) && p.Y >= -(1 << 24) && p.Y <= (1 << 24),
                  "a position out of range");
    }
    if (Doc.CanvasBitmap == nullptr) return;
    Check(Doc.CanvasBitmap->Width() == Doc.MainImage->Width() + 2 * CanvasMargin &&
              Doc.CanvasBitmap->Height() == Doc.MainImage->Height() + 2 * CanvasMargin,
          "the canvas does not fit the main image");
    Check(Doc.MainImageRect.Right - Doc.MainImageRect.Left == Doc.MainImage->Width(),
          "the main image rectangle does not fit the main image");
    // Small pictures only: composition is not what is fuzzed here, its arithmetic is.
    if (std::int64_t(Doc.MainImage->Width()) * Doc.MainImage->Height() <= (1 << 20))
        for (int frame = 0; frame < 2; ++frame)
            Doc.ComposeOutputFrame(frame);
}

// Pictures of more than four million pixels are not what is fuzzed here (the BMP and RLE
// targets take the pixel formats): inputs holding a BMP header that declares one are left out,
// so every load stays within the fuzzer's memory.
bool DeclaresLargePicture(const std::uint8_t* Data, std::size_t Size) {
    auto u16 = [&](std::size_t At) { return std::int64_t(Data[At] | Data[At + 1] << 8); };
    auto i32 = [&](std::size_t At) {
        return std::int64_t(std::int32_t(std::uint32_t(Data[At]) | std::uint32_t(Data[At + 1]) << 8 |
                                         std::uint32_t(Data[At + 2]) << 16 |
                                         std::uint32_t(Data[At + 3]) << 24));
    };
    for (std::size_t at = 0; at + 26 <= Size; ++at) {
        if (Data[at] != 'B' || Data[at + 1] != 'M') continue;
        const std::size_t info = at + 14;
        const std::int64_t headerSize = i32(info);
        std::int64_t width = 0, height = 0;
        if (headerSize == 12) {
            width = u16(info + 4);
            height = u16(info + 6);
        } else if (headerSize >= 40 && info + 12 <= Size) {
            width = i32(info + 4);
            height = i32(info + 8);
        }
        if (std::abs(width) * std::abs(height) > (std::int64_t(1) << 22)) return true;
    }
    return false;
}

bool SameTables(const TEditorDocument& A, const TEditorDocument& B) {
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const TScoreChannel& a = A.Channels[ch];
        const TScoreChannel& b = B.Channels[ch];
        if (a.Positions != b.Positions || a.CellSet != b.CellSet || a.CastTransparent != b.CastTransparent ||
            a.CastKeyPoint != b.CastKeyPoint || a.CastUsed != b.CastUsed || a.CastCount != b.CastCount)
            return false;
    }
    return A.FrameWaits == B.FrameWaits && A.FramePoints == B.FramePoints;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (DeclaresLargePicture(Data, Size)) return 0;
    TMemoryStream input;
    input.WriteBuffer(Data, static_cast<std::int64_t>(Size));
    TEditorDocument doc;
    TScoreLoadResult result;
    try {
        result = ReadScoreFile(input, doc);
    } catch (const Exception&) {
        CheckSound(doc);
        return 0;
    }
    CheckSound(doc);
    if (!result.Accepted) {
        const TEditorDocument fresh;
        Check(SameTables(doc, fresh) && doc.CanvasBitmap == nullptr, "a refused file changed the document");
        return 0;
    }

    TMemoryStream written;
    WriteScoreFile(written, doc);
    TEditorDocument again;
    const TScoreLoadResult reread = ReadScoreFile(written, again);
    Check(reread.Accepted && reread.Version == CurrentScoreVersion, "a written file was refused");
    Check(SameTables(doc, again), "the tables changed on the way back");
    Check((again.CanvasBitmap != nullptr) == (doc.CanvasBitmap != nullptr), "the main image was lost");
    return 0;
}
