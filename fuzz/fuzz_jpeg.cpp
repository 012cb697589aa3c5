// JPEG reader: any input either loads a picture within the 1 GiB limit (and, Huffman-coded, no
// larger than its data could describe), or fails with EJPEG leaving the picture as it was.
#include "FuzzCheck.h"
#include "toolkit/graphics/JPEGImage.h"

namespace {

enum TArithmeticFrames { NoArithmeticFrame, SmallArithmeticFrame, LargeArithmeticFrame };

// Arithmetic-coded frames (SOF9 on) code a flat picture in a few bytes whatever its size: the
// bound below holds for Huffman coding only, and a few bytes may declare a valid picture of
// up to the 1 GiB limit. Those of more than four million pixels are left out, so every load
// stays within the fuzzer's memory. Every such marker in the input counts.
TArithmeticFrames ArithmeticFrames(const std::uint8_t* Data, std::size_t Size) {
    TArithmeticFrames found = NoArithmeticFrame;
    for (std::size_t i = 0; i + 1 < Size; ++i) {
        if (Data[i] != 0xFF || Data[i + 1] < 0xC9 || Data[i + 1] > 0xCF) continue;
        found = SmallArithmeticFrame;
        if (i + 9 > Size) continue;
        const std::uint64_t height = Data[i + 5] << 8 | Data[i + 6];
        const std::uint64_t width = Data[i + 7] << 8 | Data[i + 8];
        if (width * height > (std::uint64_t(1) << 22)) return LargeArithmeticFrame;
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const TArithmeticFrames arithmetic = ArithmeticFrames(Data, Size);
    if (arithmetic == LargeArithmeticFrame) return 0;
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
    if (arithmetic == NoArithmeticFrame)
        Check((width + 7) / 8 * ((height + 7) / 8) <= 16 * std::uint64_t(Size),
              "a picture larger than its data");
    return 0;
}
