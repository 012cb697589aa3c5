// The base of every control: a Qt widget wrapped with the properties and events the
// forms use (bounds, visibility, alignment, font, hint, cursor, focus, mouse and keys).
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/graphics/Graphics.h"

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held during an event.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;
constexpr TShiftState ssDouble = 64;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is a virtual-key code; a handler may set it to 0 to keep the control from acting on it.
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;

// Virtual-key codes (letters and digits are their upper-case ASCII codes).
constexpr std::uint16_t VK_BACK = 8;
constexpr std::uint16_t VK_TAB = 9;
constexpr std::uint16_t VK_RETURN = 13;
constexpr std::uint16_t VK_SHIFT = 16;
constexpr std::uint16_t VK_CONTROL = 17;
constexpr std::uint16_t VK_MENU = 18;
constexpr std::uint16_t VK_ESCAPE = 27;
constexpr std::uint16_t VK_SPACE = 32;
constexpr std::uint16_t VK_PRIOR = 33;
constexpr std::uint16_t VK_NEXT = 34;
constexpr std::uint16_t VK_END = 35;
constexpr std::uint16_t VK_HOME = 36;
constexpr std::uint16_t VK_LEFT = 37;
constexpr std::uint16_t VK_UP = 38;
constexpr std::uint16_t VK_RIGHT = 39;
constexpr std::uint16_t VK_DOWN = 40;
constexpr std::uint16_t VK_INSERT = 45;
constexpr std::uint16_t VK_DELETE = 46;
constexpr std::uint16_t VK_F1 = 112;

// The virtual-key code of a Qt key (0 for keys without one).
std::uint16_t VirtualKeyOf(int QtKey);
TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Cursor numbers: the built-in shapes are negative; positive numbers are cursors the
// program registers with Screen.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHandPoint = -21;

// The QFont a control shows for a toolkit font: the font the canvas draws with, smoothed.
QFont WidgetFont(const TFont& Font);

class TComponent : public TPersistent {
public:
    std::string ClassName() const override { return "TComponent"; }
    std::string Name;
};

class TWinControl;
class TPopupMenu;
class TEventBridge;

class TControl : public TComponent {
public:
    ~TControl() override;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    std::string ClassName() const override { return "TControl"; }

    // The wrapped widget (nullptr once Qt has destroyed it with its parent).
    QWidget* Widget() const { return FWidget.data(); }
    // The control that wraps Widget or its nearest wrapped ancestor.
    static TControl* FromWidget(QWidget* Widget);

    TWinControl* GetParent() const { return FParent; }
    void SetParent(TWinControl* Value);

    virtual int GetLeft() const;
    virtual int GetTop() const;
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    void SetLeft(int Value) { SetBounds(Value, GetTop(), GetWidth(), GetHeight()); }
    void SetTop(int Value) { SetBounds(GetLeft(), Value, GetWidth(), GetHeight()); }
    void SetWidth(int Value) { SetBounds(GetLeft(), GetTop(), Value, GetHeight()); }
    void SetHeight(int Value) { SetBounds(GetLeft(), GetTop(), GetWidth(), Value); }
    virtual void SetBounds(int Left, int Top, int Width, int Height);
    TRect BoundsRect() const;
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }

    // The control's own visibility, whether or not its window is shown.
    bool GetVisible() const;
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // True when the control and its parents are shown on screen.
    bool Showing() const;
    bool GetEnabled() const;
    virtual void SetEnabled(bool Value);

    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign Value);
    std::string GetHint() const;
    void SetHint(const std::string& Value);
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // A control shows its parent's font until it is given one of its own.
    TFont GetFont() const;
    void SetFont(const TFont& Value);
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }

    // Schedules a redraw.
    virtual void Invalidate();
    // Redraws at once when the control is showing.
    virtual void Repaint();

    // The control is its window's focused control (the one keys go to when the window is active).
    bool Focused() const;
    bool CanFocus() const;
    void SetFocus();

    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    // Takes ownership of Widget (Qt deletes it first when its parent widget goes).
    TControl(QWidget* Widget, TWinControl* Parent);
    // Events of the watched widgets; true when the event is consumed. Called with
    // exceptions caught: a failing handler reaches the application's handler.
    virtual bool HandleEvent(QObject* Watched, QEvent* Event);
    // Also sends the events of Watched (a part of the widget) to HandleEvent.
    void WatchEvents(QObject* Watched);
    virtual void DoEnter();
    virtual void DoExit();
    // The widget the mouse events of the control arrive at.
    virtual QWidget* InputWidget() const { return Widget(); }
    void BoundsChanged();

private:
    friend class TEventBridge;
    friend class TWinControl;
    friend class TForm;
    bool DispatchEvent(QObject* Watched, QEvent* Event);
    bool MouseEvent(QEvent* Event);
    bool KeyEvent(QEvent* Event);

    QPointer<QWidget> FWidget;
    std::unique_ptr<TEventBridge> FBridge;
    TWinControl* FParent = nullptr;
    TAlign FAlign = alNone;
    TCursor FCursor = crDefault;
    TFont FFont;
    bool FParentFont = true;
    TPopupMenu* FPopupMenu = nullptr;
};

// A control that holds other controls and lays out those that are aligned.
class TWinControl : public TControl {
public:
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    // The widget the children are placed on.
    QWidget* ClientWidget() const { return FClient.data(); }
    int ClientWidth() const override;
    int ClientHeight() const override;
    const std::vector<TControl*>& Controls() const { return FControls; }
    // Places the aligned children: those aligned to one edge in the order they were
    // added, from the edge inwards, top, bottom, left, right, then the client ones.
    void AlignControls();

protected:
    TWinControl(QWidget* Widget, TWinControl* Parent, QWidget* Client = nullptr);
    bool HandleEvent(QObject* Watched, QEvent* Event) override;
    // The area aligned children share.
    virtual TRect AlignRect() const { return ClientRect(); }
    // A child moved, resized, appeared or disappeared.
    virtual void ChildChanged(TControl* Child);

private:
    friend class TControl;
    void InsertControl(TControl* Child);
    void RemoveControl(TControl* Child);

    QPointer<QWidget> FClient;
    std::vector<TControl*> FControls;
    bool FAligning = false;
};
