// Rows of uncompressed DIBs as the device interface reads and writes them: the layout a
// header describes, decoding rows into 32-bit RGB and encoding them back, with indexed
// depths mapped to the nearest colour-table entry.
#pragma once

#include <QRgb>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "toolkit/graphics/Gdi.h"

// Where the rows of a DIB lie. Valid only when Make succeeded.
struct TDIBLayout {
    int Width = 0;
    int Height = 0; // |biHeight|
    int BitCount = 0;
    bool TopDown = false;
    std::int64_t Stride = 0;
    std::int64_t ImageBytes = 0;

    // The layout of an uncompressed (BI_RGB) header whose bit count is one of
    // AllowedBits; false for anything else, including storage beyond 1 GiB.
    static bool Make(const BITMAPINFOHEADER& Header, std::initializer_list<int> AllowedBits,
                     TDIBLayout& Layout);

    // Stored row index of image row Y (0 at the top).
    std::int64_t StoredRow(int Y) const { return TopDown ? Y : Height - 1 - Y; }
    template <class Byte> Byte* ImageRow(Byte* Bits, int Y) const { return Bits + Stride * StoredRow(Y); }
};

// Number of colour-table entries a header describes (biClrUsed, or DefaultDIBColors when
// it is 0), at most 256.
int DIBColorCount(const BITMAPINFOHEADER& Header);

// The colours of a colour table as opaque RGB, padded with black to 256 entries, so
// any index of a row can be looked up.
std::array<QRgb, 256> ColorLookup(const RGBQUAD* Colors, int Count);

// Pixels X0 .. X0 + Count - 1 of a stored row (1, 4, 8, 24 or 32 bits) as opaque RGB.
void DecodeDIBRow(const std::uint8_t* Row, int BitCount, const QRgb* Lookup, int X0, int Count, QRgb* Out);

// Maps colours to the nearest entry of a colour table by squared RGB distance, the
// lowest index on ties; remembers recent answers, since images repeat their colours.
class TNearestColor {
public:
    explicit TNearestColor(std::vector<QRgb> Entries);
    int Find(QRgb Color);

private:
    std::vector<QRgb> FEntries;
    struct TCacheSlot {
        QRgb Key = 0; // 0 never matches: keys are opaque
        int Index = 0;
    };
    std::vector<TCacheSlot> FCache;
};

// Writes pixels X0 .. X0 + Count - 1 into a stored row, leaving the row's other pixels
// as they were. Indexed depths need Nearest.
void EncodeDIBRow(const QRgb* In, int X0, int Count, std::uint8_t* Row, int BitCount, TNearestColor* Nearest);
