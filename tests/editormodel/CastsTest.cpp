// The cast slots of a channel: putting, inserting, deleting, key points, colour replacement,
// where the pointer holds a cast being placed, and moving a run of positions.
#include <gtest/gtest.h>

#include "DocumentFixture.h"
#include "editor/model/casts.h"
#include "editor/model/placement.h"

namespace {

constexpr TColor Red = 0x000000FF;
constexpr TColor Green = 0x0000FF00;
constexpr TColor Blue = 0x00FF0000;
constexpr TColor White = 0x00FFFFFF;

// A colour that tells slot i's picture apart.
TColor Mark(int I) {
    return static_cast<TColor>(0x00010203 * (I + 1));
}

// Count casts, slot i a 4 x 3 picture whose top-left pixel is Mark(i), with key point (i % 4, 1)
// and every third slot opaque.
void FillStrip(TScoreChannel& Channel, int Count) {
    for (int i = 0; i < Count; ++i) {
        auto picture = Picture(4, 3, White, Mark(i));
        PutCast(Channel, i, *picture);
        Channel.CastKeyPoint[i] = TPoint{i % 4, 1};
        Channel.CastTransparent[i] = i % 3 != 0;
        Channel.SyncCastTransparency(i);
    }
    Channel.RecountCasts();
}

// Slot Slot holds the picture, key point and transparency that FillStrip gave slot Original.
void ExpectOriginal(TScoreChannel& Channel, int Slot, int Original) {
    SCOPED_TRACE("slot " + std::to_string(Slot) + " from " + std::to_string(Original));
    TBitmap* picture = Channel.Cast(Slot);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Canvas()->GetPixels(0, 0), Mark(Original));
    EXPECT_EQ(Channel.CastKeyPoint[Slot].X, Original % 4);
    EXPECT_EQ(Channel.CastTransparent[Slot], Original % 3 != 0);
    EXPECT_EQ(picture->GetTransparent(), Original % 3 != 0);
    EXPECT_EQ(picture->GetPixelFormat(), pfDevice);
}

TEST(CastsTest, ANewCastIsTransparentInItsTopLeftColour) {
    TScoreChannel channel;
    auto picture = Picture(5, 4, White, Blue);
    PutCast(channel, 0, *picture);
    channel.CastKeyPoint[0] = TPoint{3, 3};
    channel.CastTransparent[0] = false;

    // A picture put into a used slot replaces its picture, key point and transparency.
    auto other = Picture(6, 2, White, Red);
    PutCast(channel, 0, *other);
    TBitmap* cast = channel.Cast(0);
    ASSERT_NE(cast, nullptr);
    EXPECT_EQ(cast->Width(), 6);
    EXPECT_TRUE(channel.CastTransparent[0]);
    EXPECT_EQ(channel.CastKeyPoint[0].X, 0);
    EXPECT_EQ(channel.CastKeyPoint[0].Y, 0);
    EXPECT_TRUE(cast->GetTransparent());
    EXPECT_EQ(cast->GetTransparentColor(), Red);
    EXPECT_EQ(cast->GetPixelFormat(), pfDevice);
}

TEST(CastsTest, InsertingTakesTheLastFreeSlotAndAFullStripNoMore) {
    TScoreChannel channel;
    FillStrip(channel, CastSlotCount - 1);
    auto picture = Picture(7, 7, White, Green);
    ASSERT_TRUE(InsertCast(channel, 5, *picture));
    EXPECT_EQ(channel.CastCount, 20);
    for (int slot = 0; slot < 5; ++slot)
        ExpectOriginal(channel, slot, slot);
    for (int slot = 6; slot < CastSlotCount; ++slot)
        ExpectOriginal(channel, slot, slot - 1);
    TBitmap* inserted = channel.Cast(5);
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(inserted->Width(), 7);
    EXPECT_TRUE(channel.CastTransparent[5]);
    EXPECT_EQ(inserted->GetTransparentColor(), Green);

    // Full: nothing is pushed out, nothing changes.
    auto another = Picture(3, 3, White, Red);
    EXPECT_FALSE(InsertCast(channel, 5, *another));
    EXPECT_EQ(channel.CastCount, 20);
    EXPECT_EQ(channel.Cast(5)->Width(), 7);
    ExpectOriginal(channel, 19, 18);
}

