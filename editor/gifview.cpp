#include "editor/gifview.h"

Tviewform* viewform = nullptr;

namespace {

TButton* MakeButton(TComponentOwner& Parts, const char* Name, TWinControl* Parent, int Left, const char* Caption) {
    auto* button = Parts.Make<TButton>(Name, Parent);
    button->SetBounds(Left, 8, 75, 25);
    button->SetCaption(Caption);
    return button;
}

} // namespace

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
    Button1 = MakeButton(FParts, "Button1", Panel1, 8, "開始");
    Button2 = MakeButton(FParts, "Button2", Panel1, 88, "停止");
    Button3 = MakeButton(FParts, "Button3", Panel1, 168, "閉じる");
    Image1 = FParts.Make<TImage>("Image1", this);
    Image1->SetBounds(0, 40, 300, 100);
    Image1->SetAutoSize(true);
}

Tviewform::~Tviewform() {
    if (viewform == this) viewform = nullptr;
}
