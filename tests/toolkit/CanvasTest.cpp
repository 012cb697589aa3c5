#include <gtest/gtest.h>

#include <set>

#include "toolkit/graphics/Graphics.h"

namespace {

constexpr TColor Background = RGB(10, 20, 30);

// A bitmap of Width x Height filled with Background, drawn on through its canvas.
class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(20, 16); }

    void Reset(int Width, int Height) {
        Bitmap.SetSize(Width, Height);
        Canvas().Brush = TBrush{Background, bsSolid};
        Canvas().FillRect(Rect(0, 0, Width, Height));
        Canvas().Brush = TBrush{};
        Canvas().Pen = TPen{};
    }
    TCanvas& Canvas() { return *Bitmap.Canvas(); }
    TColor At(int X, int Y) { return Canvas().GetPixels(X, Y); }
    // The pixels differing from Background, as a picture of '#' and '.'.
    std::string Changed() {
        std::string picture;
        for (int y = 0; y < Bitmap.Height(); ++y) {
            for (int x = 0; x < Bitmap.Width(); ++x)
                picture += At(x, y) == Background ? '.' : '#';
            picture += '\n';
        }
        return picture;
    }
    QImage Snapshot() { return Bitmap.Image().copy(); }

    TBitmap Bitmap;
};

TEST_F(CanvasTest, FillRectCoversLeftTopInclusiveRightBottomExclusive) {
    Canvas().Brush.Color = clRed;
    Canvas().FillRect(Rect(2, 3, 5, 6));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 3 && y < 6;
            EXPECT_EQ(At(x, y), inside ? clRed : Background) << x << "," << y;
        }
}

TEST_F(CanvasTest, FillRectWithClearBrushOrEmptyRectDrawsNothing) {
    Canvas().Brush = TBrush{clRed, bsClear};
    Canvas().FillRect(Rect(0, 0, 20, 16));
    Canvas().Brush = TBrush{clRed, bsSolid};
    Canvas().FillRect(Rect(5, 5, 5, 9));
    Canvas().FillRect(Rect(8, 8, 4, 4));
    EXPECT_EQ(Changed().find('#'), std::string::npos);
}

TEST_F(CanvasTest, DiagCrossHatchIsAnEightPixelPatternAlignedToTheSurface) {
    Canvas().Brush = TBrush{clLime, bsDiagCross};
    Canvas().FillRect(Rect(0, 0, 8, 8));
    Canvas().FillRect(Rect(11, 3, 19, 11)); // starts off the pattern's grid
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inFill = (x < 8 && y < 8) || (x >= 11 && x < 19 && y >= 3 && y < 11);
            const int px = x % 8, py = y % 8;
            const bool onHatch = px == py || px == 7 - py;
            EXPECT_EQ(At(x, y), inFill && onHatch ? clLime : Background) << x << "," << y;
        }
}

TEST_F(CanvasTest, RectangleOutlinesInsideWithThePenAndFillsWithTheBrush) {
    Canvas().Pen.Color = clRed;
    Canvas().Brush.Color = clBlue;
    Canvas().Rectangle(2, 2, 7, 6);
    EXPECT_EQ(Changed(), "....................\n"
                         "....................\n"
                         "..#####.............\n"
                         "..#####.............\n"
                         "..#####.............\n"
                         "..#####.............\n"
                         "....................\n"
                         "....................\n"
                         "....................\n"
                         "....................\n"
                         "....................\n"
                         "....................\n"
                         "....................\n"
                         "....................\n"
                         "....................\n"
                         "....................\n");
    EXPECT_EQ(At(2, 2), clRed);
    EXPECT_EQ(At(6, 5), clRed);
    EXPECT_EQ(At(3, 3), clBlue);
    EXPECT_EQ(At(5, 4), clBlue);
}

TEST_F(CanvasTest, WidePenRectangleKeepsItsOutlineInsideAndCornersMayBeSwapped) {
    Canvas().Pen = TPen{clRed, 2};
    Canvas().Brush.Color = clBlue;
    Canvas().Rectangle(8, 7, 2, 1); // normalised to (2, 1) - (8, 7)
    for (int y = 1; y < 7; ++y)
        for (int x = 2; x < 8; ++x) {
            const bool inner = x >= 4 && x < 6 && y >= 3 && y < 5;
            EXPECT_EQ(At(x, y), inner ? clBlue : clRed) << x << "," << y;
        }
    EXPECT_EQ(At(8, 4), Background);
    EXPECT_EQ(At(4, 7), Background);
}

