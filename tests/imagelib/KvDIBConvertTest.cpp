// Pixel formats read off headers, the depth expansions and the reductions to 1 bit by a
// key colour, called directly on image records.
#include <gtest/gtest.h>

#include "KvDIBConvertTestImages.h"
#include "imagelib/KvDIBConverters.h"

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor White = 0xFFFFFF;

std::string PixelFormatError(int BitCount, std::uint32_t Compression) {
    auto dib = MakeImage(2, 2, 8, 0);
    dib->Infos.Header.biBitCount = static_cast<std::uint16_t>(BitCount);
    dib->Infos.Header.biCompression = Compression;
    try {
        dib->GetPixelFormat();
    } catch (const EKvDIBInvalidDIB& e) {
        return e.what();
    }
    return "";
}

TEST(KvDIBConvert, PixelFormatFollowsBitCountAndCompression) {
    const struct {
        int BitCount;
        std::uint32_t Compression;
        TKvPixelFormat Format;
    } formats[] = {{1, BI_RGB, kvpf1Bit}, {4, BI_RGB, kvpf4Bit},     {4, BI_RLE4, kvpf4BitRLE},
                   {8, BI_RGB, kvpf8Bit}, {8, BI_RLE8, kvpf8BitRLE}, {24, BI_RGB, kvpf24Bit}};
    for (const auto& f : formats) {
        auto dib = MakeImage(2, 2, 8, 0);
        dib->Infos.Header.biBitCount = static_cast<std::uint16_t>(f.BitCount);
        dib->Infos.Header.biCompression = f.Compression;
        EXPECT_EQ(dib->GetPixelFormat(), f.Format);
    }
    EXPECT_EQ(PixelFormatError(1, BI_RLE8), "TKvInternalDIB.GetPixelFormat: Invalid DIB(1Bit)");
    EXPECT_EQ(PixelFormatError(4, BI_RLE8), "TKvInternalDIB.GetPixelFormat: Invalid DIB(4Bit)");
    EXPECT_EQ(PixelFormatError(8, BI_RLE4), "TKvInternalDIB.GetPixelFormat: Invalid DIB(8Bit)");
    EXPECT_EQ(PixelFormatError(8, BI_BITFIELDS), "TKvInternalDIB.GetPixelFormat: Invalid DIB(8Bit)");
    EXPECT_EQ(PixelFormatError(24, BI_RLE8), "TKvInternalDIB.GetPixelFormat: Invalid DIB(24Bit)");
    EXPECT_EQ(PixelFormatError(16, BI_RGB), "TKvInternalDIB.GetPixelFormat: Invalid DIB(Illegal BitCount)");
    EXPECT_EQ(PixelFormatError(32, BI_RGB), "TKvInternalDIB.GetPixelFormat: Invalid DIB(Illegal BitCount)");
}

TEST(KvDIBConvert, ExpansionsKeepIndicesAndTheColourTable) {
    // 1 bit, odd width, top-down: the expansions keep the row order and the table.
    auto mono = MakeImage(11, -3, 1, 2);
    SetTableColor(mono->Infos, 1, Red);
    SetTableColor(mono->Infos, 2, Blue); // beyond biClrUsed, copied all the same
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 11; ++x)
            SetIndex(mono->Infos, x, y, (x + y) % 3 == 0);

    TOwnedInfos four, eight, rgb;
    Convert1BitRGBTo4BitRGB(mono->Infos, four.Infos);
    Convert1BitRGBTo8BitRGB(mono->Infos, eight.Infos);
    Convert1BitRGBToTrueColor(mono->Infos, rgb.Infos);
    for (const TOwnedInfos* result : {&four, &eight, &rgb}) {
        const BITMAPINFOHEADER& h = result->Infos.Header;
        EXPECT_EQ(h.biWidth, 11);
        EXPECT_EQ(h.biHeight, -3);
        EXPECT_EQ(h.biCompression, BI_RGB);
        EXPECT_EQ(h.biSizeImage, 0u);
        EXPECT_EQ(h.biClrUsed, 2u);
        EXPECT_EQ(result->Infos.ColorTable[1].rgbRed, 255);
        EXPECT_EQ(result->Infos.ColorTable[2].rgbBlue, 255);
        EXPECT_EQ(result->Infos.ImageSize, DIBRowLength(11, h.biBitCount) * 3);
    }
    EXPECT_EQ(four.Infos.Header.biBitCount, 4);
    EXPECT_EQ(eight.Infos.Header.biBitCount, 8);
    EXPECT_EQ(rgb.Infos.Header.biBitCount, 24);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 11; ++x) {
            const unsigned index = (x + y) % 3 == 0;
            EXPECT_EQ(GetIndex(four.Infos, x, y), index);
            EXPECT_EQ(GetIndex(eight.Infos, x, y), index);
            EXPECT_EQ(ColorAt(rgb.Infos, x, y), index ? Red : 0u);
        }
        // The odd width leaves the last byte's low nibble 0.
        EXPECT_EQ(DIBScanLine(four.Infos, y)[5] & 0x0F, 0);
    }
}

