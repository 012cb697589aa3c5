// What a long command holds while it runs and gives back however it ends: its controls held
// off, its progress bar's position.
#pragma once

#include <initializer_list>
#include <vector>

#include "toolkit/widgets/Control.h"
#include "toolkit/widgets/ProgressBar.h"

// Disables controls for its lifetime and enables them again however the scope is left.
class TControlsHeldOff {
public:
    explicit TControlsHeldOff(std::initializer_list<TControl*> Controls) : FControls(Controls) {
        for (TControl* control : FControls)
            control->SetEnabled(false);
    }
    ~TControlsHeldOff() {
        for (TControl* control : FControls)
            control->SetEnabled(true);
    }
    TControlsHeldOff(const TControlsHeldOff&) = delete;
    TControlsHeldOff& operator=(const TControlsHeldOff&) = delete;

private:
    std::vector<TControl*> FControls;
};

// Brings the progress bar back to 0 however the scope is left.
class TProgressReset {
public:
    explicit TProgressReset(TProgressBar& Bar) : FBar(Bar) {}
    ~TProgressReset() { FBar.SetPosition(0); }
    TProgressReset(const TProgressReset&) = delete;
    TProgressReset& operator=(const TProgressReset&) = delete;

private:
    TProgressBar& FBar;
};
