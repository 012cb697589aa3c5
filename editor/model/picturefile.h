// Pictures the editor takes in: BMP and JPEG files, the clipboard's bitmap and a new blank
// picture, each delivered as a device-independent copy the caller installs where it belongs.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Streams.h"

// Whether the pictures the editor would make of a picture of Width x Height stay within the
// picture limit. The readers below ask it as soon as they know a picture's size and refuse a
// picture it does not take, with their own error for a picture too large, before anything of
// it is converted or decoded.
using TPictureFits = std::function<bool(int Width, int Height)>;

// The editor's rule for telling the two readers apart: a file whose extension (what follows
// the last dot of its own name) begins with "B", in either case, is read as BMP, any other
// as JPEG.
bool IsBmpPath(const std::string& FileName);

// Reads FileName by that rule: a BMP through the image library at 24 bits per pixel, a JPEG
// through the JPEG decoder. A file that cannot be read raises the reader's exception.
std::unique_ptr<TBitmap> ReadPictureFile(const std::string& FileName, const TPictureFits& Fits);

// A BMP file image read from the stream's position through the image library (every layout
// it accepts, RLE-compressed ones included), at 24 bits per pixel. Bad data raises the
// library's exception or the stream's read error.
std::unique_ptr<TBitmap> ReadBmpPicture(TStream& Stream, const TPictureFits& Fits);

// The clipboard's picture through the image library at 24 bits per pixel; nullptr when the
// clipboard holds no bitmap.
std::unique_ptr<TBitmap> ReadClipboardPicture(const TPictureFits& Fits);

// A Width x Height picture filled with Color, made through the image library at 24 bits.
std::unique_ptr<TBitmap> NewBlankPicture(int Width, int Height, TColor Color);
