// What the BMP stream reader and the CF_DIB block reader share: the header area of a
// record, the core-header conversion, the checks made before any storage is made, the
// 16/32-bit conversion and the final install.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/DIBHeader.h"

// Header, colour table and overflow as one byte area: the 40-byte header, 256 entries and
// 16 spare bytes. Masks and core colour tables are read into it as they stand.
constexpr std::size_t DIBHeaderAreaSize = sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * 256 + 16;
std::uint8_t* DIBHeaderArea(TKvDIBInfos& Infos);

// Turns a 12-byte core header with its RGBTRIPLE table into the 40-byte form with an
// RGBQUAD table, in place.
void ConvertCoreHeader(TKvDIBInfos& Infos);

// Takes a 40-, 108- or 124-byte info header into Infos as the 40-byte header the library
// holds (biClrUsed the stored colour count, not yet capped); the masks a longer header holds
// go to table entries 0..2, where a 40-byte header's masks are read. Returns where the bytes
// behind the header belong: a 40-byte header's masks, then the colours.
std::uint8_t* TakeInfoHeader(const std::uint8_t* Header, const TDIBHeaderLayout& Layout, TKvDIBInfos& Infos);

// The shift that brings the top bit of a non-zero channel mask to bit 7.
int MaskShift(std::uint32_t Mask);

// Bytes of one stored source row of a 16- or 32-bit image.
std::int64_t TrueColorRowLength(const BITMAPINFOHEADER& Header);

// Refuses with EKvDIBInvalidDIB (message starting with Operation) what the library cannot
// hold safely: compressions that do not fit the bit count, zero masks, pixel data shorter
// than the rows need (uncompressed and 16/32-bit images) and storage beyond 1 GiB, RLE
// images measured uncompressed. The
// header must have a valid size, width, height and bit count (1, 4, 8, 16, 24 or 32).
void CheckLoadedImage(const TKvDIBInfos& Infos, std::int64_t ImageSize, const std::string& Operation);

// New storage that is released again unless it is handed on with Commit.
class TNewStorage {
public:
    explicit TNewStorage(std::int64_t Size);
    ~TNewStorage();
    TNewStorage(const TNewStorage&) = delete;
    TNewStorage& operator=(const TNewStorage&) = delete;
    std::uint8_t* Bits() const { return FBits; }
    // Infos owns the storage from now on.
    void Commit(TKvDIBInfos& Infos);

private:
    std::int64_t FSize;
    THandle FMapHandle = 0;
    std::uint8_t* FBits = nullptr;
};

// Converts a checked 16- or 32-bit image to 24 bits: stored source row Y (0 first) comes
// from SourceRow; Infos receives the new storage and the 24-bit header, and a BI_BITFIELDS
// image's colours move to the front of the table.
using TSourceRowReader = std::function<const std::uint8_t*(std::int64_t Y)>;
void ConvertTrueColorSource(TKvDIBInfos& Infos, const TSourceRowReader& SourceRow);

// Installs a read image in Target, releasing what Target held.
void CommitLoadedImage(TKvInternalDIB& Target, const TKvDIBInfos& Infos);
