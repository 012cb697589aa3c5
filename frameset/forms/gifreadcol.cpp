// The transparent-colour dialog.
#include "frameset/forms/gifreadcol.h"

#include "frameset/model/gifreadframes.h"
#include "toolkit/widgets/BindHandler.h"

TForm2* Form2 = nullptr;

bool SwatchAccepted = false;
std::uint8_t PickedIndex = 0;
std::int32_t SwatchCount = 0;

namespace {

constexpr int SwatchSize = 16;
constexpr int SwatchesPerRow = 16;

} // namespace

TForm2::TForm2() {
    SetCaption("透過色設定");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBorderStyle(bsDialog);
    SetBounds(162, 36, 302, 361);

    Image1 = FParts.Make<TImage>("Image1", this);
    Image1->SetBounds(16, 16, SwatchSize * SwatchesPerRow, SwatchSize * SwatchesPerRow);
    Shape1 = FParts.Make<TShape>("Shape1", this);
    Shape1->SetBounds(16, 280, 57, 41);
    Button1 = FParts.MakeButton("Button1", this, Rect(88, 288, 169, 313), "OK");
    Button2 = FParts.MakeButton("Button2", this, Rect(184, 288, 265, 313), "CANSEL");

    OnActivate = BindHandler(this, &TForm2::FormActivate);
    Button1->OnClick = BindHandler(this, &TForm2::Button1Click);
    Button2->OnClick = BindHandler(this, &TForm2::Button2Click);
    Image1->OnMouseDown = BindHandler(this, &TForm2::Image1MouseDown);
}

TForm2::~TForm2() {
    if (Form2 == this) Form2 = nullptr;
}

void TForm2::ShowSwatches(TKvDIB& Picture) {
    TCanvas* canvas = Image1->Canvas();
    canvas->Brush.Color = clWhite;
    canvas->FillRect(Rect(0, 0, Image1->GetWidth(), Image1->GetHeight()));
    Shape1->SetBrushColor(Picture.GetColors(PickedIndex));
    SwatchCount = 1 << BitsPerPixelOfPaletteSize(Picture.GetPaletteSize());
    for (int j = 0; j < SwatchCount; ++j) {
        const int left = SwatchSize * (j % SwatchesPerRow);
        const int top = SwatchSize * (j / SwatchesPerRow);
        canvas->Brush.Color = Picture.GetColors(j);
        canvas->FillRect(Rect(left, top, left + SwatchSize, top + SwatchSize));
    }
}

// Every showing starts unaccepted, so the close box counts as cancel.
void TForm2::FormActivate(TObject*) {
    SwatchAccepted = false;
}

void TForm2::Button1Click(TObject*) {
    SwatchAccepted = true;
    Close();
}

void TForm2::Button2Click(TObject*) {
    SwatchAccepted = false;
    Close();
}

// The top row and left column of pixels pick nothing, nor does a press past the last swatch.
void TForm2::Image1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    if (X <= 0 || Y <= 0) return;
    const int j = X / SwatchSize + Y / SwatchSize * SwatchesPerRow;
    if (j >= SwatchCount) return;
    Shape1->SetBrushColor(Image1->Canvas()->GetPixels(X, Y));
    PickedIndex = std::uint8_t(j);
}
