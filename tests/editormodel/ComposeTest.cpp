// Frame composition on the canvas and for output, and the zoomed frame view.
#include <gtest/gtest.h>

#include "DocumentFixture.h"
#include "editor/model/effects.h"

namespace {

constexpr TColor MainColor = RGB(200, 10, 10);
constexpr TColor Blue = RGB(0, 0, 255);
constexpr TColor Green = RGB(0, 255, 0);
constexpr TColor Yellow = RGB(255, 255, 0);

void Fill(TBitmap& Bitmap, TColor Color, const TRect& Area) {
    Bitmap.Canvas()->Brush.Color = Color;
    Bitmap.Canvas()->Brush.Style = bsSolid;
    Bitmap.Canvas()->FillRect(Area);
}

TColor PixelAt(TBitmap& Bitmap, int X, int Y) {
    return Bitmap.Canvas()->GetPixels(X, Y);
}

// A document with a 120 x 90 main image on a white canvas.
class ComposeFixture : public DocumentFixture {
protected:
    void SetUp() override {
        MakeSolid(*Doc.MainImage, 120, 90, MainColor);
        Doc.RebuildCanvas();
    }
};

} // namespace

TEST_F(ComposeFixture, CanvasHoldsTheMainImageInsideTheMargin) {
    ASSERT_NE(Doc.CanvasBitmap, nullptr);
    EXPECT_EQ(Doc.CanvasBitmap->Width(), 220);
    EXPECT_EQ(Doc.CanvasBitmap->Height(), 190);
    EXPECT_EQ(Doc.MainImageRect, (TRect{50, 50, 170, 140}));
    EXPECT_EQ(PixelAt(*Doc.CanvasBitmap, 49, 50), clWhite);
    EXPECT_EQ(PixelAt(*Doc.CanvasBitmap, 50, 50), MainColor);
    EXPECT_EQ(PixelAt(*Doc.CanvasBitmap, 169, 139), MainColor);
    EXPECT_EQ(PixelAt(*Doc.CanvasBitmap, 170, 139), clWhite);

    // A smaller main image shrinks the canvas; the image stays at (50, 50).
    MakeSolid(*Doc.MainImage, 10, 20, Green);
    Doc.BackgroundColor = Yellow;
    Doc.RebuildCanvas();
    EXPECT_EQ(Doc.CanvasBitmap->Width(), 110);
    EXPECT_EQ(Doc.CanvasBitmap->Height(), 120);
    EXPECT_EQ(PixelAt(*Doc.CanvasBitmap, 0, 0), Yellow);
    EXPECT_EQ(PixelAt(*Doc.CanvasBitmap, 50, 50), Green);
}

TEST_F(ComposeFixture, CastIsCentredOnItsPosition) {
    AddCast(0, 0, 31, 21, Blue);
    Place(0, 3, {100, 80});
    std::unique_ptr<TBitmap> frame = Doc.ComposeFrame(3, 9);
    ASSERT_EQ(frame->Width(), 220);
    ASSERT_EQ(frame->Height(), 190);
    EXPECT_EQ(PixelAt(*frame, 85, 70), Blue);
    EXPECT_EQ(PixelAt(*frame, 115, 90), Blue);
    EXPECT_EQ(PixelAt(*frame, 84, 70), MainColor);
    EXPECT_EQ(PixelAt(*frame, 85, 69), MainColor);
    EXPECT_EQ(PixelAt(*frame, 116, 90), MainColor);
    EXPECT_EQ(PixelAt(*frame, 115, 91), MainColor);
    // The canvas itself is left as it was.
    EXPECT_EQ(PixelAt(*Doc.CanvasBitmap, 100, 80), MainColor);
}

TEST_F(ComposeFixture, LaterChannelsCoverEarlierOnesUpToTheLastChannelAsked) {
    // The last channel asked for is drawn too: channel 9 in a whole frame, channel 3 beneath
    // channel 4 (the picture an overlap in channel 4 blends into).
    AddCast(0, 0, 10, 10, Blue);
    AddCast(3, 0, 10, 10, Yellow);
    AddCast(9, 0, 10, 10, Green);
    for (const int ch : {0, 3, 9})
        Place(ch, 0, {100, 100});
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(0, 9), 100, 100), Green);
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(0, 8), 100, 100), Yellow);
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(0, 3), 100, 100), Yellow);
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(0, 2), 100, 100), Blue);
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(0, -1), 100, 100), MainColor);
}

