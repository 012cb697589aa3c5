// Halftoning onto the fixed colour palette and onto black and white.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "imagelib/KvDIBConverters.h"
#include "imagelib/KvDIBHalftone.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

struct TRgb {
    std::uint8_t R, G, B;
    bool operator==(const TRgb&) const = default;
};

std::unique_ptr<TKvInternalDIB> MakeImage(int width, int height, int bitCount, int clrUsed = 0) {
    return std::make_unique<TKvInternalDIB>(width, height, bitCount, clrUsed);
}

// Rows are given in storage order, the order the diffusion runs in.
std::unique_ptr<TKvInternalDIB> MakeTrueColor(int width, int height, const std::vector<TRgb>& pixels) {
    auto dib = MakeImage(width, height, 24);
    const std::int64_t stride = DIBRowLength(width, 24);
    for (int y = 0; y < (height < 0 ? -height : height); ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = dib->Infos.Bits + y * stride + x * 3;
            const TRgb& c = pixels[std::size_t(y) * width + x];
            p[0] = c.B;
            p[1] = c.G;
            p[2] = c.R;
        }
    return dib;
}

std::unique_ptr<TKvInternalDIB> Halftone(void (*convert)(const TKvDIBInfos&, TKvDIBInfos&),
                                         const TKvInternalDIB& source) {
    TKvDIBInfos result;
    convert(source.Infos, result);
    auto dib = std::make_unique<TKvInternalDIB>();
    dib->FreeDIB();
    dib->Infos = result;
    return dib;
}

// The stored rows of an 8-bit result (storage order), without padding.
std::vector<std::vector<int>> Indexes(const TKvDIBInfos& infos) {
    const int width = infos.Header.biWidth;
    std::vector<std::vector<int>> rows;
    for (std::int64_t y = 0; y < DIBRowCount(infos.Header); ++y) {
        const std::uint8_t* row = infos.Bits + y * DIBRowLength(width, 8);
        rows.emplace_back(row, row + width);
    }
    return rows;
}

TRgb Entry(int index) {
    const RGBQUAD& q = HalftoneColors[index];
    return TRgb{q.rgbRed, q.rgbGreen, q.rgbBlue};
}

TEST(HalftonePalette, LevelsAndExtraColours) {
    EXPECT_EQ(Entry(0), (TRgb{0, 0, 0}));
    EXPECT_EQ(Entry(1 + 5 * 2 + 35 * 3), (TRgb{153, 85, 64}));
    EXPECT_EQ(Entry(209), (TRgb{255, 255, 255}));
    EXPECT_EQ(Entry(210), (TRgb{128, 0, 0}));
    EXPECT_EQ(Entry(213), (TRgb{192, 192, 192}));
    EXPECT_EQ(Entry(214), (TRgb{128, 128, 128}));
}

TEST(HalfTone, WhiteAndBlackStayPure) {
    const auto white =
        Halftone(ConvertToHalfTone, *MakeTrueColor(7, 3, std::vector<TRgb>(21, {255, 255, 255})));
    const auto black = Halftone(ConvertToHalfTone, *MakeTrueColor(7, 3, std::vector<TRgb>(21, {0, 0, 0})));
    for (const auto& row : Indexes(white->Infos))
        EXPECT_EQ(row, std::vector<int>(7, 209));
    for (const auto& row : Indexes(black->Infos))
        EXPECT_EQ(row, std::vector<int>(7, 0));
}

TEST(HalfTone, MidGreyMixesTwoEntriesOnly) {
    const auto result =
        Halftone(ConvertToHalfTone, *MakeTrueColor(16, 16, std::vector<TRgb>(256, {128, 128, 128})));
    std::set<int> used;
    for (const auto& row : Indexes(result->Infos))
        used.insert(row.begin(), row.end());
    EXPECT_EQ(used, (std::set<int>{87, 122}));
}

TEST(HalfTone, OnePixelWideImageUsesTheGuards) {
    const auto result =
        Halftone(ConvertToHalfTone, *MakeTrueColor(1, 5, std::vector<TRgb>(5, {128, 128, 128})));
    // Errors of +25 and -17, -19, +19 in red carried straight down.
    EXPECT_EQ(Indexes(result->Infos), (std::vector<std::vector<int>>{{122}, {87}, {122}, {87}, {122}}));
}

// A small picture whose result depends on every rule: odd rows run backwards with their
// diagonal neighbour on the right, and the error division truncates towards zero.
std::unique_ptr<TKvInternalDIB> Patterned() {
    const int width = 6, height = 4;
    std::vector<TRgb> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(TRgb{std::uint8_t((x * 53 + y * 29) % 256),
                                  std::uint8_t((x * 17 + y * 71 + 40) % 256),
                                  std::uint8_t((x * 91 + y * 13 + 7) % 256)});
    return MakeTrueColor(width, height, pixels);
}

TEST(HalfTone, SerpentineDiffusionOfAPattern) {
    const auto result = Halftone(ConvertToHalfTone, *Patterned());
    EXPECT_EQ(Indexes(result->Infos), (std::vector<std::vector<int>>{{5, 42, 83, 115, 157, 18},
                                                                     {50, 52, 123, 161, 197, 63},
                                                                     {56, 97, 133, 166, 32, 39},
                                                                     {100, 107, 149, 181, 42, 84}}));
}

TEST(HalfToneBW, SerpentineDiffusionOfAPattern) {
    const auto result = Halftone(ConvertToHalfToneBW, *Patterned());
    const std::uint8_t expected[4] = {0x28, 0x2C, 0xF0, 0x24};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(result->Infos.Bits[y * 4], expected[y]) << "row " << y;
}

