#include <gtest/gtest.h>

#include "GdiTestDIB.h"

namespace {

// An image bitmap over a QImage, read through a screen DC.
struct TReadable {
    QImage Image;
    HBITMAP Bitmap;
    HDC Screen;
    TReadable(int Width, int Height) : Image(Width, Height, QImage::Format_RGB32) {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                Image.setPixel(x, y, qRgb(x * 40 + 1, y * 50 + 2, (x ^ y) * 30 + 3));
        Bitmap = CreateImageBitmap(&Image, 32);
        Screen = GetDC(0);
    }
    ~TReadable() {
        ReleaseDC(0, Screen);
        DeleteObject(Bitmap);
    }
    int Read(TTestDIB& DIB, unsigned Start, unsigned Lines) {
        return GetDIBits(Screen, Bitmap, Start, Lines, DIB.Bits.data(), DIB.Header, DIB.Colors.data(),
                         DIB_RGB_COLORS);
    }
    TColor At(int X, int Y) const {
        const QRgb p = Image.pixel(X, Y);
        return RGB(std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)));
    }
};

HPALETTE MakePalette(std::initializer_list<TColor> Colors) {
    std::vector<PALETTEENTRY> entries;
    for (TColor c : Colors)
        entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
    return CreatePalette(entries.data(), static_cast<int>(entries.size()));
}

} // namespace

