#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/graphics/GlobalMemory.h"
#include "toolkit/graphics/Graphics.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& Out, std::uint32_t Value, int Size) {
    for (int i = 0; i < Size; ++i)
        Out.push_back(static_cast<std::uint8_t>(Value >> (8 * i)));
}

// A BMP file image built byte by byte: file header, 40-byte info header, Extra (masks,
// colour table), Pixels. OffBits 0: the pixels follow Extra.
Bytes MakeBMP(int Width, int Height, int BitCount, const Bytes& Extra, const Bytes& Pixels,
              std::uint32_t Compression = 0, std::uint32_t ClrUsed = 0, std::uint32_t OffBits = 0) {
    Bytes out = {'B', 'M'};
    const std::uint32_t off = OffBits != 0 ? OffBits : 54 + static_cast<std::uint32_t>(Extra.size());
    Put(out, off + static_cast<std::uint32_t>(Pixels.size()), 4);
    Put(out, 0, 4);
    Put(out, off, 4);
    Put(out, 40, 4);
    Put(out, static_cast<std::uint32_t>(Width), 4);
    Put(out, static_cast<std::uint32_t>(Height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(BitCount), 2);
    Put(out, Compression, 4);
    Put(out, static_cast<std::uint32_t>(Pixels.size()), 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, ClrUsed, 4);
    Put(out, 0, 4);
    out.insert(out.end(), Extra.begin(), Extra.end());
    out.resize(off);
    out.insert(out.end(), Pixels.begin(), Pixels.end());
    return out;
}

// The same file with a HeaderSize-byte header: the masks a 40-byte bit-field header is
// followed by become the header's own, then an alpha mask and colour-space fields.
Bytes WithLongHeader(const Bytes& Bmp, std::uint32_t HeaderSize) {
    Bytes out = Bmp;
    const bool bitFields = out[30] == BI_BITFIELDS;
    const std::uint32_t added = HeaderSize - 40 - (bitFields ? 12 : 0);
    out.insert(out.begin() + (bitFields ? 66 : 54), added, 0xA5);
    if (bitFields) std::fill_n(out.begin() + 66, 4, 0); // alpha
    auto patch = [&](std::size_t At, std::uint32_t Value) {
        for (int i = 0; i < 4; ++i)
            out[At + i] = static_cast<std::uint8_t>(Value >> (8 * i));
    };
    patch(2, static_cast<std::uint32_t>(out.size()));
    patch(10, (out[10] | out[11] << 8) + added);
    patch(14, HeaderSize);
    return out;
}

TMemoryStream StreamOf(const Bytes& Data) {
    TMemoryStream stream;
    stream.WriteBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
    stream.SetPosition(0);
    return stream;
}

void Load(TBitmap& Bitmap, const Bytes& Data) {
    TMemoryStream stream = StreamOf(Data);
    Bitmap.LoadFromStream(stream);
}

TColor Pixel(TBitmap& Bitmap, int X, int Y) {
    return Bitmap.Canvas()->GetPixels(X, Y);
}

// A 3 x 2 picture with distinct pixels.
void Paint(TBitmap& Bitmap) {
    Bitmap.SetSize(3, 2);
    const TColor colors[] = {clRed, clLime, clBlue, clWhite, clBlack, clYellow};
    for (int i = 0; i < 6; ++i)
        Bitmap.Canvas()->SetPixels(i % 3, i / 3, colors[i]);
}

TEST(BitmapStreamTest, SavesBottomUpBmpsThatLoadBack) {
    for (TPixelFormat format : {pfDevice, pf24bit, pf32bit, pf8bit, pf4bit}) {
        TBitmap bitmap;
        Paint(bitmap);
        bitmap.SetPixelFormat(format);
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        const std::uint8_t* bytes = stream.Memory();
        const int bits = bytes[28];
        const std::uint32_t colors = bytes[46] | bytes[47] << 8;
        EXPECT_EQ(bits, format == pfDevice  ? 24
                        : format == pf32bit ? 32
                        : format == pf8bit  ? 8
                        : format == pf24bit ? 24
                                            : 4);
        EXPECT_EQ(bytes[10] | bytes[11] << 8, 54 + 4 * static_cast<int>(colors)) << format;
        EXPECT_EQ(stream.GetSize(), bytes[2] | bytes[3] << 8);
        if (bits == 24) {
            EXPECT_EQ(bytes[54 + 2], 255) << "the bottom row comes first: white";
            EXPECT_EQ(bytes[54 + 12 + 2], 255) << "then the top row: red";
            EXPECT_EQ(bytes[54 + 12], 0);
        }

        TBitmap loaded;
        stream.SetPosition(0);
        loaded.LoadFromStream(stream);
        EXPECT_EQ(stream.GetPosition(), stream.GetSize());
        ASSERT_EQ(loaded.Width(), 3);
        EXPECT_EQ(loaded.Image(), bitmap.Image()) << format; // all six are palette colours
        EXPECT_EQ(loaded.GetPixelFormat(), format == pfDevice ? pf24bit : format);
    }
}

TEST(BitmapStreamTest, IndexedBitmapsSaveTheNearestPaletteEntry) {
    TBitmap bitmap;
    bitmap.SetSize(2, 1);
    bitmap.Canvas()->SetPixels(0, 0, RGB(250, 250, 240));
    bitmap.Canvas()->SetPixels(1, 0, RGB(20, 20, 20));
    bitmap.SetPixelFormat(pf1bit);
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    EXPECT_EQ(stream.GetSize(), 14 + 40 + 8 + 4);
    EXPECT_EQ(stream.Memory()[62], 0x80); // white, then black
}

TEST(BitmapStreamTest, ReadsEveryCommonLayout) {
    TBitmap bitmap;
    // 8 bits with a two-entry table; index 5 lies past it and shows black.
    Load(bitmap, MakeBMP(3, 1, 8, {0, 0, 255, 0, 0, 255, 0, 0}, {1, 0, 5, 0}, 0, 2));
    EXPECT_EQ(bitmap.GetPixelFormat(), pf8bit);
    EXPECT_EQ(Pixel(bitmap, 0, 0), clLime);
    EXPECT_EQ(Pixel(bitmap, 1, 0), clRed);
    EXPECT_EQ(Pixel(bitmap, 2, 0), clBlack);

    // 16 bits 5-5-5 without masks, top-down.
    Load(bitmap, MakeBMP(2, -2, 16, {}, {0xFF, 0x7F, 0x00, 0x7C, 0x1F, 0x00, 0xE0, 0x03}));
    EXPECT_EQ(Pixel(bitmap, 0, 0), clWhite);
    EXPECT_EQ(Pixel(bitmap, 1, 0), clRed);
    EXPECT_EQ(Pixel(bitmap, 0, 1), clBlue);
    EXPECT_EQ(Pixel(bitmap, 1, 1), clLime);

    // 16 bits 5-6-5 by BI_BITFIELDS.
    Bytes masks;
    for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
        Put(masks, m, 4);
    Load(bitmap, MakeBMP(1, 1, 16, masks, {0xE0, 0x07, 0, 0}, BI_BITFIELDS));
    EXPECT_EQ(Pixel(bitmap, 0, 0), clLime);

    // 24 bits with a gap between the header and the pixels.
    Load(bitmap, MakeBMP(1, 1, 24, {}, {1, 2, 3, 0}, 0, 0, 70));
    EXPECT_EQ(Pixel(bitmap, 0, 0), RGB(3, 2, 1));
    EXPECT_EQ(bitmap.GetPixelFormat(), pf24bit);
}

TEST(BitmapStreamTest, LongerHeadersGiveThePixelsOfTheFortyByteForm) {
    Bytes masks565, masksSwapped;
    for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
        Put(masks565, m, 4);
    for (std::uint32_t m : {0x000000FFu, 0x0000FF00u, 0x00FF0000u})
        Put(masksSwapped, m, 4);
    const Bytes files[] = {
        MakeBMP(3, 1, 8, {0, 0, 255, 0, 0, 255, 0, 0}, {1, 0, 5, 0}, 0, 2),
        MakeBMP(2, 1, 16, masks565, {0xE0, 0x07, 0x1F, 0xF8}, BI_BITFIELDS),
        MakeBMP(1, 2, 32, masksSwapped, {1, 2, 3, 4, 200, 100, 50, 0}, BI_BITFIELDS),
    };
    for (const Bytes& file : files) {
        TBitmap forty;
        Load(forty, file);
        for (std::uint32_t size : {108u, 124u}) {
            TBitmap bitmap;
            Load(bitmap, WithLongHeader(file, size));
            EXPECT_EQ(bitmap.Image(), forty.Image()) << size << " bytes, " << forty.Width() << " wide";
            EXPECT_EQ(bitmap.GetPixelFormat(), forty.GetPixelFormat());
        }
    }
    // The masks are the header's: red in the low byte.
    TBitmap swapped;
    Load(swapped, WithLongHeader(files[2], 124));
    EXPECT_EQ(Pixel(swapped, 0, 1), RGB(1, 2, 3));
    EXPECT_EQ(Pixel(swapped, 0, 0), RGB(200, 100, 50));
}

TEST(BitmapStreamTest, ReadsACoreHeaderImage) {
    Bytes data = {'B', 'M'};
    Put(data, 14 + 12 + 6 + 4, 4);
    Put(data, 0, 4);
    Put(data, 14 + 12 + 6, 4);
    for (std::uint32_t v : {12u, 2u, 1u, 1u, 1u})
        Put(data, v, v == 12 ? 4 : 2);
    data.insert(data.end(), {255, 0, 0, 0, 0, 255}); // blue, red triples
    data.insert(data.end(), {0x40, 0, 0, 0});        // pixels 0, 1
    TBitmap bitmap;
    Load(bitmap, data);
    EXPECT_EQ(bitmap.GetPixelFormat(), pf1bit);
    EXPECT_EQ(Pixel(bitmap, 0, 0), clBlue);
    EXPECT_EQ(Pixel(bitmap, 1, 0), clRed);
}

TEST(BitmapStreamTest, BadDataIsRefusedAndLeavesTheBitmapAsItWas) {
    const Bytes good = MakeBMP(4, 4, 24, {}, Bytes(48, 0x80));
    Bytes pixelsInHeader = good;
    pixelsInHeader[10] = 20; // bfOffBits inside the info header of a whole file
    const Bytes cases[] = {
        Bytes(good.begin(), good.end() - 1),                         // truncated pixels
        Bytes(good.begin(), good.begin() + 30),                      // truncated header
        MakeBMP(0, 4, 24, {}, Bytes(48, 0)),                         // no width
        MakeBMP(4, 0, 24, {}, Bytes(48, 0)),                         // no height
        MakeBMP(-4, 4, 24, {}, Bytes(48, 0)),                        // negative width
        MakeBMP(4, 4, 2, {}, Bytes(48, 0)),                          // no such depth
        MakeBMP(4, 4, 8, {}, Bytes(48, 0), BI_RLE8, 1),              // compressed
        MakeBMP(4, 4, 16, Bytes(12, 0), Bytes(48, 0), BI_BITFIELDS), // zero masks
        // Every pixel byte present, but 16384 x 16385 pixels pass 1 GiB of storage.
        MakeBMP(16384, 16385, 1, Bytes(8, 0), Bytes(2048 * 16385, 0)),
        MakeBMP(1000, 1000, 24, {}, {}), // pixels missing
        pixelsInHeader,
        MakeBMP(1, 1, 8, {}, {0, 0, 0, 0}, 0, 0x40000000), // colour table beyond the data
        {'B', 'A', 0, 0},                                  // no BMP
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        TBitmap bitmap;
        bitmap.SetSize(2, 2);
        bitmap.Canvas()->SetPixels(1, 1, clRed);
        bitmap.SetPixelFormat(pf4bit);
        try {
            Load(bitmap, cases[i]);
            ADD_FAILURE() << "case " << i << " accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Bitmap image is not valid") << i;
        }
        EXPECT_EQ(bitmap.Width(), 2) << i;
        EXPECT_EQ(Pixel(bitmap, 1, 1), clRed) << i;
        EXPECT_EQ(bitmap.GetPixelFormat(), pf4bit) << i;
    }
    // A header size field that claims more than the file holds.
    Bytes longHeader = good;
    longHeader[14] = 0xFF;
    longHeader[15] = 0xFF;
    TBitmap bitmap;
    EXPECT_THROW(Load(bitmap, longHeader), EInvalidGraphic);
}

