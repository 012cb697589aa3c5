// Bitmap objects: image bitmaps over QImages owned elsewhere, the 1 x 1 bitmap of a new
// memory DC, and DIB sections whose pixels stay in the DIB's own layout.
#include <algorithm>
#include <cstring>

#include "toolkit/graphics/FileMapping.h"
#include "toolkit/graphics/GdiDevice.h"

namespace {

// Device-dependent bitmaps keep their rows word-aligned.
int DeviceRowBytes(int Width, int BitsPerPixel) {
    return (Width * BitsPerPixel + 15) / 16 * 2;
}

BITMAP DescribeImage(const QImage& Image, int BitsPerPixel) {
    return BITMAP{Image.width(), Image.height(), DeviceRowBytes(Image.width(), BitsPerPixel), 1,
                  BitsPerPixel};
}

} // namespace

std::vector<QRgb> PaletteColors(HPALETTE Palette) {
    std::vector<QRgb> colors;
    if (const auto* palette = FindGdiObject<TPaletteObject>(Palette))
        for (const PALETTEENTRY& e : palette->Entries)
            colors.push_back(qRgb(e.peRed, e.peGreen, e.peBlue));
    return colors;
}

TMemoryBitmap::TMemoryBitmap(int Width, int Height, int BitsPerPixel)
    : FImage(Width, Height, QImage::Format_RGB32), FBitsPerPixel(BitsPerPixel) {
    FImage.fill(Qt::black);
}

BITMAP TMemoryBitmap::Describe() const {
    return DescribeImage(FImage, FBitsPerPixel);
}

BITMAP TImageBitmap::Describe() const {
    return DescribeImage(*Image, BitsPerPixel);
}

QImage* TImageBitmap::Open() {
    if (Image->isNull()) return nullptr;
    // Everything that draws writes whole 32-bit pixels.
    if (Image->format() != QImage::Format_RGB32) *Image = Image->convertToFormat(QImage::Format_RGB32);
    return Image;
}

std::vector<QRgb> TImageBitmap::Colors() const {
    return PaletteColors(Palette);
}

TDIBSection::TDIBSection(const TDIBLayout& Layout, const BITMAPINFOHEADER& Header, const RGBQUAD* Colors)
    : FLayout(Layout), FHeader(Header) {
    if (Colors != nullptr) FColors.assign(Colors, Colors + DIBColorCount(Header));
}

TDIBSection::~TDIBSection() {
    if (FView != nullptr) UnmapViewOfFile(FView);
}

bool TDIBSection::Attach(THandle Section, std::uint32_t Offset) {
    if (Section == 0) {
        FOwnBits = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(FLayout.ImageBytes));
        FBits = FOwnBits.get();
        return true;
    }
    const std::int64_t available = static_cast<std::int64_t>(FileMappingSize(Section));
    if (std::int64_t(Offset) + FLayout.ImageBytes > available) return false;
    FView = MapViewOfFile(Section);
    if (FView == nullptr) return false;
    FBits = static_cast<std::uint8_t*>(FView) + Offset;
    return true;
}

BITMAP TDIBSection::Describe() const {
    return BITMAP{FLayout.Width, FLayout.Height, static_cast<int>(FLayout.Stride), 1, FLayout.BitCount};
}

std::vector<QRgb> TDIBSection::Colors() const {
    const auto lookup = ColorLookup(FColors.data(), static_cast<int>(FColors.size()));
    return std::vector<QRgb>(lookup.begin(), lookup.begin() + FColors.size());
}

QImage* TDIBSection::Open() {
    // Nested opens share the mirror: decoding again would drop what the outer one drew.
    if (FOpenCount++ > 0) return &FMirror;
    if (FMirror.isNull()) FMirror = QImage(FLayout.Width, FLayout.Height, QImage::Format_RGB32);
    const auto lookup = ColorLookup(FColors.data(), static_cast<int>(FColors.size()));
    for (int y = 0; y < FLayout.Height; ++y)
        DecodeDIBRow(FLayout.ImageRow(FBits, y), FLayout.BitCount, lookup.data(), 0, FLayout.Width,
                     reinterpret_cast<QRgb*>(FMirror.scanLine(y)));
    return &FMirror;
}

void TDIBSection::Close(const QRect& Touched) {
    if (FOpenCount == 0) return;
    --FOpenCount;
    const QRect area = Touched.intersected(FMirror.rect());
    if (area.isEmpty()) return;
    if (FLayout.BitCount <= 8 && !FNearest) {
        // Only the entries an index of this depth can name take part.
        std::vector<QRgb> entries = Colors();
        entries.resize(std::min<std::size_t>(entries.size(), std::size_t(1) << FLayout.BitCount));
        if (entries.empty()) entries.push_back(qRgb(0, 0, 0));
        FNearest = std::make_unique<TNearestColor>(std::move(entries));
    }
    for (int y = area.top(); y <= area.bottom(); ++y)
        EncodeDIBRow(reinterpret_cast<const QRgb*>(FMirror.constScanLine(y)) + area.left(), area.left(),
                     area.width(), FLayout.ImageRow(FBits, y), FLayout.BitCount, FNearest.get());
}

HBITMAP CreateImageBitmap(QImage* Image, int BitsPerPixel) {
    if (Image == nullptr) return 0;
    return GdiObjects().Add(std::make_unique<TImageBitmap>(Image, BitsPerPixel));
}

void SetImageBitmapDepth(HBITMAP Bitmap, int BitsPerPixel) {
    if (auto* bitmap = FindGdiObject<TImageBitmap>(Bitmap)) bitmap->BitsPerPixel = BitsPerPixel;
}

void SetImageBitmapPalette(HBITMAP Bitmap, HPALETTE Palette) {
    if (auto* bitmap = FindGdiObject<TImageBitmap>(Bitmap)) bitmap->Palette = Palette;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFOHEADER& Header, const RGBQUAD* Colors, std::uint32_t Usage,
                         void** Bits, THandle Section, std::uint32_t Offset) {
    if (Bits != nullptr) *Bits = nullptr;
    TDIBLayout layout;
    if (Usage != DIB_RGB_COLORS || !TDIBLayout::Make(Header, {1, 4, 8, 24}, layout)) return 0;
    auto section = std::make_unique<TDIBSection>(layout, Header, Colors);
    if (!section->Attach(Section, Offset)) return 0;
    if (Bits != nullptr) *Bits = section->Bits();
    return GdiObjects().Add(std::move(section));
}

bool GetObject(HBITMAP Bitmap, BITMAP& Info) {
    const auto* bitmap = FindGdiObject<TBitmapObject>(Bitmap);
    if (bitmap == nullptr) return false;
    Info = bitmap->Describe();
    return true;
}
