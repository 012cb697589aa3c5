#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "GdiTestDIB.h"

TEST(GdiPalette, CreateReadCopyAndDelete) {
    const PALETTEENTRY entries[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    EXPECT_EQ(CreatePalette(entries, 0), 0u);
    EXPECT_EQ(CreatePalette(entries, 257), 0u);
    const HPALETTE palette = CreatePalette(entries, 3);
    ASSERT_NE(palette, 0u);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 3u);

    PALETTEENTRY read[4] = {};
    EXPECT_EQ(GetPaletteEntries(palette, 1, 10, read), 2u);
    EXPECT_EQ(read[0].peRed, 4);
    EXPECT_EQ(read[1].peBlue, 9);
    EXPECT_EQ(GetPaletteEntries(palette, 3, 1, read), 0u);

    const HPALETTE copy = CopyPalette(palette);
    ASSERT_NE(copy, 0u);
    EXPECT_NE(copy, palette);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_FALSE(DeleteObject(palette));
    EXPECT_EQ(GetPaletteEntries(copy, 0, 0, nullptr), 3u); // the copy outlives the original
    EXPECT_TRUE(DeleteObject(copy));
}

TEST(GdiDevice, ScreenDCReportsTheDisplayDepth) {
    const HDC screen = GetDC(0);
    ASSERT_NE(screen, 0u);
    const QScreen* primary = QGuiApplication::primaryScreen();
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), primary != nullptr ? primary->depth() : 32);
    EXPECT_EQ(GetDeviceCaps(screen, 99), 0);
    EXPECT_EQ(BeginDrawing(screen), nullptr); // nothing to draw on
    EXPECT_EQ(SelectObject(screen, CreateCompatibleDC(0)), 0u);
    EXPECT_EQ(ReleaseDC(0, screen), 1);
    EXPECT_EQ(ReleaseDC(0, screen), 0);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 0);
}

TEST(GdiDevice, MemoryDCStartsWithAOneByOneBitmap) {
    const HDC dc = CreateCompatibleDC(0);
    ASSERT_NE(dc, 0u);
    QImage* surface = BeginDrawing(dc);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->size(), QSize(1, 1));
    EndDrawing(dc, QRect());

    QImage image(3, 2, QImage::Format_RGB32);
    const HBITMAP bitmap = CreateImageBitmap(&image, 24);
    const HGDIOBJ original = SelectObject(dc, bitmap);
    ASSERT_NE(original, 0u);
    BITMAP info{};
    ASSERT_TRUE(GetObject(original, info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(BeginDrawing(dc), &image);
    EndDrawing(dc, QRect());

    // Selecting the same bitmap again changes nothing and reports it.
    EXPECT_EQ(SelectObject(dc, bitmap), bitmap);
    EXPECT_EQ(SelectObject(dc, original), bitmap);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(GetObject(original, info)); // went with its DC
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiDevice, SelectedObjectsAndDCsCannotBeDeletedAsObjects) {
    const HDC dc = CreateCompatibleDC(0);
    const HDC other = CreateCompatibleDC(0);
    QImage image(2, 2, QImage::Format_RGB32);
    const HBITMAP bitmap = CreateImageBitmap(&image, 32);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const HGDIOBJ otherOld = SelectObject(other, bitmap);

    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(dc));
    EXPECT_EQ(SelectObject(dc, old), bitmap);
    EXPECT_FALSE(DeleteObject(bitmap)); // still in the other DC
    EXPECT_TRUE(DeleteDC(other));       // deleting the DC lets go of it
    (void)otherOld;
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(dc, bitmap), 0u); // stale handle
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(GetDC(0))); // a screen DC is released, not deleted
}

TEST(GdiDevice, PaletteSelectionAndStretchModeAreRecorded) {
    const PALETTEENTRY entries[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    const HPALETTE palette = CreatePalette(entries, 2);
    const HDC dc = CreateCompatibleDC(0);
    EXPECT_EQ(SelectPalette(dc, palette, true), 0u);
    EXPECT_EQ(RealizePalette(dc), 2u);
    EXPECT_EQ(SelectPalette(dc, 0, true), palette);
    EXPECT_EQ(RealizePalette(dc), 0u);
    // A palette in a DC does not hold it: the DC records the handle only.
    SelectPalette(dc, palette, false);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_EQ(RealizePalette(dc), 0u);
    EXPECT_EQ(SelectObject(dc, palette), 0u); // palettes are not selected as objects

    EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
    EXPECT_EQ(SetStretchBltMode(dc, 0), 0);
    EXPECT_EQ(SetStretchBltMode(dc, HALFTONE + 1), 0);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
    DeleteDC(dc);
    EXPECT_EQ(GetStretchBltMode(dc), 0);
}

TEST(GdiDevice, ImageBitmapReportsItsDepth) {
    QImage image(5, 3, QImage::Format_RGB32);
    const HBITMAP bitmap = CreateImageBitmap(&image, 8);
    BITMAP info{};
    ASSERT_TRUE(GetObject(bitmap, info));
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 8);
    EXPECT_EQ(info.bmWidthBytes, 6); // word-aligned rows
    SetImageBitmapDepth(bitmap, 24);
    ASSERT_TRUE(GetObject(bitmap, info));
    EXPECT_EQ(info.bmBitsPixel, 24);
    EXPECT_EQ(info.bmWidthBytes, 16);
    image = QImage(7, 1, QImage::Format_RGB32); // the owner resizes: the handle follows
    ASSERT_TRUE(GetObject(bitmap, info));
    EXPECT_EQ(info.bmWidth, 7);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(GetObject(bitmap, info));
    EXPECT_EQ(CreateImageBitmap(nullptr, 32), 0u);
}

TEST(GdiDevice, EmptyImageIsNoSurface) {
    QImage image;
    const HBITMAP bitmap = CreateImageBitmap(&image, 32);
    const HDC dc = CreateCompatibleDC(0);
    SelectObject(dc, bitmap);
    EXPECT_EQ(BeginDrawing(dc), nullptr);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
}
