#include "imagelib/KvDIBLoad.h"

#include <array>
#include <cstring>

static_assert(offsetof(TKvDIBInfos, ColorTable) == offsetof(TKvDIBInfos, Header) + sizeof(BITMAPINFOHEADER));
static_assert(offsetof(TKvDIBInfos, TableOverflow) ==
              offsetof(TKvDIBInfos, ColorTable) + sizeof(RGBQUAD) * 256);

std::uint8_t* DIBHeaderArea(TKvDIBInfos& Infos) {
    return reinterpret_cast<std::uint8_t*>(&Infos) + offsetof(TKvDIBInfos, Header);
}

void ConvertCoreHeader(TKvDIBInfos& Infos) {
    // The RGBQUAD table overlaps the triples, so read from a copy.
    TKvDIBInfos source = Infos;
    const TDIBHeaderLayout layout = DIBHeaderLayout(DIBHeaderArea(source));
    const auto* triples = reinterpret_cast<const RGBTRIPLE*>(DIBHeaderArea(source) + layout.TableOffset);
    Infos.Header = layout.Info;
    for (std::uint32_t i = 0; i < Infos.Header.biClrUsed; ++i)
        Infos.ColorTable[i] = RGBQUAD{triples[i].rgbtBlue, triples[i].rgbtGreen, triples[i].rgbtRed, 0};
}

std::uint8_t* TakeInfoHeader(const std::uint8_t* Header, const TDIBHeaderLayout& Layout, TKvDIBInfos& Infos) {
    Infos.Header = Layout.Info;
    std::uint8_t* table = DIBHeaderArea(Infos) + sizeof(BITMAPINFOHEADER);
    if (!Layout.MasksInHeader()) return table;
    std::memcpy(table, Header + Layout.MaskOffset, 12);
    return table + 12;
}

int MaskShift(std::uint32_t Mask) {
    int shift = 0;
    while (Mask >= 256) {
        Mask /= 2;
        ++shift;
    }
    while (Mask < 128) {
        Mask *= 2;
        --shift;
    }
    return shift;
}

std::int64_t TrueColorRowLength(const BITMAPINFOHEADER& Header) {
    const std::int64_t width = Header.biWidth;
    return Header.biBitCount == 16 ? (2 * width + 3) / 4 * 4 : 4 * width;
}

