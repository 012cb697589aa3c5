// Reading a CF_DIB block: header, masks, colour table and pixel bytes in one global block
// whose size bounds the pixel data.
#include <algorithm>
#include <cstring>

#include "imagelib/KvDIBLoad.h"
#include "toolkit/graphics/GlobalMemory.h"

namespace {

const std::string Operation = ClipboardReaderName;

// Keeps a block locked while it is read.
class TBlockLock {
public:
    explicit TBlockLock(HGLOBAL Block)
        : FBlock(Block), FData(static_cast<const std::uint8_t*>(GlobalLock(Block))),
          FSize(GlobalSize(Block)) {}
    ~TBlockLock() {
        if (FData != nullptr) GlobalUnlock(FBlock);
    }
    TBlockLock(const TBlockLock&) = delete;
    TBlockLock& operator=(const TBlockLock&) = delete;
    const std::uint8_t* Data() const { return FData; }
    std::int64_t Size() const { return FData != nullptr ? static_cast<std::int64_t>(FSize) : 0; }

private:
    HGLOBAL FBlock;
    const std::uint8_t* FData;
    std::size_t FSize;
};

[[noreturn]] void InvalidData() {
    throw EKvDIBInvalidDIB("TKvDIB.LoadFromClipboardFormat: Invalid Clipboard Data");
}

// Copies header, masks and colours into Infos; returns where the pixel bytes start.
std::int64_t ReadHeaderArea(const TBlockLock& Block, TKvDIBInfos& Infos) {
    std::uint32_t headerSize = 0;
    if (Block.Size() < 4) InvalidData();
    std::memcpy(&headerSize, Block.Data(), 4);
    if (!IsDIBHeaderSize(headerSize) || Block.Size() < std::int64_t(headerSize)) InvalidData();

    const TDIBHeaderLayout layout = DIBHeaderLayout(Block.Data());
    // A count this large names a table no block can hold.
    const std::int64_t colors = static_cast<std::int64_t>(layout.TableEntries);
    if (colors > 0x7FFFFFFF) throw EKvDIBInvalidDIB(Operation + ": Invalid Color Count");
    const std::int64_t headerLength = static_cast<std::int64_t>(layout.TableEnd());
    if (headerLength > Block.Size()) InvalidData();
    if (layout.Core) {
        std::memcpy(DIBHeaderArea(Infos), Block.Data(), static_cast<std::size_t>(headerLength));
        ConvertCoreHeader(Infos);
    } else {
        std::uint8_t* rest = TakeInfoHeader(Block.Data(), layout, Infos);
        std::memcpy(rest, Block.Data() + layout.Size,
                    layout.MaskBytes + 4 * std::min<std::size_t>(colors, 256));
        Infos.Header.biClrUsed = static_cast<std::uint32_t>(std::min<std::int64_t>(colors, 256));
    }
    return headerLength;
}

} // namespace

void TKvInternalDIB::LoadFromClipboardFormat(THandle Data) {
    const TBlockLock block(Data);
    if (block.Data() == nullptr) InvalidData();

    TKvDIBInfos infos;
    const std::int64_t headerLength = ReadHeaderArea(block, infos);
    const std::int64_t imageSize = block.Size() - headerLength;
    const BITMAPINFOHEADER& h = infos.Header;
    if (h.biWidth <= 0 || h.biHeight == 0) throw EKvDIBInvalidDIB(Operation + ": Invalid Width or Height");
    const int bitCount = h.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw EKvDIBInvalidDIB(Operation + ": Invalid biBitCount");
    CheckLoadedImage(infos, imageSize, Operation);

    const std::uint8_t* pixels = block.Data() + headerLength;
    if (bitCount == 16 || bitCount == 32) {
        const std::int64_t rowLength = TrueColorRowLength(h);
        ConvertTrueColorSource(infos, [&](std::int64_t y) { return pixels + y * rowLength; });
    } else {
        TNewStorage storage(imageSize);
        std::memcpy(storage.Bits(), pixels, static_cast<std::size_t>(imageSize));
        storage.Commit(infos);
    }
    CommitLoadedImage(*this, infos);
}
