// The bitmap class of the programs: sharing and copy-on-write, size and depth, palette
// and colour table, streams and the clipboard, registration with the picture class.
#include <cstring>
#include <memory>
#include <vector>

#include "imagelib/KvDIB.h"
#include "imagelib/KvDIBHalftone.h"

TKvDIB::TKvDIB() {
    InternalDIB = new TKvInternalDIB;
    UpdatePaletteModified();
}

TKvDIB::TKvDIB(int AWidth, int AHeight, int ABitCount, int AClrUsed) {
    InternalDIB = new TKvInternalDIB(AWidth, AHeight, ABitCount, AClrUsed);
    UpdatePaletteModified();
}

TKvDIB::~TKvDIB() {
    if (InternalDIB != nullptr) ReleaseInternalDIB();
}

void TKvDIB::ReleaseInternalDIB() {
    DIBAssert(InternalDIB != nullptr, "TKVDIB.ReleaseInternalDIB: InternalDIB should not be Nil");
    if (--InternalDIB->RefCount == 0) delete InternalDIB;
    InternalDIB = nullptr;
}

void TKvDIB::InstallInternalDIB(std::unique_ptr<TKvInternalDIB> Image) {
    ReleaseInternalDIB();
    InternalDIB = Image.release();
}

void TKvDIB::UniqueDIB() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.UniqueDIB: InternalDIB Should not be Nil");
    if (InternalDIB->RefCount == 1) return;
    auto copy = std::make_unique<TKvInternalDIB>(TKvInternalDIB::TNoImage{});
    copy->Width = InternalDIB->Width;
    copy->Height = InternalDIB->Height;
    copy->Infos = InternalDIB->Infos;
    copy->Infos.Bits = nullptr;
    GetFileMap(copy->Infos.ImageSize, copy->Infos.MapHandle, copy->Infos.Bits);
    std::memcpy(copy->Infos.Bits, InternalDIB->Infos.Bits, copy->Infos.ImageSize);
    InstallInternalDIB(std::move(copy));
    UpdatePaletteModified();
}

void TKvDIB::UpdatePaletteModified() {
    DIBAssert(InternalDIB->RefCount == 1, "TKvDIB.UpdatePaletteModified RefCount Must be 1");
    if (InternalDIB->PaletteModified) {
        InternalDIB->PaletteModified = false;
        PaletteModified = true;
    }
}

void TKvDIB::Changed(TObject* Sender) {
    TKvGraphic::Changed(Sender);
}

void TKvDIB::Assign(TPersistent* Source) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.Assign: InternalDIB Should not be Nil");
    if (Source == nullptr) {
        InstallInternalDIB(std::make_unique<TKvInternalDIB>());
        UpdatePaletteModified();
        return;
    }
    if (auto* other = dynamic_cast<TKvDIB*>(Source)) {
        if (other == this) return;
        ReleaseInternalDIB();
        ++other->InternalDIB->RefCount;
        InternalDIB = other->InternalDIB;
        MaskColor = other->MaskColor;
        ConvertMode = other->ConvertMode;
        HalftoneMode = other->HalftoneMode;
        PaletteModified = true;
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        AssignFromBitmap(*bitmap);
        return;
    }
    TKvGraphic::Assign(Source);
}

bool TKvDIB::GetEmpty() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetEmpty: InternalDIB Should not be Nil");
    return false;
}

int TKvDIB::GetWidth() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetWidth: InternalDIB Should not be Nil");
    return InternalDIB->Width;
}

int TKvDIB::GetHeight() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetHeight: InternalDIB Should not be Nil");
    return InternalDIB->Height;
}

int TKvDIB::GetBitCount() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetBitCount: InternalDIB Should not be Nil");
    return InternalDIB->Infos.Header.biBitCount;
}

void TKvDIB::ReplaceByBlank(int AWidth, int AHeight, int ABitCount, int AClrUsed) {
    InstallInternalDIB(std::make_unique<TKvInternalDIB>(AWidth, AHeight, ABitCount, AClrUsed));
    UpdatePaletteModified();
    Changed(this);
}

