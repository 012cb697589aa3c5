// The fade-out and fade-in buttons: the chosen kind over the selected slots of the current
// channel, the commands that end silently, and a failure shown in the error box.
#include "EditorForms.h"
#include "editor/model/effectstransition.h"
#include "widgets/WidgetTestSupport.h"

namespace {

constexpr TColor Navy = RGB(0, 0, 128);
constexpr TColor Orange = RGB(255, 128, 0);
constexpr TColor Grey = RGB(100, 100, 100);

class TransitionButtonsTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
        form = MobrelForm;
        form->score->SetRow(4);
    }

    TScoreChannel& Channel() { return Doc().Channels[4]; }

    // Count transparent casts of 12 x 6 in Orange, keyed Navy at their top-left.
    void PutCasts(int Count) {
        for (int slot = 0; slot < Count; ++slot) {
            TBitmap& cast = Channel().EnsureCast(slot);
            cast.SetPixelFormat(pfDevice);
            cast.SetSize(12, 6);
            cast.Canvas()->Brush = TBrush{Orange, bsSolid};
            cast.Canvas()->FillRect(TRect{0, 0, 12, 6});
            cast.Canvas()->SetPixels(0, 0, Navy);
            Channel().CastKeyPoint[slot] = TPoint{0, 0};
            Channel().CastTransparent[slot] = true;
            Channel().SyncCastTransparency(slot);
        }
        Channel().RecountCasts();
    }

    // Slots Left..Right selected with Current the current slot (one of the two ends).
    void Select(int Left, int Right, int Current) {
        const int anchor = Current == Left ? Right : Left;
        form->cast->SetSelection(TGridRect{anchor, 1, Current, 1});
    }

    TColor CastPixel(int Slot, int X, int Y) { return Channel().Cast(Slot)->Canvas()->GetPixels(X, Y); }

    // The strip as the user selects it.
    QPoint SlotCentre(int Slot) const {
        const TRect r = form->cast->CellRect(Slot, 1);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void PressSlot(int Slot, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        SendMouse(GridView(*form->cast), QEvent::MouseButtonPress, SlotCentre(Slot), Qt::LeftButton,
                  Modifiers);
        SendMouse(GridView(*form->cast), QEvent::MouseButtonRelease, SlotCentre(Slot), Qt::LeftButton,
                  Modifiers);
    }
    void DragSlots(int From, int To) {
        SendMouse(GridView(*form->cast), QEvent::MouseButtonPress, SlotCentre(From), Qt::LeftButton);
        SendMouse(GridView(*form->cast), QEvent::MouseMove, SlotCentre(To), Qt::LeftButton);
        SendMouse(GridView(*form->cast), QEvent::MouseButtonRelease, SlotCentre(To), Qt::LeftButton);
    }

    TMobrelForm* form = nullptr;
};

TEST_F(TransitionButtonsTest, FadeOutOverTheWholeStripFillsEverySlot) {
    PutCasts(1);
    form->effectbox->SetItemIndex(ekBlindsV);
    Select(0, 19, 0);
    form->BitBtn17->Click();
    EXPECT_TRUE(Answers->Messages().empty());
    EXPECT_EQ(Channel().CastCount, 20);
    // Steps 19: picture R keys the columns 0..R-1 of each band of 19.
    EXPECT_EQ(CastPixel(0, 5, 3), Orange);
    EXPECT_EQ(CastPixel(6, 5, 3), Navy);
    EXPECT_EQ(CastPixel(6, 6, 3), Orange);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(CastPixel(19, x, 3), Navy);
    EXPECT_TRUE(Channel().Cast(19)->GetTransparent());
    EXPECT_EQ(Channel().Cast(19)->GetTransparentColor(), Navy);
    EXPECT_EQ(form->ProgressBar1->GetMax(), 19);
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
    // Other channels are untouched.
    EXPECT_EQ(Doc().Channels[3].CastCount, 0);
}

TEST_F(TransitionButtonsTest, FadeInStoresTheSeriesFromTheCurrentSlotInReverse) {
    PutCasts(3);
    form->effectbox->SetItemIndex(ekSlideH1);
    Select(2, 5, 2);
    form->BitBtn18->Click();
    EXPECT_EQ(Channel().CastCount, 6);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(CastPixel(2, x, 2), Navy);
    // Q = 4: slot 3 holds picture 2 with 8 keyed columns.
    EXPECT_EQ(CastPixel(3, 7, 2), Navy);
    EXPECT_EQ(CastPixel(3, 8, 2), Orange);
    EXPECT_EQ(CastPixel(5, 1, 2), Orange);
}

