#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>

#include "gif/colorquant.h"
#include "imagelib/KvDIB.h"

namespace {

std::unique_ptr<TKvDIB> TrueColorDib(int Width, int Height, const std::function<TColor(int, int)>& ColorAt) {
    auto dib = std::make_unique<TKvDIB>();
    dib->SetBitCount(24);
    dib->SetWidth(Width);
    dib->SetHeight(Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            dib->SetPixels(x, y, int(ColorAt(x, y)));
    return dib;
}

TColor Rainbow(int X, int Y) {
    return RGB(std::uint8_t(X * 9), std::uint8_t(Y * 13), std::uint8_t((X * Y) % 251));
}

// A quantiser allocated for one test and freed at its end.
struct TQuantizerRun {
    TColorQuantizer Quantizer;
    explicit TQuantizerRun(int Depth) {
        AllocQuantizer(Quantizer);
        Quantizer.Depth = Depth;
    }
    ~TQuantizerRun() { FreeQuantizer(Quantizer); }
};

} // namespace

TEST(ColorQuantizer, DepthThreeGivesAtMostEightEntriesInAnEightBitImage) {
    auto image = TrueColorDib(60, 40, Rainbow);
    TQuantizerRun run(3);
    AddImageToQuantizer(*image, run.Quantizer);
    BuildQuantizerPalette(run.Quantizer);
    MapToQuantizerPalette(*image, run.Quantizer);
    EXPECT_EQ(run.Quantizer.EntryCount, 8);
    EXPECT_EQ(image->GetBitCount(), 8);
    EXPECT_EQ(image->GetPaletteSize(), 8);
    EXPECT_EQ(image->GetWidth(), 60);
    EXPECT_EQ(image->GetHeight(), 40);
    std::set<int> used;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            used.insert(image->GetPixels(x, y));
    EXPECT_EQ(used.size(), 8u); // every leaf holds pixels of the image
    for (int i = 0; i < 8; ++i) {
        const RGBQUAD& entry = run.Quantizer.Palette[i];
        EXPECT_EQ(image->GetColors(i), RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue));
    }
}

TEST(ColorQuantizer, OneColourGivesOneExactEntry) {
    auto image = TrueColorDib(5, 3, [](int, int) { return RGB(201, 99, 13); });
    TQuantizerRun run(8);
    AddImageToQuantizer(*image, run.Quantizer);
    BuildQuantizerPalette(run.Quantizer);
    MapToQuantizerPalette(*image, run.Quantizer);
    ASSERT_EQ(run.Quantizer.EntryCount, 1);
    EXPECT_EQ(image->GetPaletteSize(), 1);
    EXPECT_EQ(image->GetColors(0), RGB(201, 99, 13));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image->GetPixels(x, y), 0);
}

TEST(ColorQuantizer, WhiteComesBeforeBlack) {
    auto image = TrueColorDib(4, 4, [](int x, int) { return x < 2 ? clBlack : clWhite; });
    TQuantizerRun run(8);
    AddImageToQuantizer(*image, run.Quantizer);
    BuildQuantizerPalette(run.Quantizer);
    MapToQuantizerPalette(*image, run.Quantizer);
    ASSERT_EQ(image->GetPaletteSize(), 2);
    EXPECT_EQ(image->GetColors(0), clWhite);
    EXPECT_EQ(image->GetColors(1), clBlack);
    EXPECT_EQ(image->GetPixels(0, 0), 1);
    EXPECT_EQ(image->GetPixels(3, 3), 0);
}

TEST(ColorQuantizer, FramesAddedTogetherShareOnePalette) {
    auto red = TrueColorDib(3, 3, [](int, int) { return clRed; });
    auto blue = TrueColorDib(3, 3, [](int x, int) { return x == 0 ? clRed : clBlue; });
    // Added only, never mapped, as the key-colour image of an export is.
    auto key = TrueColorDib(1, 1, [](int, int) { return clLime; });
    TQuantizerRun run(8);
    AddImageToQuantizer(*red, run.Quantizer);
    AddImageToQuantizer(*blue, run.Quantizer);
    AddImageToQuantizer(*key, run.Quantizer);
    BuildQuantizerPalette(run.Quantizer);
    ASSERT_EQ(run.Quantizer.EntryCount, 3);
    MapToQuantizerPalette(*red, run.Quantizer);
    MapToQuantizerPalette(*blue, run.Quantizer);
    for (TKvDIB* image : {red.get(), blue.get()}) {
        ASSERT_EQ(image->GetPaletteSize(), 3);
        std::set<TColor> colors = {image->GetColors(0), image->GetColors(1), image->GetColors(2)};
        EXPECT_EQ(colors, (std::set<TColor>{clRed, clBlue, clLime}));
    }
    EXPECT_EQ(red->GetColors(red->GetPixels(1, 1)), clRed);
    EXPECT_EQ(blue->GetColors(blue->GetPixels(0, 2)), clRed);
    EXPECT_EQ(blue->GetColors(blue->GetPixels(2, 0)), clBlue);
    EXPECT_EQ(red->GetPixels(0, 0), blue->GetPixels(0, 0));

    // A colour whose cell saw no pixel maps to entry 0.
    auto other = TrueColorDib(1, 1, [](int, int) { return RGB(17, 200, 90); });
    MapToQuantizerPalette(*other, run.Quantizer);
    EXPECT_EQ(other->GetPixels(0, 0), 0);
}

