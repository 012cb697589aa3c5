// The RLE encoders: the exact code bytes of runs and literals, the limits of run and
// literal lengths, and the refusal of images that do not compress.
#include <gtest/gtest.h>

#include "KvDIBConvertTestImages.h"
#include "imagelib/KvDIBConverters.h"
#include "imagelib/KvDIBRleWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Encodes an image whose bottom row holds Units (pixel bytes, or nibble pairs at 4 bits)
// and whose FillerRows rows above it are 0; returns all code bytes.
Bytes Encode(int BitCount, int Width, const Bytes& Units, int FillerRows = 0) {
    auto dib = MakeImage(Width, 1 + FillerRows, BitCount, 0);
    std::memcpy(dib->Infos.Bits, Units.data(), Units.size());
    TOwnedInfos result;
    if (BitCount == 8)
        Convert8BitRGBTo8BitRLE(dib->Infos, result.Infos);
    else
        Convert4BitRGBTo4BitRLE(dib->Infos, result.Infos);
    EXPECT_EQ(result.Infos.Header.biSizeImage, result.Infos.ImageSize);
    return StoredBytes(result.Infos);
}

// The codes of one row of the given width, with ample room, up to its end of line. Narrow
// images never fit their own limit (each row costs at least its stride), so rows are also
// looked at on their own.
template <bool Rle4> Bytes RowCodes(int Width, const Bytes& Units) {
    Bytes out(1024);
    TRleWriter<Rle4> writer(out.data(), static_cast<std::int64_t>(out.size()), Width, "test");
    EncodeRow(writer, Units.data(), static_cast<std::int64_t>(Units.size()));
    out.resize(static_cast<std::size_t>(writer.Written()));
    return out;
}

// Codes of a row of zeros of the given pixel count, then its end of line.
Bytes ZeroRow(int Pixels) {
    return {static_cast<std::uint8_t>(Pixels), 0, 0, 0};
}

