// TCanvas: text. Glyphs are rendered without anti-aliasing into a coverage mask and
// painted in the font colour, so a text picture holds only the font and brush colours.
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "toolkit/graphics/CanvasRaster.h"

namespace {

// Draws Text with its cell's top-left at (X, Y), clipped to Clip; a solid brush first
// fills Background. Returns the rectangle written.
QRect PaintText(QImage& Surface, const TFont& Font, const TBrush& Brush, const QRect& Background,
                const QRect& Clip, int X, int Y, const QString& Text) {
    const QRect area = Clip & Surface.rect();
    if (area.isEmpty()) return {};
    if (Brush.Style == bsSolid) {
        const QRect fill = Background & area;
        const QRgb color = PixelOfColor(Brush.Color);
        for (int y = fill.top(); y <= fill.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(Surface.scanLine(y));
            std::fill(row + fill.left(), row + fill.right() + 1, color);
        }
    }
    const QFont font = Font.ToQFont();
    QImage glyphs(area.size(), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    {
        QPainter painter(&glyphs);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(X - area.left(), Y - area.top() + QFontMetrics(font).ascent(), Text);
    }
    const QRgb color = PixelOfColor(Font.Color);
    for (int y = 0; y < area.height(); ++y) {
        const auto* cover = reinterpret_cast<const QRgb*>(glyphs.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(Surface.scanLine(area.top() + y)) + area.left();
        for (int x = 0; x < area.width(); ++x)
            if (qAlpha(cover[x]) >= 128) row[x] = color;
    }
    return area;
}

} // namespace

// The cell (X, Y) - (X + width, Y + height) takes the brush as background; glyphs that
// reach beyond the cell (italics, accents) are drawn too.
void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    const QString text = QString::fromStdString(Text);
    const QFontMetrics metrics(Font.ToQFont());
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image != nullptr) {
            const QRect cell(X, Y, width, height);
            session.Touch(PaintText(*image, Font, Brush, cell,
                                    cell.adjusted(-height, -height, height, height), X, Y, text));
        }
    }
    PenPos = Point(X + width, Y);
    Changed();
}

// Text clipped to Rect; a solid brush fills all of Rect behind it.
void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
    {
        TDrawingSession session(FHandle);
        QImage* image = session.Image();
        if (image == nullptr) return;
        const QRect clip = ToQRect(Rect);
        session.Touch(PaintText(*image, Font, Brush, clip, clip, X, Y, QString::fromStdString(Text)));
    }
    Changed();
}

int TCanvas::TextWidth(const std::string& Text) {
    return QFontMetrics(Font.ToQFont()).horizontalAdvance(QString::fromStdString(Text));
}

int TCanvas::TextHeight(const std::string&) {
    return QFontMetrics(Font.ToQFont()).height();
}
