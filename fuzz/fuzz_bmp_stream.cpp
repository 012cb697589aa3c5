// BMP stream reader: any input either loads an image that writes back and reads again
// byte for byte, or fails leaving the image read into and all storage as they were.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

void Check(bool Condition, const char* What) {
    if (Condition) return;
    std::fprintf(stderr, "fuzz_bmp_stream: %s\n", What);
    std::abort();
}

TMemoryStream Saved(TKvInternalDIB& Image) {
    TMemoryStream stream;
    Image.SaveToStream(stream);
    return stream;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TKvInternalDIB image;
    image.FreeDIB();
    image.CreateDIB(3, -2, 24, 1);
    std::memset(image.Infos.Bits, 0x5A, image.Infos.ImageSize);
    const TMemoryStream before = Saved(image);
    const std::size_t mappings = LiveFileMappings();

    TMemoryStream input;
    input.WriteBuffer(Data, static_cast<std::int64_t>(Size));
    input.SetPosition(0);
    try {
        image.LoadFromStream(input);
    } catch (const Exception&) {
        Check(Saved(image).Bytes() == before.Bytes(), "a failed read changed the image");
        Check(LiveFileMappings() == mappings, "a failed read left storage behind");
        return 0;
    }
    const BITMAPINFOHEADER& h = image.Infos.Header;
    Check(image.Width == h.biWidth && image.Height == DIBRowCount(h), "size fields disagree with the header");
    Check(h.biClrUsed <= 256, "colour count above 256");
    Check(image.Infos.ImageSize <= MaxDIBStorage, "storage above 1 GiB");
    if (h.biCompression == BI_RGB)
        Check(image.Infos.ImageSize >= DIBRowLength(h.biWidth, h.biBitCount) * image.Height,
              "storage shorter than the rows");

    TMemoryStream written = Saved(image);
    written.SetPosition(0);
    TKvInternalDIB again;
    again.LoadFromStream(written);
    Check(Saved(again).Bytes() == written.Bytes(), "a written image does not read back the same");
    return 0;
}
