// CF_DIB block reader: any block either loads an image that writes back to the same block
// and reads again the same, or fails leaving the image read into and all storage as they were.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/FileMapping.h"
#include "toolkit/graphics/GlobalMemory.h"

namespace {

void Check(bool Condition, const char* What) {
    if (Condition) return;
    std::fprintf(stderr, "fuzz_clipboard_dib: %s\n", What);
    std::abort();
}

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
    image.FreeDIB();
    image.CreateDIB(3, -2, 24, 1);
    std::memset(image.Infos.Bits, 0x5A, image.Infos.ImageSize);
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
    const BITMAPINFOHEADER& h = image.Infos.Header;
    Check(image.Width == h.biWidth && image.Height == DIBRowCount(h), "size fields disagree with the header");
    Check(h.biClrUsed <= 256, "colour count above 256");
    Check(image.Infos.ImageSize <= MaxDIBStorage, "storage above 1 GiB");
    if (h.biCompression == BI_RGB)
        Check(image.Infos.ImageSize >= DIBRowLength(h.biWidth, h.biBitCount) * image.Height,
              "storage shorter than the rows");

    const std::vector<std::uint8_t> written = Saved(image);
    const TBlock copy(written.data(), written.size());
    TKvInternalDIB again;
    again.LoadFromClipboardFormat(copy.Handle);
    Check(Saved(again) == written, "a written block does not read back the same");
    return 0;
}
