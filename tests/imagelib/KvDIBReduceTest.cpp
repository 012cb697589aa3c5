// Colour reduction of true-colour images in the low (cell) and high (pixel tree) modes,
// and the 8-bit to 4-bit re-quantiser.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "imagelib/KvDIBConverters.h"
#include "imagelib/KvDIBReduce.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

struct TRgb {
    std::uint8_t R, G, B;
    bool operator==(const TRgb&) const = default;
};

TRgb EntryColor(const TKvDIBInfos& infos, int index) {
    const RGBQUAD& q = infos.ColorTable[index];
    return TRgb{q.rgbRed, q.rgbGreen, q.rgbBlue};
}

std::unique_ptr<TKvInternalDIB> MakeImage(int width, int height, int bitCount, int clrUsed = 0) {
    return std::make_unique<TKvInternalDIB>(width, height, bitCount, clrUsed);
}

// A 24-bit image from pixels in image order (top row first); negative height: top-down.
std::unique_ptr<TKvInternalDIB> MakeTrueColor(int width, int height, const std::vector<TRgb>& pixels) {
    auto dib = MakeImage(width, height, 24);
    const int rows = height < 0 ? -height : height;
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* p = DIBScanLine(dib->Infos, y);
        for (int x = 0; x < width; ++x, p += 3) {
            const TRgb& c = pixels[std::size_t(y) * width + x];
            p[0] = c.B;
            p[1] = c.G;
            p[2] = c.R;
        }
    }
    return dib;
}

// Takes over a converter's result so that its storage is released.
std::unique_ptr<TKvInternalDIB> Adopt(const TKvDIBInfos& infos) {
    auto dib = std::make_unique<TKvInternalDIB>();
    dib->FreeDIB();
    dib->Infos = infos;
    return dib;
}

int IndexAt(const TKvDIBInfos& infos, int x, int y) {
    const std::uint8_t* row = DIBScanLine(infos, y);
    if (infos.Header.biBitCount == 8) return row[x];
    return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
}

using TConverter = void (*)(const TKvDIBInfos&, TKvDIBInfos&, const TKvProgressStep&);

struct TReduction {
    const char* Name;
    TConverter Convert;
    int BitCount;
    bool High;
};

const TReduction Reductions[] = {
    {"Low8", ConvertTrueColorTo8BitRGBLow, 8, false},
    {"Low4", ConvertTrueColorTo4BitRGBLow, 4, false},
    {"High8", ConvertTrueColorTo8BitRGBHigh, 8, true},
    {"High4", ConvertTrueColorTo4BitRGBHigh, 4, true},
};

struct TReduced {
    std::unique_ptr<TKvInternalDIB> Image;
    int Steps = 0;
    const TKvDIBInfos& Infos() const { return Image->Infos; }
    std::vector<TRgb> Palette() const {
        std::vector<TRgb> colors;
        for (std::uint32_t i = 0; i < Infos().Header.biClrUsed; ++i)
            colors.push_back(EntryColor(Infos(), int(i)));
        return colors;
    }
};

TReduced Reduce(TConverter convert, const TKvInternalDIB& source) {
    TReduced reduced;
    TKvDIBInfos result;
    convert(source.Infos, result, [&reduced] { ++reduced.Steps; });
    reduced.Image = Adopt(result);
    return reduced;
}

class TrueColorReduction : public ::testing::TestWithParam<TReduction> {
protected:
    TReduced Run(const TKvInternalDIB& source) { return Reduce(GetParam().Convert, source); }
    int Leaves() const { return 1 << GetParam().BitCount; }
};

TEST_P(TrueColorReduction, SingleColourGivesOneExactEntryAndStillAllSteps) {
    const TRgb olive{123, 77, 9};
    const auto source = MakeTrueColor(5, 3, std::vector<TRgb>(15, olive));
    const TReduced r = Run(*source);
    EXPECT_EQ(r.Steps, Leaves());
    ASSERT_EQ(r.Palette(), std::vector<TRgb>{olive});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(IndexAt(r.Infos(), x, y), 0);
}

