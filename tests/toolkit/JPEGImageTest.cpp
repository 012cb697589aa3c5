#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/JpegFiles.h"
#include "toolkit/graphics/JPEGImage.h"

namespace {

enum TCoding { Baseline, Progressive, Arithmetic, ManyScans };

// Encodes a picture with libjpeg itself: 16 x 16 blocks of flat colours.
std::vector<std::uint8_t> MakeJpeg(int Width, int Height, bool Grey, TCoding Coding) {
    std::vector<jpeg_scan_info> script;
    const auto adjust = [&](jpeg_compress_struct& cinfo) {
        if (Coding == ManyScans) {
            // One scan per AC coefficient and component: far more scans than any real file.
            script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
            for (int c = 0; c < 3; ++c)
                for (int k = 1; k < 64; ++k)
                    script.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
            cinfo.scan_info = script.data();
            cinfo.num_scans = static_cast<int>(script.size());
        } else if (Coding == Progressive) {
            jpeg_simple_progression(&cinfo);
        } else if (Coding == Arithmetic) {
            cinfo.arith_code = TRUE;
        }
    };
    const auto fill = [&](int y, unsigned char* row) {
        for (int x = 0; x < Width; ++x) {
            const int block = (x / 16 + y / 16) % 3;
            if (Grey) {
                row[x] = block * 100;
            } else {
                row[x * 3 + 0] = block == 0 ? 250 : 10;
                row[x * 3 + 1] = block == 1 ? 250 : 10;
                row[x * 3 + 2] = block == 2 ? 250 : 10;
            }
        }
    };
    return EncodeJpegRows(Width, Height, Grey ? 1 : 3, fill, adjust);
}

// The cheapest picture there is to code: flat grey 128, whose DC coefficients are all 0,
// with Huffman tables fitted to it, so that every symbol takes one bit. Sequential: two
// bits per block; progressive with one DC scan and no AC scan: one bit per block.
std::vector<std::uint8_t> MakeFlattestJpeg(int Width, int Height, bool Progressive) {
    static jpeg_scan_info dcOnly{1, {0, 0, 0, 0}, 0, 0, 0, 0};
    const auto adjust = [&](jpeg_compress_struct& cinfo) {
        cinfo.optimize_coding = TRUE;
        if (Progressive) {
            cinfo.scan_info = &dcOnly;
            cinfo.num_scans = 1;
        }
    };
    return EncodeJpegRows(
        Width, Height, 1, [&](int, unsigned char* row) { std::fill(row, row + Width, 128); }, adjust);
}

// Rewrites the frame header's height and width.
void SetFrameSize(std::vector<std::uint8_t>& Bytes, int Width, int Height) {
    for (std::size_t i = 0; i + 8 < Bytes.size(); ++i) {
        const std::uint8_t marker = Bytes[i + 1];
        if (Bytes[i] == 0xFF && (marker == 0xC0 || marker == 0xC2 || marker == 0xC9)) {
            Bytes[i + 5] = static_cast<std::uint8_t>(Height >> 8);
            Bytes[i + 6] = static_cast<std::uint8_t>(Height);
            Bytes[i + 7] = static_cast<std::uint8_t>(Width >> 8);
            Bytes[i + 8] = static_cast<std::uint8_t>(Width);
            return;
        }
    }
    FAIL() << "no frame header";
}

void Load(TJPEGImage& Jpeg, const std::vector<std::uint8_t>& Bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
    stream.SetPosition(0);
    Jpeg.LoadFromStream(stream);
}

bool Near(QRgb Pixel, int R, int G, int B, int Tolerance = 3) {
    return std::abs(qRed(Pixel) - R) <= Tolerance && std::abs(qGreen(Pixel) - G) <= Tolerance &&
           std::abs(qBlue(Pixel) - B) <= Tolerance;
}

} // namespace

