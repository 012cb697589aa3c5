#include <algorithm>

#include "toolkit/graphics/GdiObjects.h"

THandleTable<TGdiObject>& GdiObjects() {
    static THandleTable<TGdiObject> table;
    return table;
}

HPALETTE CreatePalette(const PALETTEENTRY* Entries, int Count) {
    if (Entries == nullptr || Count < 1 || Count > 256) return 0;
    auto palette = std::make_unique<TPaletteObject>();
    palette->Entries.assign(Entries, Entries + Count);
    return GdiObjects().Add(std::move(palette));
}

unsigned GetPaletteEntries(HPALETTE Palette, unsigned Start, unsigned Count, PALETTEENTRY* Entries) {
    const TPaletteObject* palette = FindGdiObject<TPaletteObject>(Palette);
    if (palette == nullptr) return 0;
    const unsigned size = static_cast<unsigned>(palette->Entries.size());
    if (Entries == nullptr) return size;
    if (Start >= size) return 0;
    const unsigned n = std::min(Count, size - Start);
    std::copy_n(palette->Entries.begin() + Start, n, Entries);
    return n;
}

HPALETTE CopyPalette(HPALETTE Palette) {
    const TPaletteObject* palette = FindGdiObject<TPaletteObject>(Palette);
    if (palette == nullptr) return 0;
    return CreatePalette(palette->Entries.data(), static_cast<int>(palette->Entries.size()));
}

bool DeleteObject(HGDIOBJ Object) {
    const TGdiObject* object = GdiObjects().Find(Object);
    if (object == nullptr || object->SelectCount > 0) return false;
    return GdiObjects().Remove(Object);
}