TEST(KvDIBConvert, FourBitExpansionsTakeTheHighNibbleFirst) {
    auto dib = MakeImage(5, 2, 4, 16);
    for (int i = 0; i < 16; ++i)
        SetTableColor(dib->Infos, i, 0x010203 * i);
    const std::uint8_t stored[2][4] = {{0x12, 0x34, 0x5F, 0}, {0xAB, 0xCD, 0xE0, 0}};
    std::memcpy(dib->Infos.Bits, stored, sizeof(stored));
    TOwnedInfos eight, rgb;
    Convert4BitRGBTo8BitRGB(dib->Infos, eight.Infos);
    Convert4BitRGBToTrueColor(dib->Infos, rgb.Infos);
    // The last pixel of a row of 5 comes from the high nibble of the third byte.
    EXPECT_EQ(StoredBytes(eight.Infos),
              (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0, 0, 0, 10, 11, 12, 13, 14, 0, 0, 0}));
    EXPECT_EQ(eight.Infos.Header.biClrUsed, 16u);
    const std::uint8_t* first = rgb.Infos.Bits;
    EXPECT_EQ(std::vector<std::uint8_t>(first, first + 6), (std::vector<std::uint8_t>{1, 2, 3, 2, 4, 6}));
    EXPECT_EQ(ColorAt(rgb.Infos, 4, 0), 0x010203u * 14);
}

TEST(KvDIBConvert, EightBitToTrueColorKeepsTheFullTable) {
    auto dib = MakeImage(3, 1, 8, 256);
    for (int i = 0; i < 256; ++i)
        SetTableColor(dib->Infos, i, 0x000100 * i + (255 - i));
    SetIndex(dib->Infos, 0, 0, 0);
    SetIndex(dib->Infos, 1, 0, 128);
    SetIndex(dib->Infos, 2, 0, 255);
    TOwnedInfos rgb;
    Convert8BitRGBToTrueColor(dib->Infos, rgb.Infos);
    EXPECT_EQ(rgb.Infos.Header.biBitCount, 24);
    EXPECT_EQ(rgb.Infos.Header.biClrUsed, 256u);
    EXPECT_EQ(std::memcmp(rgb.Infos.ColorTable, dib->Infos.ColorTable, sizeof(dib->Infos.ColorTable)), 0);
    EXPECT_EQ(ColorAt(rgb.Infos, 0, 0), 0x0000FFu);
    EXPECT_EQ(ColorAt(rgb.Infos, 1, 0), 0x00807Fu);
    EXPECT_EQ(ColorAt(rgb.Infos, 2, 0), 0x00FF00u);
    EXPECT_EQ(rgb.Infos.ImageSize, 12u);
}

TEST(KvDIBConvert, KeyColourReductionsKeepOnlyTheKey) {
    // 24 bits, width 35 (two stored 32-bit words per row), default key white.
    auto rgb = MakeImage(35, 2, 24, 0);
    for (int x = 0; x < 35; ++x) {
        SetColor(rgb->Infos, x, 0, x % 2 ? White : Red);
        SetColor(rgb->Infos, x, 1, x == 34 ? White : 0xFEFFFF);
    }
    TOwnedInfos mono;
    ConvertTrueColorTo1BitRGB(rgb->Infos, mono.Infos, White);
    const BITMAPINFOHEADER& h = mono.Infos.Header;
    EXPECT_EQ(h.biBitCount, 1);
    EXPECT_EQ(h.biClrUsed, 2u);
    EXPECT_EQ(mono.Infos.ImageSize, 16u);
    EXPECT_EQ(ColorAt(mono.Infos, 0, 0), 0u);
    EXPECT_EQ(ColorAt(mono.Infos, 1, 0), White);
    const std::uint8_t* top = DIBScanLine(mono.Infos, 0);
    EXPECT_EQ((std::vector<std::uint8_t>(top, top + 8)),
              (std::vector<std::uint8_t>{0x55, 0x55, 0x55, 0x55, 0x40, 0, 0, 0}));
    const std::uint8_t* bottom = DIBScanLine(mono.Infos, 1);
    EXPECT_EQ((std::vector<std::uint8_t>(bottom, bottom + 8)),
              (std::vector<std::uint8_t>{0, 0, 0, 0, 0x20, 0, 0, 0}));

    // An image without the key colour becomes all black.
    auto noKey = MakeImage(4, 2, 24, 0);
    SetColor(noKey->Infos, 1, 1, Blue);
    TOwnedInfos black;
    ConvertTrueColorTo1BitRGB(noKey->Infos, black.Infos, White);
    EXPECT_EQ(StoredBytes(black.Infos), std::vector<std::uint8_t>(8, 0));
}

