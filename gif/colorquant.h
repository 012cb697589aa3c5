// The export quantiser: the colour-cell reduction in separate steps, so that one histogram
// can gather the pixels of many frames and one palette can then reduce each of them.
//
// Calling order: AllocQuantizer; AddImageToQuantizer for every image the palette is for;
// BuildQuantizerPalette once; MapToQuantizerPalette for every image to reduce; FreeQuantizer.
#pragma once

#include <cstdint>
#include <memory>

#include "imagelib/KvDIBReduce.h"

class TKvDIB;

struct TColorQuantizer {
    // Cell number -> palette index, valid after the build; 0 for cells without pixels.
    std::unique_ptr<std::uint8_t[]> CellIndexMap;
    // The histogram, then the averaged and compacted cells.
    std::unique_ptr<TColorCell[]> Cells;
    RGBQUAD Palette[256] = {};
    std::int32_t EntryCount = 0;
    // Split depth 3..8: at most 2^Depth entries. Set before the build.
    std::int32_t Depth = 8;
};

// Starts an empty histogram.
void AllocQuantizer(TColorQuantizer& Quantizer);
// Counts every pixel of a 24-bit image into the histogram.
void AddImageToQuantizer(TKvDIB& Image, TColorQuantizer& Quantizer);
// Counts the pixels Left..Right of row Y of an uncompressed 24-bit image Weight times; a
// negative Weight takes them out again. Many frames that differ little from one another
// are counted as the first frame times their number and, per later frame, what it changed
// times the frames left: the histogram is the same as that of every frame added whole.
void AddPixelsToQuantizer(TKvDIB& Image, int Y, int Left, int Right, std::int32_t Weight,
                          TColorQuantizer& Quantizer);
// Turns the histogram into the palette and the cell map; consumes the histogram.
void BuildQuantizerPalette(TColorQuantizer& Quantizer);
// Replaces a 24-bit image by an 8-bit image of the same size in the built palette.
void MapToQuantizerPalette(TKvDIB& Image, TColorQuantizer& Quantizer);
void FreeQuantizer(TColorQuantizer& Quantizer);