TEST_F(ComposeFixture, RunStepsThroughTheSlotsAndOnlySetCellsDraw) {
    AddCast(1, 0, 6, 6, Blue);
    AddCast(1, 1, 6, 6, Green);
    Place(1, 0, {60, 60});
    Place(1, 1, {60, 60});
    Place(1, 2, {60, 60});
    Doc.Channels[1].Positions[3] = {60, 60}; // stored position of an empty cell
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(0, 9), 60, 60), Blue);
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(1, 9), 60, 60), Green);
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(2, 9), 60, 60), Blue);
    EXPECT_EQ(PixelAt(*Doc.ComposeFrame(3, 9), 60, 60), MainColor);
}

TEST_F(ComposeFixture, ChannelWithoutCastsDrawsNothing) {
    Place(2, 0, {60, 60});
    std::unique_ptr<TBitmap> frame = Doc.ComposeFrame(0, 9);
    for (int y = 0; y < frame->Height(); y += 7)
        for (int x = 0; x < frame->Width(); x += 7)
            ASSERT_EQ(PixelAt(*frame, x, y), PixelAt(*Doc.CanvasBitmap, x, y)) << x << ", " << y;
}

TEST_F(ComposeFixture, TransparentColourOfTheKeyPointIsLeftOut) {
    // A 9 x 9 cast: yellow border, blue centre; the key point picks the centre's colour.
    TBitmap& cast = AddCast(0, 0, 9, 9, Yellow);
    Fill(cast, Blue, TRect{2, 2, 7, 7});
    TScoreChannel& channel = Doc.Channels[0];
    channel.CastKeyPoint[0] = {4, 4};
    channel.CastTransparent[0] = true;
    channel.SyncCastTransparency(0);
    Place(0, 0, {100, 100});

    std::unique_ptr<TBitmap> frame = Doc.ComposeFrame(0, 9);
    EXPECT_EQ(PixelAt(*frame, 100, 100), MainColor); // centre left out
    EXPECT_EQ(PixelAt(*frame, 96, 96), Yellow);

    channel.CastTransparent[0] = false;
    channel.SyncCastTransparency(0);
    frame = Doc.ComposeFrame(0, 9);
    EXPECT_EQ(PixelAt(*frame, 100, 100), Blue);

    // A key point outside the picture names no colour: every pixel is drawn, silver ones too
    // (silver is what the canvas's answer for a point outside a picture reads as a colour).
    Fill(cast, clSilver, TRect{0, 0, 9, 2});
    channel.CastTransparent[0] = true;
    for (const TPoint outside : {TPoint{-1, 0}, TPoint{9, 4}, TPoint{4, 9}, TPoint{0, -1}}) {
        channel.CastKeyPoint[0] = outside;
        channel.SyncCastTransparency(0);
        frame = Doc.ComposeFrame(0, 9);
        EXPECT_EQ(PixelAt(*frame, 100, 100), Blue);
        EXPECT_EQ(PixelAt(*frame, 100, 96), clSilver);
    }
    EXPECT_TRUE(channel.CastTransparent[0]); // the flag stays as the file or the user set it
}

TEST_F(ComposeFixture, OutputFrameHasTheMainImageSizeAndCutsCastsAtItsEdge) {
    AddCast(0, 0, 31, 21, Blue);
    Place(0, 0, {100, 80});
    AddCast(9, 0, 20, 20, Green); // the last channel reaches the output too
    Place(9, 0, {50, 50});        // centred on the main image's top-left corner

    std::unique_ptr<TBitmap> frame = Doc.ComposeOutputFrame(0);
    ASSERT_EQ(frame->Width(), 120);
    ASSERT_EQ(frame->Height(), 90);
    EXPECT_EQ(PixelAt(*frame, 35, 20), Blue);
    EXPECT_EQ(PixelAt(*frame, 34, 20), MainColor);
    EXPECT_EQ(PixelAt(*frame, 65, 40), Blue);
    EXPECT_EQ(PixelAt(*frame, 66, 40), MainColor);
    EXPECT_EQ(PixelAt(*frame, 0, 0), Green);
    EXPECT_EQ(PixelAt(*frame, 9, 9), Green);
    EXPECT_EQ(PixelAt(*frame, 10, 10), MainColor);

    // The same pixels as the canvas composition, cut to the main image.
    std::unique_ptr<TBitmap> onCanvas = Doc.ComposeFrame(0, 9);
    for (int y = 0; y < 90; y += 3)
        for (int x = 0; x < 120; x += 3)
            ASSERT_EQ(PixelAt(*frame, x, y), PixelAt(*onCanvas, x + 50, y + 50)) << x << ", " << y;
}

