// The save command through the main window: the four file types of the save dialog with
// their file names, the colour reduction that every GIF save runs first by the checked
// colour-count item, and failed saves.
#include <QDir>
#include <QEvent>
#include <QProgressBar>

#include "FrameSetForms.h"
#include "framesetmodel/SaveTestSupport.h"
#include "frameset/model/gifreadsave.h"

namespace {

constexpr TColor Backdrop = clWhite;

class SaveCommandTest : public FrameSetFormsTest {
protected:
    // Three BMP frames at (0, 0): red 30 x 20 (the screen), green 10 x 6, blue 8 x 5.
    void OpenBitmaps() {
        Answers->ChooseFiles({WriteBmp("r.bmp", 30, 20, clRed), WriteBmp("g.bmp", 10, 6, clLime),
                              WriteBmp("b.bmp", 8, 5, clBlue)},
                             2);
        Form1->Button1->Click();
        ASSERT_EQ(3, FrameCount);
    }
    void SaveAs(const std::string& Name, int FilterIndex) {
        Answers->ChooseFiles({Path(Name)}, FilterIndex);
        Form1->Button3->Click();
    }
    QStringList Files() const {
        return QDir(QString::fromStdString(Path(""))).entryList(QDir::Files, QDir::Name);
    }
    bool Exists(const std::string& Name) const { return QFile::exists(QString::fromStdString(Path(Name))); }

    // The BMP file shows the screen with only Frame drawn on the backdrop, and no outline.
    static void ExpectView(const std::string& FileName, int Frame) {
        TBitmap view;
        view.LoadFromFile(FileName);
        ASSERT_EQ(30, view.GetWidth());
        ASSERT_EQ(20, view.GetHeight());
        const TColor colors[] = {clRed, clLime, clBlue};
        const TFrameEntry& entry = FrameList[std::size_t(Frame)];
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool inside = x < entry.Width && y < entry.Height;
                ASSERT_EQ(inside ? colors[Frame] : Backdrop, view.Canvas()->GetPixels(x, y))
                    << FileName << " at " << x << ", " << y;
            }
    }
};

TEST_F(SaveCommandTest, TheButtonAndTheMenuItemSaveTheListAsGif) {
    OpenGif(Frames(3, 10));
    SaveAs("a.gif", 1);
    ASSERT_FALSE(Answers->Log().empty());
    const TFileRequest& request = Answers->Log().back().File;
    EXPECT_TRUE(request.Save);
    EXPECT_TRUE(request.OverwritePrompt);
    EXPECT_EQ("GIF|*.gif|BMP(表示中の画像)|*.bmp|BMP(連番/差分のみ)|*.bmp|BMP(連番/全画面)|*.bmp",
              request.Filter);
    const TDecodedGif gif = DecodeGif(FileBytes(Path("a.gif")));
    ASSERT_EQ(3u, gif.Frames.size());
    EXPECT_EQ(40, gif.Width);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(10 + i, gif.Frames[std::size_t(i)].Delay);
        EXPECT_EQ(i, gif.Frames[std::size_t(i)].Left);
        EXPECT_EQ(FrameColors(i), GlobalTableColors(gif, gif.Frames[std::size_t(i)]));
    }
    EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());

    Answers->ChooseFiles({Path("b.gif")}, 1);
    Form1->S1->Click();
    EXPECT_EQ(FileBytes(Path("a.gif")), FileBytes(Path("b.gif")));
    EXPECT_EQ(0, Answers->Unscripted());
}

TEST_F(SaveCommandTest, TheCheckedColourItemChoosesTheReductionOfTheNextGifSave) {
    EXPECT_TRUE(Form1->N25661->GetChecked());
    OpenBitmaps();
    const std::vector<TColor> before = FrameColors(0);
    const int bitCount = FrameList[1].Image->GetBitCount();
    Form1->N881->Click();
    for (TMenuItem* item :
         {Form1->N25601, Form1->N25661, Form1->N12851, Form1->N6441, Form1->N3231, Form1->N1621})
        EXPECT_FALSE(item->GetChecked()) << item->GetCaption();
    EXPECT_TRUE(Form1->N881->GetChecked());
    // Choosing reduces nothing by itself.
    EXPECT_EQ(before, FrameColors(0));
    EXPECT_EQ(bitCount, FrameList[1].Image->GetBitCount());

    SaveAs("eight.gif", 1);
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ(3, FrameList[0].Image->GetPaletteSize());
    EXPECT_EQ(3, FrameList[2].BitsPerPixel);

    Form1->N25601->Click();
    SaveAs("dither.gif", 1);
    EXPECT_EQ(256, GlobalColorCount);
    EXPECT_EQ(215, FrameList[0].Image->GetPaletteSize());
    // With no item checked the dither runs.
    Form1->colchk(7);
    EXPECT_FALSE(Form1->N25601->GetChecked());
    FrameList[0].Image->SetPixelFormat(kvpf24Bit);
    SaveAs("none.gif", 1);
    EXPECT_EQ(215, FrameList[0].Image->GetPaletteSize());
}

