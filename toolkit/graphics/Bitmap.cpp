// TBitmap: 32-bit pixels in a QImage, shared with the bitmap handle that wraps it.
#include <cstring>

#include "toolkit/graphics/BitmapDIB.h"
#include "toolkit/graphics/CanvasRaster.h"
#include "toolkit/graphics/GdiObjects.h"
#include "toolkit/graphics/GlobalMemory.h"

namespace {

constexpr const char* SInvalidBitmap = "Bitmap image is not valid";
constexpr const char* SUnknownClipboardFormat = "Unsupported clipboard format";

int BitsOf(TPixelFormat Format) {
    switch (Format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    case pfDevice:
    case pf32bit:
        return 32;
    }
    return 32;
}

TPixelFormat FormatOf(int BitCount) {
    switch (BitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        return pf16bit;
    case 24:
        return pf24bit;
    default:
        return pf32bit;
    }
}

// The depth a BMP or DIB of the bitmap is written in: device bitmaps as 24 bits.
int StoredBits(TPixelFormat Format) {
    const int bits = BitsOf(Format);
    return bits <= 8 || Format == pf32bit ? bits : 24;
}

// The palette an indexed bitmap gets when it has none: black and white for 1 bit, the
// sixteen standard colours for 4 bits, and for 8 bits those sixteen, a 6 x 6 x 6 colour
// cube and 24 greys.
HPALETTE DefaultPalette(int BitCount) {
    static const PALETTEENTRY standard[16] = {
        {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};
    std::vector<PALETTEENTRY> entries;
    if (BitCount == 1) {
        entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    } else {
        entries.assign(std::begin(standard), std::end(standard));
        if (BitCount == 8) {
            for (int r = 0; r < 6; ++r)
                for (int g = 0; g < 6; ++g)
                    for (int b = 0; b < 6; ++b)
                        entries.push_back(PALETTEENTRY{static_cast<std::uint8_t>(r * 51),
                                                       static_cast<std::uint8_t>(g * 51),
                                                       static_cast<std::uint8_t>(b * 51), 0});
            for (int i = 1; i <= 24; ++i) {
                const auto v = static_cast<std::uint8_t>(i * 10);
                entries.push_back(PALETTEENTRY{v, v, v, 0});
            }
        }
    }
    return CreatePalette(entries.data(), static_cast<int>(entries.size()));
}

std::vector<PALETTEENTRY> PaletteEntries(HPALETTE Palette) {
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(Palette, 0, 0, nullptr));
    if (!entries.empty())
        GetPaletteEntries(Palette, 0, static_cast<unsigned>(entries.size()), entries.data());
    return entries;
}

} // namespace

QImage BitmapHandlePixels(HBITMAP Bitmap) {
    const HDC dc = CreateCompatibleDC(0);
    if (dc == 0) return {};
    QImage pixels;
    const HGDIOBJ previous = SelectObject(dc, Bitmap);
    if (previous != 0) {
        if (QImage* surface = BeginDrawing(dc)) {
            pixels = surface->copy();
            EndDrawing(dc, QRect());
        }
        SelectObject(dc, previous);
    }
    DeleteDC(dc);
    return pixels;
}

struct TBitmap::Impl {
    QImage Image;
    // The size while Image is null: one side may be set before the other.
    int Width = 0;
    int Height = 0;
    HBITMAP Handle = 0;
    HPALETTE Palette = 0;
    HDC DC = 0;
    HGDIOBJ PreviousBitmap = 0;
    std::unique_ptr<TCanvas> Canvas;

    ~Impl() {
        Canvas.reset();
        if (DC != 0) {
            SelectObject(DC, PreviousBitmap);
            DeleteDC(DC);
        }
        DeleteObject(Handle);
        if (Palette != 0) DeleteObject(Palette);
    }
};

TBitmap::TBitmap() : FImpl(std::make_unique<Impl>()) {
    FImpl->Handle = CreateImageBitmap(&FImpl->Image, BitsOf(FPixelFormat));
}

TBitmap::~TBitmap() = default;

QImage& TBitmap::Image() {
    return FImpl->Image;
}
const QImage& TBitmap::Image() const {
    return FImpl->Image;
}
HBITMAP TBitmap::GetHandle() {
    return FImpl->Handle;
}
bool TBitmap::GetEmpty() {
    return FImpl->Image.isNull();
}
int TBitmap::GetWidth() {
    return FImpl->Image.isNull() ? FImpl->Width : FImpl->Image.width();
}
int TBitmap::GetHeight() {
    return FImpl->Image.isNull() ? FImpl->Height : FImpl->Image.height();
}
HPALETTE TBitmap::GetPalette() {
    return FImpl->Palette;
}

