// The frames a common-palette export keeps between its two passes, as the runs in which each
// differs from the one before: each restored exactly as it was composed, and frames beyond
// the store's room left to be composed again.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "editor/model/composedframes.h"
#include "editor/model/framechanges.h"
#include "imagelib/KvDIB.h"

namespace {

// 11 x 7 pixels of 24 bits: rows of 33 bytes and 3 of padding, so that a row ends in the
// middle of a compared word.
constexpr int Width = 11, Height = 7;

std::unique_ptr<TKvDIB> NoiseFrame(unsigned Seed) {
    auto frame = std::make_unique<TKvDIB>();
    frame->SetBitCount(24);
    frame->SetWidth(Width);
    frame->SetHeight(Height);
    std::mt19937 random(Seed);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            frame->SetPixels(x, y, int(random() & 0xFFFFFF));
    return frame;
}

std::unique_ptr<TKvDIB> CopyOf(TKvDIB& Frame) {
    auto copy = std::make_unique<TKvDIB>();
    copy->Assign(&Frame);
    copy->UniqueDIB();
    return copy;
}

std::vector<int> PixelsOf(TKvDIB& Frame) {
    std::vector<int> pixels;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            pixels.push_back(Frame.GetPixels(x, y));
    return pixels;
}

// Records Frames in order and checks the restores a writing pass makes: the first frame is
// composed, every later one restored from the one before where it was kept.
void ExpectRestoredInTurn(TComposedFrames& Store, const std::vector<std::unique_ptr<TKvDIB>>& Frames,
                          const std::vector<bool>& Kept) {
    for (std::size_t i = 0; i < Frames.size(); ++i) {
        Store.BeginFrame();
        if (i > 0)
            ForEachChangedRun(*Frames[i], *Frames[i - 1],
                              [&](int Y, int Left, int Right) { Store.AddRun(*Frames[i], Y, Left, Right); });
    }
    std::unique_ptr<TKvDIB> work = CopyOf(*Frames[0]);
    EXPECT_FALSE(Store.Restore(0, *work));
    for (std::size_t i = 1; i < Frames.size(); ++i) {
        SCOPED_TRACE(i);
        // The frame written before shares the work's pixels, as the export's does.
        TKvDIB written;
        written.Assign(work.get());
        ASSERT_EQ(Store.Restore(int(i), *work), bool(Kept[i]));
        EXPECT_EQ(PixelsOf(written), PixelsOf(*Frames[i - 1]));
        if (!Kept[i]) {
            EXPECT_EQ(PixelsOf(*work), PixelsOf(*Frames[i - 1]));
            work = CopyOf(*Frames[i]); // composed again
        }
        EXPECT_EQ(PixelsOf(*work), PixelsOf(*Frames[i]));
    }
}

} // namespace

TEST(ComposedFrames, EveryKeptFrameIsRestoredFromTheOneBeforeExactly) {
    std::vector<std::unique_ptr<TKvDIB>> frames;
    frames.push_back(NoiseFrame(1));
    auto changed = [&frames](std::initializer_list<std::pair<int, int>> Pixels) {
        frames.push_back(CopyOf(*frames.back()));
        for (const auto& [x, y] : Pixels)
            frames.back()->SetPixels(x, y, frames.back()->GetPixels(x, y) ^ 0x000001);
    };
    // The first and the last pixel, one byte each: the last in the part of a word at the end.
    changed({{0, Height - 1}, {Width - 1, 0}});
    changed({}); // the same again
    // Few pixels here and there, so that changes lie every distance apart.
    std::mt19937 random(3);
    for (int i = 0; i < 40; ++i)
        changed({{int(random() % Width), int(random() % Height)},
                 {int(random() % Width), int(random() % Height)},
                 {int(random() % Width), int(random() % Height)}});
    frames.push_back(NoiseFrame(2)); // changed everywhere

    TComposedFrames store(1 << 20);
    std::vector<bool> kept(frames.size(), true);
    kept[0] = false;
    ExpectRestoredInTurn(store, frames, kept);
}

TEST(ComposedFrames, FramesBeyondTheRoomAreLeftToBeComposedAgain) {
    std::vector<std::unique_ptr<TKvDIB>> frames;
    frames.push_back(NoiseFrame(1));
    frames.push_back(NoiseFrame(2)); // some 290 bytes of runs: fits
    frames.push_back(NoiseFrame(3)); // as many again: does not
    frames.push_back(CopyOf(*frames.back()));
    frames.back()->SetPixels(3, 3, 0); // a few bytes: fits in what is left

    const std::size_t room = 400;
    TComposedFrames store(room);
    ExpectRestoredInTurn(store, frames, {false, true, false, true});
    EXPECT_LE(store.Size(), room);
}
