#include "toolkit/widgets/Control.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVariant>

#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/Menus.h"

namespace {

const char* const ControlProperty = "toolkitControl";

TMouseButton ButtonOf(Qt::MouseButton Button) {
    switch (Button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

} // namespace

// Sends the events of the watched widgets to their control.
class TEventBridge : public QObject {
public:
    explicit TEventBridge(TControl* Control) : FControl(Control) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        return FControl->DispatchEvent(Watched, Event);
    }

private:
    TControl* FControl;
};

std::uint16_t VirtualKeyOf(int QtKey) {
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)
        return static_cast<std::uint16_t>('A' + (QtKey - Qt::Key_A));
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9)
        return static_cast<std::uint16_t>('0' + (QtKey - Qt::Key_0));
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24)
        return static_cast<std::uint16_t>(VK_F1 + (QtKey - Qt::Key_F1));
    switch (QtKey) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
    TShiftState shift = 0;
    if (Modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (Modifiers & Qt::AltModifier) shift |= ssAlt;
    if (Modifiers & Qt::ControlModifier) shift |= ssCtrl;
    if (Buttons & Qt::LeftButton) shift |= ssLeft;
    if (Buttons & Qt::RightButton) shift |= ssRight;
    if (Buttons & Qt::MiddleButton) shift |= ssMiddle;
    return shift;
}

namespace {

// The font colour is the colour of a control's texts, active or not; a system colour leaves
// the style's own, and a disabled control keeps its grey.
void ApplyFontColor(QWidget* Widget, TColor Color) {
    QPalette palette = Widget->palette();
    const QPalette system = QApplication::palette(Widget);
    const TColor rgb = ColorToRGB(Color);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role,
                             (Color & clSystemColor) != 0
                                 ? system.color(group, role)
                                 : QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    Widget->setPalette(palette);
}

} // namespace

