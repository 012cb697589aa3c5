// The transition buttons: the chosen kind over the selected cast slots of the current channel.
#include "editor/model/effectstransition.h"
#include "editor/forms/gifform.h"
#include "toolkit/graphics/ScopeExit.h"

namespace {

void RunTransition(TMobrelForm& Form, bool Reversed) {
    const TGridRect selection = Form.cast->GetSelection();
    const int steps = selection.Right - selection.Left;
    if (steps < 3) return;
    TProgressBar& bar = *Form.ProgressBar1;
    const TEffectProgress progress{[&bar](int Max) { bar.SetMax(Max); },
                                   [&bar](int Position) { bar.SetPosition(Position); }};
    // The strip shows what was stored, also when a picture could not be made.
    const TScopeExit finish([&Form] {
        Form.cast->Repaint();
        Form.score->SetFocus();
        Form.score->Repaint();
    });
    MakeEffectCasts(Form.Document(), Form.effectbox->GetItemIndex(), Reversed, steps, Form.cast->Col(),
                    Form.score->Row(), Form.score->Col(), progress);
}

} // namespace

void TMobrelForm::BitBtn17Click(TObject*) {
    RunTransition(*this, false);
}

void TMobrelForm::BitBtn18Click(TObject*) {
    RunTransition(*this, true);
}