TEST_P(TrueColorReduction, ResultRecordFollowsSource) {
    auto source = MakeTrueColor(6, -2, std::vector<TRgb>(12, TRgb{1, 2, 3}));
    source->Infos.Header.biXPelsPerMeter = 2835;
    source->Infos.Header.biSizeImage = 999;
    const TReduced r = Run(*source);
    const BITMAPINFOHEADER& h = r.Infos().Header;
    EXPECT_EQ(h.biWidth, 6);
    EXPECT_EQ(h.biHeight, -2);
    EXPECT_EQ(h.biBitCount, GetParam().BitCount);
    EXPECT_EQ(h.biCompression, std::uint32_t(BI_RGB));
    EXPECT_EQ(h.biSizeImage, 0u);
    EXPECT_EQ(h.biXPelsPerMeter, 2835);
    EXPECT_EQ(r.Infos().ImageSize, std::uint32_t(2 * DIBRowLength(6, GetParam().BitCount)));
    // The source keeps its own image.
    EXPECT_EQ(source->Infos.Header.biBitCount, 24);
    EXPECT_EQ(DIBScanLine(source->Infos, 1)[2], 1);
}

TEST_P(TrueColorReduction, BlackAndWhiteGiveWhiteFirst) {
    const TRgb black{0, 0, 0}, white{255, 255, 255};
    const auto source = MakeTrueColor(2, 2, {black, white, white, black});
    const TReduced r = Run(*source);
    EXPECT_EQ(r.Steps, Leaves());
    ASSERT_EQ(r.Palette(), (std::vector<TRgb>{white, black}));
    EXPECT_EQ(IndexAt(r.Infos(), 0, 0), 1);
    EXPECT_EQ(IndexAt(r.Infos(), 1, 0), 0);
    EXPECT_EQ(IndexAt(r.Infos(), 0, 1), 0);
    EXPECT_EQ(IndexAt(r.Infos(), 1, 1), 1);
}

// Entries come in leaf order, the part above the mean first, so the palette shows which
// channel the first split took.
TEST_P(TrueColorReduction, EqualWeightedVariancesSplitOnRedBeforeGreen) {
    // 3 * Var(red) = 3 * 192 = 576 = 4 * 144 = 4 * Var(green).
    const TRgb a{32, 0, 0}, b{0, 24, 0}, c{0, 0, 0};
    const TReduced r = Run(*MakeTrueColor(4, 1, {a, b, b, c}));
    EXPECT_EQ(r.Palette(), (std::vector<TRgb>{a, b, c}));
}

TEST_P(TrueColorReduction, BlueWeighsLessThanRed) {
    // Blue varies more than red, but 2 * Var(blue) < 3 * Var(red).
    const TRgb a{40, 0, 0}, b{0, 0, 48}, c{0, 0, 0};
    const TReduced r = Run(*MakeTrueColor(4, 1, {a, b, c, c}));
    EXPECT_EQ(r.Palette(), (std::vector<TRgb>{a, b, c}));
}

TEST_P(TrueColorReduction, ColoursDifferingOnlyInBlueAreSeparated) {
    const TRgb a{10, 20, 30}, b{10, 20, 230};
    const TReduced r = Run(*MakeTrueColor(3, 1, {a, b, a}));
    EXPECT_EQ(r.Palette(), (std::vector<TRgb>{b, a}));
    EXPECT_EQ(IndexAt(r.Infos(), 1, 0), 0);
    EXPECT_EQ(IndexAt(r.Infos(), 2, 0), 1);
}

