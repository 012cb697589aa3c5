#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>

#include "toolkit/graphics/Clipboard.h"
#include "toolkit/graphics/GlobalMemory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& Out, std::uint32_t Value, int Size) {
    for (int i = 0; i < Size; ++i)
        Out.push_back(static_cast<std::uint8_t>(Value >> (8 * i)));
}

// A packed DIB: 40-byte header, colour table, pixels.
Bytes MakeDIB(int Width, int Height, int BitCount, const Bytes& Colors, const Bytes& Pixels,
              std::uint32_t ClrUsed = 0) {
    Bytes out;
    for (std::uint32_t v : {40u, std::uint32_t(Width), std::uint32_t(Height)})
        Put(out, v, 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(BitCount), 2);
    for (std::uint32_t v : {0u, std::uint32_t(Pixels.size()), 0u, 0u, ClrUsed, 0u})
        Put(out, v, 4);
    out.insert(out.end(), Colors.begin(), Colors.end());
    out.insert(out.end(), Pixels.begin(), Pixels.end());
    return out;
}

HGLOBAL Block(const Bytes& Data) {
    const HGLOBAL block = GlobalAlloc(GHND, Data.size());
    std::memcpy(GlobalLock(block), Data.data(), Data.size());
    GlobalUnlock(block);
    return block;
}

Bytes Contents(HGLOBAL Block) {
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(Block));
    Bytes out(p, p + GlobalSize(Block));
    GlobalUnlock(Block);
    return out;
}

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
};

TEST_F(ClipboardTest, DibBlockRoundTripsAsA24BitBottomUpDib) {
    // 3 x 2, 8 bits: red, lime, blue over white, black, red.
    const Bytes colors = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0};
    const Bytes pixels = {3, 4, 0, 0, 0, 1, 2, 0};
    Clipboard().SetAsHandle(CF_DIB, Block(MakeDIB(3, 2, 8, colors, pixels, 5)));
    EXPECT_TRUE(Clipboard().HasFormat(CF_DIB));
    EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));

    Clipboard().Open();
    const HGLOBAL dib = Clipboard().GetAsHandle(CF_DIB);
    ASSERT_NE(dib, 0u);
    const Bytes expected = MakeDIB(
        3, 2, 24, {}, {255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0});
    EXPECT_EQ(Contents(dib), expected);
    Clipboard().Close();
    EXPECT_EQ(GlobalSize(dib), 0u) << "freed when the session ends";
}

TEST_F(ClipboardTest, BlocksLiveUntilTheOutermostClose) {
    Clipboard().SetAsHandle(CF_DIB, Block(MakeDIB(1, 1, 24, {}, {1, 2, 3, 0})));
    Clipboard().Open();
    Clipboard().Open();
    const HGLOBAL dib = Clipboard().GetAsHandle(CF_DIB);
    const HBITMAP bitmap = Clipboard().GetAsHandle(CF_BITMAP);
    Clipboard().Close();
    EXPECT_EQ(GlobalSize(dib), 44u);
    BITMAP info{};
    EXPECT_TRUE(GetObject(bitmap, info));
    EXPECT_EQ(info.bmBitsPixel, 32);
    Clipboard().Close();
    EXPECT_EQ(GlobalSize(dib), 0u);
    EXPECT_FALSE(GetObject(bitmap, info));
}

TEST_F(ClipboardTest, MalformedBlocksAreRefusedWithoutReadingPastThem) {
    const Bytes full = MakeDIB(4, 4, 24, {}, Bytes(48, 7));
    Bytes hugeColors = MakeDIB(1, 1, 8, {}, {0, 0, 0, 0}, 0x10000000);
    Bytes badHeader = full;
    badHeader[0] = 200;
    const Bytes cases[] = {
        Bytes(full.begin(), full.end() - 1), // one pixel byte short
        Bytes(full.begin(), full.begin() + 39),
        MakeDIB(4, 4, 2, {}, Bytes(48, 0)),
        MakeDIB(0, 4, 24, {}, Bytes(48, 0)),
        MakeDIB(-4, 4, 24, {}, Bytes(48, 0)),
        MakeDIB(50000, 50000, 24, {}, {}),
        hugeColors,
        badHeader,
    };
    Clipboard().SetAsHandle(CF_DIB, Block(MakeDIB(1, 1, 24, {}, {9, 9, 9, 0})));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_THROW(Clipboard().SetAsHandle(CF_DIB, Block(cases[i])), EClipboardException) << i;
    EXPECT_THROW(Clipboard().SetAsHandle(CF_DIB, 12345), EClipboardException);
}

