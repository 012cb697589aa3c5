// Score editing on the document: runs through the score clipboard, centring, waits, resetting,
// exchanging channels, and the frames playback runs over.
#include <gtest/gtest.h>

#include <climits>

#include "editor/model/placement.h"
#include "editor/model/scoreedit.h"

namespace {

constexpr TColor Red = 0x000000FF;
constexpr TColor Blue = 0x00FF0000;
constexpr TColor White = 0x00FFFFFF;

// A Width x Height cast in Fill with its pixel (1, 1) in Key, transparent there when Transparent.
void PutPicture(TScoreChannel& Channel, int Slot, int Width, TColor Fill, TColor Key, bool Transparent) {
    TBitmap& picture = Channel.EnsureCast(Slot);
    picture.SetPixelFormat(pfDevice);
    picture.SetSize(Width, 4);
    picture.Canvas()->Brush = TBrush{Fill, bsSolid};
    picture.Canvas()->FillRect(TRect{0, 0, Width, 4});
    picture.Canvas()->SetPixels(1, 1, Key);
    Channel.CastKeyPoint[Slot] = TPoint{1, 1};
    Channel.CastTransparent[Slot] = Transparent;
    Channel.SyncCastTransparency(Slot);
    Channel.RecountCasts();
}

class ScoreEditTest : public ::testing::Test {
protected:
    void SetCell(int Channel, int Frame, TPoint Position) {
        doc.Channels[Channel].CellSet[Frame] = true;
        doc.Channels[Channel].Positions[Frame] = Position;
    }

