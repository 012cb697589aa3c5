// The reader of score files of every version.
#include "editor/model/scorefile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "editor/model/picturefile.h"
#include "toolkit/graphics/DIBHeader.h"

namespace {

bool MatchMagic(const char* Magic, TScoreVersion& Version) {
    // Compared newest first, as the versions were added.
    for (TScoreVersion candidate : {sv36, sv31, sv30, sv20}) {
        if (ScoreMagic(candidate) == std::string_view(Magic, ScoreMagicSize)) {
            Version = candidate;
            return true;
        }
    }
    return false;
}

// A file may hold any values; the document keeps positions in range.
TPoint StoredPosition(TPoint P) {
    return ClampPosition(P.X, P.Y);
}

void ApplyTail(const TScoreTail& Tail, TScoreVersion Version, TEditorDocument& Document) {
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const TScoreChannelRecord& record = Tail.Channels[ch];
        TScoreChannel& channel = Document.Channels[ch];
        std::transform(record.Positions.begin(), record.Positions.end(), channel.Positions.begin(),
                       StoredPosition);
        channel.CellSet = record.CellSet;
        if (Version != sv20) channel.CastTransparent = record.CastTransparent;
        if (Version == sv31 || Version == sv36) channel.CastKeyPoint = record.CastKeyPoint;
    }
    Document.FrameWaits = Tail.FrameWaits;
    if (Version == sv36) Document.FramePoints = Tail.FramePoints;
}

// The next picture of the file, Size bytes from the position, read as a BMP file the way a
// main image or cast file is read.
std::unique_ptr<TBitmap> ReadPicture(TStream& Stream, std::int32_t Size, const TPictureFits& Fits) {
    if (Size < 0 || Size > Stream.Remaining()) throw EReadError(SReadError);
    TMemoryStream bytes;
    bytes.SetSize(Size);
    Stream.ReadBuffer(bytes.Memory(), Size);
    return ReadBmpPicture(bytes, Fits);
}

// The size the BMP headers of the picture of Size bytes at Start declare; false when there
// are no headers the reader takes (reading the picture then fails with the reader's error).
bool DeclaredSize(TStream& Stream, std::int64_t Start, std::int32_t Size, std::int64_t& Width,
                  std::int64_t& Height) {
    constexpr std::int32_t fileHeader = 14;
    std::uint8_t bytes[fileHeader + MaxDIBHeaderSize];
    if (Size < fileHeader + 4) return false;
    Stream.SetPosition(Start);
    Stream.ReadBuffer(bytes, fileHeader + 4);
    std::uint32_t headerSize = 0;
    std::memcpy(&headerSize, bytes + fileHeader, 4);
    if (bytes[0] != 'B' || bytes[1] != 'M' || !IsDIBHeaderSize(headerSize) ||
        std::int64_t(Size) < fileHeader + std::int64_t(headerSize))
        return false;
    Stream.ReadBuffer(bytes + fileHeader + 4, headerSize - 4);
    const BITMAPINFOHEADER& info = DIBHeaderLayout(bytes + fileHeader).Info;
    Width = info.biWidth;
    Height = std::abs(std::int64_t(info.biHeight));
    return Width > 0;
}

// The memory the document's pictures will take once the file is in, from the sizes its
// pictures declare: the main image with its canvas and each cast the file holds take the
// place of the document's own; slots without a stream keep what they hold. Counting stops at
// a picture that cannot be where the tail says, whose reading fails first.
std::int64_t PictureMemoryAfterLoad(TStream& Stream, const TScoreTail& Tail,
                                    const TEditorDocument& Document) {
    std::int64_t memory = Document.HeldPictureMemory();
    std::int64_t start = ScoreMagicSize;
    const std::int64_t end = Stream.GetSize();
    // Adds the picture at start as it declares itself, with a canvas of Margin on every side
    // when Margin is not 0; false once a picture cannot be there.
    auto declared = [&](std::int32_t Size, std::int64_t Margin) {
        if (Size < 0 || Size > end - start) return false;
        std::int64_t width = 0;
        std::int64_t height = 0;
        if (DeclaredSize(Stream, start, Size, width, height)) {
            memory += PictureMemory(width, height);
            if (Margin != 0) memory += PictureMemory(width + 2 * Margin, height + 2 * Margin);
        }
        start += Size;
        return true;
    };
    if (Tail.MainImageSize != 0) {
        if (Document.CanvasBitmap != nullptr)
            memory -= PictureMemory(Document.MainImage->Width(), Document.MainImage->Height()) +
                      PictureMemory(Document.CanvasBitmap->Width(), Document.CanvasBitmap->Height());
        if (!declared(Tail.MainImageSize, CanvasMargin)) return memory;
    }
    for (int ch = 0; ch < ChannelCount; ++ch) {
        for (int s = 0; s < CastSlotCount; ++s) {
            const std::int32_t size = Tail.CastImageSizes[ch * CastSlotCount + s];
            if (size == 0) continue;
            if (TBitmap* held = Document.Channels[ch].Cast(s))
                memory -= PictureMemory(held->Width(), held->Height());
            if (!declared(size, 0)) return memory;
        }
    }
    return memory;
}

