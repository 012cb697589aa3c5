// The text-light window: run, the preview timer moving the light, stop and resume, the
// swatches and the font, and the failures of an empty text, a too small step and a margin
// that leaves no picture.
#include <QElapsedTimer>

#include "common/TextFit.h"
#include "tests/textlight/TextLightForm.h"
#include "toolkit/widgets/MessageBoxes.h"
#include "widgets/WidgetTestSupport.h"

namespace {

TColor Pixel(TKvDIB& Picture, int X, int Y) {
    return static_cast<TColor>(Picture.GetPixels(X, Y));
}

bool HasColor(TKvDIB& Picture, TColor Color) {
    for (int y = 0; y < Picture.GetHeight(); ++y)
        for (int x = 0; x < Picture.GetWidth(); ++x)
            if (Pixel(Picture, x, y) == Color) return true;
    return false;
}

} // namespace

TEST_F(TextLightFormTest, RunWithDefaultsStartsTheLightLeftOfTheText) {
    const int width = MeasuredWidth();
    const int height = MeasuredHeight();
    Form1->Button1->Click();
    ASSERT_TRUE(Rendered);
    EXPECT_EQ(TextDIB->GetWidth(), width);
    EXPECT_EQ(TextDIB->GetHeight(), height);
    EXPECT_EQ(BaseDIB->GetWidth(), width);
    EXPECT_EQ(LightDIB->GetWidth(), 52);
    EXPECT_EQ(LightDIB->GetHeight(), 52);
    EXPECT_EQ(LightX, -52);
    EXPECT_EQ(LightY, (height - 52) / 2);
    EXPECT_EQ(StepCount, 10);
    EXPECT_EQ(LightStep, (width + 52) / 10);
    EXPECT_EQ(Pixel(*TextDIB, TransPoint.X, TransPoint.Y), clBlack);
    EXPECT_TRUE(Form1->Timer1->GetEnabled());
    EXPECT_FALSE(Form1->Button4->GetEnabled());
    // Centred in the preview box, which is wider than the text.
    EXPECT_EQ(Form1->Image1->GetLeft(), (Form1->ScrollBox1->GetWidth() - width) / 2);
    EXPECT_TRUE(Answers->Messages().empty());
}

TEST_F(TextLightFormTest, EachTickShowsAFrameAndMovesTheLightUntilItWraps) {
    Form1->Button1->Click();
    Form1->Timer1->SetEnabled(false);
    const int step = LightStep;
    const int width = TextDIB->GetWidth();
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_EQ(LightX, -52 + step);
    TGraphic* shown = Form1->Image1->Picture()->GetGraphic();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Width(), width);
    EXPECT_EQ(shown->Height(), TextDIB->GetHeight());
    // The light wraps on the tick that brings its left edge to the text's right edge.
    LightX = width - step - 1;
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_EQ(LightX, width - 1);
    LightX = width - step;
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_EQ(LightX, -52);
}

TEST_F(TextLightFormTest, TheTimerRunsThePreviewOnTheEventLoop) {
    Form1->Button1->Click();
    QElapsedTimer clock;
    clock.start();
    while (LightX == -52 && clock.elapsed() < 2000)
        Application->ProcessMessages();
    EXPECT_NE(LightX, -52);
    EXPECT_NE(Form1->Image1->Picture()->GetGraphic(), nullptr);
}

TEST_F(TextLightFormTest, StopAndResumeToggleTheTimerAndSaving) {
    Form1->Button3->Click();
    EXPECT_FALSE(Form1->Timer1->GetEnabled()) << "nothing rendered yet";
    RunAndStop();
    EXPECT_FALSE(Form1->Timer1->GetEnabled());
    Form1->Button3->Click();
    EXPECT_TRUE(Form1->Timer1->GetEnabled());
    EXPECT_FALSE(Form1->Button4->GetEnabled());
}

TEST_F(TextLightFormTest, EmptyTextRendersNothingAndTheTimerStops) {
    Form1->Button1->Click();
    const int width = TextDIB->GetWidth();
    Form1->Edit1->SetText("");
    Form1->kage->Click(); // re-renders: the text is gone
    EXPECT_FALSE(Rendered);
    EXPECT_EQ(TextDIB->GetWidth(), width) << "the old picture stays";
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_FALSE(Form1->Timer1->GetEnabled());
    Form1->Button3->Click();
    EXPECT_FALSE(Form1->Timer1->GetEnabled());
    Form1->Button1->Click();
    EXPECT_FALSE(Form1->Timer1->GetEnabled());
    EXPECT_TRUE(Answers->Log().empty());
}

TEST_F(TextLightFormTest, TooManyFramesPerPassStopsWithAMessageAndResumesInPlace) {
    Form1->Edit1->SetText(".");
    Form1->SpinEdit2->SetValue(10);
    Form1->SpinEdit7->SetValue(200);
    ASSERT_LT(MeasuredWidth() + 10, 200);
    Form1->Button1->Click();
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"表示間隔が狭すぎます"});
    EXPECT_EQ(LightStep, 0);
    EXPECT_FALSE(Form1->Timer1->GetEnabled());
    EXPECT_FALSE(Form1->Button4->GetEnabled());
    // Resumed, the light stays just left of the text.
    Form1->Button3->Click();
    EXPECT_TRUE(Form1->Timer1->GetEnabled());
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_EQ(LightX, -10);
}