Bytes Concat(std::initializer_list<Bytes> Parts) {
    Bytes all;
    for (const Bytes& part : Parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes EndOfLine{0, 0};
const Bytes EndOfBitmap{0, 1};

TEST(KvDIBRleEncode, LongRunsSplitAtTheLargestCount) {
    EXPECT_EQ(Encode(8, 300, Bytes(300, 9)), (Bytes{255, 9, 45, 9, 0, 0, 0, 1}));
    // RLE4 runs hold at most 127 units, 254 pixels.
    EXPECT_EQ(Encode(4, 300, Bytes(150, 0x5A)), (Bytes{254, 0x5A, 46, 0x5A, 0, 0, 0, 1}));
}

TEST(KvDIBRleEncode, ShortRowsAndLiterals) {
    EXPECT_EQ(RowCodes<false>(5, {1, 2, 3, 4, 5}), (Bytes{0, 5, 1, 2, 3, 4, 5, 0, 0, 0}));
    EXPECT_EQ(RowCodes<false>(2, {1, 2}), (Bytes{1, 1, 1, 2, 0, 0}));
    EXPECT_EQ(RowCodes<false>(1, {7}), (Bytes{1, 7, 0, 0}));
    // A repeat ends the literal; the two bytes left of it are too short for an absolute run.
    EXPECT_EQ(RowCodes<false>(5, {1, 2, 3, 3, 3}), (Bytes{1, 1, 1, 2, 3, 3, 0, 0}));
    EXPECT_EQ(RowCodes<false>(5, {1, 2, 3, 4, 4}), (Bytes{0, 3, 1, 2, 3, 0, 2, 4, 0, 0}));
    // An even literal needs no padding byte.
    EXPECT_EQ(RowCodes<false>(6, {1, 2, 3, 4, 9, 9}), (Bytes{0, 4, 1, 2, 3, 4, 2, 9, 0, 0}));

    // The same rows inside whole images, with zero rows above for room.
    EXPECT_EQ(Encode(8, 5, {1, 2, 3, 4, 5}, 3),
              Concat({{0, 5, 1, 2, 3, 4, 5, 0}, EndOfLine, ZeroRow(5), ZeroRow(5), ZeroRow(5), EndOfBitmap}));
    EXPECT_EQ(Encode(8, 6, {5, 5, 5, 5, 1, 2}, 3),
              Concat({{4, 5, 1, 1, 1, 2}, EndOfLine, ZeroRow(6), ZeroRow(6), ZeroRow(6), EndOfBitmap}));
    EXPECT_EQ(Encode(8, 6, {5, 5, 5, 5, 5, 7}, 3),
              Concat({{5, 5, 1, 7}, EndOfLine, ZeroRow(6), ZeroRow(6), ZeroRow(6), EndOfBitmap}));
}

TEST(KvDIBRleEncode, Rle4CountsStopAtTheRowEnd) {
    EXPECT_EQ(RowCodes<true>(5, {0x11, 0x11, 0x10}), (Bytes{4, 0x11, 1, 0x10, 0, 0}));
    EXPECT_EQ(RowCodes<true>(5, {0x11, 0x11, 0x11}), (Bytes{5, 0x11, 0, 0}));
    // A literal at the end of an odd-width row counts one pixel less than its units.
    EXPECT_EQ(RowCodes<true>(7, {0x12, 0x34, 0x56, 0x70}), (Bytes{0, 7, 0x12, 0x34, 0x56, 0x70, 0, 0}));
    // A single unit is written as a run of its two pixels.
    EXPECT_EQ(RowCodes<true>(6, {0x12, 0x34, 0x34}), (Bytes{2, 0x12, 4, 0x34, 0, 0}));
    // In a whole image: width 13, so the zero rows above hold 7 units each.
    EXPECT_EQ(Encode(4, 13, {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x10}, 2),
              Concat({{12, 0x11, 1, 0x10}, EndOfLine, ZeroRow(13), ZeroRow(13), EndOfBitmap}));
}

TEST(KvDIBRleEncode, FullLiteralsAreWrittenAndRestarted) {
    // 200 distinct neighbouring bytes: a literal of 127 units (254 pixels), then one of 73.
    Bytes row(200);
    for (int i = 0; i < 200; ++i)
        row[i] = static_cast<std::uint8_t>(i);
    const Bytes codes = Encode(4, 400, row, 1);
    Bytes expected{0, 254};
    expected.insert(expected.end(), row.begin(), row.begin() + 127);
    expected.insert(expected.end(), {0, 0, 146});
    expected.insert(expected.end(), row.begin() + 127, row.end());
    expected.insert(expected.end(), {0, 0, 0});
    expected.insert(expected.end(), {254, 0, 146, 0, 0, 0, 0, 1});
    EXPECT_EQ(codes, expected);

    // A repeat right after a full RLE8 literal takes its last byte into a run of two.
    Bytes full(256);
    for (int i = 0; i < 255; ++i)
        full[i] = static_cast<std::uint8_t>(i);
    full[255] = 254;
    const Bytes codes8 = Encode(8, 256, full, 1);
    Bytes expected8{0, 254};
    expected8.insert(expected8.end(), full.begin(), full.begin() + 254);
    expected8.insert(expected8.end(), {2, 254, 0, 0, 255, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(codes8, expected8);
}

TEST(KvDIBRleEncode, TopDownImagesEncodeBottomRowFirst) {
    auto dib = MakeImage(8, -3, 8, 256);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            SetIndex(dib->Infos, x, y, 10 + y);
    TOwnedInfos rle;
    Convert8BitRGBTo8BitRLE(dib->Infos, rle.Infos);
    EXPECT_EQ(rle.Infos.Header.biHeight, 3);
    EXPECT_EQ(rle.Infos.Header.biCompression, BI_RLE8);
    EXPECT_EQ(rle.Infos.Header.biClrUsed, 256u);
    EXPECT_EQ(StoredBytes(rle.Infos), (Bytes{8, 12, 0, 0, 8, 11, 0, 0, 8, 10, 0, 0, 0, 1}));

    TOwnedInfos back;
    Convert8BitRLETo8BitRGB(rle.Infos, back.Infos);
    EXPECT_EQ(back.Infos.Header.biHeight, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(GetIndex(back.Infos, x, y), 10u + y);
}

TEST(KvDIBRleEncode, ImagesThatDoNotCompressFailWithoutLeftovers) {
    auto noisy = MakeImage(16, 4, 8, 256);
    auto single = MakeImage(1, 1, 8, 2);
    auto single4 = MakeImage(1, 1, 4, 2);
    const std::size_t live = LiveFileMappings();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            SetIndex(noisy->Infos, x, y, (x + y) % 2 ? x : 200 + y);
    const Bytes before = StoredBytes(noisy->Infos);
    TKvDIBInfos result{};
    try {
        Convert8BitRGBTo8BitRLE(noisy->Infos, result);
        FAIL() << "no exception";
    } catch (const EKvDIBCompressionFailed& e) {
        EXPECT_STREQ(e.what(), "Convert8BitRGBTo8BitRLE: Compression Failed");
    }
    EXPECT_EQ(result.Bits, nullptr);
    EXPECT_EQ(StoredBytes(noisy->Infos), before);
    EXPECT_EQ(LiveFileMappings(), live);

    // One pixel has 4 bytes of room, and a run needs 6 bytes of space.
    EXPECT_THROW(Convert8BitRGBTo8BitRLE(single->Infos, result), EKvDIBCompressionFailed);
    try {
        Convert4BitRGBTo4BitRLE(single4->Infos, result);
        FAIL() << "no exception";
    } catch (const EKvDIBCompressionFailed& e) {
        EXPECT_STREQ(e.what(), "Convert4BitRGBTo4BitRLE: Compression Failed");
    }
    EXPECT_EQ(LiveFileMappings(), live);
}

TEST(KvDIBRleEncode, SpaceTestsKeepRoomForTheClosingCodes) {
    // 8 x 1: a run of 8 gives 2 + 2 + 2 = 6 code bytes within the 8 of the image.
    EXPECT_EQ(Encode(8, 8, Bytes(8, 3)), (Bytes{8, 3, 0, 0, 0, 1}));
    // 4 x 1 (4 bytes): the run alone needs 6 bytes of space.
    EXPECT_THROW(Encode(8, 4, Bytes(4, 3)), EKvDIBCompressionFailed);
    // Two rows of 4 (8 bytes): the second row's run finds 4 bytes left, less than 6.
    EXPECT_THROW(Encode(8, 4, Bytes(4, 3), 1), EKvDIBCompressionFailed);
}

TEST(KvDIBRleEncode, SourcesOfTheWrongKindAreRefused) {
    TKvDIBInfos result{};
    auto rgb4 = MakeImage(4, 1, 4, 16);
    auto rgb24 = MakeImage(4, 1, 24, 0);
    try {
        Convert8BitRGBTo8BitRLE(rgb4->Infos, result);
        FAIL() << "no exception";
    } catch (const EKvDIBBadDIBType& e) {
        EXPECT_STREQ(e.what(), "Convert8BitRGBTo8BitRLE: Invalid Bitcount & Compression Combination");
    }
    try {
        Convert4BitRGBTo4BitRLE(rgb24->Infos, result);
        FAIL() << "no exception";
    } catch (const EKvDIBBadDIBType& e) {
        EXPECT_STREQ(e.what(), "Convert4BitRGBTo4BitRLE: Invalid Bitcount & Compression Combination");
    }
    // Already compressed data is not an uncompressed source.
    auto rgb8 = MakeImage(4, 1, 8, 0);
    rgb8->Infos.Header.biCompression = BI_RLE8;
    EXPECT_THROW(Convert8BitRGBTo8BitRLE(rgb8->Infos, result), EKvDIBBadDIBType);
}

} // namespace
