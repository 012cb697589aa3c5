// Whether a window shows its texts whole at the fonts it uses: the widest value of every spin
// edit, the text of every edit, the captions of labels, buttons, check boxes, radio buttons and
// group boxes, labels clear of their neighbours, and the titles of message boxes.
#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <string>
#include <vector>

#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/MessageBoxWindow.h"
#include "toolkit/widgets/SpinEdit.h"

namespace textfit {

// Room for text inside an edit, as the edit lays it out: the contents rectangle of its frame,
// less its text margins, the two-pixel side margins and the one-pixel top and bottom margins
// the edit keeps, and the cursor's width.
inline QSize TextRoom(const QLineEdit& Edit) {
    QStyleOptionFrame option;
    option.initFrom(&Edit);
    option.rect = Edit.rect();
    option.lineWidth =
        Edit.hasFrame() ? Edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &Edit) : 0;
    const QRect contents = Edit.style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, &Edit)
                               .marginsRemoved(Edit.textMargins());
    return QSize(contents.width() - 2 * 2 - 1, contents.height() - 2 * 1);
}

// The widest text a spin edit is meant to show: its range's extremes, or five places with a
// sign when it has no range.
inline QString WidestValue(const TSpinEdit& Spin, const QFontMetrics& Metrics) {
    if (Spin.GetMinValue() == Spin.GetMaxValue()) return QStringLiteral("-9999");
    const QString low = QString::number(Spin.GetMinValue());
    const QString high = QString::number(Spin.GetMaxValue());
    return Metrics.horizontalAdvance(low) > Metrics.horizontalAdvance(high) ? low : high;
}

inline std::string Describe(const QWidget& Widget, const QString& Text, QSize Need, QSize Room) {
    const TControl* control = TControl::FromWidget(const_cast<QWidget*>(&Widget));
    const std::string name = control != nullptr ? control->Name : Widget.objectName().toStdString();
    return name + " \"" + Text.toStdString() + "\" needs " + std::to_string(Need.width()) + "x" +
           std::to_string(Need.height()) + ", has " + std::to_string(Room.width()) + "x" +
           std::to_string(Room.height());
}

inline void CheckEdit(const QLineEdit& Edit, const QString& Text, std::vector<std::string>& Clipped) {
    const QFontMetrics metrics(Edit.font());
    const QSize need(metrics.horizontalAdvance(Text), metrics.height());
    const QSize room = TextRoom(Edit);
    if (need.width() > room.width() || need.height() > room.height())
        Clipped.push_back(Describe(Edit, Text, need, room));
}

// A caption is clipped when its control is narrower than it asks to be or lower than a line.
inline void CheckCaption(const QWidget& Widget, const QString& Text, std::vector<std::string>& Clipped) {
    if (Text.isEmpty()) return;
    const QSize need(Widget.sizeHint().width(), QFontMetrics(Widget.font()).height());
    if (need.width() > Widget.width() || need.height() > Widget.height())
        Clipped.push_back(Describe(Widget, Text, need, Widget.size()));
}

// A caption runs into a neighbour when the room its text needs overlaps another control of
// the same parent; next to another text it needs a few pixels to spare, as captions that
// touch read as one.
inline void CheckNeighbours(const QWidget& Widget, const QString& Text, std::vector<std::string>& Clipped) {
    constexpr int Spare = 3;
    if (Text.isEmpty() || Widget.parentWidget() == nullptr) return;
    const QRect needed(Widget.pos(), QSize(Widget.sizeHint().width(), Widget.height()));
    for (const QObject* child : Widget.parentWidget()->children()) {
        const auto* other = qobject_cast<const QWidget*>(child);
        if (other == nullptr || other == &Widget || other->isHidden() || other->isWindow()) continue;
        const bool text = qobject_cast<const QLabel*>(other) != nullptr;
        if (needed.adjusted(0, 0, text ? Spare : 0, 0).intersects(other->geometry())) {
            const TControl* control = TControl::FromWidget(const_cast<QWidget*>(other));
            Clipped.push_back(Describe(Widget, Text, needed.size(), Widget.size()) + ", runs into " +
                              (control != nullptr ? control->Name : other->objectName().toStdString()));
        }
    }
}

// A push button's caption is cut when the text as shown (the mnemonic's ampersand left out)
// is wider or higher than the contents of the button's face.
inline void CheckButtonCaption(const QPushButton& Button, std::vector<std::string>& Clipped) {
    QString shown = Button.text();
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    shown.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    if (shown.isEmpty()) return;
    QStyleOptionButton option;
    option.initFrom(&Button);
    option.rect = Button.rect();
    const QSize room = Button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &Button).size();
    const QFontMetrics metrics(Button.font());
    const QSize need(metrics.horizontalAdvance(shown), metrics.height());
    if (need.width() > room.width() || need.height() > room.height())
        Clipped.push_back(Describe(Button, shown, need, room));
}

// A group box's title is cut when the box is narrower than the title and its frame.
inline void CheckGroupTitle(const QGroupBox& Box, std::vector<std::string>& Clipped) {
    if (Box.title().isEmpty()) return;
    const QSize need(QFontMetrics(Box.font()).horizontalAdvance(Box.title()) + 16, 0);
    if (need.width() > Box.width()) Clipped.push_back(Describe(Box, Box.title(), need, Box.size()));
}

// A window's title is cut when the window is narrower than a title bar needs for it.
inline void CheckTitle(const QWidget& Window, std::vector<std::string>& Clipped) {
    const QSize need(TitleBarWidth(Window.windowTitle()), 0);
    if (need.width() > Window.frameGeometry().width())
        Clipped.push_back(Describe(Window, Window.windowTitle(), need, Window.frameGeometry().size()));
}

} // namespace textfit

// The controls of Form that cut off their text, one line each; empty when every text shows whole.
inline std::vector<std::string> ClippedTexts(TForm& Form) {
    Form.Show();
    QApplication::processEvents(); // lays out the group boxes
    std::vector<std::string> clipped;
    for (QWidget* widget : Form.Widget()->findChildren<QWidget*>()) {
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) {
            const auto* control = dynamic_cast<const TSpinEdit*>(TControl::FromWidget(spin));
            auto* edit = spin->findChild<QLineEdit*>();
            if (control != nullptr && edit != nullptr)
                textfit::CheckEdit(*edit, textfit::WidestValue(*control, QFontMetrics(edit->font())),
                                   clipped);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (qobject_cast<QAbstractSpinBox*>(edit->parentWidget()) == nullptr)
                textfit::CheckEdit(*edit, edit->text(), clipped);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->isCheckable())
                textfit::CheckCaption(*button, button->text(), clipped);
            else if (auto* push = qobject_cast<QPushButton*>(button))
                textfit::CheckButtonCaption(*push, clipped);
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            textfit::CheckGroupTitle(*group, clipped);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (!label->pixmap().isNull()) continue;
            textfit::CheckCaption(*label, label->text(), clipped);
            textfit::CheckNeighbours(*label, label->text(), clipped);
        }
    }
    Form.Hide();
    return clipped;
}

// The texts of a message box as it shows: its title and its message.
inline std::vector<std::string> ClippedTexts(QMessageBox& Box) {
    Box.show();
    QApplication::processEvents();
    std::vector<std::string> clipped;
    textfit::CheckTitle(Box, clipped);
    for (QLabel* label : Box.findChildren<QLabel*>())
        if (label->pixmap().isNull()) textfit::CheckCaption(*label, label->text(), clipped);
    Box.hide();
    return clipped;
}
