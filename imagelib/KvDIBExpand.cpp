// Depth expansions (indices keep their values, or become their colours at 24 bits) and
// the reductions to 1 bit that keep only the pixels of a key colour.
#include "imagelib/KvDIBConvertResult.h"
#include "imagelib/KvDIBConverters.h"

namespace {

const char* const BadCombination = "Invalid Bitcount & Compression Combination";

// Colour-table index of pixel X of an uncompressed row.
template <int Bits> unsigned IndexAt(const std::uint8_t* Row, std::int64_t X) {
    if constexpr (Bits == 1) {
        return (Row[X >> 3] >> (7 - (X & 7))) & 1;
    } else if constexpr (Bits == 4) {
        return (X & 1) ? Row[X >> 1] & 0x0F : Row[X >> 1] >> 4;
    } else {
        static_assert(Bits == 8);
        return Row[X];
    }
}

template <int SourceBits, int TargetBits>
void Expand(const TKvDIBInfos& Source, TKvDIBInfos& Result, const char* Converter) {
    CheckConvertSource(Source, SourceBits, BI_RGB, Converter, BadCombination);
    TConvertResult result(Source, TargetBits);
    const std::int64_t width = Source.Header.biWidth;
    const std::int64_t stride = DIBStride(Source);
    const std::int64_t rows = DIBRowCount(Source.Header);
    for (std::int64_t k = 0; k < rows; ++k) {
        const std::uint8_t* src = Source.Bits + stride * k;
        std::uint8_t* dst = result.StoredRow(k);
        for (std::int64_t x = 0; x < width; ++x) {
            const unsigned index = IndexAt<SourceBits>(src, x);
            if constexpr (TargetBits == 4) {
                dst[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? index : index << 4);
            } else if constexpr (TargetBits == 8) {
                dst[x] = static_cast<std::uint8_t>(index);
            } else {
                static_assert(TargetBits == 24);
                const RGBQUAD& c = Source.ColorTable[index];
                dst[3 * x] = c.rgbBlue;
                dst[3 * x + 1] = c.rgbGreen;
                dst[3 * x + 2] = c.rgbRed;
            }
        }
    }
    result.HandOver(Result);
}

// Pixels of the key colour become index 1 (white), all others index 0 (black).
template <int SourceBits>
void ReduceToKey(const TKvDIBInfos& Source, TKvDIBInfos& Result, TColor Key, const char* Converter,
                 const char* Fault) {
    CheckConvertSource(Source, SourceBits, BI_RGB, Converter, Fault);
    const std::uint8_t red = Key & 0xFF;
    const std::uint8_t green = (Key >> 8) & 0xFF;
    const std::uint8_t blue = (Key >> 16) & 0xFF;
    // Indexed sources: which table entries carry the key (the whole table, as it stands).
    bool keyIndex[256];
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& c = Source.ColorTable[i];
        keyIndex[i] = c.rgbRed == red && c.rgbGreen == green && c.rgbBlue == blue;
    }

    TConvertResult result(Source, 1);
    result.Infos.Header.biClrUsed = 2;
    result.Infos.ColorTable[0] = RGBQUAD{0, 0, 0, 0};
    result.Infos.ColorTable[1] = RGBQUAD{255, 255, 255, 0};
    const std::int64_t width = Source.Header.biWidth;
    const std::int64_t stride = DIBStride(Source);
    const std::int64_t rows = DIBRowCount(Source.Header);
    for (std::int64_t k = 0; k < rows; ++k) {
        const std::uint8_t* src = Source.Bits + stride * k;
        std::uint8_t* dst = result.StoredRow(k);
        for (std::int64_t x = 0; x < width; ++x) {
            bool isKey;
            if constexpr (SourceBits == 24)
                isKey = src[3 * x] == blue && src[3 * x + 1] == green && src[3 * x + 2] == red;
            else
                isKey = keyIndex[IndexAt<SourceBits>(src, x)];
            if (isKey) dst[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        }
    }
    result.HandOver(Result);
}

} // namespace

void Convert1BitRGBTo4BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Expand<1, 4>(Source, Result, "Convert1BitRGBTo4BitRGB");
}

void Convert1BitRGBTo8BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Expand<1, 8>(Source, Result, "Convert1BitRGBTo8BitRGB");
}

void Convert4BitRGBTo8BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Expand<4, 8>(Source, Result, "Convert4BitRGBTo8BitRGB");
}

void Convert1BitRGBToTrueColor(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Expand<1, 24>(Source, Result, "Convert1BitRGBToTrueColor");
}

void Convert4BitRGBToTrueColor(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Expand<4, 24>(Source, Result, "Convert4BitRGBToTrueColor");
}

void Convert8BitRGBToTrueColor(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Expand<8, 24>(Source, Result, "Convert8BitRGBToTrueColor");
}

void ConvertTrueColorTo1BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, TColor Key) {
    ReduceToKey<24>(Source, Result, Key, "ConvertTrueColorTo1BitRGB", "Invalid Bitcount");
}

void Convert8BitTo1BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, TColor Key) {
    ReduceToKey<8>(Source, Result, Key, "Convert8BitTo1BitRGB", "Invalid Bitcount or Compression");
}

void Convert4BitRGBTo1BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, TColor Key) {
    ReduceToKey<4>(Source, Result, Key, "Convert4BitRGBTo1BitRGB", "Invalid Bitcount");
}
