// The GIF reader on files built byte by byte: stages, the block scan, frame settings,
// colour tables, insertion position and the limits on frames and picture size.
#include <gtest/gtest.h>

#include "GifBytes.h"
#include "frameset/model/gifreadframes.h"
#include "frameset/model/gifreadgif.h"

namespace {

class GifReaderTest : public ::testing::Test {
protected:
    void SetUp() override { CreateFrameSetState(); }
    void TearDown() override { FreeFrameSetState(); }

    // A 4 x 3 frame whose pixels are Seed + x + 4y.
    static TBytes Pixels(int Seed) {
        return MakePixels(4, 3, [Seed](int x, int y) { return Seed + x + 4 * y; });
    }
    static TGifBuilder Animation(int Frames, int Entries = 256) {
        TGifBuilder gif;
        gif.Screen(40, 30, Entries).Loop();
        for (int i = 0; i < Frames; ++i)
            gif.Control(0x04, 10 + i, 0).Image(i, 2 * i, 4, 3, Pixels(20 * i));
        return gif;
    }
};

TEST_F(GifReaderTest, OlderVersionAndShortFilesFailAtTheSignature) {
    int index = 0;
    TGifBuilder old("GIF87a");
    old.Screen(4, 3, 4).Control(0, 0, 0).Image(0, 0, 4, 3, TBytes(12, 1), 2).Trailer();
    EXPECT_EQ(SignatureStage, LoadGif(old.Bytes(), index));
    EXPECT_EQ(SignatureStage, LoadGif(TBytes{'G', 'I', 'F', '8', '9'}, index));
    EXPECT_EQ(SignatureStage, LoadGif(TBytes{'g', 'i', 'f', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0}, index));
    EXPECT_EQ(0, index);
    EXPECT_EQ(0, FrameCount);
}

TEST_F(GifReaderTest, CutScreenDescriptorOrGlobalTableFailsAtStageOne) {
    int index = 0;
    TBytes gif = TGifBuilder().Screen(10, 10, 16).Bytes();
    EXPECT_EQ(NoLoadError, LoadGif(gif, index));
    gif.pop_back();
    EXPECT_EQ(ScreenDescriptorStage, LoadGif(gif, index));
    EXPECT_EQ(ScreenDescriptorStage, LoadGif(TBytes(gif.begin(), gif.begin() + 12), index));
    EXPECT_EQ(0, FrameCount);
}

// Bytes that read as control, application and image labels at either parity.
std::string Decoys(std::size_t Length) {
    const std::string pattern = "!\xF9!\xFF,!!\xF9\x04";
    std::string text;
    while (text.size() < Length)
        text += pattern[text.size() % pattern.size()];
    return text;
}

TBytes DecoyData(std::size_t Length) {
    const std::string text = Decoys(Length);
    return TBytes(text.begin(), text.end());
}

TEST_F(GifReaderTest, ImagesWithoutControlExtensionAreNotReadButPassedOverWhole) {
    // Their data, full of false labels, hides no block from the scan.
    TGifBuilder gif;
    gif.Screen(8, 8, 256)
        .ImageData(0, 0, 4, 3, DecoyData(300), 8, 4)
        .Control(0, 5, 0)
        .Image(0, 0, 4, 3, Pixels(1))
        .ImageData(0, 0, 4, 3, DecoyData(41), 8)
        .Control(0, 6, 0)
        .Image(0, 0, 4, 3, Pixels(2))
        .Trailer();
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    ASSERT_EQ(2, FrameCount);
    EXPECT_EQ(Pixels(1), FramePixels(0));
    EXPECT_EQ(Pixels(2), FramePixels(1));
    EXPECT_EQ(6, FrameList[1].Delay);

    // Without any control extension nothing is read, and that is no error.
    TGifBuilder none;
    none.Screen(8, 8, 256).Image(0, 0, 4, 3, Pixels(0)).Comment("no control").Image(0, 0, 4, 3, Pixels(1));
    ClearFrames();
    index = 0;
    EXPECT_EQ(NoLoadError, LoadGif(none.Trailer().Bytes(), index));
    EXPECT_EQ(0, FrameCount);
    // One cut short is a cut block.
    const TBytes cut = TGifBuilder().Screen(8, 8, 2).ImageData(0, 0, 4, 3, DecoyData(20), 2).Bytes();
    EXPECT_EQ(BlockStage, LoadGif(TBytes(cut.begin(), cut.end() - 5), index));
}

TEST_F(GifReaderTest, FramesEnterInFileOrderWithTheirSettings) {
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(Animation(3).Trailer().Bytes(), index));
    ASSERT_EQ(3, FrameCount);
    EXPECT_EQ(3, index);
    EXPECT_EQ(40, ScreenWidth);
    EXPECT_EQ(30, ScreenHeight);
    for (int i = 0; i < 3; ++i) {
        const TFrameEntry& frame = FrameList[std::size_t(i)];
        EXPECT_EQ(i, frame.Left);
        EXPECT_EQ(2 * i, frame.Top);
        EXPECT_EQ(4, frame.Width);
        EXPECT_EQ(3, frame.Height);
        EXPECT_EQ(10 + i, frame.Delay);
        EXPECT_EQ(1, frame.Disposal);
        EXPECT_FALSE(frame.Transparent);
        EXPECT_EQ(8, frame.BitsPerPixel);
        EXPECT_EQ(0, frame.LocalColorCount);
        EXPECT_EQ(8, frame.Image->GetBitCount());
        EXPECT_EQ(256, frame.Image->GetPaletteSize());
        EXPECT_EQ(TableColor(200), frame.Image->GetColors(200));
        EXPECT_EQ(Pixels(20 * i), FramePixels(i));
    }
}

