// Colour reduction of the whole frame list before a GIF save: every frame becomes an 8-bit
// picture in one common palette, which becomes the global colour table.
#pragma once

#include <functional>

#include "gif/colorquant.h"
#include "frameset/model/gifreadframes.h"

// Where a long run over the frames shows how far it got.
struct TFrameSetProgress {
    std::function<void(int Max)> Max;
    std::function<void(int Position)> Position;
    void SetMax(int Value) const {
        if (Max) Max(Value);
    }
    void SetPosition(int Value) const {
        if (Position) Position(Value);
    }
};

// The colour-count menu items by number: 0 dithers to the halftone palette, 1..6 quantise
// to 256, 128, 64, 32, 16 and 8 colours.
constexpr int ColorItemCount = 7;
constexpr int DitherItem = 0;

// The split depth of an item: 0 for the dither, else 8 down to 3.
int ReductionDepth(int Item);

// Counts a frame's pixels into the histogram: those of an 8-bit picture by their entries'
// colours; any other palette picture is first made 24-bit, in place.
void AddFrameToQuantizer(TKvDIB& Image, TColorQuantizer& Quantizer);
// Replaces the frame's picture by its 8-bit reduction in the built palette; an 8-bit picture
// laid out as a new one is reduced within its own storage, to the same picture.
void MapFrameToQuantizerPalette(TFrameEntry& Entry, TColorQuantizer& Quantizer);

// Reduces every frame of the list in place by the item's kind; afterwards all frames share
// frame 0's palette, which fills GlobalColorCount (8..256) and GlobalColorTable, and no
// frame has a local table. The transparent colour of a frame (its colour at TransparentPoint)
// is not reduced with the others: when any frame has one, the palette ends with one entry for
// the transparent pixels of every frame, which becomes their TransparentIndex and which no
// opaque pixel takes.
void ReduceFrameColors(int Item, const TFrameSetProgress& Progress);
