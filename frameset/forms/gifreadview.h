// The playback window: the picture the frames are played in, on top of the other windows,
// with nothing the user could close it by.
#pragma once

#include "toolkit/widgets/ComponentOwner.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/ImageControl.h"

class TForm3 : public TForm {
public:
    TForm3();
    ~TForm3() override;
    std::string ClassName() const override { return "TForm3"; }

    TImage* Image1;

private:
    TComponentOwner FParts;
};

extern TForm3* Form3;
