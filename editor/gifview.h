// The test window that plays the animation.
#pragma once

#include "editor/gifformcomponents.h"
#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/Containers.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/ImageControl.h"

class Tviewform : public TForm {
public:
    Tviewform();
    ~Tviewform() override;
    std::string ClassName() const override { return "Tviewform"; }

    TPanel* Panel1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TImage* Image1;

private:
    TComponentOwner FParts;
};

extern Tviewform* viewform;
