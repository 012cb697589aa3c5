#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "KvDIBTestFiles.h"
#include "common/FullDiskFolder.h"
#include "imagelib/KvDIBLoad.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

std::uint32_t U32At(const TBytes& Bytes, std::size_t Offset) {
    std::uint32_t v;
    std::memcpy(&v, Bytes.data() + Offset, 4);
    return v;
}

void Load(TKvDIB& DIB, const TBytes& Bytes) {
    TMemoryStream stream = StreamOf(Bytes);
    DIB.LoadFromStream(stream);
}

// Loads Bytes into an internal image that holds a known 3 x 2 picture first, expects the
// exception E with Message, and checks that the picture and all storage are as before.
template <class E> void ExpectRejected(const TBytes& Bytes, const std::string& Message) {
    TKvDIB known;
    MakeTestDIB(known, 3, 2, 8);
    TKvInternalDIB& image = *known.InternalDIB;
    const TBytes before = SavedBytes(image);
    const std::size_t mappings = LiveFileMappings();
    TMemoryStream stream = StreamOf(Bytes);
    try {
        image.LoadFromStream(stream);
        ADD_FAILURE() << "no exception, expected " << Message;
    } catch (const E& e) {
        if (!Message.empty()) {
            EXPECT_EQ(e.Message(), Message);
        }
    }
    EXPECT_EQ(SavedBytes(image), before);
    EXPECT_EQ(image.Width, 3);
    EXPECT_EQ(LiveFileMappings(), mappings);
}

TEST(KvDIBBmp, EveryDepthAndRowOrderRoundTripsByteForByte) {
    for (int bits : {1, 4, 8, 24}) {
        for (int height : {3, -3}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, height " << height);
            TKvDIB dib;
            MakeTestDIB(dib, 5, height, bits);
            const TBytes written = SavedBytes(dib);
            const std::uint32_t colors = ColorsOfBitCount(bits);
            const std::uint32_t imageSize = DIBRowLength(5, bits) * 3;
            ASSERT_EQ(written.size(), 54 + 4 * colors + imageSize);
            EXPECT_EQ(written[0], 'B');
            EXPECT_EQ(written[1], 'M');
            EXPECT_EQ(U32At(written, 2), written.size());
            EXPECT_EQ(U32At(written, 10), 54 + 4 * colors);

            // Two images back to back: each read stops where its own bytes end.
            TBytes twice = written;
            twice.insert(twice.end(), written.begin(), written.end());
            TMemoryStream stream = StreamOf(twice);
            TKvDIB first, second;
            first.LoadFromStream(stream);
            EXPECT_EQ(stream.GetPosition(), std::int64_t(written.size()));
            second.LoadFromStream(stream);
            EXPECT_EQ(SavedBytes(second), written);
            EXPECT_EQ(second.Height(), 3);
            EXPECT_EQ(second.InternalDIB->Infos.Header.biHeight, height);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x)
                    ASSERT_EQ(second.GetPixels(x, y), PatternValue(bits, x, y));
        }
    }
}

TEST(KvDIBBmp, WrittenFilesOpenInQt) {
    for (int bits : {1, 4, 8, 24}) {
        for (int height : {4, -4}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, height " << height);
            TKvDIB dib;
            MakeTestDIB(dib, 6, height, bits);
            const TBytes written = SavedBytes(dib);
            const QImage image = QImage::fromData(written.data(), static_cast<int>(written.size()), "BMP");
            ASSERT_FALSE(image.isNull());
            ASSERT_EQ(image.width(), 6);
            ASSERT_EQ(image.height(), 4);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x) {
                    const int v = dib.GetPixels(x, y);
                    const TColor c = bits == 24 ? TColor(v) : dib.GetColors(v);
                    ASSERT_EQ(image.pixel(x, y), qRgb(GetRValue(c), GetGValue(c), GetBValue(c)))
                        << x << "," << y;
                }
        }
    }
}