TEST(CastsTest, InsertingAtTheCountAppendsAndFurtherRightDoesNothing) {
    TScoreChannel channel;
    FillStrip(channel, 3);
    auto picture = Picture(2, 2, White, Green);
    EXPECT_FALSE(InsertCast(channel, 4, *picture));
    EXPECT_EQ(channel.CastCount, 3);
    EXPECT_FALSE(channel.CastUsed[4]);

    ASSERT_TRUE(InsertCast(channel, 3, *picture));
    EXPECT_EQ(channel.CastCount, 4);
    for (int slot = 0; slot < 3; ++slot)
        ExpectOriginal(channel, slot, slot);
    EXPECT_EQ(channel.Cast(3)->GetTransparentColor(), Green);

    // Inserting at the front moves everything up by one.
    ASSERT_TRUE(InsertCast(channel, 0, *picture));
    EXPECT_EQ(channel.CastCount, 5);
    for (int slot = 1; slot < 4; ++slot)
        ExpectOriginal(channel, slot, slot - 1);
}

TEST(CastsTest, DeletingMovesTheLaterCastsDown) {
    TScoreChannel channel;
    FillStrip(channel, 5);
    ASSERT_TRUE(DeleteCastRange(channel, 1, 2));

    EXPECT_EQ(channel.CastCount, 3);
    ExpectOriginal(channel, 0, 0);
    ExpectOriginal(channel, 1, 3);
    ExpectOriginal(channel, 2, 4);
    for (int slot = 3; slot < 5; ++slot) {
        EXPECT_FALSE(channel.CastUsed[slot]);
        EXPECT_EQ(channel.Casts[slot], nullptr);
    }
}

TEST(CastsTest, DeletingIgnoresTheSlotAfterTheLastCast) {
    TScoreChannel channel;
    FillStrip(channel, 3);
    EXPECT_TRUE(DeleteCastRange(channel, 3, 3));
    EXPECT_EQ(channel.CastCount, 3);
    EXPECT_FALSE(DeleteCastRange(channel, 4, 4));
    EXPECT_FALSE(DeleteCastRange(channel, 1, 4));
    EXPECT_EQ(channel.CastCount, 3);

    // The last cast and the empty slot after it: only the cast goes.
    EXPECT_TRUE(DeleteCastRange(channel, 2, 3));
    EXPECT_EQ(channel.CastCount, 2);
    ExpectOriginal(channel, 1, 1);

    EXPECT_TRUE(DeleteCastRange(channel, 0, 1));
    EXPECT_EQ(channel.CastCount, 0);
}

TEST(CastsTest, AKeyPointOutsideAPictureTurnsItsTransparencyOff) {
    TScoreChannel channel;
    auto narrow = Picture(30, 20, White, White);
    auto wide = Picture(50, 20, Red, Red);
    wide->Canvas()->SetPixels(40, 10, Blue);
    PutCast(channel, 0, *narrow);
    PutCast(channel, 1, *wide);
    channel.RecountCasts();

    ApplyCastKeyPoint(channel, 0, 1, TPoint{40, 10});
    EXPECT_FALSE(channel.CastTransparent[0]);
    EXPECT_FALSE(channel.Cast(0)->GetTransparent());
    EXPECT_EQ(channel.CastKeyPoint[0].X, 0); // the old point stays
    EXPECT_TRUE(channel.CastTransparent[1]);
    EXPECT_EQ(channel.CastKeyPoint[1].X, 40);
    EXPECT_EQ(channel.CastKeyPoint[1].Y, 10);
    EXPECT_EQ(channel.Cast(1)->GetTransparentColor(), Blue);

    // Below the last row is outside too.
    ApplyCastKeyPoint(channel, 1, 1, TPoint{5, 20});
    EXPECT_FALSE(channel.CastTransparent[1]);

    // "No transparency" turns every selected cast opaque and keeps the key points.
    ApplyCastKeyPoint(channel, 0, 1, TPoint{2, 2});
    EXPECT_TRUE(channel.CastTransparent[0]);
    ApplyCastKeyPoint(channel, 0, 1, TPoint{-1, 2});
    EXPECT_FALSE(channel.CastTransparent[0]);
    EXPECT_FALSE(channel.CastTransparent[1]);
    EXPECT_EQ(channel.CastKeyPoint[0].X, 2);
}

