// Colour reduction of the whole frame list: one palette for all frames, the global table
// taken from it, the colour counts of the menu, palette pictures of any depth, the dither.
#include <set>

#include "SaveTestSupport.h"
#include "frameset/gifreadreduce.h"
#include "imagelib/KvDIBHalftone.h"

namespace {

constexpr int Item256 = 1;
constexpr int Item16 = 5;
constexpr int Item8 = 6;

class ReduceColorsTest : public FrameSetModelTest {
protected:
    // Every frame is an 8-bit picture in frame 0's palette, with no local table.
    static void ExpectOneSharedPalette() {
        TKvDIB& first = *FrameList[0].Image;
        for (int i = 0; i < FrameCount; ++i) {
            TKvDIB& image = *FrameList[std::size_t(i)].Image;
            EXPECT_EQ(8, image.GetBitCount()) << "frame " << i;
            EXPECT_EQ(0, FrameList[std::size_t(i)].LocalColorCount);
            ASSERT_EQ(first.GetPaletteSize(), image.GetPaletteSize()) << "frame " << i;
            for (int j = 0; j < image.GetPaletteSize(); ++j)
                EXPECT_EQ(first.GetColors(j), image.GetColors(j)) << "frame " << i << " entry " << j;
        }
        for (int j = 0; j < GlobalColorCount; ++j)
            EXPECT_EQ(first.GetColors(j), GlobalColorTable[std::size_t(j)]) << "entry " << j;
    }
    static std::set<TColor> DistinctColors() {
        std::set<TColor> colors;
        for (int i = 0; i < FrameCount; ++i)
            for (TColor c : FrameColors(i))
                colors.insert(c);
        return colors;
    }
};

TEST_F(ReduceColorsTest, TwoColoursWithEightGiveTwoEntriesAndATablePaddedWithBlack) {
    auto picture =
        TrueColorPicture(6, 4, [](int x, int) { return x < 3 ? clWhite : TColor(RGB(200, 40, 0)); });
    Append(*picture);
    FrameList[0].LocalColorCount = 16;
    ReduceFrameColors(Item8, {});
    EXPECT_EQ(2, FrameList[0].Image->GetPaletteSize());
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ(3, FrameList[0].BitsPerPixel);
    for (int j = 2; j < 8; ++j)
        EXPECT_EQ(clBlack, GlobalColorTable[std::size_t(j)]);
    ExpectOneSharedPalette();
    // Few colours come through unchanged.
    EXPECT_EQ(clWhite, FrameColors(0)[0]);
    EXPECT_EQ(TColor(RGB(200, 40, 0)), FrameColors(0)[5]);
}

TEST_F(ReduceColorsTest, AllFramesGoIntoOneHistogramAndShareItsPalette) {
    // Colours that only one frame holds still get entries, and mapping keeps them apart.
    auto red = TrueColorPicture(4, 4, [](int, int y) { return y < 2 ? clRed : clWhite; });
    auto blue = TrueColorPicture(5, 3, [](int x, int) { return x == 0 ? clBlue : clWhite; });
    auto green = TrueColorPicture(2, 2, [](int, int) { return clLime; });
    Append(*red);
    Append(*blue, 3, 4);
    Append(*green);
    ReduceFrameColors(Item16, {});
    ExpectOneSharedPalette();
    EXPECT_EQ(4, FrameList[0].Image->GetPaletteSize());
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ(clRed, FrameColors(0)[0]);
    EXPECT_EQ(clWhite, FrameColors(0)[15]);
    EXPECT_EQ(clBlue, FrameColors(1)[0]);
    EXPECT_EQ(clWhite, FrameColors(1)[1]);
    EXPECT_EQ(clLime, FrameColors(2)[3]);
    // Positions and sizes stay; the picture is replaced, not resized.
    EXPECT_EQ(3, FrameList[1].Left);
    EXPECT_EQ(5, FrameList[1].Image->GetWidth());
}

TEST_F(ReduceColorsTest, ManyColoursAreCutTo256AndTheTableIsFull) {
    auto picture =
        TrueColorPicture(64, 64, [](int x, int y) { return TColor(RGB(x * 4, y * 4, (x + y) * 2)); });
    Append(*picture);
    ReduceFrameColors(Item256, {});
    const int entries = FrameList[0].Image->GetPaletteSize();
    EXPECT_GT(entries, 128);
    EXPECT_LE(entries, 256);
    EXPECT_EQ(256, GlobalColorCount);
    EXPECT_EQ(8, FrameList[0].BitsPerPixel);
    TKvDIB& image = *FrameList[0].Image;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_LT(image.GetPixels(x, y), entries);
}

TEST_F(ReduceColorsTest, PalettePicturesOfOneAndFourBitsAreReducedLikeAnyOther) {
    TKvDIB mono;
    mono.SetBitCount(1);
    mono.SetWidth(8);
    mono.SetHeight(2);
    mono.SetColors(0, clBlack);
    mono.SetColors(1, clYellow);
    mono.SetPixels(3, 1, 1);
    TKvDIB sixteen;
    sixteen.SetBitCount(4);
    sixteen.SetWidth(3);
    sixteen.SetHeight(3);
    sixteen.SetColors(5, clFuchsia);
    sixteen.SetPixels(1, 1, 5);
    Append(mono);
    Append(sixteen);
    const std::vector<TColor> before0 = FrameColors(0), before1 = FrameColors(1);
    ReduceFrameColors(Item256, {});
    ExpectOneSharedPalette();
    EXPECT_EQ(before0, FrameColors(0));
    EXPECT_EQ(before1, FrameColors(1));
}

TEST_F(ReduceColorsTest, ReducingAgainKeepsTheFewerColours) {
    auto picture = TrueColorPicture(32, 32, [](int x, int y) { return TColor(RGB(x * 8, y * 8, 128)); });
    Append(*picture);
    ReduceFrameColors(Item8, {});
    EXPECT_LE(DistinctColors().size(), 8u);
    ReduceFrameColors(Item256, {});
    EXPECT_LE(FrameList[0].Image->GetPaletteSize(), 8);
    EXPECT_LE(DistinctColors().size(), 8u);
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ(3, FrameList[0].BitsPerPixel);
}

TEST_F(ReduceColorsTest, TheDitherGivesEveryFrameTheHalftonePalette) {
    auto first = TrueColorPicture(5, 5, [](int x, int) { return TColor(RGB(x * 50, 0, 0)); });
    auto second = TrueColorPicture(3, 2, [](int, int) { return clWhite; });
    Append(*first);
    Append(*second);
    ReduceFrameColors(DitherItem, {});
    EXPECT_EQ(256, GlobalColorCount);
    ExpectOneSharedPalette();
    for (int i = 0; i < FrameCount; ++i)
        EXPECT_EQ(8, FrameList[std::size_t(i)].BitsPerPixel);
    for (int j = 0; j < HalftoneColorCount; ++j) {
        const RGBQUAD& c = HalftoneColors[j];
        EXPECT_EQ(TColor(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue)), GlobalColorTable[std::size_t(j)]) << j;
    }
}

TEST_F(ReduceColorsTest, TheProgressFollowsTheFramesAndEndsAtZero) {
    auto picture = TrueColorPicture(2, 2, [](int, int) { return clRed; });
    for (int i = 0; i < 3; ++i)
        Append(*picture);
    for (int item : {DitherItem, Item16}) {
        std::vector<int> positions;
        int max = -1;
        ReduceFrameColors(
            item, {[&](int Max) { max = Max; }, [&](int Position) { positions.push_back(Position); }});
        EXPECT_EQ(2, max);
        EXPECT_EQ((std::vector<int>{0, 1, 2, 0}), positions) << "item " << item;
    }
}

TEST_F(ReduceColorsTest, AnEmptyListIsLeftAlone) {
    GlobalColorCount = 4;
    ReduceFrameColors(Item256, {});
    EXPECT_EQ(4, GlobalColorCount);
}

} // namespace
