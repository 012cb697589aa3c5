// The AVI output through the save button, the save dialog answered by the script.
#include <QDir>
#include <QTemporaryDir>

#include "EditorForms.h"
#include "toolkit/AviFileTestReader.h"

namespace {

class AviExportWindowTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        ASSERT_TRUE(Folder.isValid());
        CreateForms();
        MakeMainImage(20, 10, RGB(255, 255, 0));
        AddCast(0, 4, 4, RGB(255, 0, 0));
    }

    std::string PathOf(const std::string& Name) const {
        return Folder.filePath(QString::fromStdString(Name)).toStdString();
    }
    QStringList Files() const { return QDir(Folder.path()).entryList(QDir::Files | QDir::Hidden); }

    void Save(const std::string& Name) {
        Answers->ChooseFiles({PathOf(Name)}, 5);
        MobrelForm->BitBtn5->Click();
    }

    QTemporaryDir Folder;
};

} // namespace

TEST_F(AviExportWindowTest, SavesOneFramePerScoreFrameWithTheExtensionAdded) {
    SetCell(0, 0, TPoint{55, 55});
    SetCell(0, 3, TPoint{60, 55});
    Save("clip");

    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"ファイルを出力しました"});
    ASSERT_EQ(Files(), QStringList{"clip.avi"});
    const TAviBytes avi = TAviBytes::Load(PathOf("clip.avi"));
    EXPECT_EQ(avi.Code(8), "AVI ");
    EXPECT_EQ(avi.U32(48), 4u);
    EXPECT_EQ(MobrelForm->ProgressBar1->GetMax(), 3);
    EXPECT_EQ(MobrelForm->ProgressBar1->GetPosition(), 0);
    EXPECT_TRUE(MobrelForm->score->GetEnabled());
}

TEST_F(AviExportWindowTest, EmptyScoreTellsThereIsNoData) {
    Save("clip.avi");
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"データがありません"});
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(AviExportWindowTest, FileThatCannotBeMadeEndsWithTheFailureMessage) {
    SetCell(0, 1, TPoint{55, 55});
    Save("missing/clip.avi");
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"異常終了です"});
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_TRUE(MobrelForm->score->GetEnabled());
}
