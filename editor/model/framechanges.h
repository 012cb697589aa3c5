// Pixel passes of the GIF export that compare a frame with the one written before it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "toolkit/graphics/Types.h"

class TKvDIB;

// R := the smallest rectangle, bounds inclusive, holding every pixel where A and B (of the
// same size) differ. When nothing differs R is (width - 1, height - 1, 0, 0).
void GetChangedRect(TKvDIB& A, TKvDIB& B, TRect& R);

// Paints every pixel of Frame that equals Previous's pixel at the same place in Color (both
// 24 bits per pixel, the same size). Painted gets one byte per pixel, row by row, 1 where a
// pixel was painted. Returns the last painted pixel in row-by-row order, if any.
std::optional<TPoint> PaintUnchangedPixels(TKvDIB& Frame, TKvDIB& Previous, TColor Color,
                                           std::vector<std::uint8_t>& Painted);

// True when, inside the inclusive rectangle R of the reduced 8-bit Frame, exactly the painted
// pixels hold Index: making Index transparent then shows the frame before where nothing
// changed and hides nothing that did.
bool TransparencyCoversPainted(TKvDIB& Frame, const std::vector<std::uint8_t>& Painted, const TRect& R,
                               int Index);

// Calls Visit(Y, Left, Right) for runs of pixels, bounds inclusive, that together hold every
// pixel where Frame and Before (24 bits per pixel, the same size) differ, row by row from the
// top, left to right. A run goes on over a single pixel that did not change.
void ForEachChangedRun(TKvDIB& Frame, TKvDIB& Before,
                       const std::function<void(int Y, int Left, int Right)>& Visit);

// Sets every pixel of a 24-bit Frame to Color.
void FillFrame(TKvDIB& Frame, TColor Color);
