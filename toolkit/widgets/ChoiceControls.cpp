#include "toolkit/widgets/ChoiceControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

#include "toolkit/widgets/Application.h"

namespace {

QStringList ToStringList(const std::vector<std::string>& Items) {
    QStringList list;
    for (const std::string& item : Items)
        list << QString::fromStdString(item);
    return list;
}

} // namespace

TCheckBox::TCheckBox(TWinControl* Parent) : TControl(new QCheckBox, Parent) {
    QObject::connect(BoxWidget(), &QCheckBox::clicked, Widget(), [this] {
        RunHandler([this] {
            if (OnClick) OnClick(this);
        });
    });
}

QCheckBox* TCheckBox::BoxWidget() const {
    return static_cast<QCheckBox*>(Widget());
}

std::string TCheckBox::GetCaption() const {
    return BoxWidget()->text().toStdString();
}
void TCheckBox::SetCaption(const std::string& Value) {
    BoxWidget()->setText(QString::fromStdString(Value));
}
bool TCheckBox::GetChecked() const {
    return BoxWidget()->isChecked();
}
void TCheckBox::SetChecked(bool Value) {
    BoxWidget()->setChecked(Value);
}
void TCheckBox::Click() {
    BoxWidget()->click();
}

TComboBox::TComboBox(TWinControl* Parent) : TControl(new QComboBox, Parent) {
    QObject::connect(ComboWidget(), &QComboBox::activated, Widget(), [this] {
        RunHandler([this] {
            if (OnChange) OnChange(this);
        });
    });
}

QComboBox* TComboBox::ComboWidget() const {
    return static_cast<QComboBox*>(Widget());
}

std::vector<std::string> TComboBox::GetItems() const {
    std::vector<std::string> items;
    for (int i = 0; i < ComboWidget()->count(); ++i)
        items.push_back(ComboWidget()->itemText(i).toStdString());
    return items;
}

void TComboBox::SetItems(const std::vector<std::string>& Value) {
    ComboWidget()->clear();
    ComboWidget()->addItems(ToStringList(Value));
    ComboWidget()->setCurrentIndex(-1);
}

int TComboBox::GetItemIndex() const {
    return ComboWidget()->currentIndex();
}

void TComboBox::SetItemIndex(int Value) {
    ComboWidget()->setCurrentIndex(Value >= 0 && Value < ComboWidget()->count() ? Value : -1);
}

std::string TComboBox::GetText() const {
    return ComboWidget()->currentText().toStdString();
}

TRadioGroup::TRadioGroup(TWinControl* Parent)
    : TControl(new QGroupBox, Parent), FButtons(std::make_unique<QButtonGroup>()) {
    // The items share the box below its caption without the layout's own margins, so a low
    // box still shows them whole.
    auto* grid = new QGridLayout(GroupWidget()); // owned by the group box
    grid->setContentsMargins(6, 0, 2, 0);
    grid->setSpacing(0);
    QObject::connect(FButtons.get(), &QButtonGroup::idClicked, Widget(), [this] {
        RunHandler([this] {
            if (OnClick) OnClick(this);
        });
    });
}

TRadioGroup::~TRadioGroup() = default;

QGroupBox* TRadioGroup::GroupWidget() const {
    return static_cast<QGroupBox*>(Widget());
}

std::string TRadioGroup::GetCaption() const {
    return GroupWidget()->title().toStdString();
}
void TRadioGroup::SetCaption(const std::string& Value) {
    GroupWidget()->setTitle(QString::fromStdString(Value));
}

void TRadioGroup::SetItems(const std::vector<std::string>& Value) {
    FItems = Value;
    Rebuild();
}

void TRadioGroup::SetColumns(int Value) {
    FColumns = std::max(1, Value);
    Rebuild();
}

// Items run down the first column, then the next, as many rows as the longest column.
void TRadioGroup::Rebuild() {
    const int selected = GetItemIndex();
    for (QAbstractButton* button : FButtons->buttons())
        delete button;
    auto* grid = static_cast<QGridLayout*>(GroupWidget()->layout());
    const int count = static_cast<int>(FItems.size());
    const int rows = std::max(1, (count + FColumns - 1) / FColumns);
    for (int i = 0; i < count; ++i) {
        auto* button =
            new QRadioButton(QString::fromStdString(FItems[static_cast<std::size_t>(i)]), GroupWidget());
        FButtons->addButton(button, i);
        grid->addWidget(button, i % rows, i / rows);
    }
    SetItemIndex(selected < count ? selected : -1);
}

int TRadioGroup::GetItemIndex() const {
    return FButtons->checkedId();
}

void TRadioGroup::SetItemIndex(int Value) {
    if (QAbstractButton* button = FButtons->button(Value)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button.
    if (QAbstractButton* checked = FButtons->checkedButton()) {
        FButtons->setExclusive(false);
        checked->setChecked(false);
        FButtons->setExclusive(true);
    }
}

void TRadioGroup::ClickItem(int Index) {
    if (QAbstractButton* button = FButtons->button(Index)) button->click();
}
