// The text light saved as a score file: the bytes field by field, the edge cases of the pass
// length and the light step, failures, and the editor composing the file's frames.
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <vector>

#include "editor/model/scoreedit.h"
#include "editor/model/scorefile.h"
#include "tests/textlight/TextLightForm.h"
#include "textlight/vantacorrender.h"

namespace {

constexpr int TailSize = 23004;
constexpr int RecordSize = 1980;

std::vector<std::uint8_t> ReadAll(const std::string& FileName) {
    QFile file(QString::fromStdString(FileName));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// Reads the little-endian fields of a tail.
class TailBytes {
public:
    explicit TailBytes(std::vector<std::uint8_t> File)
        : FFile(std::move(File)), FTail(FFile.data() + FFile.size() - TailSize) {}
    std::int32_t Int32(int Offset) const {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(FTail[Offset + i]) << (8 * i);
        return static_cast<std::int32_t>(v);
    }
    TPoint Point(int Offset) const { return TPoint{Int32(Offset), Int32(Offset + 4)}; }
    TPoint Position(int Channel, int Frame) const { return Point(Channel * RecordSize + Frame * 8); }
    int CellSet(int Channel, int Frame) const { return FTail[Channel * RecordSize + 1600 + Frame]; }
    int CastTransparent(int Channel, int Slot) const { return FTail[Channel * RecordSize + 1800 + Slot]; }
    TPoint KeyPoint(int Channel, int Slot) const { return Point(Channel * RecordSize + 1820 + Slot * 8); }
    std::int32_t Wait(int Frame) const { return Int32(19800 + Frame * 4); }
    TPoint FramePoint(int Frame) const { return Point(20600 + Frame * 8); }
    std::int32_t MainImageSize() const { return Int32(22200); }
    std::int32_t CastImageSize(int Index) const { return Int32(22204 + Index * 4); }
    bool RecordsEqual(int A, int B) const {
        return std::memcmp(FTail + A * RecordSize, FTail + B * RecordSize, RecordSize) == 0;
    }

private:
    std::vector<std::uint8_t> FFile;
    const std::uint8_t* FTail;
};

class ExportTest : public TextLightFormTest {
protected:
    void SetUp() override {
        TextLightFormTest::SetUp();
        ASSERT_TRUE(Folder.isValid());
    }

    std::string Target() const { return Folder.path().toStdString() + "/light.sct"; }

    // Saves through the window's button and returns the file's bytes.
    std::vector<std::uint8_t> Save() {
        Answers->ChooseFiles({Target()});
        Form1->Button4->Click();
        return ReadAll(Target());
    }

    // The byte count a picture's BMP stream takes.
    static std::int32_t StreamLength(TKvDIB& Picture) {
        TMemoryStream stream;
        Picture.SaveToStream(stream);
        return static_cast<std::int32_t>(stream.GetSize());
    }

    QTemporaryDir Folder;
};

} // namespace

TEST_F(ExportTest, DefaultPassIsWrittenFieldByField) {
    RunAndStop();
    const std::vector<std::uint8_t> file = Save();
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"保存しました"});
    EXPECT_EQ(Answers->Log().front().File.Filter, "Palvenor scorefile|*.sct");

    const std::int32_t m = StreamLength(*BaseDIB), l = StreamLength(*LightDIB), t = StreamLength(*TextDIB);
    ASSERT_EQ(file.size(), std::size_t(10 + m + l + t + TailSize));
    EXPECT_EQ(std::string(file.begin(), file.begin() + 10), "Palvenor36");
    // The three BMP files follow one another: base, light, text.
    EXPECT_EQ(file[10], 'B');
    EXPECT_EQ(file[10 + m], 'B');
    EXPECT_EQ(file[10 + m + l], 'B');
    {
        TMemoryStream expected;
        LightDIB->SaveToStream(expected);
        EXPECT_EQ(std::memcmp(file.data() + 10 + m, expected.Memory(), std::size_t(l)), 0);
    }

    const TailBytes tail(file);
    const int wl = LightDIB->GetWidth(), hl = LightDIB->GetHeight();
    const int wt = TextDIB->GetWidth(), ht = TextDIB->GetHeight();
    for (int i = 0; i < 200; ++i) {
        const bool set = i < 10;
        ASSERT_EQ(tail.CellSet(0, i), set ? 1 : 0) << i;
        const TPoint light =
            set ? TPoint{i * LightStep - wl + wl / 2 + 50, LightY + hl / 2 + 50} : TPoint{0, LightY};
        ASSERT_EQ(tail.Position(0, i), light) << i;
        ASSERT_EQ(tail.CellSet(1, i), set ? 1 : 0) << i;
        const TPoint text = set ? TPoint{wt / 2 + 50, ht / 2 + 50} : TPoint{0, LightY};
        ASSERT_EQ(tail.Position(1, i), text) << i;
        ASSERT_EQ(tail.Wait(i), 0);
        ASSERT_EQ(tail.FramePoint(i), (TPoint{0, 0}));
    }
    for (int s = 0; s < 20; ++s) {
        EXPECT_EQ(tail.CastTransparent(0, s), s == 0 ? 1 : 0);
        EXPECT_EQ(tail.CastTransparent(1, s), s == 0 ? 1 : 0);
        EXPECT_EQ(tail.KeyPoint(0, s), (TPoint{-1, 0}));
        EXPECT_EQ(tail.KeyPoint(1, s), (s == 0 ? TransPoint : TPoint{-1, 0}));
    }
    for (int ch = 2; ch < 10; ++ch)
        EXPECT_TRUE(tail.RecordsEqual(1, ch)) << ch;
    EXPECT_EQ(tail.MainImageSize(), m);
    for (int k = 0; k < 200; ++k)
        ASSERT_EQ(tail.CastImageSize(k), k == 0 ? l : k == 20 ? t : 0) << k;
}

