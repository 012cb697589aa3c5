#include <gtest/gtest.h>

#include <cstring>

#include "GdiTestDIB.h"
#include "toolkit/graphics/FileMapping.h"

namespace {

// A DIB in a file mapping (as the image library keeps its pixels) with a section over
// it selected into a memory DC. Row y of the image (0 at the top) is Row(y).
struct TSectionFixture {
    TTestDIB Format;
    THandle Mapping = 0;
    void* View = nullptr;
    std::uint8_t* Storage = nullptr;
    HDC DC = 0;
    HBITMAP Section = 0;
    HGDIOBJ Old = 0;
    std::uint8_t* SectionBits = nullptr;

    TSectionFixture(int Width, int Height, int BitCount, bool TopDown, std::uint32_t Offset = 0)
        : Format(Width, Height, BitCount, TopDown) {
        Mapping = CreateFileMapping(Format.Bits.size() + Offset);
        View = MapViewOfFile(Mapping);
        Storage = static_cast<std::uint8_t*>(View) + Offset;
        DC = CreateCompatibleDC(0);
        void* bits = nullptr;
        Section =
            CreateDIBSection(DC, Format.Header, Format.Colors.data(), DIB_RGB_COLORS, &bits, Mapping, Offset);
        SectionBits = static_cast<std::uint8_t*>(bits);
        if (Section != 0) Old = SelectObject(DC, Section);
    }
    // Colours must be set before the section is made: it keeps its own copy.
    TSectionFixture(TTestDIB Dib) : Format(std::move(Dib)) {
        Mapping = CreateFileMapping(Format.Bits.size());
        View = MapViewOfFile(Mapping);
        Storage = static_cast<std::uint8_t*>(View);
        std::memcpy(Storage, Format.Bits.data(), Format.Bits.size());
        DC = CreateCompatibleDC(0);
        void* bits = nullptr;
        Section =
            CreateDIBSection(DC, Format.Header, Format.Colors.data(), DIB_RGB_COLORS, &bits, Mapping, 0);
        SectionBits = static_cast<std::uint8_t*>(bits);
        if (Section != 0) Old = SelectObject(DC, Section);
    }
    ~TSectionFixture() {
        if (Old != 0) SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Section);
        UnmapViewOfFile(View);
        CloseHandle(Mapping);
    }
    std::uint8_t* Row(int Y) {
        const int height = Format.Height();
        return Storage + Format.Stride * (Format.Header.biHeight < 0 ? Y : height - 1 - Y);
    }
    void Paint(int X, int Y, TColor Color) {
        QImage* surface = BeginDrawing(DC);
        ASSERT_NE(surface, nullptr);
        surface->setPixel(X, Y, qRgb(GetRValue(Color), GetGValue(Color), GetBValue(Color)));
        EndDrawing(DC, QRect(X, Y, 1, 1));
    }
};

TColor Bgr(const std::uint8_t* P) {
    return RGB(P[2], P[1], P[0]);
}

} // namespace

