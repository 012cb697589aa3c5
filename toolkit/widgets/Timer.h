// A timer on the event loop: OnTimer runs every Interval milliseconds while it is enabled.
#pragma once

#include <memory>

#include "toolkit/widgets/Control.h"

class QTimer;

class TTimer : public TComponent {
public:
    TTimer();
    ~TTimer() override;
    std::string ClassName() const override { return "TTimer"; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GetInterval() const { return FInterval; }
    // Restarts the count of a running timer.
    void SetInterval(int Value);

    TNotifyEvent OnTimer;

private:
    void UpdateTimer();
    std::unique_ptr<QTimer> FTimer;
    bool FEnabled = true;
    int FInterval = 1000;
};
