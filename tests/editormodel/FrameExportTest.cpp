// The export's frame rules without a window: frame range, file names, the composition of an
// output frame, the changed rectangle, size optimisation and the S-size transparency, and the
// one-pixel picture that never stops changing.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "DocumentFixture.h"
#include "common/GifPlayback.h"
#include "editor/model/framechanges.h"
#include "editor/model/frameexport.h"
#include "imagelib/KvDIB.h"

namespace {

constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Blue = RGB(0, 0, 255);
constexpr TColor Black = RGB(0, 0, 0);
constexpr TColor Cyan = RGB(0, 255, 255);
constexpr TColor Key = RGB(0, 255, 0);
constexpr TColor Green = RGB(0, 255, 0);

// A bitmap of the given depth, every pixel Value.
std::unique_ptr<TKvDIB> MakeDIB(int Width, int Height, int BitCount, int Value) {
    auto dib = std::make_unique<TKvDIB>();
    dib->SetBitCount(BitCount);
    dib->SetWidth(Width);
    dib->SetHeight(Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            dib->SetPixels(x, y, Value);
    return dib;
}

class FrameExportFixture : public DocumentFixture {
protected:
    void SetUp() override {
        MakeSolid(*Doc.MainImage, 40, 30, White);
        Doc.RebuildCanvas();
    }

    // Gives channel Channel a solid, opaque cast in its next free slot.
    TBitmap& AddCast(int Channel, int Width, int Height, TColor Color) {
        return DocumentFixture::AddCast(Channel, Doc.Channels[Channel].CastCount, Width, Height, Color);
    }

    // A red 6 x 4 cast in channel 0: frames 0 and 1 the same, the cast moved in frame 2, a
    // blue 4 x 4 cast of channel 1 added in frame 3; waits 10, 20, 30, 40.
    void MakeMovingScore() {
        AddCast(0, 6, 4, Red);
        AddCast(1, 4, 4, Blue);
        Place(0, 0, {60, 60});
        Place(0, 1, {60, 60});
        Place(0, 2, {70, 65});
        Place(0, 3, {70, 65});
        Place(1, 3, {80, 70});
        for (int f = 0; f < 4; ++f)
            Doc.FrameWaits[f] = 10 * (f + 1);
    }

    // The animated GIF the export writes with Settings, as a decoder reads it.
    TDecodedGif ExportGif(const TFrameExportSettings& Settings) {
        const std::string name = Folder.filePath("anim.gif").toStdString();
        EXPECT_TRUE(ExportFrames(Doc, name, Settings, {}));
        return DecodeGif(ReadFileBytes(name));
    }

    // What a viewer should show after each of Frames; Transparent, when given, is the colour
    // shown as Clear.
    std::vector<TPixels> Composed(std::initializer_list<int> Frames,
                                  std::optional<TColor> Transparent = std::nullopt) {
        std::vector<TPixels> shown;
        for (const int f : Frames)
            shown.push_back(ShownPixels(Doc.ComposeOutputFrame(f)->Image(), Transparent));
        return shown;
    }

    // Frames 0 and 1 exported with the S-size colour cyan: the later frame lies at Place and
    // makes cyan transparent, and a viewer shows both frames as composed.
    void ExpectCyanSSizeFrameAt(const std::array<int, 4>& Place) {
        const TDecodedGif gif = ExportGif(SSize(Cyan));
        ASSERT_EQ(gif.Frames.size(), 2u);
        const TDecodedFrame& later = gif.Frames[1];
        EXPECT_EQ((std::array{later.Left, later.Top, later.Width, later.Height}), Place);
        ASSERT_NE(later.TransparentIndex, -1);
        EXPECT_EQ(later.Colors.at(later.TransparentIndex), ToRgb(Cyan));
        EXPECT_EQ(PlayGif(gif), Composed({0, 1}));
    }

    static TFrameExportSettings SSize(TColor Color, bool SizeOptimised = true) {
        TFrameExportSettings settings;
        settings.SizeOptimised = SizeOptimised;
        settings.SSizeOptimised = true;
        settings.SSizeColor = Color;
        return settings;
    }

    QTemporaryDir Folder;
};

} // namespace

TEST_F(FrameExportFixture, LastFrameIsTheLastSetCellOfAChannelWithCasts) {
    EXPECT_EQ(LastExportFrame(Doc), 0);
    Place(3, 120, {0, 0}); // no casts in channel 3
    EXPECT_EQ(LastExportFrame(Doc), 0);
    AddCast(1, 2, 2, Red);
    Place(1, 7, {0, 0});
    AddCast(5, 2, 2, Red);
    Place(5, 12, {0, 0});
    Place(5, 4, {0, 0});
    EXPECT_EQ(LastExportFrame(Doc), 12);
    Place(1, 199, {0, 0});
    EXPECT_EQ(LastExportFrame(Doc), 199);
}

TEST(FrameExportSettings, TargetNamesLookForTheDotInTheFileNameOnly) {
    EXPECT_EQ(ExportTargetName("/out/anim", 1), "/out/anim.gif");
    EXPECT_EQ(ExportTargetName("/out/anim.gif", 1), "/out/anim.gif");
    EXPECT_EQ(ExportTargetName("/out/anim.png", 2), "/out/anim.png");
    EXPECT_EQ(ExportTargetName("/out.d/anim", 2), "/out.d/anim.gif");
    EXPECT_EQ(ExportTargetName("/out.d/walk.bmp", 3), "/out.d/walk");
    EXPECT_EQ(ExportTargetName("/out.d/walk.v2.bmp", 4), "/out.d/walk");
    EXPECT_EQ(ExportTargetName("/out.d/walk", 3), "/out.d/walk");
    EXPECT_EQ(ExportTargetName("/out.d/clip", 5), "/out.d/clip.avi");
    EXPECT_EQ(ExportTargetName("clip.avi", 5), "clip.avi");
    EXPECT_EQ(ExportTargetName("/out.d/x", 6), "/out.d/x");
}

TEST_F(FrameExportFixture, CastDrawnOnAFrameLandsWhereTheCompositionPutsIt) {
    // A cast with a transparent key colour, hanging over the main image's top-left corner.
    TBitmap& cast = AddCast(0, 9, 7, Red);
    cast.Canvas()->Brush = TBrush{Key, bsSolid};
    cast.Canvas()->FillRect(TRect{3, 2, 6, 5});
    Doc.Channels[0].CastTransparent[0] = true;
    Doc.Channels[0].CastKeyPoint[0] = {4, 3};
    Doc.Channels[0].SyncCastTransparency(0);
    Place(0, 2, {52, 51});
    AddCast(1, 5, 5, Blue);
    Place(1, 2, {80, 70});

    TKvDIB drawn;
    drawn.Assign(Doc.MainImage.get());
    EXPECT_EQ(&DrawCastOnDIB(Doc, drawn, *Doc.Channels[0].Casts[0], {52, 51}), &drawn);
    DrawCastOnDIB(Doc, drawn, *Doc.Channels[1].Casts[0], {80, 70});
    EXPECT_EQ(drawn.GetBitCount(), 24);

    TKvDIB composed;
    ComposeExportFrame(Doc, 2, composed);
    ASSERT_EQ(composed.GetBitCount(), 24);
    ASSERT_EQ(composed.GetWidth(), 40);
    ASSERT_EQ(composed.GetHeight(), 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(drawn.GetPixels(x, y), composed.GetPixels(x, y)) << x << ", " << y;
    // Top-left of the red cast at (52 - 4 - 50, 51 - 3 - 50); its key colour left out.
    EXPECT_EQ(TColor(composed.GetPixels(0, 0)), Red);
    EXPECT_EQ(TColor(composed.GetPixels(2, 2)), White);
    EXPECT_EQ(TColor(composed.GetPixels(6, 3)), Red);
    EXPECT_EQ(TColor(composed.GetPixels(7, 3)), White);
    EXPECT_EQ(TColor(composed.GetPixels(28, 18)), Blue);
}

TEST(FrameExportChanges, ChangedRectangleBoundsEveryDifferingPixel) {
    for (const int bitCount : {24, 8, 4}) {
        SCOPED_TRACE(bitCount);
        const int value = bitCount == 24 ? 0x102030 : 3;
        auto a = MakeDIB(10, 8, bitCount, value);
        auto b = MakeDIB(10, 8, bitCount, value);
        TRect r;
        GetChangedRect(*a, *b, r);
        EXPECT_EQ(r, (TRect{9, 7, 0, 0}));

        b->SetPixels(4, 6, bitCount == 24 ? 0x112030 : 1); // only the first stored byte differs
        GetChangedRect(*a, *b, r);
        EXPECT_EQ(r, (TRect{4, 6, 4, 6}));
        b->SetPixels(7, 1, bitCount == 24 ? 0x102031 : 2); // only the last stored byte
        b->SetPixels(2, 3, 0);
        GetChangedRect(*a, *b, r);
        EXPECT_EQ(r, (TRect{2, 1, 7, 6}));
    }

    // One pixel that stays the same still gives a rectangle of one pixel.
    auto a = MakeDIB(1, 1, 24, 0);
    auto b = MakeDIB(1, 1, 24, 0);
    TRect r;
    GetChangedRect(*a, *b, r);
    EXPECT_EQ(r, (TRect{0, 0, 0, 0}));
}

TEST_F(FrameExportFixture, OnePixelImageWritesAnUnchangedLaterFrameAsItsPixel) {
    MakeSolid(*Doc.MainImage, 1, 1, White);
    Doc.RebuildCanvas();
    AddCast(0, 1, 1, White);
    Place(0, 1, {50, 50});
    const std::string name = Folder.filePath("dot.gif").toStdString();
    std::vector<int> positions;
    int max = -1;
    const TExportProgress progress{[&](int Max) { max = Max; },
                                   [&](int Position) { positions.push_back(Position); }};
    ASSERT_TRUE(ExportFrames(Doc, name, TFrameExportSettings{}, progress));
    EXPECT_EQ(max, 1);
    // The histogram pass, back to 0, the output pass.
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 0, 0, 1}));

    const TDecodedGif gif = DecodeGif(ReadFileBytes(name));
    ASSERT_EQ(gif.Frames.size(), 2u);
    EXPECT_EQ((std::array{gif.Frames[1].Left, gif.Frames[1].Top, gif.Frames[1].Width, gif.Frames[1].Height}),
              (std::array{0, 0, 1, 1}));
}

