// The pixel picker: shows a picture, magnifies it, previews the colour under the mouse and
// returns the pixel clicked.
#pragma once

#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/ComponentOwner.h"
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

    // The magnification of the picture, 1 whenever the window opens.
    int PickerZoom = 1;

    // The picked pixel, in the shown picture's own coordinates; X = -1 for no transparency.
    TPoint PickedPoint{};
    bool PickerCancelled = false;

    // The callers' protocol: shows Picture (unchanged) under Caption, offering "透過しない"
    // when asked, and returns false when the user cancelled. The picked pixel is left in
    // PickedPoint.
    bool Pick(TGraphic& Picture, const std::string& Caption, bool OfferNoTransparency);

    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender); // "拡大": magnifies the picture one step more
    void Button2Click(TObject* Sender); // "縮小": one step less, down to natural size
    void Button3Click(TObject* Sender); // "キャンセル": closes without a pick
    void Button4Click(TObject* Sender); // "透過しない": picks no transparency
    // The swatch previews the colour under the mouse.
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    // Picks the pixel clicked.
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    // Image1 shows the picture at PickerZoom.
    void ZoomPicture();

    // A pixel or "透過しない" was chosen in the current showing.
    bool FAnswered = false;

    TComponentOwner FParts;
};

extern Ttransfrm* transfrm;
