// Test playback: the window's size, frames shown for their waits on the background colour,
// stopping after the current wait, and the refusal without data.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <vector>

#include "EditorForms.h"
#include "common/LoopScript.h"

namespace {

constexpr TColor Red = 0x000000FF;
constexpr TColor Blue = 0x00FF0000;
constexpr TColor Green = 0x0000FF00;
constexpr TColor White = 0x00FFFFFF;

// What the playback window showed at one moment: the cast's place and a bare main-image pixel.
struct TSample {
    qint64 Time = 0;
    TColor Cast = 0;
    TColor Ground = 0;
};

class PlaybackTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
        view = viewform;
    }

    // A 20 x 10 white main image on green; channel 0 shows a red cast in frame 0 and a blue one
    // in frame 1 over output pixels (8..11, 3..6); channel 1, without casts, sets frame 2.
    void MakeAnimation() {
        Doc().BackgroundColor = Green;
        MakeMainImage(20, 10, White);
        AddCast(0, 4, 4, Red);
        AddCast(0, 4, 4, Blue);
        SetCell(0, 0, TPoint{60, 55});
        SetCell(0, 1, TPoint{60, 55});
        SetCell(1, 2, TPoint{60, 55});
    }

    TColor ShownAt(int X, int Y) { return view->Image1->Picture()->Bitmap()->Canvas()->GetPixels(X, Y); }

    // Plays until Stop says so, sampling the window every millisecond; returns the samples and
    // how long the loop ran on after the stop button.
    std::vector<TSample> PlayUntil(const std::function<bool(const std::vector<TSample>&)>& Stop,
                                   qint64& RanOn) {
        std::vector<TSample> samples;
        QElapsedTimer clock;
        qint64 stoppedAt = -1;
        QTimer sampler;
        sampler.setInterval(1);
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (view->Image1->Picture()->GetGraphic() == nullptr) return;
            samples.push_back(TSample{clock.elapsed(), ShownAt(29, 24), ShownAt(21, 21)});
            if (stoppedAt < 0 && Stop(samples)) {
                stoppedAt = clock.elapsed();
                view->Button2->Click();
            }
        });
        clock.start();
        sampler.start();
        const TLoopScript safety([this] { view->Button2->Click(); });
        view->PlayLoop();
        RanOn = clock.elapsed() - stoppedAt;
        EXPECT_GE(stoppedAt, 0);
        return samples;
    }

    Tviewform* view = nullptr;
};

TEST_F(PlaybackTest, TheWindowFitsTheMainImageAboveAMinimum) {
    EXPECT_EQ(PlaybackClientSize(200, 50).X, 300);
    EXPECT_EQ(PlaybackClientSize(200, 50).Y, 140);
    EXPECT_EQ(PlaybackClientSize(400, 300).X, 440);
    EXPECT_EQ(PlaybackClientSize(400, 300).Y, 380);
    EXPECT_EQ(PlaybackClientSize(261, 61).X, 301);
    EXPECT_EQ(PlaybackClientSize(260, 60).Y, 140);
}

TEST_F(PlaybackTest, FramesFollowInALoopForTheirWaitsUntilStopped) {
    MakeAnimation();
    Doc().FrameWaits[0] = 10;
    Doc().FrameWaits[1] = 5;
    Doc().FrameWaits[2] = 5;
    Doc().FramePoints[1] = TPoint{0, 0}; // white turns transparent in frame 1 only
    Doc().FramePoints[2] = TPoint{20, 0};

    // Stop once the loop has come round to frame 1 again.
    auto secondBlue = [](const std::vector<TSample>& Samples) {
        int blues = 0;
        for (std::size_t i = 0; i < Samples.size(); ++i)
            if (Samples[i].Cast == Blue && (i == 0 || Samples[i - 1].Cast != Blue)) ++blues;
        return blues == 2;
    };
    qint64 ranOn = 0;
    const std::vector<TSample> samples = PlayUntil(secondBlue, ranOn);

    // The runs of what was shown: red with white ground, blue on green, the main image alone.
    std::vector<TSample> runs;
    std::vector<qint64> lengths;
    for (const TSample& sample : samples) {
        if (runs.empty() || runs.back().Cast != sample.Cast) {
            if (!runs.empty()) lengths.push_back(sample.Time - runs.back().Time);
            runs.push_back(sample);
        }
    }
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(runs[0].Cast, Red);
    EXPECT_EQ(runs[0].Ground, White);
    EXPECT_EQ(runs[1].Cast, Blue);
    EXPECT_EQ(runs[1].Ground, Green);
    EXPECT_EQ(runs[2].Cast, White);
    EXPECT_EQ(runs[2].Ground, White);
    EXPECT_EQ(runs[3].Cast, Red);
    EXPECT_EQ(runs[4].Cast, Blue);
    // Each frame stays up for its wait (the sampling timer may come late to a change).
    constexpr qint64 SamplingSlack = 15;
    EXPECT_GE(lengths[0], 100 - SamplingSlack);
    EXPECT_GE(lengths[1], 50 - SamplingSlack);
    EXPECT_GE(lengths[2], 50 - SamplingSlack);

    // The stop ends the loop after the current wait; the window keeps the frame it showed.
    EXPECT_LE(ranOn, 50 + 200);
    EXPECT_EQ(ShownAt(29, 24), Blue);
    EXPECT_TRUE(view->PlayerStopped);

    // The picture is the client area below the buttons: 300 x 140 for a small image.
    EXPECT_EQ(view->ClientWidth(), 300);
    EXPECT_EQ(view->ClientHeight(), 140);
    EXPECT_EQ(view->Image1->Picture()->Width(), 300);
    EXPECT_EQ(view->Image1->Picture()->Height(), 100);
}

