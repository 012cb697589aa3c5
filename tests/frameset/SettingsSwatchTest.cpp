// The transparent-colour dialog: the swatches of the current frame's palette, picking one,
// and the transparent index and point it gives the selected frames.
#include "SettingsFrames.h"

namespace {

class SettingsSwatchTest : public SettingsTestBase {
protected:
    static void PressShape1() { Form1->Shape1->OnMouseDown(Form1->Shape1, mbLeft, 0, 3, 3); }
    static void PressSwatch(int X, int Y) { Form2->Image1->OnMouseDown(Form2->Image1, mbLeft, 0, X, Y); }
    static TColor SwatchPixel(int X, int Y) { return Form2->Image1->Canvas()->GetPixels(X, Y); }
    static TColor PickedColor() { return Form2->Shape1->GetBrush().Color; }
};

TEST_F(SettingsSwatchTest, TwentyEntriesShowThirtyTwoSwatchesAndAPickGoesToTheSelection) {
    // Index 1 on (4, 1), (2, 2) and (5, 2) of the current frame.
    auto f0 = Picture(6, 4, 8, 20, {}, [](int x, int y) {
        return (x == 4 && y == 1) || (y == 2 && (x == 2 || x == 5)) ? 1 : 0;
    });
    auto f1 = Picture(4, 4, 8, 16, {}, [](int x, int y) { return x == 0 && y == 0 ? 1 : 2; });
    auto f2 = Picture(4, 4, 8, 256, {}, [](int, int) { return 1; }); // larger palette
    auto f3 = Picture(4, 4, 8, 16, {}, [](int, int) { return 1; });  // not selected
    for (TKvDIB* picture : {f0.get(), f1.get(), f2.get(), f3.get()})
        Append(*picture);
    Frame(0).TransparentIndex = 3;
    Select(3, 1);

    Answers->OnForm([](TForm&) {
        EXPECT_EQ(32, SwatchCount);
        EXPECT_EQ(PlainColor(3), PickedColor());
        EXPECT_EQ(PlainColor(0), SwatchPixel(8, 8));
        EXPECT_EQ(PlainColor(19), SwatchPixel(16 * 3 + 8, 16 + 8));
        EXPECT_EQ(clWhite, SwatchPixel(8, 40)); // the third row holds no swatch
        EXPECT_EQ(clWhite, SwatchPixel(255, 255));
        PressSwatch(5, 35); // index 32, just past the last swatch
        PressSwatch(0, 5);  // the left column picks nothing
        EXPECT_EQ(3, PickedIndex);
        EXPECT_EQ(PlainColor(3), PickedColor());
        PressSwatch(20, 10);
        EXPECT_EQ(1, PickedIndex);
        EXPECT_EQ(PlainColor(1), PickedColor());
        Form2->Button1->Click();
    });
    PressShape1();
    ASSERT_EQ(1u, Answers->Log().size());
    EXPECT_EQ("透過色設定", Answers->Log()[0].FormCaption);
    EXPECT_TRUE(SwatchAccepted);

    // The leftmost pixel of the last row that carries the index.
    EXPECT_EQ(1, Frame(0).TransparentIndex);
    EXPECT_EQ((TPoint{2, 2}), Frame(0).TransparentPoint);
    EXPECT_EQ(1, Frame(1).TransparentIndex);
    EXPECT_EQ((TPoint{0, 0}), Frame(1).TransparentPoint);
    for (int i : {2, 3}) {
        EXPECT_EQ(0, Frame(i).TransparentIndex);
        EXPECT_EQ(NoTransparentPoint, Frame(i).TransparentPoint.X);
    }
    EXPECT_EQ(PlainColor(1), Form1->Shape1->GetBrush().Color);
    EXPECT_EQ(3, Form1->ProgressBar1->GetMax());
    EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());
}

TEST_F(SettingsSwatchTest, AnIndexThatNoPixelCarriesLeavesNoPoint) {
    auto f0 = Picture(4, 4, 8, 16, {}, [](int, int) { return 0; });
    Append(*f0);
    Frame(0).TransparentPoint = TPoint{2, 3};
    Select(1, 1);
    Answers->OnForm([](TForm&) {
        EXPECT_EQ(16, SwatchCount);
        PressSwatch(16 * 5 + 3, 5);
        Form2->Button1->Click();
    });
    PressShape1();
    EXPECT_EQ(5, Frame(0).TransparentIndex);
    EXPECT_EQ((TPoint{NoTransparentPoint, 3}), Frame(0).TransparentPoint);
}

TEST_F(SettingsSwatchTest, CancelCloseBoxPlaybackAndEmptyListChangeNothing) {
    PressShape1(); // no frames: no dialog
    auto f0 = Picture(10, 3, 1, 2, {}, [](int x, int) { return x % 2; });
    Append(*f0);
    Select(1, 1);
    Idle = false;
    PressShape1();
    Idle = true;
    EXPECT_TRUE(Answers->Log().empty());

    Answers->OnForm([](TForm&) {
        EXPECT_EQ(8, SwatchCount); // two entries round up to eight swatches
        PressSwatch(16 * 8 + 3, 3);
        EXPECT_EQ(0, PickedIndex);
        PressSwatch(20, 3);
        Form2->Button2->Click();
    });
    PressShape1();
    EXPECT_FALSE(SwatchAccepted);
    EXPECT_EQ(0, Frame(0).TransparentIndex);

    // The close box after a pick: every showing starts unaccepted.
    SwatchAccepted = true;
    Answers->OnForm([](TForm& Form) {
        PressSwatch(20, 3);
        Form.Close();
    });
    PressShape1();
    EXPECT_FALSE(SwatchAccepted);
    EXPECT_EQ(0, Frame(0).TransparentIndex);
    EXPECT_EQ(NoTransparentPoint, Frame(0).TransparentPoint.X);
}

} // namespace
