// The playback window.
#include "frameset/gifreadview.h"

TForm3* Form3 = nullptr;

TForm3::TForm3() {
    SetCaption("再生中");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetFormStyle(fsStayOnTop);
    SetBorderIcons(0);
    Image1 = FParts.Make<TImage>("Image1", this);
    Image1->SetBounds(0, 0, 100, 100);
    Image1->SetAutoSize(true);
}

TForm3::~TForm3() {
    if (Form3 == this) Form3 = nullptr;
}
