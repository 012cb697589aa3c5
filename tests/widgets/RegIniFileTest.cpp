#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/FullDiskFolder.h"
#include "toolkit/widgets/RegIniFile.h"

namespace {

// Points XDG_CONFIG_HOME at a fresh folder for the length of a test.
struct RegIniFileTest : ::testing::Test {
    QTemporaryDir folder;
    QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    void SetUp() override { qputenv("XDG_CONFIG_HOME", folder.path().toUtf8()); }
    void TearDown() override {
        if (previous.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previous);
    }
};

TEST_F(RegIniFileTest, ValuesWrittenUnderAKeyReadBackFromAnotherInstance) {
    {
        TRegIniFile settings("\\Software\\Palvenor20");
        settings.WriteString("regist", "opendir", "/home/ユーザー/絵/");
        settings.WriteInteger("regist", "Left", -4);
        settings.WriteBool("regist", "Shown", true);
        settings.WriteString("other", "opendir", "line one\nline two \\ end");
    }
    TRegIniFile settings("\\Software\\Palvenor20");
    EXPECT_EQ(settings.FileName(), (folder.path() + "/Palvenor20.ini").toStdString());
    EXPECT_EQ(settings.ReadString("regist", "opendir", ""), "/home/ユーザー/絵/");
    EXPECT_EQ(settings.ReadInteger("regist", "Left", 0), -4);
    EXPECT_TRUE(settings.ReadBool("regist", "Shown", false));
    EXPECT_EQ(settings.ReadString("other", "opendir", ""), "line one\nline two \\ end");
    EXPECT_EQ(settings.ReadString("REGIST", "OPENDIR", ""), "/home/ユーザー/絵/"); // names ignore case
}

TEST_F(RegIniFileTest, MissingOrUnreadableValuesGiveTheDefaults) {
    TRegIniFile settings("\\Software\\Palvenor20");
    EXPECT_TRUE(QFile::exists(folder.path() + "/Palvenor20.ini")); // opening creates the key
    EXPECT_EQ(settings.ReadInteger("regist", "Width", 800), 800);
    EXPECT_EQ(settings.ReadString("regist", "savedir", ""), "");
    settings.WriteString("regist", "Height", "tall");
    EXPECT_EQ(settings.ReadInteger("regist", "Height", 600), 600);
}

TEST_F(RegIniFileTest, AFileEditedByHandReadsWhatItCanAndIsRewrittenWhole) {
    QFile file(folder.path() + "/Palvenor20.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("Left=3\n[regist\n\x01\xff=\\\n[regist]\r\nTop = 9\nWidth=640\r\nnoequals\n["));
    file.close();
    TRegIniFile settings("\\Software\\Palvenor20");
    EXPECT_EQ(settings.ReadInteger("regist", "Left", 0), 0); // before any section
    EXPECT_EQ(settings.ReadInteger("regist", "Width", 800), 640);
    EXPECT_EQ(settings.ReadInteger("regist", "Top ", 0), 9);
    settings.WriteInteger("regist", "Height", 480);
    EXPECT_EQ(settings.ReadInteger("regist", "Width", 800), 640);
    EXPECT_EQ(settings.ReadInteger("regist", "Height", 600), 480);
}

TEST_F(RegIniFileTest, KeysStayInsideTheConfigurationFolder) {
    EXPECT_THROW(TRegIniFile("\\Software\\..\\escape"), ERegistryException);
    EXPECT_THROW(TRegIniFile("\\Software"), ERegistryException);
    TRegIniFile nested("\\Software\\Maker\\Tool");
    EXPECT_EQ(nested.FileName(), (folder.path() + "/Maker/Tool.ini").toStdString());
}

TEST_F(RegIniFileTest, AFailedWriteRaisesAndKeepsTheOldFile) {
    TRegIniFile settings("\\Software\\Palvenor20");
    settings.WriteInteger("regist", "Top", 7);
    EXPECT_THROW(settings.WriteString("regist", "bad=name", "x"), ERegistryException);
    ASSERT_TRUE(QDir(folder.path()).mkdir("Blocked.ini")); // a folder where the file would go
    TRegIniFile blocked("\\Software\\Blocked");
    EXPECT_THROW(blocked.WriteInteger("regist", "Top", 1), ERegistryException);
    EXPECT_EQ(settings.ReadInteger("regist", "Top", 0), 7);
}

// A settings file small enough to sit in a write buffer fails only when it is finished.
TEST_F(RegIniFileTest, AWriteToAFullDiskRaisesAndKeepsTheOldFile) {
    TFullDiskFolder disk;
    if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
    qputenv("XDG_CONFIG_HOME", disk.Folder().c_str());
    TRegIniFile settings("\\Software\\Palvenor20");
    settings.WriteInteger("regist", "Top", 7);
    disk.LeaveFree(0);
    EXPECT_THROW(settings.WriteInteger("regist", "Left", 3), ERegistryException);
    EXPECT_EQ(settings.ReadInteger("regist", "Top", 0), 7);
    EXPECT_EQ(disk.Entries(), std::vector<std::string>{"Palvenor20.ini"});
}

} // namespace
