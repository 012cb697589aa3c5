// The export's frame rules without a window: frame range, file names, the composition of an
// output frame, the changed rectangle, and the one-pixel picture that never stops changing.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "DocumentFixture.h"
#include "common/GifDecode.h"
#include "editor/model/frameexport.h"
#include "imagelib/KvDIB.h"

namespace {

constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Blue = RGB(0, 0, 255);
constexpr TColor Key = RGB(0, 255, 0);

// A bitmap of the given depth, every pixel Value.
std::unique_ptr<TKvDIB> MakeDIB(int Width, int Height, int BitCount, int Value) {
    auto dib = std::make_unique<TKvDIB>();
    dib->SetBitCount(BitCount);
    dib->SetWidth(Width);
    dib->SetHeight(Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            dib->SetPixels(x, y, Value);
    return dib;
}

class FrameExportFixture : public DocumentFixture {
protected:
    void SetUp() override {
        MakeSolid(*Doc.MainImage, 40, 30, White);
        Doc.RebuildCanvas();
    }

    // Gives channel Channel a solid, opaque cast in its next free slot.
    TBitmap& AddCast(int Channel, int Width, int Height, TColor Colour) {
        return DocumentFixture::AddCast(Channel, Doc.Channels[Channel].CastCount, Width, Height, Colour);
    }
};

} // namespace

TEST_F(FrameExportFixture, LastFrameIsTheLastSetCellOfAChannelWithCasts) {
    EXPECT_EQ(LastExportFrame(Doc), 0);
    Place(3, 120, {0, 0}); // no casts in channel 3
    EXPECT_EQ(LastExportFrame(Doc), 0);
    AddCast(1, 2, 2, Red);
    Place(1, 7, {0, 0});
    AddCast(5, 2, 2, Red);
    Place(5, 12, {0, 0});
    Place(5, 4, {0, 0});
    EXPECT_EQ(LastExportFrame(Doc), 12);
    Place(1, 199, {0, 0});
    EXPECT_EQ(LastExportFrame(Doc), 199);
}

TEST(FrameExportSettings, TargetNamesLookForTheDotInTheFileNameOnly) {
    EXPECT_EQ(ExportTargetName("/out/anim", 1), "/out/anim.gif");
    EXPECT_EQ(ExportTargetName("/out/anim.gif", 1), "/out/anim.gif");
    EXPECT_EQ(ExportTargetName("/out/anim.png", 2), "/out/anim.png");
    EXPECT_EQ(ExportTargetName("/out.d/anim", 2), "/out.d/anim.gif");
    EXPECT_EQ(ExportTargetName("/out.d/walk.bmp", 3), "/out.d/walk");
    EXPECT_EQ(ExportTargetName("/out.d/walk.v2.bmp", 4), "/out.d/walk");
    EXPECT_EQ(ExportTargetName("/out.d/walk", 3), "/out.d/walk");
    EXPECT_EQ(ExportTargetName("/out.d/clip", 5), "/out.d/clip.avi");
    EXPECT_EQ(ExportTargetName("clip.avi", 5), "clip.avi");
    EXPECT_EQ(ExportTargetName("/out.d/x", 6), "/out.d/x");
}

TEST_F(FrameExportFixture, CastDrawnOnAFrameLandsWhereTheCompositionPutsIt) {
    // A cast with a transparent key colour, hanging over the main image's top-left corner.
    TBitmap& cast = AddCast(0, 9, 7, Red);
    cast.Canvas()->Brush = TBrush{Key, bsSolid};
    cast.Canvas()->FillRect(TRect{3, 2, 6, 5});
    Doc.Channels[0].CastTransparent[0] = true;
    Doc.Channels[0].CastKeyPoint[0] = {4, 3};
    Doc.Channels[0].SyncCastTransparency(0);
    Place(0, 2, {52, 51});
    AddCast(1, 5, 5, Blue);
    Place(1, 2, {80, 70});

    TKvDIB drawn;
    drawn.Assign(Doc.MainImage.get());
    EXPECT_EQ(&DrawCastOnDIB(Doc, drawn, *Doc.Channels[0].Casts[0], {52, 51}), &drawn);
    DrawCastOnDIB(Doc, drawn, *Doc.Channels[1].Casts[0], {80, 70});
    EXPECT_EQ(drawn.GetBitCount(), 24);

    TKvDIB composed;
    ComposeExportFrame(Doc, 2, composed);
    ASSERT_EQ(composed.GetBitCount(), 24);
    ASSERT_EQ(composed.GetWidth(), 40);
    ASSERT_EQ(composed.GetHeight(), 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(drawn.GetPixels(x, y), composed.GetPixels(x, y)) << x << ", " << y;
    // Top-left of the red cast at (52 - 4 - 50, 51 - 3 - 50); its key colour left out.
    EXPECT_EQ(TColor(composed.GetPixels(0, 0)), Red);
    EXPECT_EQ(TColor(composed.GetPixels(2, 2)), White);
    EXPECT_EQ(TColor(composed.GetPixels(6, 3)), Red);
    EXPECT_EQ(TColor(composed.GetPixels(7, 3)), White);
    EXPECT_EQ(TColor(composed.GetPixels(28, 18)), Blue);
}

TEST(FrameExportChanges, ChangedRectangleBoundsEveryDifferingPixel) {
    for (const int bitCount : {24, 8, 4}) {
        SCOPED_TRACE(bitCount);
        const int value = bitCount == 24 ? 0x102030 : 3;
        auto a = MakeDIB(10, 8, bitCount, value);
        auto b = MakeDIB(10, 8, bitCount, value);
        TRect r;
        GetChangedRect(*a, *b, r);
        EXPECT_EQ(r, (TRect{9, 7, 0, 0}));

        b->SetPixels(4, 6, bitCount == 24 ? 0x112030 : 1); // only the first stored byte differs
        GetChangedRect(*a, *b, r);
        EXPECT_EQ(r, (TRect{4, 6, 4, 6}));
        b->SetPixels(7, 1, bitCount == 24 ? 0x102031 : 2); // only the last stored byte
        b->SetPixels(2, 3, 0);
        GetChangedRect(*a, *b, r);
        EXPECT_EQ(r, (TRect{2, 1, 7, 6}));
    }

    // One pixel that stays the same still gives a rectangle of one pixel.
    auto a = MakeDIB(1, 1, 24, 0);
    auto b = MakeDIB(1, 1, 24, 0);
    TRect r;
    GetChangedRect(*a, *b, r);
    EXPECT_EQ(r, (TRect{0, 0, 0, 0}));
}

TEST_F(FrameExportFixture, OnePixelImageWritesAnUnchangedLaterFrameAsItsPixel) {
    MakeSolid(*Doc.MainImage, 1, 1, White);
    Doc.RebuildCanvas();
    AddCast(0, 1, 1, White);
    Place(0, 1, {50, 50});
    QTemporaryDir folder;
    const std::string name = folder.filePath("dot.gif").toStdString();
    std::vector<int> positions;
    int max = -1;
    const TExportProgress progress{[&](int Max) { max = Max; },
                                   [&](int Position) { positions.push_back(Position); }};
    ASSERT_TRUE(ExportFrames(Doc, name, TFrameExportSettings{}, progress));
    EXPECT_EQ(max, 1);
    // The histogram pass, back to 0, the output pass.
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 0, 0, 1}));

    QFile file(QString::fromStdString(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const TDecodedGif gif = DecodeGif(TBytes(bytes.begin(), bytes.end()));
    ASSERT_EQ(gif.Frames.size(), 2u);
    EXPECT_EQ((std::array{gif.Frames[1].Left, gif.Frames[1].Top, gif.Frames[1].Width, gif.Frames[1].Height}),
              (std::array{0, 0, 1, 1}));
}
