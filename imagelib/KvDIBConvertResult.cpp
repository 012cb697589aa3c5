#include "imagelib/KvDIBConvertResult.h"

void CheckConvertSource(const TKvDIBInfos& Source, int BitCount, std::uint32_t Compression,
                        const std::string& Converter, const std::string& Fault) {
    if (Source.Header.biBitCount != BitCount || Source.Header.biCompression != Compression)
        throw EKvDIBBadDIBType(Converter + ": " + Fault);
    if (Source.Header.biWidth <= 0 || Source.Header.biHeight == 0)
        throw EKvDIBInvalidDIB(Converter + ": Invalid Width or Height");
    if (Compression == BI_RGB && DIBStride(Source) * DIBRowCount(Source.Header) > Source.ImageSize)
        throw EKvDIBInvalidDIB(Converter + ": Image Data is Shorter than its Rows");
}

TConvertResult::TConvertResult(const TKvDIBInfos& Source, int BitCount)
    : TConvertResult(Source, BitCount, BI_RGB,
                     DIBRowLength(Source.Header.biWidth, BitCount) * DIBRowCount(Source.Header)) {}

TConvertResult::TConvertResult(const TKvDIBInfos& Source, int BitCount, std::uint32_t Compression,
                               std::int64_t Size)
    : Infos(Source) {
    Infos.MapHandle = 0;
    Infos.Bits = nullptr;
    // Fresh mappings are zero-filled, which the converters rely on.
    GetFileMap(Size, Infos.MapHandle, Infos.Bits);
    Infos.ImageSize = static_cast<std::uint32_t>(Size);
    Infos.Header.biBitCount = static_cast<std::uint16_t>(BitCount);
    Infos.Header.biCompression = Compression;
    Infos.Header.biSizeImage = 0;
}

TConvertResult::~TConvertResult() {
    try {
        ReleaseConvertedInfos(Infos);
    } catch (const EKvDIBAssert&) {
        // Already unwinding from the converter's own failure; that one is the one to report.
    }
}

void TConvertResult::HandOver(TKvDIBInfos& Result) {
    Result = Infos;
    Infos.MapHandle = 0;
    Infos.Bits = nullptr;
}

void ReleaseConvertedInfos(TKvDIBInfos& Infos) {
    if (Infos.Bits == nullptr) return;
    ReleaseFileMap(Infos.MapHandle, Infos.Bits);
    Infos.MapHandle = 0;
    Infos.Bits = nullptr;
    Infos.ImageSize = 0;
}
