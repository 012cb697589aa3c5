#include <gtest/gtest.h>

#include "GdiTestDIB.h"

namespace {

// Four distinct colours and the DIB that shows them in a 4 x 3 pattern, for any depth:
// pixel (x, y) has colour Pattern(x, y).
constexpr TColor Palette4[4] = {RGB(10, 20, 30), RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 250)};
int Pattern(int X, int Y) {
    return (X + 2 * Y) % 4;
}

TTestDIB PatternDIB(int BitCount, bool TopDown, int Width = 4, int Height = 3) {
    TTestDIB dib(Width, Height, BitCount, TopDown);
    if (BitCount <= 8) {
        // Index k + 1 (index 0 unused) for the 4-and-more-bit depths; 1 bit has two colours.
        for (int k = 0; k < (BitCount == 1 ? 2 : 4); ++k)
            dib.SetColor(BitCount == 1 ? k : k + 1, Palette4[k]);
    }
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const int k = Pattern(x, y);
            if (BitCount == 1)
                dib.Set(x, y, k % 2);
            else if (BitCount <= 8)
                dib.Set(x, y, k + 1);
            else
                dib.Set(x, y, Palette4[k]);
        }
    return dib;
}

TColor Expected(int BitCount, int X, int Y) {
    const int k = Pattern(X, Y);
    return BitCount == 1 ? Palette4[k % 2] : Palette4[k];
}

struct TDepthCase {
    int BitCount;
    bool TopDown;
};

class StretchDIBitsDepth : public ::testing::TestWithParam<TDepthCase> {};

} // namespace

TEST_P(StretchDIBitsDepth, CopiesEveryPixelAndSubRectangles) {
    const auto [bits, topDown] = GetParam();
    TTestDIB dib = PatternDIB(bits, topDown, 9, 3); // 9 wide: partial bytes at 1 and 4 bits
    TTestSurface surface(11, 5, clWhite);
    EXPECT_EQ(surface.Stretch(1, 1, 9, 3, 0, 0, 9, 3, dib), 3);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 11; ++x) {
            const bool inside = x >= 1 && x < 10 && y >= 1 && y < 4;
            ASSERT_EQ(surface.At(x, y), inside ? Expected(bits, x - 1, y - 1) : clWhite) << x << "," << y;
        }

    // A source rectangle counts from the top-left of the image in either row order.
    TTestSurface part(2, 1, clWhite);
    EXPECT_EQ(part.Stretch(0, 0, 2, 1, 7, 2, 2, 1, dib), 1);
    EXPECT_EQ(part.At(0, 0), Expected(bits, 7, 2));
    EXPECT_EQ(part.At(1, 0), Expected(bits, 8, 2));
}

INSTANTIATE_TEST_SUITE_P(AllDepths, StretchDIBitsDepth,
                         ::testing::Values(TDepthCase{1, false}, TDepthCase{1, true}, TDepthCase{4, false},
                                           TDepthCase{4, true}, TDepthCase{8, false}, TDepthCase{8, true},
                                           TDepthCase{24, false}, TDepthCase{24, true}, TDepthCase{32, false},
                                           TDepthCase{32, true}),
                         [](const auto& info) {
                             return std::to_string(info.param.BitCount) +
                                    (info.param.TopDown ? "TopDown" : "BottomUp");
                         });