TEST_F(CanvasTest, NotModeInvertsOutlineAndInteriorOnceSoTwiceRestores) {
    Canvas().SetPixels(4, 4, RGB(1, 2, 3));
    const QImage before = Snapshot();
    Canvas().Pen = TPen{clBlack, 2, psSolid, pmNot};
    Canvas().Brush.Color = clWhite;
    Canvas().Rectangle(3, 3, 9, 8);
    EXPECT_EQ(At(3, 3), 0xFFFFFF ^ Background);
    EXPECT_EQ(At(5, 5), 0xFFFFFF ^ Background); // interior inverted, not brush-coloured
    EXPECT_EQ(At(4, 4), RGB(254, 253, 252));
    EXPECT_EQ(At(9, 5), Background);
    Canvas().Rectangle(3, 3, 9, 8);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CanvasTest, LineLeavesOutItsEndPixelAndMovesThePen) {
    Canvas().Pen.Color = clRed;
    Canvas().MoveTo(2, 3);
    Canvas().LineTo(6, 3);
    EXPECT_EQ(Canvas().PenPos, Point(6, 3));
    for (int x = 2; x < 6; ++x)
        EXPECT_EQ(At(x, 3), clRed) << x;
    EXPECT_EQ(At(6, 3), Background);
    EXPECT_EQ(At(1, 3), Background);

    Canvas().LineTo(6, 8); // continues from the pen position, drawing (6, 3) now
    for (int y = 3; y < 8; ++y)
        EXPECT_EQ(At(6, y), clRed) << y;
    EXPECT_EQ(At(6, 8), Background);
}

TEST_F(CanvasTest, DiagonalLineIsOnePixelPerStep) {
    Canvas().Pen.Color = clRed;
    Canvas().MoveTo(10, 1);
    Canvas().LineTo(2, 9);
    const std::string picture = Changed();
    EXPECT_EQ(std::count(picture.begin(), picture.end(), '#'), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(At(10 - i, 1 + i), clRed) << i;
}

TEST_F(CanvasTest, WidePenLineIsCentredOnTheLine) {
    Canvas().Pen = TPen{clRed, 3};
    Canvas().MoveTo(4, 8);
    Canvas().LineTo(10, 8);
    for (int y = 6; y <= 10; ++y)
        for (int x = 2; x <= 12; ++x) {
            const bool covered = y >= 7 && y <= 9 && x >= 3 && x <= 10;
            EXPECT_EQ(At(x, y), covered ? clRed : Background) << x << "," << y;
        }
}

TEST_F(CanvasTest, XorLinesRestoreWhenDrawnTwice) {
    const QImage before = Snapshot();
    Canvas().Pen = TPen{clYellow, 2, psSolid, pmXor};
    Canvas().MoveTo(1, 1);
    Canvas().LineTo(17, 13);
    Canvas().LineTo(3, 12);
    EXPECT_NE(Snapshot(), before);
    Canvas().MoveTo(1, 1);
    Canvas().LineTo(17, 13);
    Canvas().LineTo(3, 12);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CanvasTest, PenModesMixEachPixel) {
    // Red holds every pair of pen and destination bits (0x0F against 0x55), so each of the
    // sixteen modes gives a colour of its own.
    const TColor dest = RGB(0x0F, 0xF0, 0x3C);
    const TColor pen = RGB(0x55, 0x0F, 0xFF);
    const auto inverse = [](TColor c) { return c ^ 0xFFFFFF; };
    const struct {
        TPenMode Mode;
        TColor Expected;
    } cases[] = {{pmBlack, clBlack},
                 {pmWhite, clWhite},
                 {pmNop, dest},
                 {pmNot, inverse(dest)},
                 {pmCopy, pen},
                 {pmNotCopy, inverse(pen)},
                 {pmMergePenNot, pen | inverse(dest)},
                 {pmMaskPenNot, pen & inverse(dest)},
                 {pmMergeNotPen, inverse(pen) | dest},
                 {pmMaskNotPen, inverse(pen) & dest},
                 {pmMerge, dest | pen},
                 {pmNotMerge, inverse(dest | pen)},
                 {pmMask, dest & pen},
                 {pmNotMask, inverse(dest & pen)},
                 {pmXor, dest ^ pen},
                 {pmNotXor, inverse(dest ^ pen)}};
    std::set<TColor> distinct;
    for (const auto& c : cases)
        distinct.insert(c.Expected);
    ASSERT_EQ(distinct.size(), std::size(cases));
    for (const auto& c : cases) {
        Canvas().SetPixels(5, 5, dest);
        Canvas().Pen = TPen{pen, 1, psSolid, c.Mode};
        Canvas().MoveTo(5, 5);
        Canvas().LineTo(6, 5);
        EXPECT_EQ(At(5, 5), c.Expected) << c.Mode;
    }
}

TEST_F(CanvasTest, EllipseStaysInsideItsBoxAndTouchesEverySide) {
    Reset(24, 20);
    Canvas().Pen.Color = clRed;
    Canvas().Brush.Color = clBlue;
    Canvas().Ellipse(3, 2, 19, 14);
    int left = 100, top = 100, right = -1, bottom = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x) {
            if (At(x, y) == Background) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
            // Mirror symmetric about the box's centre.
            EXPECT_EQ(At(x, y), At(3 + 18 - x, y)) << x << "," << y;
            EXPECT_EQ(At(x, y), At(x, 2 + 13 - y)) << x << "," << y;
        }
    EXPECT_EQ(left, 3);
    EXPECT_EQ(top, 2);
    EXPECT_EQ(right, 18);
    EXPECT_EQ(bottom, 13);
    EXPECT_EQ(At(11, 8), clBlue);
    EXPECT_EQ(At(3, 8), clRed);
    EXPECT_EQ(At(3, 2), Background); // corner of the box
}

