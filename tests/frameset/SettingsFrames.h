// Frames of chosen depth, palette and pixels for the tests of the settings tools, entered
// through the main window's insertion as bitmaps do.
#pragma once

#include "FrameSetForms.h"

inline constexpr TColor Red = 0x0000FF;
inline constexpr TColor Green = 0x00FF00;

// Entry j of the palettes below: never red nor green.
inline TColor PlainColor(int Index) {
    return RGB(std::uint8_t(Index), std::uint8_t(100 + Index / 4), 50);
}

class SettingsTestBase : public FrameSetFormsTest {
protected:
    // A picture of BitCount bits with PaletteSize entries, entry j PlainColor(j) except
    // those in Reds, which are red; pixel (x, y) is Pixel(x, y).
    template <class F>
    static std::unique_ptr<TKvDIB> Picture(int Width, int Height, int BitCount, int PaletteSize,
                                           std::vector<int> Reds, F Pixel) {
        auto picture = std::make_unique<TKvDIB>();
        picture->SetBitCount(BitCount);
        picture->SetWidth(Width);
        picture->SetHeight(Height);
        picture->SetPaletteSize(PaletteSize);
        for (int j = 0; j < PaletteSize; ++j)
            picture->SetColors(j, PlainColor(j));
        for (int j : Reds)
            picture->SetColors(j, Red);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                picture->SetPixels(x, y, Pixel(x, y));
        return picture;
    }

    // Appends Picture as a frame; the first one sets the screen size.
    static void Append(TKvDIB& Picture) { Form1->insertbitmap(Picture, FrameCount); }

    // Rows Anchor..Current selected, Current being the current row; the current frame shown.
    static void Select(int Anchor, int Current) {
        Form1->StringGrid1->SetSelection(TGridRect{0, Anchor, 0, Current});
        Form1->testviews(Current - 1);
        Form1->settei(Current - 1);
    }

    static TFrameEntry& Frame(int Index) { return FrameList[std::size_t(Index)]; }
    static TColor ViewPixel(int X, int Y) { return Form1->Image1->Canvas()->GetPixels(X, Y); }

    static void LeftClick(int X, int Y) { Form1->Image1->OnMouseDown(Form1->Image1, mbLeft, 0, X, Y); }
    static void RightClick(int X, int Y) { Form1->Image1->OnMouseDown(Form1->Image1, mbRight, 0, X, Y); }
};
