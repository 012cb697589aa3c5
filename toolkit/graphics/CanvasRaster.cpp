#include "toolkit/graphics/CanvasRaster.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/graphics/GdiObjects.h"

namespace {

constexpr QRgb RgbBits = 0x00FFFFFF;
constexpr QRgb Opaque = 0xFF000000;

} // namespace

QRgb PixelOfColor(TColor Color) {
    const TColor c = ColorToRGB(Color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor ColorOfPixel(QRgb Pixel) {
    return RGB(static_cast<std::uint8_t>(qRed(Pixel)), static_cast<std::uint8_t>(qGreen(Pixel)),
               static_cast<std::uint8_t>(qBlue(Pixel)));
}

QRgb MixPen(TPenMode Mode, QRgb Pen, QRgb Dest) {
    const QRgb p = Pen & RgbBits;
    const QRgb d = Dest & RgbBits;
    QRgb r = d;
    switch (Mode) {
    case pmBlack:
        r = 0;
        break;
    case pmWhite:
        r = RgbBits;
        break;
    case pmNop:
        r = d;
        break;
    case pmNot:
        r = ~d;
        break;
    case pmCopy:
        r = p;
        break;
    case pmNotCopy:
        r = ~p;
        break;
    case pmMergePenNot:
        r = p | ~d;
        break;
    case pmMaskPenNot:
        r = p & ~d;
        break;
    case pmMergeNotPen:
        r = ~p | d;
        break;
    case pmMaskNotPen:
        r = ~p & d;
        break;
    case pmMerge:
        r = p | d;
        break;
    case pmNotMerge:
        r = ~(p | d);
        break;
    case pmMask:
        r = p & d;
        break;
    case pmNotMask:
        r = ~(p & d);
        break;
    case pmXor:
        r = p ^ d;
        break;
    case pmNotXor:
        r = ~(p ^ d);
        break;
    }
    return Opaque | (r & RgbBits);
}

bool BrushCovers(TBrushStyle Style, int X, int Y) {
    const int x = X & 7;
    const int y = Y & 7;
    switch (Style) {
    case bsSolid:
        return true;
    case bsClear:
        return false;
    case bsHorizontal:
        return y == 0;
    case bsVertical:
        return x == 0;
    case bsFDiagonal:
        return x == y;
    case bsBDiagonal:
        return x == 7 - y;
    case bsCross:
        return x == 0 || y == 0;
    case bsDiagCross:
        return x == y || x == 7 - y;
    }
    return false;
}

QRect ToQRect(const TRect& Rect) {
    if (Rect.Width() <= 0 || Rect.Height() <= 0) return {};
    return QRect(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
}

TShapeMask::TShapeMask(const QRect& Bounds)
    : FBounds(Bounds.isValid() ? Bounds : QRect()),
      FCells(static_cast<std::size_t>(FBounds.width()) * static_cast<std::size_t>(FBounds.height()),
             CoverNone) {}

void TShapeMask::Set(int X, int Y, TCover Cover) {
    if (!FBounds.contains(X, Y)) return;
    auto& cell =
        FCells[static_cast<std::size_t>(Y - FBounds.top()) * static_cast<std::size_t>(FBounds.width()) +
               static_cast<std::size_t>(X - FBounds.left())];
    cell = std::max<std::uint8_t>(cell, Cover);
}

void TShapeMask::SetSpan(int Y, int X0, int X1, TCover Cover) {
    if (Y < FBounds.top() || Y > FBounds.bottom()) return;
    const int from = std::max(X0, FBounds.left());
    const int to = std::min(X1, FBounds.right() + 1);
    for (int x = from; x < to; ++x)
        Set(x, Y, Cover);
}

void TShapeMask::Stamp(int X, int Y, int Width) {
    const int left = X - Width / 2;
    const int top = Y - Width / 2;
    for (int y = top; y < top + Width; ++y)
        SetSpan(y, left, left + Width, CoverPen);
}

void TShapeMask::Line(QPoint From, QPoint To, int Width, bool WithEnd) {
    BresenhamLine(From, To, WithEnd, [&](int X, int Y) { Stamp(X, Y, Width); });
}

TCover TShapeMask::At(int X, int Y) const {
    if (!FBounds.contains(X, Y)) return CoverNone;
    return static_cast<TCover>(
        FCells[static_cast<std::size_t>(Y - FBounds.top()) * static_cast<std::size_t>(FBounds.width()) +
               static_cast<std::size_t>(X - FBounds.left())]);
}

void TShapeMask::Paint(QImage& Surface, TPenMode Mode, QRgb PenColor, const TBrush& Brush) const {
    const QRect area = FBounds & Surface.rect();
    if (area.isEmpty()) return;
    const TSpanPainter painter(Surface, Mode, PenColor, Brush);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::uint8_t* cells = FCells.data() + static_cast<std::size_t>(y - FBounds.top()) *
                                                        static_cast<std::size_t>(FBounds.width());
        // Runs of one cover, painted together.
        for (int x = area.left(); x <= area.right();) {
            const std::uint8_t cover = cells[x - FBounds.left()];
            int end = x + 1;
            while (end <= area.right() && cells[end - FBounds.left()] == cover)
                ++end;
            painter.Paint(y, x, end, static_cast<TCover>(cover));
            x = end;
        }
    }
}

TSpanPainter::TSpanPainter(QImage& Surface, TPenMode Mode, QRgb PenColor, const TBrush& Brush)
    : FSurface(Surface), FMode(Mode), FPenColor(PenColor), FBrushStyle(Brush.Style),
      FBrushColor(PixelOfColor(Brush.Color)) {}

void TSpanPainter::Paint(int Y, int X0, int X1, TCover Cover) const {
    if (X0 >= X1 || Cover == CoverNone || (Cover == CoverBrush && FBrushStyle == bsClear)) return;
    auto* row = reinterpret_cast<QRgb*>(FSurface.scanLine(Y));
    const QRgb color = Cover == CoverPen ? FPenColor : FBrushColor;
    if (Cover == CoverBrush && FBrushStyle != bsSolid) {
        for (int x = X0; x < X1; ++x)
            if (BrushCovers(FBrushStyle, x, Y)) row[x] = MixPen(FMode, color, row[x]);
        return;
    }
    // Copying ignores what is there: the run takes one colour.
    if (FMode == pmCopy) {
        std::fill(row + X0, row + X1, MixPen(pmCopy, color, 0));
        return;
    }
    for (int x = X0; x < X1; ++x)
        row[x] = MixPen(FMode, color, row[x]);
}

namespace {

// Format_RGB32 rows are a top-down 32-bit DIB: blue, green, red, unused.
BITMAPINFOHEADER HeaderOf(const QImage& Pixels) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = Pixels.width();
    header.biHeight = -Pixels.height();
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

// Hands Transfer the image's pixels as a 32-bit DIB within one drawing session on the DC.
template <class F> void TransferImage(HDC DC, const QImage& Image, F&& Transfer) {
    TDrawingSession session(DC);
    if (Image.isNull() || session.Image() == nullptr) return;
    const QImage pixels = Image.convertToFormat(QImage::Format_RGB32);
    Transfer(pixels.constBits(), HeaderOf(pixels));
}

} // namespace

void StretchImage(HDC DC, const TRect& Dest, const QImage& Image, const TRect& Source, std::uint32_t Rop) {
    TransferImage(DC, Image, [&](const void* Bits, const BITMAPINFOHEADER& Header) {
        StretchDIBits(DC, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Source.Left, Source.Top,
                      Source.Width(), Source.Height(), Bits, Header, nullptr, DIB_RGB_COLORS, Rop);
    });
}

void StretchImageTransparent(HDC DC, const TRect& Dest, const QImage& Image, const TRect& Source,
                             TColor Transparent) {
    TransferImage(DC, Image, [&](const void* Bits, const BITMAPINFOHEADER& Header) {
        TransparentDIBits(DC, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Source.Left, Source.Top,
                          Source.Width(), Source.Height(), Bits, Header, nullptr, DIB_RGB_COLORS,
                          Transparent);
    });
}

TDrawingSession::TDrawingSession(HDC DC) : FDC(DC), FImage(nullptr) {
    if (DC == 0) throw EInvalidOperation("Canvas does not allow drawing");
    FImage = BeginDrawing(DC);
}

TDrawingSession::~TDrawingSession() {
    if (FImage != nullptr) EndDrawing(FDC, FTouched);
}
