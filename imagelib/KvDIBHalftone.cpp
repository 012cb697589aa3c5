// Halftoning: serpentine error diffusion onto the fixed colour palette or onto black and
// white, with integer arithmetic only.
#include "imagelib/KvDIBHalftone.h"

#include <array>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "imagelib/KvDIBConvertResult.h"
#include "imagelib/KvDIBConverters.h"

// Rows of five blues for each red and green level; then the five extra colours.
constexpr RGBQUAD HalftoneColors[HalftoneColorCount] = {
    {0, 0, 0, 0},     {64, 0, 0, 0},     {128, 0, 0, 0},     {192, 0, 0, 0},     {255, 0, 0, 0},
    {0, 43, 0, 0},    {64, 43, 0, 0},    {128, 43, 0, 0},    {192, 43, 0, 0},    {255, 43, 0, 0},
    {0, 85, 0, 0},    {64, 85, 0, 0},    {128, 85, 0, 0},    {192, 85, 0, 0},    {255, 85, 0, 0},
    {0, 128, 0, 0},   {64, 128, 0, 0},   {128, 128, 0, 0},   {192, 128, 0, 0},   {255, 128, 0, 0},
    {0, 171, 0, 0},   {64, 171, 0, 0},   {128, 171, 0, 0},   {192, 171, 0, 0},   {255, 171, 0, 0},
    {0, 214, 0, 0},   {64, 214, 0, 0},   {128, 214, 0, 0},   {192, 214, 0, 0},   {255, 214, 0, 0},
    {0, 255, 0, 0},   {64, 255, 0, 0},   {128, 255, 0, 0},   {192, 255, 0, 0},   {255, 255, 0, 0},
    {0, 0, 51, 0},    {64, 0, 51, 0},    {128, 0, 51, 0},    {192, 0, 51, 0},    {255, 0, 51, 0},
    {0, 43, 51, 0},   {64, 43, 51, 0},   {128, 43, 51, 0},   {192, 43, 51, 0},   {255, 43, 51, 0},
    {0, 85, 51, 0},   {64, 85, 51, 0},   {128, 85, 51, 0},   {192, 85, 51, 0},   {255, 85, 51, 0},
    {0, 128, 51, 0},  {64, 128, 51, 0},  {128, 128, 51, 0},  {192, 128, 51, 0},  {255, 128, 51, 0},
    {0, 171, 51, 0},  {64, 171, 51, 0},  {128, 171, 51, 0},  {192, 171, 51, 0},  {255, 171, 51, 0},
    {0, 214, 51, 0},  {64, 214, 51, 0},  {128, 214, 51, 0},  {192, 214, 51, 0},  {255, 214, 51, 0},
    {0, 255, 51, 0},  {64, 255, 51, 0},  {128, 255, 51, 0},  {192, 255, 51, 0},  {255, 255, 51, 0},
    {0, 0, 102, 0},   {64, 0, 102, 0},   {128, 0, 102, 0},   {192, 0, 102, 0},   {255, 0, 102, 0},
    {0, 43, 102, 0},  {64, 43, 102, 0},  {128, 43, 102, 0},  {192, 43, 102, 0},  {255, 43, 102, 0},
    {0, 85, 102, 0},  {64, 85, 102, 0},  {128, 85, 102, 0},  {192, 85, 102, 0},  {255, 85, 102, 0},
    {0, 128, 102, 0}, {64, 128, 102, 0}, {128, 128, 102, 0}, {192, 128, 102, 0}, {255, 128, 102, 0},
    {0, 171, 102, 0}, {64, 171, 102, 0}, {128, 171, 102, 0}, {192, 171, 102, 0}, {255, 171, 102, 0},
    {0, 214, 102, 0}, {64, 214, 102, 0}, {128, 214, 102, 0}, {192, 214, 102, 0}, {255, 214, 102, 0},
    {0, 255, 102, 0}, {64, 255, 102, 0}, {128, 255, 102, 0}, {192, 255, 102, 0}, {255, 255, 102, 0},
    {0, 0, 153, 0},   {64, 0, 153, 0},   {128, 0, 153, 0},   {192, 0, 153, 0},   {255, 0, 153, 0},
    {0, 43, 153, 0},  {64, 43, 153, 0},  {128, 43, 153, 0},  {192, 43, 153, 0},  {255, 43, 153, 0},
    {0, 85, 153, 0},  {64, 85, 153, 0},  {128, 85, 153, 0},  {192, 85, 153, 0},  {255, 85, 153, 0},
    {0, 128, 153, 0}, {64, 128, 153, 0}, {128, 128, 153, 0}, {192, 128, 153, 0}, {255, 128, 153, 0},
    {0, 171, 153, 0}, {64, 171, 153, 0}, {128, 171, 153, 0}, {192, 171, 153, 0}, {255, 171, 153, 0},
    {0, 214, 153, 0}, {64, 214, 153, 0}, {128, 214, 153, 0}, {192, 214, 153, 0}, {255, 214, 153, 0},
    {0, 255, 153, 0}, {64, 255, 153, 0}, {128, 255, 153, 0}, {192, 255, 153, 0}, {255, 255, 153, 0},
    {0, 0, 204, 0},   {64, 0, 204, 0},   {128, 0, 204, 0},   {192, 0, 204, 0},   {255, 0, 204, 0},
    {0, 43, 204, 0},  {64, 43, 204, 0},  {128, 43, 204, 0},  {192, 43, 204, 0},  {255, 43, 204, 0},
    {0, 85, 204, 0},  {64, 85, 204, 0},  {128, 85, 204, 0},  {192, 85, 204, 0},  {255, 85, 204, 0},
    {0, 128, 204, 0}, {64, 128, 204, 0}, {128, 128, 204, 0}, {192, 128, 204, 0}, {255, 128, 204, 0},
    {0, 171, 204, 0}, {64, 171, 204, 0}, {128, 171, 204, 0}, {192, 171, 204, 0}, {255, 171, 204, 0},
    {0, 214, 204, 0}, {64, 214, 204, 0}, {128, 214, 204, 0}, {192, 214, 204, 0}, {255, 214, 204, 0},
    {0, 255, 204, 0}, {64, 255, 204, 0}, {128, 255, 204, 0}, {192, 255, 204, 0}, {255, 255, 204, 0},
    {0, 0, 255, 0},   {64, 0, 255, 0},   {128, 0, 255, 0},   {192, 0, 255, 0},   {255, 0, 255, 0},
    {0, 43, 255, 0},  {64, 43, 255, 0},  {128, 43, 255, 0},  {192, 43, 255, 0},  {255, 43, 255, 0},
    {0, 85, 255, 0},  {64, 85, 255, 0},  {128, 85, 255, 0},  {192, 85, 255, 0},  {255, 85, 255, 0},
    {0, 128, 255, 0}, {64, 128, 255, 0}, {128, 128, 255, 0}, {192, 128, 255, 0}, {255, 128, 255, 0},
    {0, 171, 255, 0}, {64, 171, 255, 0}, {128, 171, 255, 0}, {192, 171, 255, 0}, {255, 171, 255, 0},
    {0, 214, 255, 0}, {64, 214, 255, 0}, {128, 214, 255, 0}, {192, 214, 255, 0}, {255, 214, 255, 0},
    {0, 255, 255, 0}, {64, 255, 255, 0}, {128, 255, 255, 0}, {192, 255, 255, 0}, {255, 255, 255, 0},
    {0, 0, 128, 0},   {0, 128, 128, 0},  {128, 0, 128, 0},   {192, 192, 192, 0}, {128, 128, 128, 0},
};
constexpr RGBQUAD HalftoneBWColors[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};

