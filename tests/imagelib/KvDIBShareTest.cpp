#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstring>

#include "KvDIBTestFiles.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

// Counts OnChange events of a bitmap.
struct TChangeCounter {
    int Count = 0;
    explicit TChangeCounter(TKvDIB& DIB) {
        DIB.OnChange = [this](TObject*) { ++Count; };
    }
};

TEST(KvDIBShare, ANewBitmapHoldsABlackOneByOneImage) {
    TKvDIB dib;
    EXPECT_EQ(dib.Width(), 1);
    EXPECT_EQ(dib.Height(), 1);
    EXPECT_EQ(dib.GetBitCount(), 8);
    EXPECT_EQ(dib.GetPaletteSize(), 2);
    EXPECT_EQ(dib.GetColors(0), clBlack);
    EXPECT_EQ(dib.GetColors(1), clBlack);
    EXPECT_EQ(dib.GetPixels(0, 0), 0);
    EXPECT_EQ(dib.GetPixelFormat(), kvpf8Bit);
    EXPECT_FALSE(dib.Empty());
    EXPECT_TRUE(dib.PaletteModified);
    EXPECT_EQ(dib.ConvertMode, kvcmLow);
    EXPECT_EQ(dib.MaskColor, 0xFFFFFFu);
    EXPECT_EQ(dib.HalftoneMode, kvhtNone);
    EXPECT_EQ(dib.GetClipboardFormat(), CF_DIB);
}

TEST(KvDIBShare, AssignSharesUntilTheFirstChange) {
    const std::size_t mappings = LiveFileMappings();
    {
        TKvDIB a, b;
        MakeTestDIB(a, 4, 3, 8);
        a.MaskColor = clRed;
        a.ConvertMode = kvcmHigh;
        a.HalftoneMode = kvhtBW;
        a.ProgressText = "kept";
        TChangeCounter changes(b);
        b.PaletteModified = false;
        b.Assign(&a);
        EXPECT_EQ(changes.Count, 0);
        EXPECT_EQ(b.InternalDIB, a.InternalDIB);
        EXPECT_EQ(a.InternalDIB->RefCount, 2);
        EXPECT_TRUE(b.PaletteModified);
        EXPECT_EQ(b.MaskColor, clRed);
        EXPECT_EQ(b.ConvertMode, kvcmHigh);
        EXPECT_EQ(b.HalftoneMode, kvhtBW);
        EXPECT_EQ(b.ProgressText, "");
        EXPECT_EQ(LiveFileMappings(), mappings + 1); // the blank image b let go of is gone

        const TBytes before = SavedBytes(a);
        b.SetPixels(1, 2, 7);
        EXPECT_NE(b.InternalDIB, a.InternalDIB);
        EXPECT_EQ(a.InternalDIB->RefCount, 1);
        EXPECT_EQ(b.InternalDIB->RefCount, 1);
        EXPECT_EQ(b.GetPixels(1, 2), 7);
        EXPECT_EQ(SavedBytes(a), before);
        EXPECT_EQ(b.GetColors(5), a.GetColors(5));
        EXPECT_EQ(changes.Count, 0); // pixel writes fire nothing

        // Assigning itself changes nothing; a shared image is freed with its last holder.
        a.Assign(&a);
        EXPECT_EQ(a.InternalDIB->RefCount, 1);
        TKvDIB c;
        c.Assign(&b);
        b.Assign(nullptr);
        EXPECT_EQ(b.Width(), 1);
        EXPECT_EQ(c.GetPixels(1, 2), 7);
        EXPECT_EQ(c.InternalDIB->RefCount, 1);
    }
    EXPECT_EQ(LiveFileMappings(), mappings);
}

TEST(KvDIBShare, EveryChangingOperationCopiesASharedImage) {
    TKvDIB a;
    MakeTestDIB(a, 3, 3, 8);
    const TBytes before = SavedBytes(a);
    const std::function<void(TKvDIB&)> changes[] = {
        [](TKvDIB& d) { d.SetColors(0, clWhite); }, [](TKvDIB& d) { d.SetPaletteSize(3); },
        [](TKvDIB& d) { d.SetPalette(0); },         [](TKvDIB& d) { d.SetPixelFormat(kvpf24Bit); },
        [](TKvDIB& d) { TKvDIBCanvas canvas(&d); },
    };
    for (const auto& change : changes) {
        TKvDIB b;
        b.Assign(&a);
        change(b);
        EXPECT_NE(b.InternalDIB, a.InternalDIB);
        EXPECT_EQ(a.InternalDIB->RefCount, 1);
        EXPECT_EQ(SavedBytes(a), before);
    }
}

