#include "gif/lzwpixels.h"

#include "imagelib/KvDIB.h"

TDIBRectPixelSource::TDIBRectPixelSource(TKvDIB& Dib, int Left, int Top, int Right, int Bottom)
    : FDib(Dib), FLeft(Left), FRight(Right), FBottom(Bottom), FY(Top) {
    const TKvInternalDIB* image = Dib.InternalDIB;
    FDirect = image != nullptr && image->Infos.Bits != nullptr && image->Infos.Header.biBitCount == 8 &&
              image->Infos.Header.biCompression == BI_RGB && Left >= 0 && Top >= 0 && Right < image->Width &&
              Bottom < image->Height;
    if (!FDirect && Right >= Left) FRow.resize(std::size_t(std::int64_t(Right) - Left + 1));
}

bool TDIBRectPixelSource::NextRow(const std::uint8_t*& Row, std::int32_t& Count) {
    if (FY > FBottom || FRight < FLeft) return false;
    Count = FRight - FLeft + 1;
    if (FDirect) {
        Row = DIBScanLine(FDib.InternalDIB->Infos, FY) + FLeft;
    } else {
        // Pixels raises its own error for a position outside the image.
        for (std::int32_t i = 0; i < Count; ++i)
            FRow[i] = std::uint8_t(FDib.GetPixels(FLeft + i, FY));
        Row = FRow.data();
    }
    ++FY;
    return true;
}