void TKvDIB::SetWidth(int Value) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.SetWidth: InternalDIB Should not be Nil");
    if (Value <= 0) throw EKvDIBInvalidDIBPara("TKvDIB.SetWidth: Invalid Width");
    if (Value == InternalDIB->Width) return;
    const BITMAPINFOHEADER& h = InternalDIB->Infos.Header;
    ReplaceByBlank(Value, InternalDIB->Height, h.biBitCount, static_cast<int>(h.biClrUsed));
}

void TKvDIB::SetHeight(int Value) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.SetWidth: InternalDIB Should not be Nil");
    if (Value == 0) throw EKvDIBInvalidDIBPara("TKvDIB.SetWidth: Invalid Height");
    if (Value == InternalDIB->Height) return;
    const BITMAPINFOHEADER& h = InternalDIB->Infos.Header;
    ReplaceByBlank(InternalDIB->Width, Value, h.biBitCount, static_cast<int>(h.biClrUsed));
}

void TKvDIB::SetBitCount(int Value) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.SetBitCount: InternalDIB Should not be Nil");
    if (Value != 1 && Value != 4 && Value != 8 && Value != 24)
        throw EKvDIBInvalidDIBPara("TKvDIB.SetBitCount: Invalid BitCount");
    if (Value == InternalDIB->Infos.Header.biBitCount) return;
    ReplaceByBlank(InternalDIB->Width, InternalDIB->Height, Value, ColorsOfBitCount(Value));
}

namespace {

// Shared by all bitmaps; made on first use, deleted when the program ends.
HPALETTE HalftonePalette = 0;
HPALETTE HalftoneBWPalette = 0;

HPALETTE MakeFixedPalette(const RGBQUAD* Colors, int Count) {
    std::vector<PALETTEENTRY> entries(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i)
        entries[i] = PALETTEENTRY{Colors[i].rgbRed, Colors[i].rgbGreen, Colors[i].rgbBlue, 0};
    const HPALETTE palette = CreatePalette(entries.data(), Count);
    if (palette == 0) throw EOutOfResources("TKvDIB.GetPalette: Cannot Make Palette(1)");
    return palette;
}

void FreeHalftonePalettes() {
    if (HalftonePalette != 0) DeleteObject(HalftonePalette);
    if (HalftoneBWPalette != 0) DeleteObject(HalftoneBWPalette);
    HalftonePalette = 0;
    HalftoneBWPalette = 0;
}

} // namespace

HPALETTE TKvDIB::GetPalette() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetPalette: InternalDIB Should not be Nil");
    switch (HalftoneMode) {
    case kvhtColor:
        if (HalftonePalette == 0) HalftonePalette = MakeFixedPalette(HalftoneColors, HalftoneColorCount);
        return HalftonePalette;
    case kvhtBW:
        if (HalftoneBWPalette == 0) HalftoneBWPalette = MakeFixedPalette(HalftoneBWColors, 2);
        return HalftoneBWPalette;
    case kvhtNone:
        break;
    }
    // The cache is derived data, so a shared image may fill it.
    if (InternalDIB->Palette == 0 && InternalDIB->Infos.Header.biClrUsed != 0)
        InternalDIB->Palette = InternalDIB->MakePalette();
    return InternalDIB->Palette;
}

void TKvDIB::SetPalette(HPALETTE Value) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.SetPalette: InternalDIB Should not be Nil");
    UniqueDIB();
    TKvInternalDIB& image = *InternalDIB;
    if (Value == 0) {
        image.Infos.Header.biClrUsed = 0;
        if (image.Palette != 0) DeleteObject(image.Palette);
        image.Palette = 0;
    } else {
        PALETTEENTRY entries[256];
        const unsigned count = GetPaletteEntries(Value, 0, 256, entries);
        if (count == 0) throw EKvDIBInvalidPalette("TKvDIB.SetPalette: Invalid Palette");
        image.Infos.Header.biClrUsed = count;
        for (unsigned i = 0; i < count; ++i)
            image.Infos.ColorTable[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
        if (image.Palette != 0 && image.Palette != Value) DeleteObject(image.Palette);
        image.Palette = Value; // owned by the image from now on
    }
    UpdatePaletteModified();
    Changed(this);
}

