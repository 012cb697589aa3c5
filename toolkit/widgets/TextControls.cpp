#include "toolkit/widgets/TextControls.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>

#include "toolkit/widgets/Application.h"

TLabel::TLabel(TWinControl* Parent) : TControl(new QLabel, Parent) {}

bool TLabel::HandleEvent(QObject* Watched, QEvent* Event) {
    // Font changes of the parent reach the label through Qt; the size follows them.
    if (Watched == Widget() && Event->type() == QEvent::FontChange) FitText();
    return TControl::HandleEvent(Watched, Event);
}

QLabel* TLabel::LabelWidget() const {
    return static_cast<QLabel*>(Widget());
}

std::string TLabel::GetCaption() const {
    return LabelWidget()->text().toStdString();
}

void TLabel::SetCaption(const std::string& Value) {
    LabelWidget()->setText(QString::fromStdString(Value));
    FitText();
}

void TLabel::SetAutoSize(bool Value) {
    FAutoSize = Value;
    FitText();
}

void TLabel::FitText() {
    if (!FAutoSize) return;
    const QSize size = LabelWidget()->sizeHint();
    SetBounds(GetLeft(), GetTop(), size.width(), size.height());
}

TEdit::TEdit(TWinControl* Parent) : TControl(new QLineEdit, Parent) {
    QObject::connect(EditWidget(), &QLineEdit::textChanged, Widget(), [this] {
        RunHandler([this] {
            if (OnChange) OnChange(this);
        });
    });
}

QLineEdit* TEdit::EditWidget() const {
    return static_cast<QLineEdit*>(Widget());
}

std::string TEdit::GetText() const {
    return EditWidget()->text().toStdString();
}

void TEdit::SetText(const std::string& Value) {
    EditWidget()->setText(QString::fromStdString(Value));
}

void TEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    EditWidget()->setMaxLength(Value > 0 ? Value : 32767);
}