TEST(HalfToneBW, WhiteSetsOnlyTheBitsOfTheRow) {
    const auto white =
        Halftone(ConvertToHalfToneBW, *MakeTrueColor(10, 3, std::vector<TRgb>(30, {255, 255, 255})));
    const auto black = Halftone(ConvertToHalfToneBW, *MakeTrueColor(10, 3, std::vector<TRgb>(30, {0, 0, 0})));
    for (int y = 0; y < 3; ++y) {
        const std::uint8_t* w = white->Infos.Bits + y * 4;
        const std::uint8_t* b = black->Infos.Bits + y * 4;
        EXPECT_EQ(w[0], 0xFF);
        EXPECT_EQ(w[1], 0xC0);
        EXPECT_EQ(w[2] | w[3] | b[0] | b[1] | b[2] | b[3], 0);
    }
}

TEST(HalfTone, ResultRecords) {
    auto source = MakeTrueColor(5, -3, std::vector<TRgb>(15, {10, 20, 30}));
    source->Infos.Header.biYPelsPerMeter = 3780;
    const auto color = Halftone(ConvertToHalfTone, *source);
    const auto bw = Halftone(ConvertToHalfToneBW, *source);
    EXPECT_EQ(color->Infos.Header.biBitCount, 8);
    EXPECT_EQ(color->Infos.Header.biClrUsed, 215u);
    EXPECT_EQ(color->Infos.Header.biHeight, -3);
    EXPECT_EQ(color->Infos.Header.biYPelsPerMeter, 3780);
    EXPECT_EQ(color->Infos.ImageSize, 24u);
    EXPECT_EQ(std::memcmp(color->Infos.ColorTable, HalftoneColors, sizeof(HalftoneColors)), 0);
    EXPECT_EQ(bw->Infos.Header.biBitCount, 1);
    EXPECT_EQ(bw->Infos.Header.biClrUsed, 2u);
    EXPECT_EQ(bw->Infos.Header.biHeight, -3);
    EXPECT_EQ(bw->Infos.ImageSize, 12u);
    EXPECT_EQ(std::memcmp(bw->Infos.ColorTable, HalftoneBWColors, sizeof(HalftoneBWColors)), 0);
    EXPECT_EQ(source->Infos.Header.biBitCount, 24);
}

// Palette sources read their colours through the colour table, also entries beyond the
// ones in use; the result is that of the same colours in 24 bits.
TEST(HalfTone, PaletteSourcesMatchTheirTrueColourImage) {
    const int width = 13, height = 5;
    std::mt19937 random(11);
    for (int bits : {1, 4, 8}) {
        auto source = MakeImage(width, height, bits, 2);
        for (int i = 0; i < 256; ++i)
            source->Infos.ColorTable[i] =
                RGBQUAD{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()), 0};
        std::vector<TRgb> colors;
        const std::int64_t stride = DIBRowLength(width, bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int index = int(random() % (1u << bits));
                std::uint8_t* row = source->Infos.Bits + y * stride;
                if (bits == 8) row[x] = std::uint8_t(index);
                if (bits == 4) row[x / 2] |= std::uint8_t(x % 2 == 0 ? index << 4 : index);
                if (bits == 1 && index != 0) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
                const RGBQUAD& q = source->Infos.ColorTable[index];
                colors.push_back(TRgb{q.rgbRed, q.rgbGreen, q.rgbBlue});
            }
        const auto trueColor = MakeTrueColor(width, height, colors);
        EXPECT_EQ(Indexes(Halftone(ConvertToHalfTone, *source)->Infos),
                  Indexes(Halftone(ConvertToHalfTone, *trueColor)->Infos))
            << bits << " bits";
        const auto bwPalette = Halftone(ConvertToHalfToneBW, *source);
        const auto bwTrue = Halftone(ConvertToHalfToneBW, *trueColor);
        EXPECT_EQ(std::memcmp(bwPalette->Infos.Bits, bwTrue->Infos.Bits, bwTrue->Infos.ImageSize), 0)
            << bits << " bits";
    }
}

TEST(HalfTone, RefusesCompressedAndUnknownSources) {
    struct TCase {
        void (*Convert)(const TKvDIBInfos&, TKvDIBInfos&);
        const char* Name;
    };
    const TCase converters[] = {{ConvertToHalfTone, "ConvertToHalfTone"},
                                {ConvertToHalfToneBW, "ConvertToHalfToneBW"}};
    auto compressed = MakeImage(4, 4, 8, 2);
    compressed->Infos.Header.biCompression = BI_RLE8;
    auto sixteen = MakeImage(4, 4, 8, 2);
    sixteen->Infos.Header.biBitCount = 16; // 4 x 4 x 2 bytes fit the 8-bit storage
    for (const TCase& c : converters) {
        const std::size_t live = LiveFileMappings();
        TKvDIBInfos result;
        try {
            c.Convert(compressed->Infos, result);
            ADD_FAILURE() << "compressed source accepted";
        } catch (const EKvDIBAssert& e) {
            EXPECT_EQ(e.Message(), std::string(c.Name) + ": Invalid DIB Format");
        }
        try {
            c.Convert(sixteen->Infos, result);
            ADD_FAILURE() << "16-bit source accepted";
        } catch (const EKvDIBAssert& e) {
            EXPECT_EQ(e.Message(), std::string(c.Name) + ": Invalid Bit Count");
        }
        EXPECT_EQ(LiveFileMappings(), live);
        EXPECT_EQ(result.Bits, nullptr);
    }
}

} // namespace