// Five casts, each marked at (5, 2) in its own colour; blinds of 3 steps over 6 rows leave
// row 2 until the last picture.
TEST_F(TransitionButtonsTest, AMouseSelectionTakesTheSlotPressedFirstAsItsSource) {
    auto mark = [](int Slot) { return RGB(static_cast<std::uint8_t>(40 * Slot), 200, 50); };
    auto start = [&] {
        PutCasts(5);
        for (int slot = 0; slot < 5; ++slot)
            Channel().Cast(slot)->Canvas()->SetPixels(5, 2, mark(slot));
    };
    ShowAndActivate(*form);
    form->effectbox->SetItemIndex(ekBlindsH);
    auto expectSeriesFromSlot0 = [&](const char* How) {
        EXPECT_EQ(form->cast->Col(), 0) << How;
        EXPECT_EQ(Channel().CastCount, 5) << How;
        for (int slot = 0; slot <= 2; ++slot)
            EXPECT_EQ(CastPixel(slot, 5, 2), mark(0)) << How << " slot " << slot;
        EXPECT_EQ(CastPixel(3, 5, 2), Navy) << How;
        EXPECT_EQ(CastPixel(4, 5, 2), mark(4)) << How; // outside the selection
    };
    start();
    DragSlots(0, 3);
    form->BitBtn17->Click();
    expectSeriesFromSlot0("drag");

    start();
    PressSlot(0);
    PressSlot(3, Qt::ShiftModifier);
    form->BitBtn17->Click();
    expectSeriesFromSlot0("shift-click");

    // Dragged from right to left, the series starts at the slot pressed first.
    start();
    DragSlots(3, 0);
    EXPECT_EQ(form->cast->GetSelection(), (TGridRect{0, 1, 3, 1}));
    form->BitBtn17->Click();
    EXPECT_EQ(Channel().CastCount, 7);
    EXPECT_EQ(CastPixel(0, 5, 2), mark(0));
    EXPECT_EQ(CastPixel(5, 5, 2), mark(3));
    EXPECT_EQ(CastPixel(6, 5, 2), Navy);
}

TEST_F(TransitionButtonsTest, CommandsThatCannotRunEndSilently) {
    PutCasts(18);
    form->effectbox->SetItemIndex(ekSlideV1);
    // Three slots are too few.
    Select(0, 2, 0);
    form->BitBtn17->Click();
    // The series would pass the last slot.
    Select(14, 17, 17);
    form->BitBtn17->Click();
    // The current slot is empty: channel 5 has no casts.
    form->score->SetRow(5);
    Select(0, 3, 0);
    form->BitBtn18->Click();
    EXPECT_EQ(Doc().Channels[5].CastCount, 0);
    form->score->SetRow(4);
    // An overlap where the current cell is empty.
    form->effectbox->SetItemIndex(ekOverlap);
    Select(0, 4, 0);
    form->BitBtn17->Click();

    EXPECT_TRUE(Answers->Messages().empty());
    EXPECT_EQ(Channel().CastCount, 18);
    for (int slot = 0; slot < 18; ++slot)
        EXPECT_EQ(CastPixel(slot, 5, 0), Orange) << slot;
}

TEST_F(TransitionButtonsTest, OverlapBlendsIntoTheFrameOfTheCurrentColumn) {
    MakeMainImage(40, 30, Grey);
    PutCasts(1);
    // The cast stands on the main image in frame 2 (score column 3).
    SetCell(4, 2, TPoint{70, 70});
    form->score->SetCol(3);
    form->score->SetRow(4);
    form->effectbox->SetItemIndex(ekOverlap);
    Select(0, 4, 0);
    form->BitBtn17->Click();
    EXPECT_EQ(Channel().CastCount, 5);
    EXPECT_EQ(CastPixel(2, 5, 3), RGB(178, 114, 50));
    EXPECT_EQ(CastPixel(4, 5, 3), Grey);
    // The key-coloured pixel of the transparent cast stays.
    EXPECT_EQ(CastPixel(4, 0, 0), Navy);
}

TEST_F(TransitionButtonsTest, AKeyPointOutsideTheCastIsReportedAndTheStripStaysWhole) {
    PutCasts(2);
    Channel().CastKeyPoint[1] = TPoint{0, 6};
    form->effectbox->SetItemIndex(ekMosaic);
    Select(1, 4, 1);
    form->BitBtn17->Click();
    const std::vector<std::string> texts = Answers->MessageTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("Pixel Position is Out of Range"), std::string::npos);
    EXPECT_EQ(Channel().CastCount, 2);
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
}

// Twenty pictures of 7500 x 7500 (225 MB each as shown) pass the document's 4 GiB: the
// series is refused before the first of them is made, and the strip keeps its one cast.
TEST_F(TransitionButtonsTest, ASeriesTheDocumentCannotHoldIsRefusedBeforeAnyCastIsMade) {
    TBitmap& cast = Channel().EnsureCast(0);
    cast.SetPixelFormat(pfDevice);
    cast.SetSize(7500, 7500);
    Channel().RecountCasts();
    form->effectbox->SetItemIndex(ekBlindsV);
    Select(0, 19, 0);
    form->BitBtn17->Click();
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{SOutOfResources});
    EXPECT_EQ(Channel().CastCount, 1);
    EXPECT_EQ(Channel().Cast(1), nullptr);
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
}

} // namespace
