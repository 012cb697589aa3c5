// A transition run: the slots it writes, their order, what each picture carries, the runs that
// cannot be made, progress, failures, and the overlap into the channels beneath.
#include "TransitionFixture.h"
#include "imagelib/KvDIB.h"

namespace {

constexpr TColor Key = RGB(0, 0, 200); // the gradient's pixel (0, 0)

} // namespace

TEST_F(TransitionFixture, ASlideFromSlotTwoFillsSlotsTwoToFive) {
    PutSource(2, 100, 50);
    Run(ekSlideH1, 3, 2);
    // Q = 34: 0, 34, 68 and all columns keyed.
    for (int r = 0; r <= 3; ++r)
        ExpectKeyed(2 + r, Key, [r](int x, int) { return x < 34 * r; });
    EXPECT_EQ(Channel().CastCount, 6);
    EXPECT_FALSE(Channel().CastUsed[6]);
    // The slots before the run keep their pictures.
    EXPECT_EQ(Cast(1).Width(), 2);
}

TEST_F(TransitionFixture, FadeInStoresTheSeriesInReverse) {
    PutSource(2, 100, 50);
    Run(ekSlideH1, 3, 2, true);
    ExpectKeyed(2, Key, [](int, int) { return true; });
    ExpectKeyed(3, Key, [](int x, int) { return x < 68; });
    ExpectKeyed(5, Key, [](int, int) { return false; });
    EXPECT_EQ(Channel().CastCount, 6);
}

TEST_F(TransitionFixture, ARunOverwritesUsedSlotsAndKeepsTheOnesAfterIt) {
    PutSource(0, 8, 8);
    for (int s = 1; s < 8; ++s)
        PutSolid(s, 3, 3, RGB(9, 9, 9), false);
    Run(ekSlideV1, 3, 0);
    EXPECT_EQ(Channel().CastCount, 8);
    EXPECT_EQ(Cast(3).Width(), 8);
    EXPECT_EQ(Cast(4).Width(), 3);
}

TEST_F(TransitionFixture, RunsThatCannotBeMadeChangeNothing) {
    PutSource(17, 10, 10);
    Run(ekSlideH1, 3, 17); // 17 + 3 passes the last slot
    Run(-1, 3, 0);
    Run(ekSlideH1, 3, 18); // empty slot
    // An overlap needs the channel's cell at the current frame.
    Run(ekOverlap, 3, 0, false, 5);
    EXPECT_EQ(Channel().CastCount, 18);
    EXPECT_FALSE(Channel().CastUsed[18]);
    ExpectKeyed(17, Key, [](int, int) { return false; });
    EXPECT_EQ(Cast(0).Width(), 2);
}

TEST_F(TransitionFixture, EveryPictureCarriesTheSourcesKeyPointAndTransparency) {
    PutSource(0, 10, 6, TPoint{3, 2});
    Run(ekScrollH, 3, 0);
    for (int r = 0; r <= 3; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(Channel().CastKeyPoint[r], (TPoint{3, 2}));
        EXPECT_TRUE(Channel().CastTransparent[r]);
        TBitmap& cast = Cast(r);
        EXPECT_TRUE(cast.GetTransparent());
        EXPECT_EQ(cast.GetPixelFormat(), pfDevice);
        // The transparent colour is what the picture now shows at the key point.
        EXPECT_EQ(cast.GetTransparentColor(), cast.Canvas()->GetPixels(3, 2));
    }
    EXPECT_EQ(Pixel(1, 3, 2), GradientColor(7, 2));

    // An opaque cast gives opaque pictures, filled in the colour at its key point all the same.
    Channel() = TScoreChannel{};
    PutSource(0, 10, 6, TPoint{3, 2}, false);
    Run(ekSlideV2, 3, 0);
    for (int r = 0; r <= 3; ++r)
        EXPECT_FALSE(Cast(r).GetTransparent());
    ExpectKeyed(3, GradientColor(3, 2), [](int, int) { return true; });
}

TEST_F(TransitionFixture, ProgressCountsThePicturesAndEndsAtZero) {
    PutSource(0, 8, 8);
    std::vector<int> reported;
    int max = -1;
    const TEffectProgress progress{[&](int Max) { max = Max; },
                                   [&](int Position) { reported.push_back(Position); }};
    MakeEffectCasts(Doc, ekMosaic, false, 4, 0, Ch, 1, progress);
    EXPECT_EQ(max, 4);
    EXPECT_EQ(reported, (std::vector<int>{0, 1, 2, 3, 4, 0}));
}

