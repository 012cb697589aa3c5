// JPEG reader: any input either loads a picture no larger than its data could describe, or
// fails with EJPEG leaving the picture read into as it was.
#include "FuzzCheck.h"
#include "toolkit/graphics/JPEGImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TJPEGImage jpeg;
    {
        TBitmap picture;
        picture.SetSize(2, 3);
        picture.Image().setPixel(1, 2, 0xFF123456);
        jpeg.Assign(&picture);
    }
    const QImage before = jpeg.Bitmap().Image();

    TMemoryStream input;
    input.WriteBuffer(Data, static_cast<std::int64_t>(Size));
    input.SetPosition(0);
    try {
        jpeg.LoadFromStream(input);
    } catch (const EJPEG&) {
        Check(jpeg.Bitmap().Image() == before, "a failed read changed the picture");
        return 0;
    }
    const std::uint64_t width = jpeg.GetWidth();
    const std::uint64_t height = jpeg.GetHeight();
    Check(width > 0 && height > 0, "a read gave an empty picture");
    // Every block takes at least a bit of coded data, and whatever the sampling, the
    // components hold at least one block per two 8 x 8 areas of the picture.
    Check((width + 7) / 8 * ((height + 7) / 8) <= 16 * std::uint64_t(Size), "a picture larger than its data");
    return 0;
}
