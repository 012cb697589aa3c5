// Device-independent forms of a bitmap's pixels: BMP file images and packed DIBs (the
// clipboard's blocks), decoded into and encoded from 32-bit pictures.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/graphics/Gdi.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Streams.h"

struct TDecodedDIB {
    QImage Image;                     // Format_RGB32
    int BitCount = 0;                 // as stored: 1, 4, 8, 16, 24 or 32
    std::vector<PALETTEENTRY> Colors; // the colour table of an indexed picture
};

// Decodes a packed DIB: a 12-byte core header or an info header of 40 bytes or more,
// masks, colour table, and the pixels at PixelOffset from Data (straight after the colour
// table when PixelOffset is 0). 1, 4, 8, 24 bits and 16 or 32 bits (BI_RGB or
// BI_BITFIELDS); no compression. Returns false for malformed, unsupported or oversized
// data, never reading outside [Data, Data + Size).
bool DecodeDIB(const std::uint8_t* Data, std::size_t Size, std::size_t PixelOffset, TDecodedDIB& Result);

// Reads one BMP file image from the stream's position, which ends after its pixels.
// Returns false when the data is no valid bitmap (the stream is then left anywhere).
bool ReadBMP(TStream& Stream, TDecodedDIB& Result);

// A packed DIB of Image: 40-byte header, BI_RGB, bottom-up. BitCount 1, 4 or 8 takes
// Colors as its colour table (each pixel the nearest entry); 24 and 32 have none.
std::vector<std::uint8_t> EncodeDIB(const QImage& Image, int BitCount,
                                    const std::vector<PALETTEENTRY>& Colors);
// A BMP file image: the file header, then the packed DIB.
void WriteBMP(TStream& Stream, const QImage& Image, int BitCount, const std::vector<PALETTEENTRY>& Colors);

// A copy of the pixels of a bitmap handle; a null image for a handle without pixels.
QImage BitmapHandlePixels(HBITMAP Bitmap);
