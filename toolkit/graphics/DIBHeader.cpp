#include "toolkit/graphics/DIBHeader.h"

#include <cstring>

bool IsDIBHeaderSize(std::uint32_t Size) {
    return Size == sizeof(BITMAPCOREHEADER) || Size == sizeof(BITMAPINFOHEADER) || Size == 108 || Size == 124;
}

int DefaultDIBColors(int BitCount) {
    return BitCount == 1 || BitCount == 4 || BitCount == 8 ? 1 << BitCount : 0;
}

TDIBHeaderLayout DIBHeaderLayout(const std::uint8_t* Header) {
    TDIBHeaderLayout layout;
    std::memcpy(&layout.Size, Header, 4);
    BITMAPINFOHEADER& info = layout.Info;
    if (layout.Size == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, Header, sizeof(core));
        layout.Core = true;
        info.biWidth = core.bcWidth;
        info.biHeight = core.bcHeight;
        info.biPlanes = core.bcPlanes;
        info.biBitCount = core.bcBitCount;
        layout.EntrySize = sizeof(RGBTRIPLE);
    } else {
        std::memcpy(&info, Header, sizeof(info));
        layout.MaskOffset = sizeof(BITMAPINFOHEADER);
    }
    info.biSize = sizeof(BITMAPINFOHEADER);
    layout.TableEntries =
        info.biClrUsed != 0 ? info.biClrUsed : std::uint32_t(DefaultDIBColors(info.biBitCount));
    info.biClrUsed = static_cast<std::uint32_t>(layout.TableEntries);
    // Only the 40-byte header is followed by its masks.
    layout.MaskBytes = layout.Size == sizeof(BITMAPINFOHEADER) && layout.BitFields() ? 12 : 0;
    layout.TableOffset = layout.Size + layout.MaskBytes;
    return layout;
}
