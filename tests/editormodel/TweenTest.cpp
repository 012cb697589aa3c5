// Tweens: positions of a run of frames computed from its two end cells.
#include <gtest/gtest.h>

#include "editor/model/effects.h"

namespace {

void SetCell(TScoreChannel& Channel, int Frame, TPoint Position) {
    Channel.CellSet[Frame] = true;
    Channel.Positions[Frame] = Position;
}

void ExpectCell(const TScoreChannel& Channel, int Frame, TPoint Position) {
    SCOPED_TRACE("frame " + std::to_string(Frame));
    EXPECT_TRUE(Channel.CellSet[Frame]);
    EXPECT_EQ(Channel.Positions[Frame].X, Position.X);
    EXPECT_EQ(Channel.Positions[Frame].Y, Position.Y);
}

TEST(TweenTest, LinearFillsTheFramesBetweenTheEndsTruncatingTowardZero) {
    TScoreChannel channel;
    SetCell(channel, 0, TPoint{0, 0});
    SetCell(channel, 3, TPoint{30, -30});
    LinearTween(0, 3, channel);
    ExpectCell(channel, 1, TPoint{10, -10});
    ExpectCell(channel, 2, TPoint{20, -20});
    ExpectCell(channel, 3, TPoint{30, -30});
    EXPECT_FALSE(channel.CellSet[4]);

    // Thirds: -10 / 3 steps truncate toward zero, not down.
    TScoreChannel thirds;
    SetCell(thirds, 10, TPoint{0, 0});
    SetCell(thirds, 13, TPoint{-10, 10});
    LinearTween(10, 13, thirds);
    ExpectCell(thirds, 11, TPoint{-3, 3});
    ExpectCell(thirds, 12, TPoint{-6, 6});

    // The far end is written by the formula too: 49 x (1 / 49) is just below 1 in double
    // precision, so frame 49 ends at 0, not at the 1 it held.
    TScoreChannel slow;
    SetCell(slow, 0, TPoint{0, 0});
    SetCell(slow, 49, TPoint{1, 0});
    LinearTween(0, 49, slow);
    ExpectCell(slow, 48, TPoint{0, 0});
    ExpectCell(slow, 49, TPoint{0, 0});
}

TEST(TweenTest, LinearNeedsBothEndsAndAFrameBetween) {
    TScoreChannel channel;
    SetCell(channel, 0, TPoint{0, 0});
    SetCell(channel, 1, TPoint{9, 9});
    LinearTween(0, 1, channel);
    EXPECT_EQ(channel.Positions[1].X, 9);

    SetCell(channel, 5, TPoint{50, 50});
    channel.CellSet[5] = false;
    LinearTween(1, 5, channel);
    for (int f = 2; f <= 5; ++f)
        EXPECT_FALSE(channel.CellSet[f]) << f;
}

TEST(TweenTest, RotationGoesRoundTheEllipseOfTheEnds) {
    TScoreChannel channel;
    SetCell(channel, 0, TPoint{100, 100});
    SetCell(channel, 3, TPoint{140, 160});
    RotationTween(0, 3, channel);
    ExpectCell(channel, 0, TPoint{120, 160});
    ExpectCell(channel, 1, TPoint{139, 130}); // the sine just below 1
    ExpectCell(channel, 2, TPoint{120, 100});
    ExpectCell(channel, 3, TPoint{100, 129});
}

TEST(TweenTest, RotationRunsBackwardsWhenTheSecondEndIsLeftOfTheFirst) {
    TScoreChannel channel;
    SetCell(channel, 20, TPoint{140, 100});
    SetCell(channel, 23, TPoint{100, 160});
    RotationTween(20, 23, channel);
    ExpectCell(channel, 20, TPoint{100, 129});
    ExpectCell(channel, 21, TPoint{120, 100});
    ExpectCell(channel, 22, TPoint{139, 130});
    ExpectCell(channel, 23, TPoint{120, 160});
}

TEST(TweenTest, RotationNeedsEndsApartInBothDirections) {
    for (TPoint end : {TPoint{140, 100}, TPoint{140, 101}, TPoint{101, 160}}) {
        TScoreChannel channel;
        SetCell(channel, 0, TPoint{100, 100});
        SetCell(channel, 3, end);
        RotationTween(0, 3, channel);
        EXPECT_EQ(channel.Positions[0].X, 100);
        EXPECT_FALSE(channel.CellSet[1]);
    }
    // Ends as far apart as positions go.
    TScoreChannel far;
    SetCell(far, 0, TPoint{-PositionLimit, -PositionLimit});
    SetCell(far, 1, TPoint{PositionLimit, PositionLimit});
    RotationTween(0, 1, far);
    ExpectCell(far, 0, TPoint{0, PositionLimit});
}

TEST(TweenTest, HoldRepeatsTheFirstSetEnd) {
    TScoreChannel channel;
    SetCell(channel, 7, TPoint{33, 44});
    HoldTween(4, 7, channel);
    for (int f = 4; f <= 7; ++f)
        ExpectCell(channel, f, TPoint{33, 44});
    EXPECT_FALSE(channel.CellSet[3]);

    SetCell(channel, 10, TPoint{1, 2});
    SetCell(channel, 12, TPoint{5, 6});
    HoldTween(10, 12, channel);
    ExpectCell(channel, 12, TPoint{1, 2});

    // Neither end set: nothing.
    HoldTween(20, 25, channel);
    EXPECT_FALSE(channel.CellSet[22]);
}

TEST(TweenTest, ASingleFrameOrARunOutsideTheScoreDoesNothing) {
    TScoreChannel channel;
    SetCell(channel, 5, TPoint{1, 1});
    SetCell(channel, 199, TPoint{9, 9});
    LinearTween(5, 5, channel);
    RotationTween(5, 5, channel);
    HoldTween(5, 5, channel);
    HoldTween(195, 200, channel);
    LinearTween(-1, 5, channel);
    EXPECT_FALSE(channel.CellSet[196]);
    EXPECT_FALSE(channel.CellSet[4]);
    ExpectCell(channel, 5, TPoint{1, 1});
}

} // namespace