    TEditorDocument doc;
};

TEST_F(ScoreEditTest, APasteNearTheEndGoesOnAtFrameZero) {
    PutPicture(doc.Channels[2], 0, 3, White, Red, false);
    SetCell(0, 10, TPoint{1, 2});
    SetCell(0, 11, TPoint{3, 4});
    SetCell(0, 12, TPoint{5, 6});
    CopyScoreCells(doc, 13, 11, 0);
    ASSERT_EQ(doc.ScoreClipCount, 3);

    PasteScoreCells(doc, 199, 2);
    const TScoreChannel& target = doc.Channels[2];
    EXPECT_TRUE(target.CellSet[198] && target.CellSet[199] && target.CellSet[0]);
    EXPECT_EQ(target.Positions[198].X, 1);
    EXPECT_EQ(target.Positions[199].Y, 4);
    EXPECT_EQ(target.Positions[0].X, 5);
    EXPECT_FALSE(target.CellSet[1]);
    // Pasting does not use the clipboard up.
    EXPECT_EQ(doc.ScoreClipCount, 3);
}

TEST_F(ScoreEditTest, EmptyCellsAreCopiedTooAndClearTheirTargets) {
    PutPicture(doc.Channels[1], 0, 3, White, Red, false);
    SetCell(0, 0, TPoint{10, 10});
    doc.Channels[0].Positions[1] = TPoint{77, 88}; // kept while the cell is empty
    SetCell(0, 2, TPoint{30, 30});
    CopyScoreCells(doc, 3, 1, 0);
    for (int f = 50; f < 53; ++f)
        SetCell(1, f, TPoint{-1, -1});

    PasteScoreCells(doc, 51, 1);
    const TScoreChannel& target = doc.Channels[1];
    EXPECT_TRUE(target.CellSet[50]);
    EXPECT_FALSE(target.CellSet[51]);
    EXPECT_EQ(target.Positions[51].X, 77);
    EXPECT_EQ(target.Positions[51].Y, 88);
    EXPECT_TRUE(target.CellSet[52]);
}

TEST_F(ScoreEditTest, NothingIsPastedWithoutCastsOrClipboard) {
    SetCell(0, 0, TPoint{10, 10});
    CopyScoreCells(doc, 1, 1, 0);
    PasteScoreCells(doc, 5, 3); // channel 3 has no casts
    EXPECT_FALSE(doc.Channels[3].CellSet[4]);

    PutPicture(doc.Channels[3], 0, 3, White, Red, false);
    CopyScoreCells(doc, 1, 2, 0); // reversed range: empty clipboard
    EXPECT_EQ(doc.ScoreClipCount, 0);
    PasteScoreCells(doc, 5, 3);
    EXPECT_FALSE(doc.Channels[3].CellSet[4]);
}

TEST_F(ScoreEditTest, ClearingKeepsPositionsAndStaysInsideTheScore) {
    for (int f = 195; f < 200; ++f)
        SetCell(4, f, TPoint{f, -f});
    ClearScoreCells(doc, 250, 198, 4);
    EXPECT_TRUE(doc.Channels[4].CellSet[196]);
    EXPECT_FALSE(doc.Channels[4].CellSet[197]);
    EXPECT_FALSE(doc.Channels[4].CellSet[199]);
    EXPECT_EQ(doc.Channels[4].Positions[199].X, 199);

    // A reversed range clears nothing.
    ClearScoreCells(doc, 196, 197, 4);
    EXPECT_TRUE(doc.Channels[4].CellSet[196]);
}

TEST_F(ScoreEditTest, CentringUsesTheMiddleOfTheCanvas) {
    doc.MainImage->SetPixelFormat(pfDevice);
    doc.MainImage->SetSize(201, 31);
    doc.RebuildCanvas();
    PutPicture(doc.Channels[0], 0, 3, White, Red, false);
    SetCell(0, 0, TPoint{1, 2});
    SetCell(0, 2, TPoint{3, 4});
    doc.Channels[0].Positions[1] = TPoint{7, 7};

    CentreScoreCells(doc, 0, 0, 2, true);
    EXPECT_EQ(doc.Channels[0].Positions[0].X, 150);
    EXPECT_EQ(doc.Channels[0].Positions[2].X, 150);
    EXPECT_EQ(doc.Channels[0].Positions[2].Y, 4);
    EXPECT_EQ(doc.Channels[0].Positions[1].X, 7); // empty cell

    CentreScoreCells(doc, 0, 0, 0, false);
    EXPECT_EQ(doc.Channels[0].Positions[0].Y, 65);

    // A channel without casts keeps its positions.
    SetCell(1, 0, TPoint{1, 2});
    CentreScoreCells(doc, 1, 0, 0, true);
    EXPECT_EQ(doc.Channels[1].Positions[0].X, 1);
}

TEST_F(ScoreEditTest, EveryCommandKeepsPositionsWithinTheScoreRange) {
    constexpr int Limit = PositionLimit;
    const TPoint top{Limit, -Limit};
    TScoreChannel& channel = doc.Channels[0];
    PutPicture(channel, 0, 3, White, Red, false);

    // Offsets and drags move set cells as far as the range allows, by any amount.
    SetCell(0, 0, TPoint{Limit - 5, 5 - Limit});
    SetCell(0, 1, TPoint{0, 0});
    SetCell(0, 2, TPoint{-Limit, Limit});
    ShiftSetPositions(channel, 0, 0, TPoint{10, -10});
    EXPECT_EQ(channel.Positions[0], top);
    ShiftSetPositions(channel, 1, 1, TPoint{2000000000, -2000000000});
    EXPECT_EQ(channel.Positions[1], top);
    ShiftSetPositions(channel, 2, 2, TPoint{INT_MAX, INT_MIN});
    EXPECT_EQ(channel.Positions[2], top);
    ShiftSetPositions(channel, 0, 2, TPoint{INT_MIN, INT_MAX});
    for (int f = 0; f <= 2; ++f)
        EXPECT_EQ(channel.Positions[f], (TPoint{-Limit, Limit})) << f;

    // A pointer far out holds the cast's centre at the edge of the range.
    EXPECT_EQ(AnchoredCentre(0, TPoint{INT_MAX, INT_MIN}, 41, 31), top);
    EXPECT_EQ(AnchoredCentre(8, TPoint{INT_MIN, INT_MAX}, 41, 31), (TPoint{-Limit, Limit}));

    // Pasted items are stored in range.
    doc.ScoreClip[0] = TScoreClipItem{INT_MAX, INT_MIN, true};
    doc.ScoreClipCount = 1;
    PasteScoreCells(doc, 5, 0);
    EXPECT_EQ(channel.Positions[4], top);

    // Positions in range zoom without overflow; a point beyond them is zoomed from the edge.
    doc.SetZoomFactor(MaxZoomFactor);
    EXPECT_EQ(doc.ZoomPoint(top), (TPoint{4 * Limit, -4 * Limit}));
    EXPECT_EQ(doc.ZoomPoint(TPoint{2000000000, -2000000000}), (TPoint{4 * Limit, -4 * Limit}));
}

TEST_F(ScoreEditTest, WaitsOfTheSelectedColumns) {
    SetFrameWaits(doc, 5, 8, 30);
    EXPECT_EQ(doc.FrameWaits[3], 0);
    for (int f = 4; f <= 7; ++f)
        EXPECT_EQ(doc.FrameWaits[f], 30) << f;
    EXPECT_EQ(doc.FrameWaits[8], 0);
    SetFrameWaits(doc, 199, 300, 5);
    EXPECT_EQ(doc.FrameWaits[199], 5);
}

TEST_F(ScoreEditTest, ResetEmptiesCastsCellsWaitsAndFramePointsOnly) {
    PutPicture(doc.Channels[3], 0, 3, White, Red, true);
    PutPicture(doc.Channels[3], 1, 3, White, Red, false);
    SetCell(3, 9, TPoint{12, 34});
    doc.FrameWaits[9] = 40;
    doc.FramePoints[9] = TPoint{2, 2};
    doc.ScoreClipCount = 2;

    ResetScore(doc);
    EXPECT_EQ(doc.Channels[3].CastCount, 0);
    EXPECT_FALSE(doc.Channels[3].CastUsed[0] || doc.Channels[3].CastUsed[1]);
    EXPECT_EQ(doc.Channels[3].Cast(0), nullptr);
    EXPECT_FALSE(doc.Channels[3].CellSet[9]);
    EXPECT_EQ(doc.Channels[3].Positions[9].X, 12);
    EXPECT_FALSE(doc.Channels[3].CastTransparent[1]);
    EXPECT_EQ(doc.FrameWaits[9], 0);
    EXPECT_EQ(doc.FramePoints[9].X, -1);
    EXPECT_EQ(doc.ScoreClipCount, 2);
}

TEST_F(ScoreEditTest, ExchangingChannelsSwapsAllTheirData) {
    TScoreChannel& a = doc.Channels[0];
    TScoreChannel& b = doc.Channels[3];
    PutPicture(a, 0, 3, White, Red, true);
    PutPicture(a, 1, 5, White, Blue, false);
    PutPicture(b, 0, 7, Red, Blue, false);
    b.CastKeyPoint[0] = TPoint{2, 2};
    b.SyncCastTransparency(0);
    SetCell(0, 1, TPoint{10, 11});
    SetCell(3, 2, TPoint{20, 21});
    SetCell(1, 1, TPoint{5, 5});

    ExchangeChannels(doc, 0, 3);
    EXPECT_EQ(a.CastCount, 1);
    EXPECT_EQ(b.CastCount, 2);
    EXPECT_EQ(a.Cast(0)->Width(), 7);
    EXPECT_FALSE(a.CastTransparent[0]);
    EXPECT_EQ(a.CastKeyPoint[0].X, 2);
    EXPECT_EQ(a.Cast(1), nullptr);
    EXPECT_FALSE(a.CastUsed[1]);
    ASSERT_NE(b.Cast(1), nullptr);
    EXPECT_EQ(b.Cast(1)->Width(), 5);
    EXPECT_EQ(b.Cast(0)->Width(), 3);
    EXPECT_TRUE(b.CastTransparent[0]);
    EXPECT_TRUE(b.Cast(0)->GetTransparent());
    EXPECT_EQ(b.Cast(0)->GetTransparentColor(), Red);
    EXPECT_TRUE(a.CellSet[2] && !a.CellSet[1]);
    EXPECT_EQ(a.Positions[2].X, 20);
    EXPECT_TRUE(b.CellSet[1]);
    EXPECT_EQ(b.Positions[1].Y, 11);
    EXPECT_EQ(doc.Channels[1].Positions[1].X, 5);

    // A channel exchanged with itself keeps everything.
    ExchangeChannels(doc, 3, 3);
    EXPECT_EQ(b.CastCount, 2);
}

TEST_F(ScoreEditTest, CopyCastSlotReadsTheKeyColourOfTheCopy) {
    TScoreChannel source;
    TScoreChannel destination;
    PutPicture(source, 4, 6, White, Blue, true);
    CopyCastSlot(destination, source, 4);
    ASSERT_NE(destination.Cast(4), nullptr);
    EXPECT_NE(destination.Cast(4), source.Cast(4));
    EXPECT_EQ(destination.Cast(4)->GetPixelFormat(), pfDevice);
    EXPECT_TRUE(destination.Cast(4)->GetTransparent());
    EXPECT_EQ(destination.Cast(4)->GetTransparentColor(), Blue);
    EXPECT_EQ(destination.CastKeyPoint[4].X, 1);
}

TEST_F(ScoreEditTest, PlaybackRunsToTheLastSetCellOfAnyChannel) {
    EXPECT_EQ(LastSetFrame(doc), -1);
    EXPECT_FALSE(AnyCasts(doc));
    SetCell(0, 5, TPoint{});
    SetCell(9, 17, TPoint{}); // a channel without casts counts too
    EXPECT_EQ(LastSetFrame(doc), 17);
    PutPicture(doc.Channels[6], 0, 3, White, Red, false);
    EXPECT_TRUE(AnyCasts(doc));
}

} // namespace
