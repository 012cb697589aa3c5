// What every pixel converter does the same way: check its source, and build its result
// with storage of its own that goes away again unless the converter finishes.
#pragma once

#include <cstdint>
#include <string>

#include "imagelib/KvDIB.h"

// Raises EKvDIBBadDIBType "Converter: Fault" unless Source has BitCount bits and
// Compression. The source must also have a size, and an uncompressed one must hold all of
// its rows (EKvDIBInvalidDIB): storage read from a file may be shorter than its header claims.
void CheckConvertSource(const TKvDIBInfos& Source, int BitCount, std::uint32_t Compression,
                        const std::string& Converter, const std::string& Fault);

// Bytes per stored row of an uncompressed image described by Infos.
inline std::int64_t DIBStride(const TKvDIBInfos& Infos) {
    return DIBRowLength(Infos.Header.biWidth, Infos.Header.biBitCount);
}

// A converter's result while it is being made: the source's header and colour table with
// new zero-filled storage, biSizeImage 0. The storage is released on destruction unless
// HandOver gave it to the caller, so a converter that fails leaves nothing behind.
class TConvertResult {
public:
    // Storage for the source's rows uncompressed at BitCount bits, BI_RGB.
    TConvertResult(const TKvDIBInfos& Source, int BitCount);
    // Storage of Size bytes for data of BitCount bits and Compression.
    TConvertResult(const TKvDIBInfos& Source, int BitCount, std::uint32_t Compression, std::int64_t Size);
    ~TConvertResult();
    TConvertResult(const TConvertResult&) = delete;
    TConvertResult& operator=(const TConvertResult&) = delete;

    TKvDIBInfos Infos;

    // Start of stored row K (uncompressed results).
    std::uint8_t* StoredRow(std::int64_t K) const { return Infos.Bits + DIBStride(Infos) * K; }
    void HandOver(TKvDIBInfos& Result);
};

// Releases the storage of a record made by a converter, if it holds any.
void ReleaseConvertedInfos(TKvDIBInfos& Infos);
