#include "editor/model/DIBitmap.h"

#include <cstring>

#include "toolkit/graphics/Exceptions.h"

namespace {

constexpr std::int64_t MaxImageBytes = std::int64_t(1) << 30;

int InfoSizeOf(const BITMAPINFOHEADER& Header) {
    // Deeper pixels carry no colour table.
    return Header.biBitCount > 8 ? 40 : 40 + 4 * (1 << Header.biBitCount);
}

} // namespace

void DIBitmapInfoHeader(HBITMAP Bitmap, BITMAPINFOHEADER& Header, int Colors) {
    BITMAP description{};
    GetObject(Bitmap, description);
    Header.biSize = 40;
    Header.biWidth = description.bmWidth;
    Header.biHeight = description.bmHeight;
    Header.biPlanes = 1;
    switch (Colors) {
    case 2:
        Header.biBitCount = 1;
        break;
    case 16:
        Header.biBitCount = 4;
        break;
    case 256:
        Header.biBitCount = 8;
        break;
    case 4096:
        Header.biBitCount = 16;
        break;
    case 0:
        Header.biBitCount = static_cast<std::uint16_t>(description.bmPlanes * description.bmBitsPixel);
        break;
    default:
        break;
    }
    Header.biXPelsPerMeter = 0;
    Header.biYPelsPerMeter = 0;
    Header.biClrImportant = 0;
    Header.biCompression = BI_RGB;
    Header.biClrUsed = Header.biBitCount <= 8 ? static_cast<std::uint32_t>(Colors) : 0;
    if (Header.biBitCount == 16 || Header.biBitCount == 32) Header.biBitCount = 24;
    const std::int64_t stride = (std::int64_t(Header.biWidth) * Header.biBitCount + 31) / 32 * 4;
    const std::int64_t imageBytes = std::int64_t(Header.biHeight) * stride;
    if (imageBytes > MaxImageBytes) throw EInvalidGraphic("DIBitmapInfoHeader: Bitmap is too large");
    Header.biSizeImage = static_cast<std::uint32_t>(imageBytes);
}

void DIBitmapSizes(HBITMAP Bitmap, int& InfoSize, int& ImageSize, int Colors) {
    BITMAPINFOHEADER header{};
    DIBitmapInfoHeader(Bitmap, header, Colors);
    InfoSize = InfoSizeOf(header);
    ImageSize = static_cast<int>(header.biSizeImage);
}

bool DIBitmapBits(HBITMAP Bitmap, HPALETTE Palette, std::span<std::uint8_t> Info, int Colors,
                  std::span<std::uint8_t> Bits) {
    BITMAPINFOHEADER header{};
    if (Info.size() < sizeof header) return false;
    std::memcpy(&header, Info.data(), sizeof header);
    DIBitmapInfoHeader(Bitmap, header, Colors);
    if (Info.size() < std::size_t(InfoSizeOf(header)) || Bits.size() < header.biSizeImage) return false;
    auto* colors = header.biBitCount <= 8 ? reinterpret_cast<RGBQUAD*>(Info.data() + sizeof header) : nullptr;

    const HDC dc = GetDC(0);
    const HPALETTE oldPalette = Palette != 0 ? SelectPalette(dc, Palette, false) : 0;
    if (Palette != 0) RealizePalette(dc);
    const int rows = GetDIBits(dc, Bitmap, 0, static_cast<unsigned>(header.biHeight), Bits.data(), header,
                               colors, DIB_RGB_COLORS);
    if (oldPalette != 0) SelectPalette(dc, oldPalette, false);
    ReleaseDC(0, dc);
    std::memcpy(Info.data(), &header, sizeof header);
    return rows > 0;
}
