// The pixel-format dispatch: every route from every format to every other, what it
// leaves behind on success (format, size, colours, no stray storage) and on failure.
#include <gtest/gtest.h>

#include "KvDIBConvertTestImages.h"
#include "imagelib/KvDIBConverters.h"

namespace {

constexpr TColor Black = 0x000000;
constexpr TColor White = 0xFFFFFF;
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Colors[4] = {Black, White, Red, Blue};

// 23 x 5 in bands of 6 pixels, so every format of it compresses; a 1-bit picture uses
// black and white only.
constexpr int PictureWidth = 23;
constexpr int PictureRows = 5;

unsigned PictureIndex(int X, int Y, int Colors) {
    return (X / 6 + Y) % Colors;
}

bool IsRle(TKvPixelFormat Format) {
    return Format == kvpf4BitRLE || Format == kvpf8BitRLE;
}

int BitCountOf(TKvPixelFormat Format) {
    switch (Format) {
    case kvpf1Bit:
        return 1;
    case kvpf4Bit:
    case kvpf4BitRLE:
        return 4;
    case kvpf24Bit:
        return 24;
    default:
        return 8;
    }
}

bool SameInfos(const TKvDIBInfos& A, const TKvDIBInfos& B) {
    return A.ImageSize == B.ImageSize && A.MapHandle == B.MapHandle && A.Bits == B.Bits &&
           std::memcmp(&A.Header, &B.Header, sizeof(A.Header)) == 0 &&
           std::memcmp(A.ColorTable, B.ColorTable, sizeof(A.ColorTable)) == 0;
}

// The picture in Format; uncompressed formats keep the row order asked for, RLE data is
// always bottom-up.
std::unique_ptr<TKvInternalDIB> MakePicture(TKvPixelFormat Format, bool TopDown) {
    const int colors = Format == kvpf1Bit ? 2 : 4;
    const int bitCount = BitCountOf(Format);
    auto dib =
        MakeImage(PictureWidth, TopDown ? -PictureRows : PictureRows, bitCount, bitCount == 24 ? 0 : colors);
    for (int i = 0; i < colors && bitCount != 24; ++i)
        SetTableColor(dib->Infos, i, Colors[i]);
    for (int y = 0; y < PictureRows; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const unsigned index = PictureIndex(x, y, colors);
            if (bitCount == 24)
                SetColor(dib->Infos, x, y, Colors[index]);
            else
                SetIndex(dib->Infos, x, y, index);
        }
    }
    if (IsRle(Format)) dib->SetPixelFormat(Format, kvcmLow, {}, White);
    return dib;
}

TColor ExpectedColor(TKvPixelFormat Source, TKvPixelFormat Target, int X, int Y) {
    const TColor original = Colors[PictureIndex(X, Y, Source == kvpf1Bit ? 2 : 4)];
    if (Target == kvpf1Bit) return original == White ? White : Black;
    return original;
}

TKvPixelFormat ResultFormat(TKvPixelFormat Target) {
    return Target == kvpfHalfTone ? kvpf8Bit : Target == kvpfHalfToneBW ? kvpf1Bit : Target;
}

// Progress steps the colour reductions on a route make.
int ExpectedSteps(TKvPixelFormat Source, TKvPixelFormat Target) {
    const bool toFour = Target == kvpf4Bit || Target == kvpf4BitRLE;
    const bool toEight = Target == kvpf8Bit || Target == kvpf8BitRLE;
    if (Source == kvpf24Bit) return toFour ? 16 : toEight ? 256 : 0;
    if (Source == kvpf8Bit || Source == kvpf8BitRLE) return toFour ? 16 : 0;
    return 0;
}

// The image uncompressed, in storage of its own.
void Uncompressed(const TKvDIBInfos& Infos, TOwnedInfos& Out) {
    if (Infos.Header.biCompression == BI_RLE8)
        Convert8BitRLETo8BitRGB(Infos, Out.Infos);
    else if (Infos.Header.biCompression == BI_RLE4)
        Convert4BitRLETo4BitRGB(Infos, Out.Infos);
    else
        ADD_FAILURE() << "not compressed";
}