TEST_F(SaveCommandTest, NothingIsSavedWithoutFramesOrWhenTheDialogIsCancelled) {
    Form1->Button3->Click();
    EXPECT_TRUE(Answers->Log().empty());
    OpenBitmaps();
    const std::vector<TColor> before = FrameColors(0);
    const int paletteSize = FrameList[0].Image->GetPaletteSize();
    const QStringList files = Files();
    const std::size_t shown = Answers->Log().size();
    Answers->CancelDialog(ikFileDialog);
    Form1->Button3->Click();
    EXPECT_EQ(shown + 1, Answers->Log().size());
    EXPECT_EQ(files, Files());
    EXPECT_EQ(before, FrameColors(0));
    EXPECT_EQ(paletteSize, FrameList[0].Image->GetPaletteSize());
}

TEST_F(SaveCommandTest, FramePicturesAreNumberedFromTheFirstOfTheRange) {
    OpenBitmaps();
    SaveAs("clip.bmp", 3);
    EXPECT_EQ((QStringList{"b.bmp", "clip000.bmp", "clip001.bmp", "clip002.bmp", "g.bmp", "r.bmp"}), Files());
    TKvDIB picture;
    picture.LoadFromFile(Path("clip001.bmp"));
    EXPECT_EQ(10, picture.GetWidth());
    EXPECT_EQ(6, picture.GetHeight());
    EXPECT_EQ(clLime, picture.GetColors(picture.GetPixels(3, 3)));

    SelectRows(2, 3); // frames 1 and 2
    SaveAs("CLIP.BMP", 3);
    EXPECT_TRUE(Exists("CLIP000.bmp"));
    EXPECT_TRUE(Exists("CLIP001.bmp"));
    EXPECT_FALSE(Exists("CLIP002.bmp"));
    picture.LoadFromFile(Path("CLIP000.bmp"));
    EXPECT_EQ(10, picture.GetWidth());
    picture.LoadFromFile(Path("CLIP001.bmp"));
    EXPECT_EQ(8, picture.GetWidth());
}

TEST_F(SaveCommandTest, TheViewIsSavedWithoutItsOutline) {
    OpenBitmaps();
    Form1->StringGrid1->SetRow(2);
    Form1->testviews(1);
    SaveAs("view.bmp", 2);
    ExpectView(Path("view.bmp"), 1);
    EXPECT_EQ((TRect{0, 0, 10, 6}), FrameFocusRect);
    // The view keeps its outline.
    EXPECT_NE(clLime, Form1->Image1->Canvas()->GetPixels(0, 0));
}

TEST_F(SaveCommandTest, TheViewOfEachFrameIsSavedAndTheCurrentFrameShownAgain) {
    OpenBitmaps();
    Form1->StringGrid1->SetRow(2);
    Form1->testviews(1);
    SaveAs("seq", 4);
    for (int frame = 0; frame < 3; ++frame)
        ExpectView(Path("seq00" + std::to_string(frame) + ".bmp"), frame);
    EXPECT_EQ((TRect{0, 0, 10, 6}), FrameFocusRect);
}

// The positions the progress bar shows on screen, painted while a command runs.
class TPaintedPositions : public QObject {
public:
    explicit TPaintedPositions(TProgressBar& Bar) : FBar(static_cast<QProgressBar*>(Bar.Widget())) {
        FBar->installEventFilter(this);
    }
    ~TPaintedPositions() override { FBar->removeEventFilter(this); }
    std::vector<int> Positions;

protected:
    bool eventFilter(QObject*, QEvent* Event) override {
        if (Event->type() == QEvent::Paint) Positions.push_back(FBar->value());
        return false;
    }

private:
    QProgressBar* FBar;
};

TEST_F(SaveCommandTest, NumberedSequencesShowTheirProgressAsTheyGo) {
    OpenGif(Frames(12, 10));
    Form1->Show();
    Application->ProcessMessages();
    for (int filter : {3, 4}) {
        SCOPED_TRACE(filter);
        TPaintedPositions painted(*Form1->ProgressBar1);
        SaveAs("seq.bmp", filter);
        // Each frame's step is painted during the save, not after it.
        for (int frame = 1; frame < 12; ++frame)
            EXPECT_NE(std::find(painted.Positions.begin(), painted.Positions.end(), frame),
                      painted.Positions.end())
                << "frame " << frame;
        EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());
    }
    // A sequence that fails part way, at a folder in the place of its sixth file, leaves the
    // bar at its start too.
    ASSERT_TRUE(QDir(QString::fromStdString(Path(""))).mkdir("cut005.bmp"));
    SaveAs("cut.bmp", 4);
    ASSERT_EQ(1u, Answers->Messages().size());
    EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());
}

TEST_F(SaveCommandTest, AFailedGifSaveKeepsTheOldFileAndTheReduction) {
    OpenBitmaps();
    const std::string target = WriteFile("keep.gif", TBytes{'o', 'l', 'd'});
    const QStringList before = Files();
    // A frame larger than its picture fails in the middle of the stream.
    FrameList[2].Width = 50;
    SaveAs("keep.gif", 1);
    ASSERT_EQ(1u, Answers->Messages().size());
    EXPECT_EQ(mtError, Answers->Messages()[0].Type);
    EXPECT_EQ((TBytes{'o', 'l', 'd'}), FileBytes(target));
    EXPECT_EQ(before, Files());
    EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());
    EXPECT_EQ(8, FrameList[0].Image->GetBitCount());
    EXPECT_EQ(0, FrameList[0].LocalColorCount);

    FrameList[2].Width = 8;
    Answers->ChooseFiles({Path("missing/x.gif")}, 1);
    Form1->Button3->Click();
    EXPECT_EQ(2u, Answers->Messages().size());
    EXPECT_EQ(before, Files());
}

} // namespace