TEST(GetDIBits, TrueColourRoundTripIsExactInBothRowOrders) {
    for (bool topDown : {false, true}) {
        TReadable source(5, 3);
        TTestDIB dib(5, 3, 24, topDown);
        EXPECT_EQ(source.Read(dib, 0, 3), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(dib.Get(x, y), source.At(x, y)) << x << "," << y;
        EXPECT_EQ(dib.Bits[15], 0); // row padding stays zero

        // And back through StretchDIBits, pixel for pixel.
        TTestSurface copy(5, 3, clWhite);
        copy.Stretch(0, 0, 5, 3, 0, 0, 5, 3, dib);
        EXPECT_EQ(copy.Image, source.Image);
    }
}

TEST(GetDIBits, ThirtyTwoBitsLeaveTheFourthByteZero) {
    TReadable source(2, 1);
    TTestDIB dib(2, 1, 32);
    std::fill(dib.Bits.begin(), dib.Bits.end(), 0xEE);
    EXPECT_EQ(source.Read(dib, 0, 1), 1);
    EXPECT_EQ(dib.Get(1, 0), source.At(1, 0));
    EXPECT_EQ(dib.Bits[3], 0);
    EXPECT_EQ(dib.Bits[7], 0);
}

TEST(GetDIBits, EightBitsGiveThePaletteIndicesBack) {
    const TColor colors[3] = {RGB(10, 10, 10), RGB(250, 0, 0), RGB(0, 0, 250)};
    TReadable source(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const TColor c = colors[(x + y) % 3];
            source.Image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    const HPALETTE palette = MakePalette({colors[0], colors[1], colors[2]});
    SetImageBitmapPalette(source.Bitmap, palette);

    TTestDIB dib(3, 2, 8);
    EXPECT_EQ(source.Read(dib, 0, 2), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(dib.Get(x, y), unsigned((x + y) % 3));
    EXPECT_EQ(dib.Colors[1].rgbRed, 250);
    EXPECT_EQ(dib.Colors[2].rgbBlue, 250);
    EXPECT_EQ(dib.Colors[3].rgbRed | dib.Colors[3].rgbGreen | dib.Colors[3].rgbBlue, 0); // padded black
    EXPECT_EQ(dib.Colors[255].rgbBlue, 0);
    EXPECT_EQ(dib.Header.biClrUsed, 0u); // left as it was
    DeleteObject(palette);
}

TEST(GetDIBits, NearestEntryWithTheLowestIndexOnTies) {
    // Entries: 0 black, 1 (100,100,100), 2 (100,100,100) again, 3 (200,0,0).
    const HPALETTE palette = MakePalette({clBlack, RGB(100, 100, 100), RGB(100, 100, 100), RGB(200, 0, 0)});
    TReadable source(4, 1);
    source.Image.setPixel(0, 0, qRgb(100, 100, 100)); // exact: first of the two
    source.Image.setPixel(1, 0, qRgb(90, 110, 100));  // nearest is the grey
    source.Image.setPixel(2, 0, qRgb(100, 0, 0));     // (100,0,0): black 10000, red 10000 -> black
    source.Image.setPixel(3, 0, qRgb(180, 10, 10));
    SetImageBitmapPalette(source.Bitmap, palette);
    TTestDIB dib(4, 1, 8);
    source.Read(dib, 0, 1);
    EXPECT_EQ(dib.Get(0, 0), 1u);
    EXPECT_EQ(dib.Get(1, 0), 1u);
    EXPECT_EQ(dib.Get(2, 0), 0u);
    EXPECT_EQ(dib.Get(3, 0), 3u);
    DeleteObject(palette);
}

TEST(GetDIBits, PacksOneAndFourBitPixels) {
    const HPALETTE palette = MakePalette({clBlack, clWhite, clRed});
    TReadable source(9, 1);
    for (int x = 0; x < 9; ++x)
        source.Image.setPixel(x, 0, x % 3 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    SetImageBitmapPalette(source.Bitmap, palette);
    TTestDIB mono(9, 1, 1);
    source.Read(mono, 0, 1);
    EXPECT_EQ(mono.Bits[0], 0x92); // 1001 0010
    EXPECT_EQ(mono.Bits[1], 0x00);
    EXPECT_EQ(mono.Colors[1].rgbGreen, 255);

    source.Image.setPixel(1, 0, qRgb(255, 0, 0));
    TTestDIB sixteen(9, 1, 4);
    source.Read(sixteen, 0, 1);
    EXPECT_EQ(sixteen.Bits[0], 0x12);
    EXPECT_EQ(sixteen.Get(8, 0), 0u);
    EXPECT_EQ(sixteen.Colors[15].rgbRed, 0);
    DeleteObject(palette);
}

TEST(GetDIBits, DCPaletteServesABitmapWithoutOne) {
    const HPALETTE palette = MakePalette({clWhite, clBlue});
    TReadable source(1, 1);
    source.Image.setPixel(0, 0, qRgb(0, 0, 200));
    SelectPalette(source.Screen, palette, true);
    TTestDIB dib(1, 1, 8);
    source.Read(dib, 0, 1);
    EXPECT_EQ(dib.Get(0, 0), 1u);
    EXPECT_EQ(dib.Colors[0].rgbRed, 255);
    DeleteObject(palette);
}

TEST(GetDIBits, RowsCountFromTheStoredStart) {
    TReadable source(2, 4);
    TTestDIB dib(2, 4, 24);
    // Two stored rows from stored row 1 of a bottom-up DIB: image rows 2 and 1.
    std::vector<std::uint8_t> buffer(dib.Stride * 2, 0xEE);
    EXPECT_EQ(
        GetDIBits(source.Screen, source.Bitmap, 1, 2, buffer.data(), dib.Header, nullptr, DIB_RGB_COLORS), 2);
    EXPECT_EQ(RGB(buffer[2], buffer[1], buffer[0]), source.At(0, 2));
    EXPECT_EQ(RGB(buffer[dib.Stride + 2], buffer[dib.Stride + 1], buffer[dib.Stride]), source.At(0, 1));
    // More rows than there are: only those that exist.
    EXPECT_EQ(
        GetDIBits(source.Screen, source.Bitmap, 3, 10, buffer.data(), dib.Header, nullptr, DIB_RGB_COLORS),
        1);
    EXPECT_EQ(
        GetDIBits(source.Screen, source.Bitmap, 4, 1, buffer.data(), dib.Header, nullptr, DIB_RGB_COLORS), 0);
}

TEST(GetDIBits, WithoutBitsFillsSizeAndColoursOnly) {
    const HPALETTE palette = MakePalette({clRed});
    TReadable source(5, 3);
    SetImageBitmapPalette(source.Bitmap, palette);
    TTestDIB dib(5, 3, 8);
    EXPECT_EQ(
        GetDIBits(source.Screen, source.Bitmap, 0, 3, nullptr, dib.Header, dib.Colors.data(), DIB_RGB_COLORS),
        3);
    EXPECT_EQ(dib.Header.biSizeImage, 24u);
    EXPECT_EQ(dib.Colors[0].rgbRed, 255);
    DeleteObject(palette);
}

TEST(GetDIBits, LargerDIBThanBitmapIsPaddedWithBlack) {
    TReadable source(2, 1);
    TTestDIB dib(3, 2, 24, true);
    std::fill(dib.Bits.begin(), dib.Bits.end(), 0xEE);
    EXPECT_EQ(source.Read(dib, 0, 2), 2);
    EXPECT_EQ(dib.Get(1, 0), source.At(1, 0));
    EXPECT_EQ(dib.Get(2, 0), clBlack);
    EXPECT_EQ(dib.Get(0, 1), clBlack);
}

TEST(GetDIBits, RefusesUnsupportedRequests) {
    TReadable source(2, 2);
    TTestDIB dib(2, 2, 16);
    EXPECT_EQ(source.Read(dib, 0, 2), 0);
    TTestDIB rle(2, 2, 8);
    rle.Header.biCompression = BI_RLE8;
    EXPECT_EQ(source.Read(rle, 0, 2), 0);
    TTestDIB fine(2, 2, 24);
    EXPECT_EQ(GetDIBits(source.Screen, 0, 0, 2, fine.Bits.data(), fine.Header, nullptr, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(0, source.Bitmap, 0, 2, fine.Bits.data(), fine.Header, nullptr, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(source.Screen, source.Bitmap, 0, 2, fine.Bits.data(), fine.Header, nullptr, 1), 0);
}
