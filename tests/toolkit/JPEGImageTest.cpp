#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "common/JpegFiles.h"
#include "toolkit/graphics/JPEGImage.h"

namespace {

// Encodes a picture with libjpeg itself: 16 x 16 blocks of flat colours.
std::vector<std::uint8_t> MakeJpeg(int Width, int Height, bool Grey, bool Progressive,
                                   bool ManyScans = false) {
    std::vector<jpeg_scan_info> script;
    const auto adjust = [&](jpeg_compress_struct& cinfo) {
        if (ManyScans) {
            // One scan per AC coefficient and component: far more scans than any real file.
            script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
            for (int c = 0; c < 3; ++c)
                for (int k = 1; k < 64; ++k)
                    script.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
            cinfo.scan_info = script.data();
            cinfo.num_scans = static_cast<int>(script.size());
        } else if (Progressive) {
            jpeg_simple_progression(&cinfo);
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
    for (bool progressive : {false, true}) {
        TJPEGImage jpeg;
        Load(jpeg, MakeJpeg(48, 32, false, progressive));
        ASSERT_EQ(jpeg.GetWidth(), 48);
        ASSERT_EQ(jpeg.GetHeight(), 32);
        const QImage& image = jpeg.Bitmap().Image();
        EXPECT_TRUE(Near(image.pixel(4, 4), 250, 10, 10));
        EXPECT_TRUE(Near(image.pixel(20, 4), 10, 250, 10));
        EXPECT_TRUE(Near(image.pixel(36, 4), 10, 10, 250));
        EXPECT_TRUE(Near(image.pixel(4, 20), 10, 250, 10));
    }
    TJPEGImage grey;
    Load(grey, MakeJpeg(32, 16, true, false));
    EXPECT_TRUE(Near(grey.Bitmap().Image().pixel(20, 4), 100, 100, 100));
}

TEST(JPEGImageTest, CopiesIntoABitmap) {
    TJPEGImage jpeg;
    Load(jpeg, MakeJpeg(32, 16, false, false));
    TBitmap bitmap;
    bitmap.Assign(&jpeg);
    ASSERT_EQ(bitmap.GetWidth(), 32);
    ASSERT_EQ(bitmap.GetHeight(), 16);
    EXPECT_EQ(bitmap.Image().pixel(20, 4), jpeg.Bitmap().Image().pixel(20, 4));
}

TEST(JPEGImageTest, DamagedFilesAreRefusedAndChangeNothing) {
    TJPEGImage jpeg;
    Load(jpeg, MakeJpeg(16, 16, false, false));
    const QImage before = jpeg.Bitmap().Image().copy();

    const std::vector<std::uint8_t> good = MakeJpeg(64, 64, false, false);
    const std::vector<std::uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
    const std::vector<std::uint8_t> garbage = {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'};
    for (const auto& bytes : {truncated, garbage}) {
        EXPECT_THROW(Load(jpeg, bytes), EJPEG);
        EXPECT_EQ(jpeg.Bitmap().Image(), before);
    }
}

TEST(JPEGImageTest, RefusesHugeDimensionsBeforeDecoding) {
    std::vector<std::uint8_t> bytes = MakeJpeg(16, 16, false, false);
    // Rewrite the frame header's height and width to 60000 x 60000.
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = bytes[i + 7] = 0xEA;
            bytes[i + 6] = bytes[i + 8] = 0x60;
            break;
        }
    }
    TJPEGImage jpeg;
    try {
        Load(jpeg, bytes);
        FAIL() << "a 60000 x 60000 picture was accepted";
    } catch (const EJPEG& e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos);
    }
}

TEST(JPEGImageTest, StopsAfterAHundredScans) {
    TJPEGImage jpeg;
    EXPECT_THROW(Load(jpeg, MakeJpeg(16, 16, false, true, true)), EJPEG);
}

TEST(JPEGImageTest, SavesWhatLoadsBack) {
    TJPEGImage jpeg;
    Load(jpeg, MakeJpeg(32, 32, false, false));
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    stream.SetPosition(0);
    TJPEGImage again;
    again.LoadFromStream(stream);
    // Saved at quality 90 with subsampled colour: near, not exact.
    EXPECT_TRUE(Near(again.Bitmap().Image().pixel(24, 8), 10, 250, 10, 16));
}
