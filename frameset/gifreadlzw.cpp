// LZW decoding of GIF image data into DecodeImage, written row by row into its storage.
#include "frameset/gifreadlzw.h"

#include <algorithm>
#include <cstring>

#include "frameset/gifreadframes.h"
#include "frameset/gifreadgif.h"

namespace {

constexpr int DictionarySize = 4096;
constexpr int MaxCodeSize = 12;

// The single-byte strings, for codes below 256 to be copied like any other string.
constexpr std::array<std::uint8_t, 256> SingleBytes = [] {
    std::array<std::uint8_t, 256> bytes{};
    for (int i = 0; i < 256; ++i)
        bytes[std::size_t(i)] = static_cast<std::uint8_t>(i);
    return bytes;
}();

// Row Index of the rows in the order the data sends them: the same row when not
// Interlaced, else the row the four interlace passes put there (every 8th row from 0,
// every 8th from 4, every 4th from 2, every 2nd from 1).
int ArrivingRow(int Index, int Height, bool Interlaced) {
    if (!Interlaced) return Index;
    static constexpr int firstRow[] = {0, 4, 2, 1};
    static constexpr int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows =
            Height > firstRow[pass] ? (Height - firstRow[pass] + step[pass] - 1) / step[pass] : 0;
        if (Index < rows) return firstRow[pass] + Index * step[pass];
        Index -= rows;
    }
    return Height; // past the last row
}

// The working state of one image. The dictionary holds each string as its prefix code's
// string followed by one byte, with the string's length and first byte at hand. Most
// strings also stand whole in a row already written; they are copied from there, which is
// quicker than following the prefix chain.
class TLzwDecoder {
public:
    TLzwDecoder(const std::uint8_t* Data, std::size_t Length, int MinimumCodeSize, const TKvDIBInfos& Infos,
                int Width, int Height, bool Interlaced)
        : FData(Data), FLength(Length), FBitLength(std::uint64_t(Length) * 8),
          FMinimumCodeSize(MinimumCodeSize), FInfos(Infos), FWidth(Width), FHeight(Height),
          FInterlaced(Interlaced), FRow(DIBScanLine(Infos, 0)) {}

    void Run();
    // The pixel of value Index written last; X = NoTransparentPoint when none.
    TPoint LastPixelOf(std::uint8_t Index) const;

private:
    bool ReadLzwCode(int& Code);
    void ResetDictionary();
    void AddDictionaryEntry(int PrevCode, int Code, const std::uint8_t* Source);
    [[gnu::always_inline]] void EmitDictionaryString(int Code, bool FirstByteOnly);
    void EmitAcrossRows(int Code);
    void NextRow();
    // Where the next pixel goes; nullptr once every row is written.
    std::uint8_t* Cursor() const { return FRow != nullptr ? FRow + FX : nullptr; }

    const std::uint8_t* FData;
    std::size_t FLength;
    std::uint64_t FBitLength;
    std::uint64_t FBitPosition = 0;
    int FMinimumCodeSize;
    int FClearCode = 0;
    int FEndCode = 0;
    int FNextCode = 0;
    int FCodeSize = 0;

    std::uint16_t FPrefix[DictionarySize];
    std::uint8_t FSuffix[DictionarySize];
    std::uint8_t FFirst[DictionarySize];
    std::uint16_t FStringLength[DictionarySize]; // 0: no string
    const std::uint8_t* FSource[DictionarySize]; // the string in the picture, or nullptr

    const TKvDIBInfos& FInfos;
    int FWidth;
    int FHeight;
    bool FInterlaced;
    int FX = 0;
    int FArrival = 0;   // rows written before the current one, in the order they arrive
    std::uint8_t* FRow; // the current row, nullptr once every row is written
};

// A code is taken only when all its bits lie inside the data; the bytes of the 24-bit
// window past the data count as 0.
bool TLzwDecoder::ReadLzwCode(int& Code) {
    if (FBitPosition + std::uint64_t(FCodeSize) > FBitLength) return false;
    const std::size_t i = static_cast<std::size_t>(FBitPosition / 8);
    std::uint32_t window;
    if (i + 4 <= FLength) {
        // One load for the window's three bytes (and one more, masked off below).
        std::uint8_t bytes[4];
        std::memcpy(bytes, FData + i, 4);
        window = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16;
    } else {
        window = FData[i];
        if (i + 1 < FLength) window |= std::uint32_t(FData[i + 1]) << 8;
        if (i + 2 < FLength) window |= std::uint32_t(FData[i + 2]) << 16;
    }
    Code = static_cast<int>((window >> (FBitPosition % 8)) & std::uint32_t(CodeMasks[FCodeSize - 1]));
    FBitPosition += std::uint64_t(FCodeSize);
    return true;
}

