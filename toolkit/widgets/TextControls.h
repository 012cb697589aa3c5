// Labels and one-line edits.
#pragma once

#include "toolkit/widgets/Control.h"

class QLabel;
class QLineEdit;

// A caption; it takes the size of its text unless AutoSize is turned off.
class TLabel : public TControl {
public:
    explicit TLabel(TWinControl* Parent);
    std::string ClassName() const override { return "TLabel"; }
    std::string GetCaption() const;
    void SetCaption(const std::string& Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

protected:
    bool HandleEvent(QObject* Watched, QEvent* Event) override;

private:
    QLabel* LabelWidget() const;
    void FitText();
    bool FAutoSize = true;
};

class TEdit : public TControl {
public:
    explicit TEdit(TWinControl* Parent);
    std::string ClassName() const override { return "TEdit"; }
    std::string GetText() const;
    void SetText(const std::string& Value);
    // The most characters the user can type (0: no limit).
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);

    TNotifyEvent OnChange;

private:
    QLineEdit* EditWidget() const;
    int FMaxLength = 0;
};