TEST_F(CanvasTest, EllipseInNotModeTouchesEachPixelOnce) {
    const QImage before = Snapshot();
    Canvas().Pen = TPen{clBlack, 3, psSolid, pmNot};
    Canvas().Ellipse(1, 1, 17, 15);
    EXPECT_EQ(At(9, 8), 0xFFFFFF ^ Background);
    Canvas().Ellipse(1, 1, 17, 15);
    EXPECT_EQ(Snapshot(), before);
}

// Ellipses and rectangles of every kind the programs draw, and some they might: wide and
// clear pens, hatched and clear brushes, mixing pen modes, boxes with crossed corners, boxes
// partly or wholly off the surface, boxes too small to hold the pen. Pinned to the pixels they
// were first drawn with, so that a faster rasteriser changes none.
TEST_F(CanvasTest, ShapesOfEveryKindKeepTheirPixels) {
    Reset(96, 80);
    const TPenMode modes[] = {pmCopy, pmXor, pmNot, pmMask, pmNotMerge};
    const TBrushStyle brushes[] = {bsSolid, bsClear, bsDiagCross, bsHorizontal, bsFDiagonal};
    for (int i = 0; i < 80; ++i) {
        Canvas().Pen =
            TPen{RGB(40 * i % 256, 255 - 3 * i, 90), i % 5, i % 7 == 3 ? psClear : psSolid, modes[i % 5]};
        Canvas().Brush = TBrush{RGB(200, 13 * i % 256, 31 * i % 256), brushes[(i / 2) % 5]};
        const int x = (i * 37) % 110 - 15, y = (i * 23) % 95 - 12;
        const int w = (i * 13) % 60 - 8, h = (i * 17) % 50 - 6; // negative: crossed corners
        if (i % 3 == 2)
            Canvas().Rectangle(x, y, x + w, y + h);
        else
            Canvas().Ellipse(x, y, x + w, y + h);
    }
    std::uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 96; ++x) {
            hash ^= At(x, y);
            hash *= 1099511628211ull;
        }
    EXPECT_EQ(hash, 9444009165213278635ull);
}

