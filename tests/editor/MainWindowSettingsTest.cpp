// The stored settings, the display check and closing.
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include "EditorForms.h"

namespace {

using MainWindowSettingsTest = EditorFormsTest;

TEST_F(MainWindowSettingsTest, FirstStartWithoutSettingsUsesTheDefaults) {
    ASSERT_FALSE(QFile::exists(QString::fromStdString(SettingsFile())));
    CreateForms();
    EXPECT_EQ(MobrelForm->GetLeft(), 0);
    EXPECT_EQ(MobrelForm->GetTop(), 0);
    EXPECT_EQ(MobrelForm->GetWidth(), 800);
    EXPECT_EQ(MobrelForm->GetHeight(), 600);
    EXPECT_EQ(MobrelForm->OpenPictureDialog1->InitialDir, "");
    EXPECT_EQ(MobrelForm->SaveDialog1->InitialDir, "");
    EXPECT_EQ(MobrelForm->OpenDialog2->InitialDir, "");
    EXPECT_EQ(MobrelForm->SaveDialog2->InitialDir, "");
}

TEST_F(MainWindowSettingsTest, ReadsStoredFoldersAndPlacement) {
    WriteSettings("[regist]\nopendir=/pictures/\nsavedir=/out/\nopen2dir=/scores/in/\nsave2dir=/scores/out/\n"
                  "Left=30\nTop=40\nWidth=900\nHeight=700\n");
    CreateForms();
    EXPECT_EQ(MobrelForm->OpenPictureDialog1->InitialDir, "/pictures/");
    EXPECT_EQ(MobrelForm->SaveDialog1->InitialDir, "/out/");
    EXPECT_EQ(MobrelForm->OpenDialog2->InitialDir, "/scores/in/");
    EXPECT_EQ(MobrelForm->SaveDialog2->InitialDir, "/scores/out/");
    EXPECT_EQ(MobrelForm->GetLeft(), 30);
    EXPECT_EQ(MobrelForm->GetTop(), 40);
    EXPECT_EQ(MobrelForm->GetWidth(), 900);
    EXPECT_EQ(MobrelForm->GetHeight(), 700);
}

// A monitor that is gone: the stored place lies off every screen.
TEST_F(MainWindowSettingsTest, AStoredPlacementOffEveryScreenOpensWholeOnThePrimaryScreen) {
    WriteSettings("[regist]\nLeft=5000\nTop=4000\nWidth=700\nHeight=500\n");
    CreateForms();
    MobrelForm->Show();
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(room.contains(
        QRect(MobrelForm->GetLeft(), MobrelForm->GetTop(), MobrelForm->GetWidth(), MobrelForm->GetHeight())));
    EXPECT_EQ(MobrelForm->GetWidth(), 700);
    EXPECT_EQ(MobrelForm->GetHeight(), 500);
}

TEST_F(MainWindowSettingsTest, ClosingWithYesWritesAllEightValuesAndFreesThePictures) {
    CreateForms();
    MakeMainImage(40, 30, clRed);
    AddCast(2, 10, 10, clBlue);
    MobrelForm->OpenPictureDialog1->InitialDir = "/a/";
    MobrelForm->SaveDialog1->InitialDir = "/b/";
    MobrelForm->OpenDialog2->InitialDir = "/c/";
    MobrelForm->SaveDialog2->InitialDir = "/d/";
    MobrelForm->SetBounds(12, 34, 820, 640);

    Answers->Reply(mrYes);
    TCloseAction action = caHide;
    MobrelForm->FormClose(MobrelForm, action);
    EXPECT_EQ(action, caFree);
    ASSERT_EQ(Answers->MessageTexts().size(), 1u);
    EXPECT_EQ(Answers->MessageTexts()[0], "終了してもよろしいですか?");
    EXPECT_FALSE(Doc().Channels[2].CastUsed[0]);
    EXPECT_EQ(Doc().Channels[2].Casts[0], nullptr);
    EXPECT_EQ(Doc().CanvasBitmap, nullptr);
    EXPECT_TRUE(Doc().MainImage->Empty());

    QSettings stored(QString::fromStdString(SettingsFile()), QSettings::IniFormat);
    EXPECT_EQ(stored.value("regist/opendir").toString(), "/a/");
    EXPECT_EQ(stored.value("regist/savedir").toString(), "/b/");
    EXPECT_EQ(stored.value("regist/open2dir").toString(), "/c/");
    EXPECT_EQ(stored.value("regist/save2dir").toString(), "/d/");
    EXPECT_EQ(stored.value("regist/Left").toInt(), 12);
    EXPECT_EQ(stored.value("regist/Top").toInt(), 34);
    EXPECT_EQ(stored.value("regist/Width").toInt(), 820);
    EXPECT_EQ(stored.value("regist/Height").toInt(), 640);

    // The next start finds them again.
    Application->DestroyForms();
    CreateForms();
    EXPECT_EQ(MobrelForm->SaveDialog2->InitialDir, "/d/");
    EXPECT_EQ(MobrelForm->GetLeft(), 12);
    EXPECT_EQ(MobrelForm->GetHeight(), 640);
}

TEST_F(MainWindowSettingsTest, ClosingWithNoKeepsEverything) {
    CreateForms();
    MakeMainImage(40, 30, clRed);
    AddCast(0, 10, 10, clBlue);
    SetCell(0, 5, TPoint{60, 70});
    MobrelForm->SaveDialog1->InitialDir = "/unsaved/";

    Answers->Reply(mrNo);
    TCloseAction action = caHide;
    MobrelForm->FormClose(MobrelForm, action);
    EXPECT_EQ(action, caNone);
    EXPECT_TRUE(Doc().Channels[0].CastUsed[0]);
    EXPECT_NE(Doc().Channels[0].Casts[0], nullptr);
    EXPECT_TRUE(Doc().Channels[0].CellSet[5]);
    EXPECT_NE(Doc().CanvasBitmap, nullptr);
    EXPECT_EQ(Doc().MainImage->Width(), 40);
    QSettings stored(QString::fromStdString(SettingsFile()), QSettings::IniFormat);
    EXPECT_FALSE(stored.contains("regist/savedir"));
}

TEST_F(MainWindowSettingsTest, TheCloseButtonAsksAndStaysOnNo) {
    CreateForms();
    MobrelForm->Show();
    Answers->Reply(mrNo);
    MobrelForm->Button10->Click();
    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"終了してもよろしいですか?"});
    EXPECT_TRUE(MobrelForm->Showing());
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(MainWindowSettingsTest, ALowDisplayDepthAsksToClose) {
    CreateForms();
    MobrelForm->Show();
    MobrelForm->CheckDisplayDepth(24);
    MobrelForm->CheckDisplayDepth(16);
    EXPECT_TRUE(Answers->MessageTexts().empty());

    // The user may still stay.
    Answers->Reply(mrOk);
    Answers->Reply(mrNo);
    MobrelForm->CheckDisplayDepth(8);
    const std::vector<std::string> shown = {"ディスプレイの解像度を16ビット（32,000色）以上にしてください。",
                                            "終了してもよろしいですか?"};
    EXPECT_EQ(Answers->MessageTexts(), shown);
    EXPECT_EQ(Answers->Messages()[0].Buttons, mbOK);
    EXPECT_EQ(Answers->Messages()[1].Buttons, mbYesNo);
    EXPECT_TRUE(MobrelForm->Showing());

    // Coming back to the front does not ask again once the user chose to stay.
    MobrelForm->CheckDisplayDepth(8);
    EXPECT_EQ(Answers->MessageTexts().size(), 2u);
}