TEST(StretchDIBits, NearestPixelSamplesTheCentreOfEachDestinationPixel) {
    // One row 0, 1, 2 (as 8-bit indices showing grey levels) stretched to 5 pixels:
    // floor((d + 0.5) * 3 / 5) = 0, 0, 1, 2, 2.
    TTestDIB row(3, 1, 8);
    for (int i = 0; i < 3; ++i) {
        row.SetColor(i, RGB(i, i, i));
        row.Set(i, 0, i);
    }
    TTestSurface wide(5, 1);
    wide.Stretch(0, 0, 5, 1, 0, 0, 3, 1, row);
    const int expectedWide[5] = {0, 0, 1, 2, 2};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(wide.At(x, 0), RGB(expectedWide[x], expectedWide[x], expectedWide[x]));

    // Shrinking 4 to 2 takes pixels 1 and 3.
    TTestDIB four(4, 1, 8);
    for (int i = 0; i < 4; ++i) {
        four.SetColor(i, RGB(i, i, i));
        four.Set(i, 0, i);
    }
    TTestSurface narrow(2, 1);
    narrow.Stretch(0, 0, 2, 1, 0, 0, 4, 1, four);
    EXPECT_EQ(narrow.At(0, 0), RGB(1, 1, 1));
    EXPECT_EQ(narrow.At(1, 0), RGB(3, 3, 3));
}

