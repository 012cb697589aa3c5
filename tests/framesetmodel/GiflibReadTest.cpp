// GIFs written by giflib open with the pixels, waits, disposal and transparency that giflib
// was given: interlaced images, extensions where other writers put them, a large picture.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "GifBytes.h"
#include "frameset/model/gifreadframes.h"
#include "frameset/model/gifreadgif.h"

namespace {

struct TGiflibFrame {
    int Left, Top, Width, Height;
    int Disposal;
    int Delay;
    int TransparentIndex; // NO_TRANSPARENT_COLOR for none
    int LocalEntries;     // 0: the global table
    bool Interlaced;
    TBytes Pixels; // a single row stands for every row

    const GifByteType* Row(int Y) const {
        return Pixels.data() + (Pixels.size() == std::size_t(Width) ? 0 : std::size_t(Y) * Width);
    }
};

int WriteToVector(GifFileType* Gif, const GifByteType* Data, int Length) {
    auto* bytes = static_cast<TBytes*>(Gif->UserData);
    bytes->insert(bytes->end(), Data, Data + Length);
    return Length;
}

ColorMapObject* MakeMap(int Entries, int Seed) {
    std::vector<GifColorType> colors;
    for (int i = 0; i < Entries; ++i) {
        const TColor c = TableColor(i, Seed);
        colors.push_back({GetRValue(c), GetGValue(c), GetBValue(c)});
    }
    return GifMakeMapObject(Entries, colors.data());
}

// Rows in the order an interlaced image sends them, or top to bottom.
std::vector<int> RowOrder(int Height, bool Interlaced) {
    std::vector<int> rows;
    if (!Interlaced) {
        for (int y = 0; y < Height; ++y)
            rows.push_back(y);
        return rows;
    }
    for (const auto& [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = first; y < Height; y += step)
            rows.push_back(y);
    return rows;
}

// The last pixel of the index in the order the rows were sent.
TPoint LastPixelOf(const TGiflibFrame& Frame, int Index) {
    TPoint last{NoTransparentPoint, 0};
    for (int y : RowOrder(Frame.Height, Frame.Interlaced))
        for (int x = 0; x < Frame.Width; ++x)
            if (Frame.Pixels[std::size_t(y) * Frame.Width + x] == Index) last = {x, y};
    return last;
}

// Extension blocks as other writers place them: the looping block after the first control
// block, an application block with data after the second, a comment of several sub-blocks
// between frames.
TBytes WriteWithGiflib(int Width, int Height, const std::vector<TGiflibFrame>& Frames) {
    TBytes bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, WriteToVector, &error);
    EXPECT_NE(nullptr, gif);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(256, 0);
    EXPECT_EQ(GIF_OK, EGifPutScreenDesc(gif, Width, Height, 8, 0, global));
    GifFreeMapObject(global);
    const std::string comment(700, '!'); // '!' is the extension introducer
    const std::string data(600, char(0xF9));
    for (std::size_t i = 0; i < Frames.size(); ++i) {
        const TGiflibFrame& frame = Frames[i];
        GraphicsControlBlock gcb{frame.Disposal, false, frame.Delay, frame.TransparentIndex};
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&gcb, extension);
        EXPECT_EQ(GIF_OK, EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension));
        if (i == 0) {
            const GifByteType loop[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
            const GifByteType count[] = {1, 0, 0};
            EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
            EGifPutExtensionBlock(gif, sizeof loop, loop);
            EGifPutExtensionBlock(gif, sizeof count, count);
            EGifPutExtensionTrailer(gif);
        } else if (i == 1) {
            const GifByteType id[] = {'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P'};
            EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
            EGifPutExtensionBlock(gif, sizeof id, id);
            for (std::size_t at = 0; at < data.size(); at += 255)
                EGifPutExtensionBlock(gif, int(std::min<std::size_t>(255, data.size() - at)),
                                      reinterpret_cast<const GifByteType*>(data.data() + at));
            EGifPutExtensionTrailer(gif);
        }
        ColorMapObject* local = frame.LocalEntries != 0 ? MakeMap(frame.LocalEntries, 100) : nullptr;
        EXPECT_EQ(GIF_OK, EGifPutImageDesc(gif, frame.Left, frame.Top, frame.Width, frame.Height,
                                           frame.Interlaced, local));
        if (local != nullptr) GifFreeMapObject(local);
        for (int y : RowOrder(frame.Height, frame.Interlaced))
            EXPECT_EQ(GIF_OK, EGifPutLine(gif, const_cast<GifByteType*>(frame.Row(y)), frame.Width));
        EXPECT_EQ(GIF_OK, EGifPutComment(gif, comment.c_str()));
    }
    EXPECT_EQ(GIF_OK, EGifCloseFile(gif, &error));
    return bytes;
}

