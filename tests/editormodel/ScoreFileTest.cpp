// Score files: the layout of each version, the writer's round trip, files written by hand,
// and files that are short or corrupt.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "DocumentFixture.h"
#include "editor/model/scorefile.h"
#include "imagelib/KvDIBTestFiles.h"

namespace {

constexpr TColor Red = 0x000000FF;
constexpr TColor Green = 0x0000FF00;
constexpr TColor Blue = 0x00FF0000;
constexpr TColor White = 0x00FFFFFF;
constexpr TColor Grey = 0x00808080;

std::vector<std::uint8_t> BmpBytes(TBitmap& Bitmap) {
    TMemoryStream stream;
    Bitmap.SaveToStream(stream);
    return stream.Bytes();
}

void PutCast(TScoreChannel& Channel, int Slot, TColor Fill, TColor Corner) {
    Channel.EnsureCast(Slot).Assign(Picture(6, 4, Fill, Corner).get());
    Channel.SyncCastTransparency(Slot);
}

void SetMainImage(TEditorDocument& Doc, int Width, int Height, TColor Fill) {
    Doc.MainImage->Assign(Picture(Width, Height, Fill, Fill).get());
    Doc.RebuildCanvas();
}

TColor PixelOf(TBitmap* Bitmap, int X, int Y) {
    return Bitmap == nullptr ? CLR_INVALID : Bitmap->Canvas()->GetPixels(X, Y);
}

// A score file written by hand, field by field, in little-endian order.
class TFileBytes {
public:
    TFileBytes& Text(const std::string& Value) {
        Bytes.insert(Bytes.end(), Value.begin(), Value.end());
        return *this;
    }
    TFileBytes& Raw(const std::vector<std::uint8_t>& Value) {
        Bytes.insert(Bytes.end(), Value.begin(), Value.end());
        return *this;
    }
    TFileBytes& Int32(std::int32_t Value) {
        for (int i = 0; i < 4; ++i)
            Bytes.push_back(std::uint8_t(std::uint32_t(Value) >> (8 * i)));
        return *this;
    }
    TFileBytes& Point(int X, int Y) { return Int32(X).Int32(Y); }
    TFileBytes& Fill(std::size_t Count, std::uint8_t Value) {
        Bytes.insert(Bytes.end(), Count, Value);
        return *this;
    }
    std::vector<std::uint8_t> Bytes;
};

// A channel record: position (ch, f) for frame f, cells set on even frames; Transparent and
// KeyPoints (20 entries) where the version has them, and version 30's block filled with 0xEE.
void ChannelRecord(TFileBytes& File, TScoreVersion Version, int Ch) {
    for (int f = 0; f < ScoreFrameCount; ++f)
        File.Point(Ch * 1000 + f, -f);
    for (int f = 0; f < ScoreFrameCount; ++f)
        File.Fill(1, f % 2 == 0 ? 1 : 0);
    if (Version == sv20) return;
    // Any non-zero byte counts as true.
    for (int s = 0; s < CastSlotCount; ++s)
        File.Fill(1, s % 2 == 0 ? 0x7F : 0);
    if (Version == sv30)
        File.Fill(80, 0xEE);
    else
        for (int s = 0; s < CastSlotCount; ++s)
            File.Point(s % 6, s % 4);
}

// A hand-written file of Version: a main image, one cast in channel 0 slot 0, waits f * 3,
// frame points (f, 1) in version 36.
std::vector<std::uint8_t> HandWritten(TScoreVersion Version, const std::vector<std::uint8_t>& Main,
                                      const std::vector<std::uint8_t>& Cast) {
    TFileBytes file;
    file.Text(std::string(ScoreMagic(Version))).Raw(Main).Raw(Cast);
    for (int ch = 0; ch < ChannelCount; ++ch)
        ChannelRecord(file, Version, ch);
    for (int f = 0; f < ScoreFrameCount; ++f)
        file.Int32(f * 3);
    if (Version == sv36)
        for (int f = 0; f < ScoreFrameCount; ++f)
            file.Point(f, 1);
    file.Int32(std::int32_t(Main.size()));
    file.Int32(std::int32_t(Cast.size()));
    file.Fill(4 * (CastStreamCount - 1), 0);
    return file.Bytes;
}

TScoreLoadResult Read(const std::vector<std::uint8_t>& Bytes, TEditorDocument& Doc) {
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), std::int64_t(Bytes.size()));
    return ReadScoreFile(stream, Doc);
}

