// Frame lists made in code for the saving and colour-reduction tests, and a saved GIF
// decoded by giflib, independently of the editor's own reader.
#pragma once

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "GifBytes.h"
#include "frameset/gifreadframes.h"

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

struct TDecodedFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    GraphicsControlBlock Control{};
    bool HasControl = false;
    bool LocalTable = false;
    std::vector<TColor> Colors; // each pixel's colour through the global table
};

struct TDecodedGif {
    int Width = 0, Height = 0;
    int GlobalEntries = 0;
    std::vector<TDecodedFrame> Frames;
};

inline int ReadFromVector(GifFileType* Gif, GifByteType* Data, int Length) {
    auto* source = static_cast<std::pair<const TBytes*, std::size_t>*>(Gif->UserData);
    const std::size_t n = std::min<std::size_t>(std::size_t(Length), source->first->size() - source->second);
    std::copy_n(source->first->data() + source->second, n, Data);
    source->second += n;
    return int(n);
}

inline TDecodedGif DecodeWithGiflib(const TBytes& Bytes) {
    TDecodedGif result;
    std::pair<const TBytes*, std::size_t> source{&Bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadFromVector, &error);
    if (gif == nullptr) {
        ADD_FAILURE() << "giflib cannot open the file: " << error;
        return result;
    }
    EXPECT_EQ(GIF_OK, DGifSlurp(gif)) << gif->Error;
    result.Width = gif->SWidth;
    result.Height = gif->SHeight;
    result.GlobalEntries = gif->SColorMap != nullptr ? gif->SColorMap->ColorCount : 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        TDecodedFrame frame;
        frame.Left = image.ImageDesc.Left;
        frame.Top = image.ImageDesc.Top;
        frame.Width = image.ImageDesc.Width;
        frame.Height = image.ImageDesc.Height;
        frame.LocalTable = image.ImageDesc.ColorMap != nullptr;
        frame.HasControl = DGifSavedExtensionToGCB(gif, i, &frame.Control) == GIF_OK;
        for (int p = 0; p < frame.Width * frame.Height && result.GlobalEntries != 0; ++p) {
            const int index = image.RasterBits[p];
            EXPECT_LT(index, result.GlobalEntries);
            const GifColorType c = gif->SColorMap->Colors[std::min(index, result.GlobalEntries - 1)];
            frame.Colors.push_back(RGB(c.Red, c.Green, c.Blue));
        }
        result.Frames.push_back(frame);
    }
    DGifCloseFile(gif, &error);
    return result;
}

inline TBytes FileBytes(const std::string& FileName) {
    TMemoryStream stream;
    stream.LoadFromFile(FileName);
    return stream.Bytes();
}
