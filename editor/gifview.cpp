#include "editor/gifview.h"

Tviewform* viewform = nullptr;

Tviewform::Tviewform() {
    SetCaption("テスト表示");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetClientWidth(300);
    SetClientHeight(140);

    Panel1 = FParts.Make<TPanel>("Panel1", this);
    Panel1->SetHeight(40);
    Panel1->SetAlign(alTop);
    Button1 = FParts.MakeButton("Button1", Panel1, TRect{8, 8, 83, 33}, "開始");
    Button2 = FParts.MakeButton("Button2", Panel1, TRect{88, 8, 163, 33}, "停止");
    Button3 = FParts.MakeButton("Button3", Panel1, TRect{168, 8, 243, 33}, "閉じる");
    Image1 = FParts.Make<TImage>("Image1", this);
    Image1->SetBounds(0, 40, 300, 100);
    Image1->SetAutoSize(true);
}

Tviewform::~Tviewform() {
    if (viewform == this) viewform = nullptr;
}
