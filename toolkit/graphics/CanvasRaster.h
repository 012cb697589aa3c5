// Pixel work shared by the canvas and the bitmap: colour arithmetic of pen modes, brush
// patterns, shape coverage, stretching pictures, drawing sessions.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "toolkit/graphics/Graphics.h"

// Format_RGB32 pixel of a colour (system colours resolved), and back.
QRgb PixelOfColor(TColor Color);
TColor ColorOfPixel(QRgb Pixel);

// The pixel that pen mode Mode makes of the pen colour Pen over Dest.
QRgb MixPen(TPenMode Mode, QRgb Pen, QRgb Dest);
// Whether the brush style paints pixel (X, Y): hatches are 8 x 8 patterns aligned to
// the surface origin, drawn over a transparent background.
bool BrushCovers(TBrushStyle Style, int X, int Y);

// Calls Plot(X, Y) for each pixel of the Bresenham line from From to To, each once; the
// end pixel only when WithEnd.
template <class F> void BresenhamLine(QPoint From, QPoint To, bool WithEnd, F&& Plot) {
    const int dx = std::abs(To.x() - From.x());
    const int dy = -std::abs(To.y() - From.y());
    const int sx = From.x() < To.x() ? 1 : -1;
    const int sy = From.y() < To.y() ? 1 : -1;
    int err = dx + dy;
    int x = From.x();
    int y = From.y();
    while (x != To.x() || y != To.y()) {
        Plot(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    if (WithEnd) Plot(x, y);
}

// An inverted rectangle is empty.
QRect ToQRect(const TRect& Rect);

// What paints a pixel of a shape: nothing, the brush or the pen.
enum TCover : std::uint8_t { CoverNone, CoverBrush, CoverPen };

// Paints runs of a shape's pixels: pen pixels in the pen colour, brush pixels in the brush's
// colour and pattern, both mixed with the surface by the pen mode.
class TSpanPainter {
public:
    TSpanPainter(QImage& Surface, TPenMode Mode, QRgb PenColor, const TBrush& Brush);
    // Pixels [X0, X1) of row Y, which the caller has clipped to the surface.
    void Paint(int Y, int X0, int X1, TCover Cover) const;

private:
    QImage& FSurface;
    TPenMode FMode;
    QRgb FPenColor;
    TBrushStyle FBrushStyle;
    QRgb FBrushColor;
};

// Which pixels of a shape the pen and the brush cover, kept for the shape's bounds only,
// so that every pixel is painted once whatever the pen mode.
class TShapeMask {
public:
    // Bounds: the shape's bounds already clipped to the surface.
    explicit TShapeMask(const QRect& Bounds);
    const QRect& Bounds() const { return FBounds; }
    // The pen covers over the brush; pixels outside the bounds are dropped.
    void Set(int X, int Y, TCover Cover);
    void SetSpan(int Y, int X0, int X1, TCover Cover); // [X0, X1)
    // A square of Width pixels centred on (X, Y), in the pen.
    void Stamp(int X, int Y, int Width);
    // A Bresenham line from From to To; the end pixel only when WithEnd.
    void Line(QPoint From, QPoint To, int Width, bool WithEnd);
    TCover At(int X, int Y) const;
    // Paints the covered pixels as a TSpanPainter of these arguments does.
    void Paint(QImage& Surface, TPenMode Mode, QRgb PenColor, const TBrush& Brush) const;

private:
    QRect FBounds;
    std::vector<std::uint8_t> FCells;
};

// Stretches Source of Image (Format_RGB32) onto Dest of the DC's surface through
// StretchDIBits: nearest pixel, Rop as the raster operation, opposite signs of the
// extents mirroring.
void StretchImage(HDC DC, const TRect& Dest, const QImage& Image, const TRect& Source, std::uint32_t Rop);
// The same through TransparentDIBits: the pixels of colour Transparent are left out.
void StretchImageTransparent(HDC DC, const TRect& Dest, const QImage& Image, const TRect& Source,
                             TColor Transparent);

// The surface of a device context for one drawing call. Raises EInvalidOperation for a
// canvas without a handle; Image() is nullptr when the context has nothing to draw on.
// The destructor writes back the rectangles touched.
class TDrawingSession {
public:
    explicit TDrawingSession(HDC DC);
    ~TDrawingSession();
    TDrawingSession(const TDrawingSession&) = delete;
    TDrawingSession& operator=(const TDrawingSession&) = delete;

    QImage* Image() const { return FImage != nullptr && !FImage->isNull() ? FImage : nullptr; }
    void Touch(const QRect& Rect) { FTouched |= Rect; }

private:
    HDC FDC;
    QImage* FImage;
    QRect FTouched;
};