TEST_F(PlaybackTest, WithoutWaitsTheStopButtonStillWorks) {
    MakeAnimation();
    qint64 ranOn = 0;
    const std::vector<TSample> samples =
        PlayUntil([](const std::vector<TSample>& Samples) { return Samples.size() >= 20; }, ranOn);
    EXPECT_GE(samples.size(), 20u);
    EXPECT_LE(ranOn, 200);
}

// The window opens centred for its first size and grows to the main image's: it stays whole
// on the screen.
TEST_F(PlaybackTest, TheMainWindowButtonPlaysUntilClosedAndThenRedrawsTheView) {
    MakeAnimation();
    MakeMainImage(600, 420, White);
    Doc().FrameWaits[0] = 2;
    bool playing = false;
    Answers->OnForm([&](TForm& Window) {
        auto& view = static_cast<Tviewform&>(Window);
        playing = !view.PlayerStopped && view.Image1->Picture()->GetGraphic() != nullptr;
        const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(room.contains(QRect(view.GetLeft(), view.GetTop(), view.GetWidth(), view.GetHeight())));
        view.Button1->Click(); // "開始" does nothing while playing
        view.Button3->Click();
    });
    ASSERT_EQ(MobrelForm->Image1->Picture()->GetGraphic(), nullptr);
    MobrelForm->BitBtn14Click(nullptr);
    EXPECT_TRUE(playing);
    EXPECT_TRUE(view->PlayerStopped);
    EXPECT_FALSE(view->Modal());
    EXPECT_EQ(view->ClientWidth(), 640);
    EXPECT_EQ(view->ClientHeight(), 500);
    EXPECT_EQ(Answers->Messages().size(), 0u);
    // The frame view was drawn again afterwards.
    EXPECT_EQ(MobrelForm->Image1->Picture()->Width(), 700);
}

TEST_F(PlaybackTest, AWindowClosedWithoutItsButtonsStopsPlaying) {
    MakeAnimation();
    // The script leaves the window by its close box, not by "閉じる".
    Answers->OnForm([](TForm&) {}, mrCancel);
    MobrelForm->BitBtn14Click(nullptr);
    EXPECT_TRUE(view->PlayerStopped);
    EXPECT_FALSE(view->Modal());
}

TEST_F(PlaybackTest, NoDataIsReportedAndNothingPlays) {
    // No main image.
    AddCast(0, 4, 4, Red);
    SetCell(0, 0, TPoint{60, 55});
    Answers->OnForm([](TForm& Window) { static_cast<Tviewform&>(Window).Button3->Click(); });
    MobrelForm->BitBtn14Click(nullptr);
    // A main image but no casts anywhere.
    MakeMainImage(20, 10, White);
    Doc().Channels[0].FreeCast(0);
    Doc().Channels[0].RecountCasts();
    view->PlayLoop();
    // Casts but no set cell.
    AddCast(0, 4, 4, Red);
    Doc().Channels[0].CellSet[0] = false;
    view->PlayerStopped = false;
    view->PlayLoop();
    EXPECT_EQ(Answers->MessageTexts(),
              (std::vector<std::string>{"データがありません", "データがありません", "データがありません"}));
    EXPECT_EQ(view->Image1->Picture()->GetGraphic(), nullptr);
    EXPECT_FALSE(view->PlayerStopped);
    // "開始" stays without effect until a play has been stopped.
    SetCell(0, 0, TPoint{60, 55});
    view->Button1Click(nullptr);
    EXPECT_EQ(view->Image1->Picture()->GetGraphic(), nullptr);
}

} // namespace
