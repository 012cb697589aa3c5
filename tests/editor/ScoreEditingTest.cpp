// Score editing through the main window: the clipboard buttons over the selection, the point
// set, offsets through the score dialog, centring, frame waits, the score's mouse and keys,
// moving a row, clearing a channel and resetting everything.
#include "EditorForms.h"
#include "widgets/WidgetTestSupport.h"

namespace {

constexpr TColor Red = 0x000000FF;
constexpr TColor White = 0x00FFFFFF;

class ScoreEditingTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
        form = MobrelForm;
    }

    // Columns Left..Right of row Row selected, the current cell at (Right, Row).
    void Select(int Left, int Right, int Row) { form->score->SetSelection(TGridRect{Left, Row, Right, Row}); }

    TPoint Position(int Channel, int Frame) { return Doc().Channels[Channel].Positions[Frame]; }

    TMobrelForm* form = nullptr;
};

TEST_F(ScoreEditingTest, CopyAndPasteARunAcrossTheEndOfTheScore) {
    AddCast(2, 4, 4, Red);
    SetCell(0, 10, TPoint{1, 2});
    SetCell(0, 12, TPoint{5, 6});
    Doc().Channels[0].Positions[11] = TPoint{3, 4};
    Select(11, 13, 0);
    form->BitBtn9Click(nullptr);

    Select(199, 199, 2);
    form->BitBtn10Click(nullptr);
    const TScoreChannel& target = Doc().Channels[2];
    EXPECT_TRUE(target.CellSet[198]);
    EXPECT_FALSE(target.CellSet[199]);
    EXPECT_EQ(target.Positions[199].X, 3);
    EXPECT_TRUE(target.CellSet[0]);
    EXPECT_EQ(target.Positions[0].Y, 6);

    // The menu item pastes the same clipboard again.
    Select(50, 50, 2);
    form->K4->Click();
    EXPECT_TRUE(target.CellSet[49] && target.CellSet[51]);
}

TEST_F(ScoreEditingTest, CutAndDeleteClearCellsButKeepPositions) {
    AddCast(1, 4, 4, Red);
    for (int f = 0; f < 6; ++f)
        SetCell(1, f, TPoint{f, f});
    Select(2, 3, 1);
    form->BitBtn11Click(nullptr);
    EXPECT_FALSE(Doc().Channels[1].CellSet[1] || Doc().Channels[1].CellSet[2]);
    EXPECT_EQ(Position(1, 2).X, 2);
    EXPECT_EQ(Doc().ScoreClipCount, 2);

    Select(5, 6, 1);
    form->BitBtn22Click(nullptr);
    EXPECT_TRUE(Doc().Channels[1].CellSet[3]);
    EXPECT_FALSE(Doc().Channels[1].CellSet[4] || Doc().Channels[1].CellSet[5]);
    EXPECT_EQ(Position(1, 5).Y, 5);
    EXPECT_EQ(Doc().ScoreClipCount, 2); // deleting leaves the clipboard alone

    // The Delete key clears the selection of the current channel too.
    Select(1, 1, 1);
    std::uint16_t key = 46;
    form->scoreKeyUp(form->score, key, 0);
    EXPECT_FALSE(Doc().Channels[1].CellSet[0]);
}

TEST_F(ScoreEditingTest, PointSetWritesTheSpinEditsIntoASetCellOnly) {
    MakeMainImage(40, 30, White);
    AddCast(0, 4, 4, Red);
    SetCell(0, 4, TPoint{60, 60});
    Select(5, 5, 0);
    form->SpinEdit1->SetValue(70);
    form->SpinEdit2->SetValue(-8);
    form->BitBtn13Click(nullptr);
    EXPECT_EQ(Position(0, 4).X, 70);
    EXPECT_EQ(Position(0, 4).Y, -8);

    Doc().Channels[0].Positions[5] = TPoint{1, 1};
    Select(6, 6, 0);
    form->SpinEdit1->SetValue(9);
    form->BitBtn13Click(nullptr);
    EXPECT_FALSE(Doc().Channels[0].CellSet[5]);
    EXPECT_EQ(Position(0, 5).X, 1);
}

