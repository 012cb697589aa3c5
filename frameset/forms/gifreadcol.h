// The transparent-colour dialog: the current frame's palette as swatches to pick from.
#pragma once

#include <cstdint>

#include "imagelib/KvDIB.h"
#include "toolkit/widgets/ComponentOwner.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/ImageControl.h"
#include "toolkit/widgets/Shape.h"

// Set by the main window before the dialog opens and read after it closes.
// The dialog was closed with "OK".
extern bool SwatchAccepted;
// The picked palette index; the main window presets it to the frame's transparent index.
extern std::uint8_t PickedIndex;
// Swatches shown: the palette size rounded up to a power of two from 8 to 256.
extern std::int32_t SwatchCount;

class TForm2 : public TForm {
public:
    TForm2();
    ~TForm2() override;
    std::string ClassName() const override { return "TForm2"; }

    TImage* Image1;
    TShape* Shape1;
    TButton* Button1;
    TButton* Button2;

    // Shows Picture's palette as swatches on white, and its colour PickedIndex in Shape1.
    void ShowSwatches(TKvDIB& Picture);

    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender); // "OK"
    void Button2Click(TObject* Sender); // "CANSEL"
    // A press on the swatches picks one.
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    TComponentOwner FParts;
};

extern TForm2* Form2;
