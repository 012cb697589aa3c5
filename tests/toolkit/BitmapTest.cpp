#include <gtest/gtest.h>

#include "toolkit/graphics/Graphics.h"

namespace {

// A bitmap of the given size filled with Color.
void Fill(TBitmap& Bitmap, int Width, int Height, TColor Color) {
    Bitmap.SetSize(Width, Height);
    Bitmap.Canvas()->Brush.Color = Color;
    Bitmap.Canvas()->FillRect(Rect(0, 0, Width, Height));
}

int DepthOf(TBitmap& Bitmap) {
    BITMAP info{};
    EXPECT_TRUE(GetObject(Bitmap.GetHandle(), info));
    return info.bmBitsPixel;
}

// A palette's entries as colours.
std::vector<TColor> Entries(HPALETTE Palette) {
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(Palette, 0, 0, nullptr));
    GetPaletteEntries(Palette, 0, static_cast<unsigned>(entries.size()), entries.data());
    std::vector<TColor> colors;
    for (const PALETTEENTRY& e : entries)
        colors.push_back(RGB(e.peRed, e.peGreen, e.peBlue));
    return colors;
}

TEST(BitmapTest, NewBitmapIsEmptyAndGrowsBlack) {
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetWidth(5);
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetHeight(3);
    EXPECT_FALSE(bitmap.Empty());
    EXPECT_EQ(bitmap.Canvas()->GetPixels(4, 2), clBlack);
    EXPECT_EQ(bitmap.Canvas()->SurfaceWidth(), 5);
    EXPECT_EQ(bitmap.Canvas()->SurfaceHeight(), 3);
}

TEST(BitmapTest, ResizingKeepsThePixelsInsideBothSizes) {
    TBitmap bitmap;
    Fill(bitmap, 4, 4, clRed);
    bitmap.Canvas()->SetPixels(1, 2, clBlue);
    bitmap.SetWidth(6);
    bitmap.SetHeight(3);
    EXPECT_EQ(bitmap.Canvas()->GetPixels(1, 2), clBlue);
    EXPECT_EQ(bitmap.Canvas()->GetPixels(3, 0), clRed);
    EXPECT_EQ(bitmap.Canvas()->GetPixels(4, 0), clBlack);
    EXPECT_EQ(bitmap.Canvas()->GetPixels(5, 2), clBlack);
    bitmap.SetWidth(2);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Canvas()->GetPixels(1, 2), clBlue);
    EXPECT_THROW(bitmap.SetWidth(-1), EInvalidGraphicOperation);
}

TEST(BitmapTest, PixelFormatSetsTheReportedDepthAndAPalette) {
    TBitmap bitmap;
    bitmap.SetSize(3, 3);
    EXPECT_EQ(DepthOf(bitmap), 32);
    EXPECT_EQ(bitmap.GetPalette(), 0u);
    bitmap.SetPixelFormat(pf24bit);
    EXPECT_EQ(DepthOf(bitmap), 24);
    bitmap.SetPixelFormat(pf1bit);
    EXPECT_EQ(DepthOf(bitmap), 1);
    EXPECT_EQ(Entries(bitmap.GetPalette()), (std::vector<TColor>{clBlack, clWhite}));
    bitmap.SetPixelFormat(pf8bit); // keeps the palette it has
    EXPECT_EQ(DepthOf(bitmap), 8);
    EXPECT_EQ(Entries(bitmap.GetPalette()).size(), 2u);
    bitmap.SetPixelFormat(pfDevice);
    EXPECT_EQ(DepthOf(bitmap), 32);
    EXPECT_EQ(bitmap.GetPalette(), 0u);
    bitmap.SetPixelFormat(pf8bit);
    EXPECT_EQ(Entries(bitmap.GetPalette()).size(), 256u);
    bitmap.SetPixelFormat(pf4bit);
    EXPECT_EQ(DepthOf(bitmap), 4);
}

TEST(BitmapTest, SetPaletteTakesOwnershipAndDeletesTheOldOne) {
    TBitmap bitmap;
    const PALETTEENTRY red = {255, 0, 0, 0};
    const HPALETTE first = CreatePalette(&red, 1);
    bitmap.SetPalette(first);
    EXPECT_EQ(bitmap.GetPalette(), first);
    const HPALETTE second = CopyPalette(first);
    bitmap.SetPalette(second);
    EXPECT_EQ(GetPaletteEntries(first, 0, 0, nullptr), 0u); // deleted
    EXPECT_EQ(GetPaletteEntries(second, 0, 0, nullptr), 1u);
}

