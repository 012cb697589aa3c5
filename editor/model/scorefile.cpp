// The score file's layout: magics, tail sizes, and the tail's encoding in both directions.
#include "editor/model/scorefile.h"

#include <climits>
#include <vector>

namespace {

constexpr int PointBytes = 8;
constexpr int PositionsBytes = ScoreFrameCount * PointBytes;
constexpr int CellSetBytes = ScoreFrameCount;
constexpr int CastTransparentBytes = CastSlotCount;
constexpr int CastKeyPointBytes = CastSlotCount * PointBytes;
// Version 30 kept 80 bytes where the key points now stand; nothing reads them.
constexpr int V30FillerBytes = 80;

class TTailWriter {
public:
    void Int32(std::int32_t Value) {
        const auto bits = static_cast<std::uint32_t>(Value);
        for (int shift = 0; shift < 32; shift += 8)
            FBytes.push_back(std::uint8_t(bits >> shift));
    }
    void Point(TPoint Value) {
        Int32(Value.X);
        Int32(Value.Y);
    }
    void Boolean(bool Value) { FBytes.push_back(Value ? 1 : 0); }
    const std::vector<std::uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<std::uint8_t> FBytes;
};

class TTailReader {
public:
    explicit TTailReader(const std::uint8_t* Bytes) : FBytes(Bytes) {}
    std::int32_t Int32() {
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= std::uint32_t(FBytes[FPos + i]) << (8 * i);
        FPos += 4;
        return static_cast<std::int32_t>(bits);
    }
    TPoint Point() {
        const std::int32_t x = Int32();
        return TPoint{x, Int32()};
    }
    bool Boolean() { return FBytes[FPos++] != 0; }
    void Skip(int Count) { FPos += Count; }

private:
    const std::uint8_t* FBytes;
    int FPos = 0;
};

} // namespace

std::string_view ScoreMagic(TScoreVersion Version) {
    switch (Version) {
    case sv20:
        return "Palvenor20";
    case sv30:
        return "Palvenor30";
    case sv31:
        return "Palvenor31";
    case sv36:
        break;
    }
    return "Palvenor36";
}

int ScoreChannelRecordSize(TScoreVersion Version) {
    int size = PositionsBytes + CellSetBytes;
    if (Version != sv20) size += CastTransparentBytes;
    if (Version == sv30) size += V30FillerBytes;
    if (Version == sv31 || Version == sv36) size += CastKeyPointBytes;
    return size;
}

int ScoreTailSize(TScoreVersion Version) {
    int size = ChannelCount * ScoreChannelRecordSize(Version) + ScoreFrameCount * 4;
    if (Version == sv36) size += ScoreFrameCount * PointBytes;
    return size + 4 + CastStreamCount * 4;
}

void WriteScoreMagic(TStream& Stream) {
    const std::string_view magic = ScoreMagic(CurrentScoreVersion);
    Stream.WriteBuffer(magic.data(), ScoreMagicSize);
}

std::int32_t WriteScorePicture(TStream& Stream, TGraphic& Graphic) {
    const std::int64_t before = Stream.GetPosition();
    Graphic.SaveToStream(Stream);
    const std::int64_t length = Stream.GetPosition() - before;
    // The tail keeps lengths as Int32; a longer picture could not be read back.
    if (length > INT32_MAX) throw EWriteError(SWriteError);
    return static_cast<std::int32_t>(length);
}

void WriteScoreTail(TStream& Stream, const TScoreTail& Tail) {
    TTailWriter out;
    for (const TScoreChannelRecord& channel : Tail.Channels) {
        for (TPoint p : channel.Positions)
            out.Point(p);
        for (bool set : channel.CellSet)
            out.Boolean(set);
        for (bool transparent : channel.CastTransparent)
            out.Boolean(transparent);
        for (TPoint p : channel.CastKeyPoint)
            out.Point(p);
    }
    for (std::int32_t wait : Tail.FrameWaits)
        out.Int32(wait);
    for (TPoint p : Tail.FramePoints)
        out.Point(p);
    out.Int32(Tail.MainImageSize);
    for (std::int32_t size : Tail.CastImageSizes)
        out.Int32(size);
    Stream.WriteBuffer(out.Bytes().data(), std::int64_t(out.Bytes().size()));
}

void DecodeScoreTail(const std::uint8_t* Bytes, TScoreVersion Version, TScoreTail& Tail) {
    TTailReader in(Bytes);
    for (TScoreChannelRecord& channel : Tail.Channels) {
        for (TPoint& p : channel.Positions)
            p = in.Point();
        for (bool& set : channel.CellSet)
            set = in.Boolean();
        if (Version != sv20)
            for (bool& transparent : channel.CastTransparent)
                transparent = in.Boolean();
        if (Version == sv30) in.Skip(V30FillerBytes);
        if (Version == sv31 || Version == sv36)
            for (TPoint& p : channel.CastKeyPoint)
                p = in.Point();
    }
    for (std::int32_t& wait : Tail.FrameWaits)
        wait = in.Int32();
    if (Version == sv36)
        for (TPoint& p : Tail.FramePoints)
            p = in.Point();
    Tail.MainImageSize = in.Int32();
    for (std::int32_t& size : Tail.CastImageSizes)
        size = in.Int32();
}
