// The playback window.
#include "frameset/forms/gifreadview.h"

#include "frameset/forms/gifread.h"

TForm3* Form3 = nullptr;

TForm3::TForm3() {
    SetCaption("再生中");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetFormStyle(fsStayOnTop);
    SetBorderIcons(0);
    Image1 = FParts.Make<TImage>("Image1", this);
    Image1->SetBounds(0, 0, 100, 100);
    Image1->SetAutoSize(true);
    // The window has no close box, but a window manager may still close it: that stops
    // the playback as "停止(&I)" does.
    OnClose = [](TObject* Sender, TCloseAction&) {
        if (Form1 != nullptr) Form1->Button5Click(Sender);
    };
}

TForm3::~TForm3() {
    if (Form3 == this) Form3 = nullptr;
}
