// Check boxes, drop-down lists and radio groups. Their events follow the user's choices
// only: setting a value from the program runs no handler.
#pragma once

#include <string>
#include <vector>

#include "toolkit/widgets/Control.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;

class TCheckBox : public TControl {
public:
    explicit TCheckBox(TWinControl* Parent);
    std::string ClassName() const override { return "TCheckBox"; }
    std::string GetCaption() const;
    void SetCaption(const std::string& Value);
    bool GetChecked() const;
    void SetChecked(bool Value);
    // Toggles the box as a click would (nothing while it is disabled).
    void Click();

    // The user toggled the box (after the toggle; OnMouseDown comes before it).
    TNotifyEvent OnClick;

private:
    QCheckBox* BoxWidget() const;
};

// A drop-down list the user picks one item of.
class TComboBox : public TControl {
public:
    explicit TComboBox(TWinControl* Parent);
    std::string ClassName() const override { return "TComboBox"; }
    std::vector<std::string> GetItems() const;
    void SetItems(const std::vector<std::string>& Value);
    // -1 when no item is chosen.
    int GetItemIndex() const;
    void SetItemIndex(int Value);
    std::string GetText() const;

    // The user chose an item.
    TNotifyEvent OnChange;

private:
    QComboBox* ComboWidget() const;
};

// Radio buttons in a captioned frame, laid out in columns (filled column by column).
class TRadioGroup : public TControl {
public:
    explicit TRadioGroup(TWinControl* Parent);
    ~TRadioGroup() override;
    std::string ClassName() const override { return "TRadioGroup"; }
    std::string GetCaption() const;
    void SetCaption(const std::string& Value);
    std::vector<std::string> GetItems() const { return FItems; }
    void SetItems(const std::vector<std::string>& Value);
    int GetColumns() const { return FColumns; }
    void SetColumns(int Value);
    // -1 when no item is chosen.
    int GetItemIndex() const;
    void SetItemIndex(int Value);
    // Chooses an item as a click on it would.
    void ClickItem(int Index);

    // The user chose an item.
    TNotifyEvent OnClick;

private:
    QGroupBox* GroupWidget() const;
    void Rebuild();

    std::unique_ptr<QButtonGroup> FButtons;
    std::vector<std::string> FItems;
    int FColumns = 1;
};
