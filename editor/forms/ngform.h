// The dialog for a new background picture (size and colour), also used to choose where the
// pointer holds a cast being placed.
#pragma once

#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/ChoiceControls.h"
#include "toolkit/widgets/ComponentOwner.h"
#include "toolkit/widgets/Containers.h"
#include "toolkit/widgets/Dialogs.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/Shape.h"
#include "toolkit/widgets/SpinEdit.h"
#include "toolkit/widgets/TextControls.h"

class Tnewform : public TForm {
public:
    Tnewform();
    ~Tnewform() override;
    std::string ClassName() const override { return "Tnewform"; }

    TLabel* Label1;
    TSpinEdit* SpinEdit1;
    TLabel* Label2;
    TSpinEdit* SpinEdit2;
    TLabel* Label3;
    TShape* Shape1;
    TButton* Button1;
    TButton* Button2;
    // Lies over the size and colour controls; shown for the placement choice only.
    TPanel* Panel1;
    TRadioGroup* crmode1;
    TRadioGroup* crmode2;
    TColorDialog* ColorDialog1;

    // Callers show the dialog modally and read NewFormCancelled afterwards; every way of
    // closing it but "OK" sets it.
    bool NewFormCancelled = false;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender); // "OK"
    void Button2Click(TObject* Sender); // "CANCEL"
    // The background colour from the colour dialog.
    void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    TComponentOwner FParts;
};

extern Tnewform* newform;
