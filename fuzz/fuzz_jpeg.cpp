// JPEG reader: any input either loads a picture within the 1 GiB limit (and, Huffman-coded, no
// larger than its data could describe), or fails with EJPEG leaving the picture as it was.
#include "FuzzCheck.h"
#include "toolkit/graphics/JPEGImage.h"

namespace {

// Arithmetic-coded frames (SOF9 on) code a flat picture in a few bytes whatever its size, so
// the bound below holds for Huffman coding only. Any such marker pair in the input counts.
bool MayBeArithmeticCoded(const std::uint8_t* Data, std::size_t Size) {
    for (std::size_t i = 0; i + 1 < Size; ++i)
        if (Data[i] == 0xFF && Data[i + 1] >= 0xC9 && Data[i + 1] <= 0xCF) return true;
    return false;
}

} // namespace

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
    Check(width * height * 4 <= (std::uint64_t(1) << 30), "a picture above 1 GiB");
    // Every Huffman-coded block takes at least a bit of coded data, and whatever the
    // sampling, the components hold at least one block per two 8 x 8 areas of the picture.
    if (!MayBeArithmeticCoded(Data, Size))
        Check((width + 7) / 8 * ((height + 7) / 8) <= 16 * std::uint64_t(Size),
              "a picture larger than its data");
    return 0;
}
