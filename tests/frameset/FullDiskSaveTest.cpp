// The frame-set editor's four file types saved onto a full disk, a half-full one, a read-only
// folder and over a folder: the error box, and the old files as they were.
#include "FrameSetForms.h"
#include "common/FullDiskFolder.h"

namespace {

// Choice: the save dialog's file type.
const TDialogSave Writers[] = {
    {"Gif", 1, "set.gif", {"set.gif"}},
    {"View", 2, "view.bmp", {"view.bmp"}},
    {"FramePictures", 3, "pic.bmp", {"pic000.bmp", "pic001.bmp", "pic002.bmp"}},
    {"FrameViews", 4, "views.bmp", {"views000.bmp", "views001.bmp", "views002.bmp"}},
};

class FullDiskSaveTest : public FrameSetFormsTest,
                         public ::testing::WithParamInterface<std::tuple<TDialogSave, TDiskSave>> {
protected:
    // Three frames filling the screen with noise, so that no file packs them small. Large
    // frames make every file larger than a half-full disk's room.
    void OpenNoise(bool Large) {
        const int width = Large ? 150 : 6;
        const int height = Large ? 100 : 4;
        TGifBuilder gif;
        gif.Screen(width, height, 256);
        for (int f = 0; f < 3; ++f) {
            TBytes pixels;
            for (int i = 0; i < width * height; ++i)
                pixels.push_back(std::uint8_t((i * 7919 + f * 31) % 251));
            gif.Control(0, 10, 0).Image(0, 0, width, height, pixels);
        }
        OpenGif(gif.Trailer().Bytes());
        ASSERT_EQ(FrameCount, 3);
        ASSERT_TRUE(Answers->Messages().empty());
    }
};

} // namespace

TEST_P(FullDiskSaveTest, WritesWholeFilesOrShowsTheErrorKeepingTheOldOnes) {
    const auto& [writer, save] = GetParam();
    TFullDiskFolder disk;
    if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
    OpenNoise(save.Large);
    ASSERT_TRUE(disk.Prepare(save.State, writer.Targets));
    Answers->ChooseFiles({disk.Path(writer.Chosen)}, writer.Choice);
    Form1->Button3->Click();

    for (const std::string& name : writer.Targets) {
        SCOPED_TRACE(name);
        if (save.State == dsRoom) {
            // The BMP files read back whole; the GIF is no longer the old file.
            TKvDIB picture;
            if (writer.Choice != 1) {
                EXPECT_NO_THROW(picture.LoadFromFile(disk.Path(name)));
            }
            EXPECT_FALSE(disk.KeptOldContent(name));
        } else if (save.State == dsTargetIsFolder) {
            EXPECT_TRUE(disk.IsFolder(name));
        } else {
            EXPECT_TRUE(disk.KeptOldContent(name));
        }
    }
    const std::vector<TMessageRequest> messages = Answers->Messages();
    if (save.State == dsRoom) {
        EXPECT_TRUE(messages.empty());
    } else {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].Type, mtError);
    }
    EXPECT_EQ(disk.Entries(), writer.Targets); // no temporary file left
    EXPECT_EQ(Form1->ProgressBar1->GetPosition(), 0);
}

INSTANTIATE_TEST_SUITE_P(FullDisk, FullDiskSaveTest,
                         ::testing::Combine(::testing::ValuesIn(Writers), ::testing::ValuesIn(DiskSaves)),
                         TDiskSaveTestName());
