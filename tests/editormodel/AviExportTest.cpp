// The AVI export without a window: the file's layout byte by byte, the frames' pixels, the
// frame range, and what is left behind when the export fails.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

#include "editor/model/aviexport.h"
#include "imagelib/KvDIB.h"
#include "toolkit/AviFileTestReader.h"
#include "toolkit/graphics/AviFile.h"
#include "toolkit/graphics/Exceptions.h"

namespace {

// 101 pixels wide: rows of 104 bytes.
constexpr int Width = 101;
constexpr int Height = 3;
constexpr std::size_t Stride = 104;
constexpr std::uint32_t ImageSize = Stride * Height;
// RIFF header, hdrl list (avih, strl with strh and a 1064-byte strf), movi list header.
constexpr std::size_t FirstChunk = 12 + 8 + 1216 + 12;

class AviExportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TBitmap& main = *Doc.MainImage;
        main.SetPixelFormat(pfDevice);
        main.SetSize(Width, Height);
        for (int x = 0; x < Width; ++x)
            for (int y = 0; y < Height; ++y)
                main.Canvas()->SetPixels(x, y, RGB(x * 2, 80 * y, 255 - x));
        Doc.RebuildCanvas();
        TScoreChannel& channel = Doc.Channels[2];
        TBitmap& cast = channel.EnsureCast(0);
        cast.SetPixelFormat(pfDevice);
        cast.SetSize(4, 2);
        cast.Canvas()->Brush = TBrush{RGB(255, 0, 0), bsSolid};
        cast.Canvas()->FillRect(TRect{0, 0, 4, 2});
        channel.CastTransparent[0] = false;
        channel.SyncCastTransparency(0);
        channel.RecountCasts();
        Doc.FrameWaits.fill(50); // waits play no part
    }

    void Place(int Frame, TPoint Centre) {
        Doc.Channels[2].CellSet[Frame] = true;
        Doc.Channels[2].Positions[Frame] = Centre;
    }

    bool Export(const TExportProgress& Progress = {[](int) {}, [](int) {}}) {
        return ExportAvi(Doc, Path(), Progress);
    }

    std::string Path() const { return (Dir.path() + "/movie.avi").toStdString(); }
    QStringList Files() const { return QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden); }

    // The frame as the output composes it, halftoned.
    std::unique_ptr<TKvDIB> Halftoned(int Frame) const {
        auto dib = std::make_unique<TKvDIB>();
        const std::unique_ptr<TBitmap> composed = Doc.ComposeOutputFrame(Frame);
        dib->Assign(composed.get());
        dib->SetPixelFormat(kvpfHalfTone);
        return dib;
    }

    TEditorDocument Doc;
    QTemporaryDir Dir;
};

} // namespace

TEST_F(AviExportFixture, TwoFrameFileLayout) {
    Place(0, {60, 51});
    Place(1, {100, 52});
    int max = -1;
    std::vector<int> positions;
    ASSERT_TRUE(Export({[&](int Max) { max = Max; }, [&](int Position) { positions.push_back(Position); }}));
    EXPECT_EQ(max, 1);
    EXPECT_EQ(positions, (std::vector<int>{0, 1}));

    const TAviBytes avi = TAviBytes::Load(Path());
    ASSERT_EQ(avi.Data.size(), FirstChunk + 2 * (8 + ImageSize) + 8 + 32);
    EXPECT_EQ(avi.Code(0), "RIFF");
    EXPECT_EQ(avi.U32(4), avi.Data.size() - 8);
    EXPECT_EQ(avi.Code(8), "AVI ");
    EXPECT_EQ(avi.Code(12), "LIST");
    EXPECT_EQ(avi.U32(16), 1216u);
    EXPECT_EQ(avi.Code(20), "hdrl");

    // Main header.
    EXPECT_EQ(avi.Code(24), "avih");
    EXPECT_EQ(avi.U32(28), 56u);
    const std::vector<std::uint32_t> avih = {
        66667, ImageSize * 15, 0, AVIF_HASINDEX, 2, 0, 1, ImageSize, Width, Height, 0, 0, 0, 0};
    for (std::size_t i = 0; i < avih.size(); ++i)
        EXPECT_EQ(avi.U32(32 + 4 * i), avih[i]) << "avih field " << i;

    // Stream header from the stream description.
    EXPECT_EQ(avi.Code(88), "LIST");
    EXPECT_EQ(avi.U32(92), 1140u);
    EXPECT_EQ(avi.Code(96), "strl");
    EXPECT_EQ(avi.Code(100), "strh");
    EXPECT_EQ(avi.U32(104), 56u);
    EXPECT_EQ(avi.Code(108), "vids");
    const std::vector<std::uint32_t> strh = {0, 0, 0, 0, 1, AviFramesPerSecond, 0, 2, ImageSize, 0, 0};
    for (std::size_t i = 0; i < strh.size(); ++i)
        EXPECT_EQ(avi.U32(112 + 4 * i), strh[i]) << "strh field " << i;
    EXPECT_EQ(avi.S16(156), 0);
    EXPECT_EQ(avi.S16(158), 0);
    EXPECT_EQ(avi.S16(160), Width);
    EXPECT_EQ(avi.S16(162), Height);

    // Frame format: 8-bit header and the halftone colours.
    EXPECT_EQ(avi.Code(164), "strf");
    EXPECT_EQ(avi.U32(168), 1064u);
    const std::vector<std::uint32_t> header = {40, Width, Height};
    for (std::size_t i = 0; i < header.size(); ++i)
        EXPECT_EQ(avi.U32(172 + 4 * i), header[i]);
    EXPECT_EQ(avi.U16(184), 1u);
    EXPECT_EQ(avi.U16(186), 8u);
    const std::vector<std::uint32_t> rest = {0, ImageSize, 0, 0, 256, 0};
    for (std::size_t i = 0; i < rest.size(); ++i)
        EXPECT_EQ(avi.U32(188 + 4 * i), rest[i]) << "header field " << i;
    const std::unique_ptr<TKvDIB> main = Halftoned(0);
    for (int i = 0; i < 256; ++i) {
        const std::size_t entry = 212 + 4 * std::size_t(i);
        const TColor color = i < main->GetPaletteSize() ? main->GetColors(i) : 0;
        EXPECT_EQ(avi.Bytes(entry, 4),
                  (std::vector<std::uint8_t>{std::uint8_t(color >> 16), std::uint8_t(color >> 8),
                                             std::uint8_t(color), 0}))
            << "colour " << i;
    }

    // Samples and index.
    EXPECT_EQ(avi.Code(1236), "LIST");
    EXPECT_EQ(avi.U32(1240), 4 + 2 * (8 + ImageSize));
    EXPECT_EQ(avi.Code(1244), "movi");
    const std::size_t index = FirstChunk + 2 * (8 + ImageSize);
    EXPECT_EQ(avi.Code(index), "idx1");
    EXPECT_EQ(avi.U32(index + 4), 32u);
    for (std::size_t f = 0; f < 2; ++f) {
        const std::size_t chunk = FirstChunk + f * (8 + ImageSize);
        EXPECT_EQ(avi.Code(chunk), "00db");
        EXPECT_EQ(avi.U32(chunk + 4), ImageSize);
        const std::size_t entry = index + 8 + 16 * f;
        EXPECT_EQ(avi.Code(entry), "00db");
        EXPECT_EQ(avi.U32(entry + 4), AVIIF_KEYFRAME);
        EXPECT_EQ(avi.U32(entry + 8), chunk - 1244);
        EXPECT_EQ(avi.U32(entry + 12), ImageSize);
    }
    EXPECT_EQ(Files(), QStringList{"movie.avi"});
}

