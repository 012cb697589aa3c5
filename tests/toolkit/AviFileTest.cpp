#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "toolkit/AviFileTestReader.h"
#include "toolkit/graphics/AviFile.h"

namespace {

class AviFileTest : public ::testing::Test {
protected:
    void SetUp() override { AVIFileInit(); }
    void TearDown() override { AVIFileExit(); }

    std::string Path(const char* Name) const { return (Dir.path() + "/" + Name).toStdString(); }
    QStringList Files() const { return QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden); }

    static AVISTREAMINFOA VideoInfo() {
        AVISTREAMINFOA info;
        info.fccType = streamtypeVIDEO;
        info.dwScale = 1;
        info.dwRate = 15;
        info.rcFrame = TRect{0, 0, 7, 3};
        return info;
    }

    QTemporaryDir Dir;
};

TEST_F(AviFileTest, OddSizedFormatAndSamplesArePaddedAndIndexed) {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(file, Path("a.avi"), OF_WRITE | OF_CREATE), AVIERR_OK);
    ASSERT_EQ(AVIFileCreateStreamA(file, stream, VideoInfo()), AVIERR_OK);
    const std::uint8_t format[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(AVIStreamSetFormat(stream, 0, format, 5), AVIERR_OK);
    const std::uint8_t first[3] = {10, 11, 12};
    const std::uint8_t second[4] = {20, 21, 22, 23};
    EXPECT_EQ(AVIStreamWrite(stream, 0, 1, first, 3, AVIIF_KEYFRAME), AVIERR_OK);
    EXPECT_EQ(AVIStreamWrite(stream, 1, 1, second, 4, 0), AVIERR_OK);
    EXPECT_EQ(AVIStreamRelease(stream), 0u);
    EXPECT_EQ(AVIFileRelease(file), 0u);

    const TAviBytes avi = TAviBytes::Load(Path("a.avi"));
    // Headers 12 + 8 + hdrl 158 (strf padded to 6) + 12, samples 12 + 12, index 8 + 32.
    ASSERT_EQ(avi.Data.size(), 254u);
    EXPECT_EQ(avi.U32(4), 246u);
    EXPECT_EQ(avi.U32(16), 158u);
    EXPECT_EQ(avi.U32(32), 66667u);          // microseconds per frame
    EXPECT_EQ(avi.U32(36), 60u);             // largest sample x 15
    EXPECT_EQ(avi.U32(48), 2u);              // frames
    EXPECT_EQ(avi.U32(60), 4u);              // suggested buffer
    EXPECT_EQ(avi.U32(64), 7u);              // width
    EXPECT_EQ(avi.U32(68), 3u);              // height
    EXPECT_EQ(avi.U32(92), 4u + 64 + 8 + 6); // strl
    EXPECT_EQ(avi.U32(140), 2u);             // strh length
    EXPECT_EQ(avi.U32(144), 4u);             // strh suggested buffer
    EXPECT_EQ(avi.Code(164), "strf");
    EXPECT_EQ(avi.U32(168), 5u);
    EXPECT_EQ(avi.Bytes(172, 6), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0}));
    EXPECT_EQ(avi.Code(178), "LIST");
    EXPECT_EQ(avi.U32(182), 4u + 12 + 12);
    EXPECT_EQ(avi.Code(186), "movi");
    EXPECT_EQ(avi.Code(190), "00db");
    EXPECT_EQ(avi.U32(194), 3u);
    EXPECT_EQ(avi.Bytes(198, 4), (std::vector<std::uint8_t>{10, 11, 12, 0}));
    EXPECT_EQ(avi.Code(202), "00db");
    EXPECT_EQ(avi.U32(206), 4u);
    EXPECT_EQ(avi.Bytes(210, 4), (std::vector<std::uint8_t>{20, 21, 22, 23}));
    EXPECT_EQ(avi.Code(214), "idx1");
    EXPECT_EQ(avi.U32(218), 32u);
    // Offsets count from the 'movi' code; flags as each sample was written.
    EXPECT_EQ(avi.Code(222), "00db");
    EXPECT_EQ(avi.U32(226), AVIIF_KEYFRAME);
    EXPECT_EQ(avi.U32(230), 4u);
    EXPECT_EQ(avi.U32(234), 3u);
    EXPECT_EQ(avi.U32(242), 0u);
    EXPECT_EQ(avi.U32(246), 16u);
    EXPECT_EQ(avi.U32(250), 4u);
}

