#include "frameset/model/gifreadlzw.h"

#include "frameset/model/gifreadframes.h"

namespace {

// Changes the side first that keeps the blank picture in between smaller, so a change of
// shape never asks for more storage than the old or the new picture. A side of zero is
// changed first, so the picture refuses it before any storage is asked for; of two, the
// width, which is set first.
void SizeDecodeImage(int Width, int Height) {
    const std::int64_t widthFirst = DIBRowLength(Width, 8) * DecodeImage->Height();
    const std::int64_t heightFirst = DIBRowLength(DecodeImage->Width(), 8) * Height;
    if (Width <= 0 || (Height != 0 && widthFirst <= heightFirst)) {
        DecodeImage->SetWidth(Width);
        DecodeImage->SetHeight(Height);
    } else {
        DecodeImage->SetHeight(Height);
        DecodeImage->SetWidth(Width);
    }
}

// The rows of an 8-bit picture, stored bottom-up unless its height is negative.
TLzwRows PictureRows(const TKvDIBInfos& Infos) {
    const std::ptrdiff_t stride = DIBRowLength(Infos.Header.biWidth, 8);
    return TLzwRows{DIBScanLine(Infos, 0), Infos.Header.biHeight > 0 ? -stride : stride,
                    Infos.Bits + Infos.ImageSize};
}

} // namespace

void DecodeLzwImage(const std::uint8_t* Data, std::size_t Length, bool Interlaced,
                    const std::array<TColor, 256>& LocalColorTable, TLzwDecoder& Decoder) {
    SizeDecodeImage(DecodedFrame.Width, DecodedFrame.Height);
    DecodedFrame.TransparentPoint.X = NoTransparentPoint;

    const bool local = DecodedFrame.LocalColorCount != 0;
    const int count = local ? DecodedFrame.LocalColorCount : GlobalColorCount;
    const std::array<TColor, 256>& table = local ? LocalColorTable : GlobalColorTable;
    // Mostly the picture holds the table already, from the image before; its own table is
    // read where it stands (a change may give the picture new storage).
    DecodeImage->SetPaletteSize(count);
    for (int i = 0; i < count; ++i) {
        const TColor color = table[static_cast<std::size_t>(i)];
        const RGBQUAD& held = DecodeImage->InternalDIB->Infos.ColorTable[i];
        if (RGB(held.rgbRed, held.rgbGreen, held.rgbBlue) != color) DecodeImage->SetColors(i, color);
    }

    // The rows are written directly: the picture must not share its storage with a frame.
    DecodeImage->UniqueDIB();
    Decoder.Decode(Data, Length, DecodedFrame.BitsPerPixel, PictureRows(DecodeImage->InternalDIB->Infos),
                   DecodeImage->Width(), DecodeImage->Height(), Interlaced);
    TPoint point;
    if (Decoder.LastPixelOf(DecodedFrame.TransparentIndex, point)) DecodedFrame.TransparentPoint = point;
}
