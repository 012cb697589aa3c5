// Re-quantising an 8-bit image to 16 colours: its colour-table entries, weighted by the
// pixels that use them, run through the split rule.
#include "imagelib/KvDIBReducePrivate.h"

namespace {

constexpr const char* Converter8To4 = "Convert8BitRGBTo4BitRGB";

// Histogram of palette indexes, split to depth 4 and the old -> new index map.
void MakeColorTable8To4(const TKvDIBInfos& Source, RGBQUAD* Palette, int& EntryCount, std::uint8_t* Map,
                        const TKvProgressStep& Step) {
    TColorCell cells[256];
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& c = Source.ColorTable[i];
        cells[i] = TColorCell{c.rgbRed, c.rgbGreen, c.rgbBlue, 0, i};
    }
    const int width = Source.Header.biWidth;
    const std::int64_t rows = DIBRowCount(Source.Header);
    const std::int64_t stride = DIBRowLength(width, 8);
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::uint8_t* row = Source.Bits + y * stride;
        for (int x = 0; x < width; ++x)
            ++cells[row[x]].Count;
    }
    const int used = CompactColorCells(cells, 256);
    EntryCount = 0;
    DivideColorCells(0, used, 0, 4, cells, Palette, EntryCount, Step);
    std::memset(Map, 0, 256);
    for (int i = 0; i < used; ++i)
        Map[cells[i].CellIndex] = std::uint8_t(cells[i].Count);
}

} // namespace

void Convert8BitRGBTo4BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, const TKvProgressStep& Step) {
    if (Source.Header.biBitCount != 8 || Source.Header.biCompression != BI_RGB)
        throw EKvDIBBadDIBType(std::string(Converter8To4) + ": Invalid Bitcount or Compression");
    RGBQUAD palette[256]{};
    int entryCount = 0;
    std::uint8_t map[256];
    MakeColorTable8To4(Source, palette, entryCount, map, Step);
    const int width = Source.Header.biWidth;
    MakeReducedImage(Source, Result, 4, palette, entryCount, Converter8To4,
                     [width, &map](const std::uint8_t* row, std::uint8_t* indexes) {
                         for (int x = 0; x < width; ++x)
                             indexes[x] = map[row[x]];
                     });
}