TEST(JPEGImageTest, DecodesBaselineProgressiveAndGrey) {
    for (TCoding coding : {Baseline, Progressive, Arithmetic}) {
        TJPEGImage jpeg;
        Load(jpeg, MakeJpeg(48, 32, false, coding));
        ASSERT_EQ(jpeg.GetWidth(), 48);
        ASSERT_EQ(jpeg.GetHeight(), 32);
        const QImage& image = jpeg.Bitmap().Image();
        EXPECT_TRUE(Near(image.pixel(4, 4), 250, 10, 10));
        EXPECT_TRUE(Near(image.pixel(20, 4), 10, 250, 10));
        EXPECT_TRUE(Near(image.pixel(36, 4), 10, 10, 250));
        EXPECT_TRUE(Near(image.pixel(4, 20), 10, 250, 10));
    }
    TJPEGImage grey;
    Load(grey, MakeJpeg(32, 16, true, Baseline));
    EXPECT_TRUE(Near(grey.Bitmap().Image().pixel(20, 4), 100, 100, 100));
}

// CMYK and YCCK files as libjpeg writes them: without an Adobe marker the inks are stored
// as they are, with one inverted (255 no ink), as Adobe's programs store them.
TEST(JPEGImageTest, DecodesCmykPicturesToRgb) {
    enum TForm { Plain, Adobe, AdobeYcck };
    for (TForm form : {Plain, Adobe, AdobeYcck}) {
        SCOPED_TRACE(form);
        const auto ink = [&](int Value) { return std::uint8_t(form == Plain ? Value : 255 - Value); };
        // Left half red (magenta and yellow ink), right half half-black.
        const auto fill = [&](int, unsigned char* row) {
            for (int x = 0; x < 32; ++x) {
                const bool red = x < 16;
                row[4 * x + 0] = ink(0);
                row[4 * x + 1] = ink(red ? 255 : 0);
                row[4 * x + 2] = ink(red ? 255 : 0);
                row[4 * x + 3] = ink(red ? 0 : 128);
            }
        };
        const auto adjust = [&](jpeg_compress_struct& cinfo) {
            if (form == Plain) cinfo.write_Adobe_marker = FALSE;
            if (form == AdobeYcck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
        };
        TJPEGImage jpeg;
        Load(jpeg, EncodeJpegRows(32, 16, 4, fill, adjust));
        ASSERT_EQ(jpeg.GetWidth(), 32);
        const QImage& image = jpeg.Bitmap().Image();
        EXPECT_TRUE(Near(image.pixel(4, 8), 255, 0, 0)) << std::hex << image.pixel(4, 8);
        EXPECT_TRUE(Near(image.pixel(28, 8), 127, 127, 127)) << std::hex << image.pixel(28, 8);
        EXPECT_EQ(qAlpha(image.pixel(28, 8)), 255);
    }
}

TEST(JPEGImageTest, CopiesIntoABitmap) {
    TJPEGImage jpeg;
    Load(jpeg, MakeJpeg(32, 16, false, Baseline));
    TBitmap bitmap;
    bitmap.Assign(&jpeg);
    ASSERT_EQ(bitmap.GetWidth(), 32);
    ASSERT_EQ(bitmap.GetHeight(), 16);
    EXPECT_EQ(bitmap.Image().pixel(20, 4), jpeg.Bitmap().Image().pixel(20, 4));
}

TEST(JPEGImageTest, DamagedFilesAreRefusedAndChangeNothing) {
    TJPEGImage jpeg;
    Load(jpeg, MakeJpeg(16, 16, false, Baseline));
    const QImage before = jpeg.Bitmap().Image().copy();

    const std::vector<std::uint8_t> good = MakeJpeg(64, 64, false, Baseline);
    const std::vector<std::uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
    const std::vector<std::uint8_t> garbage = {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'};
    for (const auto& bytes : {truncated, garbage}) {
        EXPECT_THROW(Load(jpeg, bytes), EJPEG);
        EXPECT_EQ(jpeg.Bitmap().Image(), before);
    }
}

std::string RefusalOf(const std::vector<std::uint8_t>& Bytes) {
    TJPEGImage jpeg;
    try {
        Load(jpeg, Bytes);
    } catch (const EJPEG& e) {
        return e.what();
    }
    return "accepted";
}

TEST(JPEGImageTest, RefusesHugeDimensionsBeforeDecoding) {
    std::vector<std::uint8_t> bytes = MakeJpeg(16, 16, false, Baseline);
    SetFrameSize(bytes, 60000, 60000);
    EXPECT_NE(RefusalOf(bytes).find("too large"), std::string::npos);
}

// The reader's caller decides from the size alone what it can hold of a picture.
TEST(JPEGImageTest, RefusesASizeItsCallerCannotHoldAsTooLarge) {
    TJPEGImage jpeg;
    Load(jpeg, MakeJpeg(16, 16, false, Baseline));
    const QImage before = jpeg.Bitmap().Image();
    std::vector<std::pair<int, int>> asked;
    jpeg.SizeFits = [&](int Width, int Height) {
        asked.emplace_back(Width, Height);
        return Width <= 40;
    };
    try {
        Load(jpeg, MakeJpeg(48, 32, false, Baseline));
        ADD_FAILURE() << "accepted";
    } catch (const EJPEG& e) {
        EXPECT_STREQ(e.what(), "JPEG image is too large (48 x 32)");
    }
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{48, 32}}));
    EXPECT_EQ(jpeg.Bitmap().Image(), before);
    Load(jpeg, MakeJpeg(40, 8, false, Baseline));
    EXPECT_EQ(jpeg.GetWidth(), 40);
}

