#include "editor/forms/scoreset.h"

#include "toolkit/widgets/BindHandler.h"

Tscoreform* scoreform = nullptr;

Tscoreform::Tscoreform() {
    SetCaption("スコアセット");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBorderStyle(bsDialog);
    SetClientWidth(202);
    SetClientHeight(100);

    // Offsets are unbounded: equal bounds leave a spin edit free.
    Label1 = FParts.MakeLabel("Label1", this, 12, 18, "X =");
    SpinEdit1 = FParts.Make<TSpinEdit>("SpinEdit1", this);
    SpinEdit1->SetBounds(36, 14, 60, 22);
    Label2 = FParts.MakeLabel("Label2", this, 106, 18, "Y =");
    SpinEdit2 = FParts.Make<TSpinEdit>("SpinEdit2", this);
    SpinEdit2->SetBounds(130, 14, 60, 22);
    Button1 = FParts.MakeButton("Button1", this, TRect{20, 60, 95, 85}, "OK");
    Button2 = FParts.MakeButton("Button2", this, TRect{107, 60, 182, 85}, "CANCEL");
    Button2->SetCancel(true);

    OnActivate = BindHandler(this, &Tscoreform::FormActivate);
    Button1->OnClick = BindHandler(this, &Tscoreform::Button1Click);
    Button2->OnClick = BindHandler(this, &Tscoreform::Button2Click);
}

Tscoreform::~Tscoreform() {
    if (scoreform == this) scoreform = nullptr;
}

void Tscoreform::FormActivate(TObject*) {
    ScoreFormOk = true;
    SpinEdit1->SetValue(0);
    SpinEdit2->SetValue(0);
}

void Tscoreform::Button1Click(TObject*) {
    SetModalResult(mrOk);
}

void Tscoreform::Button2Click(TObject*) {
    ScoreFormOk = false;
    Close();
}
