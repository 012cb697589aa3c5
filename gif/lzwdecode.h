// The GIF LZW decoder: an image's data sub-blocks, joined, become its rows of palette
// indices, written row by row straight into the picture's storage.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/graphics/Types.h"

// Entry n - 1 holds 2^n - 1: the mask of an n-bit code.
constexpr std::array<std::int32_t, 12> CodeMasks = {1, 3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095};

// The largest LZW minimum code size the decoder takes: 12 would leave no room in the
// 4096-entry dictionary for the clear and end codes.
constexpr int MaxLzwMinimumCodeSize = 11;

// Whether Length bytes of LZW data of the given minimum code size could stand for as many
// as Pixels pixels at all, however its codes were chosen.
bool LzwDataCanFill(std::int64_t Length, int MinimumCodeSize, std::int64_t Pixels);

// The pixels an image is decoded into: row Y (0 the top) is the row's bytes from
// FirstRow + Y * RowStep on, and every row lies in storage that ends at StorageEnd.
struct TLzwRows {
    std::uint8_t* FirstRow;
    std::ptrdiff_t RowStep;
    const std::uint8_t* StorageEnd;
};

// The decoder with its dictionary, used for one image after another.
class TLzwDecoder {
public:
    TLzwDecoder();
    ~TLzwDecoder();
    TLzwDecoder(const TLzwDecoder&) = delete;
    TLzwDecoder& operator=(const TLzwDecoder&) = delete;

    // Decodes Length bytes of LZW data of the given minimum code size (up to
    // MaxLzwMinimumCodeSize) into the Width x Height pixels of Rows, placed in the rows'
    // arriving order when Interlaced. Data that ends early, or a code that cannot stand where
    // it stands, ends the image, the pixels it did not reach as they were; data running past
    // the last row raises the bitmap's pixel-position error, a value above 255 ERangeError.
    void Decode(const std::uint8_t* Data, std::size_t Length, int MinimumCodeSize, const TLzwRows& Rows,
                int Width, int Height, bool Interlaced);
    // The pixel of value Index that the last Decode wrote last; false when it wrote none.
    bool LastPixelOf(std::uint8_t Index, TPoint& Pixel) const;

private:
    struct TDictionaryEntry;

    void ResetDictionary();
    void DecodeCodes();
    void EmitOutsideTheRow(int Code);
    std::uint8_t* PictureRow(int Y) const;
    std::uint8_t* ArrivedRow(int Arrival) const;
    std::uint32_t StartOf(const std::uint8_t* Out, int Arrival) const;
    void StartRow(std::uint8_t* Row);
    void NextRow();
    void RestoreRowRest();

    std::unique_ptr<TDictionaryEntry[]> FDictionary;
    // A copy of the row being written, as it was before.
    std::vector<std::uint8_t> FKeptRow;

    // The image being decoded, and where its decoding stands.
    const std::uint8_t* FData = nullptr;
    std::size_t FLength = 0;
    int FMinimumCodeSize = 0;
    int FClearCode = 0;
    int FEndCode = 0;
    TLzwRows FRows{};
    int FWidth = 0;
    int FHeight = 0;
    bool FInterlaced = false;
    int FArrival = 0;                // rows written before the current one, in the order they arrive
    std::uint8_t* FRow = nullptr;    // the current row, nullptr once every row is written
    std::uint8_t* FOut = nullptr;    // where the next pixel goes
    std::uint8_t* FRowEnd = nullptr; // the end of the current row's pixels
};