// The slots in use from slot 0 up to the first unused one.
int LeadingCastCount(const TScoreChannel& Channel) {
    const auto unused = std::find(Channel.CastUsed.begin(), Channel.CastUsed.end(), false);
    return static_cast<int>(unused - Channel.CastUsed.begin());
}

// A cast picture read from the file, ready for its slot.
struct TStagedCast {
    int Channel = 0;
    int Slot = 0;
    std::unique_ptr<TBitmap> Picture;
    bool Transparent = false;
    TPoint Key{};
};

// The transparency a loaded cast takes: version 20 makes every cast transparent, and versions
// 30 and 20 take the colour of its top-left pixel.
TStagedCast StageCast(int Channel, int Slot, std::unique_ptr<TBitmap> Picture, const TScoreTail& Tail,
                      TScoreVersion Version) {
    const TScoreChannelRecord& record = Tail.Channels[Channel];
    TStagedCast cast{Channel, Slot, std::move(Picture), record.CastTransparent[Slot],
                     record.CastKeyPoint[Slot]};
    if (Version == sv20) cast.Transparent = true;
    if (Version == sv30 || Version == sv20) cast.Key = TPoint{0, 0};
    PrepareCastPicture(*cast.Picture, cast.Transparent, cast.Key);
    return cast;
}

} // namespace

TScoreLoadResult ReadScoreFile(TStream& Stream, TEditorDocument& Document, const TScoreProgress& Progress) {
    TScoreLoadResult result;
    const std::int64_t fileSize = Stream.GetSize();
    if (fileSize < MinScoreTailSize) return result;
    char magic[ScoreMagicSize];
    Stream.SetPosition(0);
    Stream.ReadBuffer(magic, ScoreMagicSize);
    if (!MatchMagic(magic, result.Version)) return result;
    const int tailSize = ScoreTailSize(result.Version);
    if (fileSize < std::int64_t(tailSize) + ScoreMagicSize) return result;

    // Everything is read and built aside first: a picture that cannot be read or held
    // leaves the document as it was.
    std::vector<std::uint8_t> tailBytes(static_cast<std::size_t>(tailSize));
    Stream.SetPosition(fileSize - tailSize);
    Stream.ReadBuffer(tailBytes.data(), tailSize);
    TScoreTail tail;
    DecodeScoreTail(tailBytes.data(), result.Version, tail);

    // A file whose pictures would take more memory than any real document is refused before
    // any of them is made, as a picture that cannot be made would be.
    if (PictureMemoryAfterLoad(Stream, tail, Document) > MaxDocumentPictureBytes)
        throw EOutOfResources(SOutOfResources);

    Stream.SetPosition(ScoreMagicSize);
    std::optional<TMainImageStage> mainImage;
    if (tail.MainImageSize != 0) {
        const TPictureFits fits = [&](int Width, int Height) {
            return Document.MainImageFits(Width, Height);
        };
        mainImage = Document.StageMainImage(ReadPicture(Stream, tail.MainImageSize, fits));
    }

    std::vector<TStagedCast> casts;
    for (int ch = 0; ch < ChannelCount; ++ch) {
        if (Progress) Progress(ch);
        for (int s = 0; s < CastSlotCount; ++s) {
            const std::int32_t size = tail.CastImageSizes[ch * CastSlotCount + s];
            if (size != 0)
                casts.push_back(
                    StageCast(ch, s, ReadPicture(Stream, size, PictureSizeFits), tail, result.Version));
        }
    }

    // Nothing from here on can fail: the document takes the whole file at once.
    result.Accepted = true;
    ApplyTail(tail, result.Version, Document);
    if (mainImage) {
        Document.InstallMainImage(std::move(*mainImage));
        result.MainImageLoaded = true;
    }
    for (TStagedCast& cast : casts)
        Document.Channels[cast.Channel].InstallCast(cast.Slot, std::move(cast.Picture), cast.Transparent,
                                                    cast.Key);
    for (TScoreChannel& channel : Document.Channels)
        channel.CastCount = LeadingCastCount(channel);
    return result;
}
