// The settings tools of the main window: position, wait and disposal over the selected
// rows, the transparent colour by a click, the exchange of a palette colour, the custom
// colours it fills, the background colour and the colour under the mouse.
#include "SettingsFrames.h"

namespace {

class SettingsTest : public SettingsTestBase {};

TEST_F(SettingsTest, PositionWaitAndDisposalGoToTheSelectedFrames) {
    // Without frames the edits do nothing.
    Form1->imgposx->SetValue(7);
    Form1->imgposx->OnExit(Form1->imgposx);
    Form1->ComboBox1->OnChange(Form1->ComboBox1);

    auto screen = Picture(20, 10, 8, 8, {}, [](int, int) { return 0; });
    Append(*screen);
    for (int i = 1; i <= 3; ++i) {
        auto frame = Picture(4, 3, 8, 8, {}, [i](int, int) { return i; });
        Append(*frame);
    }
    Select(2, 3); // frames 1 and 2, frame 2 current

    Form1->imgposx->SetValue(7);
    Form1->imgposx->OnExit(Form1->imgposx);
    Form1->imgposy->SetText("2000"); // brought into 0..1000
    Form1->imgposy->OnExit(Form1->imgposy);
    Form1->imgposy->SetValue(5);
    Form1->imgposy->OnExit(Form1->imgposy);
    Form1->ComboBox1->SetItemIndex(3);
    Form1->ComboBox1->OnChange(Form1->ComboBox1);
    for (int i : {1, 2}) {
        EXPECT_EQ(7, Frame(i).Left);
        EXPECT_EQ(5, Frame(i).Top);
        EXPECT_EQ(3, Frame(i).Disposal);
    }
    for (int i : {0, 3}) {
        EXPECT_EQ(0, Frame(i).Left);
        EXPECT_EQ(0, Frame(i).Top);
        EXPECT_EQ(0, Frame(i).Disposal);
    }
    // The current frame was drawn again at its new place (inside its focus outline).
    EXPECT_EQ(PlainColor(2), ViewPixel(8, 6));
    EXPECT_EQ(clWhite, ViewPixel(0, 0));

    // A changed wait redraws nothing: a frame moved behind the view's back stays put.
    Frame(2).Left = 0;
    Form1->waitdata->SetValue(35);
    Form1->waitdata->OnExit(Form1->waitdata);
    EXPECT_EQ((std::vector<int>{0, 35, 35, 0}), Delays());
    EXPECT_EQ(PlainColor(2), ViewPixel(8, 6));
    EXPECT_EQ(clWhite, ViewPixel(1, 6));
}

TEST_F(SettingsTest, LeftClickMarksTheColourInFramesWithNoLargerPalette) {
    // Frame 0 (current, 16 entries): red at index 4, on (2, 1) and (0, 2).
    auto f0 = Picture(10, 4, 8, 16, {4},
                      [](int x, int y) { return (x == 2 && y == 1) || (x == 0 && y == 2) ? 4 : 1; });
    // Frame 1, 4 bits: red at index 9; index 4 is another colour here.
    auto f1 = Picture(7, 4, 4, 16, {9}, [](int x, int y) {
        if ((x == 6 && y == 1) || (y == 3 && x <= 1)) return 9;
        return x == 5 && y == 3 ? 4 : 2;
    });
    // Frame 2, 1 bit: red at index 1; the last red pixel lies in the second byte of its row.
    auto f2 = Picture(10, 3, 1, 2, {1}, [](int x, int y) {
        return (x == 3 && y == 0) || (y == 2 && (x == 2 || x == 9)) ? 1 : 0;
    });
    // Frame 3: red, but a palette larger than the current frame's.
    auto f3 = Picture(5, 5, 8, 256, {4}, [](int, int) { return 4; });
    // Frame 4: no red. Frame 5: red, not selected.
    auto f4 = Picture(4, 4, 8, 16, {}, [](int, int) { return 4; });
    auto f5 = Picture(4, 4, 8, 16, {4}, [](int, int) { return 4; });
    for (TKvDIB* picture : {f0.get(), f1.get(), f2.get(), f3.get(), f4.get(), f5.get()})
        Append(*picture);
    Frame(0).Transparent = true;
    Frame(4).TransparentIndex = 7;
    Frame(4).TransparentPoint = TPoint{1, 1};
    Select(5, 1); // frames 0..4, frame 0 current

    // Outside the current frame, or while the set plays, nothing changes.
    LeftClick(15, 1);
    Idle = false;
    LeftClick(2, 1);
    Idle = true;
    EXPECT_EQ(0, Frame(0).TransparentIndex);
    EXPECT_EQ(NoTransparentPoint, Frame(0).TransparentPoint.X);

    LeftClick(2, 1);
    const auto expect = [](int Index, int TransparentIndex, TPoint Point) {
        EXPECT_EQ(TransparentIndex, Frame(Index).TransparentIndex) << "frame " << Index;
        EXPECT_EQ(Point, Frame(Index).TransparentPoint) << "frame " << Index;
    };
    expect(0, 4, TPoint{0, 2});
    expect(1, 4, TPoint{1, 3});
    expect(2, 4, TPoint{9, 2});
    expect(3, 0, TPoint{NoTransparentPoint, 0});
    expect(4, 7, TPoint{1, 1});
    expect(5, 0, TPoint{NoTransparentPoint, 0});
    // The transparent flags are the check box's business.
    EXPECT_TRUE(Frame(0).Transparent);
    EXPECT_FALSE(Frame(1).Transparent);
    EXPECT_EQ(5, Form1->ProgressBar1->GetMax());
    EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());
    // The settings and the view follow: frame 0's red is left out now.
    EXPECT_EQ(Red, Form1->Shape1->GetBrush().Color);
    EXPECT_EQ(clWhite, ViewPixel(2, 1));
    EXPECT_EQ(PlainColor(1), ViewPixel(3, 1));
}