TEST_F(ExportTest, FullPassSetsEveryFrame) {
    Form1->SpinEdit7->SetValue(200);
    Form1->Edit1->SetText(std::string(30, 'W'));
    RunAndStop();
    ASSERT_GE(LightStep, 1);
    const TailBytes tail(Save());
    for (int ch = 0; ch < 10; ++ch)
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(tail.CellSet(ch, i), 1) << ch << "," << i;
    EXPECT_EQ(tail.Position(0, 199).X,
              199 * LightStep - LightDIB->GetWidth() + LightDIB->GetWidth() / 2 + 50);
}

TEST_F(ExportTest, StandingLightWithOddWidthKeepsOnePlace) {
    Form1->Edit1->SetText(".");
    Form1->SpinEdit2->SetValue(53);
    Form1->SpinEdit7->SetValue(200);
    Form1->Button1->Click(); // "表示間隔が狭すぎます"
    Form1->Button3->Click();
    Form1->Button3->Click();
    ASSERT_EQ(LightStep, 0);
    const TailBytes tail(Save());
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(tail.Position(0, i).X, 50 - 53 + 26) << i;
}

TEST_F(ExportTest, NothingIsSavedWithoutAPictureOrAFileName) {
    Form1->Button4Click(Form1->Button4);
    EXPECT_TRUE(Answers->Log().empty()) << "no dialog before a render";

    RunAndStop();
    Answers->CancelDialog(ikFileDialog);
    Form1->Button4->Click();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Target())));
    EXPECT_TRUE(Answers->MessageTexts().empty());
}

// The editor composes every frame of the file exactly as the preview showed it, whatever
// the light's colour: its cast, whose key point lies outside it, has no transparent colour.
TEST_F(ExportTest, EveryFrameTheEditorComposesIsThePreviewFrame) {
    Form1->SpinEdit5->SetValue(20);
    Form1->SpinEdit6->SetValue(10);
    Form1->kage->Click();
    for (const TColor light : {clSilver, clWhite, TColor(0x40C0C0), clRed}) {
        SCOPED_TRACE(light);
        Answers->ChooseColor(light);
        Form1->Shape2MouseDown(Form1->Shape2, mbLeft, 0, 0, 0);
        RunAndStop();
        Save();
        TEditorDocument document;
        TFileStream stream(Target(), fmOpenRead);
        ASSERT_TRUE(ReadScoreFile(stream, document).Accepted);
        ASSERT_EQ(LastSetFrame(document), StepCount - 1);
        TBitmap text;
        MakeTextLayer(text, *TextDIB, TransPoint);
        for (int frame = 0; frame < StepCount; ++frame) {
            TBitmap preview;
            ComposeLightFrame(preview, text, *BaseDIB, *LightDIB, frame * LightStep - LightDIB->GetWidth(),
                              LightY, Form1->Shape1->GetBrush().Color);
            const std::unique_ptr<TBitmap> composed = document.ComposeOutputFrame(frame);
            ASSERT_EQ(composed->Width(), preview.Width());
            ASSERT_EQ(composed->Height(), preview.Height());
            int differing = 0;
            for (int y = 0; y < preview.Height(); ++y)
                for (int x = 0; x < preview.Width(); ++x)
                    differing += composed->Canvas()->GetPixels(x, y) != preview.Canvas()->GetPixels(x, y);
            EXPECT_EQ(differing, 0) << "frame " << frame;
        }
    }
}
