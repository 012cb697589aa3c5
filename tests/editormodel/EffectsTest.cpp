// The document's start-up values and the rules read from its tables.
#include <gtest/gtest.h>

#include "editor/model/effects.h"

namespace {

void SetCells(TScoreChannel& Channel, std::initializer_list<int> Frames) {
    for (int f : Frames)
        Channel.CellSet[f] = true;
}

std::vector<int> IndicesOverFrames(const TEditorDocument& Doc, int Channel, int Last) {
    std::vector<int> result;
    for (int f = 0; f <= Last; ++f)
        result.push_back(Doc.CastIndexAt(f, Channel));
    return result;
}

} // namespace

TEST(EffectsDocument, StartsEmptyWithWhiteBackgroundAndNoFramePoints) {
    TEditorDocument doc;
    for (const TScoreChannel& channel : doc.Channels) {
        EXPECT_EQ(channel.CastCount, 0);
        for (int s = 0; s < CastSlotCount; ++s) {
            EXPECT_FALSE(channel.CastUsed[s]);
            EXPECT_TRUE(channel.CastTransparent[s]);
            EXPECT_EQ(channel.Casts[s], nullptr);
        }
        for (int f = 0; f < ScoreFrameCount; ++f)
            EXPECT_FALSE(channel.CellSet[f]);
    }
    for (int f = 0; f < ScoreFrameCount; ++f) {
        EXPECT_EQ(doc.FrameWaits[f], 0);
        EXPECT_EQ(doc.FramePoints[f], (TPoint{-1, 0}));
    }
    ASSERT_NE(doc.MainImage, nullptr);
    EXPECT_TRUE(doc.MainImage->Empty());
    EXPECT_EQ(doc.CanvasBitmap, nullptr);
    EXPECT_EQ(doc.GetZoomFactor(), 1);
    EXPECT_EQ(doc.BackgroundColor, clWhite);
    EXPECT_EQ(doc.ScoreClipCount, 0);
}

TEST(EffectsCastIndexAt, RunCyclesThroughTheCastsAndAnEmptyCellRestartsIt) {
    TEditorDocument doc;
    TScoreChannel& channel = doc.Channels[2];
    channel.CastCount = 3;
    SetCells(channel, {0, 1, 2, 3, 4});
    EXPECT_EQ(IndicesOverFrames(doc, 2, 5), (std::vector<int>{0, 1, 2, 0, 1, -1}));

    channel.CellSet[2] = false;
    EXPECT_EQ(IndicesOverFrames(doc, 2, 4), (std::vector<int>{0, 1, -1, 0, 1}));
    // Other channels are not affected by channel 2's cells.
    EXPECT_EQ(doc.CastIndexAt(1, 3), -1);
}

TEST(EffectsCastIndexAt, ChannelWithoutCastsGivesSlotZeroOnSetCells) {
    TEditorDocument doc;
    SetCells(doc.Channels[0], {3, 4, 5});
    EXPECT_EQ(IndicesOverFrames(doc, 0, 6), (std::vector<int>{-1, -1, -1, 0, 0, 0, -1}));
}

TEST(EffectsCastIndexAt, FramesAndChannelsOutsideTheScoreGiveNoSlot) {
    TEditorDocument doc;
    TScoreChannel& channel = doc.Channels[9];
    channel.CastCount = 3;
    channel.CellSet.fill(true);
    EXPECT_EQ(doc.CastIndexAt(199, 9), 199 % 3);
    EXPECT_EQ(doc.CastIndexAt(-1, 9), -1);
    EXPECT_EQ(doc.CastIndexAt(200, 9), -1);
    EXPECT_EQ(doc.CastIndexAt(0, -1), -1);
    EXPECT_EQ(doc.CastIndexAt(0, 10), -1);
}

TEST(EffectsFramePointValid, PointMustLieInsideTheMainImage) {
    TEditorDocument doc;
    doc.MainImage->SetWidth(10);
    doc.MainImage->SetHeight(5);
    EXPECT_FALSE(doc.FramePointValid(0)); // (-1, 0): none

    const std::pair<TPoint, bool> cases[] = {
        {{0, 0}, true},   {{9, 4}, true},   {{10, 0}, false}, {{0, 5}, false},
        {{-1, 2}, false}, {{3, -1}, false}, {{5, 2}, true},
    };
    for (const auto& [point, valid] : cases) {
        doc.FramePoints[7] = point;
        EXPECT_EQ(doc.FramePointValid(7), valid) << point.X << ", " << point.Y;
    }
    EXPECT_FALSE(doc.FramePointValid(-1));
    EXPECT_FALSE(doc.FramePointValid(ScoreFrameCount));
}

TEST(EffectsFramePointValid, NothingIsValidWithoutAMainImage) {
    TEditorDocument doc;
    doc.FramePoints[0] = {0, 0};
    EXPECT_FALSE(doc.FramePointValid(0));
}

TEST(EffectsZoom, ZoomMultipliesAndUnzoomTruncatesTowardZero) {
    TEditorDocument doc;
    doc.SetZoomFactor(3);
    int x = 7, y = -7;
    doc.UnzoomXY(x, y);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, -2);
    EXPECT_EQ(doc.ZoomPoint({5, -4}), (TPoint{15, -12}));
    EXPECT_EQ(doc.ZoomRect({50, 50, 81, 71}), (TRect{150, 150, 243, 213}));

    doc.SetZoomFactor(1);
    x = 7, y = -7;
    doc.UnzoomXY(x, y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, -7);
    EXPECT_EQ(doc.ZoomRect({1, 2, 3, 4}), (TRect{1, 2, 3, 4}));
}

TEST(EffectsZoom, ZoomFactorStaysWithinOneToFour) {
    TEditorDocument doc;
    doc.SetZoomFactor(0);
    EXPECT_EQ(doc.GetZoomFactor(), 1);
    doc.SetZoomFactor(4);
    EXPECT_EQ(doc.GetZoomFactor(), 4);
    doc.SetZoomFactor(9);
    EXPECT_EQ(doc.GetZoomFactor(), 4);
}

TEST(EffectsChannel, SlotsGainAndLosePicturesTogetherWithTheirUsedFlag) {
    TScoreChannel channel;
    TBitmap& first = channel.EnsureCast(0);
    EXPECT_TRUE(channel.CastUsed[0]);
    EXPECT_EQ(channel.Cast(0), &first);
    EXPECT_EQ(&channel.EnsureCast(0), &first); // a used slot keeps its picture

    channel.EnsureCast(1);
    channel.EnsureCast(5); // a gap still counts
    channel.RecountCasts();
    EXPECT_EQ(channel.CastCount, 3);

    channel.FreeCast(1);
    EXPECT_FALSE(channel.CastUsed[1]);
    EXPECT_EQ(channel.Cast(1), nullptr);
    EXPECT_EQ(channel.Casts[1], nullptr);
    channel.RecountCasts();
    EXPECT_EQ(channel.CastCount, 2);

    EXPECT_EQ(channel.Cast(-1), nullptr);
    EXPECT_EQ(channel.Cast(CastSlotCount), nullptr);
    EXPECT_EQ(channel.Cast(2), nullptr);
}
