#include <gtest/gtest.h>

#include "KvDIBTestFiles.h"
#include "imagelib/KvDIBHalftone.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

TColor BitmapPixel(TBitmap& Bitmap, int X, int Y) {
    const QRgb p = Bitmap.Image().pixel(X, Y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void MakeTarget(TBitmap& Target, int Width, int Height) {
    Target.SetPixelFormat(pf24bit);
    Target.SetWidth(Width);
    Target.SetHeight(Height);
    Target.Canvas()->Brush.Color = clWhite;
    Target.Canvas()->FillRect(Rect(0, 0, Width, Height));
}

TEST(KvDIBCanvas, DrawingLandsInTheBitmapsPixels) {
    for (int height : {6, -6}) {
        TKvDIB dib;
        MakeTestDIB(dib, 8, height, 24);
        TKvDIB other;
        other.Assign(&dib);
        int changes = 0;
        dib.OnChange = [&](TObject*) { ++changes; };
        {
            TKvDIBCanvas canvas(&dib);
            EXPECT_NE(dib.InternalDIB, other.InternalDIB);
            canvas.Brush.Color = RGB(10, 20, 30);
            canvas.FillRect(Rect(2, 1, 5, 3));
            EXPECT_EQ(changes, 0);
        }
        EXPECT_EQ(changes, 1);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
                ASSERT_EQ(dib.GetPixels(x, y), inside ? int(RGB(10, 20, 30)) : PatternValue(24, x, y))
                    << x << "," << y << " height " << height;
                ASSERT_EQ(other.GetPixels(x, y), PatternValue(24, x, y));
            }
    }
}

TEST(KvDIBCanvas, IndexedBitmapsTakeTheNearestEntry) {
    TKvDIB dib;
    dib.SetWidth(4);
    dib.SetHeight(4);
    dib.SetPaletteSize(3);
    dib.SetColors(1, clRed);
    dib.SetColors(2, clWhite);
    {
        TKvDIBCanvas canvas(&dib);
        canvas.Brush.Color = RGB(250, 250, 250);
        canvas.FillRect(Rect(0, 0, 2, 4));
        canvas.Brush.Color = clRed;
        canvas.FillRect(Rect(2, 0, 4, 1));
    }
    EXPECT_EQ(dib.GetPixels(0, 3), 2);
    EXPECT_EQ(dib.GetPixels(3, 0), 1);
    EXPECT_EQ(dib.GetPixels(3, 3), 0);
}

TEST(KvDIBDraw, DrawStretchesOntoACanvas) {
    TKvDIB dib;
    MakeTestDIB(dib, 3, 2, 8);
    TBitmap target;
    MakeTarget(target, 10, 10);
    target.Canvas()->Draw(1, 1, &dib);
    target.Canvas()->StretchDraw(Rect(4, 4, 10, 8), &dib);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const TColor c = ShownColor(dib, x, y);
            EXPECT_EQ(BitmapPixel(target, 1 + x, 1 + y), c);
            EXPECT_EQ(BitmapPixel(target, 4 + 2 * x + 1, 4 + 2 * y + 1), c);
        }
    EXPECT_EQ(BitmapPixel(target, 0, 0), clWhite);
    EXPECT_EQ(BitmapPixel(target, 4, 3), clWhite);
}

TEST(KvDIBDraw, RLEImagesAreDecodedForDrawingAndAssigning) {
    // 4 x 2 RLE4: bottom row 1, 2, 1, 2; top row four of colour 3.
    TTestDIB rle{.Width = 4, .Height = 2, .BitCount = 4, .Compression = BI_RLE4, .ClrUsed = 4};
    rle.Table = GrayishTable(4);
    rle.Pixels = {4, 0x12, 0, 0, 4, 0x33, 0, 1};
    TKvDIB dib;
    TMemoryStream stream = StreamOf(rle.File());
    dib.LoadFromStream(stream);
    ASSERT_EQ(dib.GetPixelFormat(), kvpf4BitRLE);
    const std::size_t mappings = LiveFileMappings();

    TBitmap target;
    MakeTarget(target, 4, 2);
    target.Canvas()->Draw(0, 0, &dib);
    EXPECT_EQ(BitmapPixel(target, 0, 0), RGB(9, 6, 3));
    EXPECT_EQ(BitmapPixel(target, 1, 1), RGB(6, 4, 2));

    TBitmap copy;
    copy.Assign(&dib);
    EXPECT_EQ(copy.GetPixelFormat(), pf4bit);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Height(), 2);
    EXPECT_EQ(BitmapPixel(copy, 3, 0), RGB(9, 6, 3));
    EXPECT_EQ(BitmapPixel(copy, 0, 1), RGB(3, 2, 1));
    EXPECT_EQ(LiveFileMappings(), mappings); // the decoded copies are gone
}

