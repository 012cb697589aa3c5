#include "toolkit/widgets/Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "toolkit/widgets/Application.h"

TMenuItem::TMenuItem(const std::string& Caption) : FAction(std::make_unique<QAction>()) {
    SetCaption(Caption);
    QObject::connect(FAction.get(), &QAction::triggered, FAction.get(), [this] {
        // Qt toggles a checkable action by itself; the mark is the program's to set.
        FAction->setChecked(FChecked);
        RunHandler([this] {
            if (OnClick) OnClick(this);
        });
    });
}

// The children go first, so that their actions leave the menus before the menus go.
TMenuItem::~TMenuItem() {
    FItems.clear();
}

QWidget* TMenuItem::Container() {
    if (FHost != nullptr) return FHost;
    if (!FSubMenu) {
        FSubMenu = std::make_unique<QMenu>();
        FAction->setMenu(FSubMenu.get());
    }
    return FSubMenu.get();
}

TMenuItem* TMenuItem::Add(const std::string& Caption, TNotifyEvent OnClick) {
    auto item = std::make_unique<TMenuItem>(Caption);
    item->OnClick = std::move(OnClick);
    Container()->addAction(item->FAction.get());
    FItems.push_back(std::move(item));
    return FItems.back().get();
}

std::string TMenuItem::GetCaption() const {
    return FAction->isSeparator() ? "-" : FAction->text().toStdString();
}

void TMenuItem::SetCaption(const std::string& Value) {
    FAction->setSeparator(Value == "-");
    FAction->setText(QString::fromStdString(Value));
}

void TMenuItem::SetChecked(bool Value) {
    FChecked = Value;
    // Only a checked item is checkable, so an unchecked one shows no empty box.
    FAction->setCheckable(Value);
    FAction->setChecked(Value);
}

bool TMenuItem::GetEnabled() const {
    return FAction->isEnabled();
}
void TMenuItem::SetEnabled(bool Value) {
    FAction->setEnabled(Value);
}
bool TMenuItem::GetVisible() const {
    return FAction->isVisible();
}
void TMenuItem::SetVisible(bool Value) {
    FAction->setVisible(Value);
}

void TMenuItem::Click() {
    FAction->trigger();
}

TMainMenu::TMainMenu() : FMenuBar(new QMenuBar), FItems(std::make_unique<TMenuItem>()) {
    // The menu stays in the window, where the form's bounds count it, on every desktop.
    FMenuBar->setNativeMenuBar(false);
    FItems->FHost = FMenuBar.data();
}

TMainMenu::~TMainMenu() {
    FItems.reset();
    delete FMenuBar.data();
}

TPopupMenu::TPopupMenu() : FMenu(std::make_unique<QMenu>()), FItems(std::make_unique<TMenuItem>()) {
    FItems->FHost = FMenu.get();
}

TPopupMenu::~TPopupMenu() {
    FItems.reset();
}

void TPopupMenu::Popup(int X, int Y) {
    FMenu->popup(QPoint(X, Y));
}
