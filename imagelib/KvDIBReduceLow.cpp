// The low mode of colour reduction: a 5-6-5 colour cell histogram whose occupied cells,
// weighted by their pixel counts, are split into the palette; pixels are then mapped
// through the cell -> palette index table. The editors' export quantiser shares the cells.
#include "imagelib/KvDIBReducePrivate.h"

void InitColorCells(TColorCell* Cells) {
    for (int k = 0; k < ColorCellCount; ++k)
        Cells[k] = TColorCell{0, 0, 0, 0, k};
}

int CompactColorCells(TColorCell* Cells, int CellCount) {
    int kept = 0;
    for (int i = 0; i < CellCount; ++i)
        if (Cells[i].Count != 0) Cells[kept++] = Cells[i];
    return kept;
}

void BuildColorCellPalette(TColorCell* Cells, int Depth, RGBQUAD* Palette, int& EntryCount,
                           std::uint8_t* CellIndexMap, const TKvProgressStep& Step) {
    // The mean of the dropped low bits, put back on the cell's base: it stays in the cell.
    for (int k = 0; k < ColorCellCount; ++k) {
        TColorCell& cell = Cells[k];
        if (cell.Count <= 0) continue;
        const std::uint32_t n = std::uint32_t(cell.Count);
        const int number = cell.CellIndex;
        cell.R = std::int32_t(std::uint32_t(cell.R) / n) + 8 * (number >> 11);
        cell.G = std::int32_t(std::uint32_t(cell.G) / n) + 4 * ((number >> 5) & 63);
        cell.B = std::int32_t(std::uint32_t(cell.B) / n) + 8 * (number & 31);
    }
    const int occupied = CompactColorCells(Cells, ColorCellCount);
    EntryCount = 0;
    DivideColorCells(0, occupied, 0, Depth, Cells, Palette, EntryCount, Step);
    std::memset(CellIndexMap, 0, ColorCellCount);
    for (int i = 0; i < occupied; ++i)
        CellIndexMap[Cells[i].CellIndex] = std::uint8_t(Cells[i].Count);
}

namespace {

// Histogram of the source's pixels, averaging, split and map.
void MakeColorCellTable(const TKvDIBInfos& Source, RGBQUAD* Palette, int& EntryCount,
                        std::uint8_t* CellIndexMap, int Depth, const TKvProgressStep& Step,
                        const char* Converter) {
    const auto cells = AllocWorkBuffer<TColorCell>(ColorCellCount, Converter);
    InitColorCells(cells.get());
    const int width = Source.Header.biWidth;
    const std::int64_t rows = DIBRowCount(Source.Header);
    const std::int64_t stride = DIBRowLength(width, 24);
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::uint8_t* p = Source.Bits + y * stride;
        for (int x = 0; x < width; ++x, p += 3)
            AddColorToCells(cells.get(), p[2], p[1], p[0]);
    }
    BuildColorCellPalette(cells.get(), Depth, Palette, EntryCount, CellIndexMap, Step);
}

void ConvertTrueColorLow(const TKvDIBInfos& Source, TKvDIBInfos& Result, int BitCount,
                         const TKvProgressStep& Step, const char* Converter) {
    if (Source.Header.biBitCount != 24) throw EKvDIBBadDIBType(std::string(Converter) + ": Invalid Bitcount");
    RGBQUAD palette[256]{};
    int entryCount = 0;
    const auto cellIndexMap = AllocWorkBuffer<std::uint8_t>(ColorCellCount, Converter);
    MakeColorCellTable(Source, palette, entryCount, cellIndexMap.get(), BitCount, Step, Converter);
    const int width = Source.Header.biWidth;
    const std::uint8_t* map = cellIndexMap.get();
    MakeReducedImage(Source, Result, BitCount, palette, entryCount, Converter,
                     [width, map](const std::uint8_t* p, std::uint8_t* indexes) {
                         for (int x = 0; x < width; ++x, p += 3)
                             indexes[x] = map[ColorCellNumber(p[2], p[1], p[0])];
                     });
}

} // namespace

// The split depth equals the bits per pixel of the result: 8 for 256 entries, 4 for 16.
void ConvertTrueColorTo8BitRGBLow(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                  const TKvProgressStep& Step) {
    ConvertTrueColorLow(Source, Result, 8, Step, "ConvertTrueColorTo8BitRGBLow");
}

void ConvertTrueColorTo4BitRGBLow(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                  const TKvProgressStep& Step) {
    ConvertTrueColorLow(Source, Result, 4, Step, "ConvertTrueColorTo4BitRGBLow");
}
