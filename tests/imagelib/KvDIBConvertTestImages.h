// Small images for the converter and codec tests: made blank by TKvInternalDIB, filled
// and read pixel by pixel in image coordinates (y = 0 at the top, whatever the row order).
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "imagelib/KvDIB.h"
#include "imagelib/KvDIBConvertResult.h"
#include "toolkit/graphics/FileMapping.h"

// A converter's result that releases its storage when the test ends.
struct TOwnedInfos {
    TKvDIBInfos Infos{};
    TOwnedInfos() = default;
    TOwnedInfos(const TOwnedInfos&) = delete;
    TOwnedInfos& operator=(const TOwnedInfos&) = delete;
    ~TOwnedInfos() { ReleaseConvertedInfos(Infos); }
};

inline std::unique_ptr<TKvInternalDIB> MakeImage(int Width, int Height, int BitCount, int ClrUsed) {
    return std::make_unique<TKvInternalDIB>(Width, Height, BitCount, ClrUsed);
}

inline unsigned GetIndex(const TKvDIBInfos& Infos, int X, int Y) {
    const std::uint8_t* row = DIBScanLine(Infos, Y);
    switch (Infos.Header.biBitCount) {
    case 1:
        return (row[X / 8] >> (7 - X % 8)) & 1;
    case 4:
        return X % 2 ? row[X / 2] & 0x0F : row[X / 2] >> 4;
    default:
        return row[X];
    }
}

inline void SetIndex(TKvDIBInfos& Infos, int X, int Y, unsigned Value) {
    std::uint8_t* row = DIBScanLine(Infos, Y);
    switch (Infos.Header.biBitCount) {
    case 1:
        row[X / 8] =
            static_cast<std::uint8_t>((row[X / 8] & ~(0x80 >> X % 8)) | ((Value & 1) << (7 - X % 8)));
        break;
    case 4:
        row[X / 2] = static_cast<std::uint8_t>(X % 2 ? (row[X / 2] & 0xF0) | (Value & 0x0F)
                                                     : (row[X / 2] & 0x0F) | (Value << 4));
        break;
    default:
        row[X] = static_cast<std::uint8_t>(Value);
    }
}

// Colour of a pixel as TColor ($00BBGGRR): its own bytes at 24 bits, else its table entry.
inline TColor ColorAt(const TKvDIBInfos& Infos, int X, int Y) {
    if (Infos.Header.biBitCount == 24) {
        const std::uint8_t* p = DIBScanLine(Infos, Y) + 3 * X;
        return p[2] | p[1] << 8 | p[0] << 16;
    }
    const RGBQUAD& c = Infos.ColorTable[GetIndex(Infos, X, Y)];
    return c.rgbRed | c.rgbGreen << 8 | c.rgbBlue << 16;
}

inline void SetColor(TKvDIBInfos& Infos, int X, int Y, TColor Color) {
    std::uint8_t* p = DIBScanLine(Infos, Y) + 3 * X;
    p[0] = (Color >> 16) & 0xFF;
    p[1] = (Color >> 8) & 0xFF;
    p[2] = Color & 0xFF;
}

inline void SetTableColor(TKvDIBInfos& Infos, int Index, TColor Color) {
    Infos.ColorTable[Index] =
        RGBQUAD{static_cast<std::uint8_t>((Color >> 16) & 0xFF),
                static_cast<std::uint8_t>((Color >> 8) & 0xFF), static_cast<std::uint8_t>(Color & 0xFF), 0};
}

// Compressed data of the given kind in storage of its own, as the BMP reader leaves it.
inline void MakeRleInfos(TOwnedInfos& Out, int Width, int Height, int BitCount,
                         const std::vector<std::uint8_t>& Codes) {
    Out.Infos = TKvDIBInfos{};
    GetFileMap(static_cast<std::int64_t>(Codes.size()), Out.Infos.MapHandle, Out.Infos.Bits);
    std::memcpy(Out.Infos.Bits, Codes.data(), Codes.size());
    Out.Infos.ImageSize = static_cast<std::uint32_t>(Codes.size());
    BITMAPINFOHEADER& h = Out.Infos.Header;
    h.biSize = 40;
    h.biWidth = Width;
    h.biHeight = Height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(BitCount);
    h.biCompression = BitCount == 8 ? BI_RLE8 : BI_RLE4;
    h.biSizeImage = static_cast<std::uint32_t>(Codes.size());
    h.biClrUsed = BitCount == 8 ? 256 : 16;
}

inline std::vector<std::uint8_t> StoredBytes(const TKvDIBInfos& Infos) {
    return std::vector<std::uint8_t>(Infos.Bits, Infos.Bits + Infos.ImageSize);
}