TEST_F(FrameExportFixture, LaterFramesHoldTheChangedRectangleAndUnchangedOnesAreLeftOut) {
    MakeMovingScore();
    TDecodedGif gif = ExportGif(TFrameExportSettings{});
    ASSERT_EQ(gif.Frames.size(), 3u);
    // Frame 1 is gone, and its wait of 20 with it.
    EXPECT_EQ(gif.Frames[0].Delay, 10);
    EXPECT_EQ(gif.Frames[1].Delay, 30);
    EXPECT_EQ(gif.Frames[2].Delay, 40);
    // The red cast left (7..12, 8..11) and arrived at (17..22, 13..16); the blue one only
    // covers (28..31, 18..21).
    const auto place = [&](int i) {
        const TDecodedFrame& f = gif.Frames[std::size_t(i)];
        return std::array{f.Left, f.Top, f.Width, f.Height};
    };
    EXPECT_EQ(place(0), (std::array{0, 0, 40, 30}));
    EXPECT_EQ(place(1), (std::array{7, 8, 16, 9}));
    EXPECT_EQ(place(2), (std::array{28, 18, 4, 4}));
    for (const TDecodedFrame& frame : gif.Frames) {
        EXPECT_EQ(frame.Disposal, 0);
        EXPECT_EQ(frame.TransparentIndex, -1);
        EXPECT_FALSE(frame.HasLocalTable);
    }
    EXPECT_EQ(PlayGif(gif), Composed({0, 2, 3}));

    // Without size optimisation every written frame is whole and disposed of, but frames
    // equal to the one before are still left out.
    TFrameExportSettings whole;
    whole.SizeOptimised = false;
    gif = ExportGif(whole);
    ASSERT_EQ(gif.Frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(place(i), (std::array{0, 0, 40, 30})) << i;
        EXPECT_EQ(gif.Frames[std::size_t(i)].Disposal, 2) << i;
    }
    EXPECT_EQ(PlayGif(gif), Composed({0, 2, 3}));
}

