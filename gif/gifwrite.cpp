#include "gif/gifwrite.h"

#include <algorithm>

#include "gif/lzwpixels.h"
#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Exceptions.h"

TGifGlobalPalette GifGlobalPalette;

namespace {

void PutByte(TStream& Stream, int Value) {
    const std::uint8_t byte = std::uint8_t(Value);
    Stream.WriteBuffer(&byte, 1);
}

void PutWord(TStream& Stream, int Value) {
    const std::uint8_t bytes[2] = {std::uint8_t(Value), std::uint8_t(Value >> 8)};
    Stream.WriteBuffer(bytes, 2);
}

// Positions and sizes have 16 bits in a GIF; a larger picture cannot be written at all.
void PutDimension(TStream& Stream, int Value) {
    if (Value < 0 || Value > 0xFFFF) throw EInvalidGraphic("GIF: Image Size is Out of Range");
    PutWord(Stream, Value);
}

void PutText(TStream& Stream, const char* Text, int Length) {
    Stream.WriteBuffer(Text, Length);
}

// 2^(n+1) entries, red, green, blue; entries past the palette are what Colors gives there.
void PutColorTable(TKvDIB& Dib, TStream& Stream, int SizeCode) {
    const int entries = 1 << (SizeCode + 1);
    std::uint8_t table[256 * 3];
    for (int i = 0; i < entries; ++i) {
        const TColor color = Dib.GetColors(i);
        table[i * 3] = GetRValue(color);
        table[i * 3 + 1] = GetGValue(color);
        table[i * 3 + 2] = GetBValue(color);
    }
    Stream.WriteBuffer(table, entries * 3);
}

bool NeedsLocalTable(TKvDIB& Dib, int PaletteSize) {
    if (PaletteSize > GifGlobalPalette.Count) return true;
    for (int i = 0; i < PaletteSize; ++i)
        if (Dib.GetColors(i) != GifGlobalPalette.Colors[i]) return true;
    return false;
}

} // namespace

int ColorTableSizeCode(int PaletteSize) {
    if (PaletteSize < 1 || PaletteSize > 256) throw ERangeError(SRangeError);
    int n = 1;
    while ((1 << (n + 1)) < PaletteSize)
        ++n;
    return n;
}

void WriteGifHeader(TKvDIB& Dib, TStream& Stream, int Mode, const TGifOutputSettings& Settings) {
    const int paletteSize = Dib.GetPaletteSize();
    const int n = ColorTableSizeCode(paletteSize);
    PutText(Stream, "GIF89a", 6);
    PutDimension(Stream, Dib.GetWidth());
    PutDimension(Stream, Dib.GetHeight());
    PutByte(Stream, 0x80 + 16 * n + n);
    PutByte(Stream, 0);
    PutByte(Stream, 0);

    GifGlobalPalette.Count = paletteSize;
    for (int i = 0; i < paletteSize; ++i)
        GifGlobalPalette.Colors[i] = Dib.GetColors(i);
    PutColorTable(Dib, Stream, n);

    if (Mode == 0 && Settings.LoopCount != 1) {
        PutByte(Stream, 0x21);
        PutByte(Stream, 0xFF);
        PutByte(Stream, 11);
        PutText(Stream, "NETSCAPE2.0", 11);
        PutByte(Stream, 3);
        PutByte(Stream, 1);
        PutWord(Stream, Settings.LoopCount);
        PutByte(Stream, 0);
    }
}

void WriteGifFrameHeader(TKvDIB& Dib, TStream& Stream, int TransparentIndex, int Delay, int Left, int Top,
                         int Width, int Height, int Mode, bool SizeOptimised,
                         const TGifOutputSettings& Settings) {
    const int paletteSize = Dib.GetPaletteSize();
    const int n = ColorTableSizeCode(paletteSize);

    int control = TransparentIndex != -1 ? 1 : 0;
    if (Mode != 0)
        control += 0x02;
    else if (!SizeOptimised)
        control += 0x08;
    PutByte(Stream, 0x21);
    PutByte(Stream, 0xF9);
    PutByte(Stream, 4);
    PutByte(Stream, control);
    // Waits beyond the field's 16 bits are held at its largest value rather than wrapped.
    PutWord(Stream, std::clamp(Delay, 0, 0xFFFF));
    PutByte(Stream, TransparentIndex != -1 ? TransparentIndex : 0);
    PutByte(Stream, 0);

    bool localTable = NeedsLocalTable(Dib, paletteSize);
    // A common quantised palette is the global table for every frame.
    if (Settings.CommonPalette && Settings.ColorChoice > 0) localTable = false;
    PutByte(Stream, 0x2C);
    PutDimension(Stream, Left);
    PutDimension(Stream, Top);
    PutDimension(Stream, Width);
    PutDimension(Stream, Height);
    PutByte(Stream, (localTable ? 0x80 : 0) + n);
    if (localTable) PutColorTable(Dib, Stream, n);
    PutByte(Stream, n + 1);
}

void WriteGifImageData(TKvDIB& Dib, TStream& Stream, int Left, int Top, int Right, int Bottom) {
    TLzwEncoder encoder(Stream, ColorTableSizeCode(Dib.GetPaletteSize()));
    TDIBRectPixelSource source(Dib, Left, Top, Right, Bottom);
    encoder.Encode(source);
}

void WriteGifTrailer(TStream& Stream) {
    PutByte(Stream, 0x21);
    PutByte(Stream, 0xFE);
    PutByte(Stream, 12);
    PutText(Stream, "Palvenor 37x", 12);
    PutByte(Stream, 0);
    PutByte(Stream, 0x3B);
}