TEST_F(MainWindowSettingsTest, SettingsThatCannotBeWrittenDoNotKeepTheProgramOpen) {
    CreateForms();
    // A configuration folder below a plain file cannot be made.
    WriteSettings("");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(SettingsFile() + "/config"));
    Answers->Reply(mrYes);
    TCloseAction action = caHide;
    MobrelForm->FormClose(MobrelForm, action);
    EXPECT_EQ(action, caFree);
    const std::vector<std::string> shown = {"終了してもよろしいですか?", "Failed to set data for 'opendir'"};
    EXPECT_EQ(Answers->MessageTexts(), shown);
}

TEST_F(MainWindowSettingsTest, TheSSizeSwatchTakesTheColourChosen) {
    CreateForms();
    Answers->ChooseColor(0x00123456);
    MobrelForm->Shape1->OnMouseDown(MobrelForm->Shape1, mbRight, 0, 1, 1);
    EXPECT_EQ(MobrelForm->Shape1->GetBrush().Color, 0x00123456u);
    EXPECT_EQ(newform->ColorDialog1->Color, 0x00123456u);

    Answers->CancelDialog(ikColorDialog);
    MobrelForm->Shape1->OnMouseDown(MobrelForm->Shape1, mbLeft, 0, 1, 1);
    EXPECT_EQ(MobrelForm->Shape1->GetBrush().Color, 0x00123456u);
}

} // namespace