// Only the single-byte strings and the clear and end codes need setting: entries from the
// next free code on are written before any code can name them.
void TLzwDecoder::ResetDictionary() {
    FClearCode = 1 << FMinimumCodeSize;
    FEndCode = FClearCode + 1;
    FNextCode = FClearCode + 2;
    FCodeSize = FMinimumCodeSize + 1;
    for (int i = 0; i < FClearCode; ++i) {
        FPrefix[i] = 0;
        FSuffix[i] = static_cast<std::uint8_t>(i);
        FFirst[i] = static_cast<std::uint8_t>(i);
        FStringLength[i] = 1;
        FSource[i] = i < 256 ? &SingleBytes[std::size_t(i)] : nullptr;
    }
    FStringLength[FClearCode] = 0;
    FStringLength[FEndCode] = 0;
}

void TLzwDecoder::AddDictionaryEntry(int PrevCode, int Code, const std::uint8_t* Source) {
    if (FNextCode >= DictionarySize) return;
    FSource[FNextCode] = Source;
    FPrefix[FNextCode] = static_cast<std::uint16_t>(PrevCode);
    FSuffix[FNextCode] = FFirst[Code];
    FFirst[FNextCode] = FStringLength[PrevCode] != 0 ? FFirst[PrevCode] : FFirst[Code];
    FStringLength[FNextCode] = static_cast<std::uint16_t>(FStringLength[PrevCode] + 1);
    ++FNextCode;
    if (FNextCode >= (1 << FCodeSize) && FCodeSize != MaxCodeSize) ++FCodeSize;
}

void TLzwDecoder::NextRow() {
    FX = 0;
    ++FArrival;
    if (FArrival < FHeight) {
        FRow = DIBScanLine(FInfos, ArrivingRow(FArrival, FHeight, FInterlaced));
    } else {
        FRow = nullptr;
        FX = FWidth; // nothing fits any more
    }
}

[[noreturn]] void ThrowPixelPosition() {
    throw EKvDIBPixelPositionRange("TKvDIB.SetPixels: Pixel Position is Out of Range");
}

inline void TLzwDecoder::EmitDictionaryString(int Code, bool FirstByteOnly) {
    // Single-byte strings above 255 exist only with a minimum code size of 9 or more; such
    // a value does not fit an 8-bit pixel.
    if (Code < FClearCode && Code > 255) throw ERangeError(SRangeError);
    if (FirstByteOnly) {
        if (FRow == nullptr) ThrowPixelPosition();
        FRow[FX] = FFirst[Code];
        if (++FX == FWidth) NextRow();
        return;
    }
    const int length = FStringLength[Code];
    if (length == 0) return;
    if (length > FWidth - FX) {
        EmitAcrossRows(Code);
        return;
    }
    // The string fits the row: copied from where it stands, or else written from its end
    // back along the prefix chain.
    std::uint8_t* out = FRow + FX;
    if (const std::uint8_t* source = FSource[Code]) {
        for (int i = 0; i < length; ++i)
            out[i] = source[i];
    } else {
        int code = Code;
        for (int i = length - 1; i >= 0; --i) {
            out[i] = FSuffix[code];
            code = FPrefix[code];
        }
    }
    FX += length;
    if (FX == FWidth) NextRow();
}

void TLzwDecoder::EmitAcrossRows(int Code) {
    std::uint8_t text[DictionarySize + 1];
    int length = FStringLength[Code];
    int code = Code;
    for (int i = length - 1; i >= 0; --i) {
        text[i] = FSuffix[code];
        code = FPrefix[code];
    }
    const std::uint8_t* source = text;
    while (length > 0) {
        if (FRow == nullptr) ThrowPixelPosition();
        const int n = std::min(length, FWidth - FX);
        std::memcpy(FRow + FX, source, static_cast<std::size_t>(n));
        source += n;
        length -= n;
        FX += n;
        if (FX == FWidth) NextRow();
    }
}

// A new entry is the previous code's string as last written followed by the byte written
// after it; it stands whole in the picture when those bytes share a row. Rows are counted
// in the order they arrive, so an interlaced row is never taken to go on in the row below.
void TLzwDecoder::Run() {
    ResetDictionary();
    int prev = 0;
    const std::uint8_t* prevStart = nullptr; // where prev's string was written
    int prevRow = -1;
    int code = 0;
    while (ReadLzwCode(code) && code != FEndCode) {
        std::uint8_t* start = Cursor();
        const int row = FArrival;
        if (code == FClearCode) {
            ResetDictionary();
            if (!ReadLzwCode(code) || code == FEndCode) return;
            // A code without a string cannot open a sequence; a second clear code opens
            // it with the empty string.
            if (code >= FNextCode) return;
            EmitDictionaryString(code, false);
        } else if (code < FNextCode) {
            EmitDictionaryString(code, false);
            AddDictionaryEntry(prev, code, prevRow == row ? prevStart : nullptr);
        } else if (code == FNextCode && FStringLength[prev] != 0) {
            // The code being defined: the previous string followed by its own first byte.
            EmitDictionaryString(prev, false);
            EmitDictionaryString(prev, true);
            const bool oneRow = FArrival == row || (FArrival == row + 1 && FX == 0);
            AddDictionaryEntry(prev, prev, oneRow ? start : nullptr);
        } else {
            return; // a code above the next free one, or one built on no string
        }
        prev = code;
        prevStart = start;
        prevRow = row;
    }
}

