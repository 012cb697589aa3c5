#include "toolkit/widgets/Timer.h"

#include <QTimer>

#include "toolkit/widgets/Application.h"

TTimer::TTimer() : FTimer(std::make_unique<QTimer>()) {
    FTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(FTimer.get(), &QTimer::timeout, FTimer.get(), [this] {
        RunHandler([this] {
            if (OnTimer) OnTimer(this);
        });
    });
    UpdateTimer();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(int Value) {
    if (Value == FInterval) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    FTimer->stop();
    if (FEnabled && FInterval > 0) FTimer->start(FInterval);
}
