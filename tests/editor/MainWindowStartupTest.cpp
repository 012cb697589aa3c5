// Start-up of the editor: the windows in their order, the main window's controls and the
// document's start-up tables.
#include <string>

#include "EditorForms.h"

namespace {

using MainWindowStartupTest = EditorFormsTest;

TEST_F(MainWindowStartupTest, CreatesTheMainWindowFirstAndTheFourDialogs) {
    CreateForms();
    EXPECT_EQ(Application->MainForm(), MobrelForm);
    EXPECT_EQ(MobrelForm->GetCaption(), "Palvenor Ver 3.71 TYPE-A");
    ASSERT_NE(newform, nullptr);
    ASSERT_NE(scoreform, nullptr);
    ASSERT_NE(transfrm, nullptr);
    ASSERT_NE(viewform, nullptr);
    EXPECT_EQ(newform->GetCaption(), "背景新規作成");
    EXPECT_EQ(scoreform->GetCaption(), "スコアセット");
    EXPECT_EQ(transfrm->GetCaption(), "背景色設定");
    EXPECT_EQ(viewform->GetCaption(), "テスト表示");

    // The dialogs are shown modally on demand.
    Answers->OnForm([](TForm& Form) { EXPECT_TRUE(Form.Showing()); }, mrOk);
    EXPECT_EQ(scoreform->ShowModal(), mrOk);
    EXPECT_FALSE(scoreform->Showing());
}

TEST_F(MainWindowStartupTest, StartsWithEmptyTablesAndDefaults) {
    CreateForms();
    const TEditorDocument& doc = Doc();
    for (const TScoreChannel& channel : doc.Channels) {
        EXPECT_EQ(channel.CastCount, 0);
        for (int slot = 0; slot < CastSlotCount; ++slot) {
            EXPECT_TRUE(channel.CastTransparent[slot]);
            EXPECT_FALSE(channel.CastUsed[slot]);
            EXPECT_EQ(channel.Casts[slot], nullptr);
        }
        for (int frame = 0; frame < ScoreFrameCount; ++frame)
            EXPECT_FALSE(channel.CellSet[frame]);
    }
    for (int frame = 0; frame < ScoreFrameCount; ++frame) {
        EXPECT_EQ(doc.FrameWaits[frame], 0);
        EXPECT_EQ(doc.FramePoints[frame].X, -1);
        EXPECT_EQ(doc.FramePoints[frame].Y, 0);
    }
    EXPECT_EQ(MobrelForm->LastScoreCell.X, 1);
    EXPECT_EQ(MobrelForm->LastScoreCell.Y, 0);
    EXPECT_EQ(doc.ScoreClipCount, 0);
    EXPECT_EQ(MobrelForm->PlacementAnchor, 4);
    EXPECT_FALSE(MobrelForm->PlacingCast);
    EXPECT_FALSE(MobrelForm->MovingRun);
    EXPECT_EQ(doc.GetZoomFactor(), 1);
    EXPECT_EQ(doc.BackgroundColor, 0x00FFFFFFu);
    ASSERT_NE(doc.MainImage, nullptr);
    EXPECT_TRUE(doc.MainImage->Empty());
    EXPECT_EQ(doc.CanvasBitmap, nullptr);
}

TEST_F(MainWindowStartupTest, SetsUpTheControls) {
    CreateForms();
    TMobrelForm& form = *MobrelForm;
    EXPECT_EQ(form.colorb->GetItemIndex(), 1);
    EXPECT_EQ(form.colorb->GetText(), "256色");
    EXPECT_EQ(form.effectbox->GetItemIndex(), 0);
    EXPECT_EQ(form.effectbox->GetItems().size(), 16u);
    EXPECT_EQ(form.kakudaibtn->GetItemIndex(), 0);
    EXPECT_TRUE(form.CheckBox1->GetChecked());
    EXPECT_TRUE(form.paletteall->GetChecked());
    EXPECT_FALSE(form.ssize->GetChecked());
    EXPECT_EQ(form.Shape1->GetBrush().Color, clWhite);
    EXPECT_EQ(form.Image1->GetCursor(), 1);
    EXPECT_EQ(form.cast->Canvas()->Pen.Width, 2);

    EXPECT_EQ(form.score->GetColCount(), 201);
    EXPECT_EQ(form.score->GetRowCount(), 10);
    EXPECT_EQ(form.score->GetColWidths(0), 20);
    EXPECT_EQ(form.score->GetColWidths(1), 5);
    EXPECT_EQ(form.score->GetRowHeights(0), 13);
    EXPECT_EQ(form.score->Col(), 1);
    EXPECT_EQ(form.score->Row(), 0);
    EXPECT_EQ(form.cast->GetRowHeights(0), 16);
    EXPECT_EQ(form.cast->GetRowHeights(1), 30);
    EXPECT_EQ(form.cast->Col(), 0);
    EXPECT_EQ(form.cast->Row(), 1);
    for (int ch = 0; ch < ChannelCount; ++ch)
        EXPECT_EQ(form.score->GetCells(0, ch), std::to_string(ch + 1));
    for (int slot = 0; slot < CastSlotCount; ++slot)
        EXPECT_EQ(form.cast->GetCells(slot, 0), std::to_string(slot + 1));

    // Spin edit ranges: typed values outside them are brought back.
    form.SpinEdit4->SetText("5000");
    EXPECT_EQ(form.SpinEdit4->GetValue(), 1000);
    EXPECT_EQ(form.SpinEdit4->GetIncrement(), 10);
    form.SpinEdit1->SetText("-2000");
    EXPECT_EQ(form.SpinEdit1->GetValue(), -999);
    form.SpinEdit5->SetText("1000");
    EXPECT_EQ(form.SpinEdit5->GetValue(), 999);
}

} // namespace
