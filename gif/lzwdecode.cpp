#include "gif/lzwdecode.h"

#include <algorithm>
#include <cstring>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Exceptions.h"
#include "toolkit/graphics/ScopeExit.h"

namespace {

constexpr int DictionarySize = 4096;
constexpr int MaxCodeSize = 12;

// The single-byte strings, for codes below 256 to be copied like any other string; the
// bytes past the last let a short string be copied in one wide move.
constexpr std::array<std::uint8_t, 256 + 16> SingleBytes = [] {
    std::array<std::uint8_t, 256 + 16> bytes{};
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

[[noreturn]] void ThrowPixelPosition() {
    throw EKvDIBPixelPositionRange("TKvDIB.SetPixels: Pixel Position is Out of Range");
}

// Start of a string that no pixel holds: it was added once every row was written.
constexpr std::uint32_t NoStart = 0xFFFFFFFF;

// How far a short string's move may reach past its end, on bytes of the row the following
// strings write again; the row's bytes as they were are kept, so that data ending early
// leaves the rest of the row unchanged. A short string's source is never that near the end
// of the storage.
constexpr int WideMove = 16;

} // namespace

// One string of the dictionary. A string longer than one byte is an older string followed by
// one byte, and was written so into the picture just before it was added: it is copied from
// there. Most strings stand whole in one row; the rest are found by where they begin in the
// rows as they arrive, and copied row piece by row piece.
struct TLzwDecoder::TDictionaryEntry {
    const std::uint8_t* Source; // the string standing whole, or nullptr
    std::uint32_t Start;        // without Source: the first pixel, counted in arriving rows
    std::uint16_t Length;       // 0: no string
    std::uint8_t First;
};

TLzwDecoder::TLzwDecoder()
    : FDictionary(std::make_unique_for_overwrite<TDictionaryEntry[]>(DictionarySize)) {}

TLzwDecoder::~TLzwDecoder() = default;

// Only the single-byte strings and the clear and end codes need setting: entries from the
// next free code on are written before any code can name them. Single-byte strings above
// 255 (minimum code sizes of 9 and more) have no source: they are refused when written.
void TLzwDecoder::ResetDictionary() {
    for (int i = 0; i < FClearCode; ++i)
        FDictionary[i] = {i < 256 ? &SingleBytes[std::size_t(i)] : nullptr, NoStart, 1, std::uint8_t(i)};
    FDictionary[FClearCode].Length = 0;
    FDictionary[FEndCode].Length = 0;
}

void TLzwDecoder::StartRow(std::uint8_t* Row) {
    FRow = Row;
    FOut = Row;
    FRowEnd = Row + FWidth;
    std::memcpy(FKeptRow.data(), Row, std::size_t(FWidth));
}

void TLzwDecoder::NextRow() {
    ++FArrival;
    if (FArrival < FHeight) {
        StartRow(ArrivedRow(FArrival));
    } else {
        FRow = nullptr;
        FOut = nullptr;
        FRowEnd = nullptr;
    }
}

// The bytes a wide move wrote past the last pixel go back to what they were.
void TLzwDecoder::RestoreRowRest() {
    if (FRow == nullptr) return;
    const std::ptrdiff_t x = FOut - FRow;
    std::memcpy(FOut, FKeptRow.data() + x, std::size_t(FWidth - x));
}

std::uint8_t* TLzwDecoder::PictureRow(int Y) const {
    return FRows.FirstRow + std::ptrdiff_t(Y) * FRows.RowStep;
}

std::uint8_t* TLzwDecoder::ArrivedRow(int Arrival) const {
    return PictureRow(ArrivingRow(Arrival, FHeight, FInterlaced));
}

// The place Out in the row that arrived as Arrival, counted in arriving rows.
std::uint32_t TLzwDecoder::StartOf(const std::uint8_t* Out, int Arrival) const {
    if (Out == nullptr) return NoStart;
    return std::uint32_t(std::int64_t(Arrival) * FWidth + (Out - ArrivedRow(Arrival)));
}

// A string that does not fit the rest of the row, or that stands in pieces of several rows:
// copied piece by piece, row after row, up to the first pixel below the last row.
void TLzwDecoder::EmitOutsideTheRow(int Code) {
    // Single-byte strings above 255 exist only with a minimum code size of 9 or more; such
    // a value does not fit an 8-bit pixel.
    if (Code < FClearCode && Code > 255) throw ERangeError(SRangeError);
    const TDictionaryEntry& entry = FDictionary[Code];
    std::size_t length = entry.Length;
    const std::uint8_t* source = entry.Source;
    const std::uint8_t* sourceEnd = nullptr;
    int sourceArrival = 0;
    if (source != nullptr) {
        sourceEnd = source + length;
    } else {
        // A string without a start was added once every row was written, as now.
        if (entry.Start == NoStart) ThrowPixelPosition();
        sourceArrival = int(entry.Start / std::uint32_t(FWidth));
        const std::uint8_t* row = ArrivedRow(sourceArrival);
        source = row + entry.Start % std::uint32_t(FWidth);
        sourceEnd = row + FWidth;
    }
    // The string stands before the place it goes to: no piece overlaps.
    while (length > 0) {
        if (FRow == nullptr) ThrowPixelPosition();
        const std::size_t n =
            std::min({length, std::size_t(FRowEnd - FOut), std::size_t(sourceEnd - source)});
        std::memcpy(FOut, source, n);
        length -= n;
        FOut += n;
        source += n;
        if (FOut == FRowEnd) NextRow();
        if (source == sourceEnd && length > 0) {
            source = ArrivedRow(++sourceArrival);
            sourceEnd = source + FWidth;
        }
    }
}

// A new entry is the previous code's string as last written followed by the byte written
// after it; it stands whole in the picture when those bytes share a row. Rows are counted
// in the order they arrive, so an interlaced row is never taken to go on in the row below.
// The loop keeps the write position to itself and hands it to the row routines and back.
void TLzwDecoder::DecodeCodes() {
    const std::uint8_t* const data = FData;
    const std::size_t dataLength = FLength;
    const std::uint64_t bitLength = std::uint64_t(FLength) * 8;
    const std::uint8_t* const storageEnd = FRows.StorageEnd;
    TDictionaryEntry* const dictionary = FDictionary.get();
    const int clearCode = FClearCode;
    const int endCode = FEndCode;
    std::uint64_t bitPosition = 0;
    int codeSize = 0;
    std::uint32_t mask = 0;
    int nextCode = 0;
    std::uint8_t* out = FOut;
    std::uint8_t* rowEnd = FRowEnd;
    auto nextRow = [&] {
        FOut = out;
        NextRow();
        out = FOut;
        rowEnd = FRowEnd;
    };

    // A code is taken only when all its bits lie inside the data; the bytes of the 24-bit
    // window past the data count as 0.
    auto readCode = [&](int& Code) {
        const std::size_t i = static_cast<std::size_t>(bitPosition / 8);
        std::uint32_t window;
        if (bitPosition + 32 <= bitLength) {
            std::memcpy(&window, data + i, 4);
        } else {
            if (bitPosition + std::uint64_t(codeSize) > bitLength) return false;
            window = data[i];
            if (i + 1 < dataLength) window |= std::uint32_t(data[i + 1]) << 8;
            if (i + 2 < dataLength) window |= std::uint32_t(data[i + 2]) << 16;
        }
        Code = static_cast<int>((window >> (bitPosition % 8)) & mask);
        bitPosition += std::uint64_t(codeSize);
        return true;
    };
    auto reset = [&] {
        ResetDictionary();
        nextCode = clearCode + 2;
        codeSize = FMinimumCodeSize + 1;
        mask = std::uint32_t(CodeMasks[std::size_t(codeSize - 1)]);
    };
    // The entry's string begins at Start in the row that arrived as StartRow; OneRow says
    // that it stands whole in that row.
    auto addEntry = [&](int PrevCode, std::uint8_t Suffix, const std::uint8_t* Start, int StartRow,
                        bool OneRow) {
        if (nextCode >= DictionarySize) return;
        const TDictionaryEntry& prefix = dictionary[PrevCode];
        const int length = prefix.Length + 1;
        TDictionaryEntry& entry = dictionary[nextCode];
        entry.Length = std::uint16_t(length);
        entry.First = prefix.Length != 0 ? prefix.First : Suffix;
        // A short string's source leaves room for a wide move before the end of the
        // storage; one nearer is copied in pieces.
        if (OneRow && Start != nullptr && (length > WideMove || storageEnd - Start >= WideMove)) {
            entry.Source = Start;
        } else {
            entry.Source = nullptr;
            entry.Start = StartOf(Start, StartRow);
        }
        ++nextCode;
        if (nextCode >= (1 << codeSize) && codeSize != MaxCodeSize) {
            ++codeSize;
            mask = std::uint32_t(CodeMasks[std::size_t(codeSize - 1)]);
        }
    };
    // Writes a code's string. One standing whole that fits the row is copied at once, a short
    // one in two 8-byte steps where the row has room (its source always has); the bytes past
    // its end are written again by what follows.
    auto writeString = [&](int Code) {
        const TDictionaryEntry& entry = dictionary[Code];
        const std::size_t length = entry.Length;
        if (length == 0) return;
        const std::uint8_t* const source = entry.Source;
        if (source == nullptr || std::ptrdiff_t(length) > rowEnd - out) {
            FOut = out;
            EmitOutsideTheRow(Code);
            out = FOut;
            rowEnd = FRowEnd;
            return;
        }
        if (length <= WideMove && rowEnd - out >= WideMove) {
            std::uint64_t low, high;
            std::memcpy(&low, source, 8);
            std::memcpy(&high, source + 8, 8);
            std::memcpy(out, &low, 8);
            std::memcpy(out + 8, &high, 8);
        } else {
            // The string stands before the place it goes to: a copy never overlaps.
            std::memcpy(out, source, length);
        }
        out += length;
        if (out == rowEnd) nextRow();
    };

    // Every routine that throws has the position already; a normal end hands it back here.
    // Each pass of the outer loop opens a sequence with a code that adds no entry: the one
    // after a clear code, or the data's first code, whether or not a clear code stands there.
    auto decode = [&] {
        reset();
        int code = 0;
        if (!readCode(code)) return;
        for (;;) {
            if (code == clearCode) {
                reset();
                if (!readCode(code)) return;
            }
            // A code without a string cannot open a sequence; a second clear code opens it
            // with the empty string.
            if (code == endCode || code >= nextCode) return;
            int prev = code;
            const std::uint8_t* prevStart = out; // where prev's string was written
            int prevRow = FArrival;              // its row
            writeString(code);
            while (readCode(code) && code != endCode) {
                std::uint8_t* const start = out;
                const int row = FArrival;
                if (code == clearCode) {
                    break;
                } else if (code < nextCode) {
                    writeString(code);
                    addEntry(prev, dictionary[code].First, prevStart, prevRow, prevRow == row);
                } else if (code == nextCode && dictionary[prev].Length != 0) {
                    // The code being defined: the previous string followed by its own first byte.
                    writeString(prev);
                    if (out == nullptr) ThrowPixelPosition();
                    *out++ = dictionary[prev].First;
                    if (out == rowEnd) nextRow();
                    const bool oneRow = FArrival == row || (FArrival == row + 1 && out == FRow);
                    addEntry(prev, dictionary[prev].First, start, row, oneRow);
                } else {
                    return; // a code above the next free one, or one built on no string
                }
                prev = code;
                prevStart = start;
                prevRow = row;
            }
            if (code != clearCode) return; // the end code, or no more codes
        }
    };
    decode();
    FOut = out;
}

void TLzwDecoder::Decode(const std::uint8_t* Data, std::size_t Length, int MinimumCodeSize,
                         const TLzwRows& Rows, int Width, int Height, bool Interlaced) {
    FData = Data;
    FLength = Length;
    FMinimumCodeSize = MinimumCodeSize;
    FClearCode = 1 << MinimumCodeSize;
    FEndCode = FClearCode + 1;
    FRows = Rows;
    FWidth = Width;
    FHeight = Height;
    FInterlaced = Interlaced;
    FArrival = 0;
    FKeptRow.resize(std::size_t(Width));
    StartRow(ArrivedRow(0));
    const TScopeExit restore([this] { RestoreRowRest(); });
    DecodeCodes();
}

bool TLzwDecoder::LastPixelOf(std::uint8_t Index, TPoint& Pixel) const {
    int arrival = std::min(FArrival, FHeight - 1);
    int count = FRow != nullptr ? int(FOut - FRow) : FWidth;
    for (; arrival >= 0; --arrival, count = FWidth) {
        const int y = ArrivingRow(arrival, FHeight, FInterlaced);
        const std::uint8_t* row = PictureRow(y);
        const void* found = memrchr(row, Index, static_cast<std::size_t>(count));
        if (found != nullptr) {
            Pixel = TPoint{static_cast<int>(static_cast<const std::uint8_t*>(found) - row), y};
            return true;
        }
    }
    return false;
}

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
