// The fixed palettes of halftoning. The converters themselves are declared with the other
// pixel converters (KvDIBConverters.h); bitmaps drawn in a halftone mode realise these
// same colours in the same order.
#pragma once

#include "toolkit/graphics/Gdi.h"

constexpr int HalftoneColorCount = 215;

// Entries 0..209 are 35 * r + 5 * g + b over 6 red, 7 green and 5 blue levels; entries
// 210..214 are five extra colours the error diffusion never chooses.
extern const RGBQUAD HalftoneColors[HalftoneColorCount];

// The black and white palette: black, then white.
extern const RGBQUAD HalftoneBWColors[2];