TEST_P(TrueColorReduction, FewerColoursThanLeavesGiveNoEmptyEntries) {
    const std::vector<TRgb> colors{{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {100, 100, 100}, {250, 250, 0}};
    const TReduced r = Run(*MakeTrueColor(5, 1, colors));
    EXPECT_EQ(r.Steps, Leaves());
    EXPECT_EQ(r.Infos().Header.biClrUsed, 5u);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(EntryColor(r.Infos(), IndexAt(r.Infos(), x, 0)), colors[x]);
}

// The 16-colour reductions: 4-bit rows, and depth 4 running out before the colours do.
class FourBitReduction : public TrueColorReduction {};

TEST_P(FourBitReduction, OddWidthRowsEndWithAZeroLowNibble) {
    const TRgb k{0, 0, 0}, w{255, 255, 255};
    const TReduced r = Run(*MakeTrueColor(3, 2, {k, w, k, w, k, w}));
    // White is entry 0, black entry 1.
    EXPECT_EQ(DIBScanLine(r.Infos(), 0)[0], 0x10);
    EXPECT_EQ(DIBScanLine(r.Infos(), 0)[1], 0x10);
    EXPECT_EQ(DIBScanLine(r.Infos(), 1)[0], 0x01);
    EXPECT_EQ(DIBScanLine(r.Infos(), 1)[1], 0x00);
    EXPECT_EQ(DIBScanLine(r.Infos(), 1)[2], 0x00);
}

// Seventeen reds at depth 4: the splits leave 7 and 14 (or 7 and 16) in one leaf, whose
// mean 10.5 rounds to 10 (11.5 to 12).
TEST_P(FourBitReduction, LeafMeansRoundHalfToEven) {
    struct TCase {
        std::vector<int> Reds;
        int Merged;
    };
    const TCase cases[] = {
        {{7, 14, 24, 32, 48, 56, 72, 96, 120, 168, 184, 192, 200, 216, 224, 232, 248}, 10},
        {{7, 16, 32, 56, 64, 72, 104, 112, 128, 152, 176, 192, 200, 216, 232, 240, 248}, 12},
    };
    for (const TCase& c : cases) {
        std::vector<TRgb> pixels;
        for (int red : c.Reds)
            pixels.push_back(TRgb{std::uint8_t(red), 0, 0});
        const TReduced r = Run(*MakeTrueColor(17, 1, pixels));
        ASSERT_EQ(r.Infos().Header.biClrUsed, 16u);
        const int merged = IndexAt(r.Infos(), 0, 0);
        EXPECT_EQ(IndexAt(r.Infos(), 1, 0), merged);
        EXPECT_EQ(EntryColor(r.Infos(), merged), (TRgb{std::uint8_t(c.Merged), 0, 0}));
        for (int x = 2; x < 17; ++x)
            EXPECT_EQ(EntryColor(r.Infos(), IndexAt(r.Infos(), x, 0)), pixels[x]);
    }
}

TEST_P(TrueColorReduction, ColoursOfOneCellMergeOnlyInTheLowMode) {
    std::vector<TRgb> pixels;
    for (int red = 8; red <= 15; ++red)
        pixels.push_back(TRgb{std::uint8_t(red), 40, 80});
    const TReduced r = Run(*MakeTrueColor(8, 1, pixels));
    if (GetParam().High) {
        EXPECT_EQ(r.Infos().Header.biClrUsed, 8u);
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(EntryColor(r.Infos(), IndexAt(r.Infos(), x, 0)), pixels[x]);
    } else {
        // The cell mean of the dropped bits 0..7 is 3.5, rounded down: red 11.
        EXPECT_EQ(r.Palette(), (std::vector<TRgb>{{11, 40, 80}}));
    }
}

// On a busy picture: the right number of steps, indexes inside the palette, and in the high
// mode each entry is exactly the rounded mean of the pixels mapped to it.
TEST_P(TrueColorReduction, BusyPictureMapsEveryPixelIntoItsLeaf) {
    const int width = 37, height = 23;
    std::mt19937 random(7);
    std::vector<TRgb> pixels(std::size_t(width) * height);
    for (TRgb& p : pixels)
        p = TRgb{std::uint8_t(random() % 256), std::uint8_t(random() % 64 * 4),
                 std::uint8_t(random() % 3 * 100)};
    const TReduced r = Run(*MakeTrueColor(width, height, pixels));
    EXPECT_EQ(r.Steps, Leaves());
    const int entries = int(r.Infos().Header.biClrUsed);
    EXPECT_LE(entries, Leaves());
    EXPECT_GT(entries, Leaves() * 3 / 4);

    std::vector<std::uint64_t> count(entries), sum(std::size_t(entries) * 3);
    std::vector<int> cellIndex(ColorCellCount, -1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int index = IndexAt(r.Infos(), x, y);
            ASSERT_LT(index, entries);
            const TRgb& p = pixels[std::size_t(y) * width + x];
            ++count[index];
            sum[index * 3] += p.R;
            sum[index * 3 + 1] += p.G;
            sum[index * 3 + 2] += p.B;
            int& cell = cellIndex[ColorCellNumber(p.R, p.G, p.B)];
            if (GetParam().High) continue;
            if (cell >= 0) {
                EXPECT_EQ(cell, index) << "one cell, one index";
            }
            cell = index;
        }
    if (!GetParam().High) return;
    auto roundHalfEven = [](std::uint64_t s, std::uint64_t n) {
        std::uint64_t q = s / n;
        const std::uint64_t twice = 2 * (s % n);
        if (twice > n || (twice == n && q % 2 != 0)) ++q;
        return std::uint8_t(q);
    };
    for (int i = 0; i < entries; ++i) {
        ASSERT_GT(count[i], 0u);
        const TRgb mean{roundHalfEven(sum[i * 3], count[i]), roundHalfEven(sum[i * 3 + 1], count[i]),
                        roundHalfEven(sum[i * 3 + 2], count[i])};
        EXPECT_EQ(EntryColor(r.Infos(), i), mean) << "entry " << i;
    }
}

TEST_P(TrueColorReduction, WrongSourceDepthIsRefusedBeforeAnythingIsMade) {
    const auto source = MakeImage(4, 4, 8, 2);
    const std::size_t live = LiveFileMappings();
    TKvDIBInfos result;
    int steps = 0;
    try {
        GetParam().Convert(source->Infos, result, [&steps] { ++steps; });
        FAIL() << "no exception";
    } catch (const EKvDIBBadDIBType& e) {
        EXPECT_EQ(e.Message(), std::string("ConvertTrueColorTo") + (GetParam().BitCount == 8 ? "8" : "4") +
                                   "BitRGB" + (GetParam().High ? "High" : "Low") + ": Invalid Bitcount");
    }
    EXPECT_EQ(LiveFileMappings(), live);
    EXPECT_EQ(result.Bits, nullptr);
    EXPECT_EQ(steps, 0);
}

std::string ReductionName(const ::testing::TestParamInfo<TReduction>& info) {
    return info.param.Name;
}
INSTANTIATE_TEST_SUITE_P(Modes, TrueColorReduction, ::testing::ValuesIn(Reductions), ReductionName);
INSTANTIATE_TEST_SUITE_P(Modes, FourBitReduction, ::testing::Values(Reductions[1], Reductions[3]),
                         ReductionName);

// The export quantiser's route (histogram by hand, build without progress) gives the same
// palette and map as the converter.
TEST(ColorCells, BuildingFromAHistogramMatchesTheLowModeConverter) {
    const int width = 29, height = 11;
    std::mt19937 random(3);
    std::vector<TRgb> pixels(std::size_t(width) * height);
    for (TRgb& p : pixels)
        p = TRgb{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())};
    const TReduced converted = Reduce(ConvertTrueColorTo8BitRGBLow, *MakeTrueColor(width, height, pixels));

    std::vector<TColorCell> cells(ColorCellCount);
    InitColorCells(cells.data());
    for (const TRgb& p : pixels)
        AddColorToCells(cells.data(), p.R, p.G, p.B);
    RGBQUAD palette[256];
    int entryCount = -1;
    std::vector<std::uint8_t> map(ColorCellCount, 0xEE);
    BuildColorCellPalette(cells.data(), 8, palette, entryCount, map.data(), TKvProgressStep());

    ASSERT_EQ(entryCount, int(converted.Infos().Header.biClrUsed));
    EXPECT_EQ(std::memcmp(palette, converted.Infos().ColorTable, sizeof(RGBQUAD) * std::size_t(entryCount)),
              0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TRgb& p = pixels[std::size_t(y) * width + x];
            EXPECT_EQ(map[ColorCellNumber(p.R, p.G, p.B)], IndexAt(converted.Infos(), x, y));
        }
}

