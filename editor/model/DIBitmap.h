// A toolkit bitmap described as a device-independent bitmap: its header for a given colour
// count, the byte sizes of header and pixels, and its pixels read out in that form.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/graphics/Gdi.h"

// Fills Header for Bitmap as a DIB of Colors colours (2, 16, 256, 4096, or 0 for the
// bitmap's own depth). Another colour count leaves biBitCount as the caller had it. Raises
// EInvalidGraphic when the pixels would pass 1 GiB.
void DIBitmapInfoHeader(HBITMAP Bitmap, BITMAPINFOHEADER& Header, int Colors);
// InfoSize := header plus colour table, ImageSize := the pixel bytes.
void DIBitmapSizes(HBITMAP Bitmap, int& InfoSize, int& ImageSize, int Colors);
// Info := the header and colour table, Bits := the pixels, bottom-up rows, both buffers at
// least the sizes DIBitmapSizes gives. Palette, when not 0, is realised for the read. True
// when rows were copied.
bool DIBitmapBits(HBITMAP Bitmap, HPALETTE Palette, std::span<std::uint8_t> Info, int Colors,
                  std::span<std::uint8_t> Bits);
