// Placing casts with the mouse on the frame view: the anchor, the zoom, the step to the next
// frame, and moving a run with another button.
#include "EditorForms.h"

namespace {

constexpr TColor White = 0x00FFFFFF;
constexpr TColor Red = 0x000000FF;

class PlacementTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
        form = MobrelForm;
        MakeMainImage(200, 150, White);
    }

    TScoreChannel& Channel() { return Doc().Channels[form->score->Row()]; }

    void Click(TMouseButton Button, int X, int Y) {
        form->Image1MouseDown(form->Image1, Button, 0, X, Y);
        form->Image1MouseUp(form->Image1, Button, 0, X, Y);
    }

    TMobrelForm* form = nullptr;
};

TEST_F(PlacementTest, ALeftClickStoresTheCentreTheAnchorGivesAndStepsToTheNextFrame) {
    AddCast(0, 41, 31, Red); // half sizes are truncated: 20 and 15
    // The pointer holds the cast's top-left, then its bottom-right.
    MobrelForm->PlacementAnchor = 0;
    Click(mbLeft, 100, 100);
    EXPECT_TRUE(Channel().CellSet[0]);
    EXPECT_EQ(Channel().Positions[0], (TPoint{120, 115}));
    EXPECT_EQ(form->score->Col(), 2);
    EXPECT_FALSE(MobrelForm->PlacingCast);
    MobrelForm->PlacementAnchor = 8;
    Click(mbLeft, 100, 100);
    EXPECT_EQ(Channel().Positions[1], (TPoint{80, 85}));
    EXPECT_EQ(form->score->Col(), 3);

    // At zoom 2 the point is divided by the zoom before the anchor moves it.
    Doc().SetZoomFactor(2);
    MobrelForm->PlacementAnchor = 0;
    Click(mbLeft, 100, 100);
    EXPECT_EQ(Channel().Positions[2], (TPoint{70, 65}));
    MobrelForm->PlacementAnchor = 8;
    Click(mbLeft, 101, 99);
    EXPECT_EQ(Channel().Positions[3], (TPoint{30, 34}));

    // The last column stays the current one.
    form->score->SetCol(200);
    Click(mbLeft, 10, 20);
    EXPECT_TRUE(Channel().CellSet[199]);
    EXPECT_EQ(Channel().Positions[199], (TPoint{-15, -5}));
    EXPECT_EQ(form->score->Col(), 200);
}

TEST_F(PlacementTest, TheCastFollowsThePointerWhileTheButtonIsDown) {
    AddCast(0, 10, 10, Red);
    form->Image1MouseDown(form->Image1, mbLeft, 0, 60, 60);
    EXPECT_TRUE(MobrelForm->PlacingCast);
    EXPECT_EQ(ViewPixel(60, 60), Red);
    form->Image1MouseMove(form->Image1, 0, 150, 120);
    EXPECT_EQ(ViewPixel(150, 120), Red);
    EXPECT_EQ(ViewPixel(60, 60), White);
    form->Image1MouseUp(form->Image1, mbLeft, 0, 150, 120);
    EXPECT_EQ(Channel().Positions[0].X, 150);

    // A move after the casts went away ends the drag without storing anything.
    form->score->SetCol(1);
    form->Image1MouseDown(form->Image1, mbLeft, 0, 80, 80);
    Channel().FreeCast(0);
    Channel().RecountCasts();
    form->Image1MouseMove(form->Image1, 0, 90, 90);
    EXPECT_FALSE(MobrelForm->PlacingCast);
    form->Image1MouseUp(form->Image1, mbLeft, 0, 90, 90);
    EXPECT_EQ(Channel().Positions[0].X, 150);
    EXPECT_EQ(form->score->Col(), 1);
}

TEST_F(PlacementTest, AnotherButtonMovesTheSelectedSetCellsTogether) {
    AddCast(0, 20, 20, Red);
    for (int frame = 3; frame <= 9; ++frame)
        if (frame != 6) SetCell(0, frame, TPoint{100 + frame, 80});
    Channel().Positions[6] = TPoint{5, 5};
    form->score->SetSelection(TGridRect{5, 0, 9, 0}); // frames 4..8, frame 8 current

    form->Image1MouseDown(form->Image1, mbRight, 0, 108, 80);
    EXPECT_TRUE(MobrelForm->MovingRun);
    form->Image1MouseUp(form->Image1, mbRight, 0, 118, 80);
    EXPECT_FALSE(MobrelForm->MovingRun);
    for (int frame : {4, 5, 7, 8})
        EXPECT_EQ(Channel().Positions[frame].X, 110 + frame) << frame;
    EXPECT_EQ(Channel().Positions[3].X, 103);
    EXPECT_EQ(Channel().Positions[9].X, 109);
    EXPECT_FALSE(Channel().CellSet[6]);
    EXPECT_EQ(Channel().Positions[6].X, 5);
    EXPECT_EQ(form->score->Col(), 9);
}

TEST_F(PlacementTest, WithoutAMainImageOrCastsClicksDoNothing) {
    Click(mbLeft, 60, 60);
    EXPECT_FALSE(Channel().CellSet[0]);
    EXPECT_EQ(form->score->Col(), 1);

    AddCast(0, 10, 10, Red);
    Doc().CanvasBitmap.reset();
    Click(mbLeft, 60, 60);
    EXPECT_FALSE(Channel().CellSet[0]);
    EXPECT_FALSE(MobrelForm->PlacingCast);
}

} // namespace
