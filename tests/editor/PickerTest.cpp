// The pixel picker (zoom, live swatch, pick, cancel, "no transparency") and the frame
// transparency points it sets; the output frame copied to the clipboard.
#include "CastPictureFiles.h"
#include "toolkit/graphics/Clipboard.h"
#include "widgets/WidgetTestSupport.h"

namespace {

constexpr TColor White = 0x00FFFFFF;
constexpr TColor Red = 0x000000FF;
constexpr TColor Blue = 0x00FF0000;
constexpr TColor Green = 0x0000FF00;

class PickerTest : public PictureFilesTest {
protected:
    void SetUp() override {
        PictureFilesTest::SetUp();
        MakeMainImage(40, 30, White);
        Doc().MainImage->Canvas()->SetPixels(7, 2, Blue);
        Doc().RebuildCanvas();
    }

    // The picker answered by Action on the frame of the current score column.
    void PickFrame(std::function<void(TForm&)> Action) {
        Answers->OnForm(std::move(Action));
        form->Shape2MouseDown(form->Shape2, mbLeft, 0, 2, 2);
    }

    TColor ShownPixel(int X, int Y) {
        return transfrm->Image1->Picture()->Bitmap()->Canvas()->GetPixels(X, Y);
    }
};

TEST_F(PickerTest, ZoomMagnifiesThePictureAndDividesTheClick) {
    PickFrame([](TForm&) {
        EXPECT_EQ(transfrm->PickerZoom, 1);
        transfrm->Button2->Click(); // "縮小" at 1 stays at 1
        EXPECT_EQ(transfrm->PickerZoom, 1);
        EXPECT_EQ(transfrm->Image1->GetWidth(), 40);
        transfrm->Button1->Click();
        transfrm->Button1->Click();
        transfrm->Button2->Click();
        EXPECT_EQ(transfrm->PickerZoom, 2);
        EXPECT_EQ(transfrm->Image1->GetWidth(), 80);
        EXPECT_EQ(transfrm->Image1->GetHeight(), 60);
        // The swatch previews the pixel under the mouse.
        transfrm->Image1MouseMove(transfrm->Image1, 0, 15, 5);
        EXPECT_EQ(transfrm->Shape1->GetBrush().Color, Blue);
        transfrm->Button1->Click();
        transfrm->Image1MouseDown(transfrm->Image1, mbLeft, 0, 10, 5);
    });
    EXPECT_EQ(transfrm->PickedPoint.X, 3);
    EXPECT_EQ(transfrm->PickedPoint.Y, 1);
    EXPECT_EQ(Doc().FramePoints[0].X, 3);
    EXPECT_EQ(Doc().FramePoints[0].Y, 1);

    // Every opening starts again at zoom 1, with the picture at its own size.
    PickFrame([this](TForm&) {
        EXPECT_EQ(transfrm->PickerZoom, 1);
        EXPECT_EQ(transfrm->Image1->GetWidth(), 40);
        EXPECT_FALSE(transfrm->PickerCancelled);
        transfrm->Button3->Click();
    });
    EXPECT_TRUE(transfrm->PickerCancelled);
}

TEST_F(PickerTest, APickSetsThePointOfEverySelectedFrame) {
    form->score->SetSelection(TGridRect{3, 0, 6, 0});
    PickFrame([](TForm& Form) {
        EXPECT_EQ(Form.GetCaption(), "背景透過色設定");
        EXPECT_TRUE(transfrm->Button4->GetVisible());
        transfrm->Image1MouseDown(transfrm->Image1, mbRight, 0, 7, 2);
    });
    EXPECT_FALSE(transfrm->Button4->GetVisible());
    for (int frame = 0; frame < 8; ++frame) {
        const bool selected = frame >= 2 && frame <= 5;
        EXPECT_EQ(Doc().FramePoints[frame].X, selected ? 7 : -1) << frame;
        EXPECT_EQ(Doc().FramePointValid(frame), selected) << frame;
    }
    EXPECT_EQ(form->Shape2->GetBrush().Color, Blue);

    // "透過しない" clears the transparency of the same frames; Y stays.
    PickFrame([](TForm&) { transfrm->Button4->Click(); });
    for (int frame = 2; frame <= 5; ++frame) {
        EXPECT_EQ(Doc().FramePoints[frame].X, -1);
        EXPECT_EQ(Doc().FramePoints[frame].Y, 2);
        EXPECT_FALSE(Doc().FramePointValid(frame));
    }

    // Cancelling, or closing the window without a pick, stores nothing, not even the last
    // point picked.
    PickFrame([](TForm&) { transfrm->Image1MouseDown(transfrm->Image1, mbLeft, 0, 7, 2); });
    Doc().FramePoints[2] = TPoint{-1, 0};
    PickFrame([](TForm&) { transfrm->Button3->Click(); });
    EXPECT_EQ(Doc().FramePoints[2].X, -1);
    PickFrame([](TForm& Form) { Form.Close(); });
    EXPECT_TRUE(transfrm->PickerCancelled);
    EXPECT_EQ(Doc().FramePoints[2].X, -1);
}

// Before the pick the frame has no point and the swatch is hatched; after it the frame view is
// redrawn at once and the swatch shows the colour, whether or not the score had the focus.
TEST_F(PickerTest, AfterAPickTheSwatchAndTheFrameViewAreRedrawnAtOnce) {
    ShowAndActivate(*form);
    auto pickBlue = [this] {
        form->RefreshFrameView();
        ASSERT_EQ(form->Shape2->GetBrush().Style, bsDiagCross);
        Answers->OnForm([](TForm&) { transfrm->Image1MouseDown(transfrm->Image1, mbLeft, 0, 7, 2); });
        ClickAsUser(form->Shape2->Widget(), QPoint(2, 2));
        EXPECT_EQ(form->Shape2->GetBrush().Style, bsSolid);
        EXPECT_EQ(form->Shape2->GetBrush().Color, Blue);
        Doc().FramePoints[0] = TPoint{-1, 0};
    };
    form->score->SetFocus();
    pickBlue();
    EXPECT_TRUE(form->score->Focused());
    form->SpinEdit4->SetFocus(); // a wait typed just before
    pickBlue();
}

TEST_F(PickerTest, ThePickedFrameIsTheOutputFrameWithoutTheMargin) {
    // A cast half outside the main image is cut at its edge.
    AddCast(0, 10, 10, Red);
    SetCell(0, 0, TPoint{50, 60});
    PickFrame([this](TForm&) {
        EXPECT_EQ(transfrm->Image1->Picture()->Width(), 40);
        EXPECT_EQ(transfrm->Image1->Picture()->Height(), 30);
        EXPECT_EQ(ShownPixel(0, 5), Red);
        EXPECT_EQ(ShownPixel(4, 14), Red);
        EXPECT_EQ(ShownPixel(5, 5), White);
        EXPECT_EQ(ShownPixel(0, 4), White);
        transfrm->Image1MouseDown(transfrm->Image1, mbLeft, 0, 2, 6);
    });
    EXPECT_EQ(Doc().FramePoints[0].X, 2);
    EXPECT_EQ(Doc().FramePoints[0].Y, 6);
    EXPECT_EQ(form->Shape2->GetBrush().Color, Red);

    // A frame without set cells shows the main image alone.
    form->score->SetCol(2);
    PickFrame([this](TForm&) {
        EXPECT_EQ(ShownPixel(0, 5), White);
        EXPECT_EQ(ShownPixel(7, 2), Blue);
        transfrm->Button3->Click();
    });
}

TEST_F(PickerTest, TheOutputFrameGoesToTheClipboard) {
    TScoreChannel& channel = Doc().Channels[3];
    TBitmap& cast = channel.EnsureCast(0);
    cast.SetSize(6, 4);
    cast.Canvas()->Brush = TBrush{Blue, bsSolid};
    cast.Canvas()->FillRect(TRect{0, 0, 6, 4});
    cast.Canvas()->SetPixels(2, 1, Green);
    channel.CastKeyPoint[0] = TPoint{0, 0}; // transparent in blue
    channel.SyncCastTransparency(0);
    channel.RecountCasts();
    SetCell(3, 0, TPoint{60, 60});

    form->BitBtn4->Click();
    EXPECT_TRUE(Answers->Log().empty());
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(40, 30));
    EXPECT_EQ(ColorAt(copied, 9, 9), Green); // (60 - 3 + 2 - 50, 60 - 2 + 1 - 50)
    EXPECT_EQ(ColorAt(copied, 8, 9), White); // the blue is left out
    EXPECT_EQ(ColorAt(copied, 7, 2), Blue);  // the main image's own blue stays
}

TEST_F(PickerTest, WithoutAMainImageTheFrameCommandsDoNothing) {
    Doc().CanvasBitmap.reset();
    form->N11->Click();
    form->BitBtn4->Click();
    EXPECT_TRUE(Answers->Log().empty());
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());
}

} // namespace
