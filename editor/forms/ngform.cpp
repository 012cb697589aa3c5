#include "editor/forms/ngform.h"

#include "toolkit/widgets/BindHandler.h"

Tnewform* newform = nullptr;

namespace {

TSpinEdit* MakeSizeEdit(TComponentOwner& Parts, const char* Name, TWinControl* Parent, int Left) {
    auto* edit = Parts.Make<TSpinEdit>(Name, Parent);
    edit->SetBounds(Left, 14, 60, 22);
    edit->SetMinValue(10);
    edit->SetMaxValue(1000);
    edit->SetIncrement(10);
    edit->SetMaxLength(4);
    edit->SetValue(100);
    return edit;
}

TRadioGroup* MakeChoice(TComponentOwner& Parts, const char* Name, TWinControl* Parent, int Left,
                        const char* Caption, std::vector<std::string> Items) {
    auto* group = Parts.Make<TRadioGroup>(Name, Parent);
    group->SetBounds(Left, 4, 100, 96);
    group->SetCaption(Caption);
    group->SetItems(Items);
    group->SetItemIndex(1);
    return group;
}

} // namespace

Tnewform::Tnewform() {
    SetCaption("背景新規作成");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBorderStyle(bsDialog);
    SetClientWidth(230);
    SetClientHeight(170);

    Label1 = FParts.MakeLabel("Label1", this, 10, 18, "幅");
    SpinEdit1 = MakeSizeEdit(FParts, "SpinEdit1", this, 30);
    Label2 = FParts.MakeLabel("Label2", this, 96, 18, "X   高さ");
    SpinEdit2 = MakeSizeEdit(FParts, "SpinEdit2", this, 150);
    Label3 = FParts.MakeLabel("Label3", this, 10, 58, "背景色");
    Shape1 = FParts.Make<TShape>("Shape1", this);
    Shape1->SetBounds(60, 52, 40, 25);
    Shape1->SetBrush(TBrush{clWhite, bsSolid});
    Button1 = FParts.MakeButton("Button1", this, TRect{30, 124, 105, 149}, "OK");
    Button2 = FParts.MakeButton("Button2", this, TRect{125, 124, 200, 149}, "CANCEL");
    Button2->SetCancel(true);

    // Made last so that it covers the controls above when shown.
    Panel1 = FParts.Make<TPanel>("Panel1", this);
    Panel1->SetBounds(0, 0, 225, 105);
    Panel1->SetBevelOuter(bvNone);
    crmode1 = MakeChoice(FParts, "crmode1", Panel1, 8, "横位置", {"LEFT", "CENTER", "RIGHT"});
    crmode2 = MakeChoice(FParts, "crmode2", Panel1, 116, "縦位置", {"TOP", "MIDLE", "BOTTOM"});
    Panel1->Hide();

    ColorDialog1 = FParts.Make<TColorDialog>("ColorDialog1");

    OnActivate = BindHandler(this, &Tnewform::FormActivate);
    OnClose = BindHandler(this, &Tnewform::FormClose);
    Button1->OnClick = BindHandler(this, &Tnewform::Button1Click);
    Button2->OnClick = BindHandler(this, &Tnewform::Button2Click);
    Shape1->OnMouseDown = BindHandler(this, &Tnewform::Shape1MouseDown);
}

Tnewform::~Tnewform() {
    if (newform == this) newform = nullptr;
}

void Tnewform::FormActivate(TObject*) {
    NewFormCancelled = false;
}

void Tnewform::Button1Click(TObject*) {
    SetModalResult(mrOk);
}

// Only "OK" confirms: the window's close box cancels like "CANCEL".
void Tnewform::FormClose(TObject*, TCloseAction&) {
    if (GetModalResult() != mrOk) NewFormCancelled = true;
}

void Tnewform::Button2Click(TObject*) {
    NewFormCancelled = true;
    Close();
}

void Tnewform::Shape1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (ColorDialog1->Execute()) Shape1->SetBrushColor(ColorDialog1->Color);
}
