// A toolkit bitmap described as a DIB: depth by colour count, sizes, and the pixel read-out.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/model/DIBitmap.h"
#include "toolkit/graphics/Graphics.h"

namespace {

std::unique_ptr<TBitmap> DeviceBitmap(int Width, int Height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pfDevice);
    bitmap->SetSize(Width, Height);
    return bitmap;
}

} // namespace

TEST(AviDIBitmap, DepthAndSizesFollowTheColourCount) {
    const std::unique_ptr<TBitmap> bitmap = DeviceBitmap(5, 3);
    struct Case {
        int Colors, BitCount, InfoSize, ImageSize;
        std::uint32_t ClrUsed;
    };
    for (const Case& c : {Case{2, 1, 48, 12, 2}, Case{16, 4, 104, 12, 16}, Case{256, 8, 1064, 24, 256},
                          Case{4096, 24, 40, 48, 0}, Case{0, 24, 40, 48, 0}}) {
        BITMAPINFOHEADER header{};
        DIBitmapInfoHeader(bitmap->GetHandle(), header, c.Colors);
        EXPECT_EQ(header.biBitCount, c.BitCount) << c.Colors;
        EXPECT_EQ(header.biClrUsed, c.ClrUsed) << c.Colors;
        EXPECT_EQ(header.biWidth, 5);
        EXPECT_EQ(header.biHeight, 3);
        EXPECT_EQ(header.biPlanes, 1);
        int infoSize = 0, imageSize = 0;
        DIBitmapSizes(bitmap->GetHandle(), infoSize, imageSize, c.Colors);
        EXPECT_EQ(infoSize, c.InfoSize) << c.Colors;
        EXPECT_EQ(imageSize, c.ImageSize) << c.Colors;
        EXPECT_EQ(header.biSizeImage, std::uint32_t(c.ImageSize));
    }
    // Another count keeps the depth the caller set.
    BITMAPINFOHEADER header{};
    header.biBitCount = 4;
    DIBitmapInfoHeader(bitmap->GetHandle(), header, 7);
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(header.biClrUsed, 7u);
    EXPECT_EQ(header.biSizeImage, 12u);
}

TEST(AviDIBitmap, BitsAreReadBottomUpWithTheBitmapsColours) {
    const std::unique_ptr<TBitmap> bitmap = DeviceBitmap(3, 2);
    bitmap->Canvas()->SetPixels(0, 0, RGB(10, 20, 30));
    bitmap->Canvas()->SetPixels(2, 1, RGB(200, 100, 50));
    std::vector<std::uint8_t> info(40, 0), bits(24, 0xEE);
    ASSERT_TRUE(DIBitmapBits(bitmap->GetHandle(), 0, info, 0, bits));
    BITMAPINFOHEADER header;
    std::memcpy(&header, info.data(), sizeof header);
    EXPECT_EQ(header.biBitCount, 24);
    // Row 1 is stored first; each row of 9 bytes is padded to 12.
    EXPECT_EQ(std::vector<std::uint8_t>(bits.begin() + 6, bits.begin() + 9),
              (std::vector<std::uint8_t>{50, 100, 200}));
    EXPECT_EQ(std::vector<std::uint8_t>(bits.begin() + 12, bits.begin() + 15),
              (std::vector<std::uint8_t>{30, 20, 10}));
}

TEST(AviDIBitmap, ShortBuffersAreLeftAlone) {
    const std::unique_ptr<TBitmap> bitmap = DeviceBitmap(3, 2);
    std::vector<std::uint8_t> info(1063, 0xEE), bits(8, 0xEE);
    EXPECT_FALSE(DIBitmapBits(bitmap->GetHandle(), 0, info, 256, bits));
    info.resize(1064, 0xEE);
    bits.resize(7);
    EXPECT_FALSE(DIBitmapBits(bitmap->GetHandle(), 0, info, 256, bits));
    EXPECT_EQ(bits, std::vector<std::uint8_t>(7, 0xEE));
    EXPECT_EQ(info[100], 0xEE);
}