void CheckRoute(TKvPixelFormat Source, TKvPixelFormat Target, bool TopDown, TKvConvertMode Mode) {
    SCOPED_TRACE(testing::Message() << "from " << Source << " to " << Target << (TopDown ? " top-down" : "")
                                    << (Mode == kvcmHigh ? " high" : ""));
    auto dib = MakePicture(Source, TopDown);
    dib->Palette = dib->MakePalette();
    dib->PaletteModified = false;
    const std::size_t live = LiveFileMappings();
    int steps = 0;
    dib->SetPixelFormat(
        Target, Mode, [&steps] { ++steps; }, White);

    EXPECT_EQ(dib->GetPixelFormat(), ResultFormat(Target));
    EXPECT_EQ(steps, ExpectedSteps(Source, Target));
    EXPECT_EQ(LiveFileMappings(), live) << "storage left behind";
    EXPECT_EQ(dib->Palette, 0u);
    EXPECT_TRUE(dib->PaletteModified);
    const BITMAPINFOHEADER& h = dib->Infos.Header;
    EXPECT_EQ(h.biWidth, PictureWidth);
    const bool bottomUp = IsRle(Source) || IsRle(Target) || !TopDown;
    EXPECT_EQ(h.biHeight, bottomUp ? PictureRows : -PictureRows);
    EXPECT_EQ(dib->Width, PictureWidth);
    EXPECT_EQ(dib->Height, PictureRows);
    if (IsRle(Target)) {
        EXPECT_EQ(h.biSizeImage, dib->Infos.ImageSize);
    }

    TOwnedInfos plain;
    if (IsRle(Target)) Uncompressed(dib->Infos, plain);
    const TKvDIBInfos& pixels = IsRle(Target) ? plain.Infos : dib->Infos;
    EXPECT_EQ(pixels.ImageSize, DIBRowLength(PictureWidth, pixels.Header.biBitCount) * PictureRows);
    if (Target == kvpfHalfTone || Target == kvpfHalfToneBW) return; // halftoning has tests of its own
    for (int y = 0; y < PictureRows; ++y)
        for (int x = 0; x < PictureWidth; ++x)
            ASSERT_EQ(ColorAt(pixels, x, y), ExpectedColor(Source, Target, x, y)) << x << "," << y;
}

TEST(KvDIBConvertRoute, EveryRouteGivesTheFormatAndKeepsThePicture) {
    for (int source = kvpf1Bit; source <= kvpf24Bit; ++source) {
        for (int target = kvpf1Bit; target <= kvpfHalfToneBW; ++target) {
            if (source == target) continue;
            for (const bool topDown : {false, true}) {
                CheckRoute(TKvPixelFormat(source), TKvPixelFormat(target), topDown, kvcmLow);
                if (source == kvpf24Bit)
                    CheckRoute(TKvPixelFormat(source), TKvPixelFormat(target), topDown, kvcmHigh);
            }
        }
    }
}

TEST(KvDIBConvertRoute, TheBitmapsConvertModeChoosesTheReductionOfTrueColour) {
    // Red 8 and 15 share a colour cell: the cell reduction makes one entry of them, the
    // pixel tree two.
    for (const TKvPixelFormat target : {kvpf8Bit, kvpf8BitRLE, kvpf4Bit, kvpf4BitRLE}) {
        for (const TKvConvertMode mode : {kvcmLow, kvcmHigh}) {
            SCOPED_TRACE(testing::Message() << "to " << target << (mode == kvcmHigh ? " high" : " low"));
            TKvDIB dib;
            dib.SetBitCount(24);
            dib.SetWidth(16);
            dib.SetHeight(2);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 16; ++x)
                    dib.SetPixels(x, y, x < 8 ? RGB(8, 40, 80) : RGB(15, 40, 80));
            dib.ConvertMode = mode;
            dib.SetPixelFormat(target);
            EXPECT_EQ(dib.GetPixelFormat(), target);
            EXPECT_EQ(dib.GetPaletteSize(), mode == kvcmHigh ? 2 : 1);
        }
    }
}