TEST(KvDIBBmp, FilesWrittenByQtLoadWithTheSamePixels) {
    QVector<QRgb> gray16, gray256;
    for (int i = 0; i < 16; ++i)
        gray16.push_back(qRgb(i * 17, 255 - i * 17, i));
    for (int i = 0; i < 256; ++i)
        gray256.push_back(qRgb(i, 255 - i, i / 2));
    struct Case {
        QImage::Format Format;
        QVector<QRgb> Table;
        int ExpectedBits;
    };
    // Qt writes 32-bit images as 24-bit files.
    const Case cases[] = {{QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)}, 1},
                          {QImage::Format_Indexed8, gray16, 4},
                          {QImage::Format_Indexed8, gray256, 8},
                          {QImage::Format_RGB888, {}, 24},
                          {QImage::Format_RGB32, {}, 24},
                          {QImage::Format_ARGB32, {}, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.Format);
        QImage image(7, 5, c.Format);
        if (!c.Table.isEmpty()) image.setColorTable(c.Table);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                if (c.Table.isEmpty())
                    image.setPixel(x, y, qRgb(x * 30, y * 50, x * y * 7));
                else
                    image.setPixel(x, y, static_cast<uint>((x * 3 + y * 5) % c.Table.size()));
            }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "BMP"));

        TKvDIB dib;
        Load(dib, TBytes(bytes.begin(), bytes.end()));
        EXPECT_EQ(dib.GetBitCount(), c.ExpectedBits);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const int v = dib.GetPixels(x, y);
                const TColor color = c.ExpectedBits == 24 ? TColor(v) : dib.GetColors(v);
                const QRgb want = image.pixel(x, y);
                ASSERT_EQ(color, RGB(qRed(want), qGreen(want), qBlue(want))) << x << "," << y;
            }
    }
}

TEST(KvDIBBmp, ColourCountsOfTheHeader) {
    // biClrUsed 0 means the full table, which is held and written back.
    for (int bits : {1, 4, 8}) {
        TTestDIB file{.Width = 2, .BitCount = static_cast<std::uint16_t>(bits)};
        const int colors = ColorsOfBitCount(bits);
        file.Table = GrayishTable(colors);
        file.Pixels = TBytes(4, 0);
        TKvDIB dib;
        Load(dib, file.File());
        EXPECT_EQ(dib.GetPaletteSize(), colors);
        EXPECT_EQ(SavedBytes(dib).size(), 54u + 4 * colors + 4);
        EXPECT_EQ(dib.GetColors(colors - 1), RGB(3 * (colors - 1), 2 * (colors - 1), colors - 1));
    }
    // 300 entries: 256 are held, 44 skipped, and the pixels are what follows them.
    TTestDIB file{.Width = 4, .ClrUsed = 300, .Table = GrayishTable(300), .Pixels = {1, 2, 3, 4, 5, 6, 7, 8}};
    TKvDIB dib;
    Load(dib, file.File());
    EXPECT_EQ(dib.GetPaletteSize(), 256);
    EXPECT_EQ(dib.InternalDIB->Infos.ImageSize, 8u);
    EXPECT_EQ(dib.GetPixels(0, 0), 1);
    EXPECT_EQ(dib.GetColors(255), RGB(253, 254, 255));
}

TEST(KvDIBBmp, AGapBeforeThePixelsIsReadAsPixelBytes) {
    TTestDIB file{.Width = 4, .ClrUsed = 2, .Table = GrayishTable(2), .Pixels = {9, 9, 9, 9, 1, 2, 3, 4}};
    TKvDIB dib;
    Load(dib, file.File());
    EXPECT_EQ(dib.InternalDIB->Infos.ImageSize, 8u);
    EXPECT_EQ(dib.GetPixels(0, 0), 9);
}

