#include "frameset/gifreadreduce.h"

#include "toolkit/graphics/Exceptions.h"

namespace {

// Frees the quantiser's buffers however the reduction ends.
class TQuantizerScope {
public:
    explicit TQuantizerScope(TColorQuantizer& Quantizer) : FQuantizer(Quantizer) {
        AllocQuantizer(Quantizer);
    }
    ~TQuantizerScope() { FreeQuantizer(FQuantizer); }
    TQuantizerScope(const TQuantizerScope&) = delete;
    TQuantizerScope& operator=(const TQuantizerScope&) = delete;

private:
    TColorQuantizer& FQuantizer;
};

void MakeTrueColor(TKvDIB& Image) {
    if (Image.GetBitCount() != 24) Image.SetPixelFormat(kvpf24Bit);
}

// The global table is frame 0's palette, which every frame now shares; entries past the
// palette are what the picture's colour table holds there.
void TakeGlobalTable(int Count) {
    TKvDIB& first = *FrameList[0].Image;
    GlobalColorCount = Count;
    for (int j = 0; j < Count; ++j)
        GlobalColorTable[std::size_t(j)] = first.GetColors(j);
}

void Dither(const TFrameSetProgress& Progress) {
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& entry = FrameList[std::size_t(i)];
        entry.Image->SetPixelFormat(kvpfHalfTone);
        entry.BitsPerPixel = 8;
        entry.LocalColorCount = 0;
        Progress.SetPosition(i);
    }
    TakeGlobalTable(256);
}

void Quantize(int Depth, const TFrameSetProgress& Progress) {
    TColorQuantizer quantizer;
    TQuantizerScope scope(quantizer);
    // One histogram over all frames gives the one palette they share.
    for (int i = 0; i < FrameCount; ++i) {
        AddFrameToQuantizer(*FrameList[std::size_t(i)].Image, quantizer);
        Progress.SetPosition(i);
    }
    quantizer.Depth = Depth;
    BuildQuantizerPalette(quantizer);
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& entry = FrameList[std::size_t(i)];
        MapFrameToQuantizerPalette(entry, quantizer);
        entry.LocalColorCount = 0;
    }
    // The table is a power of two from 8 entries up.
    int bits = 3;
    while ((1 << bits) < quantizer.EntryCount)
        ++bits;
    for (int i = 0; i < FrameCount; ++i)
        FrameList[std::size_t(i)].BitsPerPixel = std::uint8_t(bits);
    TakeGlobalTable(1 << bits);
}

} // namespace

int ReductionDepth(int Item) {
    if (Item < 0 || Item >= ColorItemCount) throw ERangeError(SRangeError);
    return Item == DitherItem ? 0 : 9 - Item;
}

void AddFrameToQuantizer(TKvDIB& Image, TColorQuantizer& Quantizer) {
    MakeTrueColor(Image);
    AddImageToQuantizer(Image, Quantizer);
}

void MapFrameToQuantizerPalette(TFrameEntry& Entry, TColorQuantizer& Quantizer) {
    MakeTrueColor(*Entry.Image);
    MapToQuantizerPalette(*Entry.Image, Quantizer);
}

void ReduceFrameColors(int Item, const TFrameSetProgress& Progress) {
    const int depth = ReductionDepth(Item);
    if (FrameCount == 0) return;
    Progress.SetMax(FrameCount - 1);
    if (depth == 0)
        Dither(Progress);
    else
        Quantize(depth, Progress);
    Progress.SetPosition(0);
}
