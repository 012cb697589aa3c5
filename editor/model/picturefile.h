// Pictures the editor takes in: BMP and JPEG files, the clipboard's bitmap and a new blank
// picture, each delivered as a device-independent copy the caller installs where it belongs.
#pragma once

#include <memory>
#include <string>

#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Streams.h"

// The editor's rule for telling the two readers apart: a file whose extension (what follows
// the last dot of its own name) begins with "B", in either case, is read as BMP, any other
// as JPEG.
bool IsBmpPath(const std::string& FileName);

// Reads FileName by that rule: a BMP through the image library at 24 bits per pixel, a JPEG
// through the JPEG decoder. A file that cannot be read raises the reader's exception.
std::unique_ptr<TBitmap> ReadPictureFile(const std::string& FileName);

// A BMP file image read from the stream's position through the image library (every layout
// it accepts, RLE-compressed ones included), at 24 bits per pixel. Bad data raises the
// library's exception or the stream's read error.
std::unique_ptr<TBitmap> ReadBmpPicture(TStream& Stream);

// The clipboard's picture through the image library at 24 bits per pixel; nullptr when the
// clipboard holds no bitmap.
std::unique_ptr<TBitmap> ReadClipboardPicture();

// A Width x Height picture filled with Color, made through the image library at 24 bits.
std::unique_ptr<TBitmap> NewBlankPicture(int Width, int Height, TColor Color);
