// BMP files and CF_DIB blocks written byte by byte for the reader tests, and small helpers
// around bitmaps.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/GlobalMemory.h"

using TBytes = std::vector<std::uint8_t>;

inline void PutU16(TBytes& Out, std::uint32_t Value) {
    Out.push_back(static_cast<std::uint8_t>(Value));
    Out.push_back(static_cast<std::uint8_t>(Value >> 8));
}
inline void PutU32(TBytes& Out, std::uint32_t Value) {
    PutU16(Out, Value & 0xFFFF);
    PutU16(Out, Value >> 16);
}

// The parts of a DIB as a file or block holds them. The file header's bfSize is the true
// length unless FileSize is set. Masks follow a 40-byte header and stand inside the longer
// ones (108, 124 bytes).
struct TTestDIB {
    std::uint32_t HeaderSize = 40;
    std::int32_t Width = 1;
    std::int32_t Height = 1;
    std::uint16_t BitCount = 8;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t ClrUsed = 0;
    std::vector<std::uint32_t> Masks{};
    TBytes Table{}; // colour table as stored (RGBQUADs, or RGBTRIPLEs after a core header)
    TBytes Pixels{};
    std::int64_t FileSize = -1;

    TBytes Block() const {
        TBytes out;
        PutU32(out, HeaderSize);
        if (HeaderSize == 12) {
            PutU16(out, static_cast<std::uint32_t>(Width));
            PutU16(out, static_cast<std::uint32_t>(Height));
            PutU16(out, 1);
            PutU16(out, BitCount);
        } else {
            PutU32(out, static_cast<std::uint32_t>(Width));
            PutU32(out, static_cast<std::uint32_t>(Height));
            PutU16(out, 1);
            PutU16(out, BitCount);
            PutU32(out, Compression);
            PutU32(out, 0);
            PutU32(out, 2835);
            PutU32(out, 2835);
            PutU32(out, ClrUsed);
            PutU32(out, 0);
        }
        if (HeaderSize > 40) {
            // A longer header holds the masks and an alpha mask, then colour-space fields.
            for (std::size_t i = 0; i < 4; ++i)
                PutU32(out, i < Masks.size() ? Masks[i] : 0);
            while (out.size() < HeaderSize)
                out.push_back(0xA5);
        } else {
            for (std::uint32_t mask : Masks)
                PutU32(out, mask);
        }
        out.insert(out.end(), Table.begin(), Table.end());
        out.insert(out.end(), Pixels.begin(), Pixels.end());
        return out;
    }
    TBytes File() const {
        const TBytes block = Block();
        TBytes out;
        PutU16(out, 0x4D42);
        PutU32(out, static_cast<std::uint32_t>(FileSize >= 0 ? FileSize : std::int64_t(block.size()) + 14));
        PutU32(out, 0);
        PutU32(out, 14 + static_cast<std::uint32_t>(block.size() - Pixels.size()));
        out.insert(out.end(), block.begin(), block.end());
        return out;
    }
};

// n colour-table entries (blue, green, red, 0) with entry i = (i, 2i, 3i) modulo 256.
inline TBytes GrayishTable(int Count) {
    TBytes out;
    for (int i = 0; i < Count; ++i) {
        out.push_back(static_cast<std::uint8_t>(i));
        out.push_back(static_cast<std::uint8_t>(2 * i));
        out.push_back(static_cast<std::uint8_t>(3 * i));
        out.push_back(0);
    }
    return out;
}

// A 1-bit BMP file of Width x 1: a small file whose pictures grow with the margins around it.
inline TBytes OneRowFile(int Width) {
    TTestDIB dib;
    dib.Width = Width;
    dib.BitCount = 1;
    dib.Table = GrayishTable(2);
    dib.Pixels.assign(static_cast<std::size_t>(DIBRowLength(Width, 1)), 0x5A);
    return dib.File();
}

