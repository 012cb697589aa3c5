#include "editor/model/composedframes.h"

#include <algorithm>
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

// Images are compared a word of 8 bytes at a time; a run of changed words ends where two
// unchanged words follow, since one unchanged word costs no more to keep than a new run's
// offset and length.
constexpr std::size_t WordBytes = 8;
// Where nothing changed, whole blocks are passed over at once.
constexpr std::size_t BlockBytes = 256;

bool SameWord(const std::uint8_t* A, const std::uint8_t* B, std::size_t At, std::size_t Size) {
    if (At + WordBytes > Size) return std::memcmp(A + At, B + At, Size - At) == 0;
    std::uint64_t a, b;
    std::memcpy(&a, A + At, WordBytes);
    std::memcpy(&b, B + At, WordBytes);
    return a == b;
}

// What precedes the bytes of a run: its offset in the image and its length.
constexpr std::size_t RunHead = 8;

std::size_t Word32(const std::uint8_t* From) {
    std::uint32_t value;
    std::memcpy(&value, From, 4);
    return value;
}

} // namespace

void TComposedFrames::Add(TKvDIB& Frame, TKvDIB* Before) {
    if (Before == nullptr) {
        FFrames.push_back({NotKept, NotKept});
        return;
    }
    const TKvDIBInfos& frame = Storage(Frame, "TComposedFrames.Add");
    const TKvDIBInfos& before = Storage(*Before, "TComposedFrames.Add");
    DIBAssert(frame.ImageSize == before.ImageSize, "TComposedFrames.Add: Image Sizes Differ");
    FImageSize = frame.ImageSize;
    if (FBytes.capacity() < FRoom) {
        // The whole room at once: a growing buffer would hold two copies while it moves.
        try {
            FBytes.reserve(FRoom);
        } catch (const std::bad_alloc&) {
            FRoom = 0;
        }
    }

    const std::uint8_t* a = frame.Bits;
    const std::uint8_t* b = before.Bits;
    const std::size_t size = frame.ImageSize, begin = FBytes.size();
    std::size_t at = 0;
    while (at < size) {
        if (at + BlockBytes <= size && std::memcmp(a + at, b + at, BlockBytes) == 0) {
            at += BlockBytes;
            continue;
        }
        if (SameWord(a, b, at, size)) {
            at += WordBytes;
            continue;
        }
        std::size_t end = at + WordBytes;
        while (end < size && !(SameWord(a, b, end, size) &&
                               (end + WordBytes >= size || SameWord(a, b, end + WordBytes, size))))
            end += WordBytes;
        end = std::min(end, size);
        if (FBytes.size() + RunHead + (end - at) > FRoom) {
            FBytes.resize(begin);
            FFrames.push_back({NotKept, NotKept});
            return;
        }
        const std::uint32_t head[2] = {std::uint32_t(at), std::uint32_t(end - at)};
        const auto* headBytes = reinterpret_cast<const std::uint8_t*>(head);
        FBytes.insert(FBytes.end(), headBytes, headBytes + RunHead);
        FBytes.insert(FBytes.end(), a + at, a + end);
        at = end;
    }
    FFrames.push_back({begin, FBytes.size()});
}

bool TComposedFrames::Restore(int Index, TKvDIB& Work) const {
    if (Index < 0 || std::size_t(Index) >= FFrames.size() || FFrames[std::size_t(Index)].Begin == NotKept)
        return false;
    DIBAssert(Storage(Work, "TComposedFrames.Restore").ImageSize == FImageSize,
              "TComposedFrames.Restore: Image Sizes Differ");
    Work.UniqueDIB();
    std::uint8_t* bits = Work.InternalDIB->Infos.Bits;
    const TRange& range = FFrames[std::size_t(Index)];
    for (std::size_t at = range.Begin; at < range.End;) {
        const std::size_t offset = Word32(&FBytes[at]), length = Word32(&FBytes[at + 4]);
        std::memcpy(bits + offset, &FBytes[at + RunHead], length);
        at += RunHead + length;
    }
    return true;
}
