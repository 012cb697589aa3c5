// BMP stream reader: any input either loads an image that writes back and reads again
// byte for byte, or fails leaving the image read into and all storage as they were.
#include "DIBFuzzImage.h"
#include "imagelib/KvDIB.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

TMemoryStream Saved(TKvInternalDIB& Image) {
    TMemoryStream stream;
    Image.SaveToStream(stream);
    return stream;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TKvInternalDIB image;
    MakePreviousImage(image);
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
    CheckLoadedImage(image);

    TMemoryStream written = Saved(image);
    written.SetPosition(0);
    TKvInternalDIB again;
    again.LoadFromStream(written);
    Check(Saved(again).Bytes() == written.Bytes(), "a written image does not read back the same");
    return 0;
}
