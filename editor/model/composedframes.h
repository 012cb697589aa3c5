// The frames an export with a common palette composes for its colour histogram, kept for
// the pass that writes them, so that no frame is composed twice. A frame is kept as the
// runs of pixels in which it differs from the frame before: an animation mostly moves a few
// casts over a still picture. The store holds no more than its room; a frame that does not
// fit is left out and composed again when it is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TKvDIB;

class TComposedFrames {
public:
    // Room: the most bytes the store may hold. Nothing is taken before runs are added.
    explicit TComposedFrames(std::size_t Room) : FRoom(Room) {}

    // Starts recording the next frame. The first one recorded is never kept: there is no
    // frame before it to restore it from.
    void BeginFrame();
    // Adds to the frame being recorded the pixels Left..Right of row Y of Frame, its
    // uncompressed 24-bit picture; the runs of a frame together hold every pixel in which it
    // differs from the frame before.
    void AddRun(TKvDIB& Frame, int Y, int Left, int Right);
    // Turns Work, which holds the frame recorded just before number Index (0 for the first
    // recorded), into frame Index. False, with Work as it was, when that frame was not kept.
    bool Restore(int Index, TKvDIB& Work) const;

    // The bytes the kept frames take.
    std::size_t Size() const { return FBytes.size(); }

private:
    std::size_t FRoom;
    // Per kept frame its runs: offset in the image and length in bytes, 4 bytes each, then
    // the bytes.
    std::vector<std::uint8_t> FBytes;
    // Per recorded frame where its runs begin and end in FBytes; Begin == NotKept when it
    // was left out.
    struct TRange {
        std::size_t Begin, End;
    };
    static constexpr std::size_t NotKept = ~std::size_t(0);
    std::vector<TRange> FFrames;
    std::uint32_t FImageSize = 0;
};
