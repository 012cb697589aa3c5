// The frame view: score cell colours, the transparency swatch, the X/Y spin edits, the
// placement preview, and the inverted motion path, crosshair and main-image outline.
#include "EditorForms.h"

namespace {

constexpr TColor Lime = 0x0000FF00;
constexpr TColor Red = 0x000000FF;
constexpr TColor Black = 0x00000000;
constexpr TColor White = 0x00FFFFFF;

class FrameViewTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
        form = MobrelForm;
    }

    // The colour the score grid shows in the middle of cell (Column, Row).
    TColor ScoreCell(int Column, int Row) {
        form->score->Repaint();
        const TRect cell = form->score->CellRect(Column, Row);
        return form->score->Canvas()->GetPixels((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    }

    TMobrelForm* form = nullptr;
};

TEST_F(FrameViewTest, SetCellsAreLimeWithAFramePointAndRedWithout) {
    MakeMainImage(100, 80, White);
    AddCast(0, 10, 10, Red);
    SetCell(0, 3, TPoint{60, 60});
    SetCell(0, 4, TPoint{60, 60});
    SetCell(1, 3, TPoint{60, 60}); // a channel without casts
    AddCast(2, 10, 10, Red);
    SetCell(2, 3, TPoint{60, 60});
    Doc().FramePoints[3] = TPoint{5, 5};
    Doc().FramePoints[4] = TPoint{100, 5}; // just outside the main image
    form->Show();
    Application->ProcessMessages();

    EXPECT_EQ(ScoreCell(4, 0), Lime);
    EXPECT_EQ(ScoreCell(4, 2), Lime);
    EXPECT_EQ(ScoreCell(5, 0), Red);
    EXPECT_EQ(ScoreCell(4, 1), ColorToRGB(clWindow));
    EXPECT_EQ(ScoreCell(6, 0), ColorToRGB(clWindow));

    // Selected cells keep the selection colour.
    form->score->SetSelection(TGridRect{4, 0, 5, 0});
    EXPECT_EQ(ScoreCell(4, 0), ColorToRGB(clHighlight));
}

TEST_F(FrameViewTest, TheFocusedCellRefreshesTheView) {
    MakeMainImage(20, 10, White);
    ASSERT_TRUE(form->Image1->Picture()->GetGraphic() == nullptr);
    form->scoreDrawCell(form->score, 1, 0, form->score->CellRect(1, 0), gdSelected | gdFocused);
    EXPECT_EQ(form->Image1->Picture()->Width(), 120);
    EXPECT_EQ(form->Image1->Picture()->Height(), 110);
}

TEST_F(FrameViewTest, TheSwatchShowsTheComposedColourAtTheFramePoint) {
    MakeMainImage(100, 80, 0x00336699);
    form->Shape2->SetBrush(TBrush{White, bsSolid});

    // No frame point: black, and a solid brush turns into a diagonal cross.
    form->ShowFrame(1, 0);
    EXPECT_EQ(form->Shape2->GetBrush().Color, Black);
    EXPECT_EQ(form->Shape2->GetBrush().Style, bsDiagCross);

    Doc().FramePoints[0] = TPoint{10, 10};
    form->ShowFrame(1, 0);
    EXPECT_EQ(form->Shape2->GetBrush().Color, 0x00336699u);
    EXPECT_EQ(form->Shape2->GetBrush().Style, bsSolid);

    // A cast covering the point changes the colour.
    AddCast(4, 10, 10, 0x00ABCDEF);
    SetCell(4, 0, TPoint{60, 60});
    form->ShowFrame(1, 0);
    EXPECT_EQ(form->Shape2->GetBrush().Color, 0x00ABCDEFu);

    // A hatch other than solid is kept.
    Doc().FramePoints[0] = TPoint{-1, 0};
    form->Shape2->SetBrush(TBrush{White, bsHorizontal});
    form->ShowFrame(1, 0);
    EXPECT_EQ(form->Shape2->GetBrush().Color, Black);
    EXPECT_EQ(form->Shape2->GetBrush().Style, bsHorizontal);
}

TEST_F(FrameViewTest, TheFramePointColourShowsAsBackground) {
    MakeMainImage(100, 80, 0x00336699);
    Doc().BackgroundColor = 0x00010203;
    Doc().FramePoints[0] = TPoint{0, 0};
    form->ShowFrame(1, 0);
    EXPECT_EQ(ViewPixel(70, 70), 0x00010203u);
}

TEST_F(FrameViewTest, SpinEditsFollowTheCurrentCell) {
    MakeMainImage(100, 80, White);
    AddCast(0, 10, 10, Red);
    SetCell(0, 2, TPoint{77, -12});
    SetCell(1, 2, TPoint{5, 6}); // no casts in channel 1

    form->ShowFrame(3, 0);
    EXPECT_TRUE(form->SpinEdit1->GetEnabled());
    EXPECT_TRUE(form->SpinEdit2->GetEnabled());
    EXPECT_EQ(form->SpinEdit1->GetValue(), 77);
    EXPECT_EQ(form->SpinEdit2->GetValue(), -12);

    form->ShowFrame(3, 1);
    EXPECT_FALSE(form->SpinEdit1->GetEnabled());
    EXPECT_FALSE(form->SpinEdit2->GetEnabled());
    EXPECT_EQ(form->SpinEdit1->GetValue(), 77);

    form->ShowFrame(3, 0);
    form->ShowFrame(2, 0); // an empty cell
    EXPECT_FALSE(form->SpinEdit1->GetEnabled());
}

TEST_F(FrameViewTest, WithoutAMainImageNothingIsShown) {
    AddCast(0, 10, 10, Red);
    SetCell(0, 0, TPoint{60, 60});
    form->Shape2->SetBrush(TBrush{White, bsSolid});
    form->ShowFrame(1, 0);
    form->PreviewPlacement(60, 60);
    EXPECT_EQ(form->Image1->Picture()->GetGraphic(), nullptr);
    EXPECT_EQ(form->Shape2->GetBrush().Color, White);
    EXPECT_TRUE(form->SpinEdit1->GetEnabled());
}

TEST_F(FrameViewTest, PreviewDrawsTheCurrentChannelAtThePointer) {
    MakeMainImage(100, 80, White);
    AddCast(0, 10, 10, Red);
    AddCast(1, 10, 10, Lime);
    SetCell(0, 0, TPoint{80, 70});
    SetCell(1, 0, TPoint{120, 100});
    form->score->SetSelection(TGridRect{1, 1, 1, 1});
    form->Shape2->SetBrush(TBrush{0x00445566, bsSolid});
    form->SpinEdit1->SetValue(3);

    form->PreviewPlacement(60, 60);
    EXPECT_EQ(ViewPixel(60, 60), Lime);
    EXPECT_EQ(ViewPixel(120, 100), White);
    EXPECT_EQ(ViewPixel(80, 70), Red);
    EXPECT_EQ(form->Shape2->GetBrush().Color, 0x00445566u);
    EXPECT_EQ(form->SpinEdit1->GetValue(), 3);
}

// White everywhere, so every pixel the view inverts turns black. Cells at frames 1 and 3,
// the current cell at frame 3.
class MotionPathTest : public FrameViewTest {
protected:
    void SetUp() override {
        FrameViewTest::SetUp();
        MakeMainImage(100, 80, White);
        AddCast(0, 3, 3, White);
        SetCell(0, 1, TPoint{80, 70});
        SetCell(0, 3, TPoint{120, 100});
        form->score->SetSelection(TGridRect{4, 0, 4, 0});
    }
};

TEST_F(MotionPathTest, InvertsBoxesPathCrosshairAndOutlineAtZoom1) {
    form->RefreshFrameView();
    ASSERT_EQ(form->Image1->GetWidth(), 200);
    ASSERT_EQ(form->Image1->GetHeight(), 180);

    // The 4 x 4 box round the first position, right and bottom edges left out.
    EXPECT_EQ(ViewPixel(78, 68), Black);
    EXPECT_EQ(ViewPixel(81, 68), Black);
    EXPECT_EQ(ViewPixel(78, 71), Black);
    EXPECT_EQ(ViewPixel(82, 70), White);
    EXPECT_EQ(ViewPixel(80, 72), White);
    // The path between the two positions.
    EXPECT_EQ(ViewPixel(100, 85), Black);
    EXPECT_EQ(ViewPixel(100, 86), White);
    // The crosshair through the current cell's position, without the end pixels.
    EXPECT_EQ(ViewPixel(120, 10), Black);
    EXPECT_EQ(ViewPixel(10, 100), Black);
    EXPECT_EQ(ViewPixel(120, 179), White);
    EXPECT_EQ(ViewPixel(199, 100), White);
    // The dotted outline of the main image, inverted again where the crosshair crosses it.
    EXPECT_EQ(ViewPixel(50, 50), Black);
    EXPECT_EQ(ViewPixel(51, 50), White);
    EXPECT_EQ(ViewPixel(120, 50), White);
    EXPECT_EQ(ViewPixel(122, 50), Black);
    EXPECT_EQ(form->Image1->Canvas()->Brush.Color, clWhite);
}

TEST_F(MotionPathTest, DoublesPositionsAtZoom2) {
    form->kakudaibtn->ClickItem(1);
    EXPECT_EQ(Doc().GetZoomFactor(), 2);
    ASSERT_EQ(form->Image1->GetWidth(), 400);
    ASSERT_EQ(form->Image1->GetHeight(), 360);

    // Boxes stay 4 x 4 round the doubled position.
    EXPECT_EQ(ViewPixel(158, 138), Black);
    EXPECT_EQ(ViewPixel(158, 141), Black);
    EXPECT_EQ(ViewPixel(161, 138), Black);
    EXPECT_EQ(ViewPixel(162, 140), White);
    EXPECT_EQ(ViewPixel(157, 140), White);
    EXPECT_EQ(ViewPixel(200, 170), Black);
    EXPECT_EQ(ViewPixel(240, 20), Black);
    EXPECT_EQ(ViewPixel(20, 200), Black);
    EXPECT_EQ(ViewPixel(239, 20), White);
    EXPECT_EQ(ViewPixel(100, 100), Black);
    EXPECT_EQ(ViewPixel(101, 100), White);
}

TEST_F(MotionPathTest, NoCrosshairOnAnEmptyCellAndNoPathWithoutCasts) {
    form->score->SetSelection(TGridRect{3, 0, 3, 0});
    form->RefreshFrameView();
    EXPECT_EQ(ViewPixel(78, 68), Black);
    EXPECT_EQ(ViewPixel(120, 10), White);

    Doc().Channels[0].FreeCast(0);
    Doc().Channels[0].RecountCasts();
    form->score->SetSelection(TGridRect{4, 0, 4, 0});
    form->RefreshFrameView();
    EXPECT_EQ(ViewPixel(78, 68), White);
    EXPECT_EQ(ViewPixel(120, 10), White);
    EXPECT_EQ(ViewPixel(50, 50), Black);
}

} // namespace