TEST(KvDIBBmp, SixteenAndThirtyTwoBitPixelsBecomeTwentyFourBits) {
    // 3 x 2, 5-5-5: rows of 8 bytes (6 used), bottom-up.
    TTestDIB rgb555{.Width = 3, .Height = 2, .BitCount = 16};
    rgb555.Pixels = {0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03, 0, 0, 0x1F, 0x00, 0x00, 0x00, 0x21, 0x04, 0, 0};
    TKvDIB dib;
    Load(dib, rgb555.File());
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(dib.InternalDIB->Infos.Header.biCompression, BI_RGB);
    EXPECT_EQ(dib.InternalDIB->Infos.Header.biSizeImage, 0u);
    EXPECT_EQ(dib.InternalDIB->Infos.ImageSize, 2u * 12);
    EXPECT_EQ(dib.GetPixels(0, 1), int(RGB(248, 248, 248)));
    EXPECT_EQ(dib.GetPixels(1, 1), int(RGB(248, 0, 0)));
    EXPECT_EQ(dib.GetPixels(2, 1), int(RGB(0, 248, 0)));
    EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(0, 0, 248)));
    EXPECT_EQ(dib.GetPixels(2, 0), int(RGB(8, 8, 8)));
    EXPECT_EQ(dib.InternalDIB->Infos.Bits[9], 0); // row padding
    EXPECT_EQ(dib.InternalDIB->Infos.Bits[11], 0);

    // 5-6-5 bit fields; the colours that follow the masks move to entry 0.
    TTestDIB rgb565{.Width = 1, .BitCount = 16, .Compression = BI_BITFIELDS, .ClrUsed = 2};
    rgb565.Masks = {0xF800, 0x07E0, 0x001F};
    rgb565.Table = GrayishTable(2);
    rgb565.Table[4] = 77;
    rgb565.Pixels = {0xFF, 0xFF, 0, 0};
    Load(dib, rgb565.File());
    EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(248, 252, 248)));
    EXPECT_EQ(dib.GetPaletteSize(), 2);
    EXPECT_EQ(dib.GetColors(1), RGB(3, 2, 77));

    // 32 bits, top-down: (b, g, r, x) becomes (b, g, r); rows keep their order.
    TTestDIB rgb32{.Width = 2, .Height = -2, .BitCount = 32};
    rgb32.Pixels = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99};
    Load(dib, rgb32.File());
    EXPECT_EQ(dib.InternalDIB->Infos.Header.biHeight, -2);
    EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(3, 2, 1)));
    EXPECT_EQ(dib.GetPixels(1, 0), int(RGB(6, 5, 4)));
    EXPECT_EQ(dib.GetPixels(1, 1), int(RGB(12, 11, 10)));

    // Bit fields with unusual masks: red in the top byte, a 2-bit green, blue in bit 0.
    TTestDIB odd{.Width = 1, .BitCount = 32, .Compression = BI_BITFIELDS};
    odd.Masks = {0xFF000000, 0x00000006, 0x00000001};
    odd.Pixels = {0x07, 0, 0, 0x80};
    Load(dib, odd.File());
    EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(0x80, 0xC0, 0x80)));
}

TEST(KvDIBBmp, MaskShiftBringsTheTopBitToBitSeven) {
    const std::pair<std::uint32_t, int> cases[] = {
        {0x7C00, 7},   {0x03E0, 2}, {0x001F, -3}, {0xFF0000, 16}, {0x00FF00, 8},
        {0x0000FF, 0}, {0xF800, 8}, {0x07E0, 3},  {1, -7},        {0xFFFFFFFF, 24}};
    for (auto [mask, shift] : cases)
        EXPECT_EQ(MaskShift(mask), shift) << std::hex << mask;
}

TEST(KvDIBBmp, CoreHeaderBecomesTheLongForm) {
    TTestDIB core{.HeaderSize = 12, .Width = 2, .Height = 2, .BitCount = 8};
    for (int i = 0; i < 256; ++i)
        core.Table.insert(core.Table.end(), {std::uint8_t(i), 7, std::uint8_t(255 - i)});
    core.Pixels = {0, 255, 0, 0, 1, 2, 0, 0};
    TKvDIB dib;
    Load(dib, core.File());
    const BITMAPINFOHEADER& h = dib.InternalDIB->Infos.Header;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biHeight, 2);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(dib.GetColors(1), RGB(254, 7, 1));
    EXPECT_EQ(dib.InternalDIB->Infos.ColorTable[200].rgbReserved, 0);
    EXPECT_EQ(dib.GetPixels(1, 0), 2);
    EXPECT_EQ(dib.GetPixels(1, 1), 255);

    TTestDIB core24{.HeaderSize = 12, .Width = 1, .BitCount = 24, .Pixels = {1, 2, 3, 0}};
    Load(dib, core24.File());
    EXPECT_EQ(dib.GetPaletteSize(), 0);
    EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(3, 2, 1)));
}

TEST(KvDIBBmp, LongerHeadersReadAsTheFortyBytesTheyBeginWith) {
    // The colours follow the whole header, bit-field masks stand inside it, the colour-space
    // fields are not used, and the image is held and written with a 40-byte header.
    for (std::uint32_t size : {108u, 124u}) {
        SCOPED_TRACE(size);
        TTestDIB indexed{.HeaderSize = size, .Width = 2, .Height = 2, .ClrUsed = 3, .Table = GrayishTable(3)};
        indexed.Pixels = {2, 1, 0, 0, 0, 2, 0, 0};
        TKvDIB dib;
        Load(dib, indexed.File());
        EXPECT_EQ(dib.GetColors(2), RGB(6, 4, 2));
        TTestDIB forty = indexed;
        forty.HeaderSize = 40;
        EXPECT_EQ(SavedBytes(dib), forty.File());

        TTestDIB fields{
            .HeaderSize = size, .Width = 2, .BitCount = 16, .Compression = BI_BITFIELDS, .ClrUsed = 1};
        fields.Masks = {0xF800, 0x07E0, 0x001F};
        fields.Table = {10, 20, 30, 0};
        fields.Pixels = {0xFF, 0xFF, 0xE0, 0x07};
        Load(dib, fields.File());
        EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(248, 252, 248)));
        EXPECT_EQ(dib.GetPixels(1, 0), int(RGB(0, 252, 0)));
        EXPECT_EQ(dib.GetPaletteSize(), 1);
        EXPECT_EQ(dib.GetColors(0), RGB(30, 20, 10));

        // Red in the low byte, as the masks say; the alpha mask is not used ...
        TTestDIB swapped{.HeaderSize = size, .Width = 1, .BitCount = 32, .Compression = BI_BITFIELDS};
        swapped.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
        swapped.Pixels = {1, 2, 3, 4};
        Load(dib, swapped.File());
        EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(1, 2, 3)));
        // ... and without bit fields nor are the masks.
        swapped.Compression = BI_RGB;
        Load(dib, swapped.File());
        EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(3, 2, 1)));
    }
}