TCanvas* TBitmap::Canvas() {
    if (!FImpl->Canvas) {
        const HDC dc = CreateCompatibleDC(0);
        if (dc == 0) throw EOutOfResources(SOutOfResources);
        FImpl->DC = dc;
        FImpl->PreviousBitmap = SelectObject(dc, FImpl->Handle);
        FImpl->Canvas = std::make_unique<TCanvas>();
        FImpl->Canvas->SetHandle(dc);
        FImpl->Canvas->OnChange = [this](TObject*) { Changed(this); };
    }
    return FImpl->Canvas.get();
}

// The pixels inside both sizes stay; new pixels are black, as in a new device bitmap.
void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth < 0 || AHeight < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    if (AWidth == GetWidth() && AHeight == GetHeight()) return;
    QImage resized;
    if (AWidth > 0 && AHeight > 0) {
        if (!PictureSizeFits(AWidth, AHeight)) throw EOutOfResources(SOutOfResources);
        resized = QImage(AWidth, AHeight, QImage::Format_RGB32);
        if (resized.isNull()) throw EOutOfResources(SOutOfResources);
        resized.fill(Qt::black);
        const QImage& old = FImpl->Image;
        const int rows = std::min(AHeight, old.height());
        const auto bytes = static_cast<std::size_t>(std::min(AWidth, old.width())) * sizeof(QRgb);
        for (int y = 0; y < rows; ++y)
            std::memcpy(resized.scanLine(y), old.constScanLine(y), bytes);
    }
    FImpl->Image = std::move(resized);
    FImpl->Width = AWidth;
    FImpl->Height = AHeight;
    Changed(this);
}

void TBitmap::SetWidth(int Value) {
    SetSize(Value, GetHeight());
}
void TBitmap::SetHeight(int Value) {
    SetSize(GetWidth(), Value);
}

void TBitmap::ReplacePalette(HPALETTE Value) {
    if (Value == FImpl->Palette) return;
    const HPALETTE old = FImpl->Palette;
    FImpl->Palette = Value;
    SetImageBitmapPalette(FImpl->Handle, Value);
    if (old != 0) DeleteObject(old);
    PaletteModified = true;
}

void TBitmap::SetPalette(HPALETTE Value) {
    if (Value == FImpl->Palette) return;
    ReplacePalette(Value);
    Changed(this);
}

// The pixels stay 32-bit whatever the format; the format decides what GetObject and
// GetDIBits report and how the bitmap is saved. Indexed formats carry a palette.
void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat) return;
    FPixelFormat = Value;
    const int bits = BitsOf(Value);
    SetImageBitmapDepth(FImpl->Handle, bits);
    if (bits <= 8 && FImpl->Palette == 0)
        ReplacePalette(DefaultPalette(bits));
    else if (bits > 8)
        ReplacePalette(0);
    Changed(this);
}

