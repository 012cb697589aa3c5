// The picture each transition kind makes at each step, on small gradient pictures.
#include <functional>
#include <string>
#include <vector>

#include "TransitionFixture.h"

namespace {

constexpr TColor Key = RGB(0, 0, 200); // the gradient's pixel (0, 0)

// Keyed pixels of picture R of a run of Steps over a W x H picture.
using TRule = std::function<bool(int X, int Y, int R)>;

struct TFillCase {
    TEffectKind Kind;
    int Width;
    int Height;
    int Steps;
    TRule Keyed;
};

} // namespace

TEST_F(TransitionFixture, FillingKindsKeyTheBandsTheirRulesName) {
    // 11 x 7 pictures, Steps 3: Q = 4 across, 3 down.
    const TFillCase cases[] = {
        {ekBlindsH, 11, 7, 3, [](int, int y, int r) { return y % 3 < r; }},
        {ekBlindsV, 11, 7, 3, [](int x, int, int r) { return x % 3 < r; }},
        {ekSlideH1, 11, 7, 3, [](int x, int, int r) { return x < 4 * r; }},
        {ekSlideH2, 11, 7, 3, [](int x, int, int r) { return x >= (3 - r) * 4; }},
        {ekSlideV1, 11, 7, 3, [](int, int y, int r) { return y < 3 * r; }},
        {ekSlideV2, 11, 7, 3, [](int, int y, int r) { return y >= (3 - r) * 3; }},
        // d = (R * Q) div 2 = 0, 2, 4, 6 across and 0, 1, 3, 4 down.
        {ekCenterWarpH1, 11, 7, 3, [](int x, int, int r) { return x >= 5 - 4 * r / 2 && x < 5 + 4 * r / 2; }},
        {ekCenterWarpH2, 11, 7, 3, [](int x, int, int r) { return x < 4 * r / 2 || x >= 11 - 4 * r / 2; }},
        {ekCenterWarpV1, 11, 7, 3, [](int, int y, int r) { return y >= 3 - 3 * r / 2 && y < 3 + 3 * r / 2; }},
        {ekCenterWarpV2, 11, 7, 3, [](int, int y, int r) { return y < 3 * r / 2 || y >= 7 - 3 * r / 2; }},
    };
    for (const TFillCase& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.Kind));
        Channel() = TScoreChannel{};
        PutSource(0, c.Width, c.Height);
        Run(c.Kind, c.Steps, 0);
        for (int r = 0; r <= c.Steps; ++r)
            ExpectKeyed(r, Key, [&](int x, int y) { return c.Keyed(x, y, r); });
    }
}

TEST_F(TransitionFixture, BlindsAddARowPerBandUntilAllIsKeyed) {
    PutSource(0, 6, 10);
    Run(ekBlindsH, 4, 0);
    // Picture 1 keys rows 0, 4, 8; picture 2 adds 1, 5, 9; picture 4 keys everything.
    ExpectKeyed(1, Key, [](int, int y) { return y == 0 || y == 4 || y == 8; });
    ExpectKeyed(2, Key, [](int, int y) { return y % 4 <= 1; });
    ExpectKeyed(4, Key, [](int, int) { return true; });
}

TEST_F(TransitionFixture, CentreWarpLeavesTheLastColumnOfAnOddWidth) {
    PutSource(0, 9, 4);
    Run(ekCenterWarpH1, 3, 0);
    // Q = 3; the last picture has d = 4 and fills columns 0..7.
    ExpectKeyed(3, Key, [](int x, int) { return x <= 7; });
}

TEST_F(TransitionFixture, ScrollsShiftWithWrapAroundAndStopWhenTheShiftPassesTheSize) {
    PutSource(0, 10, 5);
    Run(ekScrollH, 3, 0);
    // Q = 4: shifted by 0, 4, 8, then 12 >= 10 leaves the picture as it was.
    const int shifts[] = {0, 4, 8, 0};
    for (int r = 0; r <= 3; ++r)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Pixel(r, x, 2), GradientColor((x + shifts[r]) % 10, 2))
                << "picture " << r << " x " << x;

    Channel() = TScoreChannel{};
    PutSource(0, 4, 10);
    Run(ekScrollV, 3, 0);
    for (int r = 0; r <= 3; ++r)
        for (int y = 0; y < 10; ++y)
            EXPECT_EQ(Pixel(r, 3, y), GradientColor(3, (y + shifts[r]) % 10))
                << "picture " << r << " y " << y;
}

TEST_F(TransitionFixture, MosaicBlocksTakeTheirBottomRightPixelAndSkipTheLastColumnAndRow) {
    PutSource(0, 10, 10);
    Run(ekMosaic, 3, 0);
    // Picture 2: blocks of 3 starting at 0, 3, 6; column 9 and row 9 keep their pixels.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const TColor expected =
                x == 9 || y == 9 ? GradientColor(x, y) : GradientColor(x / 3 * 3 + 2, y / 3 * 3 + 2);
            EXPECT_EQ(Pixel(2, x, y), expected) << x << ", " << y;
        }
    // Picture 3: blocks of 4 at 0, 4, 8; the block at 8 samples the clamped pixel 9.
    EXPECT_EQ(Pixel(3, 8, 8), GradientColor(9, 9));
    EXPECT_EQ(Pixel(3, 5, 1), GradientColor(7, 3));
}