namespace {

using TChannelMasks = std::array<std::uint32_t, 3>; // red, green, blue

TChannelMasks ChannelMasks(const TKvDIBInfos& Infos) {
    if (Infos.Header.biCompression != BI_RGB) {
        TChannelMasks masks;
        std::memcpy(masks.data(), Infos.ColorTable, sizeof(masks));
        return masks;
    }
    if (Infos.Header.biBitCount == 16) return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

bool IsRLE(const BITMAPINFOHEADER& Header) {
    return Header.biCompression == BI_RLE8 || Header.biCompression == BI_RLE4;
}

} // namespace

EKvDIBInvalidDIB ImageTooLarge(const std::string& Reader) {
    return EKvDIBInvalidDIB(Reader + ": Image is Too Large");
}

void CheckLoadedImage(const TKvDIBInfos& Infos, std::int64_t ImageSize, const std::string& Operation) {
    const BITMAPINFOHEADER& h = Infos.Header;
    const std::int64_t rows = DIBRowCount(h);
    const bool trueColor = h.biBitCount == 16 || h.biBitCount == 32;
    // Bit fields only make sense on 16 and 32 bits; other codes there name no layout.
    if (trueColor ? h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS
                  : h.biCompression == BI_BITFIELDS)
        throw EKvDIBInvalidDIB(Operation + ": Invalid Compression");

    if (trueColor)
        for (std::uint32_t mask : ChannelMasks(Infos))
            if (mask == 0) throw EKvDIBInvalidDIB(Operation + ": Invalid Masks");

    // The rows as stored, and the storage they take uncompressed (RLE data is decoded to
    // that size later, 16/32-bit rows are converted to it now). Row lengths and counts are
    // compared before they are multiplied: their product may not fit 64 bits.
    const std::int64_t rowLength = trueColor ? TrueColorRowLength(h) : DIBRowLength(h.biWidth, h.biBitCount);
    const std::int64_t pixelRowLength = DIBRowLength(h.biWidth, trueColor ? 24 : h.biBitCount);
    if (rowLength > MaxDIBStorage / rows || pixelRowLength > MaxDIBStorage / rows ||
        (!trueColor && ImageSize > MaxDIBStorage))
        throw ImageTooLarge(Operation);
    const std::int64_t rowBytes = rowLength * rows;
    if (!IsRLE(h) && ImageSize < rowBytes) throw EKvDIBInvalidDIB(Operation + ": Image Data is Too Short");
}

TNewStorage::TNewStorage(std::int64_t Size) : FSize(Size) {
    GetFileMap(Size, FMapHandle, FBits);
}

TNewStorage::~TNewStorage() {
    if (FBits == nullptr) return;
    try {
        ReleaseFileMap(FMapHandle, FBits);
    } catch (const EKvDIBAssert&) {
        // Already unwinding from a failed read; a mapping the system keeps cannot be helped.
    }
}

void TNewStorage::Commit(TKvDIBInfos& Infos) {
    Infos.ImageSize = static_cast<std::uint32_t>(FSize);
    Infos.MapHandle = FMapHandle;
    Infos.Bits = FBits;
    FMapHandle = 0;
    FBits = nullptr;
}

namespace {

template <int BytesPerPixel>
void ConvertRow(const std::uint8_t* Source, std::uint8_t* Dest, std::int64_t Width,
                const TChannelMasks& Masks, const std::array<int, 3>& Shifts) {
    auto channel = [](std::uint32_t pixel, std::uint32_t mask, int shift) {
        const std::uint32_t bits = pixel & mask;
        return static_cast<std::uint8_t>(shift >= 0 ? bits >> shift : bits << -shift);
    };
    for (std::int64_t x = 0; x < Width; ++x, Source += BytesPerPixel, Dest += 3) {
        std::uint32_t pixel = std::uint32_t(Source[0]) | std::uint32_t(Source[1]) << 8;
        if constexpr (BytesPerPixel == 4)
            pixel |= std::uint32_t(Source[2]) << 16 | std::uint32_t(Source[3]) << 24;
        Dest[0] = channel(pixel, Masks[2], Shifts[2]);
        Dest[1] = channel(pixel, Masks[1], Shifts[1]);
        Dest[2] = channel(pixel, Masks[0], Shifts[0]);
    }
}

} // namespace

void ConvertTrueColorSource(TKvDIBInfos& Infos, const TSourceRowReader& SourceRow) {
    BITMAPINFOHEADER& h = Infos.Header;
    const std::int64_t width = h.biWidth;
    const std::int64_t rows = DIBRowCount(h);
    const std::int64_t stride = DIBRowLength(width, 24);
    const TChannelMasks masks = ChannelMasks(Infos);
    const std::array<int, 3> shifts{MaskShift(masks[0]), MaskShift(masks[1]), MaskShift(masks[2])};

    TNewStorage storage(stride * rows);
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::uint8_t* source = SourceRow(y);
        std::uint8_t* dest = storage.Bits() + stride * y;
        std::memset(dest + stride - 4, 0, 4); // the row padding
        if (h.biBitCount == 16)
            ConvertRow<2>(source, dest, width, masks, shifts);
        else
            ConvertRow<4>(source, dest, width, masks, shifts);
    }
    storage.Commit(Infos);

    if (h.biCompression == BI_BITFIELDS) {
        // The colours that followed the masks move to the front of the table.
        std::uint8_t* table = DIBHeaderArea(Infos) + sizeof(BITMAPINFOHEADER);
        std::memmove(table, table + 3 * sizeof(RGBQUAD), sizeof(Infos.ColorTable));
    }
    h.biCompression = BI_RGB;
    h.biBitCount = 24;
    h.biSizeImage = 0;
}

void CommitLoadedImage(TKvInternalDIB& Target, const TKvDIBInfos& Infos) {
    Target.FreeDIB();
    Target.Infos = Infos;
    Target.Width = Infos.Header.biWidth;
    Target.Height = static_cast<std::int32_t>(DIBRowCount(Infos.Header));
    Target.UpdatePalette();
}