TEST_F(SettingsTest, RightClickExchangesOnePaletteEntryWhereItHoldsTheColour) {
    auto f0 = Picture(4, 3, 8, 16, {7}, [](int x, int y) { return x == 1 && y == 1 ? 7 : 0; });
    auto shared = Picture(4, 2, 8, 16, {7}, [](int, int) { return 7; });
    auto f2 = Picture(4, 2, 8, 16, {3}, [](int, int) { return 3; });
    auto f3 = Picture(4, 2, 8, 256, {7}, [](int, int) { return 7; });
    // Frames 1 and 4 share one picture's storage.
    for (TKvDIB* picture : {f0.get(), shared.get(), f2.get(), f3.get(), shared.get()})
        Append(*picture);
    Select(4, 1);

    // Cancelled: nothing changes, but the custom colour is filled and the slot moves on.
    Answers->CancelDialog(ikColorDialog);
    RightClick(1, 1);
    ASSERT_EQ(1u, Answers->Log().size());
    EXPECT_EQ(Red, Answers->Log()[0].Color.Color);
    EXPECT_EQ("ColorA=0000FF", Answers->Log()[0].Color.CustomColors.at(0));
    EXPECT_EQ(1, CustomColorSlot);
    EXPECT_EQ(Red, Frame(0).Image->GetColors(7));

    Answers->ChooseColor(Green);
    RightClick(1, 1);
    EXPECT_EQ("ColorB=0000FF", Answers->Log().at(1).Color.CustomColors.at(1));
    EXPECT_EQ(Green, Frame(0).Image->GetColors(7));
    EXPECT_EQ(Green, Frame(1).Image->GetColors(7));
    EXPECT_EQ(PlainColor(6), Frame(1).Image->GetColors(6));
    EXPECT_EQ(PlainColor(7), Frame(2).Image->GetColors(7));
    EXPECT_EQ(Red, Frame(2).Image->GetColors(3));
    EXPECT_EQ(Red, Frame(3).Image->GetColors(7));
    EXPECT_EQ(Red, Frame(4).Image->GetColors(7)); // its storage was not written through
    EXPECT_EQ(7, Frame(1).Image->GetPixels(0, 0));
    EXPECT_EQ(Green, ViewPixel(1, 1));
}

TEST_F(SettingsTest, SeventeenExchangesFillTheCustomColoursAToPAndThenAAgain) {
    auto f0 = Picture(2, 1, 8, 8, {}, [](int, int) { return 5; });
    Append(*f0);
    Select(1, 1);
    for (int k = 0; k < 17; ++k) {
        Frame(0).Image->SetColors(5, k == 0 ? TColor(0x00FF8040) : RGB(std::uint8_t(k), 0, 0));
        RightClick(0, 0); // each one cancelled
    }
    const auto& log = Answers->Log();
    ASSERT_EQ(17u, log.size());
    EXPECT_EQ("ColorA=FF8040", log[0].Color.CustomColors.at(0));
    EXPECT_EQ("ColorC=FFFFFF", log[0].Color.CustomColors.at(2));
    EXPECT_EQ("ColorP=00000F", log[15].Color.CustomColors.at(15));
    EXPECT_EQ("ColorA=000010", log[16].Color.CustomColors.at(0));
    EXPECT_EQ("ColorB=000001", log[16].Color.CustomColors.at(1));
    EXPECT_EQ(1, CustomColorSlot);
}

TEST_F(SettingsTest, BackgroundColourFillsTheViewFromNowOn) {
    // Chosen with an empty list, it is the background of the first frames shown.
    Answers->ChooseColor(Green);
    Form1->Button2->Click();
    EXPECT_EQ(Green, Form1->Image1->Canvas()->Brush.Color);
    auto screen = Picture(10, 10, 8, 8, {}, [](int, int) { return 1; });
    auto small = Picture(4, 4, 8, 8, {}, [](int, int) { return 2; });
    Append(*screen);
    Append(*small);
    Select(2, 2);
    EXPECT_EQ(Green, ViewPixel(5, 5));
    EXPECT_EQ(PlainColor(2), ViewPixel(1, 1));

    // The dialog opens on the last colour; the view is drawn again at once.
    Answers->ChooseColor(Red);
    Form1->Button2->Click();
    EXPECT_EQ(Green, Answers->Log().at(1).Color.Color);
    EXPECT_EQ(Red, ViewPixel(5, 5));
    EXPECT_EQ(PlainColor(2), ViewPixel(1, 1));

    Answers->CancelDialog(ikColorDialog);
    Form1->Button2->Click();
    EXPECT_EQ(Red, Form1->Image1->Canvas()->Brush.Color);
}

TEST_F(SettingsTest, TheSwatchShowsTheColourUnderTheMouseInsideTheCurrentFrame) {
    auto f0 = Picture(10, 10, 8, 8, {}, [](int x, int) { return x < 5 ? 1 : 2; });
    auto f1 = Picture(4, 4, 8, 8, {3}, [](int, int) { return 3; });
    Append(*f0);
    Append(*f1);
    Frame(1).Left = 4;
    Select(2, 2);
    const auto move = [](int X, int Y) { Form1->Image1->OnMouseMove(Form1->Image1, 0, X, Y); };
    move(5, 1);
    EXPECT_EQ(Red, Form1->Shape2->GetBrush().Color);
    move(1, 1); // frame 0 shows there, but the current frame does not reach it
    EXPECT_EQ(Red, Form1->Shape2->GetBrush().Color);
    Select(1, 1);
    move(7, 7);
    EXPECT_EQ(PlainColor(2), Form1->Shape2->GetBrush().Color);
}

} // namespace