TEST(KvDIBConvert, IndexedKeyReductionsMatchTableEntries) {
    // Two entries carry the key; the others of the 256 are kept in the result's table.
    auto dib = MakeImage(4, -2, 8, 5);
    SetTableColor(dib->Infos, 2, Red);
    SetTableColor(dib->Infos, 4, Red);
    SetTableColor(dib->Infos, 3, Blue);
    SetTableColor(dib->Infos, 200, Blue);
    const unsigned indices[2][4] = {{2, 3, 4, 0}, {4, 4, 1, 2}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            SetIndex(dib->Infos, x, y, indices[y][x]);
    TOwnedInfos mono;
    Convert8BitTo1BitRGB(dib->Infos, mono.Infos, Red);
    EXPECT_EQ(mono.Infos.Header.biHeight, -2);
    EXPECT_EQ(ColorAt(mono.Infos, 0, 1), White); // entry 1 is white now
    EXPECT_EQ(mono.Infos.ColorTable[0].rgbRed, 0);
    EXPECT_EQ(mono.Infos.ColorTable[200].rgbBlue, 255);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(GetIndex(mono.Infos, x, y), indices[y][x] == 2 || indices[y][x] == 4) << x << "," << y;

    auto nibbles = MakeImage(3, 1, 4, 16);
    SetTableColor(nibbles->Infos, 7, Blue);
    SetIndex(nibbles->Infos, 1, 0, 7);
    SetIndex(nibbles->Infos, 2, 0, 6);
    TOwnedInfos mono4;
    Convert4BitRGBTo1BitRGB(nibbles->Infos, mono4.Infos, Blue);
    EXPECT_EQ(StoredBytes(mono4.Infos), (std::vector<std::uint8_t>{0x40, 0, 0, 0}));
}

TEST(KvDIBConvert, ConvertersRefuseOtherSources) {
    auto rgb = MakeImage(2, 2, 24, 0);
    auto rle = MakeImage(2, 2, 8, 0);
    rle->Infos.Header.biCompression = BI_RLE8;
    auto four = MakeImage(2, 2, 4, 16);
    const std::size_t live = LiveFileMappings();
    const struct {
        void (*Convert)(const TKvDIBInfos&, TKvDIBInfos&);
        const TKvDIBInfos& Source;
        const char* Message;
    } cases[] = {
        {Convert1BitRGBTo4BitRGB, rgb->Infos,
         "Convert1BitRGBTo4BitRGB: Invalid Bitcount & Compression Combination"},
        {Convert1BitRGBTo8BitRGB, four->Infos,
         "Convert1BitRGBTo8BitRGB: Invalid Bitcount & Compression Combination"},
        {Convert4BitRGBTo8BitRGB, rle->Infos,
         "Convert4BitRGBTo8BitRGB: Invalid Bitcount & Compression Combination"},
        {Convert1BitRGBToTrueColor, rgb->Infos,
         "Convert1BitRGBToTrueColor: Invalid Bitcount & Compression Combination"},
        {Convert4BitRGBToTrueColor, rgb->Infos,
         "Convert4BitRGBToTrueColor: Invalid Bitcount & Compression Combination"},
        {Convert8BitRGBToTrueColor, rle->Infos,
         "Convert8BitRGBToTrueColor: Invalid Bitcount & Compression Combination"},
    };
    for (const auto& c : cases) {
        TKvDIBInfos result{};
        try {
            c.Convert(c.Source, result);
            ADD_FAILURE() << c.Message;
        } catch (const EKvDIBBadDIBType& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
    const struct {
        void (*Convert)(const TKvDIBInfos&, TKvDIBInfos&, TColor);
        const TKvDIBInfos& Source;
        const char* Message;
    } keyCases[] = {
        {ConvertTrueColorTo1BitRGB, four->Infos, "ConvertTrueColorTo1BitRGB: Invalid Bitcount"},
        {Convert8BitTo1BitRGB, rle->Infos, "Convert8BitTo1BitRGB: Invalid Bitcount or Compression"},
        {Convert4BitRGBTo1BitRGB, rgb->Infos, "Convert4BitRGBTo1BitRGB: Invalid Bitcount"},
    };
    for (const auto& c : keyCases) {
        TKvDIBInfos result{};
        try {
            c.Convert(c.Source, result, White);
            ADD_FAILURE() << c.Message;
        } catch (const EKvDIBBadDIBType& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
    EXPECT_EQ(LiveFileMappings(), live);
}

TEST(KvDIBConvert, StorageShorterThanItsRowsIsRefused) {
    // As a file may leave it: the header promises more rows than the storage holds.
    auto dib = MakeImage(8, 4, 8, 256);
    dib->Infos.ImageSize = 31;
    TKvDIBInfos result{};
    try {
        Convert8BitRGBToTrueColor(dib->Infos, result);
        FAIL() << "no exception";
    } catch (const EKvDIBInvalidDIB& e) {
        EXPECT_STREQ(e.what(), "Convert8BitRGBToTrueColor: Image Data is Shorter than its Rows");
    }
    EXPECT_THROW(Convert8BitRGBTo8BitRLE(dib->Infos, result), EKvDIBInvalidDIB);
    EXPECT_THROW(Convert8BitTo1BitRGB(dib->Infos, result, White), EKvDIBInvalidDIB);
}

} // namespace
