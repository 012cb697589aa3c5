// What the DIB reader targets share: the image read into, and what a loaded image must hold.
#pragma once

#include <cstring>

#include "FuzzCheck.h"
#include "imagelib/KvDIB.h"

// A recognisable picture to read into, so a failed read that changed it shows.
inline void MakePreviousImage(TKvInternalDIB& Image) {
    Image.FreeDIB();
    Image.CreateDIB(3, -2, 24, 1);
    std::memset(Image.Infos.Bits, 0x5A, Image.Infos.ImageSize);
}

inline void CheckLoadedImage(const TKvInternalDIB& Image) {
    const BITMAPINFOHEADER& h = Image.Infos.Header;
    Check(Image.Width == h.biWidth && Image.Height == DIBRowCount(h), "size fields disagree with the header");
    Check(h.biClrUsed <= 256, "colour count above 256");
    Check(Image.Infos.ImageSize <= MaxDIBStorage, "storage above 1 GiB");
    if (h.biCompression == BI_RGB)
        Check(Image.Infos.ImageSize >= DIBRowLength(h.biWidth, h.biBitCount) * Image.Height,
              "storage shorter than the rows");
}
