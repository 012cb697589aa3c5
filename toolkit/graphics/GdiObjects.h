// The objects behind device-interface handles (internal to the toolkit).
#pragma once

#include <QImage>
#include <QRect>
#include <vector>

#include "toolkit/graphics/Gdi.h"
#include "toolkit/graphics/HandleTable.h"

class TGdiObject {
public:
    virtual ~TGdiObject() = default;
    // Number of device contexts that have this object selected.
    int SelectCount = 0;
};

class TPaletteObject : public TGdiObject {
public:
    std::vector<PALETTEENTRY> Entries;
};

THandleTable<TGdiObject>& GdiObjects();

template <class T> T* FindGdiObject(THandle Handle) {
    return dynamic_cast<T*>(GdiObjects().Find(Handle));
}

// Drawing surface of a device context: the pixels of its selected bitmap as 32-bit RGB
// (Format_RGB32). For a bitmap that keeps its pixels in another layout (a DIB section),
// BeginDrawing brings the pixels in and EndDrawing writes the touched rectangle back.
// nullptr when the DC has no drawable bitmap.
QImage* BeginDrawing(HDC DC);
void EndDrawing(HDC DC, const QRect& Touched);

// A bitmap object over an image owned elsewhere (a TBitmap's pixels, a control's
// backing image). BitsPerPixel is what GetObject reports; the image must outlive the
// handle, which its owner deletes with DeleteObject.
HBITMAP CreateImageBitmap(QImage* Image, int BitsPerPixel);
// Changes what GetObject reports for an image bitmap (a TBitmap's PixelFormat).
void SetImageBitmapDepth(HBITMAP Bitmap, int BitsPerPixel);
// The palette that GetDIBits uses for an image bitmap of 8 bits or less (not owned).
void SetImageBitmapPalette(HBITMAP Bitmap, HPALETTE Palette);
