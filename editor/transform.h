// The pixel picker: shows a picture, magnifies it, previews the colour under the mouse and
// returns the pixel clicked.
#pragma once

#include "editor/gifformcomponents.h"
#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/Containers.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/ImageControl.h"
#include "toolkit/widgets/Shape.h"

class Ttransfrm : public TForm {
public:
    Ttransfrm();
    ~Ttransfrm() override;
    std::string ClassName() const override { return "Ttransfrm"; }

    TPanel* Panel1;
    TButton* Button1;
    TButton* Button2;
    TShape* Shape1;
    TButton* Button3;
    // Hidden unless the caller offers "no transparency".
    TButton* Button4;
    TScrollBox* ScrollBox1;
    TImage* Image1;

private:
    TComponentOwner FParts;
};

extern Ttransfrm* transfrm;
