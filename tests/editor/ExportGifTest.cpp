// Animated and still GIFs through the save button: the controls that choose size
// optimisation, S-size transparency, palettes and looping, and what a viewer shows of the
// file. The export's own rules are tested with the model.
#include "ExportTestSupport.h"

#include "gif/colorquant.h"
#include "imagelib/KvDIB.h"

namespace {

// Records the state of the window whenever a message box opens.
class TRecordingAnswerer : public TScriptedAnswerer {
public:
    std::function<void()> OnMessage;
    TModalResult AnswerMessage(const TMessageRequest& Request) override {
        if (OnMessage) OnMessage();
        return TScriptedAnswerer::AnswerMessage(Request);
    }
};

class ExportGifTest : public ExportFixture {
protected:
    // A 40 x 30 white main image and a red 6 x 4 cast in channel 0: frames 0 and 1 the same,
    // the cast moved in frame 2, a blue 4 x 4 cast of channel 1 added in frame 3.
    void MakeMovingScore() {
        MakeMainImage(40, 30, White);
        AddCast(0, 6, 4, Red);
        AddCast(1, 4, 4, Blue);
        SetCell(0, 0, TPoint{60, 60});
        SetCell(0, 1, TPoint{60, 60});
        SetCell(0, 2, TPoint{70, 65});
        SetCell(0, 3, TPoint{70, 65});
        SetCell(1, 3, TPoint{80, 70});
        for (int f = 0; f < 4; ++f)
            Doc().FrameWaits[f] = 10 * (f + 1);
    }

    std::vector<TPixels> ComposedFrames(std::initializer_list<int> Frames) {
        std::vector<TPixels> frames;
        for (int f : Frames)
            frames.push_back(Composed(f));
        return frames;
    }
};

} // namespace

TEST_F(ExportGifTest, SavingHoldsTheControlsOffAndWritesWhatAViewerShouldShow) {
    MakeMovingScore();
    Answers.reset(); // before the next one takes over, or its going would restore the real dialogs
    auto* recorder = new TRecordingAnswerer;
    Answers.reset(recorder);
    std::vector<bool> enabledAtMessage;
    int maxAtMessage = -1, positionAtMessage = -1;
    recorder->OnMessage = [&] {
        for (TControl* control : EditingControls())
            enabledAtMessage.push_back(control->GetEnabled());
        maxAtMessage = form->ProgressBar1->GetMax();
        positionAtMessage = form->ProgressBar1->GetPosition();
    };

    Save("anim", 1);

    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"ファイルを出力しました"});
    EXPECT_EQ(enabledAtMessage, std::vector<bool>(7, false));
    EXPECT_EQ(maxAtMessage, 3);
    EXPECT_EQ(positionAtMessage, 3);
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
    EXPECT_TRUE(EditingEnabled());
    EXPECT_EQ(form->SaveDialog1->InitialDir, Folder.path().toStdString());
    ASSERT_EQ(FilesInFolder(), QStringList{"anim.gif"});

    // Frame 1 equals frame 0 and is left out; "サイズ最適化" is on, so the later frames hold
    // only what changed.
    const TDecodedGif gif = DecodeFile("anim.gif");
    ASSERT_EQ(gif.Frames.size(), 3u);
    EXPECT_EQ(gif.Width, 40);
    EXPECT_EQ(gif.Height, 30);
    EXPECT_TRUE(gif.HasLoopBlock);
    EXPECT_EQ(gif.LoopCount, 0);
    EXPECT_EQ(gif.Frames[1].Width, 16);
    EXPECT_EQ(PlayGif(gif), ComposedFrames({0, 2, 3}));
}