QFont WidgetFont(const TFont& Font) {
    QFont font = Font.ToQFont();
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

TControl::TControl(QWidget* Widget, TWinControl* Parent)
    : FWidget(Widget), FBridge(std::make_unique<TEventBridge>(this)) {
    FWidget->setProperty(ControlProperty, QVariant::fromValue(static_cast<void*>(this)));
    FWidget->installEventFilter(FBridge.get());
    FWidget->setMouseTracking(true);
    SetParent(Parent);
    // Controls are visible unless hidden on purpose.
    if (Parent != nullptr) FWidget->show();
}

TControl::~TControl() {
    // Nothing may reach this object while its widget goes: no events, no focus change.
    FBridge.reset();
    if (TForm* form = GetParentForm(this); form != nullptr && form != this) form->ForgetControl(this);
    if (FParent != nullptr) FParent->RemoveControl(this);
    if (FWidget) {
        FWidget->setProperty(ControlProperty, QVariant());
        delete FWidget.data();
    }
}

TControl* TControl::FromWidget(QWidget* Widget) {
    for (QWidget* w = Widget; w != nullptr; w = w->parentWidget()) {
        const QVariant value = w->property(ControlProperty);
        if (value.isValid()) return static_cast<TControl*>(value.value<void*>());
    }
    return nullptr;
}

void TControl::WatchEvents(QObject* Watched) {
    Watched->installEventFilter(FBridge.get());
}

void TControl::SetParent(TWinControl* Value) {
    if (Value == FParent) return;
    if (FParent != nullptr) FParent->RemoveControl(this);
    FParent = Value;
    if (!FWidget) return;
    // Qt hides a widget that changes parents; the control keeps its own visibility.
    const bool visible = !FWidget->isHidden();
    FWidget->setParent(Value != nullptr ? Value->ClientWidget() : nullptr);
    if (Value != nullptr) {
        FWidget->setVisible(visible);
        Value->InsertControl(this);
        Value->ChildChanged(this);
    }
}

int TControl::GetLeft() const {
    return FWidget ? FWidget->x() : 0;
}
int TControl::GetTop() const {
    return FWidget ? FWidget->y() : 0;
}
int TControl::GetWidth() const {
    return FWidget ? FWidget->width() : 0;
}
int TControl::GetHeight() const {
    return FWidget ? FWidget->height() : 0;
}

void TControl::SetBounds(int Left, int Top, int Width, int Height) {
    if (!FWidget) return;
    FWidget->setGeometry(Left, Top, std::max(0, Width), std::max(0, Height));
    BoundsChanged();
}

void TControl::BoundsChanged() {
    if (auto* self = dynamic_cast<TWinControl*>(this)) self->AlignControls();
    if (FParent != nullptr) FParent->ChildChanged(this);
}

TRect TControl::BoundsRect() const {
    return Rect(GetLeft(), GetTop(), GetLeft() + GetWidth(), GetTop() + GetHeight());
}

int TControl::ClientWidth() const {
    return GetWidth();
}
int TControl::ClientHeight() const {
    return GetHeight();
}

bool TControl::GetVisible() const {
    return FWidget && !FWidget->isHidden();
}

void TControl::SetVisible(bool Value) {
    if (!FWidget || GetVisible() == Value) return;
    FWidget->setVisible(Value);
    if (FParent != nullptr) FParent->ChildChanged(this);
}

bool TControl::Showing() const {
    return FWidget && FWidget->isVisible();
}

bool TControl::GetEnabled() const {
    return FWidget && !FWidget->testAttribute(Qt::WA_ForceDisabled);
}

void TControl::SetEnabled(bool Value) {
    if (FWidget) FWidget->setEnabled(Value);
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    if (FParent != nullptr) FParent->ChildChanged(this);
}

std::string TControl::GetHint() const {
    return FWidget ? FWidget->toolTip().toStdString() : std::string();
}

void TControl::SetHint(const std::string& Value) {
    if (FWidget) FWidget->setToolTip(QString::fromStdString(Value));
}

void TControl::SetCursor(TCursor Value) {
    FCursor = Value;
    if (QWidget* input = InputWidget()) {
        if (Value == crDefault)
            input->unsetCursor();
        else
            input->setCursor(Screen->GetCursors(Value));
    }
}

TFont TControl::GetFont() const {
    if (FParentFont && FParent != nullptr) return FParent->GetFont();
    return FFont;
}

void TControl::SetFont(const TFont& Value) {
    FFont = Value;
    FParentFont = false;
    if (!FWidget) return;
    FWidget->setFont(WidgetFont(Value));
    ApplyFontColor(FWidget, Value.Color);
}

void TControl::Invalidate() {
    if (QWidget* input = InputWidget()) input->update();
}

void TControl::Repaint() {
    if (QWidget* input = InputWidget(); input != nullptr && Showing()) input->repaint();
}

bool TControl::Focused() const {
    if (!FWidget) return false;
    const QWidget* focus = FWidget->window()->focusWidget();
    return focus != nullptr && (focus == FWidget || FWidget->isAncestorOf(focus));
}

bool TControl::CanFocus() const {
    if (!FWidget || FWidget->focusPolicy() == Qt::NoFocus) return false;
    // The form itself may be hidden: its focused control is kept for when it shows.
    for (const TControl* c = this; c != nullptr && dynamic_cast<const TForm*>(c) == nullptr; c = c->FParent)
        if (!c->GetVisible()) return false;
    return FWidget->isEnabled();
}

// A control that cannot take the focus (hidden, disabled) is left as it is.
void TControl::SetFocus() {
    if (!CanFocus()) return;
    FWidget->setFocus(Qt::OtherFocusReason);
    if (TForm* form = GetParentForm(this)) form->FocusMoved(this);
}

void TControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TControl::DispatchEvent(QObject* Watched, QEvent* Event) {
    bool consumed = false;
    RunHandler([&] { consumed = HandleEvent(Watched, Event); });
    return consumed;
}

bool TControl::HandleEvent(QObject* Watched, QEvent* Event) {
    if (Watched == InputWidget()) {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return MouseEvent(Event);
        case QEvent::ContextMenu:
            if (FPopupMenu != nullptr) {
                const QPoint at = static_cast<QContextMenuEvent*>(Event)->globalPos();
                FPopupMenu->Popup(at.x(), at.y());
                return true;
            }
            break;
        default:
            break;
        }
    }
    if (Watched == Widget() && (Event->type() == QEvent::KeyPress || Event->type() == QEvent::KeyRelease))
        return KeyEvent(Event);
    return false;
}