std::vector<std::uint8_t> Write(const TEditorDocument& Doc) {
    TMemoryStream stream;
    WriteScoreFile(stream, Doc);
    return stream.Bytes();
}

std::int32_t Int32At(const std::vector<std::uint8_t>& Bytes, std::size_t Offset) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t(Bytes.at(Offset + i)) << (8 * i);
    return std::int32_t(value);
}

// Every used slot has a picture and no unused slot has one; counts are within the slots.
void ExpectConsistent(const TEditorDocument& Doc) {
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const TScoreChannel& channel = Doc.Channels[ch];
        for (int s = 0; s < CastSlotCount; ++s)
            EXPECT_EQ(channel.CastUsed[s], channel.Casts[s] != nullptr) << ch << "/" << s;
        EXPECT_GE(channel.CastCount, 0);
        EXPECT_LE(channel.CastCount, CastSlotCount);
    }
    if (Doc.CanvasBitmap != nullptr) {
        EXPECT_EQ(Doc.CanvasBitmap->Width(), Doc.MainImage->Width() + 2 * CanvasMargin);
        EXPECT_EQ(Doc.MainImageRect.Right - Doc.MainImageRect.Left, Doc.MainImage->Width());
    }
}

} // namespace

TEST(ScoreFileLayout, TailAndRecordSizesOfEachVersion) {
    EXPECT_EQ(ScoreTailSize(sv36), 23004);
    EXPECT_EQ(ScoreTailSize(sv31), 21404);
    EXPECT_EQ(ScoreTailSize(sv30), 20604);
    EXPECT_EQ(ScoreTailSize(sv20), 19604);
    EXPECT_EQ(ScoreChannelRecordSize(sv36), 1980);
    EXPECT_EQ(ScoreChannelRecordSize(sv31), 1980);
    EXPECT_EQ(ScoreChannelRecordSize(sv30), 1900);
    EXPECT_EQ(ScoreChannelRecordSize(sv20), 1800);
    EXPECT_EQ(ScoreTailSize(sv20), MinScoreTailSize);
}

class ScoreFileTest : public ::testing::Test {
protected:
    // A main image, casts in channel 0 slots 0 and 1 and channel 3 slot 0, cells, positions,
    // transparency flags, key points, waits and frame points all differing from the defaults.
    void MakeDocument() {
        SetMainImage(Doc, 30, 20, Grey);
        Doc.MainImage->Canvas()->SetPixels(29, 19, Blue);
        Doc.RebuildCanvas();
        TScoreChannel& ch0 = Doc.Channels[0];
        PutCast(ch0, 0, Red, Green);
        PutCast(ch0, 1, Green, Blue);
        ch0.CastTransparent[1] = false;
        ch0.CastKeyPoint[0] = TPoint{0, 0};
        ch0.CastKeyPoint[1] = TPoint{5, 3};
        ch0.SyncCastTransparency(0);
        ch0.SyncCastTransparency(1);
        ch0.RecountCasts();
        TScoreChannel& ch3 = Doc.Channels[3];
        PutCast(ch3, 0, Blue, White);
        ch3.CastKeyPoint[0] = TPoint{2, 2};
        ch3.CastTransparent[7] = false; // an unused slot's flag travels too
        ch3.SyncCastTransparency(0);
        ch3.RecountCasts();
        for (int f = 0; f < ScoreFrameCount; ++f) {
            Doc.Channels[f % ChannelCount].CellSet[f] = true;
            Doc.Channels[f % ChannelCount].Positions[f] = TPoint{f - 7, 2 * f};
            Doc.FrameWaits[f] = f * 5;
            Doc.FramePoints[f] = f % 3 == 0 ? TPoint{f % 30, f % 20} : TPoint{-1, 0};
        }
    }

