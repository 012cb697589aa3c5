#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGuiApplication>

#include "WidgetTestSupport.h"

namespace {

struct PaintedControlsTest : ::testing::Test {
    TForm form;
    void SetUp() override {
        form.SetClientWidth(300);
        form.SetClientHeight(200);
        ShowAndActivate(form);
    }
};

TEST_F(PaintedControlsTest, ImageCanvasDrawsOnThePictureAndTheControlShowsIt) {
    TImage image(&form);
    image.SetAutoSize(true);
    TBitmap bitmap;
    bitmap.SetWidth(40);
    bitmap.SetHeight(30);
    bitmap.Canvas()->Brush.Color = clWhite;
    bitmap.Canvas()->FillRect(Rect(0, 0, 40, 30));
    image.Picture()->Assign(&bitmap);
    EXPECT_EQ(image.GetWidth(), 40); // sized to the new picture
    EXPECT_EQ(image.GetHeight(), 30);

    image.Canvas()->Brush.Color = clRed;
    image.Canvas()->FillRect(Rect(10, 10, 20, 20));
    EXPECT_EQ(image.Picture()->Bitmap()->Canvas()->GetPixels(15, 15), clRed);
    // The picture was the bitmap's until drawn on; the bitmap keeps its own pixels.
    EXPECT_EQ(bitmap.Canvas()->GetPixels(15, 15), clWhite);
    const QImage shot = Snapshot(image);
    EXPECT_EQ(PixelColor(shot, 15, 15), clRed);
    EXPECT_EQ(PixelColor(shot, 5, 5), clWhite);
}

TEST_F(PaintedControlsTest, ImageTakesACursorRegisteredWithTheScreen) {
    TImage image(&form);
    QPixmap arrow(16, 16);
    arrow.fill(Qt::black);
    Screen->SetCursors(1, QCursor(arrow, 3, 4));
    image.SetCursor(1);
    EXPECT_EQ(image.Widget()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(image.Widget()->cursor().hotSpot(), QPoint(3, 4));
    image.SetCursor(crCross);
    EXPECT_EQ(image.Widget()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(PaintedControlsTest, TheBusyCursorCoversEveryWindowUntilTheCommandEnds) {
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    try {
        const TBusyCursor busy;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            const TBusyCursor inner; // a long step of a long command
            EXPECT_EQ(Screen->GetCursor(), crHourGlass);
        }
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        throw Exception("the command fails");
    } catch (const Exception&) {
    }
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PaintedControlsTest, EmptyImageCanvasGetsABitmapOfTheControlSize) {
    TImage image(&form);
    image.SetBounds(0, 0, 25, 15);
    TCanvas* canvas = image.Canvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(image.Picture()->Width(), 25);
    EXPECT_EQ(image.Picture()->Height(), 15);
}

TEST_F(PaintedControlsTest, StretchedImageFillsTheControl) {
    TImage image(&form);
    TBitmap bitmap;
    bitmap.SetWidth(2);
    bitmap.SetHeight(1);
    bitmap.Canvas()->SetPixels(0, 0, clBlue);
    bitmap.Canvas()->SetPixels(1, 0, clYellow);
    image.Picture()->Assign(&bitmap);
    image.SetStretch(true);
    image.SetBounds(0, 0, 20, 10);
    const QImage shot = Snapshot(image);
    EXPECT_EQ(PixelColor(shot, 2, 8), clBlue);
    EXPECT_EQ(PixelColor(shot, 17, 1), clYellow);
}

TEST_F(PaintedControlsTest, ShapesPaintSolidAndDiagonalCrossBrushes) {
    TShape shape(&form);
    shape.SetBounds(0, 0, 25, 25);
    shape.SetBrushColor(clRed);
    QImage shot = Snapshot(shape);
    EXPECT_EQ(PixelColor(shot, 0, 0), clBlack); // the pen's outline
    for (int y = 1; y < 24; ++y)
        for (int x = 1; x < 24; ++x)
            ASSERT_EQ(PixelColor(shot, x, y), clRed) << x << "," << y;

    shape.SetBrush(TBrush{clBlack, bsDiagCross});
    shot = Snapshot(shape);
    int hatch = 0;
    int background = 0;
    for (int y = 1; y < 24; ++y)
        for (int x = 1; x < 24; ++x) {
            const TColor c = PixelColor(shot, x, y);
            if (c == clBlack) ++hatch;
            if (c == ColorToRGB(clBtnFace)) ++background;
        }
    EXPECT_GT(hatch, 20);
    EXPECT_GT(background, 200); // the lines leave the background between them
}

TEST_F(PaintedControlsTest, MouseHandlersAreToldWhichButtonWentDownAndUp) {
    TShape shape(&form);
    shape.SetBounds(0, 0, 25, 25);
    std::vector<std::pair<TMouseButton, TShiftState>> downs;
    std::vector<TMouseButton> ups;
    shape.OnMouseDown = [&](TObject*, TMouseButton Button, TShiftState Shift, int, int) {
        downs.emplace_back(Button, Shift);
    };
    shape.OnMouseUp = [&](TObject*, TMouseButton Button, TShiftState, int, int) { ups.push_back(Button); };
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        SendMouse(shape.Widget(), QEvent::MouseButtonPress, QPoint(5, 5), button);
        SendMouse(shape.Widget(), QEvent::MouseButtonRelease, QPoint(5, 5), button);
    }
    EXPECT_EQ(downs, (std::vector<std::pair<TMouseButton, TShiftState>>{
                         {mbLeft, ssLeft}, {mbRight, ssRight}, {mbMiddle, ssMiddle}}));
    EXPECT_EQ(ups, (std::vector<TMouseButton>{mbLeft, mbRight, mbMiddle}));
}

TEST_F(PaintedControlsTest, ProgressBarKeepsItsPositionInsideTheRangeAndAnEmptyRangeShowsEmpty) {
    TProgressBar bar(&form);
    bar.SetBounds(0, 0, 200, 20);
    bar.SetMax(10);
    const QImage empty = Snapshot(bar);
    bar.SetPosition(25);
    EXPECT_EQ(bar.GetPosition(), 10);
    EXPECT_NE(Snapshot(bar), empty);
    bar.SetPosition(-3);
    EXPECT_EQ(bar.GetPosition(), 0);
    // A range of one value (a save of one frame) shows an empty bar, not a busy one.
    bar.SetMin(0);
    bar.SetMax(0);
    EXPECT_EQ(bar.GetPosition(), 0);
    EXPECT_EQ(Snapshot(bar), empty);
}

} // namespace

namespace {

TEST(GlyphButtonTest, GlyphGroundIsTransparent) {
    TForm form;
    TBitBtn button(&form);
    TBitmap glyph;
    glyph.SetWidth(4);
    glyph.SetHeight(4);
    glyph.Canvas()->Brush.Color = clFuchsia; // the ground: the bottom-left pixel's colour
    glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
    glyph.Canvas()->SetPixels(1, 1, clBlack);
    button.SetGlyph(&glyph);

    const QIcon icon = static_cast<QAbstractButton*>(button.Widget())->icon();
    const QImage shown = icon.pixmap(QSize(4, 4)).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(1, 1)), 255);
    EXPECT_EQ(shown.pixel(1, 1) & 0xFFFFFF, 0u);
}

} // namespace