TEST_F(ClipboardTest, ImagesOfOtherProgramsReadAsDibs) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(10, 20, 30));
    image.setPixel(1, 0, qRgb(200, 100, 50));

    QGuiApplication::clipboard()->setImage(image);
    Clipboard().Open();
    HGLOBAL dib = Clipboard().GetAsHandle(CF_DIB);
    ASSERT_NE(dib, 0u);
    EXPECT_EQ(Contents(dib), MakeDIB(2, 1, 24, {}, {30, 20, 10, 50, 100, 200, 0, 0}));
    Clipboard().Close();

    // Only encoded PNG bytes, as a program in another toolkit offers them.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto* mime = new QMimeData;
    mime->setData("image/png", png);
    QGuiApplication::clipboard()->setMimeData(mime);
    EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
    TBitmap pasted;
    pasted.Assign(&Clipboard());
    ASSERT_EQ(pasted.Width(), 2);
    EXPECT_EQ(pasted.Canvas()->GetPixels(1, 0), RGB(200, 100, 50));
}

TEST_F(ClipboardTest, EmptyClipboardHasNoPicture) {
    EXPECT_FALSE(Clipboard().HasFormat(CF_DIB));
    Clipboard().Open();
    EXPECT_EQ(Clipboard().GetAsHandle(CF_DIB), 0u);
    Clipboard().Close();
    TBitmap bitmap;
    EXPECT_THROW(bitmap.Assign(&Clipboard()), EInvalidGraphic);
    TPicture picture;
    EXPECT_THROW(picture.Assign(&Clipboard()), EInvalidGraphic);
}

TEST_F(ClipboardTest, BitmapsAndPicturesTravelThroughTheSystemClipboard) {
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    bitmap.Canvas()->SetPixels(2, 1, clFuchsia);
    Clipboard().Assign(&bitmap);
    const QImage system = QGuiApplication::clipboard()->image();
    ASSERT_EQ(system.size(), QSize(3, 2));
    EXPECT_EQ(system.pixel(2, 1) & 0xFFFFFF, 0xFF00FFu);

    TPicture picture;
    picture.Assign(&Clipboard());
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.GetGraphic()), nullptr);
    EXPECT_EQ(picture.Bitmap()->Image(), bitmap.Image());

    Clipboard().SetAsHandle(CF_DIB, 0); // no data: the clipboard is emptied
    EXPECT_FALSE(Clipboard().HasFormat(CF_BITMAP));
}

TEST_F(ClipboardTest, PaletteStaysWithThePictureItCameWith) {
    const PALETTEENTRY entry = {1, 2, 3, 0};
    Clipboard().Open();
    Clipboard().SetAsHandle(CF_DIB, Block(MakeDIB(1, 1, 24, {}, {1, 2, 3, 0})));
    Clipboard().SetAsHandle(CF_PALETTE, CreatePalette(&entry, 1));
    Clipboard().Close();
    EXPECT_TRUE(Clipboard().HasFormat(CF_DIB));
    EXPECT_TRUE(Clipboard().HasFormat(CF_PALETTE));
    const HPALETTE palette = Clipboard().GetAsHandle(CF_PALETTE);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 1u);

    QGuiApplication::clipboard()->setImage(QImage(1, 1, QImage::Format_RGB32)); // another program copies
    EXPECT_FALSE(Clipboard().HasFormat(CF_PALETTE));
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 0u);
}

} // namespace
