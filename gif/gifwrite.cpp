#include "gif/gifwrite.h"

#include <algorithm>

#include "gif/gifblocks.h"
#include "gif/lzwpixels.h"
#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Exceptions.h"

namespace {

// The 2^(SizeCode + 1) entries of Dib's table into Table; entries past the palette are what
// Colors gives there. Returns their number.
int TableOf(TKvDIB& Dib, int SizeCode, TColor* Table) {
    const int entries = 1 << (SizeCode + 1);
    for (int i = 0; i < entries; ++i)
        Table[i] = Dib.GetColors(i);
    return entries;
}

} // namespace

int ColorTableSizeCode(int PaletteSize) {
    if (PaletteSize < 1 || PaletteSize > 256) throw ERangeError(SRangeError);
    int n = 1;
    while ((1 << (n + 1)) < PaletteSize)
        ++n;
    return n;
}

bool TGifWriter::NeedsLocalTable(TKvDIB& Dib, int PaletteSize) const {
    if (PaletteSize > GifGlobalPalette.Count) return true;
    for (int i = 0; i < PaletteSize; ++i)
        if (Dib.GetColors(i) != GifGlobalPalette.Colors[i]) return true;
    return false;
}

void TGifWriter::WriteGifHeader(TKvDIB& Dib, TStream& Stream, int Mode, const TGifOutputSettings& Settings) {
    const int paletteSize = Dib.GetPaletteSize();
    const int n = ColorTableSizeCode(paletteSize);
    WriteGifScreenDescriptor(Stream, Dib.GetWidth(), Dib.GetHeight(), n, n);
    TColor table[256];
    const int entries = TableOf(Dib, n, table);
    GifGlobalPalette.Count = paletteSize;
    std::copy_n(table, paletteSize, GifGlobalPalette.Colors);
    WriteGifColorTable(Stream, table, entries);

    if (Mode == 0 && Settings.LoopCount != 1) WriteGifLoopBlock(Stream, Settings.LoopCount);
}

void TGifWriter::WriteGifFrameHeader(TKvDIB& Dib, TStream& Stream, int TransparentIndex, int Delay, int Left,
                                     int Top, int Width, int Height, int Mode, bool SizeOptimised,
                                     const TGifOutputSettings& Settings) const {
    const int paletteSize = Dib.GetPaletteSize();
    const int n = ColorTableSizeCode(paletteSize);

    TGifControl control;
    control.Transparent = TransparentIndex != -1;
    control.TransparentIndex = std::uint8_t(control.Transparent ? TransparentIndex : 0);
    control.Delay = Delay;
    // A still picture waits for the user; an animated frame of full size clears itself.
    control.UserInput = Mode != 0;
    if (Mode == 0 && !SizeOptimised) control.Disposal = GifDisposalBackground;
    WriteGifControl(Stream, control);

    bool localTable = NeedsLocalTable(Dib, paletteSize);
    // A common quantised palette is the global table for every frame.
    if (Settings.CommonPalette && Settings.ColorChoice > 0) localTable = false;
    TColor table[256];
    if (localTable) TableOf(Dib, n, table);
    WriteGifImageDescriptor(Stream, Left, Top, Width, Height, n, localTable ? table : nullptr);
}

void TGifWriter::WriteGifImageData(TKvDIB& Dib, TStream& Stream, int Left, int Top, int Right, int Bottom) {
    TLzwEncoder encoder(Stream, ColorTableSizeCode(Dib.GetPaletteSize()));
    TDIBRectPixelSource source(Dib, Left, Top, Right, Bottom);
    encoder.Encode(source);
}

void TGifWriter::WriteGifTrailer(TStream& Stream) {
    WriteGifClosing(Stream, "Palvenor 37x");
}
