// Drawing a bitmap on a canvas, plain or halftoned, and exchange with device-dependent
// bitmaps.
#include <cstdlib>

#include "imagelib/KvDIB.h"
#include "imagelib/KvDIBConverters.h"

namespace {

// The image as the device interface takes it: RLE data is decoded into a temporary copy,
// released again when the transfer is done.
class TTransferImage {
public:
    explicit TTransferImage(const TKvDIBInfos& Source) : FInfos(&Source) {
        if (Source.Header.biCompression == BI_RLE8)
            Convert8BitRLETo8BitRGB(Source, FDecoded);
        else if (Source.Header.biCompression == BI_RLE4)
            Convert4BitRLETo4BitRGB(Source, FDecoded);
        else
            return;
        FInfos = &FDecoded;
    }
    ~TTransferImage() {
        if (FInfos != &FDecoded) return;
        try {
            ReleaseFileMap(FDecoded.MapHandle, FDecoded.Bits);
        } catch (const EKvDIBAssert&) {
            // Nothing more can be done about a mapping the system keeps.
        }
    }
    TTransferImage(const TTransferImage&) = delete;
    TTransferImage& operator=(const TTransferImage&) = delete;

    // Stretches the image's whole area onto DC.
    void Stretch(HDC DC, int X, int Y, int W, int H, std::uint32_t Rop) const {
        const BITMAPINFOHEADER& h = FInfos->Header;
        const int rows = static_cast<int>(DIBRowCount(h));
        StretchDIBits(DC, X, Y, W, H, 0, 0, h.biWidth, rows, FInfos->Bits, h, FInfos->ColorTable,
                      DIB_RGB_COLORS, Rop);
    }

private:
    const TKvDIBInfos* FInfos;
    TKvDIBInfos FDecoded;
};

TPixelFormat BitmapFormatOf(TKvPixelFormat Format) {
    switch (Format) {
    case kvpf1Bit:
        return pf1bit;
    case kvpf4Bit:
    case kvpf4BitRLE:
        return pf4bit;
    case kvpf8Bit:
    case kvpf8BitRLE:
        return pf8bit;
    case kvpf24Bit:
        return pf24bit;
    default:
        DIBAssert(false, "TKvDIB.AssignTo: Illegal PixelFormat");
        return pfDevice;
    }
}

} // namespace

void TKvDIB::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (InternalDIB == nullptr) return;
    if (HalftoneMode != kvhtNone) {
        DrawHalftoned(ACanvas, Rect);
        return;
    }
    const TTransferImage image(InternalDIB->Infos);
    const HDC dc = ACanvas->GetHandle();
    const HPALETTE palette = GetPalette();
    HPALETTE oldPalette = 0;
    if (palette != 0) {
        oldPalette = SelectPalette(dc, palette, true);
        RealizePalette(dc);
    }
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    image.Stretch(dc, Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, ACanvas->CopyMode);
    SetStretchBltMode(dc, oldMode);
    if (palette != 0) SelectPalette(dc, oldPalette, true);
}

// Scales into a temporary image of the target's size first, then halftones that, so the
// cost follows the size shown.
void TKvDIB::DrawHalftoned(TCanvas* ACanvas, const TRect& Rect) {
    const int width = Rect.Right - Rect.Left;
    const int height = Rect.Bottom - Rect.Top;
    if (width == 0 || height == 0) return;
    const TKvPixelFormat target = HalftoneMode == kvhtColor ? kvpfHalfTone : kvpfHalfToneBW;
    TKvDIB scaled;
    {
        const THalftoneModeOverride plain(*this, kvhtNone);
        scaled.SetWidth(std::abs(width));
        scaled.SetHeight(std::abs(height));
        scaled.SetBitCount(GetBitCount());
        scaled.SetPalette(CopyPalette(GetPalette()));
        TKvDIBCanvas canvas(&scaled);
        canvas.StretchDraw(::Rect(0, 0, width, height), this);
    }
    scaled.SetPixelFormat(target);
    scaled.Draw(ACanvas, Rect);
}

void TKvDIB::AssignTo(TPersistent* Dest) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.AssignTo: InternalDIB Should not be Nil");
    if (auto* dib = dynamic_cast<TKvDIB*>(Dest)) {
        dib->Assign(this);
        return;
    }
    auto* bitmap = dynamic_cast<TBitmap*>(Dest);
    if (bitmap == nullptr) {
        TKvGraphic::AssignTo(Dest);
        return;
    }
    bitmap->SetHeight(GetHeight());
    bitmap->SetWidth(GetWidth());
    bitmap->SetPixelFormat(BitmapFormatOf(GetPixelFormat()));
    {
        const THalftoneModeOverride plain(*this, kvhtNone);
        bitmap->SetPalette(CopyPalette(GetPalette()));
    }
    const TTransferImage image(InternalDIB->Infos);
    image.Stretch(bitmap->Canvas()->GetHandle(), 0, 0, GetWidth(), GetHeight(), SRCCOPY);
}

void TKvDIB::AssignFromBitmap(TBitmap& Source) {
    BITMAP description{};
    GetObject(Source.GetHandle(), description);
    int bitCount = description.bmPlanes * description.bmBitsPixel;
    if (bitCount == 16 || bitCount == 32) bitCount = 24;
    auto image = std::make_unique<TKvInternalDIB>(description.bmWidth, description.bmHeight, bitCount, 0);

    const HDC screen = GetDC(0);
    const HPALETTE oldPalette = SelectPalette(screen, Source.GetPalette(), true);
    RealizePalette(screen);
    TKvDIBInfos& infos = image->Infos;
    GetDIBits(screen, Source.GetHandle(), 0, static_cast<unsigned>(image->Height), infos.Bits, infos.Header,
              infos.ColorTable, DIB_RGB_COLORS);
    if (oldPalette != 0) SelectPalette(screen, oldPalette, true);
    ReleaseDC(0, screen);
    if (infos.Header.biClrUsed == 0)
        infos.Header.biClrUsed = static_cast<std::uint32_t>(ColorsOfBitCount(infos.Header.biBitCount));

    InstallInternalDIB(std::move(image));
    InternalDIB->UpdatePalette();
    UpdatePaletteModified();
    Changed(this);
}
