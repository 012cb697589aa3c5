// TCanvas: pixels, rectangles, focus rectangles and the drawing of graphics.
#include <algorithm>

#include "toolkit/graphics/CanvasRaster.h"

namespace {

TRect Normalized(int X1, int Y1, int X2, int Y2) {
    return TRect{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2)};
}

} // namespace

TCanvas::~TCanvas() = default;

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

int TCanvas::SurfaceWidth() const {
    if (FHandle == 0) return 0;
    TDrawingSession session(FHandle);
    return session.Image() != nullptr ? session.Image()->width() : 0;
}

int TCanvas::SurfaceHeight() const {
    if (FHandle == 0) return 0;
    TDrawingSession session(FHandle);
    return session.Image() != nullptr ? session.Image()->height() : 0;
}

TColor TCanvas::GetPixels(int X, int Y) {
    TDrawingSession session(FHandle);
    const QImage* image = session.Image();
    if (image == nullptr || !image->rect().contains(X, Y)) return CLR_INVALID;
    return ColorOfPixel(reinterpret_cast<const QRgb*>(image->constScanLine(Y))[X]);
}

void TCanvas::SetPixels(int X, int Y, TColor Color) {
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr || !image->rect().contains(X, Y)) return;
        reinterpret_cast<QRgb*>(image->scanLine(Y))[X] = PixelOfColor(Color);
        session.Touch(QRect(X, Y, 1, 1));
    }
    Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr) return;
        const QRect area = ToQRect(Rect) & image->rect();
        if (Brush.Style != bsClear && !area.isEmpty()) {
            const QRgb color = PixelOfColor(Brush.Color);
            for (int y = area.top(); y <= area.bottom(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image->scanLine(y));
                if (Brush.Style == bsSolid) {
                    std::fill(row + area.left(), row + area.right() + 1, color);
                    continue;
                }
                for (int x = area.left(); x <= area.right(); ++x)
                    if (BrushCovers(Brush.Style, x, y)) row[x] = color;
            }
            session.Touch(area);
        }
    }
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr) return;
        const QRect bounds = ToQRect(Rect);
        if (bounds.isEmpty()) return;
        TShapeMask mask(bounds & image->rect());
        mask.SetSpan(Rect.Top, Rect.Left, Rect.Right, CoverBrush);
        mask.SetSpan(Rect.Bottom - 1, Rect.Left, Rect.Right, CoverBrush);
        for (int y = Rect.Top; y < Rect.Bottom; ++y) {
            mask.Set(Rect.Left, y, CoverBrush);
            mask.Set(Rect.Right - 1, y, CoverBrush);
        }
        mask.Paint(*image, pmCopy, 0, Brush);
        session.Touch(mask.Bounds());
    }
    Changed();
}

// The pen's outline lies inside the rectangle; the brush fills what it encloses. Both
// mix with the surface by the pen mode, each pixel once.
void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr) return;
        const TRect r = Normalized(X1, Y1, X2, Y2);
        const QRect area = ToQRect(r) & image->rect();
        if (area.isEmpty()) return;
        const int pen = Pen.Style == psClear ? 0 : std::max(1, Pen.Width);
        const TSpanPainter painter(*image, Pen.Mode, PixelOfColor(Pen.Color), Brush);
        const int first = area.left(), end = area.right() + 1;
        // Inside rows: the pen's left edge, the brush, the pen's right edge, which starts
        // where the left one ends when the pen is wider than half the rectangle.
        const int leftEdgeEnd = std::min(end, r.Left + pen);
        const int rightEdge = std::max(first, std::max(r.Right - pen, r.Left + pen));
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (y < r.Top + pen || y >= r.Bottom - pen) {
                painter.Paint(y, first, end, CoverPen);
                continue;
            }
            painter.Paint(y, first, leftEdgeEnd, CoverPen);
            painter.Paint(y, std::max(first, r.Left + pen), std::min(end, r.Right - pen), CoverBrush);
            painter.Paint(y, rightEdge, end, CoverPen);
        }
        session.Touch(area);
    }
    Changed();
}

// A dotted outline: every other pixel of the border inverted, in a checkerboard aligned
// to the surface, so drawing the same rectangle again restores the pixels.
void TCanvas::DrawFocusRect(const TRect& Rect) {
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr) return;
        const QRect bounds = ToQRect(Rect);
        if (bounds.isEmpty()) return;
        TShapeMask mask(bounds & image->rect());
        for (int x = Rect.Left; x < Rect.Right; ++x) {
            if (((x + Rect.Top) & 1) == 0) mask.Set(x, Rect.Top, CoverPen);
            if (((x + Rect.Bottom - 1) & 1) == 0) mask.Set(x, Rect.Bottom - 1, CoverPen);
        }
        for (int y = Rect.Top; y < Rect.Bottom; ++y) {
            if (((Rect.Left + y) & 1) == 0) mask.Set(Rect.Left, y, CoverPen);
            if (((Rect.Right - 1 + y) & 1) == 0) mask.Set(Rect.Right - 1, y, CoverPen);
        }
        mask.Paint(*image, pmNot, 0, Brush);
        session.Touch(mask.Bounds());
    }
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (Graphic == nullptr || Graphic->Empty()) return;
    Graphic->Draw(this, Rect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (Graphic == nullptr) return;
    Graphic->Draw(this, Rect);
    Changed();
}

// Stretches Source of Canvas onto Dest, nearest pixel, with CopyMode as the raster
// operation. The source is copied out first, so a canvas may copy onto itself.
void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    if (Canvas == nullptr) return;
    // Only the part of Source inside the surface is copied out; the rest stays undrawn.
    QImage source;
    TRect from = Source;
    {
        TDrawingSession session(Canvas->GetHandle());
        if (session.Image() == nullptr) return;
        const TRect r = Normalized(Source.Left, Source.Top, Source.Right, Source.Bottom);
        const QRect inside = ToQRect(r) & session.Image()->rect();
        if (inside.isEmpty()) return;
        // The whole surface is shared, not copied: copied onto itself, the surface gets pixels of
        // its own at the first write.
        source = inside == session.Image()->rect() ? *session.Image() : session.Image()->copy(inside);
        from = TRect{Source.Left - inside.left(), Source.Top - inside.top(), Source.Right - inside.left(),
                     Source.Bottom - inside.top()};
    }
    StretchImage(FHandle, Dest, source, from, CopyMode);
    Changed();
}
