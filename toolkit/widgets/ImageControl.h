// The image control: shows a picture at its top-left corner or stretched over the
// control, can size itself to each new picture, and draws on the picture's bitmap.
#pragma once

#include <memory>

#include "toolkit/widgets/CanvasSurface.h"
#include "toolkit/widgets/Control.h"

class TImage : public TControl {
public:
    explicit TImage(TWinControl* Parent);
    ~TImage() override;
    std::string ClassName() const override { return "TImage"; }

    TPicture* Picture() const { return FPicture.get(); }
    // The canvas of the picture's bitmap. An image without a picture gets a bitmap of
    // the control's size; one that holds another kind of graphic cannot be drawn on.
    TCanvas* Canvas();
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool Value);
    // The picture is drawn again from its pixels on the next paint.
    void Repaint() override { Invalidate(); }

private:
    void PictureChanged();
    void Paint(int OriginX, int OriginY);

    TCanvasSurface FSurface;
    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FStretch = false;
};
