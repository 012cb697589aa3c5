#include "toolkit/widgets/Shape.h"

TShape::TShape(TWinControl* Parent) : TControl(new TSurfaceWidget(&FSurface, [this] { Paint(); }), Parent) {}

void TShape::SetBrush(const TBrush& Value) {
    FBrush = Value;
    Invalidate();
}

void TShape::SetPen(const TPen& Value) {
    FPen = Value;
    Invalidate();
}

void TShape::Paint() {
    TCanvas* canvas = FSurface.Canvas();
    // Hatched brushes leave the background between their lines: the parent's colour.
    canvas->Brush = TBrush{ColorToRGB(clBtnFace), bsSolid};
    canvas->FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    canvas->Pen = FPen;
    canvas->Brush = FBrush;
    const int inset = FPen.Width / 2;
    const int width = GetWidth() - FPen.Width + 1;
    const int height = GetHeight() - FPen.Width + 1;
    canvas->Rectangle(inset, inset, inset + width, inset + height);
}
