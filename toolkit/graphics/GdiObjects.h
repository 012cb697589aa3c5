// The objects behind device-interface handles (internal to the toolkit).
#pragma once

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

template <class T> T* FindGdiObject(THandle Handle) { return dynamic_cast<T*>(GdiObjects().Find(Handle)); }
