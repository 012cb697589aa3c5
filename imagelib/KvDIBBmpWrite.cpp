// Writing a BMP file image to a stream: file header, the 40-byte header as held, the colours
// in use and the pixel bytes as held. Nothing else, so the image delimits itself.
#include "imagelib/KvDIBLoad.h"

void TKvInternalDIB::SaveToStream(TStream& Stream) {
    const std::uint32_t headerBytes = sizeof(BITMAPINFOHEADER) + 4 * Infos.Header.biClrUsed;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + headerBytes;
    file.bfSize = file.bfOffBits + Infos.ImageSize;
    Stream.WriteBuffer(&file, sizeof(file));
    Stream.WriteBuffer(DIBHeaderArea(Infos), headerBytes);
    Stream.WriteBuffer(Infos.Bits, Infos.ImageSize);
}
