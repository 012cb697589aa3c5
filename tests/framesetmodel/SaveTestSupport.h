// Frame lists made in code for the saving and colour-reduction tests, and a saved GIF
// decoded by giflib, independently of the editor's own reader.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "GifBytes.h"
#include "common/GifDecode.h"
#include "frameset/model/gifreadframes.h"

// A 24-bit picture whose pixel (x, y) has the colour Color(x, y).
template <class F> std::unique_ptr<TKvDIB> TrueColorPicture(int Width, int Height, F Color) {
    auto picture = std::make_unique<TKvDIB>();
    picture->SetBitCount(24);
    picture->SetWidth(Width);
    picture->SetHeight(Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            picture->SetPixels(x, y, int(Color(x, y)));
    return picture;
}

// The colour of every pixel of a frame's picture in row order, through its palette.
inline std::vector<TColor> FrameColors(int Index) {
    TKvDIB& image = *FrameList[std::size_t(Index)].Image;
    const bool palette = image.GetBitCount() <= 8;
    std::vector<TColor> colors;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const int pixel = image.GetPixels(x, y);
            colors.push_back(palette ? image.GetColors(pixel) : TColor(pixel));
        }
    return colors;
}

// A fresh frame list for each test, freed at its end.
class FrameSetModelTest : public ::testing::Test {
protected:
    void SetUp() override { CreateFrameSetState(); }
    void TearDown() override { FreeFrameSetState(); }

    // Appends a frame; the first one sets the screen size to ScreenW x ScreenH.
    static TFrameEntry& Append(TKvDIB& Picture, int Left = 0, int Top = 0, int ScreenW = 40,
                               int ScreenH = 30) {
        if (FrameCount == 0) {
            SourceScreenWidth = ScreenW;
            SourceScreenHeight = ScreenH;
        }
        TFrameSettings settings = BitmapFrameSettings(Picture);
        settings.Left = Left;
        settings.Top = Top;
        InsertFrame(FrameCount, settings, Picture);
        return FrameList[std::size_t(FrameCount - 1)];
    }
};

// Each pixel of a decoded frame through the global table, the only table the frame-set
// writer writes.
inline std::vector<TColor> GlobalTableColors(const TDecodedGif& Gif, const TDecodedFrame& Frame) {
    std::vector<TColor> colors;
    if (Gif.GlobalColors.empty()) return colors;
    for (const std::uint8_t index : Frame.Pixels) {
        EXPECT_LT(index, Gif.GlobalColorCount);
        const std::uint32_t c = Gif.GlobalColors[std::min<std::size_t>(index, Gif.GlobalColors.size() - 1)];
        colors.push_back(RGB(std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)));
    }
    return colors;
}

inline TBytes FileBytes(const std::string& FileName) {
    TMemoryStream stream;
    stream.LoadFromFile(FileName);
    return stream.Bytes();
}
