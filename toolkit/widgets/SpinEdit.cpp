#include "toolkit/widgets/SpinEdit.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleOptionSpinBox>
#include <limits>

#include "toolkit/widgets/Application.h"

namespace {

// Spin boxes laid out as tightly as the programs' small spin edits need: a one-pixel frame
// and narrow buttons leave the text the width it needs for the widest value.
class TCompactSpinStyle : public QProxyStyle {
public:
    static constexpr int Frame = 1;
    static constexpr int ButtonWidth = 12;

    QRect subControlRect(ComplexControl Control, const QStyleOptionComplex* Option, SubControl Part,
                         const QWidget* Widget) const override {
        if (Control != CC_SpinBox) return QProxyStyle::subControlRect(Control, Option, Part, Widget);
        const QRect inner = Option->rect.adjusted(Frame, Frame, -Frame, -Frame);
        const int buttonsLeft = inner.right() - ButtonWidth + 1;
        const int upHeight = inner.height() / 2;
        switch (Part) {
        case SC_SpinBoxUp:
            return QRect(buttonsLeft, inner.top(), ButtonWidth, upHeight);
        case SC_SpinBoxDown:
            return QRect(buttonsLeft, inner.top() + upHeight, ButtonWidth, inner.height() - upHeight);
        case SC_SpinBoxEditField:
            return QRect(inner.left(), inner.top(), inner.width() - ButtonWidth, inner.height());
        default:
            return QProxyStyle::subControlRect(Control, Option, Part, Widget);
        }
    }
};

} // namespace

// A spin box that leaves its text to the control: it accepts what the control lets the
// user type and asks the control to step.
class TSpinBoxWidget : public QAbstractSpinBox {
public:
    TSpinBoxWidget() {
        auto* compact = new TCompactSpinStyle;
        compact->setParent(this);
        setStyle(compact);
    }
    // The style goes with the children; the widget lets go of it first.
    ~TSpinBoxWidget() override { setStyle(nullptr); }

    std::function<bool(const QString&)> Accepts;
    std::function<void(int)> Step;

    QLineEdit* Edit() const { return lineEdit(); }
    QValidator::State validate(QString& Input, int&) const override {
        return Accepts && !Accepts(Input) ? QValidator::Invalid : QValidator::Acceptable;
    }
    void fixup(QString&) const override {}
    void stepBy(int Steps) override {
        if (Step) RunHandler([&] { Step(Steps); });
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

TSpinEdit::TSpinEdit(TWinControl* Parent) : TControl(new TSpinBoxWidget, Parent) {
    TSpinBoxWidget* spin = SpinWidget();
    spin->Accepts = [this](const QString& Text) { return Typable(Text); };
    spin->Step = [this](int Steps) { StepBy(Steps); };
    spin->setKeyboardTracking(true);
    spin->Edit()->setText(QStringLiteral("0"));
    QObject::connect(spin->Edit(), &QLineEdit::textChanged, Widget(), [this] {
        RunHandler([this] {
            if (OnChange) OnChange(this);
        });
    });
}

TSpinBoxWidget* TSpinEdit::SpinWidget() const {
    return static_cast<TSpinBoxWidget*>(Widget());
}

// Digits and signs only, and no more of them than MaxLength.
bool TSpinEdit::Typable(const QString& Text) const {
    if (FMaxLength > 0 && Text.size() > FMaxLength) return false;
    for (const QChar c : Text)
        if (!c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('+')) return false;
    return true;
}

int TSpinEdit::CheckValue(int Value) const {
    if (FMaxValue == FMinValue) return Value;
    return std::clamp(Value, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
}

int TSpinEdit::GetValue() const {
    bool ok = false;
    const int value = SpinWidget()->Edit()->text().trimmed().toInt(&ok);
    return CheckValue(ok ? value : FMinValue);
}

void TSpinEdit::SetValue(int Value) {
    SetText(std::to_string(CheckValue(Value)));
}

std::string TSpinEdit::GetText() const {
    return SpinWidget()->Edit()->text().toStdString();
}

void TSpinEdit::SetText(const std::string& Value) {
    SpinWidget()->Edit()->setText(QString::fromStdString(Value));
}

void TSpinEdit::StepBy(int Steps) {
    const long long stepped = static_cast<long long>(GetValue()) + static_cast<long long>(Steps) * FIncrement;
    SetValue(static_cast<int>(
        std::clamp<long long>(stepped, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}

void TSpinEdit::DoExit() {
    const int value = GetValue();
    if (GetText() != std::to_string(value)) SetValue(value);
    TControl::DoExit();
}