TEST_F(ExportGifTest, UncheckedSizeOptimisationAndALoopCountOfOneReachTheFile) {
    MakeMovingScore();
    form->CheckBox1->SetChecked(false);
    form->SpinEdit5->SetValue(1);
    Save("anim.gif", 1);

    const TDecodedGif gif = DecodeFile("anim.gif");
    ASSERT_EQ(gif.Frames.size(), 3u);
    EXPECT_FALSE(gif.HasLoopBlock);
    for (const TDecodedFrame& frame : gif.Frames) {
        EXPECT_EQ((std::array{frame.Left, frame.Top, frame.Width, frame.Height}), (std::array{0, 0, 40, 30}));
        EXPECT_EQ(frame.Disposal, 2);
    }
    EXPECT_EQ(PlayGif(gif), ComposedFrames({0, 2, 3}));
}

TEST_F(ExportGifTest, FramePointMakesItsColourTransparent) {
    MakeMovingScore();
    form->CheckBox1->SetChecked(false);
    for (int f = 0; f < 4; ++f)
        Doc().FramePoints[f] = TPoint{0, 0};
    Doc().FramePoints[3] = TPoint{40, 0}; // outside the main image: none
    Save("anim.gif", 1);

    const TDecodedGif gif = DecodeFile("anim.gif");
    ASSERT_EQ(gif.Frames.size(), 3u);
    EXPECT_NE(gif.Frames[0].TransparentIndex, -1);
    EXPECT_EQ(gif.Frames[2].TransparentIndex, -1);
    EXPECT_EQ(PlayGif(gif), (std::vector<TPixels>{Composed(0, White), Composed(2, White), Composed(3)}));
}

TEST_F(ExportGifTest, SSizeColourMakesUnchangedPixelsTransparent) {
    MakeMovingScore();
    form->ssize->SetChecked(true);
    form->Shape1->SetBrushColor(Cyan);
    Save("anim.gif", 1);

    const TDecodedGif gif = DecodeFile("anim.gif");
    ASSERT_EQ(gif.Frames.size(), 3u);
    EXPECT_EQ(gif.Frames[0].TransparentIndex, -1);
    // The swatch's colour is the later frames' transparent colour.
    for (int i = 1; i < 3; ++i) {
        const TDecodedFrame& frame = gif.Frames[i];
        ASSERT_NE(frame.TransparentIndex, -1) << i;
        EXPECT_EQ(frame.Colors.at(frame.TransparentIndex), ToRgb(Cyan)) << i;
    }
    EXPECT_EQ(PlayGif(gif), ComposedFrames({0, 2, 3}));
}

TEST_F(ExportGifTest, HalftoneFramesShareTheFixedTableWithoutLocalTables) {
    MakeMovingScore();
    AddCast(2, 3, 3, Green);
    SetCell(2, 2, TPoint{55, 75});
    form->colorb->SetItemIndex(0);
    form->paletteall->SetChecked(false);
    Save("dither.gif", 1);

    const TDecodedGif gif = DecodeFile("dither.gif");
    ASSERT_EQ(gif.Frames.size(), 3u);
    EXPECT_EQ(gif.GlobalColorCount, 256);
    for (const TDecodedFrame& frame : gif.Frames)
        EXPECT_FALSE(frame.HasLocalTable);
    // Pure primaries and white are halftone colours: nothing is dithered.
    EXPECT_EQ(PlayGif(gif), ComposedFrames({0, 2, 3}));
}

TEST_F(ExportGifTest, OwnPalettesWriteLocalTablesOnlyWhereTheyDifferFromTheFirst) {
    MakeMovingScore();
    SetCell(0, 4, TPoint{62, 62}); // red on white again, as in frame 0
    form->paletteall->SetChecked(false);
    Save("own.gif", 1);

    const TDecodedGif gif = DecodeFile("own.gif");
    ASSERT_EQ(gif.Frames.size(), 4u);
    EXPECT_FALSE(gif.Frames[1].HasLocalTable);
    EXPECT_TRUE(gif.Frames[2].HasLocalTable); // blue joins red and white
    EXPECT_FALSE(gif.Frames[3].HasLocalTable);
    EXPECT_EQ(PlayGif(gif), ComposedFrames({0, 2, 3, 4}));
}

