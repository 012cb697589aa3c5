#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include "gif/gifwrite.h"
#include "imagelib/KvDIB.h"
#include "common/GifDecode.h"

namespace {

// An 8-bit bitmap of Width x Height whose palette is Colors and whose pixels are Pixels,
// row by row from the top.
std::unique_ptr<TKvDIB> MakeDib(int Width, int Height, const std::vector<TColor>& Colors,
                                const TBytes& Pixels, int BitCount = 8) {
    auto dib = std::make_unique<TKvDIB>();
    dib->SetBitCount(BitCount);
    dib->SetWidth(Width);
    dib->SetHeight(Height);
    for (std::size_t i = 0; i < Colors.size(); ++i)
        dib->SetColors(int(i), Colors[i]);
    dib->SetPaletteSize(int(Colors.size()));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            dib->SetPixels(x, y, Pixels[std::size_t(y) * Width + x]);
    return dib;
}

TBytes Tail(const TMemoryStream& Stream, std::size_t From) {
    return TBytes(Stream.Bytes().begin() + std::ptrdiff_t(From), Stream.Bytes().end());
}

TBytes Text(const char* S) {
    return TBytes(S, S + std::strlen(S));
}

TBytes Concat(std::initializer_list<TBytes> Parts) {
    TBytes all;
    for (const TBytes& part : Parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

QImage DecodeWithQt(const TBytes& Data) {
    return QImage::fromData(reinterpret_cast<const uchar*>(Data.data()), int(Data.size()), "GIF");
}

const std::vector<TColor> Four = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};

} // namespace

TEST(GifWriter, ColorTableSizeCodeFollowsThePaletteSize) {
    const std::pair<int, int> cases[] = {{1, 1},  {4, 1},  {5, 2},  {8, 2},  {9, 3},   {16, 3},  {17, 4},
                                         {32, 4}, {33, 5}, {64, 5}, {65, 6}, {128, 6}, {129, 7}, {256, 7}};
    for (const auto& [size, code] : cases)
        EXPECT_EQ(ColorTableSizeCode(size), code) << size;
    EXPECT_THROW(ColorTableSizeCode(0), ERangeError);
    EXPECT_THROW(ColorTableSizeCode(257), ERangeError);
}

TEST(GifWriter, OnePixelStillGifByteForByte) {
    auto dib = MakeDib(1, 1, {RGB(0x10, 0x20, 0x30), RGB(0xA0, 0xB0, 0xC0)}, {1});
    const TColor pad2 = dib->GetColors(2), pad3 = dib->GetColors(3);
    TMemoryStream gif;
    const TGifOutputSettings settings;
    TGifWriter writer;
    writer.WriteGifHeader(*dib, gif, 2, settings);
    writer.WriteGifFrameHeader(*dib, gif, -1, 0, 0, 0, 1, 1, 2, true, settings);
    writer.WriteGifImageData(*dib, gif, 0, 0, 0, 0);
    writer.WriteGifTrailer(gif);

    const TBytes expected = Concat({
        Text("GIF89a"),
        {1, 0, 1, 0, 0x91, 0, 0},
        {0x10, 0x20, 0x30, 0xA0, 0xB0, 0xC0, GetRValue(pad2), GetGValue(pad2), GetBValue(pad2),
         GetRValue(pad3), GetGValue(pad3), GetBValue(pad3)},
        {0x21, 0xF9, 4, 0x02, 0, 0, 0, 0},    // still: user input flag, disposal 0
        {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x01}, // no local table, n = 1
        {2, 2, 0x4C, 0x01, 0},                // clear, 1, end at 3 bits and the pending bit
        {0x21, 0xFE, 12},
        Text("Palvenor 37x"),
        {0, 0x3B},
    });
    EXPECT_EQ(gif.Bytes(), expected);

    const TDecodedGif decoded = DecodeGif(gif.Bytes());
    ASSERT_EQ(decoded.Frames.size(), 1u);
    EXPECT_EQ(decoded.Frames[0].Pixels, TBytes{1});
    EXPECT_TRUE(decoded.Frames[0].UserInput);
    EXPECT_EQ(decoded.Comments, std::vector<std::string>{"Palvenor 37x"});
    const QImage image = DecodeWithQt(gif.Bytes());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xA0B0C0u);
}

