#include "gif/lzwencode.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "imagelib/KvDIB.h"

namespace {

// Workspaces that encoders handed back with an empty table; the next encoder of the thread
// starts with one instead of allocating and emptying a table per frame.
thread_local std::vector<std::unique_ptr<TLzwWorkspace>> EmptyWorkspaces;
constexpr std::size_t KeptWorkspaces = 2;

std::unique_ptr<TLzwWorkspace> TakeWorkspace() {
    if (!EmptyWorkspaces.empty()) {
        std::unique_ptr<TLzwWorkspace> work = std::move(EmptyWorkspaces.back());
        EmptyWorkspaces.pop_back();
        return work;
    }
    auto work = std::make_unique_for_overwrite<TLzwWorkspace>();
    std::fill_n(work->Codes, std::size(work->Codes), 0);
    std::fill_n(work->LastChild, 4096, TLzwWorkspace::EmptyChild);
    // Code 0 is a pixel, never in a slot: its key matches nothing.
    work->KeyOf[0] = 0xFFFFFFFF;
    return work;
}

std::int32_t ClearCodeOf(int SizeCode) {
    if (SizeCode < 1 || SizeCode > 7) throw ERangeError(SRangeError);
    return 1 << (SizeCode + 1);
}

std::uint32_t HomeSlot(std::uint32_t Key) {
    return (Key * 0x9E3779B1u) >> (32 - TLzwWorkspace::SlotBits);
}

// An index past the colour table would be read back as a control code.
void CheckRow(const std::uint8_t* Row, std::int32_t Count, std::int32_t ClearCode) {
    if (ClearCode > 255) return;
    bool outside = false;
    for (std::int32_t i = 0; i < Count; ++i)
        outside |= Row[i] >= ClearCode;
    if (outside) throw EKvDIBPaletteIndexRange("TLzwEncoder: Palette Index is Out of Range");
}

// Rows in which fewer than one pixel in this many ends a string are followed by rows coded
// last child first.
constexpr std::int32_t LongStringPixels = 8;

} // namespace

TLzwEncoder::TLzwEncoder(TStream& AStream, int ASizeCode)
    : Stream(AStream), SizeCode(ASizeCode), ClearCode(ClearCodeOf(ASizeCode)), EndCode(ClearCode + 1),
      Work(TakeWorkspace()) {}

TLzwEncoder::~TLzwEncoder() {
    if (TableEmpty && EmptyWorkspaces.size() < KeptWorkspaces) EmptyWorkspaces.push_back(std::move(Work));
}

void TLzwEncoder::LzwResetTable(std::int32_t Count, std::uint32_t Next) {
    for (std::int32_t i = 0; i < Count; ++i)
        Work->Codes[Work->Entries[i]] = 0;
    std::fill_n(Work->LastChild, Next, TLzwWorkspace::EmptyChild);
}

std::int32_t TLzwEncoder::LzwFlushBlocks(std::int32_t Count, bool Final) {
    std::uint8_t blocks[16 * (BlockLimit + 1)];
    std::int32_t done = 0, size = 0;
    while (Count - done >= BlockLimit || (Final && Count > done)) {
        const std::int32_t block = std::min(BlockLimit, Count - done);
        blocks[size] = std::uint8_t(block);
        std::memcpy(blocks + size + 1, Work->Staged + done, std::size_t(block));
        size += block + 1;
        done += block;
    }
    Stream.WriteBuffer(blocks, size);
    std::memmove(Work->Staged, Work->Staged + done, std::size_t(Count - done));
    return Count - done;
}

template <bool LastChildFirst>
void TLzwEncoder::EncodeRow(TState& State, const std::uint8_t* Pixel, const std::uint8_t* End) {
    TState s = State;
    TLzwWorkspace& work = *Work;
    for (; Pixel != End; ++Pixel) {
        const std::uint32_t pixel = *Pixel;
        if constexpr (LastChildFirst) {
            const std::uint32_t last = work.LastChild[s.PrefixCode];
            if (last >> 12 == pixel) {
                s.PrefixCode = last & 0xFFF;
                continue;
            }
        }
        const std::uint32_t key = s.PrefixCode << 8 | pixel;
        std::uint32_t place;
        std::uint32_t code;
        if (s.PrefixCode < std::uint32_t(ClearCode)) {
            place = TLzwWorkspace::SlotCount + key;
            code = work.Codes[place];
        } else {
            place = HomeSlot(key);
            while ((code = work.Codes[place]) != 0 && work.KeyOf[code] != key)
                place = (place + 1) & (TLzwWorkspace::SlotCount - 1);
        }
        if (code != 0) {
            if constexpr (LastChildFirst) work.LastChild[s.PrefixCode] = pixel << 12 | code;
            s.PrefixCode = code;
            continue;
        }
        LzwPutCode(s, s.PrefixCode);
        if (s.NextCode == MaxCode) {
            // The last code, 4094, is assigned: start a new table.
            LzwPutCode(s, std::uint32_t(ClearCode));
            LzwResetTable(s.EntryCount, s.NextCode);
            s.EntryCount = 0;
            s.NextCode = std::uint32_t(ClearCode + 2);
            s.CodeWidth = SizeCode + 2;
        } else {
            work.Codes[place] = std::uint16_t(s.NextCode);
            work.KeyOf[s.NextCode] = key;
            work.LastChild[s.PrefixCode] = pixel << 12 | s.NextCode;
            work.Entries[s.EntryCount++] = place;
            ++s.NextCode;
            // The code width grows as soon as the next free code no longer fits it.
            if (s.NextCode > (1u << s.CodeWidth)) ++s.CodeWidth;
        }
        s.PrefixCode = pixel;
    }
    State = s;
}

void TLzwEncoder::Encode(TLzwPixelSource& Source) {
    TableEmpty = false;
    TState s;
    s.NextCode = std::uint32_t(ClearCode + 2);
    s.CodeWidth = SizeCode + 2;
    LzwPutCode(s, std::uint32_t(ClearCode));

    const std::uint8_t* row;
    std::int32_t count;
    bool started = false;
    bool longStrings = false;
    while (Source.NextRow(row, count)) {
        if (count <= 0) continue;
        CheckRow(row, count, ClearCode);
        const std::uint8_t* first = row;
        if (!started) {
            started = true;
            s.PrefixCode = *first++;
        }
        const std::uint32_t nextBefore = s.NextCode;
        if (longStrings)
            EncodeRow<true>(s, first, row + count);
        else
            EncodeRow<false>(s, first, row + count);
        // A row with a table reset in it counts as one of short strings.
        longStrings =
            s.NextCode >= nextBefore && (s.NextCode - nextBefore) * LongStringPixels < std::uint32_t(count);
    }
    if (started) LzwPutCode(s, s.PrefixCode);
    PutEndSequence(s);
    LzwResetTable(s.EntryCount, s.NextCode);
    TableEmpty = true;
}

void TLzwEncoder::PutEndSequence(TState& S) {
    LzwPutCode(S, std::uint32_t(EndCode));
    if (S.BitCount != 0) {
        const int pending = S.BitCount;
        LzwPutCode(S, 0);
        // A zero code too short to complete a byte still leaves the pending bits to write;
        // zero bits left over after a completed byte are dropped.
        if (pending + S.CodeWidth < 8) Work->Staged[S.StagedCount++] = std::uint8_t(S.BitBuffer);
    }
    LzwFlushBlocks(S.StagedCount, true);
    const std::uint8_t terminator = 0;
    Stream.WriteBuffer(&terminator, 1);
}
