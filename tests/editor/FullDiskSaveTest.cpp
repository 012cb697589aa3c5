// Every file the editor writes, saved through its buttons onto a full disk, a half-full one,
// a read-only folder and over a folder: the error box, never the success message, and the
// old files as they were.
#include <QImage>

#include "EditorForms.h"
#include "common/FullDiskFolder.h"

namespace {

// The score file's dialog has no file types: Choice 0; the output kinds are 1..5.
const TDialogSave Writers[] = {
    {"ScoreFile", 0, "doc.sct", {"doc.sct"}},
    {"AnimatedGif", 1, "anim.gif", {"anim.gif"}},
    {"StillGif", 2, "still.gif", {"still.gif"}},
    {"BmpSequence", 3, "seq.bmp", {"seq000.bmp", "seq001.bmp", "seq002.bmp"}},
    {"SingleBmp", 4, "one.bmp", {"one.bmp"}},
    {"Avi", 5, "movie.avi", {"movie.avi"}},
};

class FullDiskSaveTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        CreateForms();
    }

    // A noisy main image, so that no output packs it small, and a cast that walks over
    // frames 0..2. A large image makes every file larger than a half-full disk's room.
    void MakeDocument(bool Large) {
        const int width = Large ? 160 : 8;
        const int height = Large ? 120 : 6;
        MakeMainImage(width, height, clWhite);
        TCanvas* canvas = Doc().MainImage->Canvas();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                canvas->SetPixels(x, y, RGB(x * 37 % 256, y * 59 % 256, (x * y) % 256));
        Doc().RebuildCanvas();
        AddCast(0, 4, 4, clRed);
        for (int f = 0; f < 3; ++f)
            SetCell(0, f, TPoint{52 + 2 * f, 52});
    }

    void Save(const TDialogSave& Writer, const TFullDiskFolder& Disk) {
        Answers->ChooseFiles({Disk.Path(Writer.Chosen)}, std::max(Writer.Choice, 1));
        (Writer.Choice == 0 ? MobrelForm->BitBtn6 : MobrelForm->BitBtn5)->Click();
    }

    // The one message shown is the error box.
    void ExpectError() {
        const std::vector<TMessageRequest> messages = Answers->Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].Type, mtError);
        EXPECT_NE(messages[0].Text, "ファイルを出力しました");
    }

    // A file the editor wrote whole: as long as its own header says (RIFF and BMP files), or
    // a GIF ending in its trailer.
    static bool Whole(const std::string& Bytes) {
        auto u32 = [&](std::size_t At) {
            return std::uint32_t(std::uint8_t(Bytes[At])) | std::uint32_t(std::uint8_t(Bytes[At + 1])) << 8 |
                   std::uint32_t(std::uint8_t(Bytes[At + 2])) << 16 |
                   std::uint32_t(std::uint8_t(Bytes[At + 3])) << 24;
        };
        if (Bytes.size() < 14) return false;
        if (Bytes.compare(0, 2, "BM") == 0) return u32(2) == Bytes.size();
        if (Bytes.compare(0, 4, "RIFF") == 0) return u32(4) + 8 == Bytes.size();
        if (Bytes.compare(0, 6, "GIF89a") == 0) return Bytes.back() == ';';
        return Bytes.compare(0, 10, "Palvenor36") == 0;
    }
};

class EveryEditorSave : public FullDiskSaveTest,
                        public ::testing::WithParamInterface<std::tuple<TDialogSave, TDiskSave>> {};

} // namespace

TEST_P(EveryEditorSave, WritesWholeFilesOrShowsTheErrorKeepingTheOldOnes) {
    const auto& [writer, save] = GetParam();
    TFullDiskFolder disk;
    if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
    MakeDocument(save.Large);
    ASSERT_TRUE(disk.Prepare(save.State, writer.Targets));
    Save(writer, disk);

    for (const std::string& name : writer.Targets) {
        SCOPED_TRACE(name);
        if (save.State == dsRoom)
            EXPECT_TRUE(Whole(disk.ReadFile(name)));
        else if (save.State == dsTargetIsFolder)
            EXPECT_TRUE(disk.IsFolder(name));
        else
            EXPECT_TRUE(disk.KeptOldContent(name));
    }
    if (save.State == dsRoom) {
        const std::vector<std::string> success = writer.Choice == 0
                                                     ? std::vector<std::string>{}
                                                     : std::vector<std::string>{"ファイルを出力しました"};
        EXPECT_EQ(Answers->MessageTexts(), success);
    } else {
        ExpectError();
    }
    std::vector<std::string> names = writer.Targets;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(disk.Entries(), names); // no temporary file left
    EXPECT_TRUE(MobrelForm->score->GetEnabled());
}

INSTANTIATE_TEST_SUITE_P(FullDisk, EveryEditorSave,
                         ::testing::Combine(::testing::ValuesIn(Writers), ::testing::ValuesIn(DiskSaves)),
                         TDiskSaveTestName());

// A sequence that fills the disk part way: the frames saved before stay whole, the one that
// did not fit and those after it keep their old files, and the error says so.
TEST_F(FullDiskSaveTest, ABmpSequenceThatFillsTheDiskKeepsTheFramesSavedBefore) {
    TFullDiskFolder disk;
    if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
    MakeDocument(false);
    const TDialogSave& sequence = Writers[3];
    // Room for two small frames of one block each; only the third has an old file, whose
    // replacing would give its room back.
    ASSERT_TRUE(disk.Prepare(dsHalfFull, {"seq002.bmp"}));
    Save(sequence, disk);

    ExpectError();
    EXPECT_TRUE(Whole(disk.ReadFile("seq000.bmp")));
    EXPECT_TRUE(Whole(disk.ReadFile("seq001.bmp")));
    EXPECT_TRUE(disk.KeptOldContent("seq002.bmp"));
    EXPECT_EQ(disk.Entries(), sequence.Targets);
}

// An animated GIF reaches the disk in pieces while its frames are made. One that fills the
// disk after its first pieces reports the error, keeps the old file and leaves no piece.
TEST_F(FullDiskSaveTest, AnAnimatedGifThatFillsTheDiskAfterItsFirstPiecesKeepsTheOldFile) {
    TFullDiskFolder disk;
    if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
    MakeDocument(true);
    for (int f = 3; f < 20; ++f)
        SetCell(0, f, TPoint{52 + 2 * f, 52});
    MobrelForm->CheckBox1->SetChecked(false); // every frame whole, some 12 KB
    const TDialogSave& gif = Writers[1];
    ASSERT_TRUE(disk.Prepare(dsRoom, gif.Targets));
    disk.LeaveFree(100 * 1024);
    Save(gif, disk);

    ExpectError();
    EXPECT_TRUE(disk.KeptOldContent("anim.gif"));
    EXPECT_EQ(disk.Entries(), gif.Targets);
}
