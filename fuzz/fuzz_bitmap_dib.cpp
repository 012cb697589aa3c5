// The toolkit bitmap's readers: the input as a BMP stream, and its bytes after the file
// header as a CF_DIB block. Either a read fails leaving the bitmap as it was, or the
// picture it gives writes back and reads again at the same size (true-colour pictures
// pixel for pixel).
#include <cstring>

#include "FuzzCheck.h"
#include "toolkit/graphics/GlobalMemory.h"
#include "toolkit/graphics/Graphics.h"

namespace {

void CheckRoundTrip(TBitmap& Bitmap) {
    Check(!Bitmap.Empty(), "a read gave an empty bitmap");
    Check(std::uint64_t(Bitmap.Width()) * std::uint64_t(Bitmap.Height()) <= (std::uint64_t(1) << 28),
          "storage above 1 GiB");
    TMemoryStream written;
    Bitmap.SaveToStream(written);
    written.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(written);
    Check(again.Width() == Bitmap.Width() && again.Height() == Bitmap.Height(),
          "the size changed on the way back");
    // Indexed pictures may hold indices past their colour table, saved as the nearest entry.
    if (Bitmap.GetPixelFormat() > pf8bit)
        Check(again.Image() == Bitmap.Image(), "the pixels changed on the way back");
}

void Prepare(TBitmap& Bitmap) {
    Bitmap.SetSize(2, 3);
    Bitmap.Image().setPixel(1, 2, 0xFF123456);
}

void CheckUnchanged(TBitmap& Bitmap) {
    Check(Bitmap.Width() == 2 && Bitmap.Height() == 3, "a failed read changed the size");
    Check(Bitmap.Image().pixel(1, 2) == 0xFF123456, "a failed read changed the pixels");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    {
        TBitmap bitmap;
        Prepare(bitmap);
        TMemoryStream input;
        input.WriteBuffer(Data, static_cast<std::int64_t>(Size));
        input.SetPosition(0);
        bool loaded = true;
        try {
            bitmap.LoadFromStream(input);
        } catch (const EInvalidGraphic&) {
            loaded = false;
            CheckUnchanged(bitmap);
        }
        if (loaded && !bitmap.Empty()) CheckRoundTrip(bitmap);
    }
    if (Size > 14) {
        TBitmap bitmap;
        Prepare(bitmap);
        const HGLOBAL block = GlobalAlloc(GHND, Size - 14);
        std::memcpy(GlobalLock(block), Data + 14, Size - 14);
        GlobalUnlock(block);
        try {
            bitmap.LoadFromClipboardFormat(CF_DIB, block, 0);
            CheckRoundTrip(bitmap);
        } catch (const EInvalidGraphic&) {
            CheckUnchanged(bitmap);
        }
        GlobalFree(block);
    }
    return 0;
}
