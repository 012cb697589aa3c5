// GetDIBits: a bitmap's pixels read out as a DIB of a given depth and row order.
#include <algorithm>
#include <optional>

#include "toolkit/graphics/GdiDevice.h"

namespace {

// The colours indexed pixels are read with when neither the bitmap nor the DC has a
// palette: black and white for 1 bit, the 16 standard colours otherwise.
std::vector<QRgb> DefaultColors(int BitCount) {
    if (BitCount == 1) return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// Exactly 2^BitCount colour-table entries: the bitmap's palette, else the DC's, padded
// with black.
std::vector<QRgb> TableColors(const TBitmapObject& Bitmap, const TDeviceContext& DC, int BitCount) {
    std::vector<QRgb> colors = Bitmap.Colors();
    if (colors.empty()) colors = PaletteColors(DC.Palette);
    if (colors.empty()) colors = DefaultColors(BitCount);
    colors.resize(std::size_t(1) << BitCount, qRgb(0, 0, 0));
    return colors;
}

} // namespace

int GetDIBits(HDC DC, HBITMAP Bitmap, unsigned StartScan, unsigned ScanLines, void* Bits,
              BITMAPINFOHEADER& Header, RGBQUAD* Colors, std::uint32_t Usage) {
    const TDeviceContext* dc = FindDC(DC);
    auto* bitmap = FindGdiObject<TBitmapObject>(Bitmap);
    TDIBLayout layout;
    if (dc == nullptr || bitmap == nullptr || Usage != DIB_RGB_COLORS ||
        !TDIBLayout::Make(Header, {1, 4, 8, 24, 32}, layout))
        return 0;
    const unsigned rowsCopied =
        StartScan >= unsigned(layout.Height) ? 0 : std::min(ScanLines, unsigned(layout.Height) - StartScan);

    std::vector<QRgb> table;
    if (layout.BitCount <= 8) {
        table = TableColors(*bitmap, *dc, layout.BitCount);
        for (std::size_t i = 0; Colors != nullptr && i < table.size(); ++i)
            Colors[i] = RGBQUAD{static_cast<std::uint8_t>(qBlue(table[i])),
                                static_cast<std::uint8_t>(qGreen(table[i])),
                                static_cast<std::uint8_t>(qRed(table[i])), 0};
    }
    if (Bits == nullptr) {
        Header.biSizeImage = static_cast<std::uint32_t>(layout.ImageBytes);
        return static_cast<int>(rowsCopied);
    }

    const QImage* image = bitmap->Open();
    if (image == nullptr) {
        bitmap->Close(QRect());
        return 0;
    }
    const int copyWidth = std::min(layout.Width, image->width());
    // Only indexed rows look colours up; rows past the bitmap are black.
    std::optional<TNearestColor> nearest;
    if (layout.BitCount <= 8) nearest.emplace(table);
    TNearestColor* const lookup = nearest ? &*nearest : nullptr;
    std::vector<QRgb> black;
    if (copyWidth < layout.Width || layout.Height > image->height())
        black.assign(static_cast<std::size_t>(layout.Width), qRgb(0, 0, 0));
    auto* out = static_cast<std::uint8_t*>(Bits);
    // Buffer row i is stored row StartScan + i, whatever the row order.
    for (unsigned i = 0; i < rowsCopied; ++i) {
        const std::int64_t stored = std::int64_t(StartScan) + i;
        const int y = static_cast<int>(layout.TopDown ? stored : layout.Height - 1 - stored);
        std::uint8_t* row = out + layout.Stride * i;
        std::fill_n(row, layout.Stride, std::uint8_t(0));
        if (y >= image->height()) {
            EncodeDIBRow(black.data(), 0, layout.Width, row, layout.BitCount, lookup);
            continue;
        }
        const auto* pixels = reinterpret_cast<const QRgb*>(image->constScanLine(y));
        EncodeDIBRow(pixels, 0, copyWidth, row, layout.BitCount, lookup);
        if (copyWidth < layout.Width)
            EncodeDIBRow(black.data(), copyWidth, layout.Width - copyWidth, row, layout.BitCount, lookup);
    }
    bitmap->Close(QRect());
    return static_cast<int>(rowsCopied);
}
