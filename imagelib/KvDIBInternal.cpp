// The reference-counted image: storage in the toolkit's file mappings, blank images,
// the cached logical palette.
#include <cstring>
#include <vector>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/DIBHeader.h"
#include "toolkit/graphics/FileMapping.h"

void DIBAssert(bool Condition, const std::string& Msg) {
    if (!Condition) throw EKvDIBAssert(Msg);
}

void GetFileMap(std::int64_t Size, THandle& MapHandle, std::uint8_t*& Bits) {
    const THandle mapping =
        Size > 0 && Size <= MaxDIBStorage ? CreateFileMapping(static_cast<std::size_t>(Size)) : 0;
    if (mapping == 0) throw EOutOfResources("GetFileMap: Cannot Make File Mapping Object");
    void* view = MapViewOfFile(mapping);
    if (view == nullptr) {
        CloseHandle(mapping);
        throw EOutOfResources("GetFileMap: Cannot Make View of File Map");
    }
    MapHandle = mapping;
    Bits = static_cast<std::uint8_t*>(view);
}

void ReleaseFileMap(THandle MapHandle, std::uint8_t* Bits) {
    DIBAssert(UnmapViewOfFile(Bits), "ReleaseFileMap: Failed To Unmap View of File map");
    DIBAssert(CloseHandle(MapHandle), "ReleaseFileMap: Failed To Close File Map");
}

int ColorsOfBitCount(int BitCount) {
    return DefaultDIBColors(BitCount);
}

HPALETTE GetPaletteFromDIBInfos(const TKvDIBInfos& Infos) {
    const std::uint32_t n = Infos.Header.biClrUsed;
    if (n == 0) return 0;
    std::vector<PALETTEENTRY> entries(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const RGBQUAD& c = Infos.ColorTable[i];
        entries[i] = PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
    }
    const HPALETTE palette = CreatePalette(entries.data(), static_cast<int>(n));
    if (palette == 0) throw EOutOfResources("GetPaletteFromDIBInfos: Cannot Make Palette");
    return palette;
}

TKvInternalDIB::TKvInternalDIB() : TKvInternalDIB(1, 1, 8, 2) {}

TKvInternalDIB::TKvInternalDIB(int AWidth, int AHeight, int ABitCount, int AClrUsed)
    : TKvInternalDIB(TNoImage{}) {
    CreateDIB(AWidth, AHeight, ABitCount, AClrUsed);
}

TKvInternalDIB::TKvInternalDIB(TNoImage) {
    RefCount = 1;
    PaletteModified = true;
}

TKvInternalDIB::~TKvInternalDIB() {
    try {
        FreeDIB();
    } catch (const EKvDIBAssert&) {
        // A mapping the system will not release cannot be helped at this point.
    }
}

void TKvInternalDIB::CreateDIB(int AWidth, int AHeight, int ABitCount, int AClrUsed) {
    const bool depthValid = ABitCount == 1 || ABitCount == 4 || ABitCount == 8 || ABitCount == 24;
    const std::int64_t rows = AHeight < 0 ? -std::int64_t(AHeight) : std::int64_t(AHeight);
    const std::int64_t size = depthValid ? rows * DIBRowLength(AWidth, ABitCount) : 0;
    if (AWidth <= 0 || AHeight == 0 || AClrUsed < 0 || AClrUsed > 256 || !depthValid || size > MaxDIBStorage)
        throw EKvDIBInvalidDIBPara("TKvInternalDIB.CreateDIB: Invalid Parameters");

    // New storage comes zero-filled.
    THandle mapping = 0;
    std::uint8_t* bits = nullptr;
    GetFileMap(size, mapping, bits);

    Infos.ImageSize = static_cast<std::uint32_t>(size);
    Infos.MapHandle = mapping;
    Infos.Bits = bits;
    Palette = 0;
    Width = AWidth;
    Height = static_cast<std::int32_t>(rows);

    BITMAPINFOHEADER& h = Infos.Header;
    h.biSize = 40;
    h.biWidth = AWidth;
    h.biHeight = AHeight;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(ABitCount);
    h.biCompression = BI_RGB;
    h.biXPelsPerMeter = 0;
    h.biYPelsPerMeter = 0;
    h.biClrUsed = static_cast<std::uint32_t>(AClrUsed);
    h.biClrImportant = 0;
    std::memset(Infos.ColorTable, 0, sizeof(Infos.ColorTable));
    PaletteModified = true;
}

void TKvInternalDIB::FreeDIB() {
    if (Infos.Bits != nullptr) {
        ReleaseFileMap(Infos.MapHandle, Infos.Bits);
        Infos.ImageSize = 0;
        Infos.MapHandle = 0;
        Infos.Bits = nullptr;
    }
    if (Palette != 0) {
        DeleteObject(Palette);
        Palette = 0;
    }
}

HPALETTE TKvInternalDIB::MakePalette() {
    return GetPaletteFromDIBInfos(Infos);
}

void TKvInternalDIB::UpdatePalette() {
    DIBAssert(RefCount == 1, "TKvInternalDIB.UpdatePalette: RefCount Must be 1");
    if (Palette != 0) {
        DeleteObject(Palette);
        Palette = 0;
    }
    PaletteModified = true;
}
