// Whether a window shows its texts whole at the fonts it uses: the widest value of every spin
// edit, the text of every edit, the captions of labels, check boxes and radio buttons.
#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionFrame>
#include <string>
#include <vector>

#include "toolkit/widgets/Form.h"
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
// the same parent.
inline void CheckNeighbours(const QWidget& Widget, const QString& Text, std::vector<std::string>& Clipped) {
    if (Text.isEmpty() || Widget.parentWidget() == nullptr) return;
    const QRect needed(Widget.pos(), QSize(Widget.sizeHint().width(), Widget.height()));
    for (const QObject* child : Widget.parentWidget()->children()) {
        const auto* other = qobject_cast<const QWidget*>(child);
        if (other == nullptr || other == &Widget || other->isHidden() || other->isWindow()) continue;
        if (needed.intersects(other->geometry())) {
            const TControl* control = TControl::FromWidget(const_cast<QWidget*>(other));
            Clipped.push_back(Describe(Widget, Text, needed.size(), Widget.size()) + ", runs into " +
                              (control != nullptr ? control->Name : other->objectName().toStdString()));
        }
    }
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
            if (button->isCheckable()) textfit::CheckCaption(*button, button->text(), clipped);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (!label->pixmap().isNull()) continue;
            textfit::CheckCaption(*label, label->text(), clipped);
            textfit::CheckNeighbours(*label, label->text(), clipped);
        }
    }
    Form.Hide();
    return clipped;
}
