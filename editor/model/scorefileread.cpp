// The reader of score files of every version.
#include "editor/model/scorefile.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "editor/model/picturefile.h"

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