TEST(KvDIBShare, SizeAndDepthSettersMakeBlankImages) {
    TKvDIB dib;
    MakeTestDIB(dib, 4, 3, 8);
    TChangeCounter changes(dib);
    dib.SetWidth(4);
    dib.SetHeight(3);
    dib.SetBitCount(8);
    EXPECT_EQ(changes.Count, 0);
    EXPECT_EQ(dib.GetPixels(1, 1), PatternValue(8, 1, 1));

    dib.SetWidth(40);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(dib.Width(), 40);
    EXPECT_EQ(dib.GetPaletteSize(), 256);
    EXPECT_EQ(dib.GetColors(255), clBlack);
    EXPECT_EQ(dib.GetPixels(1, 1), 0);

    dib.SetHeight(-10);
    EXPECT_EQ(dib.Height(), 10);
    EXPECT_EQ(dib.InternalDIB->Infos.Header.biHeight, -10);
    dib.SetBitCount(4);
    EXPECT_EQ(dib.InternalDIB->Infos.Header.biHeight, 10);
    EXPECT_EQ(dib.GetPaletteSize(), 16);
    dib.SetBitCount(24);
    EXPECT_EQ(dib.GetPaletteSize(), 0);
    EXPECT_EQ(dib.InternalDIB->Infos.ImageSize, 10u * 120);
    EXPECT_EQ(changes.Count, 4);

    // Refused sizes leave everything as it was.
    const TBytes before = SavedBytes(dib);
    const std::pair<std::function<void()>, std::string> refused[] = {
        {[&] { dib.SetWidth(0); }, "TKvDIB.SetWidth: Invalid Width"},
        {[&] { dib.SetWidth(-3); }, "TKvDIB.SetWidth: Invalid Width"},
        {[&] { dib.SetHeight(0); }, "TKvDIB.SetWidth: Invalid Height"},
        {[&] { dib.SetBitCount(16); }, "TKvDIB.SetBitCount: Invalid BitCount"},
        {[&] { dib.SetBitCount(32); }, "TKvDIB.SetBitCount: Invalid BitCount"},
        {[&] { dib.SetHeight(-2147483647 - 1); }, "TKvInternalDIB.CreateDIB: Invalid Parameters"},
        {[&] { dib.SetWidth(1 << 29); }, "TKvInternalDIB.CreateDIB: Invalid Parameters"},
    };
    for (const auto& [call, message] : refused) {
        try {
            call();
            ADD_FAILURE() << message;
        } catch (const EKvDIBInvalidDIBPara& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(SavedBytes(dib), before);
    }
    EXPECT_EQ(changes.Count, 4);
}

TEST(KvDIBShare, BlankImagesAreZeroWhereReleasedPicturesLay) {
    // The same sizes again come from the storage just released, which held other bytes.
    for (int round = 0; round < 3; ++round) {
        {
            TKvDIB used(200, 100, 24, 0);
            std::memset(used.InternalDIB->Infos.Bits, 0xA5, used.InternalDIB->Infos.ImageSize);
        }
        TKvDIB sized(200, 100, 24, 0);
        TKvDIB set;
        set.SetBitCount(24);
        set.SetWidth(200);
        set.SetHeight(100);
        for (TKvDIB* dib : {&sized, &set}) {
            const TKvDIBInfos& infos = dib->InternalDIB->Infos;
            ASSERT_EQ(infos.ImageSize, 100u * 600);
            EXPECT_EQ(std::count(infos.Bits, infos.Bits + infos.ImageSize, 0), 100 * 600);
        }
    }
}

TEST(KvDIBShare, ABitmapMadeInItsFormEqualsOneMadeBySetters) {
    TKvDIB sized(7, 5, 8, 2);
    TKvDIB set;
    set.SetWidth(7);
    set.SetHeight(5);
    EXPECT_EQ(SavedBytes(sized), SavedBytes(set));
    EXPECT_TRUE(sized.PaletteModified);
    EXPECT_EQ(sized.InternalDIB->RefCount, 1);
    EXPECT_EQ(sized.InternalDIB->Infos.Header.biSizeImage, 0u);
    EXPECT_THROW(TKvDIB(0, 5, 8, 2), EKvDIBInvalidDIBPara);
}

TEST(KvDIBShare, AnRLEImageResizedBecomesUncompressed) {
    TTestDIB rle{.Width = 4, .Compression = BI_RLE8, .ClrUsed = 2, .Table = GrayishTable(2)};
    rle.Pixels = {4, 1, 0, 1};
    TKvDIB dib;
    TMemoryStream stream = StreamOf(rle.File());
    dib.LoadFromStream(stream);
    dib.SetWidth(5);
    EXPECT_EQ(dib.GetPixelFormat(), kvpf8Bit);
    EXPECT_EQ(dib.GetColors(1), clBlack);
}

TEST(KvDIBShare, LoadingReplacesTheImageOrLeavesABlankOne) {
    TKvDIB source;
    MakeTestDIB(source, 3, 2, 4);
    const TBytes bytes = SavedBytes(source);
    TKvDIB dib;
    TChangeCounter changes(dib);
    dib.PaletteModified = false;
    TMemoryStream stream = StreamOf(bytes);
    dib.LoadFromStream(stream);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_TRUE(dib.PaletteModified);
    EXPECT_FALSE(dib.InternalDIB->PaletteModified);
    EXPECT_EQ(SavedBytes(dib), bytes);

    TMemoryStream junk = StreamOf(TBytes(60, 'x'));
    EXPECT_THROW(dib.LoadFromStream(junk), EKvDIBInvalidDIBFile);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(dib.Width(), 1);
    EXPECT_EQ(dib.Height(), 1);
    EXPECT_EQ(dib.GetBitCount(), 8);
}

TEST(KvDIBShare, RegisteredWithThePictureClass) {
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_DIB));
    EXPECT_NE(TPicture::GraphicFilter().find("*.dib"), std::string::npos);

    QTemporaryDir folder;
    const std::string path = folder.filePath("picture.dib").toStdString();
    TKvDIB dib;
    MakeTestDIB(dib, 5, 4, 4);
    dib.SaveToFile(path);
    TPicture picture;
    picture.LoadFromFile(path);
    auto* loaded = dynamic_cast<TKvDIB*>(picture.GetGraphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(SavedBytes(*loaded), SavedBytes(dib));
}

} // namespace