TEST(GifWriter, FiveColoursMakeATableOfEightPaddedFromColors) {
    auto dib =
        MakeDib(2, 1, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12), RGB(13, 14, 15)}, {0, 4});
    dib->SetColors(5, RGB(50, 51, 52));
    dib->SetColors(6, RGB(60, 61, 62));
    dib->SetColors(7, RGB(70, 71, 72));
    ASSERT_EQ(dib->GetPaletteSize(), 5);
    TMemoryStream gif;
    TGifWriter writer;
    writer.WriteGifHeader(*dib, gif, 2, {});
    const TBytes expected =
        Concat({Text("GIF89a"),
                {2, 0, 1, 0, 0x80 + 0x20 + 2, 0, 0},
                {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 50, 51, 52, 60, 61, 62, 70, 71, 72}});
    EXPECT_EQ(gif.Bytes(), expected);
    EXPECT_EQ(writer.GifGlobalPalette.Count, 5);
    EXPECT_EQ(writer.GifGlobalPalette.Colors[4], RGB(13, 14, 15));
}

TEST(GifWriter, LoopingBlockOnlyForAnimationsThatDoNotPlayOnce) {
    auto dib = MakeDib(1, 1, Four, {0});
    const TBytes header = [&] {
        TMemoryStream s;
        TGifWriter().WriteGifHeader(*dib, s, 2, {});
        return s.Bytes();
    }();
    auto loopBlock = [&](int Mode, int LoopCount) {
        TMemoryStream s;
        TGifOutputSettings settings;
        settings.LoopCount = LoopCount;
        TGifWriter().WriteGifHeader(*dib, s, Mode, settings);
        return Tail(s, header.size());
    };
    const TBytes netscape = Concat({{0x21, 0xFF, 11}, Text("NETSCAPE2.0"), {3, 1}});
    EXPECT_EQ(loopBlock(0, 0), Concat({netscape, {0, 0, 0}}));
    EXPECT_EQ(loopBlock(0, 1), TBytes{});
    EXPECT_EQ(loopBlock(0, 999), Concat({netscape, {0xE7, 0x03, 0}}));
    EXPECT_EQ(loopBlock(2, 0), TBytes{});
    EXPECT_EQ(loopBlock(1, 5), TBytes{});

    // giflib sees the block and its count in a whole file.
    for (int loops : {0, 7}) {
        TMemoryStream gif;
        TGifOutputSettings settings;
        settings.LoopCount = loops;
        TGifWriter writer;
        writer.WriteGifHeader(*dib, gif, 0, settings);
        writer.WriteGifFrameHeader(*dib, gif, -1, 10, 0, 0, 1, 1, 0, true, settings);
        writer.WriteGifImageData(*dib, gif, 0, 0, 0, 0);
        writer.WriteGifTrailer(gif);
        const TDecodedGif decoded = DecodeGif(gif.Bytes());
        EXPECT_TRUE(decoded.HasLoopBlock);
        EXPECT_EQ(decoded.LoopCount, loops);
    }
}

TEST(GifWriter, ControlBlockCarriesDisposalUserInputAndTransparency) {
    auto dib = MakeDib(1, 1, Four, {0});
    TMemoryStream header;
    TGifWriter writer;
    writer.WriteGifHeader(*dib, header, 0, {});
    auto control = [&](int Transparent, int Delay, int Mode, bool SizeOptimised) {
        TMemoryStream s;
        writer.WriteGifFrameHeader(*dib, s, Transparent, Delay, 0, 0, 1, 1, Mode, SizeOptimised, {});
        return TBytes(s.Bytes().begin(), s.Bytes().begin() + 8);
    };
    EXPECT_EQ(control(-1, 150, 0, true), (TBytes{0x21, 0xF9, 4, 0x00, 0x96, 0x00, 0, 0}));
    EXPECT_EQ(control(-1, 150, 0, false), (TBytes{0x21, 0xF9, 4, 0x08, 0x96, 0x00, 0, 0}));
    EXPECT_EQ(control(3, 1000, 0, false), (TBytes{0x21, 0xF9, 4, 0x09, 0xE8, 0x03, 3, 0}));
    EXPECT_EQ(control(2, 0, 2, false), (TBytes{0x21, 0xF9, 4, 0x03, 0, 0, 2, 0}));
    EXPECT_EQ(control(-1, 0, 2, true), (TBytes{0x21, 0xF9, 4, 0x02, 0, 0, 0, 0}));
    // A wait too long for the field is held at its largest value, not wrapped.
    EXPECT_EQ(control(-1, 70000, 0, true), (TBytes{0x21, 0xF9, 4, 0, 0xFF, 0xFF, 0, 0}));
}

