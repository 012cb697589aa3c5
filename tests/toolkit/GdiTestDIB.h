// Helpers of the device-interface tests: DIBs built byte by byte, and a memory DC
// drawing on a QImage.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "toolkit/graphics/Gdi.h"
#include "toolkit/graphics/GdiObjects.h"

// An uncompressed DIB in ordinary memory, addressed by image row (0 at the top).
struct TTestDIB {
    BITMAPINFOHEADER Header{};
    std::vector<RGBQUAD> Colors = std::vector<RGBQUAD>(256, RGBQUAD{0, 0, 0, 0});
    std::vector<std::uint8_t> Bits;
    int Stride = 0;

    TTestDIB(int Width, int Height, int BitCount, bool TopDown = false) {
        Header.biSize = 40;
        Header.biWidth = Width;
        Header.biHeight = TopDown ? -Height : Height;
        Header.biPlanes = 1;
        Header.biBitCount = static_cast<std::uint16_t>(BitCount);
        Stride = (Width * BitCount + 31) / 32 * 4;
        Bits.assign(static_cast<std::size_t>(Stride) * Height, 0);
    }
    int Height() const { return Header.biHeight < 0 ? -Header.biHeight : Header.biHeight; }
    std::uint8_t* Row(int Y) { return Bits.data() + Stride * (Header.biHeight < 0 ? Y : Height() - 1 - Y); }

    void SetColor(int Index, TColor Color) {
        Colors[Index] = RGBQUAD{GetBValue(Color), GetGValue(Color), GetRValue(Color), 0};
        if (Header.biClrUsed < std::uint32_t(Index + 1)) Header.biClrUsed = Index + 1;
    }
    // Index for 1, 4 and 8 bits, TColor for 24 and 32.
    void Set(int X, int Y, std::uint32_t Value) {
        std::uint8_t* row = Row(Y);
        switch (Header.biBitCount) {
        case 1:
            row[X / 8] =
                static_cast<std::uint8_t>((row[X / 8] & ~(0x80 >> (X % 8))) | ((Value & 1) << (7 - X % 8)));
            break;
        case 4:
            row[X / 2] = X % 2 ? static_cast<std::uint8_t>((row[X / 2] & 0xF0) | (Value & 15))
                               : static_cast<std::uint8_t>((row[X / 2] & 0x0F) | (Value << 4));
            break;
        case 8:
            row[X] = static_cast<std::uint8_t>(Value);
            break;
        default: {
            std::uint8_t* p = row + X * (Header.biBitCount / 8);
            p[0] = GetBValue(Value);
            p[1] = GetGValue(Value);
            p[2] = GetRValue(Value);
            break;
        }
        }
    }
    std::uint32_t Get(int X, int Y) {
        const std::uint8_t* row = Row(Y);
        switch (Header.biBitCount) {
        case 1:
            return (row[X / 8] >> (7 - X % 8)) & 1;
        case 4:
            return X % 2 ? row[X / 2] & 15 : row[X / 2] >> 4;
        case 8:
            return row[X];
        default: {
            const std::uint8_t* p = row + X * (Header.biBitCount / 8);
            return RGB(p[2], p[1], p[0]);
        }
        }
    }
};

// A memory DC drawing on a QImage of the given size, filled with Fill.
struct TTestSurface {
    QImage Image;
    HDC DC = 0;
    HBITMAP Bitmap = 0;
    HGDIOBJ Old = 0;

    TTestSurface(int Width, int Height, TColor Fill = clBlack) : Image(Width, Height, QImage::Format_RGB32) {
        Image.fill(QColor(GetRValue(Fill), GetGValue(Fill), GetBValue(Fill)));
        DC = CreateCompatibleDC(0);
        Bitmap = CreateImageBitmap(&Image, 32);
        Old = SelectObject(DC, Bitmap);
    }
    ~TTestSurface() {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Bitmap);
    }
    TColor At(int X, int Y) const {
        const QRgb p = Image.pixel(X, Y);
        return RGB(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                   static_cast<std::uint8_t>(qBlue(p)));
    }
    int Stretch(int XD, int YD, int WD, int HD, int XS, int YS, int WS, int HS, TTestDIB& DIB,
                std::uint32_t Rop = SRCCOPY) {
        return StretchDIBits(DC, XD, YD, WD, HD, XS, YS, WS, HS, DIB.Bits.data(), DIB.Header,
                             DIB.Colors.data(), DIB_RGB_COLORS, Rop);
    }
};