TEST_F(GifReaderTest, InsertedFramesFollowTheCurrentFrame) {
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(Animation(5).Bytes(), index));
    // A second file with another screen size, inserted after frame 2.
    TGifBuilder second;
    second.Screen(90, 90, 256);
    for (int i = 0; i < 2; ++i)
        second.Control(0, 77, 0).Image(0, 0, 4, 3, Pixels(150 + i));
    index = 3;
    ASSERT_EQ(NoLoadError, LoadGif(second.Bytes(), index));
    EXPECT_EQ(5, index);
    ASSERT_EQ(7, FrameCount);
    const int delays[] = {10, 11, 12, 77, 77, 13, 14};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(delays[i], FrameList[std::size_t(i)].Delay) << i;
    EXPECT_EQ(Pixels(151), FramePixels(4));
    EXPECT_EQ(Pixels(60), FramePixels(5));
    // The screen size stays that of the first file.
    EXPECT_EQ(40, ScreenWidth);
    EXPECT_EQ(30, ScreenHeight);
}

TEST_F(GifReaderTest, TheListTakesTwoHundredFramesThenStageTwo) {
    int index = 0;
    EXPECT_EQ(BlockStage, LoadGif(Animation(250).Trailer().Bytes(), index));
    EXPECT_EQ(200, FrameCount);
    EXPECT_EQ(200, index);
    EXPECT_EQ(Pixels(20 * 199), FramePixels(199));
    EXPECT_EQ(nullptr, FrameList[200].Image);
}

TEST_F(GifReaderTest, ControlExtensionSettings) {
    TGifBuilder gif;
    gif.Screen(8, 8, 256);
    gif.Control(0x09, 150, 7).Image(0, 0, 4, 3, Pixels(0));   // disposal 2, transparent
    gif.Control(0x08, 0, 9).Image(0, 0, 4, 3, Pixels(0));     // index kept without the flag
    gif.Control(0x1C, 65535, 0).Image(0, 0, 4, 3, Pixels(0)); // disposal 7 kept as read
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    ASSERT_EQ(3, FrameCount);
    EXPECT_EQ(2, FrameList[0].Disposal);
    EXPECT_TRUE(FrameList[0].Transparent);
    EXPECT_EQ(7, FrameList[0].TransparentIndex);
    EXPECT_EQ(150, FrameList[0].Delay);
    EXPECT_EQ(2, FrameList[1].Disposal);
    EXPECT_FALSE(FrameList[1].Transparent);
    EXPECT_EQ(9, FrameList[1].TransparentIndex);
    EXPECT_EQ(7, FrameList[2].Disposal);
    EXPECT_EQ(65535, FrameList[2].Delay);
}