TEST(GifWriter, LocalTableOnlyWhenTheFrameTableDiffersFromTheGlobalOne) {
    auto first = MakeDib(2, 2, Four, {0, 1, 2, 3});
    TMemoryStream header;
    TGifWriter writer;
    writer.WriteGifHeader(*first, header, 0, {});
    // Image descriptor and what follows it, after the 8-byte control block.
    auto descriptor = [&writer](TKvDIB& Dib, const TGifOutputSettings& Settings) {
        TMemoryStream s;
        writer.WriteGifFrameHeader(Dib, s, -1, 0, 1, 0, 1, 2, 0, true, Settings);
        return Tail(s, 8);
    };
    const TGifOutputSettings perFrame{0, false, 1};
    EXPECT_EQ(descriptor(*first, perFrame), (TBytes{0x2C, 1, 0, 0, 0, 1, 0, 2, 0, 0x01, 2}));

    // The beginning of the global table counts as equal.
    auto prefix = MakeDib(1, 1, {Four[0], Four[1], Four[2]}, {0});
    EXPECT_EQ(descriptor(*prefix, perFrame), (TBytes{0x2C, 1, 0, 0, 0, 1, 0, 2, 0, 0x01, 2}));

    auto changed = MakeDib(1, 1, {Four[0], RGB(9, 9, 9)}, {0});
    const TColor pad2 = changed->GetColors(2), pad3 = changed->GetColors(3);
    EXPECT_EQ(descriptor(*changed, perFrame), (TBytes{0x2C,
                                                      1,
                                                      0,
                                                      0,
                                                      0,
                                                      1,
                                                      0,
                                                      2,
                                                      0,
                                                      0x81,
                                                      255,
                                                      0,
                                                      0,
                                                      9,
                                                      9,
                                                      9,
                                                      GetRValue(pad2),
                                                      GetGValue(pad2),
                                                      GetBValue(pad2),
                                                      GetRValue(pad3),
                                                      GetGValue(pad3),
                                                      GetBValue(pad3),
                                                      2}));

    std::vector<TColor> five = Four;
    five.push_back(RGB(1, 1, 1));
    auto larger = MakeDib(1, 1, five, {0});
    const TBytes largerBytes = descriptor(*larger, perFrame);
    EXPECT_EQ(largerBytes[9], 0x82);
    EXPECT_EQ(largerBytes.size(), 10u + 8 * 3 + 1);

    // A common quantised palette never writes a local table; a common halftone one decides
    // by the colours.
    EXPECT_EQ(descriptor(*changed, TGifOutputSettings{0, true, 3})[9], 0x01);
    EXPECT_EQ(descriptor(*changed, TGifOutputSettings{0, true, 0})[9], 0x81);
}

TEST(GifWriter, DimensionsBeyondSixteenBitsAreRefused) {
    auto wide = MakeDib(70000, 1, Four, TBytes(70000, 0));
    TMemoryStream gif;
    EXPECT_THROW(TGifWriter().WriteGifHeader(*wide, gif, 0, {}), EInvalidGraphic);
}

