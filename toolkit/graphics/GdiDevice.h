// Bitmaps and device contexts behind their handles (internal to the device interface).
#pragma once

#include <memory>

#include "toolkit/graphics/GdiDIBRows.h"
#include "toolkit/graphics/GdiObjects.h"

// Anything that can be selected into a memory DC and drawn on.
class TBitmapObject : public TGdiObject {
public:
    virtual BITMAP Describe() const = 0;
    // The pixels as Format_RGB32, up to date with the bitmap's own storage; nullptr
    // when the bitmap has no pixels. Every Open is paired with a Close, which writes
    // Touched back to the storage.
    virtual QImage* Open() = 0;
    virtual void Close(const QRect& Touched) = 0;
    // The palette GetDIBits reads indexed pixels with; empty when the bitmap has none.
    virtual std::vector<QRgb> Colors() const = 0;
};

// Pixels in a QImage that the bitmap owns (the 1 x 1 bitmap of a new memory DC).
class TMemoryBitmap : public TBitmapObject {
public:
    TMemoryBitmap(int Width, int Height, int BitsPerPixel);
    BITMAP Describe() const override;
    QImage* Open() override { return &FImage; }
    void Close(const QRect&) override {}
    std::vector<QRgb> Colors() const override { return {}; }

private:
    QImage FImage;
    int FBitsPerPixel;
};

// Pixels in a QImage owned elsewhere.
class TImageBitmap : public TBitmapObject {
public:
    TImageBitmap(QImage* Image, int BitsPerPixel) : Image(Image), BitsPerPixel(BitsPerPixel) {}
    BITMAP Describe() const override;
    QImage* Open() override;
    void Close(const QRect&) override {}
    std::vector<QRgb> Colors() const override;

    QImage* Image;
    int BitsPerPixel;
    HPALETTE Palette = 0;
};

// A DIB in memory the bitmap does not own (a view of a file mapping) or in a buffer of
// its own. Drawing goes through a 32-bit mirror decoded on the first Open and encoded
// back rectangle by rectangle on Close.
class TDIBSection : public TBitmapObject {
public:
    TDIBSection(const TDIBLayout& Layout, const BITMAPINFOHEADER& Header, const RGBQUAD* Colors);
    ~TDIBSection() override;
    // Lays the section over Offset bytes into a view of Section (0: a zero-filled buffer
    // of its own); false when the storage is too small or cannot be had.
    bool Attach(THandle Section, std::uint32_t Offset);
    std::uint8_t* Bits() const { return FBits; }

    BITMAP Describe() const override;
    QImage* Open() override;
    void Close(const QRect& Touched) override;
    std::vector<QRgb> Colors() const override;

private:
    TDIBLayout FLayout;
    BITMAPINFOHEADER FHeader;
    std::vector<RGBQUAD> FColors;
    void* FView = nullptr;
    std::unique_ptr<std::uint8_t[]> FOwnBits;
    std::uint8_t* FBits = nullptr;
    QImage FMirror;
    int FOpenCount = 0;
    std::unique_ptr<TNearestColor> FNearest;
};

class TDeviceContext : public TGdiObject {
public:
    bool Memory = false;   // memory DCs take bitmaps; screen DCs do not
    HBITMAP Bitmap = 0;    // selected bitmap
    HBITMAP OwnBitmap = 0; // the 1 x 1 bitmap a memory DC starts with, deleted with it
    HPALETTE Palette = 0;  // recorded only: rendering is 32-bit
    int StretchMode = BLACKONWHITE;
    TBitmapObject* SelectedBitmap() const { return FindGdiObject<TBitmapObject>(Bitmap); }
};

inline TDeviceContext* FindDC(HDC DC) {
    return FindGdiObject<TDeviceContext>(DC);
}

// Entries of a palette handle as opaque RGB (empty for an unknown handle).
std::vector<QRgb> PaletteColors(HPALETTE Palette);
