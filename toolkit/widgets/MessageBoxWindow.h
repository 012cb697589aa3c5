// The message box the real dialogs show: centred on the window it belongs to, and wide
// enough for a window manager to show its title whole.
#pragma once

#include <QMessageBox>

#include "toolkit/widgets/ModalAnswerer.h"

// The width a window manager's title bar needs to show Title whole beside its buttons.
int TitleBarWidth(const QString& Title);

// The window a dialog belongs to: the active modal window, else the active window, else the
// main form when it shows (nullptr when none does).
QWidget* DialogOwner();

class TMessageBoxWindow : public QMessageBox {
public:
    TMessageBoxWindow(const TMessageRequest& Request, QWidget* Owner);
    // The mr* value of the button the box was closed with.
    TModalResult Run();

protected:
    // The box sizes itself to its text whenever it lays out; the title then widens it.
    void showEvent(QShowEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    void FitTitle();
};