    TEditorDocument Doc;
};

TEST_F(ScoreFileTest, RoundTripRestoresTablesPicturesAndTransparency) {
    MakeDocument();
    const std::vector<std::uint8_t> bytes = Write(Doc);

    TEditorDocument loaded;
    const TScoreLoadResult result = Read(bytes, loaded);
    ASSERT_TRUE(result.Accepted);
    EXPECT_EQ(result.Version, sv36);
    EXPECT_TRUE(result.MainImageLoaded);
    ExpectConsistent(loaded);

    for (int ch = 0; ch < ChannelCount; ++ch) {
        SCOPED_TRACE("channel " + std::to_string(ch));
        const TScoreChannel& a = Doc.Channels[ch];
        const TScoreChannel& b = loaded.Channels[ch];
        EXPECT_EQ(a.Positions, b.Positions);
        EXPECT_EQ(a.CellSet, b.CellSet);
        EXPECT_EQ(a.CastTransparent, b.CastTransparent);
        EXPECT_EQ(a.CastKeyPoint, b.CastKeyPoint);
        EXPECT_EQ(a.CastUsed, b.CastUsed);
        EXPECT_EQ(a.CastCount, b.CastCount);
    }
    EXPECT_EQ(loaded.FrameWaits, Doc.FrameWaits);
    EXPECT_EQ(loaded.FramePoints, Doc.FramePoints);

    EXPECT_EQ(loaded.MainImage->Width(), 30);
    EXPECT_EQ(loaded.MainImage->Height(), 20);
    EXPECT_EQ(PixelOf(loaded.MainImage.get(), 29, 19), Blue);
    EXPECT_EQ(loaded.MainImage->GetPixelFormat(), pfDevice);
    ASSERT_NE(loaded.CanvasBitmap, nullptr);
    EXPECT_EQ(loaded.MainImageRect, (TRect{50, 50, 80, 70}));
    EXPECT_EQ(PixelOf(loaded.CanvasBitmap.get(), 79, 69), Blue);
    EXPECT_EQ(PixelOf(loaded.CanvasBitmap.get(), 0, 0), loaded.BackgroundColor);

    TBitmap* cast0 = loaded.Channels[0].Cast(0);
    TBitmap* cast1 = loaded.Channels[0].Cast(1);
    TBitmap* cast3 = loaded.Channels[3].Cast(0);
    ASSERT_TRUE(cast0 && cast1 && cast3);
    EXPECT_EQ(PixelOf(cast0, 0, 0), Green);
    EXPECT_EQ(PixelOf(cast0, 3, 2), Red);
    EXPECT_TRUE(cast0->GetTransparent());
    EXPECT_EQ(cast0->GetTransparentColor(), Green);
    EXPECT_FALSE(cast1->GetTransparent());
    EXPECT_EQ(cast1->GetTransparentColor(), Green); // the pixel at (5, 3)
    EXPECT_EQ(cast3->GetTransparentColor(), Blue);
    EXPECT_EQ(cast3->GetPixelFormat(), pfDevice);

    // Writing what was read gives the same file.
    EXPECT_EQ(Write(loaded), bytes);
}

