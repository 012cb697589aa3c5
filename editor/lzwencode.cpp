#include "editor/lzwencode.h"

#include <vector>

#include "imagelib/KvDIB.h"

namespace {

// Tables that encoders handed back all zero; the next encoder of the thread starts with one
// instead of allocating and clearing 2 MB per frame.
thread_local std::vector<std::unique_ptr<std::uint16_t[]>> CleanTables;
constexpr std::size_t KeptTables = 2;

std::unique_ptr<std::uint16_t[]> TakeCleanTable() {
    if (CleanTables.empty()) return std::make_unique<std::uint16_t[]>(TLzwEncoder::TableSize);
    std::unique_ptr<std::uint16_t[]> table = std::move(CleanTables.back());
    CleanTables.pop_back();
    return table;
}

std::int32_t ClearCodeOf(int SizeCode) {
    if (SizeCode < 1 || SizeCode > 7) throw ERangeError(SRangeError);
    return 1 << (SizeCode + 1);
}

} // namespace

TLzwEncoder::TLzwEncoder(TStream& AStream, int ASizeCode)
    : LzwCodeTable(TakeCleanTable()), SizeCode(ASizeCode), ClearCode(ClearCodeOf(ASizeCode)),
      EndCode(ClearCode + 1), Stream(AStream) {}

TLzwEncoder::~TLzwEncoder() {
    ClearEntries();
    if (CleanTables.size() < KeptTables) CleanTables.push_back(std::move(LzwCodeTable));
}

void TLzwEncoder::ClearEntries() {
    for (std::int32_t i = 0; i < EntryCount; ++i)
        LzwCodeTable[Entries[i]] = 0;
    EntryCount = 0;
}

void TLzwEncoder::LzwResetTable() {
    NextCode = ClearCode + 2;
    CodeWidth = SizeCode + 2;
    ClearEntries();
}

void TLzwEncoder::LzwFlushBlock(std::int32_t Count) {
    Block[0] = std::uint8_t(Count);
    Stream.WriteBuffer(Block, Count + 1);
}

void TLzwEncoder::Encode(TLzwPixelSource& Source) {
    BitBuffer = 0;
    BitCount = 0;
    BlockCount = 0;
    LzwResetTable();
    LzwPutCode(ClearCode);

    bool started = false;
    const std::uint8_t* row;
    std::int32_t count;
    while (Source.NextRow(row, count)) {
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t pixel = row[i];
            // An index past the colour table would be read back as a control code.
            if (pixel >= ClearCode)
                throw EKvDIBPaletteIndexRange("TLzwEncoder: Palette Index is Out of Range");
            PixelKey = pixel + 1;
            if (!started) {
                started = true;
            } else if (LzwLookup(PrefixKey, PixelKey)) {
                PrefixKey = PrefixCode;
                continue;
            } else if (NextCode < MaxCode) {
                LzwPutCode(PrefixCode);
                const std::int32_t entry = PrefixKey * 256 + PixelKey;
                LzwCodeTable[entry] = std::uint16_t(NextCode);
                Entries[EntryCount++] = entry;
                ++NextCode;
            } else {
                // The last code, 4094, is assigned: start a new table.
                LzwPutCode(PrefixCode);
                LzwPutCode(ClearCode);
                LzwResetTable();
            }
            PrefixCode = pixel;
            PrefixKey = PixelKey;
        }
    }
    if (started) LzwPutCode(PrefixCode);
    PutEndSequence();
}

void TLzwEncoder::PutEndSequence() {
    LzwPutCode(EndCode);
    if (BitCount != 0) {
        const std::int32_t pending = BitCount;
        LzwPutCode(0);
        // A zero code too short to complete a byte still leaves the pending bits to write;
        // zero bits left over after a completed byte are dropped.
        if (pending + CodeWidth < 8) {
            PutByte();
            BitCount = 0;
        }
    }
    if (BlockCount != 0) LzwFlushBlock(BlockCount);
    const std::uint8_t terminator = 0;
    Stream.WriteBuffer(&terminator, 1);
}