TEST(ColorCells, NumbersAndAverages) {
    EXPECT_EQ(ColorCellNumber(0, 0, 0), 0);
    EXPECT_EQ(ColorCellNumber(255, 255, 255), 65535);
    EXPECT_EQ(ColorCellNumber(8, 4, 8), 2048 + 32 + 1);

    std::vector<TColorCell> cells(ColorCellCount);
    InitColorCells(cells.data());
    EXPECT_EQ(cells[1234].CellIndex, 1234);
    // A huge cell: 400 million pixels of red 15, green 3, blue 7 overflow a signed sum of
    // the low bits, not an unsigned one.
    TColorCell& big = cells[ColorCellNumber(15, 3, 7)];
    big.Count = 400'000'000;
    big.R = std::int32_t(std::uint32_t(7u * 400'000'000u));
    big.G = std::int32_t(std::uint32_t(3u * 400'000'000u));
    big.B = std::int32_t(std::uint32_t(7u * 400'000'000u));
    AddColorToCells(cells.data(), 200, 100, 50);
    RGBQUAD palette[256];
    int entryCount = 0;
    std::vector<std::uint8_t> map(ColorCellCount);
    BuildColorCellPalette(cells.data(), 3, palette, entryCount, map.data(), TKvProgressStep());
    ASSERT_EQ(entryCount, 2);
    const RGBQUAD& small = palette[0];
    const RGBQUAD& large = palette[1];
    EXPECT_EQ((TRgb{small.rgbRed, small.rgbGreen, small.rgbBlue}), (TRgb{200, 100, 50}));
    EXPECT_EQ((TRgb{large.rgbRed, large.rgbGreen, large.rgbBlue}), (TRgb{15, 3, 7}));
    EXPECT_EQ(map[ColorCellNumber(15, 3, 7)], 1);
    EXPECT_EQ(map[ColorCellNumber(200, 100, 50)], 0);
    EXPECT_EQ(map[ColorCellNumber(90, 90, 90)], 0);
}

