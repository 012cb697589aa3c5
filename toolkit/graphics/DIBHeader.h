// The info header that opens every DIB, in each of the forms bitmaps are written with, and
// where the masks and the colour table behind it lie. One reading serves every DIB reader.
#pragma once

#include <cstdint>

#include "toolkit/graphics/Gdi.h"

// Header sizes, told apart by the header's first u32: the 12-byte core header, the 40-byte
// info header, and the 108- and 124-byte headers that begin with the 40-byte one and hold
// the channel masks right behind it, followed by colour-space fields that are not used.
bool IsDIBHeaderSize(std::uint32_t Size);
constexpr std::uint32_t MaxDIBHeaderSize = 124;

// Entries of a colour table whose header says 0: 2, 16 and 256 for 1, 4 and 8 bits, else none.
int DefaultDIBColors(int BitCount);

// Offsets count from the header's first byte.
struct TDIBHeaderLayout {
    std::uint32_t Size = 0; // as stored
    bool Core = false;
    // The 40-byte header: biSize 40, a core header's fields widened (bottom-up, BI_RGB),
    // biClrUsed the number of stored colours (TableEntries, 0 replaced).
    BITMAPINFOHEADER Info{};
    // Where a BI_BITFIELDS header's red, green and blue masks lie, inside the longer
    // headers; MaskBytes of them stand between the header and the colour table.
    std::uint32_t MaskOffset = 0;
    std::uint32_t MaskBytes = 0;
    std::uint32_t TableOffset = 0;
    std::uint32_t EntrySize = 4; // RGBQUAD; RGBTRIPLE after a core header
    std::uint64_t TableEntries = 0;

    bool BitFields() const { return !Core && Info.biCompression == BI_BITFIELDS; }
    bool MasksInHeader() const { return BitFields() && MaskBytes == 0; }
    std::uint64_t TableEnd() const { return TableOffset + TableEntries * EntrySize; }
};

// The layout of Header, whose size IsDIBHeaderSize accepts and whose bytes are all present.
// Nothing is checked beyond the size: bit counts, sides and compressions are the reader's.
TDIBHeaderLayout DIBHeaderLayout(const std::uint8_t* Header);
