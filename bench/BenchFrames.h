// What the GIF benchmarks share: the frame sets they code, giflib's output to memory, and the
// rows that set this project's throughput beside giflib's.
#pragma once

#include <gif_lib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchReport.h"

struct TFrame {
    int Width, Height;
    std::vector<std::uint8_t> Pixels;
};

// 256-colour frames of a small animation: a gradient background with moving discs.
// Dithered, as the halftone export makes them (short strings), or flat, as a quantised
// cartoon is (long runs).
inline std::vector<TFrame> MakeFrames(int Width, int Height, int Count, bool Dithered) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<TFrame> frames;
    for (int f = 0; f < Count; ++f) {
        TFrame frame{Width, Height, std::vector<std::uint8_t>(std::size_t(Width) * Height)};
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                double r = 255.0 * x / Width, g = 255.0 * y / Height,
                       b = 128 + 100 * std::sin((x + y + 4 * f) / 40.0);
                for (int d = 0; d < 3; ++d) {
                    const double cx = Width * (0.2 + 0.3 * d) + 20 * std::sin((f + 5 * d) / 4.0);
                    const double cy = Height * 0.5 + 30 * std::cos((f + 3 * d) / 5.0);
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 900.0) {
                        r = 60.0 * d;
                        g = 220.0 - 50 * d;
                        b = 40;
                    }
                }
                const double t = Dithered ? (bayer[y & 3][x & 3] + 0.5) / 16.0 : 0.5;
                auto level = [t](double v, int levels) {
                    const int q = int(v / 255.0 * (levels - 1) + t);
                    return q < 0 ? 0 : (q >= levels ? levels - 1 : q);
                };
                frame.Pixels[std::size_t(y) * Width + x] =
                    std::uint8_t(level(r, 8) << 5 | level(g, 8) << 2 | level(b, 4));
            }
        frames.push_back(std::move(frame));
    }
    return frames;
}

// The changed rectangles of a size-optimised animation: small crops of the frames.
inline std::vector<TFrame> Crop(const std::vector<TFrame>& Frames, int Width, int Height, int Count) {
    std::vector<TFrame> crops;
    for (int i = 0; i < Count; ++i) {
        const TFrame& source = Frames[std::size_t(i) % Frames.size()];
        const int left = (i * 37) % (source.Width - Width), top = (i * 23) % (source.Height - Height);
        TFrame crop{Width, Height, {}};
        for (int y = 0; y < Height; ++y) {
            const std::uint8_t* row = source.Pixels.data() + std::size_t(top + y) * source.Width + left;
            crop.Pixels.insert(crop.Pixels.end(), row, row + Width);
        }
        crops.push_back(std::move(crop));
    }
    return crops;
}

// The three sets every GIF benchmark runs: dithered, flat, and small crops of the dithered.
inline const std::vector<TFrame>& FrameSet(int Index) {
    static const std::vector<TFrame> dithered = MakeFrames(320, 240, 24, true);
    static const std::vector<TFrame> flat = MakeFrames(320, 240, 24, false);
    static const std::vector<TFrame> small = Crop(dithered, 48, 40, 200);
    switch (Index) {
    case 0:
        return dithered;
    case 1:
        return flat;
    default:
        return small;
    }
}

inline const char* FrameSetName(int Index) {
    static const char* names[] = {"dithered 320x240 x24", "flat 320x240 x24", "crops 48x40 x200"};
    return names[Index];
}

inline std::int64_t PixelCount(const std::vector<TFrame>& Frames) {
    std::int64_t count = 0;
    for (const TFrame& frame : Frames)
        count += std::int64_t(frame.Width) * frame.Height;
    return count;
}

// giflib's output function appending to the std::vector<std::uint8_t> in UserData.
inline int WriteToVector(GifFileType* Gif, const GifByteType* Data, int Length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(Gif->UserData);
    out->insert(out->end(), Data, Data + Length);
    return Length;
}

// One frame as an image at (0, 0) without a local table, written by giflib.
inline void PutFrameImage(GifFileType* Gif, const TFrame& Frame) {
    EGifPutImageDesc(Gif, 0, 0, Frame.Width, Frame.Height, false, nullptr);
    for (int y = 0; y < Frame.Height; ++y)
        EGifPutLine(Gif, const_cast<GifPixelType*>(Frame.Pixels.data()) + std::size_t(y) * Frame.Width,
                    Frame.Width);
}

// For each frame set, the throughput of this project's benchmark Ours against giflib's
// benchmark Giflib, measured in the same run, and their ratio against Goals[set]; with the
// minor page faults per pass of Ours.
inline std::vector<TGoalRow> RatioRows(const TBenchRecorder& Results, const char* Ours, const char* Giflib,
                                       const std::string& Work, const double (&Goals)[3]) {
    std::vector<TGoalRow> rows;
    for (int set = 0; set < 3; ++set) {
        const auto* ours = Results.Find(Ours, FrameSetName(set));
        const auto* giflib = Results.Find(Giflib, FrameSetName(set));
        if (ours == nullptr || giflib == nullptr) continue;
        const double oursRate = ours->Counter("items_per_second"),
                     giflibRate = giflib->Counter("items_per_second");
        const std::string figure = Work + ", " + FrameSetName(set);
        rows.push_back({figure + " vs giflib", oursRate / giflibRate, "x", TGoalRow::AtLeast, Goals[set]});
        rows.push_back({"  Mpx/s", oursRate / 1e6, "Mpx/s"});
        rows.push_back({"  Mpx/s, giflib's", giflibRate / 1e6, "Mpx/s"});
        rows.push_back({"  minor page faults per pass", ours->Counter("faults"), "faults"});
    }
    return rows;
}
