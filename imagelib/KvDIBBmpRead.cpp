// Reading a BMP file image from a stream.
#include <cstring>
#include <vector>

#include "imagelib/KvDIBLoad.h"

namespace {

const std::string Operation = StreamReaderName;

// A counted read that the stream cannot satisfy fails before any storage is sized for it.
void RequireBytes(TStream& Stream, std::int64_t Count) {
    if (Count > Stream.Remaining()) throw EReadError(SReadError);
}

// Reads the 40-byte header, masks and colour table; returns the pixel byte count bfSize gives.
std::int64_t ReadInfoHeader(TStream& Stream, TKvDIBInfos& Infos, std::uint32_t FileSize) {
    std::uint8_t* area = DIBHeaderArea(Infos);
    Stream.ReadBuffer(area + 4, sizeof(BITMAPINFOHEADER) - 4);
    BITMAPINFOHEADER& h = Infos.Header;
    const int bitCount = h.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw EKvDIBInvalidDIB(Operation + ": Invalid BitCout");
    // A count this large names a table no file can hold.
    if (h.biClrUsed > 0x7FFFFFFF) throw EKvDIBInvalidDIB(Operation + ": Invalid Color Count");
    if (h.biClrUsed == 0) h.biClrUsed = static_cast<std::uint32_t>(ColorsOfBitCount(bitCount));

    const std::int64_t colors = h.biClrUsed;
    const std::int64_t maskBytes = h.biCompression == BI_BITFIELDS ? 12 : 0;
    std::uint8_t* table = area + sizeof(BITMAPINFOHEADER);
    if (colors <= 256) {
        Stream.ReadBuffer(table, maskBytes + 4 * colors);
    } else {
        Stream.ReadBuffer(table, maskBytes + 4 * 256);
        RequireBytes(Stream, (colors - 256) * 4);
        Stream.Seek((colors - 256) * 4, soCurrent);
    }
    if (colors > 256) h.biClrUsed = 256;
    return std::int64_t(FileSize) - 14 - 40 - 4 * colors;
}

// Reads the rest of a 12-byte core header and its triples; returns the pixel byte count.
std::int64_t ReadCoreHeader(TStream& Stream, TKvDIBInfos& Infos, std::uint32_t FileSize) {
    std::uint8_t* area = DIBHeaderArea(Infos);
    Stream.ReadBuffer(area + 4, sizeof(BITMAPCOREHEADER) - 4);
    BITMAPCOREHEADER core;
    std::memcpy(&core, area, sizeof(core));
    const int bitCount = core.bcBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
        throw EKvDIBInvalidDIB(Operation + ": Invalid BitCount");
    const std::int64_t colors = ColorsOfBitCount(bitCount);
    Stream.ReadBuffer(area + sizeof(BITMAPCOREHEADER), 3 * colors);
    ConvertCoreHeader(Infos);
    return std::int64_t(FileSize) - 14 - 12 - 3 * colors;
}

} // namespace

void TKvInternalDIB::LoadFromStream(TStream& Stream) {
    BITMAPFILEHEADER file;
    Stream.ReadBuffer(&file, sizeof(file));
    if (file.bfType != 0x4D42)
        throw EKvDIBInvalidDIBFile("TKvInternalDIB.LoadFromFile: File type is invalid");

    TKvDIBInfos infos;
    Stream.ReadBuffer(&infos.Header.biSize, 4);
    std::int64_t imageSize = 0;
    if (infos.Header.biSize == sizeof(BITMAPINFOHEADER))
        imageSize = ReadInfoHeader(Stream, infos, file.bfSize);
    else if (infos.Header.biSize == sizeof(BITMAPCOREHEADER))
        imageSize = ReadCoreHeader(Stream, infos, file.bfSize);
    else
        throw EKvDIBInvalidDIB(Operation + ": Invalid Bitmap Header Size");

    const BITMAPINFOHEADER& h = infos.Header;
    if (h.biWidth <= 0 || h.biHeight == 0) throw EKvDIBInvalidDIB(Operation + ": Invalid Width or Height");
    CheckLoadedImage(infos, imageSize, Operation);

    if (h.biBitCount == 16 || h.biBitCount == 32) {
        const std::int64_t rowLength = TrueColorRowLength(h);
        RequireBytes(Stream, rowLength * DIBRowCount(h));
        std::vector<std::uint8_t> row(static_cast<std::size_t>(rowLength));
        ConvertTrueColorSource(infos, [&](std::int64_t) {
            Stream.ReadBuffer(row.data(), rowLength);
            return row.data();
        });
    } else {
        // Pixel bytes, RLE data included, go into the storage as they stand.
        RequireBytes(Stream, imageSize);
        TNewStorage storage(imageSize);
        Stream.ReadBuffer(storage.Bits(), imageSize);
        storage.Commit(infos);
    }
    CommitLoadedImage(*this, infos);
}
