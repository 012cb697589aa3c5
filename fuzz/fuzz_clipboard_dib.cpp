// CF_DIB block reader: any block either loads an image that writes back to the same block
// and reads again the same, or fails leaving the image read into and all storage as they were.
#include <cstring>
#include <vector>

#include "DIBFuzzImage.h"
#include "imagelib/KvDIB.h"
#include "toolkit/graphics/FileMapping.h"
#include "toolkit/graphics/GlobalMemory.h"

namespace {

std::vector<std::uint8_t> Saved(TKvInternalDIB& Image) {
    const HGLOBAL block = Image.SaveToClipboardFormat();
    const auto* data = static_cast<const std::uint8_t*>(GlobalLock(block));
    std::vector<std::uint8_t> bytes(data, data + GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return bytes;
}

// A global block holding Bytes for as long as the object lives.
struct TBlock {
    HGLOBAL Handle;
    TBlock(const std::uint8_t* Bytes, std::size_t Size) : Handle(GlobalAlloc(GMEM_MOVEABLE, Size)) {
        if (Size != 0) std::memcpy(GlobalLock(Handle), Bytes, Size);
        GlobalUnlock(Handle);
    }
    ~TBlock() { GlobalFree(Handle); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TKvInternalDIB image;
    MakePreviousImage(image);
    const std::vector<std::uint8_t> before = Saved(image);
    const std::size_t mappings = LiveFileMappings();

    const TBlock input(Data, Size);
    try {
        image.LoadFromClipboardFormat(input.Handle);
    } catch (const Exception&) {
        Check(Saved(image) == before, "a failed read changed the image");
        Check(LiveFileMappings() == mappings, "a failed read left storage behind");
        return 0;
    }
    CheckLoadedImage(image);

    const std::vector<std::uint8_t> written = Saved(image);
    const TBlock copy(written.data(), written.size());
    TKvInternalDIB again;
    again.LoadFromClipboardFormat(copy.Handle);
    Check(Saved(again) == written, "a written block does not read back the same");
    return 0;
}
