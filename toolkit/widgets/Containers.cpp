#include "toolkit/widgets/Containers.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QScrollArea>

namespace {

QWidget* NewScrolledArea(QScrollArea* Area) {
    auto* content = new QWidget;
    Area->setWidget(content); // owned by the scroll area
    Area->setWidgetResizable(false);
    return content;
}

} // namespace

TPanel::TPanel(TWinControl* Parent) : TWinControl(new QFrame, Parent) {
    SetBevelOuter(bvRaised);
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
