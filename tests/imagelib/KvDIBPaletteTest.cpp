#include <gtest/gtest.h>

#include "KvDIBTestFiles.h"
#include "imagelib/KvDIBHalftone.h"

namespace {

std::vector<PALETTEENTRY> EntriesOf(HPALETTE Palette) {
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(Palette, 0, 0, nullptr));
    GetPaletteEntries(Palette, 0, static_cast<unsigned>(entries.size()), entries.data());
    return entries;
}

TEST(KvDIBPalette, PaletteSizeRanges) {
    TKvDIB dib;
    dib.SetBitCount(24);
    int changes = 0;
    dib.OnChange = [&](TObject*) { ++changes; };
    dib.SetPaletteSize(0);
    EXPECT_EQ(changes, 0); // already 0
    dib.SetPaletteSize(256);
    EXPECT_EQ(dib.GetPaletteSize(), 256);
    EXPECT_EQ(changes, 1);
    try {
        dib.SetPaletteSize(257);
        ADD_FAILURE();
    } catch (const EKvDIBPaletteIndexRange& e) {
        EXPECT_EQ(e.Message(), "TKvDIB.SetPaletteSize: Palette Index is Out of Range 1");
    }
    dib.SetBitCount(8);
    for (int bad : {0, 257}) {
        try {
            dib.SetPaletteSize(bad);
            ADD_FAILURE();
        } catch (const EKvDIBPaletteIndexRange& e) {
            EXPECT_EQ(e.Message(), "TKvDIB.SetPaletteSize: Palette Index is Out of Range 2");
        }
    }
    EXPECT_EQ(dib.GetPaletteSize(), 256);
    // Entries that come into use show what the table held.
    dib.SetColors(20, clAqua);
    dib.SetPaletteSize(10);
    dib.SetPaletteSize(30);
    EXPECT_EQ(dib.GetColors(20), clAqua);
    EXPECT_EQ(EntriesOf(dib.GetPalette()).size(), 30u);
}

TEST(KvDIBPalette, ColorsOfTheWholeTable) {
    TKvDIB dib;
    dib.SetColors(255, RGB(1, 2, 3));
    EXPECT_EQ(dib.GetColors(255), RGB(1, 2, 3));
    EXPECT_EQ(dib.InternalDIB->Infos.ColorTable[255].rgbBlue, 3);
    EXPECT_EQ(dib.GetPaletteSize(), 2);
    for (int bad : {256, -1}) {
        EXPECT_THROW(dib.GetColors(bad), EKvDIBPaletteIndexRange);
        try {
            dib.SetColors(bad, clRed);
            ADD_FAILURE();
        } catch (const EKvDIBPaletteIndexRange& e) {
            EXPECT_EQ(e.Message(), "TKvDIB.GetColors: Palette Index is Out of Range");
        }
    }
    dib.SetColors(0, clBtnFace);
    EXPECT_EQ(dib.GetColors(0), ColorToRGB(clBtnFace));
}

TEST(KvDIBPalette, TheCachedPaletteFollowsTheColourTable) {
    TKvDIB dib;
    dib.SetColors(1, RGB(10, 20, 30));
    dib.PaletteModified = false;
    const HPALETTE first = dib.GetPalette();
    EXPECT_EQ(dib.GetPalette(), first);
    const auto entries = EntriesOf(first);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].peRed, 10);
    EXPECT_EQ(entries[1].peGreen, 20);
    EXPECT_EQ(entries[1].peBlue, 30);

    dib.SetColors(1, clWhite);
    EXPECT_TRUE(dib.PaletteModified);
    EXPECT_EQ(EntriesOf(dib.GetPalette())[1].peGreen, 255);

    // A shared image fills its cache for all holders.
    TKvDIB other;
    other.Assign(&dib);
    EXPECT_EQ(other.GetPalette(), dib.GetPalette());

    dib.SetBitCount(24);
    EXPECT_EQ(dib.GetPalette(), 0u);
}

TEST(KvDIBPalette, SetPaletteTakesEntriesAndOwnership) {
    TKvDIB dib;
    PALETTEENTRY entries[3] = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
    const HPALETTE palette = CreatePalette(entries, 3);
    int changes = 0;
    dib.OnChange = [&](TObject*) { ++changes; };
    dib.SetPalette(palette);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dib.GetPaletteSize(), 3);
    EXPECT_EQ(dib.GetColors(0), clRed);
    EXPECT_EQ(dib.GetColors(2), clBlue);
    EXPECT_EQ(dib.GetPalette(), palette);

    dib.SetPalette(0);
    EXPECT_EQ(dib.GetPaletteSize(), 0);
    EXPECT_EQ(dib.GetPalette(), 0u);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 0u); // deleted with the cache

    try {
        dib.SetPalette(palette); // a handle that names no palette any more
        ADD_FAILURE();
    } catch (const EKvDIBInvalidPalette& e) {
        EXPECT_EQ(e.Message(), "TKvDIB.SetPalette: Invalid Palette");
    }
}

TEST(KvDIBPalette, HalftonePalettesAreSharedFixedColours) {
    TKvDIB a, b;
    a.HalftoneMode = kvhtColor;
    b.HalftoneMode = kvhtColor;
    const HPALETTE palette = a.GetPalette();
    EXPECT_EQ(b.GetPalette(), palette);
    const auto entries = EntriesOf(palette);
    ASSERT_EQ(entries.size(), 215u);
    const int R[] = {0, 51, 102, 153, 204, 255}, G[] = {0, 43, 85, 128, 171, 214, 255},
              B[] = {0, 64, 128, 192, 255};
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int bl = 0; bl < 5; ++bl) {
                const PALETTEENTRY& e = entries[r * 35 + g * 5 + bl];
                ASSERT_EQ(e.peRed, R[r]);
                ASSERT_EQ(e.peGreen, G[g]);
                ASSERT_EQ(e.peBlue, B[bl]);
            }
    const std::uint8_t extra[5][3] = {
        {128, 0, 0}, {128, 128, 0}, {128, 0, 128}, {192, 192, 192}, {128, 128, 128}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(entries[210 + i].peRed, extra[i][0]);
        EXPECT_EQ(entries[210 + i].peGreen, extra[i][1]);
        EXPECT_EQ(entries[210 + i].peBlue, extra[i][2]);
    }
    for (int i = 0; i < 215; ++i)
        ASSERT_EQ(entries[i].peFlags, 0);

    a.HalftoneMode = kvhtBW;
    const auto bw = EntriesOf(a.GetPalette());
    ASSERT_EQ(bw.size(), 2u);
    EXPECT_EQ(bw[0].peRed + bw[0].peGreen + bw[0].peBlue, 0);
    EXPECT_EQ(bw[1].peRed + bw[1].peGreen + bw[1].peBlue, 3 * 255);
    a.HalftoneMode = kvhtNone;
    EXPECT_EQ(EntriesOf(a.GetPalette()).size(), 2u);
}

} // namespace