TEST(StretchDIBits, DoublesEveryPixelInBothDirections) {
    TTestDIB dib = PatternDIB(24, false, 2, 2);
    TTestSurface surface(4, 4);
    EXPECT_EQ(surface.Stretch(0, 0, 4, 4, 0, 0, 2, 2, dib), 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(surface.At(x, y), Expected(24, x / 2, y / 2)) << x << "," << y;
}

TEST(StretchDIBits, NegativeExtentsMirror) {
    TTestDIB dib = PatternDIB(24, false, 3, 2);
    // Width -3 from x 3 covers pixels 0 .. 2, the image's last column leftmost.
    TTestSurface surface(3, 2);
    surface.Stretch(3, 0, -3, 2, 0, 0, 3, 2, dib);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(surface.At(x, y), Expected(24, 2 - x, y));
    // Height -2 from y 2 turns the image upside down.
    TTestSurface flipped(3, 2);
    flipped.Stretch(0, 2, 3, -2, 0, 0, 3, 2, dib);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(flipped.At(x, y), Expected(24, x, 1 - y));
}

TEST(StretchDIBits, ClipsToTheSurfaceAndToTheImage) {
    TTestDIB dib = PatternDIB(8, false);
    TTestSurface surface(3, 2, clWhite);
    // Placed up and left of the surface: only the image's lower-right part shows.
    EXPECT_EQ(surface.Stretch(-2, -1, 4, 3, 0, 0, 4, 3, dib), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(surface.At(x, y), x < 2 ? Expected(8, x + 2, y + 1) : clWhite);

    // Entirely outside: nothing drawn, yet no failure.
    TTestSurface outside(2, 2, clWhite);
    EXPECT_EQ(outside.Stretch(5, 5, 4, 3, 0, 0, 4, 3, dib), 3);
    EXPECT_EQ(outside.At(0, 0), clWhite);

    // A source rectangle reaching past the image leaves those destination pixels alone.
    TTestSurface past(4, 1, clWhite);
    past.Stretch(0, 0, 4, 1, 2, 0, 4, 1, dib);
    EXPECT_EQ(past.At(0, 0), Expected(8, 2, 0));
    EXPECT_EQ(past.At(1, 0), Expected(8, 3, 0));
    EXPECT_EQ(past.At(2, 0), clWhite);
    EXPECT_EQ(past.At(3, 0), clWhite);
    TTestSurface before(2, 1, clWhite);
    before.Stretch(0, 0, 2, 1, -1, 0, 2, 1, dib);
    EXPECT_EQ(before.At(0, 0), clWhite);
    EXPECT_EQ(before.At(1, 0), Expected(8, 0, 0));
}

TEST(StretchDIBits, RasterOperationsCombineSourceAndDestination) {
    const TColor source = RGB(0xF0, 0x0F, 0x55);
    const TColor dest = RGB(0xCC, 0x33, 0x0F);
    const struct {
        std::uint32_t Rop;
        TColor Result;
    } cases[] = {
        {SRCCOPY, source},
        {SRCPAINT, source | dest},
        {SRCAND, source & dest},
        {SRCINVERT, source ^ dest},
        {SRCERASE, source & ~dest & 0xFFFFFF},
        {NOTSRCCOPY, ~source & 0xFFFFFF},
        {NOTSRCERASE, ~(source | dest) & 0xFFFFFF},
        {MERGEPAINT, (~source | dest) & 0xFFFFFF},
        {DSTINVERT, ~dest & 0xFFFFFF},
        {BLACKNESS, 0},
        {WHITENESS, 0xFFFFFF},
    };
    TTestDIB dib(1, 1, 24);
    dib.Set(0, 0, source);
    for (const auto& c : cases) {
        TTestSurface surface(1, 1, dest);
        EXPECT_EQ(surface.Stretch(0, 0, 1, 1, 0, 0, 1, 1, dib, c.Rop), 1) << std::hex << c.Rop;
        EXPECT_EQ(surface.At(0, 0), c.Result) << std::hex << c.Rop;
        EXPECT_EQ(qAlpha(surface.Image.pixel(0, 0)), 255);
    }
    // Scaled and combined at once.
    TTestSurface scaled(2, 2, dest);
    scaled.Stretch(0, 0, 2, 2, 0, 0, 1, 1, dib, SRCINVERT);
    EXPECT_EQ(scaled.At(1, 1), source ^ dest);
}

TEST(StretchDIBits, IndexBeyondTheColourTableIsBlack) {
    TTestDIB dib(2, 1, 8);
    dib.SetColor(0, clRed);
    dib.Set(1, 0, 200);
    TTestSurface surface(2, 1, clWhite);
    surface.Stretch(0, 0, 2, 1, 0, 0, 2, 1, dib);
    EXPECT_EQ(surface.At(0, 0), clRed);
    EXPECT_EQ(surface.At(1, 0), clBlack);
}

TEST(StretchDIBits, RefusesWhatItCannotDraw) {
    TTestSurface surface(2, 2, clWhite);
    TTestDIB dib = PatternDIB(8, false);
    TTestDIB rle = dib;
    rle.Header.biCompression = BI_RLE8;
    EXPECT_EQ(surface.Stretch(0, 0, 2, 2, 0, 0, 2, 2, rle), 0);
    TTestDIB sixteen(2, 2, 16);
    EXPECT_EQ(surface.Stretch(0, 0, 2, 2, 0, 0, 2, 2, sixteen), 0);
    EXPECT_EQ(surface.Stretch(0, 0, 2, 2, 0, 0, 2, 2, dib, 0x00F00021 /* PATCOPY */), 0);
    EXPECT_EQ(surface.Stretch(0, 0, 0, 2, 0, 0, 2, 2, dib), 0);
    EXPECT_EQ(surface.Stretch(0, 0, 2, 2, 0, 0, 2, 0, dib), 0);
    EXPECT_EQ(StretchDIBits(surface.DC, 0, 0, 2, 2, 0, 0, 2, 2, dib.Bits.data(), dib.Header,
                            dib.Colors.data(), 1, SRCCOPY),
              0); // palette-index colours
    EXPECT_EQ(StretchDIBits(surface.DC, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, dib.Header, dib.Colors.data(),
                            DIB_RGB_COLORS, SRCCOPY),
              0);
    TTestDIB huge(1, 1, 24);
    huge.Header.biWidth = 40000;
    huge.Header.biHeight = 40000; // storage past 1 GiB
    EXPECT_EQ(surface.Stretch(0, 0, 2, 2, 0, 0, 2, 2, huge), 0);
    EXPECT_EQ(surface.At(0, 0), clWhite);

    const HDC screen = GetDC(0);
    EXPECT_EQ(StretchDIBits(screen, 0, 0, 2, 2, 0, 0, 2, 2, dib.Bits.data(), dib.Header, dib.Colors.data(),
                            DIB_RGB_COLORS, SRCCOPY),
              0);
    ReleaseDC(0, screen);
}