TEST(KvDIBBmp, RunLengthDataIsKeptCompressed) {
    // Two runs of 3 and 1, end of line, end of bitmap.
    TTestDIB rle{.Width = 4, .Height = 1, .Compression = BI_RLE8, .ClrUsed = 4, .Table = GrayishTable(4)};
    rle.Pixels = {3, 1, 1, 2, 0, 0, 0, 1};
    const TBytes bytes = rle.File();
    TKvDIB dib;
    Load(dib, bytes);
    EXPECT_EQ(dib.GetPixelFormat(), kvpf8BitRLE);
    EXPECT_EQ(dib.InternalDIB->Infos.ImageSize, bytes.size() - 54 - 16);
    EXPECT_EQ(SavedBytes(dib), bytes);
    EXPECT_THROW(dib.GetPixels(0, 0), EKvDIBBadDIBType);
}

TEST(KvDIBBmp, MalformedFilesAreRefusedAndTheImageKept) {
    const std::string op = "TKvInternalDIB.LoadFromStream: ";
    TTestDIB good{.Width = 2, .Height = 2, .ClrUsed = 2, .Table = GrayishTable(2), .Pixels = TBytes(8, 1)};

    TBytes notBmp = good.File();
    notBmp[0] = 'P';
    ExpectRejected<EKvDIBInvalidDIBFile>(notBmp, "TKvInternalDIB.LoadFromFile: File type is invalid");

    for (std::uint32_t size : {0u, 64u}) {
        TTestDIB v = good;
        v.HeaderSize = size;
        ExpectRejected<EKvDIBInvalidDIB>(v.File(), op + "Invalid Bitmap Header Size");
    }
    TTestDIB bits2 = good;
    bits2.BitCount = 2;
    ExpectRejected<EKvDIBInvalidDIB>(bits2.File(), op + "Invalid BitCout");
    TTestDIB core16{.HeaderSize = 12, .BitCount = 16, .Pixels = {0, 0, 0, 0}};
    ExpectRejected<EKvDIBInvalidDIB>(core16.File(), op + "Invalid BitCount");

    for (auto [w, h] : {std::pair{0, 2}, {-2, 2}, {2, 0}}) {
        TTestDIB v = good;
        v.Width = w;
        v.Height = h;
        ExpectRejected<EKvDIBInvalidDIB>(v.File(), op + "Invalid Width or Height");
    }
    TTestDIB zeroMask{.Width = 1, .BitCount = 16, .Compression = BI_BITFIELDS, .Pixels = {0, 0, 0, 0}};
    zeroMask.Masks = {0xF800, 0, 0x1F};
    ExpectRejected<EKvDIBInvalidDIB>(zeroMask.File(), op + "Invalid Masks");

    TTestDIB negativeColors = good;
    negativeColors.ClrUsed = 0xFFFFFFFE;
    ExpectRejected<EKvDIBInvalidDIB>(negativeColors.File(), op + "Invalid Color Count");

    // Bit fields on an indexed image, and RLE codes on 16 bits, name no layout.
    TTestDIB fields8 = good;
    fields8.Compression = BI_BITFIELDS;
    fields8.Masks = {1, 2, 4};
    ExpectRejected<EKvDIBInvalidDIB>(fields8.File(), op + "Invalid Compression");
    TTestDIB rle16{.Width = 1, .BitCount = 16, .Compression = BI_RLE8, .Pixels = {0, 0, 0, 0}};
    ExpectRejected<EKvDIBInvalidDIB>(rle16.File(), op + "Invalid Compression");
}