TEST_F(ScoreEditingTest, TheDialogsOffsetsMoveEverySelectedChannel) {
    MakeMainImage(40, 30, White);
    for (int ch = 1; ch <= 5; ++ch) {
        SetCell(ch, 0, TPoint{10, 10});
        SetCell(ch, 9, TPoint{20, 20});
        SetCell(ch, 10, TPoint{30, 30});
    }
    Doc().Channels[3].Positions[5] = TPoint{0, 0}; // empty cell
    form->score->SetSelection(TGridRect{1, 2, 10, 4});
    scoreform->SpinEdit1->SetValue(99); // the dialog opens with 0 and 0
    bool openedAtZero = false;
    Answers->OnForm([&](TForm& Dialog) {
        auto& dialog = static_cast<Tscoreform&>(Dialog);
        openedAtZero = dialog.SpinEdit1->GetValue() == 0 && dialog.SpinEdit2->GetValue() == 0;
        dialog.SpinEdit1->SetValue(5);
        dialog.SpinEdit2->SetValue(-3);
        dialog.Button1->Click();
    });
    form->BitBtn26Click(nullptr);
    EXPECT_TRUE(openedAtZero);
    for (int ch = 2; ch <= 4; ++ch) {
        SCOPED_TRACE(ch);
        EXPECT_EQ(Position(ch, 0).X, 15);
        EXPECT_EQ(Position(ch, 9).Y, 17);
        EXPECT_EQ(Position(ch, 10).X, 30);
    }
    EXPECT_EQ(Position(3, 5).X, 0);
    EXPECT_EQ(Position(1, 0).X, 10);
    EXPECT_EQ(Position(5, 9).X, 20);
    EXPECT_TRUE(scoreform->ScoreFormOk);
}

TEST_F(ScoreEditingTest, ACancelledDialogMovesNothing) {
    MakeMainImage(40, 30, White);
    SetCell(0, 0, TPoint{10, 10});
    Select(1, 1, 0);
    Answers->OnForm([](TForm& Dialog) {
        auto& dialog = static_cast<Tscoreform&>(Dialog);
        dialog.SpinEdit1->SetValue(5);
        dialog.Button2->Click();
    });
    form->BitBtn26Click(nullptr);
    EXPECT_EQ(Position(0, 0).X, 10);
    EXPECT_FALSE(scoreform->ScoreFormOk);

    // Only "CANCEL" cancels: leaving by the close box applies the offsets like "OK".
    Answers->OnForm([](TForm& Dialog) { static_cast<Tscoreform&>(Dialog).SpinEdit1->SetValue(5); }, mrCancel);
    form->BitBtn26Click(nullptr);
    EXPECT_EQ(Position(0, 0).X, 15);
    EXPECT_TRUE(scoreform->ScoreFormOk);

    // Without a main image the dialog does not open.
    Doc().CanvasBitmap.reset();
    form->BitBtn26Click(nullptr);
    EXPECT_EQ(Answers->Log().size(), 2u);
}

TEST_F(ScoreEditingTest, OffsetsStopAtTheEdgeOfThePositionRangeAndTheZoomedViewDraws) {
    MakeMainImage(40, 30, White);
    AddCast(0, 4, 4, Red);
    SetCell(0, 0, TPoint{60, 60});
    SetCell(0, 1, TPoint{70, 70});
    Select(1, 2, 0);
    for (int twice = 0; twice < 2; ++twice) {
        Answers->OnForm([](TForm& Dialog) {
            auto& dialog = static_cast<Tscoreform&>(Dialog);
            dialog.SpinEdit1->SetValue(2000000000);
            dialog.SpinEdit2->SetValue(-2000000000);
            dialog.Button1->Click();
        });
        form->BitBtn26Click(nullptr);
    }
    EXPECT_EQ(Position(0, 0), (TPoint{PositionLimit, -PositionLimit}));
    EXPECT_EQ(Position(0, 1), (TPoint{PositionLimit, -PositionLimit}));
    // The path and the crosshair of far positions are drawn at the largest zoom.
    Doc().SetZoomFactor(MaxZoomFactor);
    form->RefreshFrameView();
    EXPECT_EQ(ViewPixel(0, 0), White);
}

