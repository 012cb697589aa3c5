#include "editor/transform.h"

Ttransfrm* transfrm = nullptr;

namespace {

TButton* MakeButton(TComponentOwner& Parts, const char* Name, TWinControl* Parent, int Left, int Width,
                    const char* Caption) {
    auto* button = Parts.Make<TButton>(Name, Parent);
    button->SetBounds(Left, 8, Width, 25);
    button->SetCaption(Caption);
    return button;
}

} // namespace

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
    Button1 = MakeButton(FParts, "Button1", Panel1, 8, 50, "拡大");
    Button2 = MakeButton(FParts, "Button2", Panel1, 62, 50, "縮小");
    Shape1 = FParts.Make<TShape>("Shape1", Panel1);
    Shape1->SetBounds(122, 8, 25, 25);
    Button3 = MakeButton(FParts, "Button3", Panel1, 158, 80, "キャンセル");
    Button4 = MakeButton(FParts, "Button4", Panel1, 244, 80, "透過しない");
    Button4->Hide();

    ScrollBox1 = FParts.Make<TScrollBox>("ScrollBox1", this);
    ScrollBox1->SetAlign(alClient);
    Image1 = FParts.Make<TImage>("Image1", ScrollBox1);
    Image1->SetBounds(0, 0, 100, 100);
    Image1->SetAutoSize(true);
    Image1->SetStretch(true);
}

Ttransfrm::~Ttransfrm() {
    if (transfrm == this) transfrm = nullptr;
}
