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

// Reads the masks and colour table behind a 40-, 108- or 124-byte header; returns the pixel
// byte count bfSize gives.
std::int64_t ReadInfoHeader(TStream& Stream, const std::uint8_t* Header, TKvDIBInfos& Infos,
                            std::uint32_t FileSize) {
    const TDIBHeaderLayout layout = DIBHeaderLayout(Header);
    const int bitCount = layout.Info.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw EKvDIBInvalidDIB(Operation + ": Invalid BitCout");
    // A count this large names a table no file can hold.
    const std::int64_t colors = static_cast<std::int64_t>(layout.TableEntries);
    if (colors > 0x7FFFFFFF) throw EKvDIBInvalidDIB(Operation + ": Invalid Color Count");

    std::uint8_t* rest = TakeInfoHeader(Header, layout, Infos);
    if (colors <= 256) {
        Stream.ReadBuffer(rest, layout.MaskBytes + 4 * colors);
    } else {
        Stream.ReadBuffer(rest, layout.MaskBytes + 4 * 256);
        RequireBytes(Stream, (colors - 256) * 4);
        Stream.Seek((colors - 256) * 4, soCurrent);
        Infos.Header.biClrUsed = 256;
    }
    return std::int64_t(FileSize) - 14 - layout.Size - 4 * colors;
}

// Reads the triples behind a 12-byte core header; returns the pixel byte count.
std::int64_t ReadCoreHeader(TStream& Stream, const std::uint8_t* Header, TKvDIBInfos& Infos,
                            std::uint32_t FileSize) {
    std::uint8_t* area = DIBHeaderArea(Infos);
    std::memcpy(area, Header, sizeof(BITMAPCOREHEADER));
    const TDIBHeaderLayout layout = DIBHeaderLayout(Header);
    const int bitCount = layout.Info.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
        throw EKvDIBInvalidDIB(Operation + ": Invalid BitCount");
    const std::int64_t colors = static_cast<std::int64_t>(layout.TableEntries);
    Stream.ReadBuffer(area + layout.TableOffset, 3 * colors);
    ConvertCoreHeader(Infos);
    return std::int64_t(FileSize) - 14 - layout.Size - 3 * colors;
}

} // namespace

void TKvInternalDIB::LoadFromStream(TStream& Stream) {
    BITMAPFILEHEADER file;
    Stream.ReadBuffer(&file, sizeof(file));
    if (file.bfType != 0x4D42)
        throw EKvDIBInvalidDIBFile("TKvInternalDIB.LoadFromFile: File type is invalid");

    std::uint8_t header[MaxDIBHeaderSize];
    std::uint32_t headerSize = 0;
    Stream.ReadBuffer(&headerSize, 4);
    if (!IsDIBHeaderSize(headerSize)) throw EKvDIBInvalidDIB(Operation + ": Invalid Bitmap Header Size");
    std::memcpy(header, &headerSize, 4);
    Stream.ReadBuffer(header + 4, headerSize - 4);

    TKvDIBInfos infos;
    const std::int64_t imageSize = headerSize == sizeof(BITMAPCOREHEADER)
                                       ? ReadCoreHeader(Stream, header, infos, file.bfSize)
                                       : ReadInfoHeader(Stream, header, infos, file.bfSize);

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
