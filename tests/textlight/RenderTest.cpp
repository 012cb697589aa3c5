// The text light's pictures: gradient arithmetic, the round and square light, the text image
// with margins and shadow, the see-through point, the base and the composed preview frame.
#include <gtest/gtest.h>

#include <set>

#include "textlight/vantacorrender.h"

namespace {

TColor Pixel(TKvDIB& Picture, int X, int Y) {
    return static_cast<TColor>(Picture.GetPixels(X, Y));
}

TTextStyle SampleText() {
    TTextStyle style;
    style.Text = "Palvenor";
    style.Font.Name = "ＭＳ Ｐゴシック";
    style.Font.Height = -35;
    style.Font.Style = fsBold;
    style.TextColor = clBlack;
    style.BackgroundColor = 0x808040;
    return style;
}

// A 24-bit picture of Width x Height in Color.
void FillPicture(TKvDIB& Picture, int Width, int Height, TColor Color) {
    Picture.SetWidth(Width);
    Picture.SetHeight(Height);
    Picture.SetPixelFormat(kvpf24Bit);
    TKvDIBCanvas canvas(&Picture);
    canvas.Brush.Color = Color;
    canvas.FillRect(Rect(0, 0, Width, Height));
}

class TextImageTest : public ::testing::Test {
protected:
    // The text as drawn without margins, the reference for moved copies.
    void SetUp() override {
        Measure.SetSize(1, 1);
        Style = SampleText();
        DrawTextImage(Plain, Style, *Measure.Canvas());
        TextWidth = Measure.Canvas()->TextWidth(Style.Text);
        TextHeight = Measure.Canvas()->TextHeight(Style.Text);
    }

    // Every pixel of Picture equals Plain's pixel at (x + DX, y + DY) where that lies inside.
    void ExpectShiftedCopy(TKvDIB& Picture, int DX, int DY) {
        int compared = 0;
        for (int y = 0; y < Picture.GetHeight(); ++y)
            for (int x = 0; x < Picture.GetWidth(); ++x) {
                const int px = x + DX, py = y + DY;
                if (px < 0 || py < 0 || px >= TextWidth || py >= TextHeight) continue;
                ASSERT_EQ(Pixel(Picture, x, y), Pixel(Plain, px, py)) << x << "," << y;
                ++compared;
            }
        EXPECT_GT(compared, 0);
    }

    TBitmap Measure;
    TTextStyle Style;
    TKvDIB Plain;
    int TextWidth = 0;
    int TextHeight = 0;
};

} // namespace

TEST(GradientColor, DividesFirstAndTruncatesTowardZero) {
    // 255 / 20 = 12.75 per step.
    EXPECT_EQ(GradientColor(clBlack, clWhite, 20, 0), clBlack);
    EXPECT_EQ(GradientColor(clBlack, clWhite, 20, 1), RGB(12, 12, 12));
    EXPECT_EQ(GradientColor(clBlack, clWhite, 20, 3), RGB(38, 38, 38));
    EXPECT_EQ(GradientColor(clBlack, clWhite, 20, 20), clWhite);
    // Falling components are cut toward zero too: 255 - 12, not 255 - 13.
    EXPECT_EQ(GradientColor(clWhite, clBlack, 20, 1), RGB(243, 243, 243));
    // Each component on its own: red rises, green stays, blue falls.
    EXPECT_EQ(GradientColor(RGB(0, 50, 200), RGB(100, 50, 0), 3, 2), RGB(66, 50, 67));
    // -255 / 25 = -10.2 has no exact binary form: the products come out just short of whole
    // at some steps (-254.99999999999997 at step 25, so the last step stops at 1), and exactly
    // whole at others (-51 at step 5).
    EXPECT_EQ(GradientColor(clWhite, clBlack, 25, 5), RGB(204, 204, 204));
    EXPECT_EQ(GradientColor(clWhite, clBlack, 25, 3), RGB(225, 225, 225));
    EXPECT_EQ(GradientColor(clWhite, clBlack, 25, 25), RGB(1, 1, 1));
    EXPECT_EQ(GradientColor(clBlack, clWhite, 25, 25), RGB(254, 254, 254));
    EXPECT_EQ(GradientColor(RGB(0, 255, 30), RGB(255, 0, 30), 25, 24), RGB(244, 11, 30));
}