TEST_F(ComposeFixture, MovedChannelIsDrawnAtTheGivenCentre) {
    AddCast(0, 0, 10, 10, Blue);
    AddCast(1, 0, 10, 10, Green);
    Place(0, 0, {100, 100});
    Place(1, 0, {100, 100});
    TBitmap frame;
    frame.Assign(Doc.CanvasBitmap.get());
    Doc.DrawFrameCasts(frame, 0, TComposeOptions{.MovedChannel = 1, .MovedCentre = {150, 60}});
    EXPECT_EQ(PixelAt(frame, 100, 100), Blue);
    EXPECT_EQ(PixelAt(frame, 150, 60), Green);
    EXPECT_EQ(Doc.Channels[1].Positions[0], (TPoint{100, 100}));
}

TEST(ComposeWithoutCanvas, FrameIsEmpty) {
    TEditorDocument doc;
    doc.Channels[0].CellSet[0] = true;
    EXPECT_TRUE(doc.ComposeFrame(0, 9)->Empty());
}

TEST_F(ComposeFixture, ZoomedViewKeepsTheSizeAtZoomOneAndGrowsWithTheZoom) {
    AddCast(0, 0, 4, 4, Blue);
    Place(0, 0, {60, 60});
    std::unique_ptr<TBitmap> view = Doc.ComposeFrame(0, 9);
    Doc.MakeZoomedView(0, view);
    ASSERT_EQ(view->Width(), 220);
    ASSERT_EQ(view->Height(), 190);
    EXPECT_EQ(PixelAt(*view, 58, 58), Blue);
    EXPECT_EQ(PixelAt(*view, 57, 58), MainColor);

    Doc.SetZoomFactor(4);
    view = Doc.ComposeFrame(0, 9);
    Doc.MakeZoomedView(0, view);
    ASSERT_EQ(view->Width(), 880);
    ASSERT_EQ(view->Height(), 760);
    EXPECT_EQ(PixelAt(*view, 58 * 4, 58 * 4), Blue);
    EXPECT_EQ(PixelAt(*view, 61 * 4 + 3, 61 * 4 + 3), Blue);
    EXPECT_EQ(PixelAt(*view, 58 * 4 - 1, 58 * 4), MainColor);
    EXPECT_EQ(PixelAt(*view, 0, 0), clWhite);
}

TEST_F(ComposeFixture, ZoomedViewShowsTheFramesTransparentColourAsBackground) {
    Doc.BackgroundColor = Yellow;
    AddCast(0, 0, 10, 10, Blue);
    Place(0, 0, {100, 100});
    Doc.FramePoints[0] = {50, 50}; // canvas (100, 100): under the cast
    Doc.SetZoomFactor(2);

    std::unique_ptr<TBitmap> view = Doc.ComposeFrame(0, 9);
    Doc.MakeZoomedView(0, view);
    EXPECT_EQ(PixelAt(*view, 200, 200), Yellow); // the cast's colour turned transparent
    EXPECT_EQ(PixelAt(*view, 150, 150), MainColor);
    EXPECT_EQ(PixelAt(*view, 0, 0), clWhite); // the canvas margin keeps its own colour

    // A frame point outside the main image changes nothing.
    Doc.FramePoints[0] = {120, 0};
    view = Doc.ComposeFrame(0, 9);
    Doc.MakeZoomedView(0, view);
    EXPECT_EQ(PixelAt(*view, 200, 200), Blue);
}