TEST_F(ScoreEditingTest, CentringLeftRightAndUpDown) {
    MakeMainImage(201, 31, White);
    AddCast(0, 4, 4, Red);
    SetCell(0, 0, TPoint{1, 2});
    SetCell(0, 1, TPoint{3, 4});
    Select(1, 2, 0);
    form->BitBtn27Click(nullptr);
    EXPECT_EQ(Position(0, 0).X, 150);
    EXPECT_EQ(Position(0, 1).X, 150);
    EXPECT_EQ(Position(0, 1).Y, 4);
    form->K13->Click();
    EXPECT_EQ(Position(0, 0).Y, 65);
}

TEST_F(ScoreEditingTest, TypedWaitsGoToTheSelectedFramesAndSelectingOnlyShowsThem) {
    form->Show();
    Application->ProcessMessages();
    Doc().FrameWaits[2] = 70;
    Select(5, 8, 0);
    form->SpinEdit4->SetFocus();
    ASSERT_TRUE(form->SpinEdit4->Focused());
    form->SpinEdit4->SetValue(30);
    for (int f = 4; f <= 7; ++f)
        EXPECT_EQ(Doc().FrameWaits[f], 30) << f;
    EXPECT_EQ(Doc().FrameWaits[3], 0);
    EXPECT_EQ(Doc().FrameWaits[8], 0);

    // Dragging over columns 3..5 (waits 70, 0 and 30) keeps the frame pressed first current,
    // shows its wait and writes none of them.
    form->score->SetFocus();
    QWidget* grid = GridView(*form->score);
    const TRect from = form->score->CellRect(3, 0);
    const TRect to = form->score->CellRect(5, 0);
    SendMouse(grid, QEvent::MouseButtonPress, QPoint(from.Left + 1, from.Top + 1), Qt::LeftButton);
    EXPECT_EQ(form->SpinEdit4->GetValue(), 70);
    SendMouse(grid, QEvent::MouseMove, QPoint(to.Left + 1, to.Top + 1), Qt::LeftButton);
    SendMouse(grid, QEvent::MouseButtonRelease, QPoint(to.Left + 1, to.Top + 1), Qt::LeftButton);
    EXPECT_EQ(form->score->GetSelection().Left, 3);
    EXPECT_EQ(form->score->GetSelection().Right, 5);
    EXPECT_EQ(form->SpinEdit4->GetValue(), 70);
    EXPECT_EQ(Doc().FrameWaits[2], 70);
    EXPECT_EQ(Doc().FrameWaits[3], 0);
    EXPECT_EQ(Doc().FrameWaits[4], 30);
}

TEST_F(ScoreEditingTest, MouseAndKeysFollowTheCurrentCell) {
    form->score->SetSelection(TGridRect{2, 6, 2, 6});
    std::uint16_t key = 40;
    form->scoreKeyUp(form->score, key, 0);
    EXPECT_EQ(MobrelForm->LastScoreCell.X, 2);
    EXPECT_EQ(MobrelForm->LastScoreCell.Y, 6);
    EXPECT_EQ(form->Label9->GetCaption(), "2");

    // The frame under the mouse.
    const TRect cell = form->score->CellRect(7, 0);
    form->scoreMouseMove(form->score, 0, cell.Left + 1, cell.Top + 1);
    EXPECT_EQ(form->Label11->GetCaption(), "7");
}

