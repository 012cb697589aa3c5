// The text light's score file saved onto a full disk, a half-full one, a read-only folder and
// over a folder: the error box, not "保存しました", the old file as it was, and the window
// ready to save again.
#include "TextLightForm.h"
#include "common/FullDiskFolder.h"

namespace {

class FullDiskSaveTest : public TextLightFormTest, public ::testing::WithParamInterface<TDiskState> {};

} // namespace

TEST_P(FullDiskSaveTest, SavesTheWholeFileOrShowsTheErrorKeepingTheOldOne) {
    const TDiskState state = GetParam();
    TFullDiskFolder disk;
    if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
    RunAndStop();
    ASSERT_TRUE(disk.Prepare(state, {"light.sct"}));
    Answers->ChooseFiles({disk.Path("light.sct")});
    Form1->Button4->Click();

    const std::vector<TMessageRequest> messages = Answers->Messages();
    ASSERT_EQ(messages.size(), 1u);
    if (state == dsRoom) {
        EXPECT_EQ(messages[0].Text, "保存しました");
        EXPECT_EQ(disk.ReadFile("light.sct").compare(0, 10, "Palvenor36"), 0);
    } else {
        EXPECT_EQ(messages[0].Type, mtError);
        if (state == dsTargetIsFolder)
            EXPECT_TRUE(disk.IsFolder("light.sct"));
        else
            EXPECT_TRUE(disk.KeptOldContent("light.sct"));
    }
    EXPECT_EQ(disk.Entries(), std::vector<std::string>{"light.sct"}); // no temporary file left
    EXPECT_TRUE(Rendered);
    EXPECT_TRUE(Form1->Button4->GetEnabled());
}

INSTANTIATE_TEST_SUITE_P(FullDisk, FullDiskSaveTest,
                         ::testing::Values(dsRoom, dsFull, dsHalfFull, dsReadOnly, dsTargetIsFolder),
                         [](const auto& Info) { return std::string(DiskStateName(Info.param)); });
