// Colour reduction of the whole frame list: one palette for all frames, the global table
// taken from it, the colour counts of the menu, palette pictures of any depth, the dither.
#include <set>

#include "SaveTestSupport.h"
#include "frameset/model/gifreadreduce.h"
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
    // The palette index of every pixel of a frame, row by row.
    static std::vector<int> Indexes(int Index) {
        TKvDIB& image = *FrameList[std::size_t(Index)].Image;
        std::vector<int> indexes;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                indexes.push_back(image.GetPixels(x, y));
        return indexes;
    }
    static std::vector<TColor> Palette() {
        TKvDIB& image = *FrameList[0].Image;
        std::vector<TColor> colors;
        for (int j = 0; j < image.GetPaletteSize(); ++j)
            colors.push_back(image.GetColors(j));
        return colors;
    }
    // A frame whose transparent colour is its colour at Point.
    static void MakeTransparent(int Index, TPoint Point) {
        FrameList[std::size_t(Index)].Transparent = true;
        FrameList[std::size_t(Index)].TransparentPoint = Point;
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
    // Green varies most (weighted): the brighter half comes first.
    EXPECT_EQ(Palette(), (std::vector<TColor>{clWhite, RGB(200, 40, 0)}));
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ(3, FrameList[0].BitsPerPixel);
    for (int j = 2; j < 8; ++j)
        EXPECT_EQ(clBlack, GlobalColorTable[std::size_t(j)]);
    ExpectOneSharedPalette();
    std::vector<int> expected;
    for (int y = 0; y < 4; ++y)
        expected.insert(expected.end(), {0, 0, 0, 1, 1, 1});
    EXPECT_EQ(expected, Indexes(0));
}

TEST_F(ReduceColorsTest, AllFramesGoIntoOneHistogramAndShareItsPaletteInSplitOrder) {
    // White 3, lime 2, red 2, blue 4 and black 4 pixels over three frames. The first split
    // is on green (weighted variance 4 x 14450 against 3 x 14450 and 2 x 16184), upper part
    // first: white and lime, split on red; then red, blue and black, where red and blue tie
    // (3 x 10404 = 2 x 15606) and red wins; then blue and black.
    auto first = TrueColorPicture(4, 1, [](int x, int) {
        const TColor row[] = {clRed, clWhite, clRed, clBlue};
        return row[x];
    });
    auto second = TrueColorPicture(3, 2, [](int x, int y) {
        const TColor rows[2][3] = {{clWhite, clLime, clWhite}, {clBlue, clBlue, clLime}};
        return rows[y][x];
    });
    auto third = TrueColorPicture(2, 2, [](int, int) { return clBlack; });
    Append(*first);
    Append(*second, 3, 4);
    Append(*third);
    ReduceFrameColors(Item16, {});
    ExpectOneSharedPalette();
    EXPECT_EQ(Palette(), (std::vector<TColor>{clWhite, clLime, clRed, clBlue, clBlack}));
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ((std::vector<int>{2, 0, 2, 3}), Indexes(0));
    EXPECT_EQ((std::vector<int>{0, 1, 0, 3, 3, 1}), Indexes(1));
    EXPECT_EQ((std::vector<int>{4, 4, 4, 4}), Indexes(2));
    // Positions and sizes stay; the picture is replaced, not resized.
    EXPECT_EQ(3, FrameList[1].Left);
    EXPECT_EQ(3, FrameList[1].Image->GetWidth());
}