TEST_F(GifReaderTest, TransparentPointIsTheLastPixelOfTheIndex) {
    // Index 3 at (1, 2), (9, 4) and (5, 7) of a 10 x 9 picture; none in the second frame.
    const TBytes pixels = MakePixels(10, 9, [](int x, int y) {
        return (x == 1 && y == 2) || (x == 9 && y == 4) || (x == 5 && y == 7) ? 3 : 1;
    });
    TGifBuilder gif;
    gif.Screen(10, 9, 4).Control(0x01, 0, 3).Image(0, 0, 10, 9, pixels, 2);
    gif.Control(0x01, 0, 2).Image(0, 0, 10, 9, pixels, 2);
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    EXPECT_EQ((TPoint{5, 7}), FrameList[0].TransparentPoint);
    EXPECT_EQ(NoTransparentPoint, FrameList[1].TransparentPoint.X);
}

TEST_F(GifReaderTest, TransparentPointCountsOnlyPixelsThisImageWrote) {
    // The second image ends a few pixels into its second row; the rest keeps the first
    // image's indices, which carry the transparent index but were not written by it.
    TGifBuilder gif;
    gif.Screen(40, 3, 4).Control(0, 0, 0).Image(0, 0, 40, 3, TBytes(120, 3), 2);
    TBytes written(45, 1);
    written[0] = 3;
    gif.Control(0x01, 0, 3).Image(0, 0, 40, 3, written, 2);
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    ASSERT_EQ(2, FrameCount);
    TBytes expected(120, 3);
    std::copy(written.begin(), written.end(), expected.begin());
    EXPECT_EQ(expected, FramePixels(1));
    EXPECT_EQ((TPoint{0, 0}), FrameList[1].TransparentPoint);
}

TEST_F(GifReaderTest, InterlacedRowsGoWhereTheirPassPutsThem) {
    // The picture rows in the order an interlaced image sends them; small heights leave
    // passes empty.
    const std::vector<std::vector<int>> orders = {
        {0},
        {0, 1},
        {0, 2, 1},
        {0, 2, 1, 3},
        {0, 4, 2, 1, 3},
        {0, 4, 2, 1, 3, 5},
        {0, 4, 2, 6, 1, 3, 5},
        {0, 4, 2, 6, 1, 3, 5, 7},
        {0, 8, 16, 4, 12, 2, 6, 10, 14, 18, 1, 3, 5, 7, 9, 11, 13, 15, 17},
    };
    for (const std::vector<int>& order : orders) {
        const int height = int(order.size());
        SCOPED_TRACE(height);
        // The k-th row sent holds 10 * k + x, but for 99 first in the second and third rows.
        const TBytes sent = MakePixels(
            3, height, [](int x, int k) { return x == 0 && (k == 1 || k == 2) ? 99 : 10 * k + x; });
        TBytes expected(sent.size());
        for (int k = 0; k < height; ++k)
            std::copy_n(sent.begin() + 3 * k, 3, expected.begin() + 3 * order[std::size_t(k)]);
        ClearFrames();
        TGifBuilder gif;
        gif.Screen(3, height, 256).Control(0x01, 0, 99).Image(0, 0, 3, height, sent, 8, 0, true);
        int index = 0;
        ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
        EXPECT_EQ(expected, FramePixels(0));
        // The transparent point is the last pixel of its index written, where it went.
        if (height > 1) {
            EXPECT_EQ((TPoint{0, order[std::size_t(std::min(height - 1, 2))]}),
                      FrameList[0].TransparentPoint);
        } else {
            EXPECT_EQ(NoTransparentPoint, FrameList[0].TransparentPoint.X);
        }
    }
}

TEST_F(GifReaderTest, LocalTableGivesTheFramesPalette) {
    TGifBuilder gif;
    gif.Screen(8, 8, 256).Control(0, 0, 0).Image(0, 0, 4, 3, TBytes(12, 2), 2, 4);
    gif.Control(0, 0, 0).Image(0, 0, 4, 3, Pixels(0));
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    ASSERT_EQ(2, FrameCount);
    EXPECT_EQ(4, FrameList[0].LocalColorCount);
    EXPECT_EQ(4, FrameList[0].Image->GetPaletteSize());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(TableColor(i, 100), FrameList[0].Image->GetColors(i));
    EXPECT_EQ(256, FrameList[1].Image->GetPaletteSize());
    EXPECT_EQ(TableColor(3), FrameList[1].Image->GetColors(3));
}

