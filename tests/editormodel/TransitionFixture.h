// A document whose channel holds a cast with a colour of its own in every pixel, so each
// picture of a transition shows exactly which pixels took the key colour.
#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "editor/model/effectstransition.h"

// Red = x, green = y: no two pixels share a colour.
inline TColor GradientColor(int X, int Y) {
    return RGB(X, Y, 200);
}

class TransitionFixture : public ::testing::Test {
protected:
    static constexpr int Ch = 2;

    TScoreChannel& Channel() { return Doc.Channels[Ch]; }

    // Slots 0..Slot-1 hold small fillers, slot Slot a Width x Height gradient picture with its
    // key point at Key.
    void PutSource(int Slot, int Width, int Height, TPoint Key = TPoint{0, 0}, bool Transparent = true) {
        for (int s = 0; s < Slot; ++s)
            PutSolid(s, 2, 2, RGB(1, 2, 3), false);
        TBitmap& cast = Channel().EnsureCast(Slot);
        cast.SetPixelFormat(pf24bit);
        cast.SetSize(Width, Height);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                cast.Canvas()->SetPixels(x, y, GradientColor(x, y));
        Channel().CastKeyPoint[Slot] = Key;
        Channel().CastTransparent[Slot] = Transparent;
        Channel().SyncCastTransparency(Slot);
        Channel().RecountCasts();
    }

    void PutSolid(int Slot, int Width, int Height, TColor Color, bool Transparent) {
        TBitmap& cast = Channel().EnsureCast(Slot);
        cast.SetPixelFormat(pfDevice);
        cast.SetSize(Width, Height);
        cast.Canvas()->Brush = TBrush{Color, bsSolid};
        cast.Canvas()->FillRect(TRect{0, 0, Width, Height});
        Channel().CastTransparent[Slot] = Transparent;
        Channel().SyncCastTransparency(Slot);
        Channel().RecountCasts();
    }

    void Run(int Kind, int Steps, int Slot, bool Reversed = false, int ScoreColumn = 1) {
        MakeEffectCasts(Doc, Kind, Reversed, Steps, Slot, Ch, ScoreColumn, TEffectProgress{});
    }

    TBitmap& Cast(int Slot) {
        TBitmap* cast = Channel().Cast(Slot);
        EXPECT_NE(cast, nullptr) << "slot " << Slot;
        static TBitmap none;
        return cast != nullptr ? *cast : none;
    }

    TColor Pixel(int Slot, int X, int Y) { return Cast(Slot).Canvas()->GetPixels(X, Y); }

    // Every pixel of the picture in Slot: the key colour where Keyed says so, its own colour
    // (the source's at the same place) elsewhere.
    template <typename Predicate> void ExpectKeyed(int Slot, TColor Key, Predicate Keyed) {
        TBitmap& cast = Cast(Slot);
        int wrong = 0;
        for (int y = 0; y < cast.Height(); ++y)
            for (int x = 0; x < cast.Width(); ++x) {
                const TColor expected = Keyed(x, y) ? Key : GradientColor(x, y);
                if (cast.Canvas()->GetPixels(x, y) != expected && ++wrong <= 3)
                    ADD_FAILURE() << "slot " << Slot << " pixel (" << x << ", " << y << ")";
            }
        EXPECT_EQ(wrong, 0) << "slot " << Slot;
    }

    TEditorDocument Doc;
};