// A few hundred bytes that declare 16000 x 16000 are refused from the header, before the
// picture is made; libjpeg itself would only notice the missing data while decoding.
TEST(JPEGImageTest, RefusesSizesItsDataCannotHold) {
    for (TCoding coding : {Baseline, Progressive}) {
        std::vector<std::uint8_t> bytes = MakeJpeg(16, 16, false, coding);
        SetFrameSize(bytes, 16000, 16000);
        EXPECT_NE(RefusalOf(bytes).find("too short for a 16000 x 16000 image"), std::string::npos) << coding;
    }
}

// The size check allows exactly the least data the format can code a picture in.
TEST(JPEGImageTest, OpensTheFlattestPicturesAndNoLargerSize) {
    for (bool progressive : {false, true}) {
        std::vector<std::uint8_t> bytes = MakeFlattestJpeg(512, 512, progressive);
        TJPEGImage jpeg;
        Load(jpeg, bytes);
        EXPECT_EQ(jpeg.GetHeight(), 512);
        EXPECT_TRUE(Near(jpeg.Bitmap().Image().pixel(300, 400), 128, 128, 128));

        SetFrameSize(bytes, 512, 1024);
        EXPECT_NE(RefusalOf(bytes).find("too short"), std::string::npos) << progressive;
    }
}

// Arithmetic coding codes a flat picture in a few bytes, far below a bit per block.
TEST(JPEGImageTest, OpensFlatArithmeticCodedPictures) {
    const auto arithmetic = [](jpeg_compress_struct& cinfo) { cinfo.arith_code = TRUE; };
    const std::vector<std::uint8_t> white = EncodeJpegRows(
        1024, 768, 3, [](int, unsigned char* row) { std::fill(row, row + 3 * 1024, 255); }, arithmetic);
    const std::vector<std::uint8_t> grey = EncodeJpegRows(
        1024, 1024, 1, [](int, unsigned char* row) { std::fill(row, row + 1024, 128); }, arithmetic);
    ASSERT_LT(white.size(), 300u);
    ASSERT_LT(grey.size(), 200u);
    TJPEGImage jpeg;
    Load(jpeg, white);
    EXPECT_EQ(jpeg.GetHeight(), 768);
    EXPECT_TRUE(Near(jpeg.Bitmap().Image().pixel(1000, 700), 255, 255, 255));
    Load(jpeg, grey);
    EXPECT_EQ(jpeg.GetHeight(), 1024);
    EXPECT_TRUE(Near(jpeg.Bitmap().Image().pixel(1000, 1000), 128, 128, 128));
}

TEST(JPEGImageTest, StopsAfterAHundredScans) {
    TJPEGImage jpeg;
    EXPECT_THROW(Load(jpeg, MakeJpeg(16, 16, false, ManyScans)), EJPEG);
}

TEST(JPEGImageTest, SavesWhatLoadsBack) {
    TJPEGImage jpeg;
    Load(jpeg, MakeJpeg(32, 32, false, Baseline));
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    stream.SetPosition(0);
    TJPEGImage again;
    again.LoadFromStream(stream);
    // Saved at quality 90 with subsampled colour: near, not exact.
    EXPECT_TRUE(Near(again.Bitmap().Image().pixel(24, 8), 10, 250, 10, 16));
}
