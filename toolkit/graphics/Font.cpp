// TFont: point sizes and the Qt font that draws it.
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "toolkit/graphics/Graphics.h"

namespace {

constexpr int PixelsPerInch = 96;

// N * Numerator / Denominator, rounded half away from zero.
int MulDiv(int N, int Numerator, int Denominator) {
    return static_cast<int>(std::lround(static_cast<double>(N) * Numerator / Denominator));
}

// The Windows UI fonts the programs name, and the metric-compatible fonts drawn instead.
QString FamilyOf(const std::string& Name) {
    if (Name == "ＭＳ Ｐゴシック") return QStringLiteral("IPAPGothic");
    if (Name == "ＭＳ ゴシック") return QStringLiteral("IPAGothic");
    return QString::fromStdString(Name);
}

} // namespace

int TFont::Size() const {
    return -MulDiv(Height, 72, PixelsPerInch);
}

void TFont::SetSize(int Points) {
    Height = -MulDiv(Points, PixelsPerInch, 72);
}

QFont TFont::ToQFont() const {
    QFont font(FamilyOf(Name));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setBold((Style & fsBold) != 0);
    font.setItalic((Style & fsItalic) != 0);
    font.setUnderline((Style & fsUnderline) != 0);
    font.setStrikeOut((Style & fsStrikeOut) != 0);
    if (Height < 0) {
        font.setPixelSize(-Height);
    } else if (Height > 0) {
        // A positive height is the whole cell (ascent + descent): shrink the character
        // height until the cell fits.
        font.setPixelSize(Height);
        const int cell = QFontMetrics(font).height();
        if (cell > Height) {
            int pixels = std::max(1, Height * Height / cell);
            font.setPixelSize(pixels);
            while (pixels > 1 && QFontMetrics(font).height() > Height)
                font.setPixelSize(--pixels);
        }
    }
    return font;
}