TEST_F(TransitionFixture, AKeyPointOutsideThePictureFailsAndLeavesTheCountRight) {
    PutSource(0, 8, 8, TPoint{8, 0});
    Channel().CastCount = 0; // a stale count is mended on the way out
    std::vector<int> reported;
    const TEffectProgress progress{{}, [&](int Position) { reported.push_back(Position); }};
    EXPECT_THROW(MakeEffectCasts(Doc, ekSlideH1, false, 3, 0, Ch, 1, progress), EKvDIBPixelPositionRange);
    EXPECT_EQ(Channel().CastCount, 1);
    EXPECT_FALSE(Channel().CastUsed[1]);
    EXPECT_EQ(reported, (std::vector<int>{0}));
}

namespace {

// A 20 x 20 blue main image on a white canvas; channel 2's cell of frame 0 shows a 10 x 10
// grey cast centred on (60, 60), whose key pixel (0, 0) lies over a red cast of channel 1,
// the channel right beneath it.
class OverlapFixture : public TransitionFixture {
protected:
    static constexpr TColor Grey = RGB(100, 100, 100);
    static constexpr TColor KeyColor = RGB(10, 20, 30);

    void SetUp() override {
        TBitmap& image = *Doc.MainImage;
        image.SetPixelFormat(pfDevice);
        image.SetSize(20, 20);
        image.Canvas()->Brush = TBrush{RGB(0, 0, 255), bsSolid};
        image.Canvas()->FillRect(TRect{0, 0, 20, 20});
        Doc.RebuildCanvas();

        TScoreChannel& below = Doc.Channels[1];
        TBitmap& red = below.EnsureCast(0);
        red.SetPixelFormat(pfDevice);
        red.SetSize(4, 4);
        red.Canvas()->Brush = TBrush{RGB(255, 0, 0), bsSolid};
        red.Canvas()->FillRect(TRect{0, 0, 4, 4});
        below.CastTransparent[0] = false;
        below.SyncCastTransparency(0);
        below.RecountCasts();
        below.CellSet[0] = true;
        below.Positions[0] = TPoint{57, 57};

        // A channel above the cast is not part of what lies beneath it.
        TScoreChannel& above = Doc.Channels[3];
        TBitmap& green = above.EnsureCast(0);
        green.SetPixelFormat(pfDevice);
        green.SetSize(30, 30);
        green.Canvas()->Brush = TBrush{RGB(0, 255, 0), bsSolid};
        green.Canvas()->FillRect(TRect{0, 0, 30, 30});
        above.CastTransparent[0] = false;
        above.SyncCastTransparency(0);
        above.RecountCasts();
        above.CellSet[0] = true;
        above.Positions[0] = TPoint{60, 60};

        Channel().CellSet[0] = true;
        Channel().Positions[0] = TPoint{60, 60};
    }

    void PutGrey(bool Transparent) {
        PutSolid(0, 10, 10, Grey, Transparent);
        Channel().Cast(0)->Canvas()->SetPixels(0, 0, KeyColor);
        Channel().SyncCastTransparency(0);
    }
};

} // namespace

TEST_F(OverlapFixture, PixelsMoveTowardWhatLiesBeneathAndTransparentOnesStay) {
    PutGrey(true);
    Run(ekOverlap, 4, 0);
    // Half way over the main image: 100 + trunc(-100 / 4 * 2), 100 + trunc(155 / 4 * 2).
    EXPECT_EQ(Pixel(2, 8, 8), RGB(50, 50, 177));
    // Over channel 1's red cast.
    EXPECT_EQ(Pixel(2, 2, 1), RGB(177, 50, 50));
    EXPECT_EQ(Pixel(2, 0, 0), KeyColor);
    // The last picture has reached what lies beneath.
    EXPECT_EQ(Pixel(4, 8, 8), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(4, 3, 3), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(0, 8, 8), Grey);
}

TEST_F(OverlapFixture, AnOpaqueCastBlendsItsKeyColouredPixelsToo) {
    PutGrey(false);
    Run(ekOverlap, 4, 0);
    // 10 + trunc(245 / 4 * 2), 20 + trunc(-20 / 4 * 2), 30 + trunc(-30 / 4 * 2).
    EXPECT_EQ(Pixel(2, 0, 0), RGB(132, 10, 15));
}

TEST_F(OverlapFixture, PixelsOutsideTheCanvasKeepTheirColour) {
    PutGrey(false);
    Channel().Positions[0] = TPoint{2, 60}; // columns -3..6 of the canvas
    Run(ekOverlap, 4, 0);
    EXPECT_EQ(Pixel(4, 2, 5), Grey);
    EXPECT_EQ(Pixel(4, 3, 5), RGB(255, 255, 255));
}