TEST_F(ExportGifTest, CommonPaletteOfFewColoursReducesEveryFrameThroughOnePalette) {
    // A grey ramp of 64 levels under casts, reduced to 8 colours.
    MakeMainImage(64, 16, White);
    TCanvas* canvas = Doc().MainImage->Canvas();
    for (int x = 0; x < 64; ++x) {
        canvas->Brush = TBrush{RGB(std::uint8_t(4 * x), std::uint8_t(4 * x), std::uint8_t(4 * x)), bsSolid};
        canvas->FillRect(TRect{x, 0, x + 1, 16});
    }
    Doc().RebuildCanvas();
    AddCast(0, 8, 8, Red);
    for (int f = 0; f < 3; ++f)
        SetCell(0, f, TPoint{60 + 12 * f, 58});
    form->colorb->SetItemIndex(6);
    Save("eight.gif", 1);

    TColorQuantizer quantizer;
    quantizer.Depth = 3;
    AllocQuantizer(quantizer);
    std::vector<std::unique_ptr<TKvDIB>> frames;
    for (int f = 0; f < 3; ++f) {
        frames.push_back(std::make_unique<TKvDIB>());
        frames.back()->Assign(Doc().ComposeOutputFrame(f).get());
        AddImageToQuantizer(*frames.back(), quantizer);
    }
    BuildQuantizerPalette(quantizer);
    std::vector<TPixels> expected;
    for (auto& frame : frames) {
        MapToQuantizerPalette(*frame, quantizer);
        TPixels pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x)
                pixels.push_back(ToRgb(frame->GetColors(frame->GetPixels(x, y))));
        expected.push_back(pixels);
    }
    FreeQuantizer(quantizer);

    const TDecodedGif gif = DecodeFile("eight.gif");
    EXPECT_EQ(gif.GlobalColorCount, 8);
    ASSERT_EQ(gif.Frames.size(), 3u);
    for (const TDecodedFrame& frame : gif.Frames)
        EXPECT_FALSE(frame.HasLocalTable);
    EXPECT_EQ(PlayGif(gif), expected);
}

TEST_F(ExportGifTest, StillGifHoldsTheCurrentColumnsFrame) {
    MakeMovingScore();
    form->score->SetCol(4); // frame 3
    Save("still", 2);

    ASSERT_EQ(FilesInFolder(), QStringList{"still.gif"});
    TDecodedGif gif = DecodeFile("still.gif");
    ASSERT_EQ(gif.Frames.size(), 1u);
    EXPECT_FALSE(gif.HasLoopBlock);
    EXPECT_TRUE(gif.Frames[0].UserInput);
    EXPECT_EQ(gif.Frames[0].Disposal, 0);
    EXPECT_EQ(gif.Frames[0].Delay, 40);
    EXPECT_EQ(PlayGif(gif), ComposedFrames({3}));

    // A column without any set cell shows the main image alone.
    form->score->SetCol(150);
    Save("empty.gif", 2);
    gif = DecodeFile("empty.gif");
    ASSERT_EQ(gif.Frames.size(), 1u);
    EXPECT_EQ(PlayGif(gif), ComposedFrames({149}));
}

TEST_F(ExportGifTest, WithoutAMainImageNothingIsWritten) {
    Save("anim.gif", 1);
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"データがありません"});
    EXPECT_TRUE(FilesInFolder().isEmpty());
    EXPECT_TRUE(EditingEnabled());
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
}

TEST_F(ExportGifTest, AFailedExportKeepsTheFileOfTheSameNameAndTheControlsEnabled) {
    // Wider than a GIF can describe: the header refuses it after the frames were composed.
    MakeMainImage(70000, 1, White);
    {
        QFile old(QString::fromStdString(PathOf("anim.gif")));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    Save("anim.gif", 1);

    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"GIF: Image Size is Out of Range"});
    EXPECT_EQ(ReadFileBytes(PathOf("anim.gif")), (TBytes{'o', 'l', 'd'}));
    EXPECT_EQ(FilesInFolder(), QStringList{"anim.gif"});
    EXPECT_TRUE(EditingEnabled());
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
}
