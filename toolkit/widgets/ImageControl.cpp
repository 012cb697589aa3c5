#include "toolkit/widgets/ImageControl.h"

TImage::TImage(TWinControl* Parent)
    : TControl(new TSurfaceWidget(&FSurface, [this](const QRect& Area) { Paint(Area.left(), Area.top()); }),
               Parent),
      FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

TCanvas* TImage::Canvas() {
    TGraphic* graphic = FPicture->GetGraphic();
    if (graphic == nullptr) {
        TBitmap* bitmap = FPicture->Bitmap();
        bitmap->SetWidth(GetWidth());
        bitmap->SetHeight(GetHeight());
        return bitmap->Canvas();
    }
    if (dynamic_cast<TBitmap*>(graphic) == nullptr)
        throw EInvalidOperation("Can only modify an image if it contains a bitmap");
    return FPicture->Bitmap()->Canvas();
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    PictureChanged();
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::PictureChanged() {
    TGraphic* graphic = FPicture->GetGraphic();
    const bool resize = FAutoSize && graphic != nullptr && !graphic->Empty() &&
                        (graphic->Width() != GetWidth() || graphic->Height() != GetHeight());
    if (resize) SetBounds(GetLeft(), GetTop(), graphic->Width(), graphic->Height());
    Invalidate();
}

void TImage::Paint(int OriginX, int OriginY) {
    TCanvas* canvas = FSurface.Canvas();
    canvas->Brush = TBrush{ColorToRGB(clBtnFace), bsSolid};
    canvas->FillRect(Rect(0, 0, FSurface.Image().width(), FSurface.Image().height()));
    TGraphic* graphic = FPicture->GetGraphic();
    if (graphic == nullptr || graphic->Empty()) return;
    if (FStretch)
        canvas->StretchDraw(Rect(-OriginX, -OriginY, GetWidth() - OriginX, GetHeight() - OriginY), graphic);
    else
        canvas->Draw(-OriginX, -OriginY, graphic);
}
