// The RLE decoders: what each code writes, the checks against the image's bounds and
// the data's end, and round trips through the encoders.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <random>

#include "KvDIBConvertTestImages.h"
#include "KvDIBTestFiles.h"
#include "imagelib/KvDIBConverters.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Decode(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    if (Source.Header.biBitCount == 8)
        Convert8BitRLETo8BitRGB(Source, Result);
    else
        Convert4BitRLETo4BitRGB(Source, Result);
}

// Indices of every pixel, image row by image row.
std::vector<Bytes> Pixels(const TKvDIBInfos& Infos) {
    std::vector<Bytes> rows;
    for (int y = 0; y < int(DIBRowCount(Infos.Header)); ++y) {
        Bytes row;
        for (int x = 0; x < Infos.Header.biWidth; ++x)
            row.push_back(static_cast<std::uint8_t>(GetIndex(Infos, x, y)));
        rows.push_back(row);
    }
    return rows;
}

// Decoded pixels of Codes for an image of Width x Height (bottom-up), stored row 0 first.
std::vector<Bytes> DecodedStoredRows(int BitCount, int Width, int Height, const Bytes& Codes) {
    TOwnedInfos rle;
    MakeRleInfos(rle, Width, Height, BitCount, Codes);
    TOwnedInfos result;
    Decode(rle.Infos, result.Infos);
    EXPECT_EQ(result.Infos.Header.biCompression, BI_RGB);
    EXPECT_EQ(result.Infos.Header.biSizeImage, 0u);
    EXPECT_EQ(result.Infos.ImageSize, DIBRowLength(Width, BitCount) * Height);
    std::vector<Bytes> rows = Pixels(result.Infos);
    return std::vector<Bytes>(rows.rbegin(), rows.rend());
}

// The message of the exception that decoding Codes raises (empty when none).
std::string DecodeError(int BitCount, int Width, int Height, const Bytes& Codes) {
    const std::size_t live = LiveFileMappings();
    TOwnedInfos rle;
    MakeRleInfos(rle, Width, Height, BitCount, Codes);
    TKvDIBInfos result{};
    std::string message;
    try {
        Decode(rle.Infos, result);
        ReleaseConvertedInfos(result);
    } catch (const EKvDIBInvalidDIB& e) {
        message = e.what();
        EXPECT_EQ(result.Bits, nullptr);
    }
    // Only the compressed input itself is still held.
    EXPECT_EQ(LiveFileMappings(), live + 1);
    return message;
}

TEST(KvDIBRleDecode, CodesWritePixelsFromTheFirstStoredRow) {
    // Encoded run, absolute run with its padding byte, delta, early end of line.
    const Bytes codes{3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 0, 1, 4, 0, 1};
    EXPECT_EQ(
        DecodedStoredRows(8, 6, 4, codes),
        (std::vector<Bytes>{{7, 7, 7, 1, 2, 3}, {0, 0, 0, 0, 0, 0}, {0, 0, 9, 9, 0, 0}, {4, 0, 0, 0, 0, 0}}));
    // RLE4: runs alternate the nibbles of their value, absolute runs take them in order.
    const Bytes codes4{5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1};
    EXPECT_EQ(DecodedStoredRows(4, 5, 2, codes4), (std::vector<Bytes>{{1, 2, 1, 2, 1}, {3, 4, 5, 6, 7}}));
}

TEST(KvDIBRleDecode, Rle4WritesNibbleByNibble) {
    // A delta to an odd x: the run's first pixel lands in the low nibble of byte x div 2,
    // starting with the high nibble of its value.
    TOwnedInfos rle;
    MakeRleInfos(rle, 8, 1, 4, {0, 2, 3, 0, 3, 0xAB, 0, 1});
    TOwnedInfos result;
    Convert4BitRLETo4BitRGB(rle.Infos, result.Infos);
    EXPECT_EQ(StoredBytes(result.Infos), (Bytes{0x00, 0x0A, 0xBA, 0x00}));

    // An absolute run from an odd x, and a run that fills the padding nibble of an odd width.
    TOwnedInfos rle2;
    MakeRleInfos(rle2, 7, 1, 4, {1, 0xF0, 0, 3, 0x12, 0x30, 3, 0xCD, 0, 1});
    TOwnedInfos result2;
    Convert4BitRLETo4BitRGB(rle2.Infos, result2.Infos);
    EXPECT_EQ(StoredBytes(result2.Infos), (Bytes{0xF1, 0x23, 0xCD, 0xC0}));
}

