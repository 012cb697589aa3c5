#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <set>

#include "toolkit/graphics/Graphics.h"

namespace {

constexpr TColor Background = RGB(200, 210, 220);

class CanvasTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bitmap.SetSize(320, 48);
        Canvas().Brush.Color = Background;
        Canvas().FillRect(Rect(0, 0, 320, 48));
        Canvas().Font.Color = clRed;
    }
    TCanvas& Canvas() { return *Bitmap.Canvas(); }
    std::set<TColor> Colors(const TRect& Area) {
        std::set<TColor> colors;
        for (int y = Area.Top; y < Area.Bottom; ++y)
            for (int x = Area.Left; x < Area.Right; ++x)
                colors.insert(Canvas().GetPixels(x, y));
        return colors;
    }

    TBitmap Bitmap;
};

TEST_F(CanvasTextTest, TextHoldsOnlyTheFontAndBrushColours) {
    for (int style : {0, int(fsBold), fsItalic | fsUnderline}) {
        SetUp();
        Canvas().Font.Name = "ＭＳ Ｐゴシック";
        Canvas().Font.Height = -20;
        Canvas().Font.Style = style;
        Canvas().Brush.Color = clYellow;
        Canvas().TextOut(4, 4, "Palvenor テキスト");
        const int width = Canvas().TextWidth("Palvenor テキスト");
        const int height = Canvas().TextHeight("Palvenor テキスト");
        EXPECT_EQ(Colors(Rect(4, 4, 4 + width, 4 + height)), (std::set<TColor>{clRed, clYellow})) << style;
        // Outside the text cell nothing but glyph overhang may change.
        for (TColor c : Colors(Rect(0, 4 + height + 2, 320, 48)))
            EXPECT_EQ(c, Background) << style;
    }
}

TEST_F(CanvasTextTest, ClearBrushLeavesTheBackgroundAndHatchesDrawNoBox) {
    for (TBrushStyle style : {bsClear, bsDiagCross}) {
        SetUp();
        Canvas().Brush = TBrush{clYellow, style};
        Canvas().Font.Height = -24;
        Canvas().TextOut(2, 2, "Wg");
        EXPECT_EQ(Colors(Rect(0, 0, 320, 48)), (std::set<TColor>{clRed, Background})) << style;
    }
}

TEST_F(CanvasTextTest, TextOutMovesThePenToTheEndOfTheText) {
    Canvas().TextOut(10, 5, "abc");
    EXPECT_EQ(Canvas().PenPos, Point(10 + Canvas().TextWidth("abc"), 5));
}

TEST_F(CanvasTextTest, TextRectClipsAndFillsItsRectangle) {
    Canvas().Brush.Color = clYellow;
    Canvas().Font.Height = -30;
    Canvas().TextRect(Rect(10, 10, 30, 20), 10, 5, "MMMM");
    EXPECT_EQ(Colors(Rect(10, 10, 30, 20)), (std::set<TColor>{clRed, clYellow}));
    EXPECT_EQ(Colors(Rect(0, 0, 320, 10)), std::set<TColor>{Background});
    EXPECT_EQ(Colors(Rect(30, 0, 320, 48)), std::set<TColor>{Background});
}

TEST(FontTest, NegativeHeightIsTheCharacterHeightPositiveTheCell) {
    TFont font;
    font.Height = -16;
    EXPECT_EQ(font.ToQFont().pixelSize(), 16);
    font.Height = 16;
    const QFont cell = font.ToQFont();
    EXPECT_LE(QFontMetrics(cell).height(), 16);
    EXPECT_LT(cell.pixelSize(), 16);
}

TEST(FontTest, WindowsGothicNamesMapToTheIpaFonts) {
    TFont font;
    font.Name = "ＭＳ Ｐゴシック";
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), "IPAPGothic");
    font.Name = "ＭＳ ゴシック";
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), "IPAGothic");
    font.Name = "IPAMincho";
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), "IPAMincho");
    EXPECT_EQ(font.ToQFont().styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
}

TEST(FontTest, SizeIsInPointsAtNinetySixPixelsPerInch) {
    TFont font;
    font.Height = -12;
    EXPECT_EQ(font.Size(), 9);
    font.SetSize(12);
    EXPECT_EQ(font.Height, -16);
    font.SetSize(11);
    EXPECT_EQ(font.Height, -15);
}

} // namespace
