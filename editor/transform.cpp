#include "editor/transform.h"

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
}

Ttransfrm::~Ttransfrm() {
    if (transfrm == this) transfrm = nullptr;
}