TEST(KvDIBConvertRoute, AFormatToItselfHasNoRoute) {
    for (int format = kvpf1Bit; format <= kvpf24Bit; ++format) {
        auto dib = MakePicture(TKvPixelFormat(format), false);
        const std::uint8_t* bits = dib->Infos.Bits;
        try {
            dib->SetPixelFormat(TKvPixelFormat(format), kvcmLow, {}, White);
            ADD_FAILURE() << format;
        } catch (const EKvDIBAssert& e) {
            EXPECT_STREQ(e.what(), "TKvIntenalDIB.SetPixelsFormat: PixelFormat Error");
        }
        EXPECT_EQ(dib->Infos.Bits, bits);
    }
}

TEST(KvDIBConvertRoute, InvalidHeadersFailBeforeAnythingIsMade) {
    for (const auto& [bitCount, compression] : {std::pair<int, std::uint32_t>{8, BI_RLE4}, {16, BI_RGB}}) {
        auto dib = MakeImage(4, 4, 8, 2);
        dib->Infos.Header.biBitCount = static_cast<std::uint16_t>(bitCount);
        dib->Infos.Header.biCompression = compression;
        const TKvDIBInfos before = dib->Infos;
        const std::size_t live = LiveFileMappings();
        EXPECT_THROW(dib->SetPixelFormat(kvpf24Bit, kvcmLow, {}, White), EKvDIBInvalidDIB);
        EXPECT_TRUE(SameInfos(dib->Infos, before));
        EXPECT_EQ(LiveFileMappings(), live);
    }
}

// A failed conversion leaves the image exactly as it was and no storage behind.
void ExpectFailureKeepsImage(TKvInternalDIB& Dib, TKvPixelFormat Target, const char* Message) {
    const TKvDIBInfos before = Dib.Infos;
    const std::vector<std::uint8_t> bytes = StoredBytes(Dib.Infos);
    Dib.PaletteModified = false;
    const std::size_t live = LiveFileMappings();
    try {
        Dib.SetPixelFormat(Target, kvcmLow, {}, White);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), Message);
    }
    EXPECT_TRUE(SameInfos(Dib.Infos, before));
    EXPECT_EQ(StoredBytes(Dib.Infos), bytes);
    EXPECT_FALSE(Dib.PaletteModified);
    EXPECT_EQ(LiveFileMappings(), live);
}

TEST(KvDIBConvertRoute, AFailingStepKeepsThePreviousImage) {
    // Alternating pixels: as nibble pairs they are one long run, as bytes they never repeat,
    // so the third step of RLE4 -> RLE8 gives up after two steps made storage.
    auto dib = MakeImage(64, 8, 4, 16);
    std::memset(dib->Infos.Bits, 0x12, dib->Infos.ImageSize);
    dib->SetPixelFormat(kvpf4BitRLE, kvcmLow, {}, White);
    ASSERT_EQ(dib->GetPixelFormat(), kvpf4BitRLE);
    ExpectFailureKeepsImage(*dib, kvpf8BitRLE, "Convert8BitRGBTo8BitRLE: Compression Failed");

    // An 8-bit image that does not compress stays uncompressed.
    auto noisy = MakeImage(16, 4, 8, 256);
    for (std::uint32_t i = 0; i < noisy->Infos.ImageSize; ++i)
        noisy->Infos.Bits[i] = static_cast<std::uint8_t>(i);
    ExpectFailureKeepsImage(*noisy, kvpf8BitRLE, "Convert8BitRGBTo8BitRLE: Compression Failed");
}

TEST(KvDIBConvertRoute, StorageRefusedMidRouteKeepsThePreviousImage) {
    // Bits of 16384 x 22000 pixels fit; the same picture at 24 bits would pass 1 GiB.
    // Only the pages the decoder touches are ever made, so this costs little.
    TOwnedInfos rle;
    MakeRleInfos(rle, 16384, 22000, 4, {0, 1});
    auto dib = std::make_unique<TKvInternalDIB>();
    dib->FreeDIB();
    dib->Infos = rle.Infos;
    rle.Infos = TKvDIBInfos{}; // now the image's
    ExpectFailureKeepsImage(*dib, kvpf24Bit, "GetFileMap: Cannot Make File Mapping Object");
    // The first step alone succeeds.
    dib->SetPixelFormat(kvpf4Bit, kvcmLow, {}, White);
    EXPECT_EQ(dib->Infos.ImageSize, 8192u * 22000u);
}

} // namespace