TEST(ColorCells, DividingCountsStepsAndRoundsHalvesToEven) {
    // Depth 0: the whole range is one leaf.
    TColorCell cells[] = {{10, 0, 1, 1, 0}, {11, 3, 2, 1, 1}};
    RGBQUAD palette[256];
    int entryCount = 0, steps = 0;
    DivideColorCells(0, 2, 0, 0, cells, palette, entryCount, [&steps] { ++steps; });
    EXPECT_EQ(entryCount, 1);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(palette[0].rgbRed, 10);  // 10.5
    EXPECT_EQ(palette[0].rgbGreen, 2); // 1.5
    EXPECT_EQ(palette[0].rgbBlue, 2);  // 1.5
    EXPECT_EQ(palette[0].rgbReserved, 0);
    EXPECT_EQ(cells[0].Count, 0);
    EXPECT_EQ(cells[1].Count, 0);

    TColorCell heavier[] = {{11, 0, 0, 3, 0}, {13, 0, 0, 1, 1}}; // 11.5
    DivideColorCells(0, 2, 0, 0, heavier, palette, entryCount, TKvProgressStep());
    EXPECT_EQ(entryCount, 2);
    EXPECT_EQ(palette[1].rgbRed, 12);

    // An empty range still accounts for all its leaves.
    steps = 0;
    DivideColorCells(0, 0, 0, 6, cells, palette, entryCount, [&steps] { ++steps; });
    EXPECT_EQ(steps, 64);
    EXPECT_EQ(entryCount, 2);
    EXPECT_THROW(DivideColorCells(0, 2, 0, 9, cells, palette, entryCount, TKvProgressStep()), EKvDIBAssert);
}

std::unique_ptr<TKvInternalDIB> MakePaletteImage(int width, int height, const std::vector<TRgb>& table,
                                                 const std::vector<int>& indexes) {
    auto dib = MakeImage(width, height, 8, int(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i)
        dib->Infos.ColorTable[i] = RGBQUAD{table[i].B, table[i].G, table[i].R, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            DIBScanLine(dib->Infos, y)[x] = std::uint8_t(indexes[std::size_t(y) * width + x]);
    return dib;
}

TEST(Requantize8To4, OnlyUsedEntriesTakePart) {
    const TRgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
    // Entry 2 (blue) is used by no pixel.
    const auto source = MakePaletteImage(3, 2, {red, green, blue, white}, {0, 1, 3, 3, 1, 0});
    const TReduced r = Reduce(Convert8BitRGBTo4BitRGB, *source);
    EXPECT_EQ(r.Steps, 16);
    EXPECT_EQ(r.Infos().Header.biBitCount, 4);
    // Green splits first (4 * Var); above its mean lie green and white, split on red.
    ASSERT_EQ(r.Palette(), (std::vector<TRgb>{white, green, red}));
    EXPECT_EQ(DIBScanLine(r.Infos(), 0)[0], 0x21);
    EXPECT_EQ(DIBScanLine(r.Infos(), 0)[1], 0x00); // white, then the odd width's 0 nibble
    EXPECT_EQ(DIBScanLine(r.Infos(), 1)[0], 0x01);
    EXPECT_EQ(DIBScanLine(r.Infos(), 1)[1], 0x20);
}

TEST(Requantize8To4, RefusesOtherFormats) {
    auto trueColor = MakeImage(2, 2, 24);
    auto rle = MakeImage(2, 2, 8, 2);
    rle->Infos.Header.biCompression = BI_RLE8;
    for (const TKvInternalDIB* source : {trueColor.get(), rle.get()}) {
        const std::size_t live = LiveFileMappings();
        TKvDIBInfos result;
        try {
            Convert8BitRGBTo4BitRGB(source->Infos, result, TKvProgressStep());
            ADD_FAILURE() << "no exception";
        } catch (const EKvDIBBadDIBType& e) {
            EXPECT_EQ(e.Message(), "Convert8BitRGBTo4BitRGB: Invalid Bitcount or Compression");
        }
        EXPECT_EQ(LiveFileMappings(), live);
    }
}

} // namespace
