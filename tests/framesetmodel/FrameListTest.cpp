// The frame list: where inserted frames go, what moves with them, the screen size, and
// the removal of a range of frames.
#include <gtest/gtest.h>

#include "frameset/model/gifreadframes.h"

namespace {

class FrameListTest : public ::testing::Test {
protected:
    void SetUp() override { CreateFrameSetState(); }
    void TearDown() override { FreeFrameSetState(); }

    // Appends frames whose Delay and first pixel carry their number.
    static void Fill(int Count) {
        for (int i = 0; i < Count; ++i)
            InsertFrame(FrameCount, Numbered(i), *Picture(i));
    }
    static TFrameSettings Numbered(int Number) {
        TFrameSettings settings;
        settings.Delay = Number;
        settings.Left = 2 * Number;
        return settings;
    }
    static std::unique_ptr<TKvDIB> Picture(int Number, int Width = 3, int Height = 2) {
        auto picture = std::make_unique<TKvDIB>();
        picture->SetWidth(Width);
        picture->SetHeight(Height);
        picture->SetPixels(0, 0, Number);
        return picture;
    }
    static std::vector<int> Numbers() {
        std::vector<int> numbers;
        for (int i = 0; i < FrameCount; ++i) {
            const TFrameEntry& frame = FrameList[std::size_t(i)];
            EXPECT_EQ(frame.Delay, frame.Image->GetPixels(0, 0)) << "picture moved apart from its settings";
            EXPECT_EQ(2 * frame.Delay, frame.Left);
            numbers.push_back(frame.Delay);
        }
        return numbers;
    }
};

TEST_F(FrameListTest, InsertingMovesTheFramesBehindUp) {
    Fill(3);
    InsertFrame(3, Numbered(7), *Picture(7));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 7}), Numbers());
    InsertFrame(0, Numbered(8), *Picture(8));
    EXPECT_EQ((std::vector<int>{8, 0, 1, 2, 7}), Numbers());
    InsertFrame(2, Numbered(9), *Picture(9));
    EXPECT_EQ((std::vector<int>{8, 0, 9, 1, 2, 7}), Numbers());
    EXPECT_EQ(nullptr, FrameList[6].Image);
}

TEST_F(FrameListTest, FramesShareThePictureTheyWereGivenUntilItChanges) {
    auto picture = Picture(5);
    InsertFrame(0, Numbered(5), *picture);
    EXPECT_EQ(2, picture->InternalDIB->RefCount);
    picture->SetPixels(0, 0, 6);
    EXPECT_EQ(5, FrameList[0].Image->GetPixels(0, 0));
}

TEST_F(FrameListTest, TheFirstFrameOfAnEmptyListSetsTheScreenSize) {
    SourceScreenWidth = 40;
    SourceScreenHeight = 30;
    Fill(1);
    SourceScreenWidth = 90;
    Fill(1);
    EXPECT_EQ(40, ScreenWidth);
    EXPECT_EQ(30, ScreenHeight);
    DeleteFrames(0, 1);
    Fill(1);
    EXPECT_EQ(90, ScreenWidth);
}

TEST_F(FrameListTest, BitmapSettings) {
    auto picture = Picture(0, 7, 5);
    picture->SetPaletteSize(256);
    TFrameSettings settings = BitmapFrameSettings(*picture);
    EXPECT_EQ(8, settings.BitsPerPixel);
    EXPECT_EQ(7, settings.Width);
    EXPECT_EQ(5, settings.Height);
    EXPECT_EQ(NoTransparentPoint, settings.TransparentPoint.X);
    EXPECT_FALSE(settings.Transparent);
    const std::pair<int, int> sizes[] = {{1, 3},  {2, 3},  {8, 3},  {9, 4},  {16, 4},
                                         {17, 5}, {64, 6}, {65, 7}, {129, 8}};
    for (auto [entries, bits] : sizes)
        EXPECT_EQ(bits, BitsPerPixelOfPaletteSize(entries)) << entries;
}

TEST_F(FrameListTest, DeletingARangeMovesTheFramesBehindDown) {
    Fill(5);
    DeleteFrames(1, 2);
    EXPECT_EQ((std::vector<int>{0, 3, 4}), Numbers());
    EXPECT_EQ(nullptr, FrameList[3].Image);
    EXPECT_EQ(nullptr, FrameList[4].Image);
    DeleteFrames(2, 2);
    EXPECT_EQ((std::vector<int>{0, 3}), Numbers());
    DeleteFrames(1, 5); // beyond the list: nothing
    EXPECT_EQ(2, FrameCount);
    DeleteFrames(0, 1);
    EXPECT_EQ(0, FrameCount);
    EXPECT_EQ(nullptr, FrameList[0].Image);
}

TEST_F(FrameListTest, DataStartStaysWithItsSlot) {
    Fill(2);
    FrameList[0].DataStart = 11;
    FrameList[1].DataStart = 22;
    InsertFrame(0, Numbered(3), *Picture(3));
    EXPECT_EQ(11, FrameList[0].DataStart);
    EXPECT_EQ(22, FrameList[1].DataStart);
}

} // namespace