TEST_F(ReduceColorsTest, TransparentPixelsTakeAnEntryOfTheirOwnThatNoOpaquePixelShares) {
    // Frame 0 is transparent in (8, 8, 8), which shares its colour cell with the opaque
    // (9, 9, 9); frame 2 is transparent in white and holds (8, 8, 8) as an opaque colour.
    const TColor key = RGB(8, 8, 8), near = RGB(9, 9, 9);
    auto first = TrueColorPicture(3, 2, [&](int x, int y) {
        const TColor rows[2][3] = {{key, near, clWhite}, {key, key, near}};
        return rows[y][x];
    });
    auto second = TrueColorPicture(2, 1, [&](int x, int) { return x == 0 ? near : clRed; });
    auto third = TrueColorPicture(2, 2, [&](int x, int y) {
        const TColor rows[2][2] = {{clWhite, clRed}, {clWhite, key}};
        return rows[y][x];
    });
    Append(*first);
    Append(*second);
    Append(*third);
    MakeTransparent(0, TPoint{1, 1});
    MakeTransparent(2, TPoint{0, 0});
    ReduceFrameColors(Item256, {});
    ExpectOneSharedPalette();
    // The opaque pixels alone make the palette: the cell of (8, 8, 8) and (9, 9, 9) has the
    // mean (8, 8, 8). The transparent entry comes last, in the first frame's transparent
    // colour moved along blue to a colour no other entry has.
    EXPECT_EQ(Palette(), (std::vector<TColor>{clWhite, clRed, RGB(8, 8, 8), RGB(8, 8, 7)}));
    EXPECT_EQ((std::vector<int>{3, 2, 0, 3, 3, 2}), Indexes(0));
    EXPECT_EQ((std::vector<int>{2, 1}), Indexes(1));
    EXPECT_EQ((std::vector<int>{3, 1, 3, 2}), Indexes(2));
    EXPECT_EQ(3, FrameList[0].TransparentIndex);
    EXPECT_EQ(3, FrameList[2].TransparentIndex);
    EXPECT_EQ(8, GlobalColorCount);
}

TEST_F(ReduceColorsTest, AFullPaletteMergesItsLightestSiblingsToMakeRoomForTheTransparentEntry) {
    // The eight corners of the colour cube split on green, red, then blue, into eight leaves
    // whose siblings differ in blue only; lime and fuchsia, neighbours but no siblings, have
    // one pixel each, the others two. A grey transparent colour needs a ninth entry of the
    // eight: of the sibling pairs aqua and lime and the tied fuchsia and red, the first
    // becomes one entry.
    const TColor corners[] = {clWhite, clYellow, clAqua, clLime, clFuchsia, clRed, clBlue, clBlack};
    const int counts[] = {2, 2, 2, 1, 1, 2, 2, 2};
    std::vector<TColor> pixels;
    for (int i = 0; i < 8; ++i)
        pixels.insert(pixels.end(), std::size_t(counts[i]), corners[i]);
    pixels.insert(pixels.end(), 3, clGray);
    auto picture =
        TrueColorPicture(int(pixels.size()), 1, [&](int x, int) { return pixels[std::size_t(x)]; });
    Append(*picture);
    MakeTransparent(0, TPoint{int(pixels.size()) - 1, 0});
    ReduceFrameColors(Item8, {});
    // Weighted by their pixels: blue (2 x 255 + 1 x 0) / 3 = 170.
    EXPECT_EQ(Palette(), (std::vector<TColor>{clWhite, clYellow, RGB(0, 255, 170), clFuchsia, clRed, clBlue,
                                              clBlack, clGray}));
    EXPECT_EQ((std::vector<int>{0, 0, 1, 1, 2, 2, 2, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7}), Indexes(0));
    EXPECT_EQ(8, GlobalColorCount);
    EXPECT_EQ(3, FrameList[0].BitsPerPixel);
}

TEST_F(ReduceColorsTest, TheDitherKeepsTransparentPixelsApartAndOtherFramesAsTheyWere) {
    auto shaded = [](int x, int y) { return TColor(RGB(x * 40, y * 60, 100)); };
    auto first = TrueColorPicture(6, 4, shaded);
    // White, a colour of the halftone palette, is the second frame's transparent colour.
    auto second = TrueColorPicture(6, 4, [&](int x, int y) { return x == y ? clWhite : shaded(x, y); });
    Append(*first);
    Append(*second);
    MakeTransparent(1, TPoint{2, 2});
    TKvDIB alone;
    alone.Assign(first.get());
    alone.SetPixelFormat(kvpfHalfTone);
    ReduceFrameColors(DitherItem, {});
    ExpectOneSharedPalette();
    EXPECT_EQ(HalftoneColorCount + 1, FrameList[0].Image->GetPaletteSize());
    EXPECT_EQ(TColor(RGB(255, 255, 254)), GlobalColorTable[HalftoneColorCount]);
    // A frame without a transparent colour is dithered as it would be alone.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(alone.GetPixels(x, y), FrameList[0].Image->GetPixels(x, y)) << x << ", " << y;
    // The transparent pixels, and only they, take the entry past the halftone colours.
    TKvDIB& keyed = *FrameList[1].Image;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            if (x == y)
                EXPECT_EQ(HalftoneColorCount, keyed.GetPixels(x, y)) << x << ", " << y;
            else
                EXPECT_LT(keyed.GetPixels(x, y), 210) << x << ", " << y;
        }
    EXPECT_EQ(HalftoneColorCount, FrameList[1].TransparentIndex);
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

