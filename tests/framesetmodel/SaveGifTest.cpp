// The frame-set GIF writer: the bytes of its blocks, the file decoded by giflib, a GIF read,
// reduced and written again read back equal by the editor's own reader, and the names of
// numbered BMP sequences.
#include <QTemporaryDir>

#include "SaveTestSupport.h"
#include "frameset/model/gifreadsave.h"

namespace {

constexpr int Item256 = 1;
constexpr int Item16 = 5;

class SaveGifTest : public FrameSetModelTest {
protected:
    void SetUp() override {
        FrameSetModelTest::SetUp();
        ASSERT_TRUE(FDir.isValid());
    }
    std::string Path(const std::string& Name) const { return FDir.path().toStdString() + "/" + Name; }

    // Reduces and saves the list as the save command does, and returns the file's bytes.
    TBytes Save(int Item = Item256) {
        ReduceFrameColors(Item, {});
        SaveFrameSetGif(Path("out.gif"), {});
        return FileBytes(Path("out.gif"));
    }
    static TBytes Header() {
        TMemoryStream stream;
        WriteFrameSetGifHeader(stream);
        return stream.Bytes();
    }
    static TBytes FrameHeader(int Index) {
        TMemoryStream stream;
        WriteFrameSetGifFrameHeader(stream, Index);
        return stream.Bytes();
    }

private:
    QTemporaryDir FDir;
};

// A picture of Colors colours in stripes.
std::unique_ptr<TKvDIB> Stripes(int Width, int Height, int Colors, int Seed = 0) {
    return TrueColorPicture(Width, Height,
                            [=](int x, int y) { return TableColor(((x + y) % Colors) * 9, Seed); });
}

bool HasLoopBlock(const TBytes& Gif) {
    const std::string text(Gif.begin(), Gif.end());
    return text.find("NETSCAPE2.0") != std::string::npos;
}

TEST_F(SaveGifTest, GiflibReadsThePixelsPositionsWaitsDisposalAndTransparency) {
    auto a = Stripes(7, 5, 4);
    auto b = Stripes(3, 6, 3, 50);
    auto c = Stripes(10, 2, 5, 90);
    Append(*a, 0, 0, 20, 12).Delay = 10;
    TFrameEntry& second = Append(*b, 12, 4);
    second.Delay = 150;
    second.Disposal = 2;
    second.Transparent = true;
    second.TransparentPoint = {2, 5};
    TFrameEntry& third = Append(*c, 5, 9);
    third.Disposal = 3;
    std::vector<std::vector<TColor>> colors{FrameColors(0), FrameColors(1), FrameColors(2)};

    const TDecodedGif gif = DecodeGif(Save());
    EXPECT_EQ(20, gif.Width);
    EXPECT_EQ(12, gif.Height);
    EXPECT_EQ(GlobalColorCount, gif.GlobalColorCount);
    ASSERT_EQ(3u, gif.Frames.size());
    const int lefts[] = {0, 12, 5}, tops[] = {0, 4, 9}, widths[] = {7, 3, 10}, heights[] = {5, 6, 2};
    const int delays[] = {10, 150, 0}, disposals[] = {0, 2, 3};
    for (std::size_t i = 0; i < 3; ++i) {
        const TDecodedFrame& frame = gif.Frames[i];
        EXPECT_EQ(lefts[i], frame.Left);
        EXPECT_EQ(tops[i], frame.Top);
        EXPECT_EQ(widths[i], frame.Width);
        EXPECT_EQ(heights[i], frame.Height);
        EXPECT_FALSE(frame.HasLocalTable);
        ASSERT_TRUE(frame.HasControl);
        EXPECT_EQ(delays[i], frame.Delay);
        EXPECT_EQ(disposals[i], frame.Disposal);
        EXPECT_EQ(colors[i], GlobalTableColors(gif, frame)) << "frame " << i;
    }
    EXPECT_EQ(NO_TRANSPARENT_COLOR, gif.Frames[0].TransparentIndex);
    // The index of the reduced picture at the transparent point.
    EXPECT_EQ(FrameList[1].Image->GetPixels(2, 5), gif.Frames[1].TransparentIndex);
    EXPECT_EQ(FrameList[1].TransparentIndex, gif.Frames[1].TransparentIndex);
}

TEST_F(SaveGifTest, OneFrameIsAStillPictureWithoutLoopBlock) {
    auto picture = Stripes(4, 4, 2);
    TFrameEntry& frame = Append(*picture);
    frame.Disposal = 3;
    frame.Transparent = true;
    frame.TransparentPoint = {1, 0};
    const TBytes gif = Save();
    EXPECT_FALSE(HasLoopBlock(gif));
    const TBytes control = FrameHeader(0);
    EXPECT_EQ((TBytes{0x21, 0xF9, 0x04, 0x03}), TBytes(control.begin(), control.begin() + 4));
    // Comment and trailer close every file.
    const std::string tail(gif.end() - 17, gif.end());
    EXPECT_EQ(std::string("\x21\xFE\x0C"
                          "Palvenor 30x\x00\x3B",
                          17),
              tail);
}

TEST_F(SaveGifTest, TwoFramesLoopEndlesslyAndCarryTheirDisposal) {
    auto picture = Stripes(4, 4, 2);
    Append(*picture).Disposal = 2;
    Append(*picture).Disposal = 1;
    ReduceFrameColors(Item256, {});
    const TBytes header = Header();
    const TBytes loop{0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    EXPECT_EQ(loop, TBytes(header.end() - 19, header.end()));
    EXPECT_EQ(2 << 2, FrameHeader(0)[3]);
    EXPECT_EQ(1 << 2, FrameHeader(1)[3]);
}

TEST_F(SaveGifTest, SixteenColoursGiveTheTableAndCodeSizesOfSixteen) {
    auto picture =
        TrueColorPicture(64, 64, [](int x, int y) { return TColor(RGB(x * 4, y * 4, (x + y) * 2)); });
    Append(*picture, 0, 0, 300, 2);
    ReduceFrameColors(Item16, {});
    ASSERT_EQ(16, FrameList[0].Image->GetPaletteSize());
    const TBytes header = Header();
    EXPECT_EQ((TBytes{'G', 'I', 'F', '8', '9', 'a', 0x2C, 0x01, 0x02, 0x00, 0x83, 0, 0}),
              TBytes(header.begin(), header.begin() + 13));
    EXPECT_EQ(13u + 16 * 3, header.size());
    const TBytes frame = FrameHeader(0);
    EXPECT_EQ(3, frame[17]);
    EXPECT_EQ(4, frame[18]);
}

TEST_F(SaveGifTest, AFrameOfThreeColoursUsesCodeSizeTwoUnderATableOfEight) {
    auto picture = Stripes(5, 5, 3);
    TFrameEntry& frame = Append(*picture, 2, 3);
    frame.Delay = 150;
    ReduceFrameColors(Item16, {});
    ASSERT_EQ(3, FrameList[0].Image->GetPaletteSize());
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ(0x82, Header()[10]);
    // Control: packed, delay $96 $00, index, terminator; descriptor: position, size, packed.
    EXPECT_EQ((TBytes{0x21, 0xF9, 4, 0x02, 0x96, 0x00, 0, 0, 0x2C, 2, 0, 3, 0, 5, 0, 5, 0, 1, 2}),
              FrameHeader(0));
}

TEST_F(SaveGifTest, ATransparentFrameWithoutPointIsWrittenOpaque) {
    // No pixel had the old index; in the new palette it would knock out a real colour.
    auto picture = Stripes(4, 4, 2);
    TFrameEntry& frame = Append(*picture);
    frame.Transparent = true;
    frame.TransparentIndex = 0;
    Append(*picture);
    const TDecodedGif gif = DecodeGif(Save());
    ASSERT_EQ(2u, gif.Frames.size());
    EXPECT_EQ(NO_TRANSPARENT_COLOR, gif.Frames[0].TransparentIndex);
    EXPECT_TRUE(FrameList[0].Transparent);
}

TEST_F(SaveGifTest, AGifReadReducedAndWrittenReadsBackEqual) {
    TGifBuilder builder;
    builder.Screen(30, 20, 16);
    builder.Control(0x09, 40, 3)
        .Image(1, 2, 6, 4, MakePixels(6, 4, [](int x, int y) { return (x * y) % 5; }), 4);
    builder.Control(0x0C, 0, 0)
        .Image(7, 0, 9, 9, MakePixels(9, 9, [](int x, int y) { return (x + 2 * y) % 16; }), 4);
    builder.Control(0x00, 75, 0).Image(0, 0, 30, 20, MakePixels(30, 20, [](int x, int) { return x % 7; }), 4);
    int insert = 0;
    ASSERT_EQ(NoLoadError, LoadGif(builder.Trailer().Bytes(), insert));
    ASSERT_EQ(3, FrameCount);
    const TBytes saved = Save();
    // The reduction stays in the frames: the file holds them as they are now.
    std::vector<TFrameSettings> settings;
    std::vector<std::vector<TColor>> colors;
    std::vector<TBytes> pictures;
    for (int i = 0; i < FrameCount; ++i) {
        settings.push_back(FrameList[std::size_t(i)]);
        colors.push_back(FrameColors(i));
        pictures.push_back(FramePixels(i));
    }

    FreeFrameSetState();
    CreateFrameSetState();
    insert = 0;
    ASSERT_EQ(NoLoadError, LoadGif(saved, insert));
    ASSERT_EQ(3, FrameCount);
    EXPECT_EQ(30, ScreenWidth);
    EXPECT_EQ(20, ScreenHeight);
    for (int i = 0; i < FrameCount; ++i) {
        const TFrameEntry& frame = FrameList[std::size_t(i)];
        const TFrameSettings& was = settings[std::size_t(i)];
        EXPECT_EQ(was.Left, frame.Left);
        EXPECT_EQ(was.Top, frame.Top);
        EXPECT_EQ(was.Width, frame.Width);
        EXPECT_EQ(was.Height, frame.Height);
        EXPECT_EQ(was.Delay, frame.Delay);
        EXPECT_EQ(was.Disposal, frame.Disposal);
        EXPECT_EQ(was.Transparent, frame.Transparent);
        EXPECT_EQ(was.TransparentIndex, frame.TransparentIndex);
        EXPECT_EQ(colors[std::size_t(i)], FrameColors(i)) << "frame " << i;
        EXPECT_EQ(pictures[std::size_t(i)], FramePixels(i)) << "frame " << i;
    }
    // The transparent frame's point lies on a pixel of its transparent index.
    const TFrameEntry& transparent = FrameList[0];
    ASSERT_GE(transparent.TransparentPoint.X, 0);
    EXPECT_EQ(transparent.TransparentIndex,
              transparent.Image->GetPixels(transparent.TransparentPoint.X, transparent.TransparentPoint.Y));
}

TEST_F(SaveGifTest, AFailedWriteLeavesNoFileAndKeepsTheOldOne) {
    auto picture = Stripes(4, 4, 2);
    Append(*picture);
    Append(*picture);
    const TBytes old{'o', 'l', 'd'};
    TMemoryStream existing;
    existing.WriteBuffer(old.data(), 3);
    existing.SaveToFile(Path("out.gif"));
    // A frame larger than its picture fails in the middle of the stream.
    FrameList[1].Height = 9;
    ReduceFrameColors(Item256, {});
    EXPECT_ANY_THROW(SaveFrameSetGif(Path("out.gif"), {}));
    EXPECT_EQ(old, FileBytes(Path("out.gif")));
    EXPECT_EQ(1u, QDir(QString::fromStdString(Path(""))).entryList(QDir::Files).size());
    // Sizes past 16 bits cannot be written at all.
    FrameList[1].Height = 4;
    ScreenWidth = 70000;
    EXPECT_THROW(SaveFrameSetGif(Path("new.gif"), {}), EInvalidGraphic);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("new.gif"))));
}

TEST_F(SaveGifTest, NumberedNamesDropTheFirstBmpOfTheNameInAnyCase) {
    EXPECT_EQ("/d/clip", NumberedBaseName("/d/clip.bmp"));
    EXPECT_EQ("/d/CLIP", NumberedBaseName("/d/CLIP.BMP"));
    EXPECT_EQ("/d/clip", NumberedBaseName("/d/clip"));
    EXPECT_EQ("/d/a.bmp", NumberedBaseName("/d/a.bmp.bmp"));
    EXPECT_EQ("/d/ax", NumberedBaseName("/d/a.Bmpx"));
    // A folder name is no part of the search.
    EXPECT_EQ("/x.bmp/clip", NumberedBaseName("/x.bmp/clip.bmp"));
    EXPECT_EQ("/d/CLIP000.bmp", NumberedFileName("/d/CLIP", 0));
    EXPECT_EQ("b042.bmp", NumberedFileName("b", 42));
    EXPECT_EQ("b1234.bmp", NumberedFileName("b", 1234));
}

} // namespace
