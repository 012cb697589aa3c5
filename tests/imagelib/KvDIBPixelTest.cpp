#include <gtest/gtest.h>

#include "KvDIBTestFiles.h"

namespace {

// Where pixel (X, Y) lives, worked out from the stored layout alone.
std::uint8_t* StoredByte(TKvDIB& DIB, int X, int Y) {
    const BITMAPINFOHEADER& h = DIB.InternalDIB->Infos.Header;
    const int stride = ((h.biWidth * h.biBitCount + 31) / 32) * 4;
    const int row = h.biHeight > 0 ? h.biHeight - 1 - Y : Y;
    return DIB.InternalDIB->Infos.Bits + stride * row + X * h.biBitCount / 8;
}

TEST(KvDIBPixel, AddressingInEveryDepthAndRowOrder) {
    for (int bits : {1, 4, 8, 24}) {
        for (int height : {5, -5}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, height " << height);
            TKvDIB dib;
            dib.SetBitCount(bits);
            dib.SetWidth(11);
            dib.SetHeight(height);
            // One pixel set at a time: exactly its own bits change.
            for (auto [x, y] : {std::pair{0, 0}, {10, 0}, {3, 4}, {9, 2}, {10, 4}}) {
                const int value = bits == 24 ? 0x123456 : (1 << bits) - 1;
                dib.SetPixels(x, y, value);
                EXPECT_EQ(dib.GetPixels(x, y), value);
                const std::uint8_t* p = StoredByte(dib, x, y);
                switch (bits) {
                case 1:
                    EXPECT_EQ(*p, 0x80 >> (x % 8));
                    break;
                case 4:
                    EXPECT_EQ(*p, x % 2 == 0 ? 0xF0 : 0x0F);
                    break;
                case 8:
                    EXPECT_EQ(*p, 0xFF);
                    break;
                default:
                    EXPECT_EQ(p[0], 0x12);
                    EXPECT_EQ(p[1], 0x34);
                    EXPECT_EQ(p[2], 0x56);
                }
                int others = 0;
                for (int yy = 0; yy < 5; ++yy)
                    for (int xx = 0; xx < 11; ++xx)
                        others += (xx != x || yy != y) && dib.GetPixels(xx, yy) != 0;
                EXPECT_EQ(others, 0);
                dib.SetPixels(x, y, 0);
            }
        }
    }
}

TEST(KvDIBPixel, WorkedValues) {
    TKvDIB dib;
    dib.SetBitCount(24);
    dib.SetWidth(2);
    dib.SetHeight(2);
    dib.SetPixels(1, 0, 0x00FF0000);
    const std::uint8_t* p = StoredByte(dib, 1, 0);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(dib.GetPixels(1, 0), 0x00FF0000);
    dib.SetPixels(0, 1, int(0x80112233)); // top byte dropped, system colours not resolved
    EXPECT_EQ(dib.GetPixels(0, 1), 0x112233);
    // Bottom-up: (0, 0) is the first byte of the last stored row.
    dib.SetPixels(0, 0, 0x0000AA);
    EXPECT_EQ(dib.InternalDIB->Infos.Bits[8 + 2], 0xAA);

    dib.SetBitCount(1);
    dib.SetWidth(8);
    dib.SetPixels(3, 1, 5);
    EXPECT_EQ(dib.GetPixels(3, 1), 1);
    EXPECT_EQ(dib.InternalDIB->Infos.Bits[0], 0x10);
    dib.SetPixels(3, 1, 0);
    EXPECT_EQ(dib.InternalDIB->Infos.Bits[0], 0);

    dib.SetBitCount(4);
    dib.SetHeight(-2);
    dib.SetPixels(0, 0, 0x3);
    dib.SetPixels(1, 0, 0x1F);
    EXPECT_EQ(dib.InternalDIB->Infos.Bits[0], 0x3F);
    EXPECT_EQ(dib.GetPixels(1, 0), 0xF);

    dib.SetBitCount(8);
    dib.SetPixels(1, 1, 200);
    for (int bad : {256, -1}) {
        try {
            dib.SetPixels(1, 1, bad);
            ADD_FAILURE();
        } catch (const ERangeError& e) {
            EXPECT_EQ(e.Message(), SRangeError);
        }
    }
    EXPECT_EQ(dib.GetPixels(1, 1), 200);
}

TEST(KvDIBPixel, OutsideTheImageOrOnCompressedData) {
    TKvDIB dib;
    MakeTestDIB(dib, 3, 2, 8);
    for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
        try {
            dib.GetPixels(x, y);
            ADD_FAILURE();
        } catch (const EKvDIBPixelPositionRange& e) {
            EXPECT_EQ(e.Message(), "TKvDIB.GetPixels: Pixel Position is Out of Range");
        }
        try {
            dib.SetPixels(x, y, 1);
            ADD_FAILURE();
        } catch (const EKvDIBPixelPositionRange& e) {
            EXPECT_EQ(e.Message(), "TKvDIB.SetPixels: Pixel Position is Out of Range");
        }
    }

    TTestDIB rle{
        .Width = 2, .Compression = BI_RLE8, .ClrUsed = 2, .Table = GrayishTable(2), .Pixels = {2, 1, 0, 1}};
    TMemoryStream stream = StreamOf(rle.File());
    dib.LoadFromStream(stream);
    TKvDIB shared;
    shared.Assign(&dib);
    try {
        shared.GetPixels(0, 0);
        ADD_FAILURE();
    } catch (const EKvDIBBadDIBType& e) {
        EXPECT_EQ(e.Message(), "TKvDIB.GetPixels: Bad DIB Type");
    }
    EXPECT_EQ(shared.InternalDIB, dib.InternalDIB);
    try {
        shared.SetPixels(0, 0, 1);
        ADD_FAILURE();
    } catch (const EKvDIBBadDIBType& e) {
        EXPECT_EQ(e.Message(), "TKvDIB.SetPixels: Bad DIB Type");
    }
    // The failed write made the image private; the content is unchanged.
    EXPECT_NE(shared.InternalDIB, dib.InternalDIB);
    EXPECT_EQ(SavedBytes(shared), SavedBytes(dib));
}

} // namespace