// The reduction of an 8-bit frame, which reads it through its colour table and maps it in its
// own storage, gives the bytes that the same frame at 24 bits per pixel gives: the pixels, the
// colour table, the header, the cleared row padding, the transparent index. The frames hold
// entries of one colour twice, pixels past the palette, a row padding left dirty, a picture
// shared by two frames, one laid out top-down and transparent pixels.
TEST_F(ReduceColorsTest, EightBitFramesAreReducedAsTheirTrueColourCopies) {
    // A palette of 36 entries, the first two both red; the pixels also use entries 36..39,
    // past the palette, and the table holds colours up to entry 63 that no pixel uses.
    auto eightBit = [](int Width, int Height, bool TopDown, int Seed) {
        auto picture = std::make_unique<TKvDIB>(Width, TopDown ? -Height : Height, 8, 36);
        picture->SetColors(0, clRed);
        for (int e = 1; e < 64; ++e)
            picture->SetColors(e, e == 1 ? clRed : RGB(e * 3, 250 - e * 3, (e * 37) % 256));
        TKvDIBInfos& infos = picture->InternalDIB->Infos;
        for (int y = 0; y < Height; ++y) {
            std::uint8_t* row = DIBScanLine(infos, y);
            for (int x = 0; x < Width; ++x)
                row[x] = std::uint8_t((x * x + y * 7 + Seed) % 40);
            for (std::int64_t p = Width; p < DIBRowLength(Width, 8); ++p)
                row[p] = 0xA5;
        }
        return picture;
    };
    auto load = [&](bool TrueColor) {
        ClearFrames();
        const std::unique_ptr<TKvDIB> pictures[] = {eightBit(19, 9, false, 0), eightBit(13, 8, true, 1),
                                                    eightBit(10, 6, false, 2)};
        for (const auto& picture : pictures) {
            if (TrueColor) picture->SetPixelFormat(kvpf24Bit);
            Append(*picture);
        }
        Append(*FrameList[0].Image); // sharing frame 0's picture
        MakeTransparent(2, TPoint{1, 0});
    };
    auto saved = [](int Frame) {
        TMemoryStream stream;
        FrameList[std::size_t(Frame)].Image->SaveToStream(stream);
        const auto* bytes = static_cast<const std::uint8_t*>(stream.Memory());
        return std::vector<std::uint8_t>(bytes, bytes + stream.GetSize());
    };
    for (int item : {Item256, Item16, Item8, DitherItem}) {
        SCOPED_TRACE(item);
        load(true);
        ReduceFrameColors(item, {});
        std::vector<std::vector<std::uint8_t>> expected;
        std::vector<int> expectedIndexes;
        for (int i = 0; i < FrameCount; ++i) {
            expected.push_back(saved(i));
            expectedIndexes.push_back(FrameList[std::size_t(i)].TransparentIndex);
        }
        const std::array<TColor, 256> expectedTable = GlobalColorTable;
        const int expectedCount = GlobalColorCount;

        load(false);
        ReduceFrameColors(item, {});
        for (int i = 0; i < FrameCount; ++i) {
            EXPECT_EQ(expected[std::size_t(i)], saved(i)) << "frame " << i;
            EXPECT_EQ(expectedIndexes[std::size_t(i)], FrameList[std::size_t(i)].TransparentIndex);
        }
        EXPECT_EQ(expectedCount, GlobalColorCount);
        EXPECT_EQ(expectedTable, GlobalColorTable);
    }
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