TEST(ColorQuantizer, SameSplitAsTheLibraryReduction) {
    auto image = TrueColorDib(64, 48, Rainbow);
    auto library = TrueColorDib(64, 48, Rainbow);
    TQuantizerRun run(8);
    AddImageToQuantizer(*image, run.Quantizer);
    BuildQuantizerPalette(run.Quantizer);
    MapToQuantizerPalette(*image, run.Quantizer);
    library->ConvertMode = kvcmLow;
    library->SetPixelFormat(kvpf8Bit);
    ASSERT_EQ(image->GetPaletteSize(), library->GetPaletteSize());
    for (int i = 0; i < image->GetPaletteSize(); ++i)
        EXPECT_EQ(image->GetColors(i), library->GetColors(i)) << i;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(image->GetPixels(x, y), library->GetPixels(x, y));
}

TEST(ColorQuantizer, EmptyHistogramCannotBeMappedAndFreeingIsAlwaysSafe) {
    TColorQuantizer quantizer;
    FreeQuantizer(quantizer);
    AllocQuantizer(quantizer);
    BuildQuantizerPalette(quantizer);
    EXPECT_EQ(quantizer.EntryCount, 0);
    auto image = TrueColorDib(2, 2, Rainbow);
    EXPECT_THROW(MapToQuantizerPalette(*image, quantizer), EKvDIBPaletteIndexRange);
    FreeQuantizer(quantizer);
    FreeQuantizer(quantizer);
    EXPECT_EQ(quantizer.Cells, nullptr);
    EXPECT_EQ(quantizer.CellIndexMap, nullptr);
}

// Three frames counted as the first one three times plus what each later frame changed,
// times the frames it stays for, make the histogram of the three frames added whole.
TEST(ColorQuantizer, ChangesCountedForTheFramesTheyStayForMakeTheSameHistogram) {
    auto frame0 = TrueColorDib(30, 20, Rainbow);
    auto frame1 =
        TrueColorDib(30, 20, [](int X, int Y) { return X >= 5 && X < 12 ? RGB(250, 3, 7) : Rainbow(X, Y); });
    auto frame2 =
        TrueColorDib(30, 20, [](int X, int Y) { return Y == 19 ? RGB(9, 255, 100) : Rainbow(X, Y); });
    TQuantizerRun whole(8), changes(8);
    for (TKvDIB* frame : {frame0.get(), frame1.get(), frame2.get()})
        AddImageToQuantizer(*frame, whole.Quantizer);

    for (int y = 0; y < 20; ++y)
        AddPixelsToQuantizer(*frame0, y, 0, 29, 3, changes.Quantizer);
    for (int y = 0; y < 20; ++y) {
        AddPixelsToQuantizer(*frame1, y, 5, 11, 2, changes.Quantizer);
        AddPixelsToQuantizer(*frame0, y, 5, 11, -2, changes.Quantizer);
    }
    // Frame 2 undoes frame 1's band and paints the bottom row; a run may take in pixels
    // that did not change.
    for (int y = 0; y < 20; ++y) {
        const int right = y == 19 ? 29 : 11;
        AddPixelsToQuantizer(*frame2, y, 0, right, 1, changes.Quantizer);
        AddPixelsToQuantizer(*frame1, y, 0, right, -1, changes.Quantizer);
    }
    EXPECT_EQ(std::memcmp(whole.Quantizer.Cells.get(), changes.Quantizer.Cells.get(),
                          sizeof(TColorCell) * ColorCellCount),
              0);

    EXPECT_THROW(AddPixelsToQuantizer(*frame0, 0, 0, 30, 1, changes.Quantizer), EKvDIBPixelPositionRange);
    frame0->SetBitCount(8);
    EXPECT_THROW(AddPixelsToQuantizer(*frame0, 0, 0, 0, 1, changes.Quantizer), EKvDIBAssert);
}
