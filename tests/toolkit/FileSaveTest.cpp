// Saving whole files: every writer of the toolkit either puts the whole file in place or
// raises, leaving the file that was there before as it was and no temporary file behind.
#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include "common/FullDiskFolder.h"
#include "toolkit/graphics/AviFile.h"
#include "toolkit/graphics/Exceptions.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Streams.h"

namespace {

// Writes a file of about Bytes bytes to Path, raising when it cannot.
using TSave = std::function<void(const std::string& Path, int Bytes)>;

void SaveMemoryStream(const std::string& Path, int Bytes) {
    TMemoryStream stream;
    stream.SetSize(Bytes);
    stream.SaveToFile(Path);
}

// A writer that never looks at what its write managed: the stream itself must notice a
// write that falls short.
void SaveUncheckedWrite(const std::string& Path, int Bytes) {
    TFileStream file(Path, fmCreate);
    const std::vector<char> data(std::size_t(Bytes), 'w');
    file.Write(data.data(), Bytes);
    file.Commit();
}

// A bitmap saves itself at 24 bits per pixel.
void SaveBitmap(const std::string& Path, int Bytes) {
    TBitmap bitmap;
    bitmap.SetSize(Bytes / 3 + 1, 1);
    bitmap.SaveToFile(Path);
}

void SavePicture(const std::string& Path, int Bytes) {
    TPicture picture;
    picture.Bitmap()->SetSize(Bytes / 3 + 1, 1);
    picture.SaveToFile(Path);
}

void SaveAvi(const std::string& Path, int Bytes) {
    auto check = [](HRESULT Result) {
        if (Result != AVIERR_OK) throw Exception("AVI call refused");
    };
    AVIFileInit();
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    const HRESULT opened = AVIFileOpenA(file, Path, OF_WRITE | OF_CREATE);
    AVIFileExit();
    check(opened);
    AVISTREAMINFOA info;
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 15;
    check(AVIFileCreateStreamA(file, stream, info));
    const std::vector<std::uint8_t> sample(std::size_t(Bytes), 7);
    const HRESULT written = AVIStreamWrite(stream, 0, 1, sample.data(), long(sample.size()), AVIIF_KEYFRAME);
    if (written != AVIERR_OK) AVIFileAbandon(file);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    check(written);
}

struct TWriter {
    const char* Name;
    TSave Save;
};

void PrintTo(const TWriter& Writer, std::ostream* Out) {
    *Out << Writer.Name;
}

const TWriter Writers[] = {
    {"MemoryStream", SaveMemoryStream},
    {"UncheckedWrite", SaveUncheckedWrite},
    {"Bitmap", SaveBitmap},
    {"Picture", SavePicture},
    {"Avi", SaveAvi},
};

// A file that fits any write buffer, and one far larger than the room of a half-full disk.
constexpr int Small = 200;
constexpr int Large = 64 * 1024;

class FileSaveTest : public ::testing::TestWithParam<std::tuple<TWriter, TDiskSave>> {};

} // namespace

TEST_P(FileSaveTest, WritesTheWholeFileOrRaisesKeepingTheOldOne) {
    const auto& [writer, save] = GetParam();
    TFullDiskFolder disk;
    if (!disk.Ready()) GTEST_SKIP() << disk.Reason();
    ASSERT_TRUE(disk.Prepare(save.State, {"saved"}));
    const int bytes = save.Large ? Large : Small;

    if (save.State == dsRoom) {
        EXPECT_NO_THROW(writer.Save(disk.Path("saved"), bytes));
        EXPECT_GE(disk.ReadFile("saved").size(), std::size_t(bytes));
    } else {
        EXPECT_THROW(writer.Save(disk.Path("saved"), bytes), Exception);
        if (save.State == dsTargetIsFolder)
            EXPECT_TRUE(disk.IsFolder("saved"));
        else
            EXPECT_TRUE(disk.KeptOldContent("saved"));
    }
    EXPECT_EQ(disk.Entries(), std::vector<std::string>{"saved"}); // no temporary file left
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FileSaveTest,
                         ::testing::Combine(::testing::ValuesIn(Writers), ::testing::ValuesIn(DiskSaves)),
                         TDiskSaveTestName());

// The last step of a save can fail too: the rename over the target.
TEST(FileSave, ARenameThatFailsRaisesTheWriteError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath("gone");
    ASSERT_TRUE(QDir().mkpath(folder));
    TFileStream file((folder + "/saved").toStdString(), fmCreate);
    file.WriteBuffer("whole", 5);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_THROW(file.Commit(), EWriteError);
}
