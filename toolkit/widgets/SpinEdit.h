// An edit for whole numbers with up and down buttons. The text is free while the user
// types; Value reads it brought into MinValue..MaxValue (text that is no number reads as
// MinValue), and the text itself is brought into the range when the focus leaves.
#pragma once

#include "toolkit/widgets/Control.h"

class TSpinBoxWidget;

class TSpinEdit : public TControl {
public:
    explicit TSpinEdit(TWinControl* Parent);
    std::string ClassName() const override { return "TSpinEdit"; }

    int GetValue() const;
    void SetValue(int Value);
    std::string GetText() const;
    void SetText(const std::string& Value);
    // Equal bounds (0 and 0 unless set) leave the value unbounded.
    int GetMinValue() const { return FMinValue; }
    void SetMinValue(int Value) { FMinValue = Value; }
    int GetMaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value) { FMaxValue = Value; }
    int GetIncrement() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    // The most characters the user can type (0: no limit).
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value; }
    // The up (Steps > 0) or down button pressed Steps times.
    void StepBy(int Steps);

    // The text changed, by the user or by the program.
    TNotifyEvent OnChange;

protected:
    void DoExit() override;

private:
    TSpinBoxWidget* SpinWidget() const;
    int CheckValue(int Value) const;
    bool Typable(const QString& Text) const;

    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
    int FMaxLength = 0;
};
