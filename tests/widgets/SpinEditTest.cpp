#include <gtest/gtest.h>

#include "WidgetTestSupport.h"

namespace {

struct SpinEditTest : ::testing::Test {
    TForm form;
    TSpinEdit spin{&form};
    TEdit other{&form};

    void SetUp() override {
        spin.SetMinValue(10);
        spin.SetMaxValue(1000);
        spin.SetIncrement(10);
        spin.SetMaxLength(4);
        spin.SetValue(100);
    }
};

TEST_F(SpinEditTest, TypedValuesReadInsideTheRangeAndAreFixedWhenTheFocusLeaves) {
    int exits = 0;
    spin.OnExit = [&](TObject*) { ++exits; };
    spin.SetFocus();
    spin.SetText("5");
    EXPECT_EQ(spin.GetValue(), 10);
    EXPECT_EQ(spin.GetText(), "5"); // the user's text stays while typing
    other.SetFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(spin.GetText(), "10");

    spin.SetFocus();
    spin.SetText("2000");
    other.SetFocus();
    EXPECT_EQ(spin.GetText(), "1000");

    spin.SetFocus();
    spin.SetText("");
    EXPECT_EQ(spin.GetValue(), 10); // no number reads as the minimum
    other.SetFocus();
    EXPECT_EQ(spin.GetText(), "10");
}

TEST_F(SpinEditTest, TheExitHandlerSeesTheValueInRange) {
    int seen = 0;
    spin.OnExit = [&](TObject*) { seen = spin.GetValue(); };
    spin.SetFocus();
    spin.SetText("-7");
    other.SetFocus();
    EXPECT_EQ(seen, 10);
}

TEST_F(SpinEditTest, EqualBoundsLeaveTheValueUnbounded) {
    spin.SetMinValue(0);
    spin.SetMaxValue(0);
    spin.SetValue(-12345);
    EXPECT_EQ(spin.GetValue(), -12345);
    spin.SetText("x");
    EXPECT_EQ(spin.GetValue(), 0);
}

TEST_F(SpinEditTest, StepsByTheIncrementAndStopsAtTheBounds) {
    spin.StepBy(1);
    EXPECT_EQ(spin.GetValue(), 110);
    spin.SetValue(995);
    spin.StepBy(1);
    EXPECT_EQ(spin.GetValue(), 1000);
    spin.StepBy(-200);
    EXPECT_EQ(spin.GetValue(), 10);
}

TEST_F(SpinEditTest, OnChangeFollowsEveryTextChangeAndFocusIsKnown) {
    int changes = 0;
    spin.OnChange = [&](TObject*) { ++changes; };
    spin.SetValue(200);
    spin.SetText("30");
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(spin.Focused());
    spin.SetFocus();
    EXPECT_TRUE(spin.Focused());
    EXPECT_FALSE(other.Focused());
}

// Types Text into the control that has the focus, key by key.
void Type(const std::string& Text) {
    QWidget* edit = QApplication::focusWidget();
    ASSERT_NE(edit, nullptr);
    for (const char c : Text) {
        const int key = QKeySequence(QString(QChar(c)).toUpper())[0].key();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(edit, &press);
    }
}

TEST_F(SpinEditTest, TheUserTypesDigitsOnlyAndNoMoreThanMaxLength) {
    ShowAndActivate(form);
    spin.SetFocus();
    spin.SetText("");
    Type("1a2345");
    EXPECT_EQ(spin.GetText(), "1234");
    // A MaxLength of 0 sets no limit.
    spin.SetMaxLength(0);
    spin.SetText("");
    Type("1234567");
    EXPECT_EQ(spin.GetText(), "1234567");

    other.SetMaxLength(3);
    other.SetFocus();
    Type("abcde");
    EXPECT_EQ(other.GetText(), "abc");
    other.SetMaxLength(0);
    other.SetText("");
    Type("abcdefghij");
    EXPECT_EQ(other.GetText(), "abcdefghij");
}

} // namespace