TEST(BitmapTest, TransparentBitmapLeavesItsTransparentColourOut) {
    TBitmap sprite;
    Fill(sprite, 3, 2, clLime);
    sprite.Canvas()->SetPixels(1, 0, clRed);
    TBitmap target;
    Fill(target, 8, 6, clBlue);

    sprite.SetTransparent(true); // tmAuto: the bottom-left pixel's colour
    EXPECT_EQ(sprite.GetTransparentColor(), clLime);
    target.Canvas()->Draw(2, 1, &sprite);
    EXPECT_EQ(target.Canvas()->GetPixels(3, 1), clRed);
    EXPECT_EQ(target.Canvas()->GetPixels(2, 1), clBlue);
    EXPECT_EQ(target.Canvas()->GetPixels(4, 2), clBlue);

    sprite.SetTransparentColor(clRed);
    EXPECT_EQ(sprite.TransparentMode, tmFixed);
    target.Canvas()->StretchDraw(Rect(0, 3, 6, 5), &sprite); // twice as wide
    EXPECT_EQ(target.Canvas()->GetPixels(0, 3), clLime);
    EXPECT_EQ(target.Canvas()->GetPixels(2, 3), clBlue);
    EXPECT_EQ(target.Canvas()->GetPixels(3, 3), clBlue);
    EXPECT_EQ(target.Canvas()->GetPixels(5, 4), clLime);

    sprite.SetTransparent(false);
    target.Canvas()->Draw(5, 0, &sprite);
    EXPECT_EQ(target.Canvas()->GetPixels(6, 0), clRed);
}

TEST(BitmapTest, DrawUsesTheTargetsCopyModeAndCanDrawOntoItself) {
    TBitmap bitmap;
    Fill(bitmap, 4, 2, RGB(0x0F, 0, 0));
    bitmap.Canvas()->SetPixels(0, 0, RGB(0xF0, 0, 0));
    TBitmap target;
    Fill(target, 4, 2, RGB(0x33, 0, 0));
    target.Canvas()->CopyMode = SRCPAINT;
    target.Canvas()->Draw(0, 0, &bitmap);
    EXPECT_EQ(target.Canvas()->GetPixels(0, 0), RGB(0xF3, 0, 0));
    EXPECT_EQ(target.Canvas()->GetPixels(1, 0), RGB(0x3F, 0, 0));

    bitmap.Canvas()->StretchDraw(Rect(1, 0, 4, 2), &bitmap);
    EXPECT_EQ(bitmap.Canvas()->GetPixels(1, 0), RGB(0xF0, 0, 0));
    EXPECT_EQ(bitmap.Canvas()->GetPixels(2, 0), RGB(0x0F, 0, 0));
}

TEST(BitmapTest, AssignSharesThePixelsUntilEitherSideIsDrawnOnAndCopiesFormatPaletteAndTransparency) {
    TBitmap source;
    Fill(source, 3, 2, clAqua);
    source.SetPixelFormat(pf8bit);
    source.SetTransparentColor(clAqua);
    source.SetTransparent(true);
    TBitmap copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Image().constBits(), source.Image().constBits());
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.GetPixelFormat(), pf8bit);
    EXPECT_NE(copy.GetPalette(), source.GetPalette());
    EXPECT_EQ(Entries(copy.GetPalette()), Entries(source.GetPalette()));
    EXPECT_TRUE(copy.GetTransparent());
    EXPECT_EQ(copy.TransparentMode, tmFixed);
    EXPECT_EQ(copy.GetTransparentColor(), clAqua);
    copy.Canvas()->SetPixels(0, 0, clRed);
    EXPECT_EQ(source.Canvas()->GetPixels(0, 0), clAqua);
    EXPECT_EQ(copy.Canvas()->GetPixels(1, 0), clAqua);

    // The other way round: the source drawn on after sharing leaves the copy as it was.
    TBitmap second;
    second.Assign(&source);
    source.Canvas()->FillRect(Rect(0, 0, 3, 2));
    EXPECT_EQ(second.Canvas()->GetPixels(2, 1), clAqua);

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

// A graphic that cannot convert itself: the bitmap draws it.
class TSolidGraphic : public TGraphic {
public:
    std::string ClassName() const override { return "TSolidGraphic"; }
    void Draw(TCanvas* ACanvas, const TRect& Rect) override {
        ACanvas->Brush.Color = clFuchsia;
        ACanvas->FillRect(Rect);
    }
    bool GetEmpty() override { return false; }
    int GetHeight() override { return 2; }
    int GetWidth() override { return 3; }
    void SetHeight(int) override {}
    void SetWidth(int) override {}
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) override {}
    void LoadFromClipboardFormat(std::uint16_t, THandle, HPALETTE) override {}
    void SaveToClipboardFormat(std::uint16_t&, THandle&, HPALETTE&) override {}
};

TEST(BitmapTest, AssignDrawsOtherGraphicsAndRefusesOtherObjects) {
    TBitmap bitmap;
    TSolidGraphic graphic;
    bitmap.Assign(&graphic);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Canvas()->GetPixels(2, 1), clFuchsia);
    TCanvas canvas;
    EXPECT_THROW(bitmap.Assign(&canvas), EConvertError);
}

TEST(BitmapTest, ChangesFireOnChange) {
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&](TObject*) { ++changes; };
    bitmap.SetSize(2, 2);
    bitmap.Canvas()->FillRect(Rect(0, 0, 1, 1));
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(2, 2); // unchanged
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(bitmap.Modified);
}

} // namespace
