#include "toolkit/widgets/ImageControl.h"

TImage::TImage(TWinControl* Parent)
    : TControl(new TSurfaceWidget(&FSurface, [this] { Paint(); }), Parent),
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
    if (FAutoSize && graphic != nullptr && !graphic->Empty())
        SetBounds(GetLeft(), GetTop(), graphic->Width(), graphic->Height());
    Invalidate();
}

void TImage::Paint() {
    TCanvas* canvas = FSurface.Canvas();
    const TRect client = Rect(0, 0, GetWidth(), GetHeight());
    canvas->Brush = TBrush{ColorToRGB(clBtnFace), bsSolid};
    canvas->FillRect(client);
    TGraphic* graphic = FPicture->GetGraphic();
    if (graphic == nullptr || graphic->Empty()) return;
    if (FStretch)
        canvas->StretchDraw(client, graphic);
    else
        canvas->Draw(0, 0, graphic);
}
