// The pixel source of the GIF writers: a rectangle of a palette bitmap.
#pragma once

#include <vector>

#include "gif/lzwencode.h"

class TKvDIB;

// The pixels of an inclusive rectangle of a bitmap, rows top to bottom, pixels left to right.
class TDIBRectPixelSource : public TLzwPixelSource {
public:
    TDIBRectPixelSource(TKvDIB& Dib, int Left, int Top, int Right, int Bottom);
    bool NextRow(const std::uint8_t*& Row, std::int32_t& Count) override;

private:
    TKvDIB& FDib;
    int FLeft, FRight, FBottom;
    int FY;
    // Uncompressed 8-bit images are read straight from their rows; others pixel by pixel.
    bool FDirect = false;
    std::vector<std::uint8_t> FRow;
};
