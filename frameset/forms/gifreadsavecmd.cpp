// The save command (GIF or BMP by the dialog's file type) and the colour-count menu that
// chooses how the next GIF save reduces the colours.
#include "frameset/forms/gifread.h"
#include "frameset/model/gifreadreduce.h"
#include "frameset/model/gifreadsave.h"
#include "toolkit/graphics/ScopeExit.h"
#include "toolkit/widgets/ScopeGuards.h"

namespace {

// The file types of the save dialog, by filter index.
enum TSaveFilter { FilterGif = 1, FilterView = 2, FilterFramePictures = 3, FilterFrameViews = 4 };

} // namespace

TFrameSetProgress TForm1::Progress() {
    return {[this](int Max) { ProgressBar1->SetMax(Max); },
            [this](int Position) { ProgressBar1->SetPosition(Position); }};
}

std::array<TMenuItem*, 7> TForm1::ColorItems() const {
    return {N25601, N25661, N12851, N6441, N3231, N1621, N881};
}

void TForm1::colchk(int Item) {
    const auto items = ColorItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i]->SetChecked(int(i) == Item);
}

void TForm1::colorquad(int Item) {
    ReduceFrameColors(Item, Progress());
}

void TForm1::N25601Click(TObject*) {
    colchk(0);
}
void TForm1::N25661Click(TObject*) {
    colchk(1);
}
void TForm1::N12851Click(TObject*) {
    colchk(2);
}
void TForm1::N6441Click(TObject*) {
    colchk(3);
}
void TForm1::N3231Click(TObject*) {
    colchk(4);
}
void TForm1::N1621Click(TObject*) {
    colchk(5);
}
void TForm1::N881Click(TObject*) {
    colchk(6);
}

int TForm1::CheckedColorItem() const {
    const auto items = ColorItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i]->GetChecked()) return int(i);
    return DitherItem;
}

void TForm1::Button3Click(TObject*) {
    if (FrameCount == 0 || !SaveDialog1->Execute()) return;
    const std::string fileName = SaveDialog1->GetFileName();
    switch (SaveDialog1->FilterIndex) {
    case FilterGif: {
        Repaint();
        const TProgressReset reset(*ProgressBar1);
        // The reduction stays in the frames, also when the file cannot be written.
        colorquad(CheckedColorItem());
        SaveFrameSetGif(fileName, Progress());
        break;
    }
    case FilterView:
        savebitmap1(fileName);
        break;
    case FilterFramePictures:
        savebitmap2(fileName);
        break;
    case FilterFrameViews:
        savebitmap3(fileName);
        break;
    default:
        break;
    }
    StringGrid1->SetFocus();
}

// The file never shows the focus outline.
void TForm1::savebitmap1(const std::string& FileName) {
    TCanvas* view = Image1->Canvas();
    view->DrawFocusRect(FrameFocusRect);
    const TScopeExit outline([view] { view->DrawFocusRect(FrameFocusRect); });
    Image1->Picture()->SaveToFile(FileName);
}

void TForm1::NumberedSelection(int& First, int& Last) const {
    const TGridRect selection = StringGrid1->GetSelection();
    NumberedRange(selection.Top, selection.Bottom, First, Last);
}

void TForm1::savebitmap2(const std::string& FileName) {
    int first = 0, last = 0;
    NumberedSelection(first, last);
    SaveFramePictures(FileName, first, last, Progress());
}

void TForm1::savebitmap3(const std::string& FileName) {
    int first = 0, last = 0;
    NumberedSelection(first, last);
    const int current = CurrentFrame();
    // The view shows the current frame again, also after a failed save.
    const TScopeExit showCurrent([this, current] { testviews(current); });
    ForEachNumberedFrame(
        FileName, first, last,
        [this](int Frame, const std::string& Name) {
            testviews(Frame);
            savebitmap1(Name);
        },
        Progress());
}