TEST_F(GifReaderTest, ExtensionsArePassedOverByTheirSubBlocks) {
    // A comment of three sub-blocks, an application block with data in several sub-blocks,
    // a plain text block and a looping block, all full of false labels; an odd byte before
    // the trailer.
    TGifBuilder gif;
    gif.Screen(8, 8, 256).Comment(Decoys(601));
    gif.Extension(0xFF, {"XMP DataXMP", Decoys(255), Decoys(7), Decoys(1)});
    gif.Control(0, 5, 0).Image(0, 0, 4, 3, Pixels(9));
    gif.Extension(0x01, {Decoys(12), Decoys(200)}).Loop();
    gif.Control(0, 6, 0).Image(0, 0, 4, 3, Pixels(30)).Raw({0x00}).Trailer();
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    ASSERT_EQ(2, FrameCount);
    EXPECT_EQ(Pixels(9), FramePixels(0));
    EXPECT_EQ(Pixels(30), FramePixels(1));
    EXPECT_EQ(6, FrameList[1].Delay);
    // Cut inside a later sub-block of a comment: stage 2.
    const TBytes cut = TGifBuilder().Screen(8, 8, 2).Comment(Decoys(400)).Bytes();
    EXPECT_EQ(BlockStage, LoadGif(TBytes(cut.begin(), cut.end() - 10), index));
}

TEST_F(GifReaderTest, AnExtensionOfAnUnknownLabelIsPassedOverWhole) {
    // Its sub-blocks hold a whole control extension and image, which are no frame.
    TGifBuilder inner;
    inner.Control(0, 7, 0).Image(0, 0, 4, 2, TBytes{0, 1, 0, 0, 0, 0, 0, 1}, 2);
    const TBytes hidden = inner.Bytes();
    TGifBuilder gif;
    gif.Screen(4, 2, 4).Extension(0xAB, {std::string(hidden.begin(), hidden.end()), "x"});
    gif.Control(0, 3, 0).Image(0, 0, 4, 2, TBytes{0, 0, 0, 1, 0, 1, 0, 1}, 2).Trailer();
    for (std::size_t shift : {0, 1}) {
        // Also one byte further on, where two-byte labels would be found at the other parity.
        TBytes bytes = gif.Bytes();
        bytes.insert(bytes.begin() + 6 + 7 + 12, shift, 0x00);
        ClearFrames();
        int index = 0;
        ASSERT_EQ(NoLoadError, LoadGif(bytes, index)) << shift;
        ASSERT_EQ(1, FrameCount) << shift;
        EXPECT_EQ(3, FrameList[0].Delay) << shift;
        EXPECT_EQ((TBytes{0, 0, 0, 1, 0, 1, 0, 1}), FramePixels(0)) << shift;
    }
}

TEST_F(GifReaderTest, AControlExtensionHoldsForTheImageBehindOtherExtensions) {
    // The looping block, a long comment or a plain text block between a control extension
    // and its image; a second control extension there takes the place of the first.
    TGifBuilder gif;
    gif.Screen(8, 8, 256);
    gif.Control(0x04, 10, 0).Loop().Image(0, 0, 4, 3, Pixels(1));
    gif.Control(0x09, 20, 5).Comment(Decoys(300)).Extension(0x01, {Decoys(12), "text"});
    gif.Image(0, 0, 4, 3, Pixels(2));
    gif.Control(0x04, 30, 0).Control(0x0D, 40, 7).Image(0, 0, 4, 3, Pixels(3)).Trailer();
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    ASSERT_EQ(3, FrameCount);
    const int delays[] = {10, 20, 40};
    const int disposals[] = {1, 2, 3};
    const bool transparent[] = {false, true, true};
    for (int i = 0; i < 3; ++i) {
        const TFrameEntry& frame = FrameList[std::size_t(i)];
        EXPECT_EQ(delays[i], frame.Delay) << i;
        EXPECT_EQ(disposals[i], frame.Disposal) << i;
        EXPECT_EQ(transparent[i], frame.Transparent) << i;
        EXPECT_EQ(Pixels(i + 1), FramePixels(i)) << i;
    }
    EXPECT_EQ(7, FrameList[2].TransparentIndex);
}

