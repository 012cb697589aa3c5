// The main window's tools for the frames' own settings: the background colour of the view,
// position, wait and disposal of the selected frames, the transparent colour by a click or
// from the swatch dialog, and the exchange of a palette colour.
#include "frameset/forms/gifread.h"
#include "frameset/forms/gifreadcol.h"
#include "toolkit/widgets/BindHandler.h"

namespace {

// The progress bar over a run through the selected frames: one step a frame, back to 0 at
// the end, also when the run fails.
class TFrameProgress {
public:
    TFrameProgress(TProgressBar& Bar, int Frames) : FBar(Bar) {
        FBar.SetMax(Frames);
        FBar.SetPosition(0);
    }
    ~TFrameProgress() { FBar.SetPosition(0); }
    TFrameProgress(const TFrameProgress&) = delete;
    TFrameProgress& operator=(const TFrameProgress&) = delete;

    TFrameStep Step() {
        return [this] { FBar.SetPosition(FBar.GetPosition() + 1); };
    }

private:
    TProgressBar& FBar;
};

} // namespace

void TForm1::BindSettingsHandlers() {
    Button2->OnClick = BindHandler(this, &TForm1::Button2Click);
    ComboBox1->OnChange = BindHandler(this, &TForm1::ComboBox1Change);
    imgposx->OnExit = BindHandler(this, &TForm1::imgposxExit);
    imgposy->OnExit = BindHandler(this, &TForm1::imgposyExit);
    waitdata->OnExit = BindHandler(this, &TForm1::waitdataExit);
    Image1->OnMouseDown = BindHandler(this, &TForm1::Image1MouseDown);
    Image1->OnMouseMove = BindHandler(this, &TForm1::Image1MouseMove);
    Shape1->OnMouseDown = BindHandler(this, &TForm1::Shape1MouseDown);
}

void TForm1::Button2Click(TObject*) {
    if (ColorDialog1->Execute()) Image1->Canvas()->Brush.Color = ColorDialog1->Color;
    if (FrameCount > 0) testviews(CurrentFrame());
    StringGrid1->SetFocus();
}

void TForm1::EditSelectedFrames(TFrameField Field, int Value, bool Redraw) {
    if (FrameCount == 0) return;
    int first = 0;
    int last = 0;
    SelectedFrames(first, last);
    SetFramesField(first, last, Field, Value);
    if (Redraw) testviews(CurrentFrame());
}

void TForm1::ComboBox1Change(TObject*) {
    // A list without a chosen item would store no disposal method at all.
    if (ComboBox1->GetItemIndex() < 0) return;
    EditSelectedFrames(TFrameField::Disposal, ComboBox1->GetItemIndex(), true);
}

void TForm1::imgposxExit(TObject*) {
    EditSelectedFrames(TFrameField::Left, imgposx->GetValue(), true);
}

void TForm1::imgposyExit(TObject*) {
    EditSelectedFrames(TFrameField::Top, imgposy->GetValue(), true);
}

// The wait plays no part in the view.
void TForm1::waitdataExit(TObject*) {
    EditSelectedFrames(TFrameField::Delay, waitdata->GetValue(), false);
}

void TForm1::Image1MouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (!Idle || FrameCount == 0) return;
    if (Button == mbLeft)
        haikeichg(CurrentFrame(), X, Y);
    else
        colorchg(CurrentFrame(), X, Y);
}

void TForm1::haikeichg(int Index, int X, int Y) {
    TFrameEntry& frame = FrameList[std::size_t(Index)];
    TPoint pixel;
    if (!FramePointAt(frame, X, Y, pixel)) return;
    int first = 0;
    int last = 0;
    SelectedFrames(first, last);
    {
        TFrameProgress progress(*ProgressBar1, last - first + 1);
        const int index = frame.Image->GetPixels(pixel.X, pixel.Y);
        SetTransparentColor(first, last, std::uint8_t(index), frame.Image->GetColors(index),
                            frame.Image->GetPaletteSize(), progress.Step());
    }
    settei(Index);
    testviews(Index);
}

// The custom colour slot advances whether or not the dialog is confirmed.
void TForm1::colorchg(int Index, int X, int Y) {
    TFrameEntry& frame = FrameList[std::size_t(Index)];
    TPoint pixel;
    if (!FramePointAt(frame, X, Y, pixel)) return;
    const int index = frame.Image->GetPixels(pixel.X, pixel.Y);
    const TColor color = frame.Image->GetColors(index);
    ColorDialog1->CustomColors.at(CustomColorSlot) = CustomColorText(CustomColorSlot, color);
    CustomColorSlot = NextCustomColorSlot(CustomColorSlot);
    ColorDialog1->Color = color;
    if (!ColorDialog1->Execute()) return;
    int first = 0;
    int last = 0;
    SelectedFrames(first, last);
    ExchangePaletteColor(first, last, std::uint8_t(index), color, ColorDialog1->Color,
                         frame.Image->GetPaletteSize());
    testviews(Index);
}

// Outside the current frame the swatch keeps its colour.
void TForm1::Image1MouseMove(TObject*, TShiftState, int X, int Y) {
    if (!Idle || FrameCount == 0) return;
    TFrameEntry& frame = FrameList[std::size_t(CurrentFrame())];
    TPoint pixel;
    if (!FramePointAt(frame, X, Y, pixel)) return;
    Shape2->SetBrushColor(frame.Image->GetColors(frame.Image->GetPixels(pixel.X, pixel.Y)));
}

void TForm1::Shape1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (!Idle || FrameCount == 0) return;
    TFrameEntry& frame = FrameList[std::size_t(CurrentFrame())];
    PickedIndex = frame.TransparentIndex;
    Form2->ShowSwatches(*frame.Image);
    Form2->ShowModal();
    if (!SwatchAccepted) return;
    Shape1->SetBrushColor(frame.Image->GetColors(PickedIndex));
    int first = 0;
    int last = 0;
    SelectedFrames(first, last);
    {
        TFrameProgress progress(*ProgressBar1, last - first + 1);
        SetTransparentIndex(first, last, PickedIndex, frame.Image->GetPaletteSize(), progress.Step());
    }
    testviews(CurrentFrame());
    StringGrid1->SetFocus();
}
