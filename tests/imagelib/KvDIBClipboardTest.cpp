#include <gtest/gtest.h>

#include "KvDIBTestFiles.h"
#include "toolkit/graphics/Clipboard.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

const std::string Op = "TKvInternalDIB.LoadFromClipboardFormat: ";

// Loads a block into an internal image holding a known picture; expects E with Message and
// the picture and all storage unchanged.
template <class E> void ExpectRejected(const TBytes& Bytes, const std::string& Message) {
    TKvDIB known;
    MakeTestDIB(known, 3, 2, 24);
    TKvInternalDIB& image = *known.InternalDIB;
    const TBytes before = SavedBytes(image);
    const std::size_t mappings = LiveFileMappings();
    const TTestBlock block(Bytes);
    try {
        image.LoadFromClipboardFormat(block.Handle());
        ADD_FAILURE() << "no exception, expected " << Message;
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), Message);
    }
    EXPECT_EQ(SavedBytes(image), before);
    EXPECT_EQ(LiveFileMappings(), mappings);
}

TEST(KvDIBClipboard, SavedBlockIsHeaderColoursAndPixels) {
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        TKvDIB dib;
        MakeTestDIB(dib, 5, -3, bits);
        std::uint16_t format = 0;
        THandle data = 0;
        HPALETTE palette = 123;
        dib.SaveToClipboardFormat(format, data, palette);
        EXPECT_EQ(format, CF_DIB);
        EXPECT_EQ(palette, 0u);
        const TBytes block = BlockBytes(data);
        const TBytes file = SavedBytes(dib);
        // The same bytes as the file without its 14-byte header.
        EXPECT_EQ(block, TBytes(file.begin() + 14, file.end()));

        TKvDIB copy;
        copy.LoadFromClipboardFormat(CF_DIB, data, 0);
        EXPECT_EQ(SavedBytes(copy), file);
        GlobalFree(data);
    }
}

TEST(KvDIBClipboard, BlocksOfEveryHeaderForm) {
    // Slack after the pixels counts as pixel bytes.
    TTestDIB slack{.Width = 2, .ClrUsed = 2, .Table = GrayishTable(2), .Pixels = {1, 0, 0, 0, 5, 5}};
    TKvDIB dib;
    const TTestBlock slackBlock(slack.Block());
    dib.LoadFromClipboardFormat(CF_DIB, slackBlock.Handle(), 0);
    EXPECT_EQ(dib.InternalDIB->Infos.ImageSize, 6u);
    EXPECT_EQ(dib.GetPixels(0, 0), 1);

    TTestDIB core{
        .HeaderSize = 12, .Width = 3, .BitCount = 1, .Table = {1, 2, 3, 4, 5, 6}, .Pixels = {0xA0, 0, 0, 0}};
    const TTestBlock coreBlock(core.Block());
    dib.LoadFromClipboardFormat(CF_DIB, coreBlock.Handle(), 0);
    EXPECT_EQ(dib.InternalDIB->Infos.Header.biSize, 40u);
    EXPECT_EQ(dib.GetPaletteSize(), 2);
    EXPECT_EQ(dib.GetColors(1), RGB(6, 5, 4));
    EXPECT_EQ(dib.GetPixels(0, 0), 1);
    EXPECT_EQ(dib.GetPixels(1, 0), 0);
    EXPECT_EQ(dib.GetPixels(2, 0), 1);

    TTestDIB fields{.Width = 2, .Height = -2, .BitCount = 16, .Compression = BI_BITFIELDS, .ClrUsed = 1};
    fields.Masks = {0xF800, 0x07E0, 0x001F};
    fields.Table = {10, 20, 30, 0};
    fields.Pixels = {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00};
    const TTestBlock fieldsBlock(fields.Block());
    dib.LoadFromClipboardFormat(CF_DIB, fieldsBlock.Handle(), 0);
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(248, 252, 248)));
    EXPECT_EQ(dib.GetPixels(1, 0), int(RGB(248, 0, 0)));
    EXPECT_EQ(dib.GetPixels(0, 1), int(RGB(0, 252, 0)));
    EXPECT_EQ(dib.GetPixels(1, 1), int(RGB(0, 0, 248)));
    EXPECT_EQ(dib.GetColors(0), RGB(30, 20, 10));

    // The same with a 124-byte header, which holds the masks.
    fields.HeaderSize = 124;
    const TTestBlock longBlock(fields.Block());
    dib.LoadFromClipboardFormat(CF_DIB, longBlock.Handle(), 0);
    EXPECT_EQ(dib.InternalDIB->Infos.Header.biSize, 40u);
    EXPECT_EQ(dib.GetPixels(0, 0), int(RGB(248, 252, 248)));
    EXPECT_EQ(dib.GetPixels(1, 1), int(RGB(0, 0, 248)));
    EXPECT_EQ(dib.GetColors(0), RGB(30, 20, 10));
}

