// The main window: its state at start, the minimum size, the close rules, the settings
// shown for a frame and the transparency box.
#include "FrameSetForms.h"
#include "common/TextFit.h"

namespace {

class MainWindowTest : public FrameSetFormsTest {
protected:
    // Five frames; frame 1 transparent with index 6, frame 3 with disposal 7.
    void OpenFive() {
        TGifBuilder gif;
        gif.Screen(40, 30, 256);
        for (int i = 0; i < 5; ++i) {
            const std::uint8_t packed = i == 1 ? 0x09 : (i == 3 ? 0x1C : 0x00);
            gif.Control(packed, 10 * i, 6).Image(2 * i, i, 4 + i, 3, TBytes(std::size_t(3 * (4 + i)), 6));
        }
        OpenGif(gif.Bytes());
        ASSERT_EQ(5, FrameCount);
    }
};

TEST_F(MainWindowTest, StartState) {
    EXPECT_EQ("Sorbelset", Form1->GetCaption());
    EXPECT_EQ("Frame", Form1->StringGrid1->GetCells(0, 0));
    EXPECT_EQ(2, Form1->StringGrid1->GetRowCount());
    EXPECT_EQ(0, FrameCount);
    EXPECT_TRUE(Idle);
    ASSERT_NE(nullptr, DecodeImage);
    EXPECT_TRUE(Form1->CheckBox1->GetChecked());
    EXPECT_TRUE(Form1->N25661->GetChecked());
    EXPECT_FALSE(Form1->N881->GetChecked());
    EXPECT_EQ(DisposalTexts, Form1->ComboBox1->GetItems());
    EXPECT_EQ("再生中", Form3->GetCaption());
    EXPECT_EQ("透過色設定", Form2->GetCaption());
}

TEST_F(MainWindowTest, TheWindowKeepsItsMinimumSize) {
    Form1->SetBounds(10, 10, 400, 300);
    EXPECT_EQ(615, Form1->GetWidth());
    EXPECT_EQ(456, Form1->GetHeight());
    EXPECT_EQ(306, Form1->ScrollBox1->GetWidth());
    EXPECT_EQ(358, Form1->ScrollBox1->GetHeight());
    Form1->SetBounds(10, 10, 800, 600);
    EXPECT_EQ(491, Form1->ScrollBox1->GetWidth());
    EXPECT_EQ(502, Form1->ScrollBox1->GetHeight());
}

TEST_F(MainWindowTest, ClosingAsksOnceAndNotDuringPlayback) {
    OpenFive();
    const std::size_t asked = Answers->Log().size();
    Idle = false;
    Form1->Close();
    EXPECT_EQ(asked, Answers->Log().size());
    EXPECT_FALSE(Application->Terminated());
    Idle = true;

    Answers->Reply(mrNo);
    Form1->Button6->Click();
    EXPECT_EQ((std::vector<std::string>{"終了してもいいですか ?"}), Answers->MessageTexts());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(5, FrameCount);

    Answers->Reply(mrYes);
    Form1->X1->Click();
    EXPECT_EQ(2u, Answers->MessageTexts().size());
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(0, FrameCount);
    EXPECT_EQ(nullptr, DecodeImage);
}

TEST_F(MainWindowTest, SettingsOfTheCurrentFrame) {
    OpenFive();
    Form1->StringGrid1->SetRow(2);
    Form1->StringGrid1MouseDown(Form1->StringGrid1, mbLeft, 0, 0, 0);
    EXPECT_TRUE(Form1->touka->GetChecked());
    EXPECT_EQ(TableColor(6), Form1->Shape1->GetBrush().Color);
    EXPECT_EQ("5", Form1->xsize->GetCaption());
    EXPECT_EQ("3", Form1->ysize->GetCaption());
    EXPECT_EQ(2, Form1->imgposx->GetValue());
    EXPECT_EQ(1, Form1->imgposy->GetValue());
    EXPECT_EQ(10, Form1->waitdata->GetValue());
    EXPECT_EQ(2, Form1->ComboBox1->GetItemIndex());
    EXPECT_EQ((TRect{2, 1, 7, 4}), FrameFocusRect);

    Form1->StringGrid1->SetRow(4);
    std::uint16_t key = VK_DOWN;
    Form1->StringGrid1KeyUp(Form1->StringGrid1, key, 0);
    EXPECT_FALSE(Form1->touka->GetChecked());
    EXPECT_EQ(clWhite, Form1->Shape1->GetBrush().Color);
    EXPECT_EQ(-1, Form1->ComboBox1->GetItemIndex()); // disposal 7 shows no item

    // Outside the list nothing changes.
    Form1->settei(5);
    Form1->settei(-1);
    EXPECT_EQ(30, Form1->waitdata->GetValue());
}

TEST_F(MainWindowTest, TheTransparencyBoxMarksTheSelectedFrames) {
    OpenFive();
    SelectRows(3, 5); // frames 2..4
    Form1->testviews(3);
    ASSERT_FALSE(Form1->touka->GetChecked());
    Form1->toukaMouseDown(Form1->touka, mbLeft, 0, 1, 1);
    EXPECT_FALSE(FrameList[0].Transparent);
    EXPECT_TRUE(FrameList[1].Transparent); // as read
    EXPECT_TRUE(FrameList[2].Transparent);
    EXPECT_TRUE(FrameList[3].Transparent);
    EXPECT_TRUE(FrameList[4].Transparent);
    // The current frame (row 5) was redrawn.
    EXPECT_EQ((TRect{8, 4, 16, 7}), FrameFocusRect);
    // A toggle from the keyboard changes no frame.
    Form1->touka->Click();
    EXPECT_TRUE(FrameList[2].Transparent);
}

TEST_F(MainWindowTest, EveryWindowShowsItsTextsWhole) {
    for (TForm* form : std::initializer_list<TForm*>{Form1, Form2, Form3})
        EXPECT_EQ(ClippedTexts(*form), std::vector<std::string>{}) << form->GetCaption();
}

} // namespace
