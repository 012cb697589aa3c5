// Encoding uncompressed 8- and 4-bit images as BI_RLE8 and BI_RLE4 data. The output may
// not exceed the uncompressed size: every code is checked against the space left before
// it is written, keeping room for the end-of-line and end-of-bitmap codes.
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "imagelib/KvDIBConvertResult.h"
#include "imagelib/KvDIBConverters.h"
#include "imagelib/KvDIBRleWriter.h"

namespace {

template <bool Rle4> void EncodeRle(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    const std::string converter = Rle4 ? "Convert4BitRGBTo4BitRLE" : "Convert8BitRGBTo8BitRLE";
    const int bitCount = Rle4 ? 4 : 8;
    CheckConvertSource(Source, bitCount, BI_RGB, converter, "Invalid Bitcount & Compression Combination");

    const std::int64_t width = Source.Header.biWidth;
    const std::int64_t rows = DIBRowCount(Source.Header);
    const std::int64_t stride = DIBStride(Source);
    const std::int64_t limit = rows * stride;
    const std::int64_t units = Rle4 ? (width + 1) / 2 : width;
    std::unique_ptr<std::uint8_t[]> buffer;
    try {
        buffer = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(limit));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(converter + ": Out Of Memory");
    }

    TRleWriter<Rle4> out(buffer.get(), limit, width, converter);
    // Bottom row first, whatever the stored order.
    for (std::int64_t k = 0; k < rows; ++k) {
        const std::int64_t stored = Source.Header.biHeight > 0 ? k : rows - 1 - k;
        EncodeRow(out, Source.Bits + stride * stored, units);
    }
    out.WriteEndOfBitmap();

    TConvertResult result(Source, bitCount, Rle4 ? BI_RLE4 : BI_RLE8, out.Written());
    std::memcpy(result.Infos.Bits, buffer.get(), static_cast<std::size_t>(out.Written()));
    result.Infos.Header.biHeight = static_cast<std::int32_t>(rows);
    result.Infos.Header.biSizeImage = result.Infos.ImageSize;
    result.HandOver(Result);
}

} // namespace

void Convert8BitRGBTo8BitRLE(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    EncodeRle<false>(Source, Result);
}

void Convert4BitRGBTo4BitRLE(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    EncodeRle<true>(Source, Result);
}
