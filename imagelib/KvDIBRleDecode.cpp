// Decoding BI_RLE8 and BI_RLE4 data into uncompressed 8- and 4-bit images. The data comes
// from files: every code is checked against the image and against the end of the data
// before anything is written for it.
#include <cstring>
#include <string>

#include "imagelib/KvDIBConvertResult.h"
#include "imagelib/KvDIBConverters.h"

namespace {

// Fault numbers of the RLE8 messages; RLE4 adds 4.
enum TRleFault { rfEndOfLine = 1, rfDelta = 2, rfAbsolute = 3, rfEncoded = 4 };

// Pixel K of a 4-bit row. Rows are zero-filled and the write position only moves forward,
// so a high nibble may set its whole byte.
inline void PutNibble(std::uint8_t* Row, std::int64_t K, unsigned Value) {
    if (K & 1)
        Row[K >> 1] = static_cast<std::uint8_t>((Row[K >> 1] & 0xF0) | (Value & 0x0F));
    else
        Row[K >> 1] = static_cast<std::uint8_t>(Value << 4);
}

// Count pixels alternating the high and the low nibble of Value, high first, from pixel X.
void PutRun4(std::uint8_t* Row, std::int64_t X, std::int64_t Count, std::uint8_t Value) {
    if (X & 1) {
        PutNibble(Row, X, Value >> 4);
        ++X;
        --Count;
        Value = static_cast<std::uint8_t>((Value << 4) | (Value >> 4));
    }
    std::memset(Row + (X >> 1), Value, static_cast<std::size_t>(Count >> 1));
    if (Count & 1) PutNibble(Row, X + Count - 1, Value >> 4);
}

// Count pixels packed two per byte in Data, high nibble first, from pixel X.
void PutAbsolute4(std::uint8_t* Row, std::int64_t X, std::int64_t Count, const std::uint8_t* Data) {
    if ((X & 1) == 0) {
        std::memcpy(Row + (X >> 1), Data, static_cast<std::size_t>(Count >> 1));
        if (Count & 1) PutNibble(Row, X + Count - 1, Data[Count >> 1] >> 4);
        return;
    }
    for (std::int64_t i = 0; i < Count; ++i)
        PutNibble(Row, X + i, (i & 1) ? Data[i >> 1] : Data[i >> 1] >> 4);
}

template <bool Rle4> void DecodeRle(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    const std::string converter = Rle4 ? "Convert4BitRLETo4BitRGB" : "Convert8BitRLETo8BitRGB";
    const int bitCount = Rle4 ? 4 : 8;
    CheckConvertSource(Source, bitCount, Rle4 ? BI_RLE4 : BI_RLE8, converter,
                       "Invalid Bitcount & Compression Combination");
    // The header comes from a file: refuse a picture too large to hold before making it.
    if (DIBRowLength(Source.Header.biWidth, bitCount) * DIBRowCount(Source.Header) > MaxDIBStorage)
        throw EKvDIBInvalidDIB(converter + ": Image is too Large");
    TConvertResult result(Source, bitCount);
    const auto bad = [&](TRleFault Fault) {
        throw EKvDIBInvalidDIB(converter + ": Bad RLE Data " + std::to_string(Fault + (Rle4 ? 4 : 0)));
    };

    const std::int64_t rows = DIBRowCount(Source.Header);
    const std::int64_t width = Source.Header.biWidth;
    // An RLE4 run may fill the padding nibble of an odd-width row.
    const std::int64_t limit = Rle4 ? (width + 1) & ~std::int64_t(1) : width;
    const std::uint8_t* data = Source.Bits;
    const std::uint8_t* const end = data + Source.ImageSize;
    std::int64_t x = 0;
    std::int64_t y = 0;
    // Data that runs out before the end-of-bitmap code is bad, reported as the code it cut.
    for (;;) {
        if (end - data < 2) bad(rfEndOfLine);
        const unsigned c = data[0];
        const unsigned d = data[1];
        data += 2;
        if (c > 0) {
            if (x + c > limit || y >= rows) bad(rfEncoded);
            std::uint8_t* row = result.StoredRow(y);
            if constexpr (Rle4)
                PutRun4(row, x, c, static_cast<std::uint8_t>(d));
            else
                std::memset(row + x, static_cast<int>(d), c);
            x += c;
        } else if (d == 0) {
            x = 0;
            if (++y > rows) bad(rfEndOfLine);
        } else if (d == 1) {
            break;
        } else if (d == 2) {
            if (end - data < 2) bad(rfDelta);
            x += data[0];
            y += data[1];
            data += 2;
            if (x > limit || y > rows) bad(rfDelta);
        } else {
            const std::int64_t padded = Rle4 ? (d + 3) / 4 * 2 : (d + 1) / 2 * 2;
            if (x + d > limit || y >= rows || end - data < padded) bad(rfAbsolute);
            std::uint8_t* row = result.StoredRow(y);
            if constexpr (Rle4)
                PutAbsolute4(row, x, d, data);
            else
                std::memcpy(row + x, data, d);
            x += d;
            data += padded;
        }
    }
    result.HandOver(Result);
}

} // namespace

void Convert8BitRLETo8BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    DecodeRle<false>(Source, Result);
}

void Convert4BitRLETo4BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    DecodeRle<true>(Source, Result);
}