TEST_F(TextLightFormTest, MarginLeavingNoPixelsShowsTheLibraryError) {
    Form1->Edit1->SetText("i");
    Form1->SpinEdit5->SetValue(-MeasuredWidth());
    Form1->Button1->Click();
    EXPECT_FALSE(Rendered);
    EXPECT_FALSE(Form1->Timer1->GetEnabled());
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"TKvDIB.SetWidth: Invalid Width"});
}

TEST_F(TextLightFormTest, TextColourSwatchRendersTextAndLightInTheNewColour) {
    Form1->Button1->Click();
    Answers->ChooseColor(clRed);
    Form1->Shape1MouseDown(Form1->Shape1, mbRight, 0, 0, 0);
    EXPECT_EQ(Form1->Shape1->GetBrush().Color, clRed);
    EXPECT_EQ(Form1->Edit1->GetFont().Color, clRed);
    // The text box shows its text in the colour, and none in black.
    const QImage shown = Snapshot(*Form1->Edit1);
    int red = 0;
    int black = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            red += PixelColor(shown, x, y) == clRed;
            black += PixelColor(shown, x, y) == clBlack;
        }
    EXPECT_GT(red, 50);
    EXPECT_EQ(black, 0);
    EXPECT_TRUE(HasColor(*TextDIB, clRed));
    EXPECT_FALSE(HasColor(*TextDIB, clBlack));
    EXPECT_EQ(Pixel(*TextDIB, TransPoint.X, TransPoint.Y), clRed);
    EXPECT_EQ(Pixel(*LightDIB, 0, 0), clRed);
    EXPECT_EQ(Pixel(*BaseDIB, 0, 0), clRed);

    Answers->CancelDialog(ikColorDialog);
    Form1->Shape1MouseDown(Form1->Shape1, mbLeft, 0, 0, 0);
    EXPECT_EQ(Form1->Shape1->GetBrush().Color, clRed);
}

TEST_F(TextLightFormTest, OtherSwatchesRenderOnlyWhatTheyColour) {
    Form1->Button1->Click();
    Answers->ChooseColor(clYellow);
    Form1->Shape2MouseDown(Form1->Shape2, mbLeft, 0, 0, 0);
    EXPECT_EQ(Pixel(*LightDIB, 26, 26), clYellow);

    // The running preview shows a new render from the next tick on.
    Form1->Timer1Timer(Form1->Timer1);
    Answers->ChooseColor(clGreen);
    Form1->Shape3MouseDown(Form1->Shape3, mbLeft, 0, 0, 0);
    EXPECT_EQ(Pixel(*TextDIB, 0, 0), clGreen);
    Form1->Timer1Timer(Form1->Timer1);
    EXPECT_EQ(Form1->Image1->Canvas()->GetPixels(0, 0), clGreen);

    // The shadow colour waits for the shadow to be switched on.
    Answers->ChooseColor(clPurple);
    Form1->Shape4MouseDown(Form1->Shape4, mbLeft, 0, 0, 0);
    EXPECT_FALSE(HasColor(*TextDIB, clPurple));
    Form1->kage->Click();
    EXPECT_TRUE(HasColor(*TextDIB, clPurple));
}

TEST_F(TextLightFormTest, FontChoiceSetsTheLightSizeAndWaitsForTheNextRender) {
    Form1->Button1->Click();
    const int width = TextDIB->GetWidth();
    TFont chosen;
    chosen.Name = "ＭＳ ゴシック";
    chosen.SetSize(20);
    chosen.Color = clBlue;
    Answers->ChooseFont(chosen);
    Form1->Button2->Click();
    EXPECT_EQ(Form1->Edit1->GetFont().Name, "ＭＳ ゴシック");
    EXPECT_EQ(Form1->Edit1->GetFont().Color, clBlack) << "the text colour stays the swatch's";
    EXPECT_EQ(Form1->SpinEdit2->GetValue(), 40);
    EXPECT_EQ(TextDIB->GetWidth(), width);
    Form1->Button1->Click();
    EXPECT_EQ(LightDIB->GetWidth(), 40);
    EXPECT_EQ(TextDIB->GetWidth(), MeasuredWidth());
}

TEST_F(TextLightFormTest, SquareLightIsAsHighAsTheText) {
    Form1->grdstyle->SetItemIndex(1);
    Form1->Button1->Click();
    EXPECT_EQ(LightDIB->GetHeight(), MeasuredHeight());
    EXPECT_EQ(LightY, 0);
}

TEST_F(TextLightFormTest, TheWindowShowsItsTextsWhole) {
    EXPECT_EQ(ClippedTexts(*Form1), std::vector<std::string>{});
}
