// The device interface the image library and the programs draw through: handles to
// palettes, bitmaps and device contexts, the DIB structures, and DIB transfer.
// Handles are plain numbers, 0 meaning none; the objects behind them live in one table.
#pragma once

#include <cstdint>

#include "toolkit/graphics/Types.h"

using THandle = std::uintptr_t;
using HGDIOBJ = THandle;
using HPALETTE = THandle;
using HBITMAP = THandle;
using HDC = THandle;

#pragma pack(push, 1)
struct RGBQUAD {
    std::uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct RGBTRIPLE {
    std::uint8_t rgbtBlue, rgbtGreen, rgbtRed;
};
struct BITMAPFILEHEADER {
    std::uint16_t bfType;
    std::uint32_t bfSize;
    std::uint16_t bfReserved1;
    std::uint16_t bfReserved2;
    std::uint32_t bfOffBits;
};
struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
struct BITMAPCOREHEADER {
    std::uint32_t bcSize;
    std::uint16_t bcWidth;
    std::uint16_t bcHeight;
    std::uint16_t bcPlanes;
    std::uint16_t bcBitCount;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(BITMAPCOREHEADER) == 12);

struct PALETTEENTRY {
    std::uint8_t peRed, peGreen, peBlue, peFlags;
};

// What GetObject reports of a bitmap.
struct BITMAP {
    int bmWidth;
    int bmHeight;
    int bmWidthBytes;
    int bmPlanes;
    int bmBitsPixel;
};

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

constexpr std::uint32_t DIB_RGB_COLORS = 0;

constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// Raster operations (the canvas's CopyMode takes the same values).
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

constexpr int BITSPIXEL = 12;

// Clipboard formats.
constexpr std::uint16_t CF_BITMAP = 2;
constexpr std::uint16_t CF_DIB = 8;
constexpr std::uint16_t CF_PALETTE = 9;

// Palettes.
HPALETTE CreatePalette(const PALETTEENTRY* Entries, int Count); // 0 when Count is outside 1..256
// Copies up to Count entries from Start; returns the number copied. With Entries nil,
// returns the palette's entry count.
unsigned GetPaletteEntries(HPALETTE Palette, unsigned Start, unsigned Count, PALETTEENTRY* Entries);
// A new palette with the same entries (0 for 0).
HPALETTE CopyPalette(HPALETTE Palette);

// Any object made by this interface (palette, bitmap); false for an unknown handle or
// an object still selected into a device context.
bool DeleteObject(HGDIOBJ Object);
// Size and depth of a bitmap; false for an unknown handle.
bool GetObject(HBITMAP Bitmap, BITMAP& Info);

// Device contexts. GetDC(0) is the screen; CreateCompatibleDC gives a memory DC with a
// 1 x 1 bitmap selected.
HDC GetDC(THandle Window);
int ReleaseDC(THandle Window, HDC DC);
HDC CreateCompatibleDC(HDC DC);
bool DeleteDC(HDC DC);
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object); // returns the bitmap replaced, 0 on failure
HPALETTE SelectPalette(HDC DC, HPALETTE Palette, bool ForceBackground);
unsigned RealizePalette(HDC DC);
int SetStretchBltMode(HDC DC, int Mode); // returns the previous mode, 0 on failure
int GetStretchBltMode(HDC DC);
int GetDeviceCaps(HDC DC, int Index);

// Stretches a DIB (1, 4, 8, 24 or 32 bits, BI_RGB) onto the DC's bitmap: nearest pixel
// (COLORONCOLOR: destination pixel d of a run takes source pixel
// floor((d + 1/2) * SrcWidth / DestWidth)), Rop one of the raster operations above. The
// source rectangle is in image coordinates (0, 0 at the top-left); a negative extent
// mirrors, the destination (XDest + DestWidth .. XDest - 1) then showing the source's
// first column rightmost. Clipped to the bitmap; destination pixels whose source lies
// outside the image are left alone. Returns the number of source rows, 0 on failure
// (compressed data among others).
int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                  int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFOHEADER& Header,
                  const RGBQUAD* Colors, std::uint32_t Usage, std::uint32_t Rop);

// StretchDIBits that leaves out the source pixels of the colour Transparent: the
// destination keeps its pixels there, and takes the others as they are.
int TransparentDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                      int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFOHEADER& Header,
                      const RGBQUAD* Colors, std::uint32_t Usage, TColor Transparent);

// Reads a bitmap's pixels as a DIB of Header's size and bit count (1, 4, 8, 24 or 32),
// bottom-up when biHeight > 0, top-down when negative; pixels beyond the bitmap are
// black. For 8 bits and less, Colors gets 2^bits entries from the bitmap's palette (else
// the DC's, else the standard colours), padded with black, and each pixel the nearest
// entry; biClrUsed is left as it is. Bits receives stored rows StartScan ..
// StartScan + ScanLines - 1. Returns the rows copied; with Bits nil, fills only
// biSizeImage and Colors.
int GetDIBits(HDC DC, HBITMAP Bitmap, unsigned StartScan, unsigned ScanLines, void* Bits,
              BITMAPINFOHEADER& Header, RGBQUAD* Colors, std::uint32_t Usage);

// A bitmap whose pixels are the DIB at Section's storage + Offset (the library's
// file mapping; Section 0: zero-filled memory of its own): drawing on a DC with it
// selected writes those bytes in the DIB's layout, indexed depths taking the nearest
// entry of the colour table the section was made with. 0 for a compressed format, a bit
// count other than 1, 4, 8 or 24, or storage too small.
HBITMAP CreateDIBSection(HDC DC, const BITMAPINFOHEADER& Header, const RGBQUAD* Colors, std::uint32_t Usage,
                         void** Bits, THandle Section, std::uint32_t Offset);
