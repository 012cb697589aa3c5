// The transparent-colour dialog.
#include "frameset/gifreadcol.h"

#include "editor/gifformcomponents.h"

TForm2* Form2 = nullptr;

TForm2::TForm2() {
    SetCaption("透過色設定");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBorderStyle(bsDialog);
    SetBounds(162, 36, 302, 361);
}

TForm2::~TForm2() {
    if (Form2 == this) Form2 = nullptr;
}