TEST(GifWriter, ImageDataOfARectangleReadsThoseRowsOnly) {
    const int w = 7, h = 5;
    TBytes pixels(w * h);
    for (int i = 0; i < w * h; ++i)
        pixels[std::size_t(i)] = std::uint8_t((i * 7 + i / w) % 16);
    std::vector<TColor> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.push_back(RGB(std::uint8_t(i * 16), 0, 0));
    auto eight = MakeDib(w, h, sixteen, pixels);
    auto four = MakeDib(w, h, sixteen, pixels, 4);

    TMemoryStream fromEight, fromFour;
    TGifWriter::WriteGifImageData(*eight, fromEight, 2, 1, 5, 3);
    TGifWriter::WriteGifImageData(*four, fromFour, 2, 1, 5, 3);
    EXPECT_EQ(fromEight.Bytes(), fromFour.Bytes());

    TBytes expected;
    for (int y = 1; y <= 3; ++y)
        for (int x = 2; x <= 5; ++x)
            expected.push_back(pixels[std::size_t(y) * w + x]);
    TBytes data = {4};
    data.insert(data.end(), fromEight.Bytes().begin(), fromEight.Bytes().end());
    const TDecodedGif decoded = DecodeGif(WrapImageData(3, 4, 3, data));
    ASSERT_EQ(decoded.Frames.size(), 1u);
    EXPECT_EQ(decoded.Frames[0].Pixels, expected);

    TMemoryStream outside;
    EXPECT_THROW(TGifWriter::WriteGifImageData(*eight, outside, 5, 0, 7, 0), EKvDIBPixelPositionRange);
}

TEST(GifWriter, AnimationWithChangedRectanglesDecodesFrameByFrame) {
    const int w = 40, h = 30;
    std::vector<TColor> palette;
    for (int i = 0; i < 32; ++i)
        palette.push_back(RGB(std::uint8_t(i * 8), std::uint8_t(255 - i * 8), 77));
    TBytes base(w * h);
    for (int i = 0; i < w * h; ++i)
        base[std::size_t(i)] = std::uint8_t((i / 3 + i / w) % 32);
    auto first = MakeDib(w, h, palette, base);
    auto second = MakeDib(w, h, palette, base);
    for (int y = 10; y < 20; ++y)
        for (int x = 5; x < 25; ++x)
            second->SetPixels(x, y, 31 - base[std::size_t(y) * w + x]);

    TMemoryStream gif;
    TGifOutputSettings settings;
    TGifWriter writer;
    writer.WriteGifHeader(*first, gif, 0, settings);
    writer.WriteGifFrameHeader(*first, gif, -1, 20, 0, 0, w, h, 0, true, settings);
    writer.WriteGifImageData(*first, gif, 0, 0, w - 1, h - 1);
    writer.WriteGifFrameHeader(*second, gif, 0, 30, 5, 10, 20, 10, 0, true, settings);
    writer.WriteGifImageData(*second, gif, 5, 10, 24, 19);
    writer.WriteGifTrailer(gif);

    const TDecodedGif decoded = DecodeGif(gif.Bytes());
    ASSERT_EQ(decoded.Frames.size(), 2u);
    EXPECT_EQ(decoded.Frames[0].Pixels, base);
    EXPECT_EQ(decoded.Frames[1].Left, 5);
    EXPECT_EQ(decoded.Frames[1].Top, 10);
    EXPECT_EQ(decoded.Frames[1].Delay, 30);
    EXPECT_EQ(decoded.Frames[1].TransparentIndex, 0);
    EXPECT_FALSE(decoded.Frames[1].HasLocalTable);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(decoded.Frames[1].Pixels[std::size_t(y) * 20 + x], second->GetPixels(x + 5, y + 10));

    QByteArray bytes(reinterpret_cast<const char*>(gif.Memory()), qsizetype(gif.GetSize()));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    EXPECT_EQ(reader.imageCount(), 2);
    const QImage shown = reader.read();
    ASSERT_FALSE(shown.isNull());
    const TColor c = palette[base[std::size_t(3) * w + 4]];
    EXPECT_EQ(shown.pixel(4, 3) & 0xFFFFFF, (GetRValue(c) << 16u) | (GetGValue(c) << 8u) | GetBValue(c));
}
