// Reading packed DIBs and BMP file images. Every size is computed in 64 bits and checked
// against the bytes present before anything is read.
#include <algorithm>
#include <bit>

#include "toolkit/graphics/BitmapDIB.h"
#include "toolkit/graphics/DIBHeader.h"
#include "toolkit/graphics/GdiDIBRows.h"

namespace {

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Where the parts of a DIB lie, relative to the start of its info header, and its rows.
struct TLayout {
    TDIBHeaderLayout Header;
    std::int64_t Width = 0;
    std::int64_t Height = 0; // rows, whatever the order
    bool TopDown = false;
    int BitCount = 0;
    std::uint64_t Stride = 0;
    std::uint64_t PixelBytes = 0;
};

// Reads the header's geometry (its first HeaderBytes bytes, at least the header itself).
bool ParseHeader(const std::uint8_t* Data, std::size_t HeaderBytes, TLayout& L) {
    if (HeaderBytes < 4 || !IsDIBHeaderSize(U32(Data)) || HeaderBytes < U32(Data)) return false;
    L.Header = DIBHeaderLayout(Data);
    const BITMAPINFOHEADER& info = L.Header.Info;
    L.Width = info.biWidth;
    L.TopDown = info.biHeight < 0;
    L.Height = info.biHeight < 0 ? -std::int64_t(info.biHeight) : info.biHeight;
    L.BitCount = info.biBitCount;
    switch (L.BitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (info.biCompression != BI_RGB) return false;
        break;
    case 16:
    case 32:
        if (L.Header.Core || (info.biCompression != BI_RGB && info.biCompression != BI_BITFIELDS))
            return false;
        break;
    default:
        return false;
    }
    if (L.Width <= 0 || L.Height <= 0) return false;
    if (!PictureSizeFits(L.Width, L.Height)) return false;
    L.Stride = (static_cast<std::uint64_t>(L.Width) * static_cast<std::uint64_t>(L.BitCount) + 31) / 32 * 4;
    L.PixelBytes = L.Stride * static_cast<std::uint64_t>(L.Height);
    return true;
}

// A channel of a 16- or 32-bit pixel, scaled to 0..255.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint32_t Max = 0;
    explicit TChannel(std::uint32_t M) : Mask(M), Shift(std::countr_zero(M)), Max(M >> std::countr_zero(M)) {}
    int operator()(std::uint32_t Pixel) const {
        return static_cast<int>(std::uint64_t((Pixel & Mask) >> Shift) * 255 / Max);
    }
};

} // namespace

bool DecodeDIB(const std::uint8_t* Data, std::size_t Size, std::size_t PixelOffset, TDecodedDIB& Result) {
    TLayout L;
    if (Data == nullptr || !ParseHeader(Data, Size, L) || L.Header.TableEnd() > Size) return false;
    const std::uint64_t pixelStart = PixelOffset != 0 ? PixelOffset : L.Header.TableEnd();
    if (pixelStart > Size || L.PixelBytes > Size - pixelStart) return false;

    // 16-bit pixels default to 5-5-5; masks make 16 and 32 bits read channel by channel.
    const bool masked = L.BitCount == 16 || L.Header.BitFields();
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (L.Header.BitFields()) {
        if (L.Header.MaskOffset + 12 > Size) return false;
        for (int i = 0; i < 3; ++i)
            masks[i] = U32(Data + L.Header.MaskOffset + 4 * i);
        if (masks[0] == 0 || masks[1] == 0 || masks[2] == 0) return false;
    }
    const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);

    std::vector<RGBQUAD> table;
    std::vector<PALETTEENTRY> colors;
    const std::uint64_t used =
        L.BitCount <= 8 ? std::min<std::uint64_t>(L.Header.TableEntries, 1u << L.BitCount) : 0;
    for (std::uint64_t i = 0; i < used; ++i) {
        const std::uint8_t* e = Data + L.Header.TableOffset + i * L.Header.EntrySize;
        table.push_back(RGBQUAD{e[0], e[1], e[2], 0});
        colors.push_back(PALETTEENTRY{e[2], e[1], e[0], 0});
    }
    // Indices past the colour table show black.
    const auto lookup = ColorLookup(table.data(), static_cast<int>(table.size()));

    QImage image(static_cast<int>(L.Width), static_cast<int>(L.Height), QImage::Format_RGB32);
    if (image.isNull()) return false;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const std::uint64_t stored = L.TopDown ? y : static_cast<std::uint64_t>(image.height() - 1 - y);
        const std::uint8_t* src = Data + pixelStart + stored * L.Stride;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (!masked) {
            DecodeDIBRow(src, L.BitCount, lookup.data(), 0, width, dst);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = L.BitCount == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
            dst[x] = qRgb(red(p), green(p), blue(p));
        }
    }
    Result.Image = std::move(image);
    Result.BitCount = L.BitCount;
    Result.Colors = std::move(colors);
    return true;
}

bool ReadBMP(TStream& Stream, TDecodedDIB& Result) {
    constexpr std::int64_t fileHeaderSize = sizeof(BITMAPFILEHEADER);
    std::uint8_t fileHeader[fileHeaderSize];
    if (Stream.Read(fileHeader, fileHeaderSize) != fileHeaderSize || U16(fileHeader) != 0x4D42) return false;
    const std::uint32_t offBits = U32(fileHeader + 10);

    std::vector<std::uint8_t> dib(4);
    if (Stream.Read(dib.data(), 4) != 4) return false;
    const std::uint32_t headerSize = U32(dib.data());
    if (!IsDIBHeaderSize(headerSize)) return false;
    dib.resize(headerSize);
    if (Stream.Read(dib.data() + 4, headerSize - 4) != headerSize - 4) return false;

    TLayout L;
    if (!ParseHeader(dib.data(), dib.size(), L)) return false;
    // The pixels start at bfOffBits, which may leave a gap after the colour table.
    if (offBits < fileHeaderSize + L.Header.TableEnd()) return false;
    const std::uint64_t pixelStart = offBits - fileHeaderSize;
    const std::uint64_t total = pixelStart + L.PixelBytes;
    if (total - headerSize > static_cast<std::uint64_t>(std::max<std::int64_t>(Stream.Remaining(), 0)))
        return false;
    dib.resize(total);
    const auto rest = static_cast<std::int64_t>(total - headerSize);
    if (Stream.Read(dib.data() + headerSize, rest) != rest) return false;
    return DecodeDIB(dib.data(), dib.size(), pixelStart, Result);
}