TEST(KvDIBBmp, SizesFromTheHeaderAreCheckedBeforeAnythingIsMade) {
    const std::string op = "TKvInternalDIB.LoadFromStream: ";
    TTestDIB good{.Width = 2, .Height = 2, .ClrUsed = 2, .Table = GrayishTable(2), .Pixels = TBytes(8, 1)};

    // A stream that ends early fails with the stream's read error.
    TBytes truncated = good.File();
    truncated.resize(truncated.size() - 1);
    ExpectRejected<EReadError>(truncated, "");
    ExpectRejected<EReadError>(TBytes(truncated.begin(), truncated.begin() + 20), "");

    // bfSize leaves fewer bytes than the rows need.
    TTestDIB shortSize = good;
    shortSize.FileSize = 54 + 8 + 7;
    ExpectRejected<EKvDIBInvalidDIB>(shortSize.File(), op + "Image Data is Too Short");
    TTestDIB short32{.Width = 2, .Height = 2, .BitCount = 32, .Pixels = TBytes(16, 0), .FileSize = 54 + 15};
    ExpectRejected<EKvDIBInvalidDIB>(short32.File(), op + "Image Data is Too Short");

    // A small file whose bfSize claims gigabytes of RLE data makes no storage for them.
    TTestDIB hugeRle{.Width = 4, .Compression = BI_RLE8, .ClrUsed = 2, .Table = GrayishTable(2)};
    hugeRle.Pixels = {0, 1};
    hugeRle.FileSize = 0x3FFFFFF0;
    ExpectRejected<EReadError>(hugeRle.File(), "");
    hugeRle.FileSize = 0xFFFFFFF0;
    ExpectRejected<EKvDIBInvalidDIB>(hugeRle.File(), op + "Image is Too Large");
    // Likewise 16/32-bit rows that the stream does not hold.
    TTestDIB huge32{
        .Width = 16000, .Height = 16000, .BitCount = 32, .Pixels = TBytes(8, 0), .FileSize = 0xFFFFFFFF};
    ExpectRejected<EReadError>(huge32.File(), "");

    // Storage beyond 1 GiB, up to sizes whose byte count does not fit 64 bits.
    const std::int32_t most = 2147483647, least = -2147483647 - 1;
    for (auto [width, height, bits] : {std::tuple{65536, 65536, 24},
                                       {65536, least, 24},
                                       {most, least, 24},
                                       {most, least, 32},
                                       {most, most, 16}}) {
        TTestDIB huge{
            .Width = width, .Height = height, .BitCount = std::uint16_t(bits), .Pixels = TBytes(4, 0)};
        huge.FileSize = 0xFFFFFFFF;
        ExpectRejected<EKvDIBInvalidDIB>(huge.File(), op + "Image is Too Large");
    }
    TTestDIB tallRle{
        .Width = 4, .Height = -2147483647 - 1, .BitCount = 4, .Compression = BI_RLE4, .ClrUsed = 2};
    tallRle.Table = GrayishTable(2);
    tallRle.Pixels = {0, 1};
    ExpectRejected<EKvDIBInvalidDIB>(tallRle.File(), op + "Image is Too Large");

    // No pixel bytes at all for RLE data: the storage cannot be made.
    TTestDIB emptyRle{.Width = 4, .Compression = BI_RLE8, .ClrUsed = 2, .Table = GrayishTable(2)};
    ExpectRejected<EOutOfResources>(emptyRle.File(), "GetFileMap: Cannot Make File Mapping Object");
}

// A picture saved to a disk without room: a small one fails only when the file is finished, a
// large one part way through. Either raises and keeps the old file.
TEST(KvDIBBmp, SavingToAFullDiskRaisesAndKeepsTheOldFile) {
    const struct {
        TDiskState State;
        int Width;
    } saves[] = {{dsFull, 4}, {dsHalfFull, 200}, {dsReadOnly, 4}};
    for (const auto& save : saves) {
        SCOPED_TRACE(DiskStateName(save.State));
        TFullDiskFolder disk;
        if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
        ASSERT_TRUE(disk.Prepare(save.State, {"picture.bmp"}));
        TKvDIB picture;
        picture.SetBitCount(24);
        picture.SetWidth(save.Width);
        picture.SetHeight(100);
        EXPECT_THROW(picture.SaveToFile(disk.Path("picture.bmp")), EStreamError);
        EXPECT_TRUE(disk.KeptOldContent("picture.bmp"));
        EXPECT_EQ(disk.Entries(), std::vector<std::string>{"picture.bmp"});
    }
}

} // namespace
