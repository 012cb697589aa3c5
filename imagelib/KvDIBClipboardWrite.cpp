// Writing a CF_DIB block: the 40-byte header, the colours in use and the pixel bytes.
#include <cstring>

#include "imagelib/KvDIBLoad.h"
#include "toolkit/graphics/GlobalMemory.h"

THandle TKvInternalDIB::SaveToClipboardFormat() {
    const std::size_t headerBytes = sizeof(BITMAPINFOHEADER) + 4 * std::size_t(Infos.Header.biClrUsed);
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, headerBytes + Infos.ImageSize);
    if (block == 0) throw EOutOfMemory("TKvInternalDIB.SaveToClipboardFormat: Out Of Memory");
    auto* data = static_cast<std::uint8_t*>(GlobalLock(block));
    std::memcpy(data, DIBHeaderArea(Infos), headerBytes);
    std::memcpy(data + headerBytes, Infos.Bits, Infos.ImageSize);
    GlobalUnlock(block);
    return block;
}
