// Tweens over the selected frames of the current channel.
#include "editor/forms/gifform.h"

void TMobrelForm::BitBtn12Click(TObject*) {
    score->SetFocus();
    const TGridRect selection = score->GetSelection();
    LinearTween(selection.Left - 1, selection.Right - 1, Document().Channels[score->Row()]);
    score->SetFocus();
    score->Invalidate();
}

void TMobrelForm::BitBtn19Click(TObject*) {
    score->SetFocus();
    const TGridRect selection = score->GetSelection();
    RotationTween(selection.Left - 1, selection.Right - 1, Document().Channels[score->Row()]);
    score->Repaint();
}

void TMobrelForm::BitBtn20Click(TObject*) {
    score->SetFocus();
    const TGridRect selection = score->GetSelection();
    HoldTween(selection.Left - 1, selection.Right - 1, Document().Channels[score->Row()]);
    score->SetFocus();
    score->Invalidate();
}