TEST_F(GifReaderTest, AFileWithoutTrailerLoadsItsCompleteFrames) {
    int index = 0;
    EXPECT_EQ(NoLoadError, LoadGif(Animation(4).Bytes(), index));
    EXPECT_EQ(4, FrameCount);
}

TEST_F(GifReaderTest, CutImageBlocksFailAtStageTwoAndKeepEarlierFrames) {
    const TBytes whole = Animation(2).Trailer().Bytes();
    const TBytes first = Animation(1).Bytes();
    // Cut inside the second control body, descriptor, minimum code size and data.
    for (std::size_t cut : {first.size() + 4, first.size() + 10, first.size() + 18, whole.size() - 3}) {
        ClearFrames();
        int index = 0;
        EXPECT_EQ(BlockStage, LoadGif(TBytes(whole.begin(), whole.begin() + std::ptrdiff_t(cut)), index))
            << cut;
        EXPECT_EQ(1, FrameCount) << cut;
    }
    // Neither an image nor an extension after a control extension.
    ClearFrames();
    int index = 0;
    TGifBuilder wrong;
    wrong.Screen(8, 8, 2).Control(0, 0, 0).Comment("c").Trailer();
    EXPECT_EQ(BlockStage, LoadGif(wrong.Bytes(), index));
    // A comment or looping block cut short.
    EXPECT_EQ(BlockStage, LoadGif(TGifBuilder().Screen(8, 8, 2).Raw({0x21, 0xFE, 0x05, 'a'}).Bytes(), index));
    EXPECT_EQ(BlockStage, LoadGif(TGifBuilder().Screen(8, 8, 2).Raw({0x21, 0xFF, 0x0B, 'N'}).Bytes(), index));
    EXPECT_EQ(0, FrameCount);
}

// The message of the error a GIF raises, empty when none.
template <class E> std::string ErrorOf(const TBytes& Gif) {
    int index = 0;
    try {
        LoadGif(Gif, index);
    } catch (const E& e) {
        return e.what();
    }
    return {};
}

TEST_F(GifReaderTest, ImageErrorsOfThePictureEndTheLoad) {
    int index = 0;
    // A frame with a side of zero: the width is set first.
    const std::pair<int, int> zeroSides[] = {{0, 3}, {3, 0}, {0, 0}};
    const char* messages[] = {"TKvDIB.SetWidth: Invalid Width", "TKvDIB.SetWidth: Invalid Height",
                              "TKvDIB.SetWidth: Invalid Width"};
    for (std::size_t i = 0; i < std::size(zeroSides); ++i) {
        TGifBuilder zero;
        zero.Screen(8, 8, 2).Control(0, 0, 0).ImageData(0, 0, zeroSides[i].first, zeroSides[i].second, {0x00},
                                                        2);
        EXPECT_EQ(messages[i], ErrorOf<EKvDIBInvalidDIBPara>(zero.Bytes())) << i;
    }
    TGifBuilder noTable;
    noTable.Screen(8, 8, 0).Control(0, 0, 0).Image(0, 0, 4, 3, TBytes(12, 1), 2);
    EXPECT_THROW(LoadGif(noTable.Bytes(), index), EKvDIBPaletteIndexRange);
    // One pixel too many: the frames before stay, this one is not inserted.
    TGifBuilder tooLong;
    tooLong.Screen(8, 8, 4).Control(0, 0, 0).Image(0, 0, 4, 3, TBytes(12, 1), 2);
    tooLong.Control(0, 0, 0).ImageData(0, 0, 4, 3, LzwPlain(TBytes(13, 1), 2), 2);
    EXPECT_THROW(LoadGif(tooLong.Bytes(), index), EKvDIBPixelPositionRange);
    EXPECT_EQ(1, FrameCount);
    ClearFrames();
    index = 0;
    // A side of zero is refused as such, before a picture of the other new side and the
    // old picture's height (here 65535 x 65535) is asked for.
    TGifBuilder flat;
    flat.Screen(8, 8, 2).Control(0, 0, 0).ImageData(0, 0, 16, 65535, LzwRun(1, 16 * 65535, 2), 2);
    flat.Control(0, 0, 0).ImageData(0, 0, 65535, 0, {0x00}, 2);
    EXPECT_EQ("TKvDIB.SetWidth: Invalid Height", ErrorOf<EKvDIBInvalidDIBPara>(flat.Bytes()));
    EXPECT_EQ(1, FrameCount);
}