TEST(KvDIBClipboard, MalformedBlocksAreRefusedAndTheImageKept) {
    TTestDIB good{.Width = 2, .Height = 2, .ClrUsed = 2, .Table = GrayishTable(2), .Pixels = TBytes(8, 1)};
    const std::string badData = "TKvDIB.LoadFromClipboardFormat: Invalid Clipboard Data";

    TTestDIB os2 = good;
    os2.HeaderSize = 64;
    ExpectRejected<EKvDIBInvalidDIB>(os2.Block(), badData);
    // Blocks too short for their own header or colour table.
    const TBytes whole = good.Block();
    ExpectRejected<EKvDIBInvalidDIB>(TBytes(whole.begin(), whole.begin() + 3), badData);
    ExpectRejected<EKvDIBInvalidDIB>(TBytes(whole.begin(), whole.begin() + 30), badData);
    ExpectRejected<EKvDIBInvalidDIB>(TBytes(whole.begin(), whole.begin() + 44), badData);
    TTestDIB manyColors = good;
    manyColors.ClrUsed = 0x10000000;
    ExpectRejected<EKvDIBInvalidDIB>(manyColors.Block(), badData);
    manyColors.ClrUsed = 0x80000000;
    ExpectRejected<EKvDIBInvalidDIB>(manyColors.Block(), Op + "Invalid Color Count");

    ExpectRejected<EKvDIBInvalidDIB>(TBytes(whole.begin(), whole.end() - 1), Op + "Image Data is Too Short");
    TTestDIB rows16{.Width = 3, .Height = 2, .BitCount = 16, .Pixels = TBytes(15, 0)};
    ExpectRejected<EKvDIBInvalidDIB>(rows16.Block(), Op + "Image Data is Too Short");

    TTestDIB flat = good;
    flat.Height = 0;
    ExpectRejected<EKvDIBInvalidDIB>(flat.Block(), Op + "Invalid Width or Height");
    TTestDIB bits2 = good;
    bits2.BitCount = 2;
    ExpectRejected<EKvDIBInvalidDIB>(bits2.Block(), Op + "Invalid biBitCount");
    TTestDIB zeroMask{.Width = 1, .BitCount = 32, .Compression = BI_BITFIELDS, .Pixels = TBytes(4, 0)};
    zeroMask.Masks = {0, 0xFF00, 0xFF};
    ExpectRejected<EKvDIBInvalidDIB>(zeroMask.Block(), Op + "Invalid Masks");
    for (auto [width, height] : {std::pair{30000, 30000}, {2147483647, -2147483647 - 1}}) {
        TTestDIB huge{.Width = width, .Height = height, .BitCount = 32, .Pixels = TBytes(4, 0)};
        ExpectRejected<EKvDIBInvalidDIB>(huge.Block(), Op + "Image is Too Large");
    }
}

TEST(KvDIBClipboard, OnlyDIBDataIsAccepted) {
    TKvDIB dib;
    MakeTestDIB(dib, 2, 2, 8);
    const TBytes before = SavedBytes(dib);
    const TTestBlock block(TTestDIB{.Pixels = {0, 0, 0, 0}}.Block());
    const std::string message = "TKvDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data";
    for (auto [format, data] : {std::pair<std::uint16_t, THandle>{CF_BITMAP, block.Handle()}, {CF_DIB, 0}}) {
        try {
            dib.LoadFromClipboardFormat(format, data, 0);
            ADD_FAILURE();
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(SavedBytes(dib), before);
    }
    // A failed read leaves the bitmap with a blank 1 x 1 image.
    const TTestBlock bad(TBytes(8, 0));
    EXPECT_THROW(dib.LoadFromClipboardFormat(CF_DIB, bad.Handle(), 0), EKvDIBInvalidDIB);
    EXPECT_EQ(dib.Width(), 1);
    EXPECT_EQ(dib.GetPaletteSize(), 2);
}

TEST(KvDIBClipboard, AssigningTheClipboardLoadsItsDIB) {
    TKvDIB source;
    MakeTestDIB(source, 4, 3, 24);
    Clipboard().Assign(&source);
    TKvDIB pasted;
    pasted.Assign(&Clipboard());
    EXPECT_TRUE(SamePicture(pasted, source));

    Clipboard().Clear();
    EXPECT_THROW(pasted.Assign(&Clipboard()), EInvalidGraphic);
    // The clipboard was closed again after the failure.
    Clipboard().Assign(&source);
    pasted.Assign(&Clipboard());
    EXPECT_EQ(pasted.Width(), 4);
}

} // namespace