TEST(BitmapStreamTest, EmptyBitmapWritesNothingAndReadsBackEmpty) {
    TBitmap bitmap;
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    EXPECT_EQ(stream.GetSize(), 0);
    Paint(bitmap);
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(BitmapStreamTest, ClipboardBlocksRoundTripAndShortBlocksAreRefused) {
    TBitmap bitmap;
    Paint(bitmap);
    std::uint16_t format = 0;
    THandle data = 0;
    HPALETTE palette = 1;
    bitmap.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, CF_DIB);
    EXPECT_EQ(palette, 0u);
    ASSERT_NE(data, 0u);
    EXPECT_EQ(GlobalSize(data), 40u + 2 * 12);

    TBitmap pasted;
    pasted.LoadFromClipboardFormat(CF_DIB, data, 0);
    EXPECT_EQ(pasted.Image(), bitmap.Image());

    const HGLOBAL shortBlock = GlobalAlloc(GHND, 40 + 12);
    std::memcpy(GlobalLock(shortBlock), GlobalLock(data), 40 + 12);
    GlobalUnlock(shortBlock);
    GlobalUnlock(data);
    EXPECT_THROW(pasted.LoadFromClipboardFormat(CF_DIB, shortBlock, 0), EInvalidGraphic);
    EXPECT_EQ(pasted.Width(), 3);
    EXPECT_THROW(pasted.LoadFromClipboardFormat(CF_PALETTE, data, 0), EInvalidGraphic);
    EXPECT_THROW(pasted.LoadFromClipboardFormat(CF_DIB, 0, 0), EInvalidGraphic);

    // A bitmap handle: the bitmap's pixels and depth.
    TBitmap fromHandle;
    bitmap.SetPixelFormat(pf24bit);
    fromHandle.LoadFromClipboardFormat(CF_BITMAP, bitmap.GetHandle(), 0);
    EXPECT_EQ(fromHandle.Image(), bitmap.Image());
    EXPECT_EQ(fromHandle.GetPixelFormat(), pf24bit);
    GlobalFree(data);
    GlobalFree(shortBlock);
}

} // namespace
