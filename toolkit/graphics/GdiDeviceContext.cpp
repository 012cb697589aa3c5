// Device contexts: the screen, memory DCs with their selected bitmap and palette, and
// the drawing surfaces the canvas draws on.
#include <QGuiApplication>
#include <QScreen>

#include "toolkit/graphics/GdiDevice.h"

namespace {

HDC AddDC(std::unique_ptr<TDeviceContext> DC) {
    // A DC is released by DeleteDC or ReleaseDC, which also let go of its selection;
    // counting it as selected keeps DeleteObject away from it.
    DC->SelectCount = 1;
    return GdiObjects().Add(std::move(DC));
}

bool RemoveDC(HDC Handle, bool Memory) {
    TDeviceContext* dc = FindDC(Handle);
    if (dc == nullptr || dc->Memory != Memory) return false;
    if (TBitmapObject* bitmap = dc->SelectedBitmap()) --bitmap->SelectCount;
    const HBITMAP own = dc->OwnBitmap;
    GdiObjects().Remove(Handle);
    DeleteObject(own); // refused while it is selected into another DC
    return true;
}

} // namespace

HDC GetDC(THandle) {
    return AddDC(std::make_unique<TDeviceContext>());
}

int ReleaseDC(THandle, HDC DC) {
    return RemoveDC(DC, false) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC) {
    auto dc = std::make_unique<TDeviceContext>();
    dc->Memory = true;
    auto bitmap = std::make_unique<TMemoryBitmap>(1, 1, 1);
    bitmap->SelectCount = 1;
    dc->OwnBitmap = GdiObjects().Add(std::move(bitmap));
    dc->Bitmap = dc->OwnBitmap;
    return AddDC(std::move(dc));
}

bool DeleteDC(HDC DC) {
    return RemoveDC(DC, true);
}

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object) {
    TDeviceContext* dc = FindDC(DC);
    auto* bitmap = FindGdiObject<TBitmapObject>(Object);
    if (dc == nullptr || !dc->Memory || bitmap == nullptr) return 0;
    const HBITMAP previous = dc->Bitmap;
    if (previous == Object) return previous;
    if (TBitmapObject* old = dc->SelectedBitmap()) --old->SelectCount;
    ++bitmap->SelectCount;
    dc->Bitmap = Object;
    return previous;
}

HPALETTE SelectPalette(HDC DC, HPALETTE Palette, bool) {
    TDeviceContext* dc = FindDC(DC);
    if (dc == nullptr) return 0;
    const HPALETTE previous = dc->Palette;
    dc->Palette = Palette;
    return previous;
}

unsigned RealizePalette(HDC DC) {
    const TDeviceContext* dc = FindDC(DC);
    if (dc == nullptr) return 0;
    return static_cast<unsigned>(PaletteColors(dc->Palette).size());
}

int SetStretchBltMode(HDC DC, int Mode) {
    TDeviceContext* dc = FindDC(DC);
    if (dc == nullptr || Mode < BLACKONWHITE || Mode > HALFTONE) return 0;
    const int previous = dc->StretchMode;
    dc->StretchMode = Mode;
    return previous;
}

int GetStretchBltMode(HDC DC) {
    const TDeviceContext* dc = FindDC(DC);
    return dc != nullptr ? dc->StretchMode : 0;
}

int GetDeviceCaps(HDC DC, int Index) {
    if (FindDC(DC) == nullptr || Index != BITSPIXEL) return 0;
    // Every DC reports the display's depth, as memory DCs are compatible with it.
    const QScreen* screen = qGuiApp != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    return screen != nullptr ? screen->depth() : 32;
}

QImage* BeginDrawing(HDC DC) {
    const TDeviceContext* dc = FindDC(DC);
    TBitmapObject* bitmap = dc != nullptr ? dc->SelectedBitmap() : nullptr;
    if (bitmap == nullptr) return nullptr;
    QImage* surface = bitmap->Open();
    if (surface == nullptr) bitmap->Close(QRect());
    return surface;
}

void EndDrawing(HDC DC, const QRect& Touched) {
    const TDeviceContext* dc = FindDC(DC);
    if (TBitmapObject* bitmap = dc != nullptr ? dc->SelectedBitmap() : nullptr) bitmap->Close(Touched);
}
