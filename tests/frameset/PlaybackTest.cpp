// The editor view and playback: frames layered or cleared in the view, transparency by the
// transparent point, the copy of the view, and the play loop with its disposals, its
// disabled controls and its stop.
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include "FrameSetForms.h"
#include "common/LoopScript.h"

namespace {

class PlaybackTest : public FrameSetFormsTest {
protected:
    // The colour of palette index i in the files these tests write.
    static TColor Color(int Index) { return TableColor(Index); }
    static TColor ViewPixel(int X, int Y) { return Form1->Image1->Canvas()->GetPixels(X, Y); }

    // Plays until Count different pictures were seen in the playback window's waits.
    std::vector<QImage> Play(std::size_t Count) {
        std::vector<QImage> seen;
        QTimer sampler;
        sampler.setInterval(0);
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            const QImage& picture = Form3->Image1->Picture()->Bitmap()->Image();
            if (seen.empty() || picture != seen.back()) seen.push_back(picture.copy());
            if (seen.size() >= Count) Form1->Button5->Click();
        });
        sampler.start();
        const TLoopScript safety([] { Form1->Button5->Click(); });
        Form1->Button4->Click();
        return seen;
    }
    static TColor At(const QImage& Picture, int X, int Y) {
        const QRgb p = Picture.pixel(X, Y);
        return RGB(std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)));
    }
};

TEST_F(PlaybackTest, ClearedOrLayeredView) {
    TGifBuilder gif;
    gif.Screen(20, 20, 256);
    gif.Control(0, 0, 0).Image(0, 0, 4, 4, TBytes(16, 1));
    gif.Control(0, 0, 0).Image(10, 10, 4, 4, TBytes(16, 2));
    gif.Control(0, 0, 0).Image(5, 5, 4, 4, TBytes(16, 3));
    OpenGif(gif.Bytes());
    EXPECT_EQ(Color(1), ViewPixel(1, 1));
    Form1->CheckBox1->SetChecked(false);
    Form1->testviews(1);
    Form1->testviews(2);
    EXPECT_EQ(Color(1), ViewPixel(1, 1));
    EXPECT_EQ(Color(2), ViewPixel(11, 11));
    EXPECT_EQ(Color(3), ViewPixel(6, 6));
    // Frame 0 always starts from a clear view.
    Form1->testviews(0);
    EXPECT_EQ(clWhite, ViewPixel(11, 11));
    EXPECT_EQ(clWhite, ViewPixel(6, 6));
    // With the box checked every frame does.
    Form1->CheckBox1->SetChecked(true);
    Form1->testviews(1);
    EXPECT_EQ(clWhite, ViewPixel(1, 1));
}

TEST_F(PlaybackTest, TransparencyFollowsTheTransparentPoint) {
    // Index 5 all over but (1, 1), which is 6; the point lands on the last pixel of 5.
    TBytes pixels(16, 5);
    pixels[5] = 6;
    TGifBuilder gif;
    gif.Screen(8, 8, 256).Control(0, 0, 0).Image(0, 0, 8, 8, TBytes(64, 1));
    gif.Control(0x01, 0, 5).Image(0, 0, 4, 4, pixels);
    OpenGif(gif.Bytes());
    Form1->CheckBox1->SetChecked(false);
    Form1->testviews(1);
    EXPECT_EQ(Color(1), ViewPixel(2, 2));
    EXPECT_EQ(Color(6), ViewPixel(1, 1));
    // Without a point the frame is drawn opaque.
    FrameList[1].TransparentPoint.X = NoTransparentPoint;
    Form1->testviews(1);
    EXPECT_EQ(Color(5), ViewPixel(2, 2));
}

TEST_F(PlaybackTest, TheViewCopyLeavesTheOutlineOut) {
    TGifBuilder gif;
    gif.Screen(12, 12, 256).Control(0, 0, 0).Image(2, 2, 6, 6, TBytes(36, 4));
    OpenGif(gif.Bytes());
    EXPECT_NE(Color(4), ViewPixel(2, 2)); // the outline shows on the view
    Form1->Button7->Click();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(12, copied.width());
    EXPECT_EQ(Color(4), At(copied, 2, 2));
    EXPECT_NE(Color(4), ViewPixel(2, 2));
}

TEST_F(PlaybackTest, BackgroundColourSurvivesTheFirstFrame) {
    Form1->Image1->Canvas()->Brush.Color = clYellow;
    TGifBuilder gif;
    gif.Screen(10, 10, 256).Control(0, 0, 0).Image(0, 0, 2, 2, TBytes(4, 1));
    OpenGif(gif.Bytes());
    EXPECT_EQ(clYellow, ViewPixel(5, 5));
}

// Frame 0 covers the screen; frame 1 is cleared to the background after its wait.
TEST_F(PlaybackTest, DisposalTwoClearsTheFrameToTheBackground) {
    TGifBuilder gif;
    gif.Screen(8, 8, 256);
    gif.Control(0x04, 0, 0).Image(0, 0, 8, 8, TBytes(64, 1));
    gif.Control(0x08, 0, 0).Image(2, 2, 4, 4, TBytes(16, 2));
    gif.Control(0x04, 0, 0).Image(6, 6, 2, 2, TBytes(4, 3));
    OpenGif(gif.Bytes());
    Form1->Image1->Canvas()->Brush.Color = clYellow;
    const std::vector<QImage> seen = Play(4);
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(Color(1), At(seen[0], 3, 3));
    EXPECT_EQ(Color(2), At(seen[1], 3, 3));
    EXPECT_EQ(clYellow, At(seen[2], 3, 3));
    EXPECT_EQ(Color(3), At(seen[2], 6, 6));
    EXPECT_EQ(Color(1), At(seen[2], 0, 0));
    EXPECT_EQ(Color(1), At(seen[3], 6, 6)); // frame 0 again
}

