#include <gtest/gtest.h>

#include "KvDIBTestFiles.h"

namespace {

struct TEvent {
    TProgressStage Stage;
    int Percent;
    bool RedrawNow;
    TRect R;
    std::string Msg;
};

struct TRecorder {
    std::vector<TEvent> Events;
    int Changes = 0;
    explicit TRecorder(TKvDIB& DIB) {
        DIB.OnProgress = [this](TObject*, TProgressStage Stage, std::uint8_t Percent, bool Redraw,
                                const TRect& R, const std::string& Msg) {
            Events.push_back({Stage, Percent, Redraw, R, Msg});
        };
        DIB.OnChange = [this](TObject*) { ++Changes; };
    }
};

void ExpectReductionEvents(const TRecorder& Recorder, int Steps, const std::string& Msg, const TRect& R) {
    ASSERT_EQ(Recorder.Events.size(), std::size_t(Steps + 1));
    for (std::size_t i = 0; i < Recorder.Events.size(); ++i) {
        const TEvent& e = Recorder.Events[i];
        EXPECT_EQ(e.Msg, Msg);
        EXPECT_EQ(e.R, R);
        const TProgressStage want = i == 0 ? psStarting : i == std::size_t(Steps) ? psEnding : psRunning;
        ASSERT_EQ(e.Stage, want) << i;
        const int percent = i == 0 ? 0 : i == std::size_t(Steps) ? 100 : int(i) * 100 / Steps;
        EXPECT_EQ(e.Percent, percent) << i;
        EXPECT_EQ(e.RedrawNow, i == std::size_t(Steps));
    }
}

TEST(KvDIBProgress, ColourReductionsReportEveryStep) {
    TKvDIB dib;
    MakeTestDIB(dib, 9, 7, 24);
    TRecorder to8(dib);
    dib.SetPixelFormat(kvpf8Bit);
    ExpectReductionEvents(to8, 256, "PixelFormat 24Bit -> 8Bit", Rect(0, 0, 9, 7));
    EXPECT_EQ(to8.Changes, 1);
    EXPECT_EQ(dib.ProgressCount, 256);

    MakeTestDIB(dib, 9, 7, 24);
    TRecorder to4(dib);
    dib.SetPixelFormat(kvpf4Bit);
    ExpectReductionEvents(to4, 16, "PixelFormat 24Bit -> 4Bit", Rect(0, 0, 9, 7));
    std::vector<int> running;
    for (std::size_t i = 1; i < 16; ++i)
        running.push_back(to4.Events[i].Percent);
    EXPECT_EQ(running, (std::vector<int>{6, 12, 18, 25, 31, 37, 43, 50, 56, 62, 68, 75, 81, 87, 93}));
}

TEST(KvDIBProgress, OtherConversionsReportNothing) {
    TKvDIB dib;
    MakeTestDIB(dib, 4, 4, 8);
    TKvDIB shared;
    shared.Assign(&dib);
    TRecorder recorder(dib);
    dib.SetPixelFormat(kvpf8Bit);
    EXPECT_TRUE(recorder.Events.empty());
    EXPECT_EQ(recorder.Changes, 0);
    EXPECT_EQ(dib.InternalDIB, shared.InternalDIB); // no copy either

    dib.SetPixelFormat(kvpf24Bit);
    EXPECT_TRUE(recorder.Events.empty());
    EXPECT_EQ(recorder.Changes, 1);
    EXPECT_EQ(shared.GetBitCount(), 8);

    // Halftoning always converts, even an image already in its colours.
    dib.SetPixelFormat(kvpfHalfTone);
    dib.SetPixelFormat(kvpfHalfTone);
    EXPECT_EQ(recorder.Changes, 3);
    EXPECT_EQ(dib.GetPaletteSize(), 215);
}

TEST(KvDIBProgress, AFailedReductionStillEndsItsProgress) {
    // RLE data that runs past its line: decoding fails inside the conversion.
    TTestDIB rle{.Width = 2, .Height = 2, .Compression = BI_RLE8, .ClrUsed = 2, .Table = GrayishTable(2)};
    rle.Pixels = {200, 1, 0, 1};
    TKvDIB dib;
    TMemoryStream stream = StreamOf(rle.File());
    dib.LoadFromStream(stream);
    TRecorder recorder(dib);
    dib.PaletteModified = false;
    EXPECT_THROW(dib.SetPixelFormat(kvpf4Bit), EKvDIBInvalidDIB);
    ASSERT_EQ(recorder.Events.size(), 2u);
    EXPECT_EQ(recorder.Events[0].Stage, psStarting);
    EXPECT_EQ(recorder.Events[1].Stage, psEnding);
    EXPECT_EQ(recorder.Events[1].Msg, "PixelFormat 8BitRLE -> 4Bit");
    EXPECT_EQ(recorder.Changes, 0);
    EXPECT_EQ(dib.GetPixelFormat(), kvpf8BitRLE);
}

} // namespace