TEST_F(AviExportFixture, FramesAreTheOutputFramesHalftoned) {
    Place(0, {60, 51});
    Place(9, {100, 52}); // frames 1..8 show the main image alone
    ASSERT_TRUE(Export());
    const TAviBytes avi = TAviBytes::Load(Path());
    EXPECT_EQ(avi.U32(48), 10u); // two thirds of a second at 15 a second
    EXPECT_EQ(avi.U32(140), 10u);

    const auto frameBytes = [&](int Frame) {
        return avi.Bytes(FirstChunk + 8 + (8 + ImageSize) * Frame, ImageSize);
    };
    for (int f : {0, 4, 9}) {
        const std::unique_ptr<TKvDIB> expected = Halftoned(f);
        const std::vector<std::uint8_t> bits = frameBytes(f);
        for (int y = 0; y < Height; ++y) {
            const std::size_t row = Stride * std::size_t(Height - 1 - y);
            for (int x = 0; x < Width; ++x)
                ASSERT_EQ(bits[row + std::size_t(x)], expected->GetPixels(x, y))
                    << f << ": " << x << "," << y;
            EXPECT_EQ(bits[row + Width], 0) << "row padding";
        }
    }
    // Frames without set cells are the main image alone; the dither spreads a cast's
    // difference beyond it, so frames with casts are compared through the halftone above.
    const std::unique_ptr<TKvDIB> main = std::make_unique<TKvDIB>();
    main->Assign(Doc.MainImage.get());
    main->SetPixelFormat(kvpfHalfTone);
    const std::vector<std::uint8_t> plain = frameBytes(4);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            ASSERT_EQ(plain[Stride * std::size_t(Height - 1 - y) + std::size_t(x)], main->GetPixels(x, y));
    EXPECT_NE(frameBytes(0), plain);
    EXPECT_EQ(frameBytes(1), plain);
}

TEST_F(AviExportFixture, NothingToOutputWritesNothing) {
    EXPECT_FALSE(Export());            // a cast but no set cell
    Doc.Channels[5].CellSet[3] = true; // a channel without casts
    EXPECT_FALSE(Export());
    EXPECT_TRUE(Files().isEmpty());

    Place(0, {50, 50}); // frame 0 alone is something
    EXPECT_TRUE(Export());
    EXPECT_EQ(TAviBytes::Load(Path()).U32(48), 1u);

    TEditorDocument blank;
    EXPECT_FALSE(ExportAvi(blank, Path(), {[](int) {}, [](int) {}}));
}

TEST_F(AviExportFixture, FailureKeepsTheFileThatWasThere) {
    { std::ofstream(Path()) << "old"; }
    Place(2, {60, 51});
    // An error between frames ends the export.
    EXPECT_THROW(Export({[](int) {},
                         [](int Position) {
                             if (Position == 1) throw EOutOfMemory("out");
                         }}),
                 EOutOfMemory);
    std::string text;
    std::ifstream(Path()) >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(Files(), QStringList{"movie.avi"});

    // A file that cannot be made.
    try {
        ExportAvi(Doc, (Dir.path() + "/missing/movie.avi").toStdString(), {[](int) {}, [](int) {}});
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "異常終了です");
    }
}