TColor TBitmap::GetTransparentColor() {
    if (TransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (GetEmpty()) return clBlack;
    return ColorOfPixel(FImpl->Image.pixel(0, FImpl->Image.height() - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    TransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

bool KeyPointInside(TGraphic& Picture, TPoint Point) {
    return Point.X >= 0 && Point.Y >= 0 && Point.X < Picture.Width() && Point.Y < Picture.Height();
}

void SetKeyColor(TBitmap& Picture, bool Transparent, TPoint Key) {
    // Outside the picture the canvas reports no colour, which must not become a key colour.
    const bool inside = KeyPointInside(Picture, Key);
    if (inside) Picture.SetTransparentColor(Picture.Canvas()->GetPixels(Key.X, Key.Y));
    Picture.SetTransparent(Transparent && inside);
}

// Stretched onto the canvas's surface with its CopyMode. A transparent bitmap leaves its
// transparent colour out: the surface keeps its pixels where the picture has that colour.
void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (ACanvas == nullptr || GetEmpty()) return;
    // Shared, not copied: drawn onto itself, the bitmap's surface gets pixels of its own at the
    // first write while these stay as they were.
    const QImage pixels = FImpl->Image;
    const TRect source{0, 0, pixels.width(), pixels.height()};
    if (GetTransparent())
        StretchImageTransparent(ACanvas->GetHandle(), Rect, pixels, source,
                                ColorToRGB(GetTransparentColor()));
    else
        StretchImage(ACanvas->GetHandle(), Rect, pixels, source, ACanvas->CopyMode);
}

void TBitmap::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        FImpl->Image = QImage();
        FImpl->Width = FImpl->Height = 0;
        Changed(this);
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        if (bitmap == this) return;
        // The pixels are shared until either bitmap is drawn on.
        FImpl->Image = bitmap->FImpl->Image;
        FImpl->Width = bitmap->GetWidth();
        FImpl->Height = bitmap->GetHeight();
        FPixelFormat = bitmap->FPixelFormat;
        SetImageBitmapDepth(FImpl->Handle, BitsOf(FPixelFormat));
        ReplacePalette(CopyPalette(bitmap->FImpl->Palette));
        FTransparent = bitmap->FTransparent;
        FTransparentColor = bitmap->FTransparentColor;
        TransparentMode = bitmap->TransparentMode;
        PaletteModified = true;
        Changed(this);
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        // A graphic that cannot convert itself to a bitmap is drawn onto one.
        try {
            TGraphic::Assign(Source);
            return;
        } catch (const EConvertError&) {
        }
        SetSize(0, 0);
        SetSize(graphic->Width(), graphic->Height());
        Canvas()->Draw(0, 0, graphic);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Install(TDecodedDIB& Picture, TPixelFormat Format) {
    FImpl->Image = std::move(Picture.Image);
    FPixelFormat = Format;
    const int bits = BitsOf(Format);
    SetImageBitmapDepth(FImpl->Handle, bits);
    HPALETTE palette = 0;
    if (bits <= 8)
        palette = Picture.Colors.empty()
                      ? DefaultPalette(bits)
                      : CreatePalette(Picture.Colors.data(), static_cast<int>(Picture.Colors.size()));
    ReplacePalette(palette);
    PaletteModified = true;
    Changed(this);
}

// A bad image leaves the bitmap as it was.
void TBitmap::LoadFromStream(TStream& Stream) {
    if (Stream.Remaining() <= 0) {
        Assign(nullptr);
        return;
    }
    TDecodedDIB dib;
    if (!ReadBMP(Stream, dib)) throw EInvalidGraphic(SInvalidBitmap);
    Install(dib, FormatOf(dib.BitCount));
}

// An empty bitmap writes nothing, and reads back from an empty stream.
void TBitmap::SaveToStream(TStream& Stream) {
    if (GetEmpty()) return;
    WriteBMP(Stream, FImpl->Image, StoredBits(FPixelFormat), PaletteEntries(FImpl->Palette));
}

void TBitmap::LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette) {
    if (AData == 0 || (AFormat != CF_BITMAP && AFormat != CF_DIB))
        throw EInvalidGraphic(SUnknownClipboardFormat);
    TDecodedDIB dib;
    if (AFormat == CF_DIB) {
        const auto* block = static_cast<const std::uint8_t*>(GlobalLock(AData));
        const bool decoded = block != nullptr && DecodeDIB(block, GlobalSize(AData), 0, dib);
        if (block != nullptr) GlobalUnlock(AData);
        if (!decoded) throw EInvalidGraphic(SInvalidBitmap);
        Install(dib, FormatOf(dib.BitCount));
        return;
    }
    BITMAP info{};
    if (GetObject(AData, info)) dib.Image = BitmapHandlePixels(AData);
    if (dib.Image.isNull()) throw EInvalidGraphic(SInvalidBitmap);
    if (APalette != 0) dib.Colors = PaletteEntries(APalette);
    Install(dib, info.bmBitsPixel == 32 ? pfDevice : FormatOf(info.bmBitsPixel));
}

// A bitmap goes to the clipboard as a CF_DIB block, which the clipboard owns; an empty
// bitmap gives no data.
void TBitmap::SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) {
    AFormat = CF_DIB;
    AData = 0;
    APalette = 0;
    if (GetEmpty()) return;
    const std::vector<std::uint8_t> dib =
        EncodeDIB(FImpl->Image, StoredBits(FPixelFormat), PaletteEntries(FImpl->Palette));
    const HGLOBAL block = GlobalAlloc(GHND, dib.size());
    void* bytes = block != 0 ? GlobalLock(block) : nullptr;
    if (bytes == nullptr) {
        if (block != 0) GlobalFree(block);
        throw EOutOfMemory("Out of memory");
    }
    std::memcpy(bytes, dib.data(), dib.size());
    GlobalUnlock(block);
    AData = block;
}
