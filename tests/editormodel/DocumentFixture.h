// Pictures and documents made in code for the model's tests: solid bitmaps, marked pictures,
// and a document whose channels get opaque casts and set cells.
#pragma once

#include <gtest/gtest.h>
#include <memory>

#include "editor/model/effects.h"

// Bitmap made a device-format Width x Height picture all in Color.
inline void MakeSolid(TBitmap& Bitmap, int Width, int Height, TColor Color) {
    Bitmap.SetPixelFormat(pfDevice);
    Bitmap.SetSize(Width, Height);
    Bitmap.Canvas()->Brush = TBrush{Color, bsSolid};
    Bitmap.Canvas()->FillRect(TRect{0, 0, Width, Height});
}

// A Width x Height picture in Fill with its top-left pixel in Corner.
inline std::unique_ptr<TBitmap> Picture(int Width, int Height, TColor Fill, TColor Corner) {
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(pf24bit);
    picture->SetSize(Width, Height);
    picture->Canvas()->Brush = TBrush{Fill, bsSolid};
    picture->Canvas()->FillRect(TRect{0, 0, Width, Height});
    picture->Canvas()->SetPixels(0, 0, Corner);
    return picture;
}

class DocumentFixture : public ::testing::Test {
protected:
    // Gives channel Channel a solid, opaque cast in slot Slot.
    TBitmap& AddCast(int Channel, int Slot, int Width, int Height, TColor Color) {
        TScoreChannel& channel = Doc.Channels[Channel];
        TBitmap& cast = channel.EnsureCast(Slot);
        MakeSolid(cast, Width, Height, Color);
        channel.CastTransparent[Slot] = false;
        channel.SyncCastTransparency(Slot);
        channel.RecountCasts();
        return cast;
    }

    void Place(int Channel, int Frame, TPoint Centre) {
        Doc.Channels[Channel].CellSet[Frame] = true;
        Doc.Channels[Channel].Positions[Frame] = Centre;
    }

    TEditorDocument Doc;
};
