#include "toolkit/widgets/Buttons.h"

#include <QBitmap>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include "toolkit/widgets/Application.h"

TButton::TButton(TWinControl* Parent) : TButton(new QPushButton, Parent) {}

TButton::TButton(QAbstractButton* Button, TWinControl* Parent) : TControl(Button, Parent) {
    QObject::connect(Button, &QAbstractButton::clicked, Button, [this] {
        RunHandler([this] {
            if (OnClick) OnClick(this);
        });
    });
}

QAbstractButton* TButton::ButtonWidget() const {
    return static_cast<QAbstractButton*>(Widget());
}

std::string TButton::GetCaption() const {
    return ButtonWidget()->text().toStdString();
}

void TButton::SetCaption(const std::string& Value) {
    ButtonWidget()->setText(QString::fromStdString(Value));
}

void TButton::Click() {
    ButtonWidget()->click();
}

void TGlyphButton::SetGlyph(TBitmap* Glyph) {
    if (Glyph == nullptr || Glyph->Empty()) {
        static_cast<QAbstractButton*>(Widget())->setIcon(QIcon());
        return;
    }
    const QImage& image = Glyph->Image();
    QPixmap pixmap = QPixmap::fromImage(image);
    // The bottom-left pixel's colour is the ground: pixels of that colour become the mask's
    // clear bits (MaskInColor marks them, and a QBitmap's marked bits are the transparent ones).
    pixmap.setMask(
        QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1), Qt::MaskInColor)));
    auto* button = static_cast<QAbstractButton*>(Widget());
    button->setIcon(QIcon(pixmap));
    button->setIconSize(pixmap.size());
}

TBitBtn::TBitBtn(TWinControl* Parent) : TGlyphButton(new QPushButton, Parent) {}

TSpeedButton::TSpeedButton(TWinControl* Parent) : TGlyphButton(new QToolButton, Parent) {
    Widget()->setFocusPolicy(Qt::NoFocus);
    static_cast<QToolButton*>(Widget())->setAutoRaise(true);
}