TEST_F(GifReaderTest, PicturesOverTheStorageLimitAreRefusedBeforeAllocating) {
    // A limit of the caller's choosing: 64 x 64 fits 4096 bytes, 65 x 64 does not.
    int index = 0;
    TGifBuilder edge;
    edge.Screen(8, 8, 2).Control(0, 0, 0).ImageData(0, 0, 64, 64, LzwRun(1, 64 * 64, 2), 2);
    EXPECT_EQ(NoLoadError, LoadGif(edge.Bytes(), index, 4096));
    TGifBuilder over;
    over.Screen(8, 8, 2).Control(0, 0, 0).ImageData(0, 0, 65, 64, LzwRun(1, 65 * 64, 2), 2);
    EXPECT_EQ(BlockStage, LoadGif(over.Bytes(), index, 4096));
    EXPECT_EQ(1, FrameCount);
    EXPECT_EQ(64, DecodeImage->Width());
}

TEST_F(GifReaderTest, AFrameLargerThanItsDataCouldFillIsRefusedBeforeAllocating) {
    // 49 bytes whose image says 32768 x 32768.
    const TBytes tiny = {'G',  'I',  'F',  '8',  '9',  'a',  0x00, 0x80, 0x00, 0x80, 0x80,
                         0x00, 0x00,                                                       // screen
                         0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,                               // table
                         0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,                   // control
                         0x2C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x80, 0x00,       // image
                         0x02, 0x08, 0x4C, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // data
                         0x3B};
    ASSERT_EQ(49u, tiny.size());
    int index = 0;
    EXPECT_EQ(BlockStage, LoadGif(tiny, index));
    // A file far under 64 KiB that declares 200 frames of 16384 x 16384.
    TGifBuilder many;
    many.Screen(16384, 16384, 4);
    for (int i = 0; i < 200; ++i)
        many.Control(0, 0, 0).ImageData(0, 0, 16384, 16384, LzwRun(1, 64 * 64, 2), 2);
    ASSERT_LT(many.Bytes().size(), 65536u);
    EXPECT_EQ(BlockStage, LoadGif(many.Bytes(), index));
    // Image data with no bytes at all fills nothing.
    TGifBuilder empty;
    empty.Screen(8, 8, 4).Control(0, 0, 0).ImageData(0, 0, 1, 1, {}, 2);
    EXPECT_EQ(BlockStage, LoadGif(empty.Bytes(), index));
    EXPECT_EQ(0, FrameCount);
    EXPECT_EQ(1, DecodeImage->Width()); // no picture was made

    // At the edge: 32 bits of minimum code size 3 hold seven 4-bit codes, the k-th standing
    // for at most k + 1 pixels (2 + 3 + ... + 8 = 35); the 4 bits left, short of the 5-bit
    // code that follows, count at the best rate so far, 8 / 4 pixels per bit: 43 pixels.
    const TBytes four = {0x18, 0x09, 0, 0}; // clear 8, 1, end 9
    TGifBuilder edge;
    edge.Screen(64, 1, 16).Control(0, 0, 0).ImageData(0, 0, 43, 1, four, 3);
    edge.Control(0, 0, 0).ImageData(0, 0, 44, 1, four, 3);
    index = 0;
    EXPECT_EQ(BlockStage, LoadGif(edge.Bytes(), index));
    EXPECT_EQ(1, FrameCount);
    EXPECT_EQ(43, DecodeImage->Width());
}

