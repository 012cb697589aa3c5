// Pieces shared by the colour-reduction converters only: the high mode's decision tree,
// the split rule over pixels, cell compaction and the writing of the reduced image.
#pragma once

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "imagelib/KvDIBConvertResult.h"
#include "imagelib/KvDIBReduce.h"

// One node of the high mode's decision tree.
struct TColorTreeNode {
    std::uint8_t Kind;      // 0, 1, 2: split on red, green, blue; 3: leaf
    long double Threshold;  // the mean the partition compared against; 0 in a leaf
    std::uint8_t Index;     // palette index of a leaf
    std::int32_t LowChild;  // values <= Threshold
    std::int32_t HighChild; // values > Threshold
};
constexpr std::uint8_t ColorTreeLeaf = 3;

// Node 0 is the root; a tree of depth 8 uses at most 511 nodes.
struct TColorTree {
    std::int32_t Count;
    TColorTreeNode Nodes[512];
};

// The split rule over pixels [First, Last) of Pixels (blue, green, red triples, weight 1),
// from Level down to Depth (at most 8); Node is this range's node, written as a split or a
// leaf. Step is called exactly 2^(Depth - Level) times.
void DividePixels(std::int64_t First, std::int64_t Last, int Level, int Depth, std::uint8_t* Pixels,
                  RGBQUAD* Palette, int& EntryCount, TColorTree& Tree, int Node, const TKvProgressStep& Step);

// Moves the cells with Count != 0 to the front, keeping their order; returns their number.
int CompactColorCells(TColorCell* Cells, int CellCount);

// A heap work buffer; exhaustion is reported as the converter's out-of-memory error.
template <class T> std::unique_ptr<T[]> AllocWorkBuffer(std::size_t Count, const char* Converter) {
    try {
        return std::unique_ptr<T[]>(new T[Count]);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(std::string(Converter) + ": Out Of Memory");
    }
}

// Fills Result with Source's record turned into an uncompressed BitCount (8 or 4) image
// over Palette, with new storage whose pixels are the palette indexes that
// IndexRow(sourceRow, indexes) gives for each stored row (one byte per pixel).
template <class IndexRowFn>
void MakeReducedImage(const TKvDIBInfos& Source, TKvDIBInfos& Result, int BitCount, const RGBQUAD* Palette,
                      int EntryCount, const char* Converter, IndexRowFn&& IndexRow) {
    const int width = Source.Header.biWidth;
    const std::int64_t rows = DIBRowCount(Source.Header);
    const std::int64_t sourceStride = DIBRowLength(width, Source.Header.biBitCount);
    TConvertResult result(Source, BitCount);
    std::unique_ptr<std::uint8_t[]> indexes;
    if (BitCount == 4) indexes = AllocWorkBuffer<std::uint8_t>(std::size_t(width), Converter);
    for (std::int64_t y = 0; y < rows; ++y) {
        std::uint8_t* row = result.StoredRow(y);
        if (BitCount == 8) {
            IndexRow(Source.Bits + y * sourceStride, row);
            continue;
        }
        IndexRow(Source.Bits + y * sourceStride, indexes.get());
        // Two pixels a byte, the first in the high nibble; an odd width leaves the
        // last low nibble 0.
        for (int x = 0; x + 1 < width; x += 2)
            row[x / 2] = std::uint8_t((indexes[x] << 4) | (indexes[x + 1] & 0x0F));
        if (width % 2 != 0) row[width / 2] = std::uint8_t(indexes[width - 1] << 4);
    }
    result.Infos.Header.biClrUsed = std::uint32_t(EntryCount);
    std::memcpy(result.Infos.ColorTable, Palette, sizeof(RGBQUAD) * std::size_t(EntryCount));
    result.HandOver(Result);
}