TEST_F(AviFileTest, TargetIsReplacedOnlyWhenTheLastReferenceGoes) {
    { std::ofstream(Path("a.avi")) << "old"; }
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(file, Path("a.avi"), OF_WRITE | OF_CREATE), AVIERR_OK);
    ASSERT_EQ(AVIFileCreateStreamA(file, stream, VideoInfo()), AVIERR_OK);
    const std::uint8_t sample[2] = {1, 2};
    ASSERT_EQ(AVIStreamWrite(stream, 0, 1, sample, 2, AVIIF_KEYFRAME), AVIERR_OK);

    // The stream still holds the file.
    EXPECT_EQ(AVIFileRelease(file), 1u);
    EXPECT_EQ(std::filesystem::file_size(Path("a.avi")), 3u);
    AVIStreamRelease(stream);
    EXPECT_EQ(TAviBytes::Load(Path("a.avi")).Code(8), "AVI ");
    EXPECT_EQ(Files(), QStringList{"a.avi"});
}

TEST_F(AviFileTest, AbandonedFileLeavesTheTargetAsItWas) {
    { std::ofstream(Path("a.avi")) << "old"; }
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(file, Path("a.avi"), OF_WRITE | OF_CREATE), AVIERR_OK);
    ASSERT_EQ(AVIFileCreateStreamA(file, stream, VideoInfo()), AVIERR_OK);
    const std::uint8_t sample[2] = {1, 2};
    ASSERT_EQ(AVIStreamWrite(stream, 0, 1, sample, 2, AVIIF_KEYFRAME), AVIERR_OK);
    AVIFileAbandon(file);
    EXPECT_EQ(AVIStreamWrite(stream, 1, 1, sample, 2, AVIIF_KEYFRAME), AVIERR_FILEWRITE);
    AVIStreamRelease(stream);
    AVIFileRelease(file);

    std::ifstream in(Path("a.avi"));
    std::string text;
    in >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(Files(), QStringList{"a.avi"});
}

TEST_F(AviFileTest, OpenRefusals) {
    PAVIFILE file = reinterpret_cast<PAVIFILE>(1);
    EXPECT_EQ(AVIFileOpenA(file, Path("a.avi"), OF_WRITE), AVIERR_BADFLAGS);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(AVIFileOpenA(file, Path("missing/a.avi"), OF_WRITE | OF_CREATE), AVIERR_FILEOPEN);
    EXPECT_EQ(file, nullptr);
    AVIFileExit();
    EXPECT_EQ(AVIFileOpenA(file, Path("a.avi"), OF_WRITE | OF_CREATE), AVIERR_NOTINITIALIZED);
    AVIFileInit();
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(AviFileTest, RefusedCallsChangeNothingWritten) {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileOpenA(file, Path("a.avi"), OF_WRITE | OF_CREATE), AVIERR_OK);
    AVISTREAMINFOA bad = VideoInfo();
    bad.dwRate = 0;
    EXPECT_EQ(AVIFileCreateStreamA(file, stream, bad), AVIERR_BADPARAM);
    bad = VideoInfo();
    bad.rcFrame.Right = 40000; // the stream header keeps 16-bit edges
    EXPECT_EQ(AVIFileCreateStreamA(file, stream, bad), AVIERR_BADPARAM);
    bad = VideoInfo();
    bad.fccType = mmioFOURCC('a', 'u', 'd', 's');
    EXPECT_EQ(AVIFileCreateStreamA(file, stream, bad), AVIERR_UNSUPPORTED);
    EXPECT_EQ(stream, nullptr);
    ASSERT_EQ(AVIFileCreateStreamA(file, stream, VideoInfo()), AVIERR_OK);
    PAVISTREAM second = nullptr;
    EXPECT_EQ(AVIFileCreateStreamA(file, second, VideoInfo()), AVIERR_UNSUPPORTED);

    const std::uint8_t sample[2] = {1, 2};
    EXPECT_EQ(AVIStreamSetFormat(stream, 1, sample, 2), AVIERR_UNSUPPORTED);
    EXPECT_EQ(AVIStreamSetFormat(stream, 0, nullptr, 2), AVIERR_BADSIZE);
    EXPECT_EQ(AVIStreamWrite(stream, 1, 1, sample, 2, AVIIF_KEYFRAME), AVIERR_BADPARAM);
    EXPECT_EQ(AVIStreamWrite(stream, 0, 1, sample, -1, AVIIF_KEYFRAME), AVIERR_BADSIZE);
    EXPECT_EQ(AVIStreamWrite(stream, 0, 1, sample, 2, AVIIF_KEYFRAME), AVIERR_OK);
    // The headers are written: the format is fixed now.
    EXPECT_EQ(AVIStreamSetFormat(stream, 0, sample, 2), AVIERR_UNSUPPORTED);
    AVIStreamRelease(stream);
    EXPECT_EQ(AVIStreamWrite(stream, 1, 1, sample, 2, AVIIF_KEYFRAME), AVIERR_BADHANDLE);
    AVIFileRelease(file);

    const TAviBytes avi = TAviBytes::Load(Path("a.avi"));
    ASSERT_EQ(avi.Data.size(), 12u + 8 + 152 + 12 + 10 + 8 + 16);
    EXPECT_EQ(avi.U32(48), 1u);
    EXPECT_EQ(avi.U32(168), 0u); // empty format
}

} // namespace
