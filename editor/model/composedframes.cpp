#include "editor/model/composedframes.h"

#include <cstring>
#include <new>

#include "imagelib/KvDIB.h"

namespace {

const TKvDIBInfos& Storage(const TKvDIB& Image, const char* Where) {
    const TKvInternalDIB* image = Image.InternalDIB;
    DIBAssert(image != nullptr && image->Infos.Bits != nullptr && image->Infos.Header.biBitCount == 24 &&
                  image->Infos.Header.biCompression == BI_RGB,
              std::string(Where) + ": Invalid DIB Format");
    return image->Infos;
}

// What precedes the bytes of a run: its offset in the image and its length.
constexpr std::size_t RunHead = 8;

std::size_t Word32(const std::uint8_t* From) {
    std::uint32_t value;
    std::memcpy(&value, From, 4);
    return value;
}

} // namespace

void TComposedFrames::BeginFrame() {
    const bool first = FFrames.empty();
    FFrames.push_back({first ? NotKept : FBytes.size(), FBytes.size()});
}

void TComposedFrames::AddRun(TKvDIB& Frame, int Y, int Left, int Right) {
    DIBAssert(!FFrames.empty(), "TComposedFrames.AddRun: No Frame Begun");
    TRange& frame = FFrames.back();
    if (frame.Begin == NotKept) return;
    const TKvDIBInfos& image = Storage(Frame, "TComposedFrames.AddRun");
    if (Y < 0 || Y >= Frame.GetHeight() || Left < 0 || Left > Right || Right >= Frame.GetWidth())
        throw EKvDIBPixelPositionRange("TComposedFrames.AddRun: Pixel Position is Out of Range");
    FImageSize = image.ImageSize;
    const std::uint8_t* bytes = DIBScanLine(image, Y) + 3 * Left;
    const std::size_t length = std::size_t(Right - Left + 1) * 3;
    if (FBytes.size() + RunHead + length > FRoom) {
        FBytes.resize(frame.Begin);
        frame = {NotKept, NotKept};
        return;
    }
    if (FBytes.capacity() < FRoom) {
        // The whole room at once: a growing buffer would hold two copies while it moves.
        try {
            FBytes.reserve(FRoom);
        } catch (const std::bad_alloc&) {
            FRoom = 0;
            frame = {NotKept, NotKept};
            return;
        }
    }
    const std::uint32_t head[2] = {std::uint32_t(bytes - image.Bits), std::uint32_t(length)};
    const auto* headBytes = reinterpret_cast<const std::uint8_t*>(head);
    FBytes.insert(FBytes.end(), headBytes, headBytes + RunHead);
    FBytes.insert(FBytes.end(), bytes, bytes + length);
    frame.End = FBytes.size();
}

bool TComposedFrames::Restore(int Index, TKvDIB& Work) const {
    if (Index < 0 || std::size_t(Index) >= FFrames.size() || FFrames[std::size_t(Index)].Begin == NotKept)
        return false;
    const TRange& range = FFrames[std::size_t(Index)];
    if (range.Begin == range.End) return true; // the same as the frame before
    DIBAssert(Storage(Work, "TComposedFrames.Restore").ImageSize == FImageSize,
              "TComposedFrames.Restore: Image Sizes Differ");
    Work.UniqueDIB();
    std::uint8_t* bits = Work.InternalDIB->Infos.Bits;
    for (std::size_t at = range.Begin; at < range.End;) {
        const std::size_t offset = Word32(&FBytes[at]), length = Word32(&FBytes[at + 4]);
        std::memcpy(bits + offset, &FBytes[at + RunHead], length);
        at += RunHead + length;
    }
    return true;
}