TEST_F(FrameExportFixture, SSizePaintsOnlyPixelsThatKeptAllThreeChannels) {
    // Three black squares turn red, green and blue: each pixel changes in one channel only.
    for (const auto& [channel, color] : {std::pair{0, Red}, {1, Green}, {2, Blue}}) {
        AddCast(channel, 2, 2, Black);
        AddCast(channel, 2, 2, color);
        Place(channel, 0, {52 + 4 * channel, 52});
        Place(channel, 1, {52 + 4 * channel, 52});
    }
    ExpectCyanSSizeFrameAt({1, 1, 10, 2});
}

TEST_F(FrameExportFixture, SSizeTransparencyHoldsWhenOnlyTheTopRowIsUnchanged) {
    MakeSolid(*Doc.MainImage, 8, 4, White);
    Doc.RebuildCanvas();
    AddCast(0, 8, 3, Red);
    Place(0, 1, {54, 52}); // covers rows 1..3
    ExpectCyanSSizeFrameAt({0, 1, 8, 3});
}

TEST_F(FrameExportFixture, SSizeColourMetInTheChangedPixelsGivesUpTransparencyForThatFrame) {
    // The S-size colour is the main image's white: where the cast leaves, changed pixels are
    // white too, and making white transparent would leave the cast showing there.
    MakeMovingScore();
    const TDecodedGif gif = ExportGif(SSize(White));
    ASSERT_EQ(gif.Frames.size(), 3u);
    EXPECT_EQ(gif.Frames[1].TransparentIndex, -1);
    // The blue cast only covers: nothing changed turns white, so white may be transparent.
    EXPECT_EQ(gif.Frames[2].Colors.at(gif.Frames[2].TransparentIndex), ToRgb(White));
    EXPECT_EQ(PlayGif(gif), Composed({0, 2, 3}));
}

