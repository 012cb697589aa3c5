#include "editor/forms/gifformglyphs.h"

#include <QBitmap>
#include <QImage>

namespace {

constexpr int GlyphSize = 18;
// Never used by a symbol; the bottom-left pixel tells the button what to leave out.
constexpr TColor GlyphGround = 0x00FF00FF;

} // namespace

std::unique_ptr<TBitmap> ButtonGlyph(const std::string& Symbol, TColor Color) {
    auto glyph = std::make_unique<TBitmap>();
    glyph->SetSize(GlyphSize, GlyphSize);
    TCanvas* canvas = glyph->Canvas();
    canvas->Brush = TBrush{GlyphGround, bsSolid};
    canvas->FillRect(TRect{0, 0, GlyphSize, GlyphSize});
    canvas->Font.Name = "ＭＳ ゴシック";
    canvas->Font.Height = -14;
    canvas->Font.Style = fsBold;
    canvas->Font.Color = Color;
    canvas->Brush.Style = bsClear;
    const int x = (GlyphSize - canvas->TextWidth(Symbol)) / 2;
    const int y = (GlyphSize - canvas->TextHeight(Symbol)) / 2;
    canvas->TextOut(x, y, Symbol);
    return glyph;
}

QCursor PlacementCursor() {
    constexpr int size = 32;
    constexpr int centre = 15;
    constexpr int gap = 3;
    QImage shape(size, size, QImage::Format_Mono);
    QImage mask(size, size, QImage::Format_Mono);
    for (QImage* image : {&shape, &mask}) {
        // Index 1 is the set bit of the cursor's bitmaps.
        image->setColorCount(2);
        image->setColor(0, qRgb(255, 255, 255));
        image->setColor(1, qRgb(0, 0, 0));
        image->fill(0);
    }
    // Black arms over a white outline, so the pointer shows on any picture.
    for (int d = gap; d <= 10; ++d) {
        for (int side = -1; side <= 1; ++side) {
            for (const int along : {centre - d, centre + d}) {
                mask.setPixel(along, centre + side, 1);
                mask.setPixel(centre + side, along, 1);
            }
        }
        for (const int along : {centre - d, centre + d}) {
            shape.setPixel(along, centre, 1);
            shape.setPixel(centre, along, 1);
        }
    }
    return QCursor(QBitmap::fromImage(shape), QBitmap::fromImage(mask), centre, centre);
}
