// The reader of score files of every version.
#include "editor/model/scorefile.h"

#include <algorithm>
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
std::unique_ptr<TBitmap> ReadPicture(TStream& Stream, std::int32_t Size) {
    if (Size < 0 || Size > Stream.Remaining()) throw EReadError(SReadError);
    TMemoryStream bytes;
    bytes.SetSize(Size);
    Stream.ReadBuffer(bytes.Memory(), Size);
    return ReadBmpPicture(bytes);
}

// The slots in use from slot 0 up to the first unused one.
int LeadingCastCount(const TScoreChannel& Channel) {
    const auto unused = std::find(Channel.CastUsed.begin(), Channel.CastUsed.end(), false);
    return static_cast<int>(unused - Channel.CastUsed.begin());
}

// Counts the casts however the load ends, so the counts always match the slots it filled.
class TCastCounter {
public:
    explicit TCastCounter(TEditorDocument& Document) : FDocument(Document) {}
    ~TCastCounter() {
        for (TScoreChannel& channel : FDocument.Channels)
            channel.CastCount = LeadingCastCount(channel);
    }
    TCastCounter(const TCastCounter&) = delete;
    TCastCounter& operator=(const TCastCounter&) = delete;

private:
    TEditorDocument& FDocument;
};

void LoadCast(TScoreChannel& Channel, int Slot, std::unique_ptr<TBitmap> Picture, TScoreVersion Version) {
    // A used slot keeps its bitmap object; only the picture changes.
    Channel.EnsureCast(Slot).Assign(Picture.get());
    if (Version == sv20) Channel.CastTransparent[Slot] = true;
    if (Version == sv30 || Version == sv20) Channel.CastKeyPoint[Slot] = TPoint{0, 0};
    Channel.SyncCastTransparency(Slot);
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
    result.Accepted = true;

    std::vector<std::uint8_t> tailBytes(static_cast<std::size_t>(tailSize));
    Stream.SetPosition(fileSize - tailSize);
    Stream.ReadBuffer(tailBytes.data(), tailSize);
    TScoreTail tail;
    DecodeScoreTail(tailBytes.data(), result.Version, tail);
    ApplyTail(tail, result.Version, Document);

    Stream.SetPosition(ScoreMagicSize);
    if (tail.MainImageSize != 0) {
        // Installed only once decoded: a broken picture leaves the old image and canvas whole.
        Document.MainImage->Assign(ReadPicture(Stream, tail.MainImageSize).get());
        Document.RebuildCanvas();
        result.MainImageLoaded = true;
    }

    TCastCounter counter(Document);
    for (int ch = 0; ch < ChannelCount; ++ch) {
        if (Progress) Progress(ch);
        for (int s = 0; s < CastSlotCount; ++s) {
            const std::int32_t size = tail.CastImageSizes[ch * CastSlotCount + s];
            if (size == 0) continue;
            LoadCast(Document.Channels[ch], s, ReadPicture(Stream, size), result.Version);
        }
    }
    return result;
}
