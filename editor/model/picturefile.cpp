#include "editor/model/picturefile.h"

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Clipboard.h"
#include "toolkit/graphics/FilePaths.h"
#include "toolkit/graphics/JPEGImage.h"

namespace {

// A bitmap holding a copy of Dib at 24 bits per pixel. A picture that does not fit is refused
// first, with the error of Reader, which read Dib as it is stored.
std::unique_ptr<TBitmap> CopyAt24Bits(TKvDIB& Dib, const TPictureFits& Fits, const char* Reader) {
    if (!Fits(Dib.GetWidth(), Dib.GetHeight())) throw ImageTooLarge(Reader);
    Dib.SetPixelFormat(kvpf24Bit);
    auto picture = std::make_unique<TBitmap>();
    picture->Assign(&Dib);
    return picture;
}

} // namespace

bool IsBmpPath(const std::string& FileName) {
    const std::size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || dot < FileNameStart(FileName) || dot + 1 == FileName.size()) return false;
    // Only the ASCII letter matters; bytes of other characters never equal 'b' or 'B'.
    return FileName[dot + 1] == 'B' || FileName[dot + 1] == 'b';
}

std::unique_ptr<TBitmap> ReadPictureFile(const std::string& FileName, const TPictureFits& Fits) {
    if (IsBmpPath(FileName)) {
        TKvDIB dib;
        dib.LoadFromFile(FileName);
        return CopyAt24Bits(dib, Fits, StreamReaderName);
    }
    TJPEGImage jpeg;
    jpeg.SizeFits = Fits;
    jpeg.LoadFromFile(FileName);
    auto picture = std::make_unique<TBitmap>();
    picture->Assign(&jpeg);
    return picture;
}

std::unique_ptr<TBitmap> ReadBmpPicture(TStream& Stream, const TPictureFits& Fits) {
    TKvDIB dib;
    dib.LoadFromStream(Stream);
    return CopyAt24Bits(dib, Fits, StreamReaderName);
}

std::unique_ptr<TBitmap> ReadClipboardPicture(const TPictureFits& Fits) {
    if (!Clipboard().HasFormat(CF_BITMAP)) return nullptr;
    TKvDIB dib;
    dib.Assign(&Clipboard());
    return CopyAt24Bits(dib, Fits, ClipboardReaderName);
}

std::unique_ptr<TBitmap> NewBlankPicture(int Width, int Height, TColor Color) {
    TKvDIB dib;
    dib.SetWidth(Width);
    dib.SetHeight(Height);
    dib.SetPixelFormat(kvpf24Bit);
    {
        TKvDIBCanvas canvas(&dib);
        canvas.Brush = TBrush{Color, bsSolid};
        canvas.FillRect(TRect{0, 0, Width, Height});
    }
    auto picture = std::make_unique<TBitmap>();
    picture->Assign(&dib);
    return picture;
}
