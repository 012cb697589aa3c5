// Colour reduction by splitting weighted colours: the 5-6-5 colour cell histogram and the
// one split rule shared by the library's converters and the editors' export quantiser.
//
// A quantiser over the cells runs: InitColorCells on ColorCellCount cells, AddColorToCells
// for every pixel (of any number of images), then BuildColorCellPalette, which leaves the
// palette and the cell-number -> palette-index map.
#pragma once

#include <cstdint>

#include "imagelib/KvDIB.h"

// One cell of the colour histogram (20 bytes, five signed 32-bit fields in this order).
// While the histogram fills, R, G and B sum the low bits the cell number drops
// (red and 7, green and 3, blue and 7) and Count the pixels; after averaging they hold the
// cell's mean colour; after the split Count holds the palette index of the cell's leaf.
// CellIndex is the cell's own number (or colour-table index) and travels with the record.
struct TColorCell {
    std::int32_t R;
    std::int32_t G;
    std::int32_t B;
    std::int32_t Count;
    std::int32_t CellIndex;
};
static_assert(sizeof(TColorCell) == 20);

constexpr int ColorCellCount = 65536;

// 5 bits of red at the top, 6 of green in the middle, 5 of blue at the bottom.
constexpr int ColorCellNumber(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
    return (R >> 3) * 2048 + (G >> 2) * 32 + (B >> 3);
}

// Zeroes ColorCellCount cells and gives each its position as CellIndex.
void InitColorCells(TColorCell* Cells);

// Counts Pixels pixels of one colour into its cell, as many calls for one pixel each would.
// The low-bit sums are kept as unsigned 32-bit values (the averaging reads them so), which
// holds over 600 million pixels of one cell.
inline void AddColorToCells(TColorCell* Cells, std::uint8_t R, std::uint8_t G, std::uint8_t B,
                            std::uint32_t Pixels = 1) {
    TColorCell& cell = Cells[ColorCellNumber(R, G, B)];
    cell.R = std::int32_t(std::uint32_t(cell.R) + Pixels * (R & 7u));
    cell.G = std::int32_t(std::uint32_t(cell.G) + Pixels * (G & 3u));
    cell.B = std::int32_t(std::uint32_t(cell.B) + Pixels * (B & 7u));
    cell.Count = std::int32_t(std::uint32_t(cell.Count) + Pixels);
}

// The split rule over cells [First, Last), weighted by Count, valued by their R, G, B, from
// Level down to Depth (at most 8): each non-empty leaf appends its rounded mean colour to
// Palette (256 entries) at EntryCount and stores that index in the Count of its cells.
// Step, when set, is called exactly 2^(Depth - Level) times.
void DivideColorCells(int First, int Last, int Level, int Depth, TColorCell* Cells, RGBQUAD* Palette,
                      int& EntryCount, const TKvProgressStep& Step);

// Turns a filled histogram of ColorCellCount cells into a palette of at most 2^Depth
// entries: averages the cells, moves the occupied ones to the front in cell-number order,
// splits them with DivideColorCells and fills CellIndexMap (ColorCellCount bytes, 0 for
// cells without pixels). Consumes the histogram. Step may be empty.
void BuildColorCellPalette(TColorCell* Cells, int Depth, RGBQUAD* Palette, int& EntryCount,
                           std::uint8_t* CellIndexMap, const TKvProgressStep& Step);