namespace {

// Smallest corrected value that takes each level (level 0 takes everything below).
constexpr std::array<int, 6> RedBounds{-256, 26, 77, 128, 179, 231};
constexpr std::array<int, 7> GreenBounds{-256, 22, 64, 107, 150, 193, 234};
constexpr std::array<int, 5> BlueBounds{-256, 32, 96, 160, 224};
// Weight of each channel's level in the palette index.
constexpr int RedWeight = 35;
constexpr int GreenWeight = 5;

// Corrected values stay within -29..284 (errors never pass +-32); the tables cover
// -256..512 all the same.
constexpr int LevelTableMin = -256;
constexpr int LevelTableSize = 769;

struct TLevel {
    std::int16_t IndexPart; // level number times the channel's weight in the index
    std::int16_t Value;     // the level's colour value
};
using TLevelTable = std::array<TLevel, LevelTableSize>;

// The level values are read from the palette itself: level l of a channel is the entry
// l * weight.
template <std::size_t N>
constexpr TLevelTable MakeLevelTable(const std::array<int, N>& bounds, int weight,
                                     std::uint8_t RGBQUAD::*channel) {
    TLevelTable table{};
    std::size_t level = 0;
    for (int i = 0; i < LevelTableSize; ++i) {
        const int v = LevelTableMin + i;
        while (level + 1 < N && v >= bounds[level + 1])
            ++level;
        const int part = int(level) * weight;
        table[i] = TLevel{std::int16_t(part), std::int16_t(HalftoneColors[part].*channel)};
    }
    return table;
}
constexpr TLevelTable RedTable = MakeLevelTable(RedBounds, RedWeight, &RGBQUAD::rgbRed);
constexpr TLevelTable GreenTable = MakeLevelTable(GreenBounds, GreenWeight, &RGBQUAD::rgbGreen);
constexpr TLevelTable BlueTable = MakeLevelTable(BlueBounds, 1, &RGBQUAD::rgbBlue);

struct TError {
    std::int16_t R, G, B;
};

// Reads one stored row as blue, green, red triples; 24-bit rows are used in place.
class TRowReader {
public:
    TRowReader(const TKvDIBInfos& source, int width, const char* name)
        : FSource(source), FWidth(width), FBitCount(source.Header.biBitCount),
          FStride(DIBRowLength(width, FBitCount)) {
        DIBAssert(FBitCount == 1 || FBitCount == 4 || FBitCount == 8 || FBitCount == 24,
                  std::string(name) + ": Invalid Bit Count");
        if (FBitCount != 24) FRow.resize(std::size_t(width) * 3);
    }

