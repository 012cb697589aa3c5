// Saving and opening score files through the main window's buttons and pop-up menu items,
// with the file dialogs and message boxes answered by the script.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "EditorForms.h"

namespace {

class ScoreFileCommandsTest : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        ASSERT_TRUE(Folder.isValid());
        CreateForms();
        form = MobrelForm;
    }

    std::string PathOf(const std::string& Name) const {
        return Folder.filePath(QString::fromStdString(Name)).toStdString();
    }
    std::string FolderPath() const { return Folder.path().toStdString() + "/"; }
    QStringList FilesInFolder() const { return QDir(Folder.path()).entryList(QDir::Files, QDir::Name); }

    void Save(const std::string& Name) {
        Answers->ChooseFiles({PathOf(Name)});
        form->BitBtn6->Click();
    }
    void Open(const std::string& Name) {
        Answers->ChooseFiles({PathOf(Name)});
        form->BitBtn3->Click();
    }

    void WriteFile(const std::string& Name, const QByteArray& Bytes) {
        QFile file(QString::fromStdString(PathOf(Name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Bytes);
    }

    // A 30 x 20 main image, two casts in channel 1 placed on frames 0..3, waits and a point.
    void MakeScore() {
        MakeMainImage(30, 20, clYellow);
        AddCast(1, 6, 4, clRed);
        AddCast(1, 5, 5, clBlue);
        for (int f = 0; f < 4; ++f)
            SetCell(1, f, TPoint{60 + f, 55});
        Doc().FrameWaits[2] = 25;
        Doc().FramePoints[3] = TPoint{1, 2};
    }

    QTemporaryDir Folder;
    TMobrelForm* form = nullptr;
};

} // namespace

TEST_F(ScoreFileCommandsTest, SaveAsksForAScoreFileAndOpenBringsTheDocumentBack) {
    MakeScore();
    Save("walk.sct");
    ASSERT_EQ(Answers->Log().size(), 1u);
    const TFileRequest& request = Answers->Log()[0].File;
    EXPECT_TRUE(request.Save);
    EXPECT_EQ(request.Filter, "ScoreFile|*.sct");
    // Replacing a file is the dialog's question.
    EXPECT_TRUE(request.OverwritePrompt);
    EXPECT_EQ(FilesInFolder(), QStringList{"walk.sct"});
    EXPECT_EQ(form->SaveDialog2->InitialDir, FolderPath());
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);

    // Change the document, then open the file over it from the pop-up menu.
    Doc().FrameWaits[2] = 0;
    Doc().Channels[1].CellSet[0] = false;
    MakeMainImage(8, 8, clBlack);
    Answers->ChooseFiles({PathOf("walk.sct")});
    form->K1->Click();
    EXPECT_TRUE(Answers->MessageTexts().empty());
    EXPECT_EQ(Answers->Log().back().File.Filter, "ScoreFile|*.sct");
    EXPECT_FALSE(Answers->Log().back().File.Save);
    EXPECT_EQ(form->OpenDialog2->InitialDir, FolderPath());
    EXPECT_EQ(Doc().FrameWaits[2], 25);
    EXPECT_EQ(Doc().FramePoints[3], (TPoint{1, 2}));
    EXPECT_TRUE(Doc().Channels[1].CellSet[0]);
    EXPECT_EQ(Doc().Channels[1].CastCount, 2);
    EXPECT_EQ(Doc().MainImage->Width(), 30);
    EXPECT_EQ(Doc().MainImageRect, (TRect{50, 50, 80, 70}));
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
    // The frame view shows the loaded canvas.
    EXPECT_EQ(ViewPixel(52, 52), clYellow);
}

TEST_F(ScoreFileCommandsTest, SavingOverAFileReplacesItWhole) {
    MakeScore();
    WriteFile("walk.sct", QByteArray(100000, 'x'));
    Answers->ChooseFiles({PathOf("walk.sct")});
    form->K2->Click();
    QFile file(QString::fromStdString(PathOf("walk.sct")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("Palvenor36"));
    EXPECT_LT(bytes.size(), 100000);
    EXPECT_EQ(FilesInFolder(), QStringList{"walk.sct"}); // no temporary file left behind
}

TEST_F(ScoreFileCommandsTest, CancelledDialogsChangeNothing) {
    MakeScore();
    form->SaveDialog2->InitialDir = "/kept/";
    form->OpenDialog2->InitialDir = "/kept/";
    Answers->CancelDialog(ikFileDialog);
    form->BitBtn6->Click();
    Answers->CancelDialog(ikFileDialog);
    form->BitBtn3->Click();
    EXPECT_TRUE(FilesInFolder().isEmpty());
    EXPECT_TRUE(Answers->MessageTexts().empty());
    EXPECT_EQ(form->SaveDialog2->InitialDir, "/kept/");
    EXPECT_EQ(form->OpenDialog2->InitialDir, "/kept/");
    EXPECT_EQ(Doc().FrameWaits[2], 25);
}

TEST_F(ScoreFileCommandsTest, AFileOfNoKnownVersionIsRefusedWithTheMessage) {
    MakeScore();
    WriteFile("short.sct", QByteArray("Palvenor36") + QByteArray(23003, '\0'));
    WriteFile("other.sct", QByteArray("Palvenor99") + QByteArray(30000, '\0'));
    Open("short.sct");
    Open("other.sct");
    EXPECT_EQ(Answers->MessageTexts(),
              (std::vector<std::string>{"スコアデータが不整です", "スコアデータが不整です"}));
    EXPECT_EQ(Doc().FrameWaits[2], 25);
    EXPECT_TRUE(Doc().Channels[1].CellSet[3]);
    EXPECT_EQ(Doc().MainImage->Width(), 30);
}

TEST_F(ScoreFileCommandsTest, AFileThatCannotBeCreatedIsReportedAndLeavesNothing) {
    MakeScore();
    Save("missing/walk.sct");
    const std::vector<std::string> messages = Answers->MessageTexts();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(FilesInFolder().isEmpty());
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
}
