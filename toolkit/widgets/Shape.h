// A rectangle drawn with a pen and a brush: the colour swatches of the forms.
#pragma once

#include "toolkit/widgets/CanvasSurface.h"
#include "toolkit/widgets/Control.h"

class TShape : public TControl {
public:
    explicit TShape(TWinControl* Parent);
    std::string ClassName() const override { return "TShape"; }
    TBrush GetBrush() const { return FBrush; }
    void SetBrush(const TBrush& Value);
    void SetBrushColor(TColor Value) { SetBrush(TBrush{Value, FBrush.Style}); }
    void SetBrushStyle(TBrushStyle Value) { SetBrush(TBrush{FBrush.Color, Value}); }
    TPen GetPen() const { return FPen; }
    void SetPen(const TPen& Value);

private:
    void Paint(int OriginX, int OriginY);
    TCanvasSurface FSurface;
    TBrush FBrush;
    TPen FPen;
};
