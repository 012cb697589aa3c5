// The dialog of offsets by which the selected score positions are moved.
#pragma once

#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/ComponentOwner.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/SpinEdit.h"

// Callers show the dialog modally, then read ScoreFormOk and, when it is set, the two offsets.
// Only "CANCEL" (or Esc) clears it: leaving by the close box counts as "OK".
class Tscoreform : public TForm {
public:
    Tscoreform();
    ~Tscoreform() override;
    std::string ClassName() const override { return "Tscoreform"; }

    TLabel* Label1;
    TSpinEdit* SpinEdit1;
    TLabel* Label2;
    TSpinEdit* SpinEdit2;
    TButton* Button1;
    TButton* Button2;

    bool ScoreFormOk = false;

    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender); // "OK"
    void Button2Click(TObject* Sender); // "CANCEL"

private:
    TComponentOwner FParts;
};

extern Tscoreform* scoreform;