int TKvDIB::GetPaletteSize() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetPalette: InternalDIB Should not be Nil");
    return static_cast<int>(InternalDIB->Infos.Header.biClrUsed);
}

void TKvDIB::SetPaletteSize(int Value) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.SetPaletteSize: InternalDIB Should not be Nil");
    BITMAPINFOHEADER* h = &InternalDIB->Infos.Header;
    if (h->biBitCount == 24) {
        if (Value < 0 || Value > 256)
            throw EKvDIBPaletteIndexRange("TKvDIB.SetPaletteSize: Palette Index is Out of Range 1");
    } else if (Value < 1 || Value > 256) {
        throw EKvDIBPaletteIndexRange("TKvDIB.SetPaletteSize: Palette Index is Out of Range 2");
    }
    if (std::uint32_t(Value) == h->biClrUsed) return;
    UniqueDIB();
    h = &InternalDIB->Infos.Header;
    h->biClrUsed = static_cast<std::uint32_t>(Value);
    h->biClrImportant = 0;
    InternalDIB->UpdatePalette();
    UpdatePaletteModified();
    Changed(this);
}

TColor TKvDIB::GetColors(int Index) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetColors: InternalDIB Should not be Nil");
    if (Index < 0 || Index > 255)
        throw EKvDIBPaletteIndexRange("TKvDIB.GetColors: Palette Index is Out of Range");
    const RGBQUAD& c = InternalDIB->Infos.ColorTable[Index];
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

void TKvDIB::SetColors(int Index, TColor Value) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetColors: InternalDIB Should not be Nil");
    if (Index < 0 || Index > 255)
        throw EKvDIBPaletteIndexRange("TKvDIB.GetColors: Palette Index is Out of Range");
    UniqueDIB();
    const TColor c = ColorToRGB(Value);
    InternalDIB->Infos.ColorTable[Index] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    InternalDIB->UpdatePalette();
    UpdatePaletteModified();
    Changed(this);
}

void TKvDIB::LoadFromStream(TStream& Stream) {
    auto image = std::make_unique<TKvInternalDIB>();
    TKvInternalDIB* loading = image.get();
    // The previous image is let go first; a failed read leaves the new object's blank image.
    InstallInternalDIB(std::move(image));
    loading->LoadFromStream(Stream);
    UpdatePaletteModified();
    Changed(this);
}

void TKvDIB::SaveToStream(TStream& Stream) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.SaveToStream: InternalDIB Should not be Nil");
    InternalDIB->SaveToStream(Stream);
}

void TKvDIB::LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE) {
    if (AFormat != CF_DIB || AData == 0)
        throw EInvalidGraphic("TKvDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data");
    auto image = std::make_unique<TKvInternalDIB>();
    TKvInternalDIB* loading = image.get();
    InstallInternalDIB(std::move(image));
    loading->LoadFromClipboardFormat(AData);
    UpdatePaletteModified();
    Changed(this);
}

void TKvDIB::SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.SaveToClipboardFormat: InternalDIB Should not be Nil");
    AFormat = CF_DIB;
    APalette = 0;
    AData = InternalDIB->SaveToClipboardFormat();
}

std::uint16_t TKvDIB::GetClipboardFormat() {
    return CF_DIB;
}

namespace {

// Registers the bitmap class with the picture class for as long as the program runs.
struct TKvDIBModule {
    TKvDIBModule() {
        auto factory = [] { return std::unique_ptr<TGraphic>(std::make_unique<TKvDIB>()); };
        TPicture::RegisterClipboardFormat(CF_DIB, "TKvDIB", factory);
        TPicture::RegisterFileFormat("dib", "Device Independent Bitmap", "TKvDIB", factory);
        // Touching the handle table here makes it outlive this object, whose destructor
        // deletes the halftone palettes.
        DeleteObject(0);
    }
    ~TKvDIBModule() {
        FreeHalftonePalettes();
        TPicture::UnregisterGraphicClass("TKvDIB");
    }
};

const TKvDIBModule Module;

} // namespace
