// Opening and inserting GIF files through the main window: the messages of failed loads,
// where the frames go, the grid and the screen size.
#include "FrameSetForms.h"

namespace {

using GifOpenCommandTest = FrameSetFormsTest;

TEST_F(GifOpenCommandTest, OlderVersionIsRefusedWithStageZeroThenNoCode) {
    TGifBuilder old("GIF87a");
    old.Screen(4, 3, 4).Control(0, 0, 0).Image(0, 0, 4, 3, TBytes(12, 1), 2).Trailer();
    OpenGif(old.Bytes());
    EXPECT_EQ((std::vector<std::string>{"エラーが発生しました #=0", "コードを認識できませんでした"}),
              Answers->MessageTexts());
    EXPECT_EQ(0, FrameCount);
    EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());
}

TEST_F(GifOpenCommandTest, ImagesWithoutControlExtensionGiveOnlyNoCode) {
    TGifBuilder gif;
    gif.Screen(4, 3, 4).Image(0, 0, 4, 3, TBytes(12, 1), 2).Trailer();
    OpenGif(gif.Bytes());
    EXPECT_EQ((std::vector<std::string>{"コードを認識できませんでした"}), Answers->MessageTexts());
}

TEST_F(GifOpenCommandTest, NewFillsTheListAndShowsTheFirstFrame) {
    OpenGif(Frames(3, 10));
    EXPECT_TRUE(Answers->MessageTexts().empty());
    EXPECT_EQ((std::vector<int>{10, 11, 12}), Delays());
    EXPECT_EQ(4, Form1->StringGrid1->GetRowCount());
    EXPECT_EQ("Frame", Form1->StringGrid1->GetCells(0, 0));
    EXPECT_EQ("3", Form1->StringGrid1->GetCells(0, 3));
    EXPECT_EQ(1, Form1->StringGrid1->Row());
    EXPECT_EQ("40", Form1->allx->GetCaption());
    EXPECT_EQ("30", Form1->ally->GetCaption());
    EXPECT_EQ(40, ScreenBitmap->Width());
    EXPECT_EQ(30, Form1->Image1->Picture()->Height());
    EXPECT_EQ((TRect{0, 0, 4, 3}), FrameFocusRect); // frame 0 drawn
    EXPECT_EQ(10, Form1->waitdata->GetValue());
}

TEST_F(GifOpenCommandTest, InsertPutsTheFramesAfterTheCurrentOne) {
    OpenGif(Frames(5, 10));
    Form1->StringGrid1->SetRow(3); // frame 2
    TGifBuilder second;
    second.Screen(90, 90, 256);
    for (int i = 0; i < 2; ++i)
        second.Control(0, 50 + i, 0).Image(0, 0, 4, 3, TBytes(12, 9));
    Answers->ChooseFiles({WriteFile("second.gif", second.Bytes())}, 1);
    Form1->Button9->Click();
    EXPECT_EQ((std::vector<int>{10, 11, 12, 50, 51, 13, 14}), Delays());
    EXPECT_EQ(3, Form1->StringGrid1->Row());
    EXPECT_EQ(8, Form1->StringGrid1->GetRowCount());
    EXPECT_EQ("7", Form1->StringGrid1->GetCells(0, 7));
    EXPECT_EQ(12, Form1->waitdata->GetValue()); // the current frame is still frame 2
    EXPECT_EQ(40, ScreenWidth);
    EXPECT_EQ("40", Form1->allx->GetCaption());
}

TEST_F(GifOpenCommandTest, TwoHundredFramesThenStageTwo) {
    OpenGif(Frames(250, 0));
    EXPECT_EQ(200, FrameCount);
    EXPECT_EQ((std::vector<std::string>{"エラーが発生しました #=2"}), Answers->MessageTexts());
    // A full list takes no more: insert does nothing at all.
    Form1->I1->Click();
    EXPECT_EQ(0, Answers->Pending());
    EXPECT_EQ(200, FrameCount);
}

TEST_F(GifOpenCommandTest, TheFilterChoosesTheReader) {
    const std::string bmp = WriteBmp("picture.bmp", 5, 5, clRed);
    Answers->ChooseFiles({bmp}, 1);
    Form1->N1->Click();
    EXPECT_EQ(0, FrameCount);
    EXPECT_EQ((std::vector<std::string>{"エラーが発生しました #=0", "コードを認識できませんでした"}),
              Answers->MessageTexts());
}

TEST_F(GifOpenCommandTest, AFileThatCannotBeReadEndsInTheErrorBox) {
    Answers->ChooseFiles({Path("missing.gif")}, 1);
    Form1->Button1->Click();
    const std::vector<TMessageRequest> messages = Answers->Messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("コードを認識できませんでした", messages[0].Text);
    EXPECT_EQ(mtError, messages[1].Type);
}

} // namespace