// Selecting frames 1..12 with the mouse leaves frame 1 current: the view, the X/Y edits and
// the wait show it, the labels the selection.
TEST_F(ScoreEditingTest, ADragOverFramesKeepsTheFramePressedFirstCurrent) {
    MakeMainImage(100, 80, White);
    AddCast(0, 4, 4, Red);
    for (int f = 0; f < 12; ++f)
        SetCell(0, f, TPoint{60 + f, 70});
    Doc().FrameWaits[0] = 10;
    Doc().FrameWaits[11] = 50;
    ShowAndActivate(*form);
    auto centre = [this](int Column) {
        const TRect r = form->score->CellRect(Column, 0);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    SendMouse(GridView(*form->score), QEvent::MouseButtonPress, centre(1), Qt::LeftButton);
    SendMouse(GridView(*form->score), QEvent::MouseMove, centre(6), Qt::LeftButton);
    SendMouse(GridView(*form->score), QEvent::MouseMove, centre(12), Qt::LeftButton);
    SendMouse(GridView(*form->score), QEvent::MouseButtonRelease, centre(12), Qt::LeftButton);
    form->score->Repaint();
    EXPECT_EQ(form->score->Col(), 1);
    EXPECT_EQ(MobrelForm->LastScoreCell.X, 1);
    EXPECT_EQ(form->Label4->GetCaption(), "1");
    EXPECT_EQ(form->Label9->GetCaption(), "12");
    EXPECT_EQ(form->SpinEdit4->GetValue(), 10);
    EXPECT_EQ(form->SpinEdit1->GetValue(), 60);
}

TEST_F(ScoreEditingTest, MovingARowExchangesTwoChannels) {
    AddCast(0, 3, 3, Red);
    AddCast(0, 5, 5, Red);
    AddCast(3, 7, 7, White);
    AddCast(1, 9, 9, White);
    SetCell(0, 4, TPoint{40, 41});
    SetCell(3, 8, TPoint{80, 81});
    SetCell(1, 2, TPoint{20, 21});

    form->score->MoveRow(0, 3);
    const TScoreChannel& zero = Doc().Channels[0];
    const TScoreChannel& three = Doc().Channels[3];
    EXPECT_EQ(zero.CastCount, 1);
    EXPECT_EQ(zero.Cast(0)->Width(), 7);
    EXPECT_EQ(three.CastCount, 2);
    EXPECT_EQ(three.Cast(1)->Width(), 5);
    EXPECT_TRUE(zero.CellSet[8] && !zero.CellSet[4]);
    EXPECT_EQ(three.Positions[4].Y, 41);
    EXPECT_EQ(Doc().Channels[1].Cast(0)->Width(), 9);
    EXPECT_TRUE(Doc().Channels[1].CellSet[2]);
    for (int row = 0; row < ChannelCount; ++row)
        EXPECT_EQ(form->score->GetCells(0, row), std::to_string(row + 1));
}

TEST_F(ScoreEditingTest, ClearingAChannelAsksFirst) {
    AddCast(2, 4, 4, Red);
    SetCell(2, 0, TPoint{5, 5});
    SetCell(2, 199, TPoint{6, 6});
    Select(1, 1, 2);
    Answers->Reply(mrNo);
    form->BitBtn16Click(nullptr);
    EXPECT_TRUE(Doc().Channels[2].CellSet[0]);

    Answers->Reply(mrYes);
    form->K7->Click();
    EXPECT_FALSE(Doc().Channels[2].CellSet[0] || Doc().Channels[2].CellSet[199]);
    EXPECT_EQ(Doc().Channels[2].CastCount, 1);
    EXPECT_EQ(Position(2, 199).X, 6);
    EXPECT_EQ(Answers->MessageTexts().back(), "このスコアをすべて削除してもいいですか？");
    EXPECT_EQ(Answers->Messages().back().Type, mtWarning);
}

TEST_F(ScoreEditingTest, ResetAllAsksAndThenEmptiesTheScore) {
    AddCast(4, 4, 4, Red);
    SetCell(4, 7, TPoint{12, 13});
    Doc().FrameWaits[7] = 20;
    Doc().FramePoints[7] = TPoint{1, 1};
    form->Shape2->SetBrushColor(Red);
    form->score->SetSelection(TGridRect{9, 5, 9, 5});

    Answers->Reply(mrNo);
    form->Button1Click(nullptr);
    EXPECT_EQ(Doc().Channels[4].CastCount, 1);

    Answers->Reply(mrYes);
    form->K14->Click();
    EXPECT_EQ(Answers->MessageTexts().back(), "すべてを初期化します。よろしいですか？");
    EXPECT_EQ(Doc().Channels[4].CastCount, 0);
    EXPECT_EQ(Doc().Channels[4].Cast(0), nullptr);
    EXPECT_FALSE(Doc().Channels[4].CellSet[7]);
    EXPECT_EQ(Position(4, 7).X, 12);
    EXPECT_EQ(Doc().FrameWaits[7], 0);
    EXPECT_EQ(Doc().FramePoints[7].X, -1);
    EXPECT_EQ(form->Shape2->GetBrush().Color, White);
    EXPECT_EQ(form->score->Col(), 1);
    EXPECT_EQ(form->score->Row(), 0);
    EXPECT_EQ(form->cast->Col(), 0);
    EXPECT_EQ(form->cast->Row(), 1);
}

} // namespace
