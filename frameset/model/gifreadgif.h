// The GIF reader of the frame-set editor: a GIF89a file held whole in memory is scanned for
// graphic control extensions, and the next image behind each becomes a new frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gif/lzwdecode.h"
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

// The stage numbers of the load's error message; NoLoadError when the load succeeded.
constexpr int NoLoadError = -1;
constexpr int SignatureStage = 0;
constexpr int ScreenDescriptorStage = 1;
constexpr int BlockStage = 2;

// Entries of the colour table that a packed byte announces: 2^((Packed & 7) + 1) when
// bit 7 is set, else 0.
int ColorTableEntries(std::uint8_t Packed);

// One load of a file: its bytes, the buffer each block is read into, the image's local
// colour table, its data gathered for the decoder and the decoder itself, all freed when the
// load ends, however it ends.
class TGifReader {
public:
    // A reader whose file comes from ReadFile.
    TGifReader() = default;
    // A reader of the Size bytes of Data.
    TGifReader(const std::uint8_t* Data, std::size_t Size);
    TGifReader(const TGifReader&) = delete;
    TGifReader& operator=(const TGifReader&) = delete;

    // Copies the file into GifFileData in pieces of ReadBuffer's size.
    void ReadFile(const std::string& FileName);
    // Reads GifFileData from its start: signature, screen descriptor, then the block scan,
    // which inserts each image at InsertIndex and advances it. Returns the failed stage.
    int ReadGifFileData(int& InsertIndex, const TGifReadContext& Context);

    // The steps of a load; each returns true on failure.
    bool CheckGifSignature();
    bool ReadScreenDescriptor();
    bool ReadGifBlocks(int& InsertIndex, const TGifReadContext& Context);
    bool ReadImageBlock(int& InsertIndex, const TGifReadContext& Context);
    // Pass over a whole extension, sub-block by sub-block, from its first length byte.
    bool SkipCommentExtension();
    bool SkipApplicationExtension();
    // Joins the image's data sub-blocks from DecodedFrame.DataStart and decodes them, the rows
    // in interlace order when Interlaced.
    void DecodeImageData(bool Interlaced);

private:
    bool ReadBytes(std::int64_t Count);
    std::int32_t Word(std::size_t At) const;
    bool ReadColorTable(std::array<TColor, 256>& Table, int Count);
    bool PassSubBlocks(std::int64_t& Length);
    bool SkipExtension();
    bool SkipBytes(std::int64_t Count);
    bool SkipImage();
    bool ReadControlBody();
    bool SeekImageSeparator();
    bool ReadExtension(std::uint8_t Label, int& InsertIndex, const TGifReadContext& Context);

    // The file being read.
    TMemoryStream GifFileData;
    std::array<std::uint8_t, 256> ReadBuffer{};
    std::array<TColor, 256> LocalColorTable{};
    // The image data joined for the decoder: one buffer serves every image of the load.
    std::vector<std::uint8_t> FGatheredData;
    TLzwDecoder FDecoder;
};

// Reads the Size bytes of Data, a whole file, as ReadGifFileData does.
int ReadGifBytes(const std::uint8_t* Data, std::size_t Size, int& InsertIndex,
                 const TGifReadContext& Context);
// The message of a failed stage.
std::string LoadErrorText(int Stage);
