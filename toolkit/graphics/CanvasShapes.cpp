// TCanvas: lines, ellipses and polygons, each pixel mixed once by the pen mode: ellipses by
// runs of rows, lines and polygons through a coverage mask.
#include <algorithm>
#include <cmath>

#include "toolkit/graphics/CanvasRaster.h"

namespace {

int PenWidth(const TPen& Pen) {
    return Pen.Style == psClear ? 0 : std::max(1, Pen.Width);
}

// The pixels whose centres lie inside the ellipse inscribed in [Left, Right) x [Top, Bottom),
// as a span [First, Last] of row Y; empty when First > Last.
std::pair<int, int> EllipseSpan(double Left, double Top, double Right, double Bottom, int Y) {
    const double rx = (Right - Left) / 2;
    const double ry = (Bottom - Top) / 2;
    if (rx <= 0 || ry <= 0) return {1, 0};
    const double dy = (Y + 0.5 - (Top + ry)) / ry;
    const double t = 1 - dy * dy;
    if (t < 0) return {1, 0};
    const double half = rx * std::sqrt(t);
    const double cx = Left + rx;
    return {static_cast<int>(std::ceil(cx - half - 0.5)), static_cast<int>(std::floor(cx + half - 0.5))};
}

} // namespace

// Row by row the pen's ring and the brush's inside are disjoint runs: they are painted as
// they are found, each pixel once.
void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr) return;
        const int left = std::min(X1, X2), right = std::max(X1, X2);
        const int top = std::min(Y1, Y2), bottom = std::max(Y1, Y2);
        const int pen = PenWidth(Pen);
        const QRect bounds = QRect(left, top, right - left, bottom - top) & image->rect();
        if (bounds.isEmpty()) return;
        const TSpanPainter painter(*image, Pen.Mode, PixelOfColor(Pen.Color), Brush);
        auto paint = [&](int Y, int First, int End, TCover Cover) {
            painter.Paint(Y, std::max(First, bounds.left()), std::min(End, bounds.right() + 1), Cover);
        };
        for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
            const auto [outerFirst, outerLast] = EllipseSpan(left, top, right, bottom, y);
            if (outerFirst > outerLast) continue;
            const auto [innerFirst, innerLast] =
                EllipseSpan(left + pen, top + pen, right - pen, bottom - pen, y);
            if (innerFirst > innerLast) {
                paint(y, outerFirst, outerLast + 1, CoverPen);
                continue;
            }
            paint(y, outerFirst, innerFirst, CoverPen);
            paint(y, innerFirst, innerLast + 1, CoverBrush);
            paint(y, innerLast + 1, outerLast + 1, CoverPen);
        }
        session.Touch(bounds);
    }
    Changed();
}

void TCanvas::MoveTo(int X, int Y) {
    PenPos = Point(X, Y);
}

// A line from the pen position to (X, Y), leaving out the end pixel; the pen moves there.
void TCanvas::LineTo(int X, int Y) {
    const TPoint from = PenPos;
    PenPos = Point(X, Y);
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        const int pen = PenWidth(Pen);
        if (image == nullptr || pen == 0) return;
        const QRect extent = QRect(QPoint(std::min(from.X, X), std::min(from.Y, Y)),
                                   QPoint(std::max(from.X, X), std::max(from.Y, Y)))
                                 .adjusted(-pen, -pen, pen, pen);
        if (!extent.intersects(image->rect())) return;
        if (pen == 1) {
            // A thin line touches each pixel once as it stands: no mask needed.
            const QRgb color = PixelOfColor(Pen.Color);
            const QRect surface = image->rect();
            BresenhamLine(QPoint(from.X, from.Y), QPoint(X, Y), false, [&](int px, int py) {
                if (!surface.contains(px, py)) return;
                QRgb& pixel = reinterpret_cast<QRgb*>(image->scanLine(py))[px];
                pixel = MixPen(Pen.Mode, color, pixel);
            });
            session.Touch(extent & surface);
        } else {
            TShapeMask mask(extent & image->rect());
            mask.Line(QPoint(from.X, from.Y), QPoint(X, Y), pen, false);
            mask.Paint(*image, Pen.Mode, PixelOfColor(Pen.Color), Brush);
            session.Touch(mask.Bounds());
        }
    }
    Changed();
}

// Filled by the alternate (even-odd) rule at pixel centres, outlined by the pen through
// every vertex.
void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    if (Points.size() < 2) return;
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr) return;
        const int pen = PenWidth(Pen);
        QRect bounds;
        for (const TPoint& p : Points)
            bounds |= QRect(p.X, p.Y, 1, 1);
        TShapeMask mask(bounds.adjusted(-pen, -pen, pen, pen) & image->rect());
        if (mask.Bounds().isEmpty()) return;
        std::vector<double> crossings;
        for (int y = mask.Bounds().top(); y <= mask.Bounds().bottom(); ++y) {
            const double cy = y + 0.5;
            crossings.clear();
            for (std::size_t i = 0; i < Points.size(); ++i) {
                const TPoint& a = Points[i];
                const TPoint& b = Points[(i + 1) % Points.size()];
                if ((a.Y <= cy) == (b.Y <= cy)) continue;
                crossings.push_back(a.X + (cy - a.Y) * (b.X - a.X) / (b.Y - a.Y));
            }
            std::sort(crossings.begin(), crossings.end());
            for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
                mask.SetSpan(y, static_cast<int>(std::ceil(crossings[i] - 0.5)),
                             static_cast<int>(std::ceil(crossings[i + 1] - 0.5)), CoverBrush);
        }
        if (pen > 0)
            for (std::size_t i = 0; i < Points.size(); ++i) {
                const TPoint& a = Points[i];
                const TPoint& b = Points[(i + 1) % Points.size()];
                mask.Line(QPoint(a.X, a.Y), QPoint(b.X, b.Y), pen, true);
            }
        mask.Paint(*image, Pen.Mode, PixelOfColor(Pen.Color), Brush);
        session.Touch(mask.Bounds());
    }
    Changed();
}