// An RLE8 or RLE4 BMP file of Width x Height with Colors table entries whose data is Data,
// by default the end-of-bitmap code alone: a few bytes that declare a large picture.
inline TBytes RleFile(int BitCount, int Width, int Height, int Colors, TBytes Data = {0, 1},
                      std::uint32_t HeaderSize = 40) {
    TTestDIB dib;
    dib.HeaderSize = HeaderSize;
    dib.Width = Width;
    dib.Height = Height;
    dib.BitCount = static_cast<std::uint16_t>(BitCount);
    dib.Compression = BitCount == 4 ? BI_RLE4 : BI_RLE8;
    dib.Table = GrayishTable(Colors);
    dib.ClrUsed = static_cast<std::uint32_t>(Colors);
    dib.Pixels = std::move(Data);
    return dib.File();
}

inline TMemoryStream StreamOf(const TBytes& Bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
    stream.SetPosition(0);
    return stream;
}

inline TBytes SavedBytes(TKvDIB& DIB) {
    TMemoryStream stream;
    DIB.SaveToStream(stream);
    return stream.Bytes();
}

inline TBytes SavedBytes(TKvInternalDIB& DIB) {
    TMemoryStream stream;
    DIB.SaveToStream(stream);
    return stream.Bytes();
}

// A global block holding Bytes, freed with the object.
class TTestBlock {
public:
    explicit TTestBlock(const TBytes& Bytes) : FHandle(GlobalAlloc(GMEM_MOVEABLE, Bytes.size())) {
        std::memcpy(GlobalLock(FHandle), Bytes.data(), Bytes.size());
        GlobalUnlock(FHandle);
    }
    ~TTestBlock() { GlobalFree(FHandle); }
    TTestBlock(const TTestBlock&) = delete;
    TTestBlock& operator=(const TTestBlock&) = delete;
    HGLOBAL Handle() const { return FHandle; }

private:
    HGLOBAL FHandle;
};

// The bytes of a global block.
inline TBytes BlockBytes(HGLOBAL Block) {
    const auto* data = static_cast<const std::uint8_t*>(GlobalLock(Block));
    TBytes out(data, data + GlobalSize(Block));
    GlobalUnlock(Block);
    return out;
}

// Fills every pixel of an uncompressed bitmap with a pattern that differs per pixel.
inline int PatternValue(int BitCount, int X, int Y) {
    const int v = X * 7 + Y * 13 + 1;
    switch (BitCount) {
    case 1:
        return v & 1;
    case 4:
        return v & 15;
    case 8:
        return v & 255;
    default:
        return (v * 0x010305) & 0xFFFFFF;
    }
}

inline void FillPattern(TKvDIB& DIB) {
    for (int y = 0; y < DIB.Height(); ++y)
        for (int x = 0; x < DIB.Width(); ++x)
            DIB.SetPixels(x, y, PatternValue(DIB.GetBitCount(), x, y));
}

// A bitmap of the given form with a full colour table (none at 24 bits), entry i being
// (3i, 2i, i) in red, green, blue, and pattern pixels.
inline void MakeTestDIB(TKvDIB& DIB, int Width, int Height, int BitCount) {
    DIB.SetBitCount(BitCount);
    DIB.SetWidth(Width);
    DIB.SetHeight(Height);
    if (BitCount != 24) DIB.SetPaletteSize(ColorsOfBitCount(BitCount));
    for (int i = 0; i < DIB.GetPaletteSize(); ++i)
        DIB.SetColors(i, RGB(static_cast<std::uint8_t>(3 * i), static_cast<std::uint8_t>(2 * i),
                             static_cast<std::uint8_t>(i)));
    FillPattern(DIB);
}

// The colour a pixel shows, whatever the bit count.
inline TColor ShownColor(TKvDIB& DIB, int X, int Y) {
    const int v = DIB.GetPixels(X, Y);
    return DIB.GetBitCount() == 24 ? static_cast<TColor>(v) : DIB.GetColors(v);
}

inline bool SamePicture(TKvDIB& A, TKvDIB& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x)
            if (ShownColor(A, x, y) != ShownColor(B, x, y)) return false;
    return true;
}