    const std::uint8_t* Row(std::int64_t y) {
        const std::uint8_t* src = FSource.Bits + y * FStride;
        if (FBitCount == 24) return src;
        for (int x = 0; x < FWidth; ++x) {
            int index;
            if (FBitCount == 8)
                index = src[x];
            else if (FBitCount == 4)
                index = x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2] & 0x0F;
            else
                index = (src[x / 8] & (0x80 >> (x % 8))) != 0 ? 1 : 0;
            const RGBQUAD& c = FSource.ColorTable[index];
            FRow[std::size_t(x) * 3] = c.rgbBlue;
            FRow[std::size_t(x) * 3 + 1] = c.rgbGreen;
            FRow[std::size_t(x) * 3 + 2] = c.rgbRed;
        }
        return FRow.data();
    }

private:
    const TKvDIBInfos& FSource;
    int FWidth;
    int FBitCount;
    std::int64_t FStride;
    std::vector<std::uint8_t> FRow;
};

// Colour output: one palette byte per pixel.
struct TColorOutput {
    static constexpr int BitCount = 8;
    static void Choose(const int (&v)[3], int x, std::uint8_t* row, int (&level)[3]) {
        const TLevel& r = RedTable[v[0] - LevelTableMin];
        const TLevel& g = GreenTable[v[1] - LevelTableMin];
        const TLevel& b = BlueTable[v[2] - LevelTableMin];
        row[x] = std::uint8_t(r.IndexPart + g.IndexPart + b.IndexPart);
        level[0] = r.Value;
        level[1] = g.Value;
        level[2] = b.Value;
    }
};

// Black and white output: one bit per pixel, decided on the sum of the channels.
struct TBWOutput {
    static constexpr int BitCount = 1;
    static void Choose(const int (&v)[3], int x, std::uint8_t* row, int (&level)[3]) {
        const bool white = v[0] + v[1] + v[2] >= 384;
        if (white) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        level[0] = level[1] = level[2] = white ? 255 : 0;
    }
};

template <class Output>
void Diffuse(const TKvDIBInfos& Source, TKvDIBInfos& Result, const char* name, const RGBQUAD* colors,
             int colorCount) {
    DIBAssert(Source.Header.biCompression == BI_RGB, std::string(name) + ": Invalid DIB Format");
    const int width = Source.Header.biWidth;
    const std::int64_t height = DIBRowCount(Source.Header);
    TConvertResult result(Source, Output::BitCount);
    try {
        TRowReader reader(Source, width, name);
        // Entry x + 1 belongs to pixel x; entries 0 and width + 1 stay 0.
        std::vector<TError> above(std::size_t(width) + 2, TError{0, 0, 0});
        std::vector<TError> current(std::size_t(width) + 2, TError{0, 0, 0});
        for (std::int64_t y = 0; y < height; ++y) {
            // Nothing of the current row's array is read before it is written, so swapping
            // serves as copying it into the row above.
            above.swap(current);
            const std::uint8_t* src = reader.Row(y);
            std::uint8_t* dst = result.StoredRow(y);
            const bool forward = y % 2 == 0;
            const int step = forward ? 1 : -1;
            int running[3] = {0, 0, 0};
            for (int i = 0, x = forward ? 0 : width - 1; i < width; ++i, x += step) {
                const TError& a = above[std::size_t(x) + 1];
                const TError& d = above[std::size_t(x + 1 - step)];
                const std::uint8_t* p = src + std::size_t(x) * 3;
                int v[3];
                v[0] = p[2] - (12 * a.R + 12 * running[0] + 5 * d.R) / 32;
                v[1] = p[1] - (12 * a.G + 12 * running[1] + 5 * d.G) / 32;
                v[2] = p[0] - (12 * a.B + 12 * running[2] + 5 * d.B) / 32;
                int level[3];
                Output::Choose(v, x, dst, level);
                for (int c = 0; c < 3; ++c)
                    running[c] = level[c] - v[c];
                current[std::size_t(x) + 1] =
                    TError{std::int16_t(running[0]), std::int16_t(running[1]), std::int16_t(running[2])};
            }
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(std::string(name) + ": Out Of Memory");
    }
    result.Infos.Header.biClrUsed = std::uint32_t(colorCount);
    std::memcpy(result.Infos.ColorTable, colors, sizeof(RGBQUAD) * std::size_t(colorCount));
    result.HandOver(Result);
}

} // namespace

void ConvertToHalfTone(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Diffuse<TColorOutput>(Source, Result, "ConvertToHalfTone", HalftoneColors, HalftoneColorCount);
}

void ConvertToHalfToneBW(const TKvDIBInfos& Source, TKvDIBInfos& Result) {
    Diffuse<TBWOutput>(Source, Result, "ConvertToHalfToneBW", HalftoneBWColors, 2);
}