// Frame 1 goes back to frame 0 drawn alone on a cleared picture.
TEST_F(PlaybackTest, DisposalThreeRedrawsThePreviousFrame) {
    TGifBuilder gif;
    gif.Screen(8, 8, 256);
    gif.Control(0x04, 0, 0).Image(1, 1, 6, 6, TBytes(36, 1));
    gif.Control(0x0C, 0, 0).Image(2, 2, 4, 4, TBytes(16, 2));
    gif.Control(0x04, 0, 0).Image(0, 0, 2, 2, TBytes(4, 3));
    OpenGif(gif.Bytes());
    const std::vector<QImage> seen = Play(3);
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ(Color(2), At(seen[1], 3, 3));
    EXPECT_EQ(Color(1), At(seen[2], 3, 3));
    EXPECT_EQ(Color(3), At(seen[2], 0, 0));
    EXPECT_EQ(clWhite, At(seen[2], 7, 7));
}

// Disposal 3 on frame 0 has no frame to go back to; disposals 4..7 leave the picture as 0 does.
TEST_F(PlaybackTest, DisposalThreeOnTheFirstFrameAndDisposalsAboveThreeLeaveThePicture) {
    TGifBuilder gif;
    gif.Screen(8, 8, 256);
    gif.Control(0x0C, 0, 0).Image(0, 0, 8, 8, TBytes(64, 1));
    gif.Control(0x1C, 0, 0).Image(2, 2, 4, 4, TBytes(16, 2));
    gif.Control(0x00, 0, 0).Image(6, 6, 2, 2, TBytes(4, 3));
    OpenGif(gif.Bytes());
    ASSERT_EQ(7, FrameList[1].Disposal);
    const std::vector<QImage> seen = Play(3);
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ(Color(1), At(seen[0], 3, 3));
    EXPECT_EQ(Color(2), At(seen[1], 3, 3));
    EXPECT_EQ(Color(1), At(seen[1], 0, 0));
    EXPECT_EQ(Color(2), At(seen[2], 3, 3));
    EXPECT_EQ(Color(3), At(seen[2], 6, 6));
}

TEST_F(PlaybackTest, EditingIsOffWhilePlaying) {
    OpenGif(Frames(2, 0));
    bool checked = false;
    const std::size_t asked = Answers->Log().size();
    TLoopScript script([] { Form1->Button5->Click(); });
    script.When([] { return !Idle; },
                [&] {
                    EXPECT_FALSE(Idle);
                    EXPECT_FALSE(Form1->Button1->GetEnabled());
                    EXPECT_FALSE(Form1->Button4->GetEnabled());
                    EXPECT_FALSE(Form1->StringGrid1->GetEnabled());
                    EXPECT_FALSE(Form1->F1->GetEnabled());
                    EXPECT_TRUE(Form1->Button5->GetEnabled());
                    EXPECT_TRUE(Form3->GetVisible());
                    // The window refuses to close and asks nothing.
                    Form1->Close();
                    EXPECT_EQ(asked, Answers->Log().size());
                    EXPECT_FALSE(Application->Terminated());
                    checked = true;
                    Form1->Button5->Click();
                });
    Form1->Button4->Click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(Idle);
    EXPECT_TRUE(Form1->Button1->GetEnabled());
    EXPECT_TRUE(Form1->F1->GetEnabled());
    EXPECT_FALSE(Form3->GetVisible());
    EXPECT_EQ(40 + 8, Form3->GetWidth());
    EXPECT_EQ(30 + 27, Form3->GetHeight());
}

TEST_F(PlaybackTest, ClosedByTheWindowManagerThePlaybackStopsAsStopDoes) {
    OpenGif(Frames(2, 0));
    TLoopScript script([] { Form1->Button5->Click(); }, 5000);
    script.When([] { return Form3->Active(); },
                [] {
                    // Opened on the main window, not over its menus at the screen's corner.
                    const TRect main = Form1->BoundsRect();
                    EXPECT_EQ(Form3->GetLeft(), main.Left + (main.Width() - Form3->GetWidth()) / 2);
                    EXPECT_EQ(Form3->GetTop(), main.Top + (main.Height() - Form3->GetHeight()) / 2);
                    EXPECT_FALSE(Form3->Widget()->close());
                });
    Form1->Button4->Click();
    EXPECT_TRUE(Idle);
    EXPECT_TRUE(Form1->Button4->GetEnabled());
    EXPECT_FALSE(Form3->GetVisible());
}

TEST_F(PlaybackTest, StopEndsAfterTheCurrentWait) {
    TGifBuilder gif;
    gif.Screen(8, 8, 256).Control(0, 30, 0).Image(0, 0, 2, 2, TBytes(4, 1));
    OpenGif(gif.Bytes());
    TLoopScript script([] { Form1->Button5->Click(); });
    script.When([] { return !Idle; }, [] { Form1->Button5->Click(); });
    QElapsedTimer clock;
    clock.start();
    Form1->Button4->Click();
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_TRUE(Idle);
}

} // namespace
