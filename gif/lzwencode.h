// The GIF LZW encoder: a string table small enough to stay in the processor's cache, codes
// packed least significant bit first into data sub-blocks of at most 255 bytes. Both GIF
// writers of the system code their image data with it; each supplies its own pixel source.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "toolkit/graphics/Streams.h"

// Hands out the pixel indices to be coded, row by row.
class TLzwPixelSource {
public:
    virtual ~TLzwPixelSource() = default;
    // The next row of pixel indices, valid until the next call; false once all are given.
    virtual bool NextRow(const std::uint8_t*& Row, std::int32_t& Count) = 0;
};

// The encoder's working memory, handed from one encoder to the next with an empty table.
//
// A string is known by its code; the string of code c followed by pixel p has the key
// c << 8 | p. Codes holds the code of each known string (0: none): the children of single
// pixels at SlotCount + key, the longer strings in the open-addressed slots below SlotCount,
// which are nearly empty, so that a look-up rarely probes twice. KeyOf gives each code's key
// to confirm a slot, and LastChild keeps per code the child string met last (pixel << 12 |
// code, EmptyChild when none), where a look-up in a long run ends at once.
struct TLzwWorkspace {
    static constexpr int SlotBits = 16;
    static constexpr std::uint32_t SlotCount = 1u << SlotBits;
    static constexpr std::uint32_t EmptyChild = 0xFFFFFFFF;
    static constexpr std::int32_t BlockLimit = 255;
    // Bytes collected before whole sub-blocks go to the stream.
    static constexpr std::int32_t StagedLimit = 16 * BlockLimit;

    std::uint16_t Codes[SlotCount + 256 * 256];
    std::uint32_t KeyOf[4096];
    std::uint32_t LastChild[4096];
    // Where in Codes the strings since the last reset lie, so that a reset frees only those.
    std::uint32_t Entries[4096];
    // Coded bytes not yet written; a code stores a whole word past the end.
    std::uint8_t Staged[StagedLimit + 8];
};

class TLzwEncoder {
public:
    static constexpr std::int32_t MaxCode = 4095;
    static constexpr std::int32_t BlockLimit = TLzwWorkspace::BlockLimit;

    // SizeCode is the colour table size code n (1..7) of the picture being coded: the minimum
    // code size is n + 1, and every table reset starts again from it.
    TLzwEncoder(TStream& AStream, int SizeCode);
    ~TLzwEncoder();
    TLzwEncoder(const TLzwEncoder&) = delete;
    TLzwEncoder& operator=(const TLzwEncoder&) = delete;

    // Codes every pixel of Source: clear code, the strings, end code, the last sub-blocks
    // and the block terminator.
    void Encode(TLzwPixelSource& Source);

private:
    // Where coding stands; the row loop keeps a copy of it in registers.
    struct TState {
        std::uint32_t PrefixCode = 0;
        std::uint32_t NextCode = 0;
        int CodeWidth = 0;
        // Codes on their way out: fewer than 8 bits between codes, whole bytes staged.
        std::uint64_t BitBuffer = 0;
        int BitCount = 0;
        std::int32_t StagedCount = 0;
        // Strings added since the last reset.
        std::int32_t EntryCount = 0;
    };

    // Codes the pixels [Pixel, End) after the string of State.PrefixCode. LastChildFirst
    // tries the child met last before the hashed table, which pays in runs of long strings.
    template <bool LastChildFirst>
    void EncodeRow(TState& State, const std::uint8_t* Pixel, const std::uint8_t* End);

    // Appends one code of the current width. The whole bytes are stored as one word whatever
    // their number, which spares a branch per code.
    void LzwPutCode(TState& S, std::uint32_t Code) {
        S.BitBuffer |= std::uint64_t(Code) << S.BitCount;
        S.BitCount += S.CodeWidth;
        std::memcpy(Work->Staged + S.StagedCount, &S.BitBuffer, sizeof S.BitBuffer);
        const int bytes = S.BitCount >> 3;
        S.StagedCount += bytes;
        S.BitBuffer >>= 8 * bytes;
        S.BitCount &= 7;
        if (S.StagedCount >= TLzwWorkspace::StagedLimit) S.StagedCount = LzwFlushBlocks(S.StagedCount, false);
    }
    // Writes the first Count staged bytes as sub-blocks of 255 bytes, each after its count;
    // Final writes a shorter last one too, otherwise the rest stays staged. Returns the
    // number of bytes still staged.
    std::int32_t LzwFlushBlocks(std::int32_t Count, bool Final);
    // Frees the strings added since the last reset, for a new table.
    void LzwResetTable(std::int32_t EntryCount, std::uint32_t NextCode);
    void PutEndSequence(TState& S);

    TStream& Stream;
    const std::int32_t SizeCode;
    const std::int32_t ClearCode;
    const std::int32_t EndCode;
    std::unique_ptr<TLzwWorkspace> Work;
    // False while coding: a failure leaves strings in the table, which then is not reused.
    bool TableEmpty = true;
};
