// The main image from a file, from the clipboard or as a new blank picture, the working canvas
// rebuilt around it, and the background colour of the canvas margin.
#include "editor/forms/gifform.h"
#include "editor/forms/ngform.h"
#include "editor/model/picturefile.h"
#include "toolkit/graphics/FilePaths.h"
#include "toolkit/widgets/Application.h"

namespace {

// A main image is refused, before it is converted, when its canvas or the frame view of that
// could not be made.
TPictureFits MainImageFits(TMobrelForm& Form) {
    return [&Form](int Width, int Height) { return Form.Document().MainImageFits(Width, Height); };
}

// The picture the chosen file holds; nullptr when the dialog was cancelled. A file that
// cannot be read raises before the dialog's folder changes.
std::unique_ptr<TBitmap> MainImageFromFile(TMobrelForm& Form) {
    TOpenPictureDialog& dialog = *Form.OpenPictureDialog1;
    if (!dialog.Execute()) return nullptr;
    const TBusyCursor busy;
    const std::string fileName = dialog.GetFileName();
    std::unique_ptr<TBitmap> picture = ReadPictureFile(fileName, MainImageFits(Form));
    dialog.InitialDir = ExtractFilePath(fileName);
    return picture;
}

// A blank picture of the size and colour asked in the new-background dialog; nullptr when
// the dialog was cancelled. With a main image the dialog opens on its size and the colour of
// its top-left pixel, else on its last values.
std::unique_ptr<TBitmap> MainImageFromDialog(TMobrelForm& Form) {
    TEditorDocument& doc = Form.Document();
    if (doc.CanvasBitmap != nullptr) {
        newform->SpinEdit1->SetValue(doc.MainImage->Width());
        newform->SpinEdit2->SetValue(doc.MainImage->Height());
        newform->Shape1->SetBrushColor(doc.MainImage->Canvas()->GetPixels(0, 0));
    }
    newform->Panel1->Hide();
    newform->SetCaption("背景新規作成");
    newform->ShowModal();
    if (newform->NewFormCancelled) return nullptr;
    // The spin edits read typed values brought into their range.
    return NewBlankPicture(newform->SpinEdit1->GetValue(), newform->SpinEdit2->GetValue(),
                           newform->Shape1->GetBrush().Color);
}

// The frame view shows the new canvas until the score's repaint composes the frame.
void ShowCanvas(TMobrelForm& Form) {
    Form.Image1->Picture()->SetGraphic(Form.Document().CanvasBitmap.get());
}

} // namespace

void TMobrelForm::BitBtn2Click(TObject*) {
    LoadMainImage(0);
}

void TMobrelForm::BitBtn24Click(TObject*) {
    LoadMainImage(1);
}

void TMobrelForm::BitBtn25Click(TObject*) {
    LoadMainImage(2);
}

void TMobrelForm::LoadMainImage(int Source) {
    score->SetFocus();
    std::unique_ptr<TBitmap> picture;
    switch (Source) {
    case 0:
        picture = MainImageFromFile(*this);
        break;
    case 1:
        picture = ReadClipboardPicture(MainImageFits(*this));
        break;
    case 2:
        picture = MainImageFromDialog(*this);
        break;
    default:
        break;
    }
    if (picture == nullptr) return;

    // A large picture takes a while to become the canvas. The image and its canvas change
    // together or, when the canvas cannot be made, not at all.
    const TBusyCursor busy;
    TEditorDocument& doc = Document();
    doc.ReplaceMainImage(std::move(picture));
    ShowCanvas(*this);
    Image1->Canvas()->DrawFocusRect(doc.MainImageRect);
    score->Repaint();
}

void TMobrelForm::Shape4MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    TEditorDocument& doc = Document();
    if (doc.CanvasBitmap == nullptr) return;
    if (!ColorDialog1->Execute()) return;
    doc.BackgroundColor = ColorDialog1->Color;
    Shape4->SetBrushColor(doc.BackgroundColor);
    doc.RebuildCanvas();
    ShowCanvas(*this);
    score->Repaint();
    score->SetFocus();
}