TPoint TLzwDecoder::LastPixelOf(std::uint8_t Index) const {
    int arrival = std::min(FArrival, FHeight - 1);
    int count = FArrival < FHeight ? FX : FWidth;
    for (; arrival >= 0; --arrival, count = FWidth) {
        const int y = ArrivingRow(arrival, FHeight, FInterlaced);
        const std::uint8_t* row = DIBScanLine(FInfos, y);
        const void* found = memrchr(row, Index, static_cast<std::size_t>(count));
        if (found != nullptr)
            return TPoint{static_cast<int>(static_cast<const std::uint8_t*>(found) - row), y};
    }
    return TPoint{NoTransparentPoint, DecodedFrame.TransparentPoint.Y};
}

// Changes the side first that keeps the blank picture in between smaller, so a change of
// shape never asks for more storage than the old or the new picture.
void SizeDecodeImage(int Width, int Height) {
    const std::int64_t widthFirst = DIBRowLength(Width, 8) * DecodeImage->Height();
    const std::int64_t heightFirst = DIBRowLength(DecodeImage->Width(), 8) * Height;
    if (Width <= 0 || Height == 0 || widthFirst <= heightFirst) {
        DecodeImage->SetWidth(Width);
        DecodeImage->SetHeight(Height);
    } else {
        DecodeImage->SetHeight(Height);
        DecodeImage->SetWidth(Width);
    }
}

} // namespace

// After a clear code (or at the start) the k-th code stands for at most k + 1 pixels, as each
// code adds at most one entry, one byte longer than an older string, and no string outgrows
// the dictionary; it is read with the width the decoder has then. The bound takes every code
// at its longest and its fewest bits, and counts each bit at the best rate of pixels per bit
// any code so far had, so the rate never falls: data split by clear codes, or among several
// images, can then never stand for more than the same bits as one stream.
bool LzwDataCanFill(std::int64_t Length, int MinimumCodeSize, std::int64_t Pixels) {
    const int clear = 1 << MinimumCodeSize;
    const std::int64_t longest = DictionarySize - 1 - clear;
    std::int64_t bits = Length * 8;
    int codeSize = MinimumCodeSize + 1;
    int nextCode = clear + 2;
    double pixels = 0;
    double rate = 0; // pixels per bit
    for (std::int64_t k = 1; pixels < double(Pixels); ++k) {
        const std::int64_t most = std::min(k + 1, longest);
        rate = std::max(rate, double(most) / codeSize);
        if (most == longest && codeSize == MaxCodeSize) return pixels + rate * double(bits) >= double(Pixels);
        if (bits < codeSize) return pixels + rate * double(bits) >= double(Pixels);
        bits -= codeSize;
        pixels += rate * codeSize;
        if (k >= 2 && nextCode < DictionarySize && ++nextCode >= (1 << codeSize) && codeSize != MaxCodeSize)
            ++codeSize;
    }
    return true;
}

void DecodeLzwImage(const std::uint8_t* Data, std::size_t Length, bool Interlaced) {
    SizeDecodeImage(DecodedFrame.Width, DecodedFrame.Height);
    DecodedFrame.TransparentPoint.X = NoTransparentPoint;

    const bool local = DecodedFrame.LocalColorCount != 0;
    const int count = local ? DecodedFrame.LocalColorCount : GlobalColorCount;
    const std::array<TColor, 256>& table = local ? LocalColorTable : GlobalColorTable;
    DecodeImage->SetPaletteSize(count);
    for (int i = 0; i < count; ++i)
        DecodeImage->SetColors(i, table[static_cast<std::size_t>(i)]);

    // The rows are written directly: the picture must not share its storage with a frame.
    DecodeImage->UniqueDIB();
    auto decoder = std::make_unique<TLzwDecoder>(Data, Length, DecodedFrame.BitsPerPixel,
                                                 DecodeImage->InternalDIB->Infos, DecodeImage->Width(),
                                                 DecodeImage->Height(), Interlaced);
    decoder->Run();
    DecodedFrame.TransparentPoint = decoder->LastPixelOf(DecodedFrame.TransparentIndex);
}
