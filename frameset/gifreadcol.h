// The transparent-colour dialog: the current frame's palette as swatches to pick from.
#pragma once

#include "toolkit/widgets/Form.h"

class TForm2 : public TForm {
public:
    TForm2();
    ~TForm2() override;
    std::string ClassName() const override { return "TForm2"; }
};

extern TForm2* Form2;