TEST(CastsTest, ColourReplaceKeepsTheTransparencyOnTheNewColour) {
    TScoreChannel channel;
    auto first = Picture(6, 4, White, Red); // transparent in red, its top-left colour
    first->Canvas()->SetPixels(5, 3, Red);
    first->Canvas()->SetPixels(4, 3, RGB(254, 0, 0));
    auto second = Picture(3, 3, Red, Blue);
    auto third = Picture(2, 2, Red, Red);
    PutCast(channel, 0, *first);
    PutCast(channel, 1, *second);
    PutCast(channel, 2, *third);
    channel.RecountCasts();
    channel.CastTransparent[1] = false;
    channel.SyncCastTransparency(1);

    // The colour is the one slot 0 has at the point; slots 0 and 1 change, slot 2 does not.
    ASSERT_TRUE(ReplaceCastColor(channel, 0, 1, 0, TPoint{5, 3}, Green));
    TBitmap* a = channel.Cast(0);
    EXPECT_EQ(a->Canvas()->GetPixels(0, 0), Green);
    EXPECT_EQ(a->Canvas()->GetPixels(5, 3), Green);
    EXPECT_EQ(a->Canvas()->GetPixels(4, 3), RGB(254, 0, 0)); // exact matches only
    EXPECT_EQ(a->Canvas()->GetPixels(1, 1), White);
    EXPECT_TRUE(a->GetTransparent());
    EXPECT_EQ(a->GetTransparentColor(), Green);
    EXPECT_EQ(a->GetPixelFormat(), pfDevice);

    TBitmap* b = channel.Cast(1);
    EXPECT_EQ(b->Canvas()->GetPixels(2, 2), Green);
    EXPECT_EQ(b->Canvas()->GetPixels(0, 0), Blue);
    EXPECT_FALSE(b->GetTransparent());
    EXPECT_EQ(channel.Cast(2)->Canvas()->GetPixels(1, 1), Red);

    // A point outside the source picture changes nothing.
    EXPECT_FALSE(ReplaceCastColor(channel, 0, 2, 2, TPoint{2, 0}, Blue));
    EXPECT_EQ(channel.Cast(2)->Canvas()->GetPixels(1, 1), Red);
}

// Pictures of 16384 x 16384 take 1 GiB each as shown: four fill the document's 4 GiB. The
// picture a slot gives way to counts for nothing, an insert gives nothing way, and every copy
// of the rule counts against one room.
TEST(CastsTest, CastPicturesMustFitTheDocumentTogether) {
    TEditorDocument document;
    TScoreChannel& channel = document.Channels[2];
    PutCast(channel, 0, *Picture(1000, 1000, White, Red));
    channel.RecountCasts();

    TPictureFits replacing = CastPicturesFit(document, 2, 0, 5);
    const TPictureFits copy = replacing;
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE((i % 2 ? copy : replacing)(16384, 16384)) << i;
    EXPECT_FALSE(replacing(1, 1));

    const TPictureFits inserting = CastPicturesFit(document, 2, 0, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(inserting(16384, 16384)) << i;
    EXPECT_FALSE(inserting(16384, 16384));
    EXPECT_FALSE(CastPicturesFit(document, 2, 1, 1)(16384, 16385));
}

TEST(CastsTest, TheAnchorIsWhereThePointerHoldsTheCast) {
    // Where the centre of a 41 x 31 cast lies from the pointer (half sizes truncated to 20
    // and 15) when the pointer holds its top-left, top centre, top-right, middle left ...
    // bottom-right.
    const TPoint fromPointer[9] = {{20, 15}, {0, 15},   {-20, 15}, {20, 0},   {0, 0},
                                   {-20, 0}, {20, -15}, {0, -15},  {-20, -15}};
    for (int anchor = 0; anchor < 9; ++anchor)
        EXPECT_EQ(AnchoredCentre(std::uint8_t(anchor), TPoint{100, 100}, 41, 31),
                  (TPoint{100 + fromPointer[anchor].X, 100 + fromPointer[anchor].Y}))
            << "anchor " << anchor;
    // An anchor past the table holds the cast at its centre; the centre stays in the range
    // of stored positions.
    EXPECT_EQ(AnchoredCentre(9, TPoint{100, 100}, 41, 31), (TPoint{100, 100}));
    EXPECT_EQ(AnchoredCentre(0, TPoint{PositionLimit, -PositionLimit}, 41, 31),
              (TPoint{PositionLimit, -PositionLimit + 15}));
}

TEST(CastsTest, ShiftingARunMovesOnlyItsSetCells) {
    TScoreChannel channel;
    for (int frame = 0; frame < 10; ++frame)
        channel.Positions[frame] = TPoint{frame, 2 * frame};
    for (int frame : {3, 4, 6, 9})
        channel.CellSet[frame] = true;
    ShiftSetPositions(channel, 4, 8, TPoint{10, -1});
    EXPECT_EQ(channel.Positions[3].X, 3);
    EXPECT_EQ(channel.Positions[4].X, 14);
    EXPECT_EQ(channel.Positions[4].Y, 7);
    EXPECT_EQ(channel.Positions[5].X, 5);
    EXPECT_EQ(channel.Positions[6].X, 16);
    EXPECT_EQ(channel.Positions[9].X, 9);
}

} // namespace