TEST_F(ScoreFileTest, WrittenFileIsMagicPicturesAndTailAtFixedOffsets) {
    SetMainImage(Doc, 7, 5, Grey);
    PutCast(Doc.Channels[0], 0, Red, Red);
    Doc.Channels[0].RecountCasts();
    Doc.FrameWaits[0] = 11;
    Doc.FramePoints[1] = TPoint{3, 4};
    Doc.Channels[1].Positions[0] = TPoint{-5, 6};
    const std::vector<std::uint8_t> bytes = Write(Doc);

    const std::size_t m = BmpBytes(*Doc.MainImage).size();
    const std::size_t c = BmpBytes(*Doc.Channels[0].Cast(0)).size();
    ASSERT_EQ(bytes.size(), 10 + m + c + 23004);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 10), "Palvenor36");
    EXPECT_EQ(bytes[10], 'B');
    EXPECT_EQ(bytes[10 + m], 'B');
    const std::size_t tail = 10 + m + c;
    EXPECT_EQ(Int32At(bytes, tail + 1980), -5); // channel 1, frame 0
    EXPECT_EQ(Int32At(bytes, tail + 1984), 6);
    EXPECT_EQ(bytes[tail + 1600], 0);                // no cell set
    EXPECT_EQ(bytes[tail + 1800], 1);                // channel 0 slot 0 transparent
    EXPECT_EQ(Int32At(bytes, tail + 19800), 11);     // FrameWaits[0]
    EXPECT_EQ(Int32At(bytes, tail + 20600), -1);     // FramePoints[0] = none
    EXPECT_EQ(Int32At(bytes, tail + 20608), 3);      // FramePoints[1]
    EXPECT_EQ(Int32At(bytes, tail + 22200), int(m)); // MainImageSize
    EXPECT_EQ(Int32At(bytes, tail + 22204), int(c)); // CastImageSizes[0]
    for (int i = 1; i < CastStreamCount; ++i)
        ASSERT_EQ(Int32At(bytes, tail + 22204 + 4 * i), 0) << i;
}

TEST_F(ScoreFileTest, WithoutMainImageNothingIsWrittenAndTheOpenImageStays) {
    PutCast(Doc.Channels[0], 0, Red, Red);
    const std::vector<std::uint8_t> bytes = Write(Doc);
    EXPECT_EQ(Int32At(bytes, bytes.size() - 23004 + 22200), 0);

    TEditorDocument other;
    SetMainImage(other, 9, 8, Blue);
    const TScoreLoadResult result = Read(bytes, other);
    EXPECT_TRUE(result.Accepted);
    EXPECT_FALSE(result.MainImageLoaded);
    EXPECT_EQ(other.MainImage->Width(), 9);
    EXPECT_EQ(PixelOf(other.CanvasBitmap.get(), 50, 50), Blue);
    EXPECT_NE(other.Channels[0].Cast(0), nullptr);
}

TEST_F(ScoreFileTest, HandWrittenVersion36ReadsEveryField) {
    const std::vector<std::uint8_t> main = BmpBytes(*Picture(4, 4, Green, Green));
    const std::vector<std::uint8_t> cast = BmpBytes(*Picture(6, 4, Red, Blue));
    const TScoreLoadResult result = Read(HandWritten(sv36, main, cast), Doc);
    ASSERT_TRUE(result.Accepted);
    EXPECT_EQ(result.Version, sv36);
    EXPECT_EQ(Doc.Channels[4].Positions[7], (TPoint{4007, -7}));
    EXPECT_TRUE(Doc.Channels[4].CellSet[6]);
    EXPECT_FALSE(Doc.Channels[4].CellSet[7]);
    EXPECT_TRUE(Doc.Channels[9].CastTransparent[2]); // stored as 0x7F
    EXPECT_FALSE(Doc.Channels[9].CastTransparent[3]);
    EXPECT_EQ(Doc.Channels[2].CastKeyPoint[5], (TPoint{5, 1}));
    EXPECT_EQ(Doc.FrameWaits[199], 597);
    EXPECT_EQ(Doc.FramePoints[12], (TPoint{12, 1}));
    // Slot 0's key point is (0, 0), the blue corner.
    ASSERT_NE(Doc.Channels[0].Cast(0), nullptr);
    EXPECT_EQ(Doc.Channels[0].Cast(0)->GetTransparentColor(), Blue);
    EXPECT_EQ(Doc.Channels[0].CastCount, 1);
}