TEST(KvDIBRleDecode, EndOfLineAfterTheLastRowIsAllowed) {
    EXPECT_EQ(DecodedStoredRows(8, 2, 1, {2, 5, 0, 0, 0, 1}), (std::vector<Bytes>{{5, 5}}));
    EXPECT_EQ(DecodeError(8, 2, 1, {2, 5, 0, 0, 1, 1, 0, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data 4");
    EXPECT_EQ(DecodeError(4, 2, 1, {2, 5, 0, 0, 1, 1, 0, 1}), "Convert4BitRLETo4BitRGB: Bad RLE Data 8");
    // A delta may land exactly on the row end or below the last row, as long as nothing is written.
    EXPECT_EQ(DecodedStoredRows(8, 2, 1, {0, 2, 2, 1, 0, 1}), (std::vector<Bytes>{{0, 0}}));
}

TEST(KvDIBRleDecode, BadDataIsRefusedWithItsMessage) {
    const struct {
        Bytes Codes;
        int Fault;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 1}, 1},       // end of line past the last row
        {{0, 2, 5, 0, 0, 1}, 2},             // delta past the row end
        {{0, 2, 0, 3, 0, 1}, 2},             // delta past the last row
        {{2, 1, 0, 3, 1, 2, 3, 0, 0, 1}, 3}, // absolute run past the row end
        {{0, 0, 0, 0, 0, 3, 1, 2, 3, 0}, 3}, // absolute run below the last row
        {{3, 1, 3, 1, 0, 1}, 4},             // encoded run past the row end
        {{0, 2, 0, 2, 1, 1, 0, 1}, 4},       // encoded run below the last row
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeError(8, 4, 2, c.Codes),
                  "Convert8BitRLETo8BitRGB: Bad RLE Data " + std::to_string(c.Fault));
        EXPECT_EQ(DecodeError(4, 4, 2, c.Codes),
                  "Convert4BitRLETo4BitRGB: Bad RLE Data " + std::to_string(c.Fault + 4));
    }
    // RLE8 stops at the width; RLE4 may fill the padding nibble, but not a pixel beyond it.
    EXPECT_EQ(DecodeError(8, 5, 1, {6, 1, 0, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data 4");
    EXPECT_EQ(DecodeError(4, 5, 1, {6, 1, 0, 1}), "");
    EXPECT_EQ(DecodeError(4, 5, 1, {7, 1, 0, 1}), "Convert4BitRLETo4BitRGB: Bad RLE Data 8");
    EXPECT_EQ(DecodeError(4, 5, 1, {0, 2, 6, 0, 0, 1}), "");
    EXPECT_EQ(DecodeError(4, 5, 1, {0, 2, 7, 0, 0, 1}), "Convert4BitRLETo4BitRGB: Bad RLE Data 6");
}

TEST(KvDIBRleDecode, DataIsNeverReadPastItsEnd) {
    // Without an end of bitmap, each kind of cut is reported as the code it cut.
    EXPECT_EQ(DecodeError(8, 4, 2, {2, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data 1");
    EXPECT_EQ(DecodeError(8, 4, 2, {2, 1, 0}), "Convert8BitRLETo8BitRGB: Bad RLE Data 1");
    EXPECT_EQ(DecodeError(8, 4, 2, {0, 2, 1}), "Convert8BitRLETo8BitRGB: Bad RLE Data 2");
    EXPECT_EQ(DecodeError(8, 4, 2, {0, 3, 1, 2, 3}), "Convert8BitRLETo8BitRGB: Bad RLE Data 3");
    EXPECT_EQ(DecodeError(4, 4, 2, {0, 0}), "Convert4BitRLETo4BitRGB: Bad RLE Data 5");
    EXPECT_EQ(DecodeError(4, 4, 2, {0, 2, 1}), "Convert4BitRLETo4BitRGB: Bad RLE Data 6");
    EXPECT_EQ(DecodeError(4, 8, 2, {0, 5, 0x12, 0x34, 0x50}), "Convert4BitRLETo4BitRGB: Bad RLE Data 7");
    // A header may promise more than the library holds: 40000 x 30000 bytes pass 1 GiB.
    EXPECT_EQ(DecodeError(8, 40000, 30000, {0, 1}), "Convert8BitRLETo8BitRGB: Image is too Large");
    EXPECT_EQ(DecodeError(4, 80000, -30000, {0, 1}), "Convert4BitRLETo4BitRGB: Image is too Large");
    // A whole page of codes that never end: the decoder stops at the page's end.
    Bytes page;
    while (page.size() < 4096)
        page.insert(page.end(), {0, 2, 0, 0});
    EXPECT_EQ(DecodeError(8, 4, 2, page), "Convert8BitRLETo8BitRGB: Bad RLE Data 1");
}

// Minor page faults of the process so far: storage costs one per page first touched.
long PageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// A file of about a hundred bytes may declare the largest picture the library holds: what
// its codes do not reach stays 0, a picture like any other. Reading and decoding it costs
// what the codes write, not the declared area (a whole gigabyte would be 262144 pages).
// The address sanitizer writes a shadow byte for every eight bytes of a heap block when the
// block is made; a build without it writes none.
long SanitizerShadowPages(std::size_t Bytes) {
#if defined(__SANITIZE_ADDRESS__)
    return long(Bytes / 8 / 4096);
#else
    (void)Bytes;
    return 0;
#endif
}

TEST(KvDIBRleDecode, WorkFollowsTheCodesNotTheDeclaredSize) {
    for (int bitCount : {4, 8}) {
        TTestDIB file{.Width = bitCount == 4 ? 65536 : 32768,
                      .Height = 32767,
                      .BitCount = static_cast<std::uint16_t>(bitCount),
                      .Compression = static_cast<std::uint32_t>(bitCount == 4 ? BI_RLE4 : BI_RLE8),
                      .ClrUsed = 2,
                      .Table = GrayishTable(2)};
        for (int row = 0; row < 25; ++row)
            file.Pixels.insert(file.Pixels.end(), {3, 0x11, 0, 0});
        file.Pixels.insert(file.Pixels.end(), {0, 2, 0, 200, 0, 1});
        ASSERT_EQ(file.Pixels.size(), 106u);

        TKvDIB dib;
        TMemoryStream stream = StreamOf(file.File());
        const long before = PageFaults();
        dib.LoadFromStream(stream);
        dib.SetPixelFormat(bitCount == 4 ? kvpf4Bit : kvpf8Bit);
        ASSERT_EQ(dib.InternalDIB->Infos.ImageSize, DIBRowLength(file.Width, bitCount) * 32767);
        EXPECT_LT(PageFaults() - before, 2000 + SanitizerShadowPages(dib.InternalDIB->Infos.ImageSize))
            << bitCount;
        EXPECT_EQ(dib.GetPixels(2, 32767 - 1 - 24), bitCount == 4 ? 1 : 0x11);
        EXPECT_EQ(dib.GetPixels(3, 32767 - 1 - 24), 0);
        EXPECT_EQ(dib.GetPixels(file.Width - 1, 0), 0);
    }
}

TEST(KvDIBRleDecode, SourcesOfTheWrongKindAreRefused) {
    TKvDIBInfos result{};
    TOwnedInfos rle8;
    MakeRleInfos(rle8, 4, 1, 8, {4, 1, 0, 1});
    try {
        Convert4BitRLETo4BitRGB(rle8.Infos, result);
        FAIL() << "no exception";
    } catch (const EKvDIBBadDIBType& e) {
        EXPECT_STREQ(e.what(), "Convert4BitRLETo4BitRGB: Invalid Bitcount & Compression Combination");
    }
    auto plain = MakeImage(4, 1, 8, 0);
    try {
        Convert8BitRLETo8BitRGB(plain->Infos, result);
        FAIL() << "no exception";
    } catch (const EKvDIBBadDIBType& e) {
        EXPECT_STREQ(e.what(), "Convert8BitRLETo8BitRGB: Invalid Bitcount & Compression Combination");
    }
}

// Rows of runs and short literals, so that the images compress.
void FillCompressible(TKvDIBInfos& Infos, std::mt19937& Random) {
    const int maxIndex = Infos.Header.biBitCount == 8 ? 255 : 15;
    const int width = Infos.Header.biWidth;
    for (int y = 0; y < int(DIBRowCount(Infos.Header)); ++y) {
        int x = 0;
        while (x < width) {
            const bool literal = Random() % 4 == 0;
            const int length = literal ? 1 + int(Random() % 5) : 4 + int(Random() % 300);
            const unsigned value = Random() % (maxIndex + 1);
            for (int i = 0; i < length && x < width; ++i, ++x)
                SetIndex(Infos, x, y, literal ? unsigned(Random() % (maxIndex + 1)) : value);
        }
    }
}

TEST(KvDIBRleDecode, RandomImagesSurviveARoundTrip) {
    std::mt19937 random(1234);
    const std::size_t live = LiveFileMappings();
    int encoded = 0;
    for (int round = 0; round < 120; ++round) {
        const int bitCount = round % 2 ? 4 : 8;
        const int width = 1 + int(random() % 700);
        const int rows = 1 + int(random() % 40);
        const int height = round % 4 < 2 ? rows : -rows;
        auto dib = MakeImage(width, height, bitCount, bitCount == 8 ? 256 : 16);
        FillCompressible(dib->Infos, random);
        TOwnedInfos rle;
        try {
            if (bitCount == 8)
                Convert8BitRGBTo8BitRLE(dib->Infos, rle.Infos);
            else
                Convert4BitRGBTo4BitRLE(dib->Infos, rle.Infos);
        } catch (const EKvDIBCompressionFailed&) {
            continue; // narrow images cannot fit their own size
        }
        ++encoded;
        ASSERT_EQ(rle.Infos.Header.biHeight, rows);
        ASSERT_LE(rle.Infos.ImageSize, dib->Infos.ImageSize);
        TOwnedInfos back;
        Decode(rle.Infos, back.Infos);
        ASSERT_EQ(back.Infos.Header.biHeight, rows);
        ASSERT_EQ(Pixels(back.Infos), Pixels(dib->Infos)) << "width " << width << " height " << height;
        // The padding nibble of an odd 4-bit width is never written.
        if (bitCount == 4 && width % 2) {
            for (int y = 0; y < rows; ++y)
                ASSERT_EQ(DIBScanLine(back.Infos, y)[width / 2] & 0x0F, 0);
        }
    }
    EXPECT_GT(encoded, 100);
    EXPECT_EQ(LiveFileMappings(), live);
}

} // namespace
