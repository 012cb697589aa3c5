// Menus: items with captions, check marks and click events, the form's main menu and
// context menus of controls.
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/widgets/Control.h"

class QAction;
class QMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(const std::string& Caption = std::string());
    ~TMenuItem() override;
    std::string ClassName() const override { return "TMenuItem"; }

    // Appends a child item, owned by this one; the caption "-" makes a separator.
    TMenuItem* Add(const std::string& Caption, TNotifyEvent OnClick = nullptr);
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)).get(); }

    std::string GetCaption() const;
    void SetCaption(const std::string& Value);
    // The check mark; choosing the item does not change it, its handler does.
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool Value);
    bool GetEnabled() const;
    void SetEnabled(bool Value);
    bool GetVisible() const;
    void SetVisible(bool Value);
    // Chooses the item as the user would: nothing happens while it is disabled.
    void Click();

    QAction* Action() const { return FAction.get(); }
    TNotifyEvent OnClick;

private:
    friend class TMainMenu;
    friend class TPopupMenu;
    QWidget* Container();

    std::unique_ptr<QAction> FAction;
    std::unique_ptr<QMenu> FSubMenu;
    QWidget* FHost = nullptr; // where the children of a menu's root item go
    std::vector<std::unique_ptr<TMenuItem>> FItems;
    bool FChecked = false;
};

// The menu bar of a form (TForm::SetMenu puts it on the form).
class TMainMenu : public TComponent {
public:
    TMainMenu();
    ~TMainMenu() override;
    std::string ClassName() const override { return "TMainMenu"; }
    TMenuItem* Items() const { return FItems.get(); }
    QMenuBar* MenuBar() const { return FMenuBar.data(); }

private:
    QPointer<QMenuBar> FMenuBar;
    std::unique_ptr<TMenuItem> FItems;
};

// A context menu, shown when its control is right-clicked.
class TPopupMenu : public TComponent {
public:
    TPopupMenu();
    ~TPopupMenu() override;
    std::string ClassName() const override { return "TPopupMenu"; }
    TMenuItem* Items() const { return FItems.get(); }
    // Opens the menu at a screen position and returns at once.
    void Popup(int X, int Y);
    QMenu* Menu() const { return FMenu.get(); }

private:
    std::unique_ptr<QMenu> FMenu;
    std::unique_ptr<TMenuItem> FItems;
};
