// Controls that hold other controls: panels, group boxes and scroll boxes.
#pragma once

#include "toolkit/widgets/Control.h"

class QScrollArea;

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A panel paints its own background, so it hides the controls of its parent that lie
// beneath it; while it is shown those controls take no focus either.
class TPanel : public TWinControl {
public:
    explicit TPanel(TWinControl* Parent);
    std::string ClassName() const override { return "TPanel"; }
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    void SetBounds(int Left, int Top, int Width, int Height) override;
    void SetVisible(bool Value) override;

private:
    // Takes the focus from the controls the panel covers, or gives it back to those it no
    // longer covers.
    void CoverSiblings();

    TBevelCut FBevelOuter = bvRaised;
};

// A captioned frame; child coordinates start at its top-left corner, as the caption's.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TWinControl* Parent);
    std::string ClassName() const override { return "TGroupBox"; }
    std::string GetCaption() const;
    void SetCaption(const std::string& Value);

protected:
    TRect AlignRect() const override;
};

// A frame that scrolls its children when they reach past its client area.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TWinControl* Parent);
    std::string ClassName() const override { return "TScrollBox"; }
    // The visible area (without the scroll bars).
    int ClientWidth() const override;
    int ClientHeight() const override;

protected:
    bool HandleEvent(QObject* Watched, QEvent* Event) override;
    TRect AlignRect() const override;
    void ChildChanged(TControl* Child) override;

private:
    explicit TScrollBox(QScrollArea* Area, TWinControl* Parent);
    QScrollArea* AreaWidget() const;
    // Makes the scrolled area as large as the view and the children together.
    void UpdateRange();
};