TEST_F(TransitionFixture, ZoomShrinksTowardTheCentreOnTheKeyColour) {
    PutSource(0, 11, 7, TPoint{10, 6});
    const TColor key = GradientColor(10, 6);
    Run(ekZoom, 3, 0);
    // dx = dy = (5 div 3) R and (3 div 3) R = R. Each drawn pixel takes the source pixel under
    // its centre: pixel d of a run of n drawn from 11 takes floor((2d + 1) 11 / 2n).
    struct TShrunk {
        TRect Area;
        std::vector<int> Columns, Rows;
    };
    const TShrunk pictures[] = {
        {{0, 0, 11, 7}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {0, 1, 2, 3, 4, 5, 6}},
        {{1, 1, 10, 6}, {0, 1, 3, 4, 5, 6, 7, 9, 10}, {0, 2, 3, 4, 6}},
        {{2, 2, 9, 5}, {0, 2, 3, 5, 7, 8, 10}, {1, 3, 5}},
        {{3, 3, 8, 4}, {1, 3, 5, 7, 9}, {3}},
    };
    for (int r = 0; r <= 3; ++r) {
        const TShrunk& p = pictures[r];
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 11; ++x) {
                const bool inside =
                    x >= p.Area.Left && x < p.Area.Right && y >= p.Area.Top && y < p.Area.Bottom;
                const TColor expected = inside ? GradientColor(p.Columns[std::size_t(x - p.Area.Left)],
                                                               p.Rows[std::size_t(y - p.Area.Top)])
                                               : key;
                EXPECT_EQ(Pixel(r, x, y), expected) << "picture " << r << " (" << x << ", " << y << ")";
            }
    }
}

TEST_F(TransitionFixture, RotationTurnsClockwiseOnALargerPicture) {
    PutSource(0, 40, 20, TPoint{5, 5});
    const TColor key = GradientColor(5, 5);
    Run(ekRotate, 3, 0);
    // 0, 90, 180, 270 degrees.
    EXPECT_EQ(Cast(0).Width(), 40);
    EXPECT_EQ(Cast(1).Width(), 21);
    EXPECT_EQ(Cast(1).Height(), 41);
    EXPECT_EQ(Cast(2).Width(), 41);
    EXPECT_EQ(Cast(2).Height(), 21);
    EXPECT_EQ(Cast(3).Width(), 21);
    EXPECT_EQ(Cast(3).Height(), 41);

    // A quarter turn: the top-left corner goes to the top right.
    EXPECT_EQ(Pixel(1, 20, 0), GradientColor(0, 0));
    EXPECT_EQ(Pixel(1, 1, 39), GradientColor(39, 19));
    EXPECT_EQ(Pixel(1, 10, 12), GradientColor(12, 10));
    for (int y = 0; y < 41; ++y)
        EXPECT_EQ(Pixel(1, 0, y), key);
    for (int x = 0; x < 21; ++x)
        EXPECT_EQ(Pixel(1, x, 40), key);
    // A half turn.
    EXPECT_EQ(Pixel(2, 1, 1), GradientColor(39, 19));
    EXPECT_EQ(Pixel(2, 40, 20), GradientColor(0, 0));
    EXPECT_EQ(Pixel(2, 0, 10), key);
    // Three quarters: the top-left corner goes to the bottom left.
    EXPECT_EQ(Pixel(3, 0, 40), GradientColor(0, 0));
}

// Turned pictures of a 5 x 3 source whose pixels are the letters a..o, row by row; '.' is the
// key colour (pixel a's). Odd sizes put u and v on halves, which round to even after
// stepping along the row from each row's start.
TEST_F(TransitionFixture, RotationOfAnOddSizeAtAnyAngleStepsAlongEachRow) {
    struct TTurn {
        int Steps;
        int R;
        std::vector<std::string> Rows;
    };
    const TTurn turns[] = {
        {4, 1, {"..fa.", ".kgb.", ".lhc.", ".mmid", "..nje", "..o..", "....."}},    // 72 degrees
        {4, 2, {".......", ".....k.", "...mlf.", "..nhhba", "..jicb.", "..ee..."}}, // 144
        {4, 3, {".......", ".......", "..on...", ".einm..", ".edhgk.", "...bbf."}}, // 216
        {4, 4, {".....", ".ej..", ".dio.", "chmn.", "bgm..", "afl..", "..k.."}},    // 288
        {3, 1, {".kka", ".llb", ".mmc", ".mmc", ".ooe", ".ooe"}},                   // 90
        {3, 2, {"......", "......", ".oohhf", ".jjhca"}},                           // 180
        {3, 3, {"....", "ejo.", "ejoo", "ddnn", ".chl", ".bfk"}},                   // 270
    };
    for (const TTurn& turn : turns) {
        SCOPED_TRACE("steps " + std::to_string(turn.Steps) + " picture " + std::to_string(turn.R));
        Channel() = TScoreChannel{};
        PutSource(0, 5, 3);
        Run(ekRotate, turn.Steps, 0);
        const int height = static_cast<int>(turn.Rows.size());
        const int width = static_cast<int>(turn.Rows[0].size());
        ASSERT_EQ(Cast(turn.R).Width(), width);
        ASSERT_EQ(Cast(turn.R).Height(), height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const char c = turn.Rows[std::size_t(y)][std::size_t(x)];
                const int source = c == '.' ? 0 : c - 'a';
                EXPECT_EQ(Pixel(turn.R, x, y), GradientColor(source % 5, source / 5)) << x << ", " << y;
            }
    }
}
