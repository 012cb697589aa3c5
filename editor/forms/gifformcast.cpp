// The cast strip of the current channel: loading, inserting, copying and deleting casts,
// their transparency and colours, the strip's drawing and the placement-anchor choice.
#include "editor/model/casts.h"
#include "editor/forms/gifform.h"
#include "editor/forms/ngform.h"
#include "editor/model/picturefile.h"
#include "editor/forms/transform.h"
#include "toolkit/graphics/Clipboard.h"
#include "toolkit/graphics/FilePaths.h"
#include "toolkit/graphics/ScopeExit.h"
#include "toolkit/widgets/Application.h"

namespace {

TScoreChannel& CurrentChannel(TMobrelForm& Form) {
    return Form.Document().Channels[Form.score->Row()];
}

// Reads the chosen files into the slots from Slot on, as many as fit up to the last slot;
// the rest are not read. All are read before any slot changes: a file that cannot be read
// raises and leaves the strip as it was.
void LoadCastFiles(TMobrelForm& Form, int Slot) {
    TOpenPictureDialog& dialog = *Form.OpenPictureDialog1;
    if (!dialog.Execute()) return;
    // Up to a strip of pictures is read.
    const TBusyCursor busy;
    const std::vector<std::string>& files = dialog.Files();
    const TPictureFits fits = CastPicturesFit(Form.Document(), Form.score->Row(), Slot, int(files.size()));
    std::vector<std::unique_ptr<TBitmap>> pictures;
    for (const std::string& fileName : files) {
        if (Slot + int(pictures.size()) >= CastSlotCount) break;
        pictures.push_back(ReadPictureFile(fileName, fits));
    }
    PutCasts(CurrentChannel(Form), Slot, std::move(pictures));
    dialog.InitialDir = ExtractFilePath(dialog.GetFileName());
}

} // namespace

void TMobrelForm::BitBtn1Click(TObject*) {
    LoadCast(0);
}

void TMobrelForm::castDblClick(TObject*) {
    LoadCast(0);
}

void TMobrelForm::BitBtn7Click(TObject*) {
    LoadCast(1);
}

void TMobrelForm::LoadCast(int Source) {
    TScoreChannel& channel = CurrentChannel(*this);
    const int slot = cast->Col();
    // Pictures are added only at slot 0 or right after a used slot.
    if (slot > 0 && !channel.CastUsed[slot - 1]) return;

    // Also after a failure the strip is counted and drawn again.
    const TScopeExit finish([&] {
        channel.RecountCasts();
        cast->Repaint();
        score->SetFocus();
        score->Repaint();
    });
    if (Source == 0) {
        LoadCastFiles(*this, slot);
    } else if (std::unique_ptr<TBitmap> picture =
                   ReadClipboardPicture(CastPicturesFit(Document(), score->Row(), slot, 1))) {
        PutCast(channel, slot, *picture);
    }
}

void TMobrelForm::insertcastClick(TObject*) {
    TScoreChannel& channel = CurrentChannel(*this);
    const int slot = cast->Col();
    if (slot > channel.CastCount) return;
    std::unique_ptr<TBitmap> picture =
        ReadClipboardPicture(CastPicturesFit(Document(), score->Row(), slot, 0));
    if (picture == nullptr) return;
    InsertCast(channel, slot, *picture);
    cast->Repaint();
    score->SetFocus();
}

void TMobrelForm::BitBtn23Click(TObject*) {
    if (TBitmap* picture = CurrentChannel(*this).Cast(cast->Col())) Clipboard().Assign(picture);
}

void TMobrelForm::BitBtn8Click(TObject*) {
    DeleteCasts();
}

void TMobrelForm::castKeyUp(TObject*, std::uint16_t& Key, TShiftState) {
    if (Key == VK_DELETE) DeleteCasts();
}

void TMobrelForm::DeleteCasts() {
    const TGridRect selection = cast->GetSelection();
    if (!DeleteCastRange(CurrentChannel(*this), selection.Left, selection.Right)) return;
    score->SetFocus();
    score->Repaint();
    cast->Repaint();
}

void TMobrelForm::Shape3MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    SetCastTransparency();
}

void TMobrelForm::N7Click(TObject*) {
    SetCastTransparency();
}

void TMobrelForm::SetCastTransparency() {
    TScoreChannel& channel = CurrentChannel(*this);
    TBitmap* current = channel.Cast(cast->Col());
    if (current == nullptr) return;
    if (!transfrm->Pick(*current, "キャスト透過色設定", true)) return;
    // Every selected cast takes the point picked on the current one.
    const TGridRect selection = cast->GetSelection();
    ApplyCastKeyPoint(channel, selection.Left, selection.Right, transfrm->PickedPoint);
    cast->Repaint();
}

void TMobrelForm::Button5Click(TObject*) {
    TScoreChannel& channel = CurrentChannel(*this);
    const TGridRect selection = cast->GetSelection();
    TBitmap* current = channel.Cast(cast->Col());
    if (channel.Cast(selection.Left) == nullptr || channel.Cast(selection.Right) == nullptr ||
        current == nullptr)
        return;
    if (!transfrm->Pick(*current, "色変更", false)) return;
    if (!ColorDialog1->Execute()) return;
    ReplaceCastColor(channel, selection.Left, selection.Right, cast->Col(), transfrm->PickedPoint,
                     ColorDialog1->Color);
    cast->Repaint();
    score->SetFocus();
}

void TMobrelForm::Button4Click(TObject*) {
    newform->SetCaption("キャスト表示位置変更");
    newform->Panel1->Show();
    newform->ShowModal();
    if (newform->NewFormCancelled) return;
    // The radio groups keep their last choice between openings.
    const int column = newform->crmode1->GetItemIndex();
    const int row = newform->crmode2->GetItemIndex();
    if (column >= 0 && row >= 0) PlacementAnchor = static_cast<std::uint8_t>(column + 3 * row);
}

void TMobrelForm::castDrawCell(TObject*, int ACol, int, const TRect& Rect, TGridDrawState State) {
    if (State & gdFixed) return;
    TScoreChannel& channel = CurrentChannel(*this);
    TBitmap* picture = channel.Cast(ACol);
    if (picture == nullptr) return;
    TCanvas* canvas = cast->Canvas();
    canvas->StretchDraw(Rect, picture);
    if (!(State & gdSelected)) return;

    // The swatch follows the selected cast drawn last.
    const TPoint key = channel.CastKeyPoint[ACol];
    if (channel.CastTransparent[ACol] && KeyPointInside(*picture, key))
        Shape3->SetBrush(TBrush{picture->Canvas()->GetPixels(key.X, key.Y), bsSolid});
    else
        Shape3->SetBrush(TBrush{clBlack, bsDiagCross});
    // Outline and interior both invert the picture beneath.
    canvas->Pen.Mode = pmNot;
    canvas->Brush.Style = bsSolid;
    canvas->Rectangle(Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Bottom - 2);
    canvas->Pen.Mode = pmCopy;
}