TEST_F(FrameExportFixture, FrameGivingUpSSizeTransparencyTakesItsFramePointFromThePixelsWritten) {
    // A green square that never moves sits on every frame's transparency point; painted, the
    // point held the S-size white, written as composed it holds green again.
    MakeMovingScore();
    AddCast(2, 4, 4, Green);
    for (int f = 0; f < 4; ++f) {
        Place(2, f, {52, 52});
        Doc.FramePoints[f] = TPoint{0, 0};
    }
    const TDecodedGif gif = ExportGif(SSize(White));
    ASSERT_EQ(gif.Frames.size(), 3u);
    const TDecodedFrame& moved = gif.Frames[1];
    ASSERT_NE(moved.TransparentIndex, -1);
    EXPECT_EQ(moved.Colors.at(moved.TransparentIndex), ToRgb(Green));
    // The first frame leaves the green square clear, and no later frame draws over it.
    EXPECT_EQ(PlayGif(gif), Composed({0, 2, 3}, Green));
}

TEST_F(FrameExportFixture, SSizeNeedsTheFrameBeforeToStaySoDisposedFramesKeepTheirPixels) {
    MakeMovingScore();
    const TDecodedGif gif = ExportGif(SSize(Cyan, false));
    ASSERT_EQ(gif.Frames.size(), 3u);
    for (const TDecodedFrame& frame : gif.Frames) {
        EXPECT_EQ(frame.Disposal, 2);
        EXPECT_EQ(frame.TransparentIndex, -1);
    }
    EXPECT_EQ(PlayGif(gif), Composed({0, 2, 3}));
}