// Rings and stripes: long runs and repeats, so strings grow long and cross rows.
TBytes Pattern(int Width, int Height, int Colors, int Phase) {
    return MakePixels(Width, Height, [=](int x, int y) {
        const double r =
            std::sqrt(double((x - Width / 2) * (x - Width / 2) + (y - Height / 3) * (y - Height / 3)));
        return (int(r / 3) + Phase + (x / 16)) % Colors;
    });
}

class GiflibReadTest : public ::testing::Test {
protected:
    void SetUp() override { CreateFrameSetState(); }
    void TearDown() override { FreeFrameSetState(); }
};

TEST_F(GiflibReadTest, FramesOpenAsGiflibWroteThem) {
    // Frames with a local table come last: giflib loses a local table that a frame
    // without one follows.
    const std::vector<TGiflibFrame> frames = {
        {0, 0, 97, 61, 1, 10, NO_TRANSPARENT_COLOR, 0, true, Pattern(97, 61, 256, 0)},
        {0, 0, 97, 61, 3, 0, 20, 0, false, Pattern(97, 61, 230, 5)},
        {0, 0, 97, 61, 0, 0, 250, 0, false, Pattern(97, 61, 230, 5)},
        {3, 2, 13, 7, 1, 4, 9, 0, true, Pattern(13, 7, 12, 3)},
        {5, 7, 30, 20, 2, 25, 3, 16, true, Pattern(30, 20, 16, 1)},
        {60, 40, 1, 1, 0, 65535, 0, 2, true, TBytes{0}},
        {0, 3, 250, 4, 1, 7, NO_TRANSPARENT_COLOR, 4, true, Pattern(250, 4, 4, 2)},
    };
    const TBytes gif = WriteWithGiflib(320, 200, frames);
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif, index));
    ASSERT_EQ(int(frames.size()), FrameCount);
    EXPECT_EQ(320, ScreenWidth);
    EXPECT_EQ(200, ScreenHeight);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const TGiflibFrame& written = frames[i];
        const TFrameEntry& read = FrameList[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(written.Left, read.Left);
        EXPECT_EQ(written.Top, read.Top);
        EXPECT_EQ(written.Width, read.Image->Width());
        EXPECT_EQ(written.Height, read.Image->Height());
        EXPECT_EQ(written.Disposal, read.Disposal);
        EXPECT_EQ(written.Delay, read.Delay);
        EXPECT_EQ(written.TransparentIndex != NO_TRANSPARENT_COLOR, read.Transparent);
        if (read.Transparent) {
            EXPECT_EQ(written.TransparentIndex, read.TransparentIndex);
            const TPoint last = LastPixelOf(written, written.TransparentIndex);
            EXPECT_EQ(last.X, read.TransparentPoint.X);
            if (last.X != NoTransparentPoint) {
                EXPECT_EQ(last.Y, read.TransparentPoint.Y);
            }
        }
        const int entries = written.LocalEntries != 0 ? written.LocalEntries : 256;
        EXPECT_EQ(written.LocalEntries, read.LocalColorCount);
        EXPECT_EQ(entries, read.Image->GetPaletteSize());
        EXPECT_EQ(TableColor(entries - 1, written.LocalEntries != 0 ? 100 : 0),
                  read.Image->GetColors(entries - 1));
        EXPECT_EQ(written.Pixels, FramePixels(int(i)));
    }
}

TEST_F(GiflibReadTest, ALargeSingleColourPictureOpens) {
    // The longest strings giflib makes, many times over: the data is small for its picture.
    const std::vector<TGiflibFrame> frames = {
        {0, 0, 16384, 16384, 1, 0, NO_TRANSPARENT_COLOR, 0, false, TBytes(16384, 6)}};
    const TBytes gif = WriteWithGiflib(16384, 16384, frames);
    int index = 0;
    ASSERT_EQ(NoLoadError, LoadGif(gif, index));
    ASSERT_EQ(1, FrameCount);
    ASSERT_EQ(16384, FrameList[0].Image->Width());
    ASSERT_EQ(16384, FrameList[0].Image->Height());
    EXPECT_EQ(0, RowsNotAll(0, 6));
}

} // namespace