TEST(KvDIBDraw, HalftonedDrawingUsesTheFixedColoursAtTheShownSize) {
    TKvDIB dib;
    MakeTestDIB(dib, 5, 5, 24);
    dib.HalftoneMode = kvhtColor;
    TBitmap target;
    MakeTarget(target, 120, 60);
    target.Canvas()->StretchDraw(Rect(10, 5, 10, 50), &dib);
    target.Canvas()->StretchDraw(Rect(10, 5, 110, 5), &dib);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(BitmapPixel(target, x, y), clWhite);

    target.Canvas()->StretchDraw(Rect(10, 5, 110, 55), &dib);
    EXPECT_EQ(dib.HalftoneMode, kvhtColor);
    EXPECT_EQ(dib.GetBitCount(), 24);
    for (int y = 5; y < 55; ++y)
        for (int x = 10; x < 110; ++x) {
            const TColor c = BitmapPixel(target, x, y);
            bool found = false;
            for (const RGBQUAD& q : HalftoneColors)
                found = found || RGB(q.rgbRed, q.rgbGreen, q.rgbBlue) == c;
            ASSERT_TRUE(found) << x << "," << y;
        }
    EXPECT_EQ(BitmapPixel(target, 9, 5), clWhite);
    EXPECT_EQ(BitmapPixel(target, 110, 54), clWhite);

    dib.HalftoneMode = kvhtBW;
    target.Canvas()->StretchDraw(Rect(0, 0, 120, 60), &dib);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const TColor c = BitmapPixel(target, x, y);
            ASSERT_TRUE(c == clBlack || c == clWhite);
        }
}

TEST(KvDIBDraw, ExchangeWithDeviceDependentBitmaps) {
    TKvDIB dib;
    MakeTestDIB(dib, 5, 4, 24);
    TBitmap bitmap;
    bitmap.Assign(&dib);
    EXPECT_EQ(bitmap.GetPixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.GetPalette(), 0u);
    EXPECT_EQ(BitmapPixel(bitmap, 4, 3), TColor(PatternValue(24, 4, 3)));

    for (TPixelFormat format : {pf32bit, pf16bit}) {
        bitmap.SetPixelFormat(format);
        TKvDIB back;
        int changes = 0;
        back.OnChange = [&](TObject*) { ++changes; };
        back.Assign(&bitmap);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(back.GetBitCount(), 24);
        EXPECT_EQ(back.InternalDIB->Infos.Header.biHeight, 4);
        if (format == pf32bit) {
            EXPECT_TRUE(SamePicture(back, dib));
        }
    }

    TKvDIB indexed;
    MakeTestDIB(indexed, 6, 3, 8);
    TBitmap bitmap8;
    bitmap8.Assign(&indexed);
    EXPECT_EQ(bitmap8.GetPixelFormat(), pf8bit);
    TKvDIB back8;
    back8.Assign(&bitmap8);
    EXPECT_EQ(back8.GetBitCount(), 8);
    EXPECT_EQ(back8.GetPaletteSize(), 256);
    EXPECT_TRUE(SamePicture(back8, indexed));

    // A TKvDIB assigned to a TKvDIB shares; anything else cannot be assigned.
    TKvDIB shared;
    shared.Assign(&indexed);
    EXPECT_EQ(shared.InternalDIB, indexed.InternalDIB);
    TPicture picture;
    EXPECT_THROW(dib.Assign(&picture), EConvertError);
}

} // namespace
