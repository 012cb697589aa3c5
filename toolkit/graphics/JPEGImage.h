// JPEG pictures, decoded and encoded through libjpeg.
#pragma once

#include <memory>

#include "toolkit/graphics/Graphics.h"

TOOLKIT_EXCEPTION(EJPEG, EInvalidGraphic)

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    std::string ClassName() const override { return "TJPEGImage"; }

protected:
    void AssignTo(TPersistent* Dest) override;

public:
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    bool GetEmpty() override;
    int GetHeight() override;
    int GetWidth() override;
    void SetHeight(int Value) override;
    void SetWidth(int Value) override;
    // Decodes one JPEG image: the rest of the stream; CMYK pictures come out as RGB. A
    // damaged file (libjpeg's error or warning, more than 100 progressive scans, a picture
    // too large, or Huffman-coded and larger than its data could describe) raises EJPEG
    // with libjpeg's message and leaves the picture as it was. A picture whose size SizeFits
    // refuses is refused as too large before it is decoded.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    void LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette) override;
    void SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) override;

    // The decoded picture.
    TBitmap& Bitmap() { return *FBitmap; }
    int CompressionQuality = 90;
    // Whether the one who reads a picture can hold what it makes of one of Width x Height;
    // it must not raise.
    using TSizeCheck = std::function<bool(int Width, int Height)>;
    TSizeCheck SizeFits;

private:
    std::unique_ptr<TBitmap> FBitmap;
};
