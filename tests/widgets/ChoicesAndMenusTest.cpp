#include <gtest/gtest.h>

#include <QRadioButton>

#include "WidgetTestSupport.h"

namespace {

struct ChoicesTest : ::testing::Test {
    TForm form;
    void SetUp() override {
        form.SetClientWidth(300);
        form.SetClientHeight(200);
    }
};

TEST_F(ChoicesTest, RadioGroupFillsItsColumnsOneAfterTheOther) {
    TRadioGroup group(&form);
    group.SetBounds(0, 0, 200, 100);
    group.SetColumns(2);
    group.SetItems({"X1", "X2", "X3", "X4"});
    group.SetItemIndex(0);
    ShowAndActivate(form);
    const QList<QRadioButton*> buttons = group.Widget()->findChildren<QRadioButton*>();
    ASSERT_EQ(buttons.size(), 4);
    auto at = [&](const char* Text) {
        for (QRadioButton* b : buttons)
            if (b->text() == QLatin1String(Text)) return b->geometry().topLeft();
        return QPoint(-1, -1);
    };
    EXPECT_EQ(at("X1").x(), at("X2").x());
    EXPECT_LT(at("X1").y(), at("X2").y());
    EXPECT_EQ(at("X3").y(), at("X1").y());
    EXPECT_GT(at("X3").x(), at("X1").x());
    EXPECT_EQ(at("X4").y(), at("X2").y());
}

TEST_F(ChoicesTest, RadioGroupRunsOnClickForTheUsersChoiceOnly) {
    TRadioGroup group(&form);
    group.SetItems({"LEFT", "CENTER", "RIGHT"});
    int clicks = 0;
    group.OnClick = [&](TObject*) { ++clicks; };
    group.SetItemIndex(1);
    EXPECT_EQ(group.GetItemIndex(), 1);
    EXPECT_EQ(clicks, 0);
    group.ClickItem(2);
    EXPECT_EQ(group.GetItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    group.SetItemIndex(-1);
    EXPECT_EQ(group.GetItemIndex(), -1);
    group.SetItems({"A", "B"}); // a new item list keeps no choice past its end
    EXPECT_EQ(group.GetItemIndex(), -1);
}

TEST_F(ChoicesTest, CheckBoxMouseDownComesBeforeTheToggle) {
    TCheckBox box(&form);
    box.SetBounds(0, 0, 120, 20);
    ShowAndActivate(form);
    bool checkedAtPress = true;
    int clicks = 0;
    box.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        checkedAtPress = box.GetChecked();
    };
    box.OnClick = [&](TObject*) { ++clicks; };
    const QPoint inside(8, 10);
    SendMouse(box.Widget(), QEvent::MouseButtonPress, inside, Qt::LeftButton);
    SendMouse(box.Widget(), QEvent::MouseButtonRelease, inside, Qt::LeftButton);
    EXPECT_FALSE(checkedAtPress);
    EXPECT_TRUE(box.GetChecked());
    EXPECT_EQ(clicks, 1);
    box.SetChecked(false); // the program's changes run no handler
    EXPECT_EQ(clicks, 1);
}

TEST_F(ChoicesTest, ComboBoxKeepsItsItemsAndIndex) {
    TComboBox combo(&form);
    combo.SetItems({"デイザ", "256色", "128色"});
    EXPECT_EQ(combo.GetItemIndex(), -1);
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.GetText(), "256色");
    combo.SetItemIndex(7);
    EXPECT_EQ(combo.GetItemIndex(), -1);
    EXPECT_EQ(combo.GetItems().size(), 3u);
}

TEST(MenuTest, ItemsCarryCheckMarksThatOnlyTheProgramChanges) {
    TPopupMenu menu;
    int clicks = 0;
    TMenuItem* panel = menu.Items()->Add("パネル1表示", [&](TObject*) { ++clicks; });
    menu.Items()->Add("-");
    TMenuItem* other = menu.Items()->Add("スコアの削除");
    panel->SetChecked(true);
    EXPECT_TRUE(panel->Action()->isChecked());
    panel->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(panel->GetChecked());
    EXPECT_TRUE(panel->Action()->isChecked()); // choosing it did not clear the mark
    panel->SetChecked(false);
    EXPECT_FALSE(panel->Action()->isChecked());
    EXPECT_EQ(menu.Items()->Items(1)->GetCaption(), "-");
    EXPECT_TRUE(menu.Items()->Items(1)->Action()->isSeparator());
    other->SetEnabled(false);
    other->OnClick = [&](TObject*) { ++clicks; };
    other->Click();
    EXPECT_EQ(clicks, 1);
}

TEST(MenuTest, MainMenuSitsAboveTheClientAreaWithSubmenus) {
    TForm form;
    TMainMenu menu;
    TMenuItem* file = menu.Items()->Add("ファイル(&F)");
    int news = 0;
    file->Add("新規(&N)", [&](TObject*) { ++news; });
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    form.SetMenu(&menu);
    EXPECT_EQ(form.ClientHeight(), 100 - menu.MenuBar()->sizeHint().height());
    form.SetClientHeight(100);
    EXPECT_EQ(form.ClientHeight(), 100);
    file->Items(0)->Click();
    EXPECT_EQ(news, 1);
    file->SetEnabled(false);
    EXPECT_FALSE(menu.MenuBar()->actions().front()->isEnabled());
}

TEST(TimerTest, TicksRunOnTheEventLoopWhileEnabled) {
    TTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(10);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    Application->ProcessMessages();
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
    timer.SetEnabled(false);
    const int stopped = ticks;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 50)
        Application->ProcessMessages();
    EXPECT_EQ(ticks, stopped);

    // An interval of 0 stops the ticks while the timer stays enabled.
    timer.SetEnabled(true);
    timer.SetInterval(0);
    clock.restart();
    while (clock.elapsed() < 50)
        Application->ProcessMessages();
    EXPECT_EQ(ticks, stopped);
    EXPECT_TRUE(timer.GetEnabled());
}

TEST(TimerTest, AFailingTickIsReportedAndTheTimerGoesOn) {
    TScriptedAnswerer answers;
    TTimer timer;
    timer.SetInterval(5);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 1) throw Exception("tick failed");
    };
    EXPECT_TRUE(RunUntil([&] { return ticks >= 3; }));
    timer.SetEnabled(false);
    ASSERT_FALSE(answers.MessageTexts().empty());
    EXPECT_EQ(answers.MessageTexts().front(), "tick failed");
}

} // namespace