TEST_F(ScoreFileTest, OlderVersionsKeepWhatTheyDoNotHold) {
    const std::vector<std::uint8_t> main = BmpBytes(*Picture(4, 4, Green, Green));
    const std::vector<std::uint8_t> cast = BmpBytes(*Picture(6, 4, Red, Blue));
    for (TScoreVersion version : {sv31, sv30, sv20}) {
        SCOPED_TRACE(std::string(ScoreMagic(version)));
        TEditorDocument doc;
        doc.FramePoints[5] = TPoint{2, 3};
        for (int ch = 0; ch < ChannelCount; ++ch) {
            doc.Channels[ch].CastKeyPoint.fill(TPoint{3, 3});
            doc.Channels[ch].CastTransparent.fill(false);
        }
        const TScoreLoadResult result = Read(HandWritten(version, main, cast), doc);
        ASSERT_TRUE(result.Accepted);
        EXPECT_EQ(result.Version, version);
        ExpectConsistent(doc);
        // Every version holds positions, cells and waits.
        EXPECT_EQ(doc.Channels[3].Positions[9], (TPoint{3009, -9}));
        EXPECT_TRUE(doc.Channels[3].CellSet[0]);
        EXPECT_EQ(doc.FrameWaits[10], 30);
        EXPECT_EQ(doc.FramePoints[5], (TPoint{2, 3}));

        TScoreChannel& ch0 = doc.Channels[0];
        TBitmap* loaded = ch0.Cast(0);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(PixelOf(loaded, 5, 3), Red);
        if (version == sv31) {
            EXPECT_EQ(ch0.CastKeyPoint[0], (TPoint{0, 0}));
            EXPECT_EQ(doc.Channels[1].CastKeyPoint[7], (TPoint{1, 3}));
        } else {
            // Key points of slots without a stream stay; the loaded slot's is its corner.
            EXPECT_EQ(ch0.CastKeyPoint[0], (TPoint{0, 0}));
            EXPECT_EQ(doc.Channels[1].CastKeyPoint[7], (TPoint{3, 3}));
        }
        EXPECT_EQ(loaded->GetTransparentColor(), Blue);
        if (version == sv20) {
            EXPECT_TRUE(ch0.CastTransparent[0]);
            EXPECT_TRUE(loaded->GetTransparent());
            EXPECT_FALSE(doc.Channels[1].CastTransparent[0]); // no stream: kept
        } else {
            EXPECT_FALSE(ch0.CastTransparent[1]);
            EXPECT_TRUE(ch0.CastTransparent[0]);
            EXPECT_TRUE(loaded->GetTransparent());
        }
    }
}

TEST_F(ScoreFileTest, FilesTooShortOrWithoutMagicLeaveTheDocumentUntouched) {
    MakeDocument();
    const std::vector<std::uint8_t> good = Write(Doc);
    std::vector<std::vector<std::uint8_t>> bad;
    bad.emplace_back(); // empty
    bad.emplace_back(TFileBytes().Text("Palvenor20").Fill(19604 - 10, 0).Bytes);
    bad.emplace_back(TFileBytes().Text("Palvenor36").Fill(23003, 0).Bytes); // tail reaches the magic
    bad.emplace_back(TFileBytes().Text("Palvenor37").Fill(30000, 0).Bytes);
    bad.emplace_back(TFileBytes().Text("palvenor36").Fill(30000, 0).Bytes);
    bad.emplace_back(good.begin(), good.begin() + 19603);

    for (std::size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_FALSE(Read(bad[i], Doc).Accepted);
        EXPECT_EQ(Write(Doc), good);
    }
    // The smallest acceptable version 20 file.
    TEditorDocument fresh;
    EXPECT_TRUE(Read(TFileBytes().Text("Palvenor20").Fill(19604, 0).Bytes, fresh).Accepted);
}