TEST(LightSprite, RoundLightHasOneRingPerStep) {
    TKvDIB light;
    TLightStyle style; // 52 pixels, 20 steps, black to white
    DrawLightSprite(light, style);
    ASSERT_EQ(light.GetWidth(), 52);
    ASSERT_EQ(light.GetHeight(), 52);
    EXPECT_EQ(light.GetPixelFormat(), kvpf24Bit);
    EXPECT_EQ(Pixel(light, 0, 0), clBlack);
    EXPECT_EQ(Pixel(light, 51, 51), clBlack);
    // Along the middle row the rings step inwards one pixel per step.
    for (int step = 0; step < 20; ++step) {
        EXPECT_EQ(Pixel(light, step, 26), GradientColor(clBlack, clWhite, 20, step)) << step;
        EXPECT_EQ(Pixel(light, 26, step), GradientColor(clBlack, clWhite, 20, step)) << step;
    }
    EXPECT_EQ(Pixel(light, 26, 26), clWhite);
}

TEST(LightSprite, SquareLightIsTextHighWithVerticalBands) {
    TKvDIB light;
    TLightStyle style;
    style.Square = true;
    style.TextHeight = 30;
    style.TextColor = clNavy;
    style.LightColor = clYellow;
    DrawLightSprite(light, style);
    ASSERT_EQ(light.GetWidth(), 52);
    ASSERT_EQ(light.GetHeight(), 30);
    for (int x = 0; x < 52; ++x) {
        const int step = std::min({x, 51 - x, 20});
        const TColor band = GradientColor(clNavy, clYellow, 20, step);
        for (int y = 0; y < 30; ++y)
            ASSERT_EQ(Pixel(light, x, y), band) << x << "," << y;
    }
}

TEST(LightSprite, StepsBeyondHalfTheSizeGrowAgainFromTheMiddle) {
    TKvDIB light;
    TLightStyle style;
    style.Square = true;
    style.Size = 20;
    style.TextHeight = 4;
    style.Steps = 15; // steps 11..15 have crossed corners
    DrawLightSprite(light, style);
    EXPECT_EQ(Pixel(light, 3, 0), GradientColor(clBlack, clWhite, 15, 3));
    // Step 15 spans columns 5..14 once its corners are put in order.
    EXPECT_EQ(Pixel(light, 5, 0), clWhite);
    EXPECT_EQ(Pixel(light, 14, 0), clWhite);
    EXPECT_EQ(Pixel(light, 4, 0), GradientColor(clBlack, clWhite, 15, 4));
}

namespace {

// A fingerprint of a picture's pixels, row by row from the top.
std::uint64_t PixelHash(TKvDIB& Picture) {
    std::uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < Picture.GetHeight(); ++y)
        for (int x = 0; x < Picture.GetWidth(); ++x) {
            hash ^= std::uint32_t(Picture.GetPixels(x, y));
            hash *= 1099511628211ull;
        }
    return hash;
}

} // namespace

// The largest lights the window makes, each as it was drawn when the program was first
// written: a faster drawing must not move a single pixel.
TEST(LightSprite, LargestLightsKeepEveryPixel) {
    struct TCase {
        int Size, TextHeight, Steps;
        bool Square;
        std::uint64_t Hash;
    };
    const TCase cases[] = {
        {999, 0, 100, false, 6558524095997042393ull},  // round, the widest gradient
        {999, 683, 100, true, 4450967412816999173ull}, // square, as high as the largest text
        {61, 0, 50, false, 10633770543108769737ull},   // round, steps past half the size
    };
    for (const TCase& c : cases) {
        TKvDIB light;
        TLightStyle style;
        style.Size = c.Size;
        style.TextHeight = c.TextHeight;
        style.Steps = c.Steps;
        style.Square = c.Square;
        style.TextColor = RGB(0, 0, 128);
        style.LightColor = RGB(255, 250, 60);
        DrawLightSprite(light, style);
        EXPECT_EQ(PixelHash(light), c.Hash) << c.Size << (c.Square ? " square" : " round");
    }
}

TEST_F(TextImageTest, PlainTextIsMeasuredSizeWithOnlyTextAndBackground) {
    ASSERT_EQ(Plain.GetWidth(), TextWidth);
    ASSERT_EQ(Plain.GetHeight(), TextHeight);
    std::set<TColor> colors;
    for (int y = 0; y < TextHeight; ++y)
        for (int x = 0; x < TextWidth; ++x)
            colors.insert(Pixel(Plain, x, y));
    // No smoothing: the text colour is an exact key.
    EXPECT_EQ(colors, (std::set<TColor>{Style.TextColor, Style.BackgroundColor}));
}

