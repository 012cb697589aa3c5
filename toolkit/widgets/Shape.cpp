#include "toolkit/widgets/Shape.h"

TShape::TShape(TWinControl* Parent)
    : TControl(new TSurfaceWidget(&FSurface, [this](const QRect& Area) { Paint(Area.left(), Area.top()); }),
               Parent) {}

void TShape::SetBrush(const TBrush& Value) {
    FBrush = Value;
    Invalidate();
}

void TShape::SetPen(const TPen& Value) {
    FPen = Value;
    Invalidate();
}

void TShape::Paint(int OriginX, int OriginY) {
    TCanvas* canvas = FSurface.Canvas();
    // Hatched brushes leave the background between their lines: the parent's colour.
    canvas->Brush = TBrush{ColorToRGB(clBtnFace), bsSolid};
    canvas->FillRect(Rect(0, 0, FSurface.Image().width(), FSurface.Image().height()));
    canvas->Pen = FPen;
    canvas->Brush = FBrush;
    const int left = FPen.Width / 2 - OriginX;
    const int top = FPen.Width / 2 - OriginY;
    canvas->Rectangle(left, top, left + GetWidth() - FPen.Width + 1, top + GetHeight() - FPen.Width + 1);
}