TEST_F(ScoreFileTest, AFileThatFailsToLoadLeavesTheDocumentAsItWas) {
    SetMainImage(Doc, 9, 8, Blue);
    PutCast(Doc.Channels[0], 0, White, Grey);
    Doc.Channels[0].RecountCasts();
    // Everything the load could change: what a score file holds, the counts and the canvas.
    auto state = [&] {
        std::vector<std::uint8_t> bytes = Write(Doc);
        for (const TScoreChannel& channel : Doc.Channels)
            bytes.push_back(std::uint8_t(channel.CastCount));
        const std::vector<std::uint8_t> canvas = BmpBytes(*Doc.CanvasBitmap);
        bytes.insert(bytes.end(), canvas.begin(), canvas.end());
        return bytes;
    };
    const std::vector<std::uint8_t> before = state();

    const std::vector<std::uint8_t> main = BmpBytes(*Picture(4, 4, Green, Green));
    const std::vector<std::uint8_t> cast = BmpBytes(*Picture(6, 4, Red, Blue));
    const std::size_t tail = 10 + main.size() + cast.size();
    auto patched = [&](std::size_t Offset, std::int32_t Value) {
        std::vector<std::uint8_t> bytes = HandWritten(sv36, main, cast);
        for (int i = 0; i < 4; ++i)
            bytes[tail + Offset + i] = std::uint8_t(std::uint32_t(Value) >> (8 * i));
        return bytes;
    };
    std::vector<std::uint8_t> garbled = HandWritten(sv36, main, cast);
    garbled[10 + main.size()] = 'X';

    const std::vector<std::vector<std::uint8_t>> files = {
        // Main image lengths below 0, past the end, or over the tail's bytes as a picture.
        patched(22200, -1), patched(22200, INT32_MIN), patched(22200, INT32_MAX),
        patched(22200, std::int32_t(tail + 23004)),
        // A cast length past the end, and bytes that are no BMP, after a good main image.
        patched(22204, 1 << 30), garbled};
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THROW(Read(files[i], Doc), Exception);
        EXPECT_TRUE(state() == before);
    }
}

// Every layout the image library reads for a cast file loads from a score file too: RLE8,
// RLE4, 16-bit bit fields and the 12-byte core header.
TEST_F(ScoreFileTest, CastsOfEveryBmpLayoutOfTheImageLibraryLoad) {
    // Three colours: (10, 20, 30), red, blue.
    auto threeColors = [](std::int32_t Width, std::int32_t Height, std::uint16_t BitCount,
                          std::uint32_t Compression, TBytes Pixels) {
        TTestDIB dib;
        dib.Width = Width;
        dib.Height = Height;
        dib.BitCount = BitCount;
        dib.Compression = Compression;
        dib.ClrUsed = 3;
        dib.Table = {30, 20, 10, 0, 0, 0, 255, 0, 255, 0, 0, 0};
        dib.Pixels = std::move(Pixels);
        return dib.File();
    };
    TTestDIB fields;
    fields.Width = 2;
    fields.BitCount = 16;
    fields.Compression = BI_BITFIELDS;
    fields.Masks = {0xF800, 0x07E0, 0x001F};
    fields.Pixels = {0xFF, 0xFF, 0x1F, 0x00};
    TTestDIB core;
    core.HeaderSize = 12;
    core.Width = 3;
    core.BitCount = 1;
    core.Table = {0, 0, 0, 255, 255, 255};
    core.Pixels = {0xA0, 0, 0, 0};
    const std::vector<TBytes> casts{threeColors(4, 2, 8, BI_RLE8, {2, 1, 2, 2, 0, 0, 4, 0, 0, 1}),
                                    threeColors(4, 1, 4, BI_RLE4, {4, 0x12, 0, 1}), fields.File(),
                                    core.File()};
    const std::vector<std::vector<TColor>> expected{
        {RGB(10, 20, 30), RGB(10, 20, 30), RGB(10, 20, 30), RGB(10, 20, 30), Red, Red, Blue, Blue},
        {Red, Blue, Red, Blue},
        {RGB(248, 252, 248), RGB(0, 0, 248)},
        {White, 0, White},
    };

    TFileBytes file;
    file.Text("Palvenor36");
    for (const TBytes& cast : casts)
        file.Raw(cast);
    for (int ch = 0; ch < ChannelCount; ++ch)
        ChannelRecord(file, sv36, ch);
    file.Fill(4 * ScoreFrameCount + 8 * ScoreFrameCount, 0).Int32(0);
    for (const TBytes& cast : casts)
        file.Int32(std::int32_t(cast.size()));
    file.Fill(4 * (CastStreamCount - casts.size()), 0);

    ASSERT_TRUE(Read(file.Bytes, Doc).Accepted);
    EXPECT_EQ(Doc.Channels[0].CastCount, 4);
    for (std::size_t s = 0; s < casts.size(); ++s) {
        SCOPED_TRACE("slot " + std::to_string(s));
        TBitmap* cast = Doc.Channels[0].Cast(int(s));
        ASSERT_NE(cast, nullptr);
        const int width = cast->Width();
        ASSERT_EQ(std::size_t(width * cast->Height()), expected[s].size());
        for (std::size_t i = 0; i < expected[s].size(); ++i)
            EXPECT_EQ(PixelOf(cast, int(i) % width, int(i) / width), expected[s][i]) << i;
    }
}

