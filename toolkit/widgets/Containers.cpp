#include "toolkit/widgets/Containers.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QScrollArea>
#include <QVariant>

namespace {

// The focus policy a covered widget had, while a panel covers it.
const char* const CoveredFocusProperty = "toolkitCoveredFocus";

void SetCovered(QWidget* Widget, bool Covered) {
    QList<QWidget*> widgets = Widget->findChildren<QWidget*>();
    widgets.prepend(Widget);
    for (QWidget* w : widgets) {
        const QVariant kept = w->property(CoveredFocusProperty);
        if (Covered && !kept.isValid()) {
            w->setProperty(CoveredFocusProperty, static_cast<int>(w->focusPolicy()));
            w->setFocusPolicy(Qt::NoFocus);
        } else if (!Covered && kept.isValid()) {
            w->setFocusPolicy(static_cast<Qt::FocusPolicy>(kept.toInt()));
            w->setProperty(CoveredFocusProperty, QVariant());
        }
    }
}

// The first widget inside Container that the Tab key would reach.
QWidget* FirstFocusable(QWidget* Container) {
    for (QWidget* w = Container->nextInFocusChain(); w != Container && w != nullptr;
         w = w->nextInFocusChain()) {
        if (!Container->isAncestorOf(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(Container->window()))
            return w;
    }
    return nullptr;
}

QWidget* NewScrolledArea(QScrollArea* Area) {
    auto* content = new QWidget;
    Area->setWidget(content); // owned by the scroll area
    Area->setWidgetResizable(false);
    return content;
}

} // namespace

TPanel::TPanel(TWinControl* Parent) : TWinControl(new QFrame, Parent) {
    Widget()->setAutoFillBackground(true);
    SetBevelOuter(bvRaised);
}

void TPanel::SetBounds(int Left, int Top, int Width, int Height) {
    TWinControl::SetBounds(Left, Top, Width, Height);
    CoverSiblings();
}

void TPanel::SetVisible(bool Value) {
    TWinControl::SetVisible(Value);
    CoverSiblings();
}

// The siblings beneath are those made before the panel: later ones are stacked above it.
void TPanel::CoverSiblings() {
    QWidget* panel = Widget();
    QWidget* parent = panel != nullptr ? panel->parentWidget() : nullptr;
    if (parent == nullptr) return;
    const bool shown = !panel->isHidden();
    bool covering = false;
    for (QObject* child : parent->children()) {
        if (child == panel) break;
        auto* sibling = qobject_cast<QWidget*>(child);
        if (sibling == nullptr || sibling->isWindow()) continue;
        const bool covered = shown && panel->geometry().contains(sibling->geometry());
        SetCovered(sibling, covered);
        covering = covering || covered;
    }
    // The window's focus goes into the panel when it sat beneath it or nowhere yet.
    QWidget* focus = panel->window()->focusWidget();
    if (covering && (focus == nullptr || focus->property(CoveredFocusProperty).isValid()))
        if (QWidget* first = FirstFocusable(panel)) first->setFocus(Qt::OtherFocusReason);
}

void TPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    auto* frame = static_cast<QFrame*>(Widget());
    frame->setFrameShape(Value == bvNone ? QFrame::NoFrame : QFrame::Panel);
    frame->setFrameShadow(Value == bvLowered ? QFrame::Sunken : QFrame::Raised);
}

TGroupBox::TGroupBox(TWinControl* Parent) : TWinControl(new QGroupBox, Parent) {}

std::string TGroupBox::GetCaption() const {
    return static_cast<QGroupBox*>(Widget())->title().toStdString();
}

void TGroupBox::SetCaption(const std::string& Value) {
    static_cast<QGroupBox*>(Widget())->setTitle(QString::fromStdString(Value));
}

TRect TGroupBox::AlignRect() const {
    const QRect inner = Widget()->contentsRect();
    return Rect(inner.left(), inner.top(), inner.right() + 1, inner.bottom() + 1);
}

TScrollBox::TScrollBox(TWinControl* Parent) : TScrollBox(new QScrollArea, Parent) {}

TScrollBox::TScrollBox(QScrollArea* Area, TWinControl* Parent)
    : TWinControl(Area, Parent, NewScrolledArea(Area)) {
    // A click on the box or on a control in it that takes no focus leaves the focus where
    // it was, as it does elsewhere on the form.
    Area->setFocusPolicy(Qt::NoFocus);
    WatchEvents(Area->viewport());
    UpdateRange();
}

QScrollArea* TScrollBox::AreaWidget() const {
    return static_cast<QScrollArea*>(Widget());
}

int TScrollBox::ClientWidth() const {
    return AreaWidget()->viewport()->width();
}
int TScrollBox::ClientHeight() const {
    return AreaWidget()->viewport()->height();
}

TRect TScrollBox::AlignRect() const {
    return Rect(0, 0, ClientWidth(), ClientHeight());
}

bool TScrollBox::HandleEvent(QObject* Watched, QEvent* Event) {
    if (Watched == AreaWidget()->viewport() && Event->type() == QEvent::Resize) {
        AlignControls();
        UpdateRange();
    }
    return TWinControl::HandleEvent(Watched, Event);
}

void TScrollBox::ChildChanged(TControl* Child) {
    TWinControl::ChildChanged(Child);
    UpdateRange();
}

void TScrollBox::UpdateRange() {
    int right = ClientWidth();
    int bottom = ClientHeight();
    for (const TControl* child : Controls()) {
        if (!child->GetVisible()) continue;
        right = std::max(right, child->GetLeft() + child->GetWidth());
        bottom = std::max(bottom, child->GetTop() + child->GetHeight());
    }
    if (QWidget* content = ClientWidget()) content->resize(right, bottom);
}
