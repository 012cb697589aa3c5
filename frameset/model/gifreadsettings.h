// Edits of the frames' own settings over a range of frames: position, wait and disposal,
// the transparent colour, and the exchange of one palette colour for another.
//
// The palette-based edits take a reference palette size: a frame whose palette is larger
// than that is left alone, since its indices mean other colours.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "frameset/model/gifreadframes.h"

// The settings a spin edit or the disposal list edits.
enum class TFrameField { Left, Top, Delay, Disposal };

// Frames First..Last get Field := Value.
void SetFramesField(int First, int Last, TFrameField Field, int Value);

// The pixel of Frame under the view point (X, Y), in the picture's own coordinates; false
// when the point lies outside the frame's rectangle.
bool FramePointAt(const TFrameEntry& Frame, int X, int Y, TPoint& Pixel);

// Called once for every frame of a range, skipped or not (the progress bar's step).
using TFrameStep = std::function<void()>;

// Color, palette entry Index of a picture with PaletteSize entries, becomes the transparent
// colour of frames First..Last: each frame that shows Color takes Index and, as its point,
// its last pixel of that colour in row order; a frame without the colour keeps both.
void SetTransparentColor(int First, int Last, std::uint8_t Index, TColor Color, int PaletteSize,
                         const TFrameStep& Step);

// Index becomes the transparent index of frames First..Last. The point is the leftmost
// pixel carrying Index in the last row that has one; X is NoTransparentPoint when no pixel
// does (Y is then kept).
void SetTransparentIndex(int First, int Last, std::uint8_t Index, int PaletteSize, const TFrameStep& Step);

// Palette entry Index of frames First..Last becomes To where it holds From; the pixels keep
// their indices.
void ExchangePaletteColor(int First, int Last, std::uint8_t Index, TColor From, TColor To, int PaletteSize);

// The colour dialog's custom colour text of Slot (0..15, letters A..P): "ColorA=RRGGBB"
// with the colour value's hex digits, blue in the high byte.
std::string CustomColorText(int Slot, TColor Color);
// The slot filled after Slot: the next one, back to 0 after 15.
std::uint8_t NextCustomColorSlot(std::uint8_t Slot);