TEST_F(ScoreFileTest, LoadingOverMoreCastsKeepsTheSurplusSlots) {
    TEditorDocument source;
    PutCast(source.Channels[2], 0, Red, Red);
    PutCast(source.Channels[2], 1, Green, Green);
    const std::vector<std::uint8_t> bytes = Write(source);

    const TColor marks[] = {White, White, Blue, Grey, Green};
    for (int s = 0; s < 5; ++s)
        PutCast(Doc.Channels[2], s, marks[s], marks[s]);
    ASSERT_TRUE(Read(bytes, Doc).Accepted);
    EXPECT_EQ(PixelOf(Doc.Channels[2].Cast(0), 1, 1), Red);
    EXPECT_EQ(PixelOf(Doc.Channels[2].Cast(1), 1, 1), Green);
    EXPECT_EQ(PixelOf(Doc.Channels[2].Cast(3), 1, 1), Grey);
    EXPECT_EQ(Doc.Channels[2].CastCount, 5);
}

TEST_F(ScoreFileTest, CastCountStopsAtTheFirstUnusedSlot) {
    TEditorDocument source;
    PutCast(source.Channels[4], 3, Red, Red);
    const std::vector<std::uint8_t> bytes = Write(source);
    ASSERT_TRUE(Read(bytes, Doc).Accepted);
    EXPECT_NE(Doc.Channels[4].Cast(3), nullptr);
    EXPECT_EQ(Doc.Channels[4].CastCount, 0);
}

TEST_F(ScoreFileTest, FarOutPositionsAreBroughtIntoRangeAndComposeSafely) {
    const std::vector<std::uint8_t> cast = BmpBytes(*Picture(6, 4, Red, Blue));
    std::vector<std::uint8_t> bytes = HandWritten(sv36, BmpBytes(*Picture(4, 4, Green, Green)), cast);
    const std::size_t tail = bytes.size() - 23004;
    for (int i = 0; i < 4; ++i) {
        bytes[tail + i] = std::uint8_t(std::uint32_t(INT32_MIN) >> (8 * i));     // frame 0 X
        bytes[tail + 4 + i] = std::uint8_t(std::uint32_t(INT32_MAX) >> (8 * i)); // frame 0 Y
    }
    ASSERT_TRUE(Read(bytes, Doc).Accepted);
    const TPoint p = Doc.Channels[0].Positions[0];
    EXPECT_LT(p.X, -1000000);
    EXPECT_GT(p.Y, 1000000);
    EXPECT_EQ(Doc.ComposeOutputFrame(0)->Width(), 4);
}
