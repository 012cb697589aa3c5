#include "gif/colorquant.h"

#include <new>

#include "imagelib/KvDIB.h"

namespace {

template <typename T> std::unique_ptr<T[]> AllocQuantizerBuffer(std::size_t Count) {
    try {
        return std::make_unique_for_overwrite<T[]>(Count);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("AllocQuantizer: Out Of Memory");
    }
}

// Uncompressed 24-bit images are read straight from their rows; others through Pixels.
bool HasTrueColorRows(const TKvDIB& Image) {
    const TKvInternalDIB* image = Image.InternalDIB;
    return image != nullptr && image->Infos.Bits != nullptr && image->Infos.Header.biBitCount == 24 &&
           image->Infos.Header.biCompression == BI_RGB;
}

// Calls Visit(x, y, r, g, b) for every pixel, rows from the top, pixels from the left.
template <typename Visitor> void ForEachColor(TKvDIB& Image, Visitor Visit) {
    const int width = Image.GetWidth(), height = Image.GetHeight();
    if (HasTrueColorRows(Image)) {
        const TKvDIBInfos& infos = Image.InternalDIB->Infos;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* p = DIBScanLine(infos, y);
            for (int x = 0; x < width; ++x, p += 3)
                Visit(x, y, p[2], p[1], p[0]);
        }
        return;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TColor color = TColor(Image.GetPixels(x, y));
            Visit(x, y, GetRValue(color), GetGValue(color), GetBValue(color));
        }
}

} // namespace

void AllocQuantizer(TColorQuantizer& Quantizer) {
    Quantizer.CellIndexMap = AllocQuantizerBuffer<std::uint8_t>(ColorCellCount);
    Quantizer.Cells.reset();
    Quantizer.Cells = AllocQuantizerBuffer<TColorCell>(ColorCellCount);
    InitColorCells(Quantizer.Cells.get());
}

void AddImageToQuantizer(TKvDIB& Image, TColorQuantizer& Quantizer) {
    TColorCell* cells = Quantizer.Cells.get();
    ForEachColor(Image, [cells](int, int, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        AddColorToCells(cells, r, g, b);
    });
}

void AddPixelsToQuantizer(TKvDIB& Image, int Y, int Left, int Right, std::int32_t Weight,
                          TColorQuantizer& Quantizer) {
    DIBAssert(HasTrueColorRows(Image), "AddPixelsToQuantizer: Invalid DIB Format");
    if (Y < 0 || Y >= Image.GetHeight() || Left < 0 || Left > Right || Right >= Image.GetWidth())
        throw EKvDIBPixelPositionRange("AddPixelsToQuantizer: Pixel Position is Out of Range");
    // The sums wrap as AddColorToCells keeps them, so taking out undoes adding exactly.
    const std::uint32_t weight = std::uint32_t(Weight);
    TColorCell* cells = Quantizer.Cells.get();
    const std::uint8_t* p = DIBScanLine(Image.InternalDIB->Infos, Y) + 3 * Left;
    for (int x = Left; x <= Right; ++x, p += 3)
        AddColorToCells(cells, p[2], p[1], p[0], weight);
}

void BuildQuantizerPalette(TColorQuantizer& Quantizer) {
    BuildColorCellPalette(Quantizer.Cells.get(), Quantizer.Depth, Quantizer.Palette, Quantizer.EntryCount,
                          Quantizer.CellIndexMap.get(), {});
}

void MapToQuantizerPalette(TKvDIB& Image, TColorQuantizer& Quantizer) {
    // The image a new bitmap gets from its width and height setters, made in one step.
    TKvDIB reduced(Image.GetWidth(), Image.GetHeight(), 8, 2);
    for (int i = 0; i < Quantizer.EntryCount; ++i) {
        const RGBQUAD& entry = Quantizer.Palette[i];
        reduced.SetColors(i, RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue));
    }
    reduced.SetPaletteSize(Quantizer.EntryCount);
    // The new image is blank, 8 bits and held by this bitmap alone: its rows take the
    // indexes directly.
    const TKvDIBInfos& infos = reduced.InternalDIB->Infos;
    const std::uint8_t* map = Quantizer.CellIndexMap.get();
    std::uint8_t* row = nullptr;
    ForEachColor(Image, [&](int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        if (x == 0) row = DIBScanLine(infos, y);
        row[x] = map[ColorCellNumber(r, g, b)];
    });
    Image.Assign(&reduced);
}

void FreeQuantizer(TColorQuantizer& Quantizer) {
    Quantizer.CellIndexMap.reset();
    Quantizer.Cells.reset();
}