TEST_F(TextImageTest, MarginsGrowTheImageAndCentreTheText) {
    TKvDIB text;
    Style.MarginX = 10;
    Style.MarginY = 7;
    DrawTextImage(text, Style, *Measure.Canvas());
    ASSERT_EQ(text.GetWidth(), TextWidth + 10);
    ASSERT_EQ(text.GetHeight(), TextHeight + 7);
    ExpectShiftedCopy(text, -5, -3);
    EXPECT_EQ(Pixel(text, 0, 0), Style.BackgroundColor);
}

TEST_F(TextImageTest, NegativeMarginsNarrowTheImageAndMoveTheTextByHalfTowardZero) {
    TKvDIB text;
    Style.MarginX = -7;
    Style.MarginY = -5;
    DrawTextImage(text, Style, *Measure.Canvas());
    ASSERT_EQ(text.GetWidth(), TextWidth - 7);
    ASSERT_EQ(text.GetHeight(), TextHeight - 5);
    // -7 div 2 = -3 and -5 div 2 = -2.
    ExpectShiftedCopy(text, 3, 2);
}

TEST_F(TextImageTest, MarginsBelowTheTextSizeCountAsZero) {
    TKvDIB text;
    Style.MarginX = -(TextWidth + 1);
    Style.MarginY = -(TextHeight + 1);
    DrawTextImage(text, Style, *Measure.Canvas());
    ASSERT_EQ(text.GetWidth(), TextWidth);
    ASSERT_EQ(text.GetHeight(), TextHeight);
    ExpectShiftedCopy(text, 0, 0);
}

TEST_F(TextImageTest, MarginMakingNoPixelsIsRefusedByThePicture) {
    TKvDIB text;
    Style.MarginX = -TextWidth;
    EXPECT_THROW(DrawTextImage(text, Style, *Measure.Canvas()), EKvDIBInvalidDIBPara);
}

TEST_F(TextImageTest, ShadowLiesUnderTheTextAndIsCutAtTheEdge) {
    TKvDIB text;
    Style.Shadow = true;
    Style.ShadowColor = clNavy;
    Style.ShadowX = 3;
    Style.ShadowY = 40; // far below the picture: cut off whole
    DrawTextImage(text, Style, *Measure.Canvas());
    ASSERT_EQ(text.GetWidth(), TextWidth);
    ExpectShiftedCopy(text, 0, 0);

    Style.ShadowY = 2;
    DrawTextImage(text, Style, *Measure.Canvas());
    ASSERT_EQ(text.GetHeight(), TextHeight);
    int shadowPixels = 0;
    for (int y = 0; y < TextHeight; ++y)
        for (int x = 0; x < TextWidth; ++x) {
            const TColor plain = Pixel(Plain, x, y);
            const bool underShadow = x >= 3 && y >= 2 && Pixel(Plain, x - 3, y - 2) == Style.TextColor;
            if (plain == Style.TextColor)
                ASSERT_EQ(Pixel(text, x, y), Style.TextColor);
            else if (underShadow) {
                ASSERT_EQ(Pixel(text, x, y), clNavy);
                ++shadowPixels;
            } else
                ASSERT_EQ(Pixel(text, x, y), Style.BackgroundColor);
        }
    EXPECT_GT(shadowPixels, 0);
}

TEST(FindColorPoint, LastPixelInRowOrderWins) {
    TKvDIB picture;
    FillPicture(picture, 5, 4, clWhite);
    picture.SetPixels(4, 0, clRed);
    picture.SetPixels(1, 2, clRed);
    picture.SetPixels(0, 3, clBlue);
    TPoint point{9, 9};
    FindColorPoint(picture, clRed, point);
    EXPECT_EQ(point, (TPoint{1, 2}));
    FindColorPoint(picture, clLime, point);
    EXPECT_EQ(point, (TPoint{1, 2})) << "no pixel of the colour keeps the point";
}

TEST(FillBase, CopiesSizeAndFillsWithoutTouchingTheText) {
    TKvDIB text, base;
    FillPicture(text, 7, 3, clWhite);
    FillBase(base, text, clMaroon);
    ASSERT_EQ(base.GetWidth(), 7);
    ASSERT_EQ(base.GetHeight(), 3);
    EXPECT_EQ(base.GetPixelFormat(), kvpf24Bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(Pixel(base, x, y), clMaroon);
            EXPECT_EQ(Pixel(text, x, y), clWhite);
        }
}

