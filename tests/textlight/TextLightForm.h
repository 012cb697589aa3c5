// The text-light window created as the program creates it, every dialog answered by a script.
#pragma once

#include <gtest/gtest.h>
#include <memory>

#include "textlight/vantacor.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/ScriptedAnswerer.h"

class TextLightFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Answers = std::make_unique<TScriptedAnswerer>();
        Application->CreateForm(Form1);
    }

    void TearDown() override {
        Application->DestroyForms();
        Answers.reset();
    }

    // The text's size as the window measures it with the text box's font.
    int MeasuredWidth() {
        Form1->Canvas()->Font = Form1->Edit1->GetFont();
        return Form1->Canvas()->TextWidth(Form1->Edit1->GetText());
    }
    int MeasuredHeight() {
        Form1->Canvas()->Font = Form1->Edit1->GetFont();
        return Form1->Canvas()->TextHeight(Form1->Edit1->GetText());
    }

    // "実行", then "停止/再開": the preview stopped with saving enabled.
    void RunAndStop() {
        Form1->Button1->Click();
        ASSERT_TRUE(Form1->Timer1->GetEnabled());
        Form1->Button3->Click();
        ASSERT_TRUE(Form1->Button4->GetEnabled());
    }

    std::unique_ptr<TScriptedAnswerer> Answers;
};
