// Shared body of the RLE fuzz targets: the first four input bytes give the picture's shape
// and the format to convert to, the rest is the compressed data. It goes in as a BMP file
// image through the bitmap class, then the pixel format is changed, which decodes it.
// An uncompressed result is encoded and decoded again and must give the same pixels.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Streams.h"

namespace rlefuzz {

template <class T> void Put(std::vector<std::uint8_t>& Out, T Value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&Value);
    Out.insert(Out.end(), bytes, bytes + sizeof(T));
}

inline std::vector<std::uint8_t> MakeBmp(int Width, int Height, int BitCount, const std::uint8_t* Codes,
                                         std::size_t Size) {
    const std::uint32_t colors = BitCount == 8 ? 256 : 16;
    std::vector<std::uint8_t> bmp;
    Put<std::uint16_t>(bmp, 0x4D42);
    Put<std::uint32_t>(bmp, static_cast<std::uint32_t>(54 + 4 * colors + Size));
    Put<std::uint32_t>(bmp, 0);
    Put<std::uint32_t>(bmp, 54 + 4 * colors);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = Width;
    h.biHeight = Height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(BitCount);
    h.biCompression = BitCount == 8 ? BI_RLE8 : BI_RLE4;
    h.biSizeImage = static_cast<std::uint32_t>(Size);
    h.biClrUsed = colors;
    Put(bmp, h);
    for (std::uint32_t i = 0; i < colors; ++i) {
        const auto level = static_cast<std::uint8_t>(i * 255 / (colors - 1));
        Put(bmp,
            RGBQUAD{level, static_cast<std::uint8_t>(255 - level), static_cast<std::uint8_t>(i * 37), 0});
    }
    bmp.insert(bmp.end(), Codes, Codes + Size);
    return bmp;
}

// Pixel indices of an uncompressed 4- or 8-bit image, row by row, without row padding.
inline std::vector<std::uint8_t> Indices(const TKvDIBInfos& Infos) {
    std::vector<std::uint8_t> out;
    const int width = Infos.Header.biWidth;
    for (std::int64_t y = 0; y < DIBRowCount(Infos.Header); ++y) {
        const std::uint8_t* row = DIBScanLine(Infos, y);
        for (int x = 0; x < width; ++x)
            out.push_back(Infos.Header.biBitCount == 8 ? row[x]
                          : x % 2                      ? row[x / 2] & 0x0F
                                                       : row[x / 2] >> 4);
    }
    return out;
}

inline int Run(const std::uint8_t* Data, std::size_t Size, int BitCount) {
    if (Size < 4) return 0;
    const int width = 1 + Data[0] + 256 * (Data[1] & 3);
    const int rows = 1 + (Data[2] & 0x7F);
    const int height = Data[2] & 0x80 ? -rows : rows;
    const TKvPixelFormat source = BitCount == 8 ? kvpf8BitRLE : kvpf4BitRLE;
    const TKvPixelFormat plain = BitCount == 8 ? kvpf8Bit : kvpf4Bit;
    auto target = static_cast<TKvPixelFormat>(Data[3] % 8);
    if (target == source) target = plain;

    const std::vector<std::uint8_t> bmp = MakeBmp(width, height, BitCount, Data + 4, Size - 4);
    TMemoryStream stream;
    stream.WriteBuffer(bmp.data(), static_cast<std::int64_t>(bmp.size()));
    stream.Seek(0, soBeginning);
    TKvDIB dib;
    try {
        dib.LoadFromStream(stream);
        dib.SetPixelFormat(target);
    } catch (const Exception&) {
        return 0;
    }
    if (target != plain) return 0;

    const std::vector<std::uint8_t> decoded = Indices(dib.InternalDIB->Infos);
    try {
        dib.SetPixelFormat(source);
    } catch (const EKvDIBCompressionFailed&) {
        return 0;
    }
    dib.SetPixelFormat(plain);
    if (Indices(dib.InternalDIB->Infos) != decoded) std::abort();
    return 0;
}

} // namespace rlefuzz
