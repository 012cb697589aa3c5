#include "toolkit/widgets/ProgressBar.h"

#include <QProgressBar>

TProgressBar::TProgressBar(TWinControl* Parent) : TControl(new QProgressBar, Parent) {
    static_cast<QProgressBar*>(Widget())->setTextVisible(false);
    Update();
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    Update();
}

void TProgressBar::SetMax(int Value) {
    FMax = Value;
    Update();
}

void TProgressBar::SetPosition(int Value) {
    FPosition = Value;
    Update();
}

void TProgressBar::Update() {
    FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
    auto* bar = static_cast<QProgressBar*>(Widget());
    // Qt shows an equal minimum and maximum as a busy bar; an empty range shows empty.
    if (FMax > FMin) {
        bar->setRange(FMin, FMax);
        bar->setValue(FPosition);
    } else {
        bar->setRange(0, 1);
        bar->setValue(0);
    }
}