TEST(DIBSection, SharesTheBytesOfTheMapping) {
    TSectionFixture f(3, 2, 24, false, 8);
    ASSERT_NE(f.Section, 0u);
    EXPECT_EQ(f.SectionBits, f.Storage); // a second view is the same bytes
    f.SectionBits[5] = 0x5A;
    EXPECT_EQ(f.Storage[5], 0x5A);
    BITMAP info{};
    ASSERT_TRUE(GetObject(f.Section, info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmWidthBytes, 12);
    EXPECT_EQ(info.bmBitsPixel, 24);
}

TEST(DIBSection, DrawingLandsInTheDIBBytesInEitherRowOrder) {
    for (bool topDown : {false, true}) {
        TSectionFixture f(3, 2, 24, topDown);
        ASSERT_NE(f.Section, 0u);
        f.Paint(1, 0, RGB(1, 2, 3));
        f.Paint(2, 1, RGB(200, 100, 50));
        EXPECT_EQ(Bgr(f.Row(0) + 3), RGB(1, 2, 3)) << topDown;
        EXPECT_EQ(Bgr(f.Row(1) + 6), RGB(200, 100, 50)) << topDown;
        EXPECT_EQ(Bgr(f.Row(0)), clBlack);
    }
}

TEST(DIBSection, EightBitDrawingTakesTheNearestColourIndex) {
    for (bool topDown : {false, true}) {
        TTestDIB dib(4, 2, 8, topDown);
        dib.SetColor(0, clBlack);
        dib.SetColor(1, clRed);
        dib.SetColor(2, clRed); // a duplicate: exact colours take the first index
        dib.SetColor(3, RGB(0, 0, 200));
        dib.Set(3, 1, 3);
        TSectionFixture f(dib);
        ASSERT_NE(f.Section, 0u);
        f.Paint(0, 0, clRed);
        f.Paint(1, 1, RGB(10, 0, 190));
        EXPECT_EQ(f.Row(0)[0], 1);
        EXPECT_EQ(f.Row(1)[1], 3);
        EXPECT_EQ(f.Row(1)[3], 3); // untouched pixels keep their index
    }
}

TEST(DIBSection, OneAndFourBitDrawingKeepsTheNeighbours) {
    TTestDIB mono(10, 1, 1);
    mono.SetColor(0, clBlack);
    mono.SetColor(1, clWhite);
    mono.Set(9, 0, 1);
    TSectionFixture f1(mono);
    f1.Paint(1, 0, RGB(250, 250, 250));
    EXPECT_EQ(f1.Row(0)[0], 0x40);
    EXPECT_EQ(f1.Row(0)[1], 0x40);

    TTestDIB nibbles(3, 1, 4);
    for (int i = 0; i < 16; ++i)
        nibbles.SetColor(i, RGB(i * 16, 0, 0));
    nibbles.Set(0, 0, 5);
    nibbles.Set(2, 0, 7);
    TSectionFixture f4(nibbles);
    f4.Paint(1, 0, RGB(9 * 16 + 3, 0, 0));
    EXPECT_EQ(f4.Row(0)[0], 0x59);
    EXPECT_EQ(f4.Row(0)[1], 0x70);
}

TEST(DIBSection, BytesWrittenDirectlyAreSeenByTheNextDrawing) {
    TSectionFixture f(2, 2, 24, false);
    QImage* surface = BeginDrawing(f.DC);
    EndDrawing(f.DC, QRect());
    f.Row(1)[3] = 0x11; // blue of pixel (1, 1)
    f.Row(1)[5] = 0x33; // red
    surface = BeginDrawing(f.DC);
    EXPECT_EQ(surface->pixel(1, 1), qRgb(0x33, 0, 0x11));
    EndDrawing(f.DC, QRect());
}

TEST(DIBSection, OnlyTheTouchedRectangleIsWrittenBack) {
    TSectionFixture f(3, 1, 24, false);
    QImage* surface = BeginDrawing(f.DC);
    surface->fill(Qt::white);
    EndDrawing(f.DC, QRect(1, 0, 1, 1));
    EXPECT_EQ(Bgr(f.Row(0)), clBlack);
    EXPECT_EQ(Bgr(f.Row(0) + 3), clWhite);
    EXPECT_EQ(Bgr(f.Row(0) + 6), clBlack);
}

TEST(DIBSection, NestedDrawingKeepsWhatTheOuterDrew) {
    TSectionFixture f(2, 1, 24, false);
    QImage* outer = BeginDrawing(f.DC);
    outer->setPixel(0, 0, qRgb(9, 9, 9));
    QImage* inner = BeginDrawing(f.DC); // e.g. a copy within one canvas
    EXPECT_EQ(inner->pixel(0, 0), qRgb(9, 9, 9));
    EndDrawing(f.DC, QRect());
    EndDrawing(f.DC, QRect(0, 0, 1, 1));
    EXPECT_EQ(Bgr(f.Row(0)), RGB(9, 9, 9));
}

TEST(DIBSection, StretchDIBitsDrawsIntoTheSection) {
    TTestDIB target(2, 2, 8, true);
    target.SetColor(0, clBlack);
    target.SetColor(1, clLime);
    TSectionFixture f(target);
    TTestDIB source(1, 1, 24);
    source.Set(0, 0, RGB(0, 240, 0));
    EXPECT_EQ(StretchDIBits(f.DC, 0, 0, 2, 1, 0, 0, 1, 1, source.Bits.data(), source.Header, nullptr,
                            DIB_RGB_COLORS, SRCCOPY),
              1);
    EXPECT_EQ(f.Row(0)[0], 1);
    EXPECT_EQ(f.Row(0)[1], 1);
    EXPECT_EQ(f.Row(1)[0], 0);
}

TEST(DIBSection, KeepsItsOwnCopyOfTheColourTable) {
    TTestDIB dib(1, 1, 8);
    dib.SetColor(0, clBlue);
    TSectionFixture f(dib);
    f.Format.Colors[0] = RGBQUAD{0, 0, 255, 0}; // the caller's table changes afterwards
    QImage* surface = BeginDrawing(f.DC);
    EXPECT_EQ(surface->pixel(0, 0), qRgb(0, 0, 255));
    EndDrawing(f.DC, QRect());
}

TEST(DIBSection, RefusesBadFormatsAndShortStorage) {
    void* bits = reinterpret_cast<void*>(1);
    TTestDIB dib(4, 4, 24);
    const THandle small = CreateFileMapping(dib.Bits.size() - 1);
    EXPECT_EQ(CreateDIBSection(0, dib.Header, nullptr, DIB_RGB_COLORS, &bits, small, 0), 0u);
    EXPECT_EQ(bits, nullptr);
    const THandle exact = CreateFileMapping(dib.Bits.size());
    EXPECT_EQ(CreateDIBSection(0, dib.Header, nullptr, DIB_RGB_COLORS, &bits, exact, 4),
              0u); // offset too far
    TTestDIB rle(4, 4, 8);
    rle.Header.biCompression = BI_RLE8;
    EXPECT_EQ(CreateDIBSection(0, rle.Header, nullptr, DIB_RGB_COLORS, &bits, exact, 0), 0u);
    TTestDIB sixteen(2, 2, 16);
    EXPECT_EQ(CreateDIBSection(0, sixteen.Header, nullptr, DIB_RGB_COLORS, &bits, exact, 0), 0u);
    CloseHandle(small);
    CloseHandle(exact);
}

TEST(DIBSection, WithoutAMappingItHasZeroedBytesOfItsOwn) {
    TTestDIB dib(3, 3, 8);
    void* bits = nullptr;
    const HBITMAP section = CreateDIBSection(0, dib.Header, nullptr, DIB_RGB_COLORS, &bits, 0, 0);
    ASSERT_NE(section, 0u);
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < dib.Bits.size(); ++i)
        EXPECT_EQ(bytes[i], 0);
    EXPECT_TRUE(DeleteObject(section));
}

TEST(DIBSection, SelectedSectionCannotBeDeletedAndDeletingUnmapsItsView) {
    TTestDIB dib(2, 2, 24);
    const THandle mapping = CreateFileMapping(dib.Bits.size());
    const HDC dc = CreateCompatibleDC(0);
    void* bits = nullptr;
    const HBITMAP section = CreateDIBSection(dc, dib.Header, nullptr, DIB_RGB_COLORS, &bits, mapping, 0);
    const HGDIOBJ old = SelectObject(dc, section);
    EXPECT_FALSE(DeleteObject(section));
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(section));
    EXPECT_FALSE(UnmapViewOfFile(bits)); // already unmapped
    DeleteDC(dc);
    CloseHandle(mapping);
}

TEST(DIBSectionDeathTest, SectionLeftAtExitDoesNotCrash) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // The section goes with the handle table at exit; its view still holds the block.
            ReleaseDC(0, GetDC(0));
            TTestDIB dib(2, 2, 24);
            const THandle mapping = CreateFileMapping(dib.Bits.size());
            void* bits = nullptr;
            CreateDIBSection(0, dib.Header, nullptr, DIB_RGB_COLORS, &bits, mapping, 0);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
