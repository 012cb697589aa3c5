// The GIF reader of the frame-set editor: a GIF89a file held whole in memory is scanned for
// graphic control extensions, and the next image behind each becomes a new frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Streams.h"

// What a load is told by its caller: where decoded frames go and where progress shows.
struct TGifReadContext {
    // Inserts DecodedFrame with DecodeImage's picture as frame Index.
    std::function<void(int Index)> AddGif;
    std::function<void(int Max)> ProgressMax;
    std::function<void(int Position)> ProgressPosition;
    // An image whose pixel storage would pass this is refused.
    std::int64_t StorageLimit = MaxDIBStorage;
};

// The file being read, from the start of a load to its end.
extern std::unique_ptr<TMemoryStream> GifFileData;
extern std::array<std::uint8_t, 256> ReadBuffer;
extern std::array<TColor, 256> LocalColorTable;

// The stage numbers of the load's error message; NoLoadError when the load succeeded.
constexpr int NoLoadError = -1;
constexpr int SignatureStage = 0;
constexpr int ScreenDescriptorStage = 1;
constexpr int BlockStage = 2;

// Reads GifFileData from its start: signature, screen descriptor, then the block scan,
// which inserts each image at InsertIndex and advances it. Returns the failed stage.
int ReadGifFileData(int& InsertIndex, const TGifReadContext& Context);
// The same over the bytes of a file: GifFileData holds them for the load and is freed at
// its end, also when the load raises an error.
int ReadGifBytes(const std::uint8_t* Data, std::size_t Size, int& InsertIndex,
                 const TGifReadContext& Context);
// The message of a failed stage.
std::string LoadErrorText(int Stage);

// The steps of a load; each returns true on failure.
bool CheckGifSignature();
bool ReadScreenDescriptor();
bool ReadGifBlocks(int& InsertIndex, const TGifReadContext& Context);
bool ReadImageBlock(int& InsertIndex, const TGifReadContext& Context);
// Pass over a whole extension, sub-block by sub-block, from its first length byte.
bool SkipCommentExtension();
bool SkipApplicationExtension();
// Entries of the colour table that a packed byte announces: 2^((Packed & 7) + 1) when
// bit 7 is set, else 0.
int ColorTableEntries(std::uint8_t Packed);
// Joins the image's data sub-blocks from DecodedFrame.DataStart and decodes them, the rows
// in interlace order when Interlaced.
void DecodeImageData(bool Interlaced);

// Frees GifFileData when the load ends, however it ends.
class TGifFileDataScope {
public:
    TGifFileDataScope() { GifFileData = std::make_unique<TMemoryStream>(); }
    ~TGifFileDataScope() { GifFileData.reset(); }
    TGifFileDataScope(const TGifFileDataScope&) = delete;
    TGifFileDataScope& operator=(const TGifFileDataScope&) = delete;
};
