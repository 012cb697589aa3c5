// Push buttons: text buttons and the picture buttons (a glyph beside or instead of a caption).
#pragma once

#include "toolkit/widgets/Control.h"

class QAbstractButton;

class TButton : public TControl {
public:
    explicit TButton(TWinControl* Parent);
    std::string ClassName() const override { return "TButton"; }

    std::string GetCaption() const;
    void SetCaption(const std::string& Value);
    // The Esc key of the form clicks its cancel button.
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Presses the button as the user would: nothing happens while it is disabled.
    void Click();

    TNotifyEvent OnClick;

protected:
    TButton(QAbstractButton* Button, TWinControl* Parent);

private:
    QAbstractButton* ButtonWidget() const;
    bool FCancel = false;
};

// A button that shows a picture. The glyph's bottom-left pixel colour is left out.
class TGlyphButton : public TButton {
public:
    std::string ClassName() const override { return "TGlyphButton"; }
    void SetGlyph(TBitmap* Glyph);

protected:
    using TButton::TButton;
};

class TBitBtn : public TGlyphButton {
public:
    explicit TBitBtn(TWinControl* Parent);
    std::string ClassName() const override { return "TBitBtn"; }
};

// A flat picture button that never takes the focus.
class TSpeedButton : public TGlyphButton {
public:
    explicit TSpeedButton(TWinControl* Parent);
    std::string ClassName() const override { return "TSpeedButton"; }
};
