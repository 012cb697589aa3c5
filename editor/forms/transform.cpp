#include "editor/forms/transform.h"

#include "toolkit/widgets/BindHandler.h"

Ttransfrm* transfrm = nullptr;

Ttransfrm::Ttransfrm() {
    SetCaption("背景色設定");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBorderStyle(bsDialog);
    SetBorderIcons(0);
    SetClientWidth(371);
    SetClientHeight(252);

    Panel1 = FParts.Make<TPanel>("Panel1", this);
    Panel1->SetHeight(41);
    Panel1->SetAlign(alTop);
    Button1 = FParts.MakeButton("Button1", Panel1, TRect{8, 8, 58, 33}, "拡大");
    Button2 = FParts.MakeButton("Button2", Panel1, TRect{62, 8, 112, 33}, "縮小");
    Shape1 = FParts.Make<TShape>("Shape1", Panel1);
    Shape1->SetBounds(122, 8, 25, 25);
    Button3 = FParts.MakeButton("Button3", Panel1, TRect{158, 8, 238, 33}, "キャンセル");
    Button4 = FParts.MakeButton("Button4", Panel1, TRect{244, 8, 324, 33}, "透過しない");
    Button4->Hide();

    ScrollBox1 = FParts.Make<TScrollBox>("ScrollBox1", this);
    ScrollBox1->SetAlign(alClient);
    Image1 = FParts.Make<TImage>("Image1", ScrollBox1);
    Image1->SetBounds(0, 0, 100, 100);
    Image1->SetAutoSize(true);
    Image1->SetStretch(true);

    OnActivate = BindHandler(this, &Ttransfrm::FormActivate);
    Button1->OnClick = BindHandler(this, &Ttransfrm::Button1Click);
    Button2->OnClick = BindHandler(this, &Ttransfrm::Button2Click);
    Button3->OnClick = BindHandler(this, &Ttransfrm::Button3Click);
    Button4->OnClick = BindHandler(this, &Ttransfrm::Button4Click);
    Image1->OnMouseMove = BindHandler(this, &Ttransfrm::Image1MouseMove);
    Image1->OnMouseDown = BindHandler(this, &Ttransfrm::Image1MouseDown);
}

Ttransfrm::~Ttransfrm() {
    if (transfrm == this) transfrm = nullptr;
}

bool Ttransfrm::Pick(TGraphic& Picture, const std::string& Caption, bool OfferNoTransparency) {
    // The user points at real pixels: a cast's transparent colour is shown, not left out.
    TBitmap shown;
    shown.Assign(&Picture);
    shown.SetTransparent(false);
    Image1->Picture()->SetGraphic(&shown);
    SetCaption(Caption);
    Button4->SetVisible(OfferNoTransparency);
    FAnswered = false;
    ShowModal();
    Button4->Hide();
    // A window closed by other means than a pick or "透過しない" (the window manager's
    // close) leaves no point either: the caller must not act on an old one.
    if (!FAnswered) PickerCancelled = true;
    return !PickerCancelled;
}

void Ttransfrm::FormActivate(TObject*) {
    PickerZoom = 1;
    PickerCancelled = false;
    ZoomPicture();
}

void Ttransfrm::ZoomPicture() {
    const TPicture* picture = Image1->Picture();
    Image1->SetBounds(Image1->GetLeft(), Image1->GetTop(), picture->Width() * PickerZoom,
                      picture->Height() * PickerZoom);
}

void Ttransfrm::Button1Click(TObject*) {
    ++PickerZoom;
    ZoomPicture();
}

void Ttransfrm::Button2Click(TObject*) {
    if (PickerZoom <= 1) return;
    --PickerZoom;
    ZoomPicture();
}

void Ttransfrm::Button3Click(TObject*) {
    PickerCancelled = true;
    Close();
}

void Ttransfrm::Button4Click(TObject*) {
    // Only X says "no transparency"; Y keeps the value of the last pick.
    PickedPoint.X = -1;
    FAnswered = true;
    Close();
}

void Ttransfrm::Image1MouseMove(TObject*, TShiftState, int X, int Y) {
    const TColor color = Image1->Picture()->Bitmap()->Canvas()->GetPixels(X / PickerZoom, Y / PickerZoom);
    if (color != CLR_INVALID) Shape1->SetBrushColor(color);
}

void Ttransfrm::Image1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    PickedPoint = TPoint{X / PickerZoom, Y / PickerZoom};
    FAnswered = true;
    Close();
}
