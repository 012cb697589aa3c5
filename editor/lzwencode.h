// The GIF LZW encoder: a directly indexed string table, codes packed least significant bit
// first into data sub-blocks of at most 255 bytes. Both GIF writers of the system code their
// image data with it; each supplies its own pixel source.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/graphics/Streams.h"

// Hands out the pixel indices to be coded, row by row.
class TLzwPixelSource {
public:
    virtual ~TLzwPixelSource() = default;
    // The next row of pixel indices, valid until the next call; false once all are given.
    virtual bool NextRow(const std::uint8_t*& Row, std::int32_t& Count) = 0;
};

class TLzwEncoder {
public:
    // 4096 rows of 256 codes: the entry for string S followed by pixel p is at
    // key(S) * 256 + p + 1, key(S) being p0 + 1 for a single pixel p0, else the code of S.
    static constexpr std::int32_t TableSize = 4096 * 256;
    static constexpr std::int32_t MaxCode = 4095;
    static constexpr std::int32_t BlockLimit = 255;

    // SizeCode is the colour table size code n (1..7) of the picture being coded: the minimum
    // code size is n + 1, and every table reset starts again from it.
    TLzwEncoder(TStream& AStream, int SizeCode);
    ~TLzwEncoder();
    TLzwEncoder(const TLzwEncoder&) = delete;
    TLzwEncoder& operator=(const TLzwEncoder&) = delete;

    // Codes every pixel of Source: clear code, the strings, end code, the last sub-blocks
    // and the block terminator.
    void Encode(TLzwPixelSource& Source);

    // True when the table holds the string of row Key followed by PixelKey; PrefixCode is
    // then that string's code.
    bool LzwLookup(std::int32_t Key, std::int32_t APixelKey) {
        const std::uint16_t code = LzwCodeTable[Key * 256 + APixelKey];
        if (code == 0) return false;
        PrefixCode = code;
        return true;
    }

    // Appends one code at the current width; the width grows before the code when the
    // next free code no longer fits.
    void LzwPutCode(std::int32_t Code) {
        if ((1 << CodeWidth) < NextCode) ++CodeWidth;
        BitBuffer += std::uint32_t(Code) << BitCount;
        BitCount += CodeWidth;
        while (BitCount >= 8)
            PutByte();
    }

    // Writes the first Count bytes of the open sub-block, preceded by their count.
    void LzwFlushBlock(std::int32_t Count);

    // Starts a new string table (the clear code is the caller's to send).
    void LzwResetTable();

    std::unique_ptr<std::uint16_t[]> LzwCodeTable;
    std::int32_t SizeCode;
    std::int32_t ClearCode;
    std::int32_t EndCode;
    std::int32_t NextCode = 0;
    std::int32_t CodeWidth = 0;
    std::uint32_t BitBuffer = 0;
    std::int32_t BitCount = 0;
    std::int32_t BlockCount = 0;
    std::int32_t PrefixCode = 0;
    std::int32_t PrefixKey = 0;
    std::int32_t PixelKey = 0;

private:
    void PutByte() {
        Block[1 + BlockCount] = std::uint8_t(BitBuffer);
        BitBuffer >>= 8;
        BitCount -= 8;
        if (++BlockCount == BlockLimit) {
            LzwFlushBlock(BlockLimit);
            BlockCount = 0;
        }
    }
    void PutEndSequence();
    void ClearEntries();

    TStream& Stream;
    // The open sub-block, with room for its count byte in front.
    std::uint8_t Block[1 + BlockLimit];
    // Where the entries since the last reset lie: a reset zeroes these instead of the whole
    // table, which holds no other entry.
    std::int32_t Entries[MaxCode];
    std::int32_t EntryCount = 0;
};