TEST_F(GifReaderTest, DataThatCanFillItsFrameOpensHoweverLargeTheFrame) {
    // Runs sent with the fewest bits: each code a pixel longer than the last, then the
    // longest string again and again. Their frames open; a frame a twentieth larger than
    // such data could ever fill does not.
    for (int minimumCodeSize : {2, 8}) {
        for (int height : {100, 3000}) {
            SCOPED_TRACE(testing::Message() << minimumCodeSize << " " << height);
            const TBytes data = LzwRun(3, 1000 * height, minimumCodeSize);
            ClearFrames();
            TGifBuilder gif;
            gif.Screen(1000, height, 256)
                .Control(0, 0, 0)
                .ImageData(0, 0, 1000, height, data, minimumCodeSize);
            gif.Control(0, 0, 0).ImageData(0, 0, 1050, height, data, minimumCodeSize);
            int index = 0;
            EXPECT_EQ(BlockStage, LoadGif(gif.Bytes(), index));
            ASSERT_EQ(1, FrameCount);
            EXPECT_EQ(0, RowsNotAll(0, 3));
        }
    }
}

TEST_F(GifReaderTest, AMinimumCodeSizeAboveElevenIsRefused) {
    // Size 11 leaves the decoder 2046 free codes; size 12 leaves none and is refused.
    TCodeWriter codes;
    for (int code : {2048, 7, 9, 2049})
        codes.Put(code, 12);
    TGifBuilder eleven;
    eleven.Screen(2, 1, 256).Control(0, 0, 0).ImageData(0, 0, 2, 1, codes.Bytes(), 11);
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(eleven.Bytes(), index));
    TCodeWriter zero;
    zero.Put(0, 13);
    TGifBuilder twelve;
    twelve.Screen(2, 1, 256).Control(0, 0, 0).ImageData(0, 0, 2, 1, zero.Bytes(), 12);
    EXPECT_EQ(BlockStage, LoadGif(twelve.Bytes(), index));
    EXPECT_EQ(1, FrameCount); // the size-11 picture alone
}

TEST_F(GifReaderTest, ChangingShapeNeverNeedsAPictureOfBothLargeSides) {
    // 16 x 65535 then 65535 x 16: changing the width first would ask for 65535 x 65535.
    const TBytes data = LzwRun(1, 16 * 65535, 2);
    TGifBuilder gif;
    gif.Screen(8, 8, 2).Control(0, 0, 0).ImageData(0, 0, 16, 65535, data, 2);
    gif.Control(0, 0, 0).ImageData(0, 0, 65535, 16, data, 2);
    gif.Control(0, 0, 0).ImageData(0, 0, 16, 65535, data, 2);
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    ASSERT_EQ(3, FrameCount);
    EXPECT_EQ(65535, FrameList[1].Image->Width());
    EXPECT_EQ(16, FrameList[1].Image->Height());
    EXPECT_EQ(65535, FrameList[2].Image->Height());
}

TEST_F(GifReaderTest, FramesKeepTheirPixelsWhenTheNextImageIsDecoded) {
    // Same size: the next image is decoded into the shared scratch picture.
    TGifBuilder gif;
    gif.Screen(8, 8, 256).Control(0, 0, 0).Image(0, 0, 4, 3, Pixels(1));
    gif.Control(0, 0, 0).Image(0, 0, 4, 3, Pixels(50));
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif.Bytes(), index));
    EXPECT_EQ(Pixels(1), FramePixels(0));
    EXPECT_EQ(Pixels(50), FramePixels(1));
}

TEST_F(GifReaderTest, ProgressFollowsTheFileAndEndsAtZero) {
    const TBytes gif = Animation(2).Trailer().Bytes();
    std::vector<int> positions;
    int max = -1;
    TGifReadContext context;
    context.AddGif = [](int Index) { InsertFrame(Index, DecodedFrame, *DecodeImage); };
    context.ProgressMax = [&max](int Max) { max = Max; };
    context.ProgressPosition = [&positions](int Position) { positions.push_back(Position); };
    int index = 0;
    ASSERT_EQ(NoLoadError, ReadGifBytes(gif.data(), gif.size(), index, context));
    EXPECT_EQ(int(gif.size()), max);
    ASSERT_GE(positions.size(), 4u);
    EXPECT_EQ(int(gif.size()), positions[positions.size() - 2]);
    EXPECT_EQ(0, positions.back());
}

} // namespace
