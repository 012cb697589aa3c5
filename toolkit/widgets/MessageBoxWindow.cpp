#include "toolkit/widgets/MessageBoxWindow.h"

#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QScreen>

#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Form.h"

namespace {

// Room beside the title for a window menu icon, three buttons and the margins.
constexpr int TitleBarButtons = 4 * 32 + 16;

QMessageBox::Icon IconOf(TMsgDlgType Type) {
    switch (Type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

// Window managers set titles in a bold face, often larger than the text of the windows.
int TitleBarWidth(const QString& Title) {
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(QFontInfo(QApplication::font()).pixelSize() * 5 / 4);
    return QFontMetrics(font).horizontalAdvance(Title) + TitleBarButtons;
}

QWidget* DialogOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    const TForm* main = Application->MainForm();
    return main != nullptr && main->Showing() ? main->Widget() : nullptr;
}

TMessageBoxWindow::TMessageBoxWindow(const TMessageRequest& Request, QWidget* Owner) : QMessageBox(Owner) {
    setWindowTitle(QString::fromStdString(Request.Caption));
    setText(QString::fromStdString(Request.Text));
    setIcon(IconOf(Request.Type));
    QMessageBox::StandardButtons buttons;
    if (Request.Buttons & mbYes) buttons |= QMessageBox::Yes;
    if (Request.Buttons & mbNo) buttons |= QMessageBox::No;
    if (Request.Buttons & mbOK) buttons |= QMessageBox::Ok;
    if (Request.Buttons & mbCancel) buttons |= QMessageBox::Cancel;
    setStandardButtons(buttons);
}

TModalResult TMessageBoxWindow::Run() {
    switch (exec()) {
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    case QMessageBox::Ok:
        return mrOk;
    default:
        return mrCancel;
    }
}

void TMessageBoxWindow::showEvent(QShowEvent* Event) {
    QMessageBox::showEvent(Event);
    FitTitle();
}

bool TMessageBoxWindow::event(QEvent* Event) {
    const bool handled = QMessageBox::event(Event);
    if (Event->type() == QEvent::LayoutRequest) FitTitle();
    return handled;
}

// Widened about its centre, so a box placed on its owner stays centred there.
void TMessageBoxWindow::FitTitle() {
    // Before it shows the box has no place yet: it is centred on its owner as it opens.
    const int need = TitleBarWidth(windowTitle());
    if (!isVisible() || width() >= need) return;
    const int left = x() - (need - width()) / 2;
    setFixedWidth(need);
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        move(std::max(room.left(), std::min(left, room.right() + 1 - frameGeometry().width())), y());
    }
}