namespace {

// A "text" image: background with a text-colour bar at columns 10..29, rows 5..14.
class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillPicture(Text, 40, 20, Background);
        {
            TKvDIBCanvas canvas(&Text);
            canvas.Brush.Color = TextColor;
            canvas.FillRect(Rect(10, 5, 30, 15));
        }
        FillBase(Base, Text, TextColor);
        FillPicture(Light, 10, 20, clWhite);
    }

    TColor FramePixel(int X, int Y) { return Frame.Canvas()->GetPixels(X, Y); }
    void Compose(TPoint TransPoint, int LightX, int LightY) {
        TBitmap layer;
        MakeTextLayer(layer, Text, TransPoint);
        ComposeLightFrame(Frame, layer, Base, Light, LightX, LightY, TextColor);
    }

    static constexpr TColor TextColor = clBlack;
    static constexpr TColor Background = 0x808040;
    TKvDIB Text, Base, Light;
    TBitmap Frame;
};

} // namespace

TEST_F(ComposeTest, LightShowsOnlyThroughTheTextColour) {
    Compose(TPoint{12, 6}, 15, 0);
    ASSERT_EQ(Frame.GetWidth(), 40);
    ASSERT_EQ(Frame.GetHeight(), 20);
    EXPECT_EQ(FramePixel(16, 6), clWhite);     // letter under the light
    EXPECT_EQ(FramePixel(12, 6), TextColor);   // letter beside it
    EXPECT_EQ(FramePixel(16, 2), Background);  // background above the light
    EXPECT_EQ(FramePixel(35, 10), Background); // background beside the letters
}

TEST_F(ComposeTest, LightOutsideTheFrameIsClipped) {
    Compose(TPoint{12, 6}, -10, 0);
    EXPECT_EQ(FramePixel(10, 6), TextColor);
    Compose(TPoint{12, 6}, 35, 0);
    EXPECT_EQ(FramePixel(39, 2), Background);
}

TEST_F(ComposeTest, BackgroundPointMakesTheBackgroundSeeThrough) {
    Compose(TPoint{0, 0}, 15, 0);
    EXPECT_EQ(FramePixel(16, 2), clWhite);
    EXPECT_EQ(FramePixel(35, 10), TextColor);
    EXPECT_EQ(FramePixel(16, 6), TextColor);
}

TEST_F(ComposeTest, APointOutsideTheTextLeavesNoColourOut) {
    // Silver is what the canvas's answer for a point outside a picture reads as a colour.
    Text.SetPixels(35, 10, int(clSilver));
    for (const TPoint outside : {TPoint{40, 0}, TPoint{-1, 0}, TPoint{0, 20}}) {
        Compose(outside, 15, 0);
        EXPECT_EQ(FramePixel(35, 10), clSilver);
        EXPECT_EQ(FramePixel(16, 6), TextColor); // the text covers the light
        EXPECT_EQ(FramePixel(16, 2), Background);
    }
}

// A frame of the largest preview, composed as it was when the program was first written: the
// largest light half over the letters, clipped at the top, the text over it with its colour
// left out.
TEST(ComposeLightFrame, LargestFrameKeepsEveryPixel) {
    TKvDIB text, base, light;
    FillPicture(text, 1700, 680, 0x808040);
    {
        TKvDIBCanvas canvas(&text);
        canvas.Brush.Color = clBlack;
        canvas.Pen.Color = clBlack;
        for (int i = 0; i < 12; ++i) {
            canvas.Ellipse(40 + 130 * i, 60 + 7 * i, 150 + 130 * i, 600 - 9 * i);
            canvas.Rectangle(90 + 130 * i, 100, 110 + 130 * i, 640);
        }
    }
    FillBase(base, text, clBlack);
    TLightStyle style;
    style.Size = 999;
    style.Steps = 100;
    style.LightColor = RGB(255, 250, 60);
    DrawLightSprite(light, style);
    TBitmap layer, frame;
    MakeTextLayer(layer, text, TPoint{95, 300});
    ComposeLightFrame(frame, layer, base, light, 420, -160, clBlack);
    ASSERT_EQ(frame.GetWidth(), 1700);
    ASSERT_EQ(frame.GetHeight(), 680);
    std::uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < 680; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(frame.Image().constScanLine(y));
        for (int x = 0; x < 1700; ++x) {
            hash ^= row[x] & 0xFFFFFF;
            hash *= 1099511628211ull;
        }
    }
    EXPECT_EQ(hash, 17545437211845206821ull);
}
