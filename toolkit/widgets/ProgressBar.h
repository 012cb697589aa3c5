// A progress bar over Min..Max; positions outside the range are brought into it.
#pragma once

#include "toolkit/widgets/Control.h"

class TProgressBar : public TControl {
public:
    explicit TProgressBar(TWinControl* Parent);
    std::string ClassName() const override { return "TProgressBar"; }
    int GetMin() const { return FMin; }
    void SetMin(int Value);
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    int GetPosition() const { return FPosition; }
    void SetPosition(int Value);

private:
    void Update();
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
};