TEST_F(CanvasTest, PolygonFillsAndOutlinesEachPixelOnce) {
    const QImage before = Snapshot();
    Canvas().Pen = TPen{clRed, 1, psSolid, pmXor};
    Canvas().Brush.Color = clBlue;
    const std::vector<TPoint> triangle = {Point(2, 2), Point(14, 2), Point(2, 12)};
    Canvas().Polygon(triangle);
    EXPECT_EQ(At(2, 2), clRed ^ Background);
    EXPECT_EQ(At(14, 2), clRed ^ Background);
    EXPECT_EQ(At(4, 4), clBlue ^ Background);
    EXPECT_EQ(At(12, 10), Background);
    Canvas().Polygon(triangle);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CanvasTest, FocusRectInvertsEveryOtherBorderPixelAndTwiceRestores) {
    const QImage before = Snapshot();
    Canvas().DrawFocusRect(Rect(2, 2, 10, 7));
    int inverted = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) {
            if (At(x, y) == Background) continue;
            EXPECT_EQ(At(x, y), 0xFFFFFF ^ Background);
            EXPECT_TRUE(x == 2 || x == 9 || y == 2 || y == 6) << x << "," << y;
            EXPECT_EQ((x + y) % 2, 0) << x << "," << y;
            ++inverted;
        }
    EXPECT_EQ(inverted, 11); // half of the 22 border pixels
    Canvas().DrawFocusRect(Rect(2, 2, 10, 7));
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CanvasTest, FocusRectOfOneRowInvertsEachPixelOnce) {
    Canvas().DrawFocusRect(Rect(2, 4, 9, 5));
    EXPECT_EQ(At(2, 4), 0xFFFFFF ^ Background);
    EXPECT_EQ(At(3, 4), Background);
    EXPECT_EQ(At(8, 4), 0xFFFFFF ^ Background);
}

TEST_F(CanvasTest, PixelsOutsideTheSurfaceAreIgnored) {
    Canvas().SetPixels(-1, 0, clRed);
    Canvas().SetPixels(20, 0, clRed);
    EXPECT_EQ(Changed().find('#'), std::string::npos);
    EXPECT_EQ(At(20, 3), CLR_INVALID);
    EXPECT_EQ(At(0, -1), CLR_INVALID);
    Canvas().SetPixels(19, 15, clWindow); // system colours resolve
    EXPECT_EQ(At(19, 15), ColorToRGB(clWindow));
}

TEST_F(CanvasTest, DrawingFiresOnChange) {
    int changes = 0;
    Canvas().OnChange = [&](TObject*) { ++changes; };
    Canvas().FillRect(Rect(0, 0, 2, 2));
    Canvas().LineTo(3, 3);
    Canvas().SetPixels(1, 1, clRed);
    EXPECT_EQ(changes, 3);
}

TEST_F(CanvasTest, CopyRectStretchesWithTheCopyMode) {
    Canvas().SetPixels(0, 0, clRed);
    Canvas().SetPixels(1, 0, clLime);
    TBitmap target;
    target.SetSize(6, 2);
    target.Canvas()->CopyRect(Rect(0, 0, 4, 2), &Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(target.Canvas()->GetPixels(1, 1), clRed);
    EXPECT_EQ(target.Canvas()->GetPixels(2, 0), clLime);
    EXPECT_EQ(target.Canvas()->GetPixels(4, 0), clBlack);
    target.Canvas()->CopyMode = SRCINVERT;
    target.Canvas()->CopyRect(Rect(0, 0, 4, 2), &Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(target.Canvas()->GetPixels(1, 1), clBlack);

    // The whole surface copied onto itself, moved one pixel right, reads it as it was.
    target.Canvas()->SetPixels(2, 0, clLime);
    target.Canvas()->CopyMode = SRCCOPY;
    target.Canvas()->CopyRect(Rect(1, 0, 7, 2), target.Canvas(), Rect(0, 0, 6, 2));
    EXPECT_EQ(target.Canvas()->GetPixels(2, 0), clBlack);
    EXPECT_EQ(target.Canvas()->GetPixels(3, 0), clLime);
    EXPECT_EQ(target.Canvas()->GetPixels(4, 0), clBlack);
}

TEST(CanvasWithoutSurface, RefusesToDrawButMeasures) {
    TCanvas canvas;
    EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    EXPECT_EQ(canvas.SurfaceWidth(), 0);
    EXPECT_GT(canvas.TextWidth("abc"), 0);
}

} // namespace