bool TControl::MouseEvent(QEvent* Event) {
    auto* mouse = static_cast<QMouseEvent*>(Event);
    const QPoint p = mouse->position().toPoint();
    TShiftState shift = ShiftStateOf(mouse->modifiers(), mouse->buttons());
    const TMouseButton button = ButtonOf(mouse->button());
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
        if (OnMouseDown) OnMouseDown(this, button, shift, p.x(), p.y());
        break;
    case QEvent::MouseButtonDblClick:
        shift |= ssDouble;
        if (OnMouseDown) OnMouseDown(this, button, shift, p.x(), p.y());
        if (OnDblClick) OnDblClick(this);
        break;
    case QEvent::MouseButtonRelease:
        if (OnMouseUp) OnMouseUp(this, button, shift, p.x(), p.y());
        break;
    default:
        if (OnMouseMove) OnMouseMove(this, shift, p.x(), p.y());
        break;
    }
    return false;
}

bool TControl::KeyEvent(QEvent* Event) {
    auto* key = static_cast<QKeyEvent*>(Event);
    std::uint16_t code = VirtualKeyOf(key->key());
    const TShiftState shift = ShiftStateOf(key->modifiers(), Qt::NoButton);
    if (Event->type() == QEvent::KeyPress) {
        if (OnKeyDown) OnKeyDown(this, code, shift);
        return code == 0 && VirtualKeyOf(key->key()) != 0;
    }
    if (key->isAutoRepeat()) return false;
    if (OnKeyUp) OnKeyUp(this, code, shift);
    return false;
}

TWinControl::TWinControl(QWidget* Widget, TWinControl* Parent, QWidget* Client)
    : TControl(Widget, Parent), FClient(Client != nullptr ? Client : Widget) {
    if (FClient != Widget) WatchEvents(FClient);
}

TWinControl::~TWinControl() {
    for (TControl* child : FControls)
        child->FParent = nullptr;
}

int TWinControl::ClientWidth() const {
    return FClient ? FClient->width() : 0;
}
int TWinControl::ClientHeight() const {
    return FClient ? FClient->height() : 0;
}

void TWinControl::InsertControl(TControl* Child) {
    FControls.push_back(Child);
}

void TWinControl::RemoveControl(TControl* Child) {
    std::erase(FControls, Child);
}

bool TWinControl::HandleEvent(QObject* Watched, QEvent* Event) {
    if (Watched == ClientWidget() && Event->type() == QEvent::Resize) AlignControls();
    return TControl::HandleEvent(Watched, Event);
}

void TWinControl::ChildChanged(TControl* Child) {
    if (!FAligning && Child->GetAlign() != alNone) AlignControls();
}

void TWinControl::AlignControls() {
    if (FAligning || !FClient) return;
    FAligning = true;
    TRect r = AlignRect();
    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : FControls) {
            if (c->GetAlign() != kind || !c->GetVisible()) continue;
            switch (kind) {
            case alTop:
                c->SetBounds(r.Left, r.Top, r.Width(), c->GetHeight());
                r.Top += c->GetHeight();
                break;
            case alBottom:
                c->SetBounds(r.Left, r.Bottom - c->GetHeight(), r.Width(), c->GetHeight());
                r.Bottom -= c->GetHeight();
                break;
            case alLeft:
                c->SetBounds(r.Left, r.Top, c->GetWidth(), r.Height());
                r.Left += c->GetWidth();
                break;
            case alRight:
                c->SetBounds(r.Right - c->GetWidth(), r.Top, c->GetWidth(), r.Height());
                r.Right -= c->GetWidth();
                break;
            default:
                c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
                break;
            }
        }
    }
    FAligning = false;
}
