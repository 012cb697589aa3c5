#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QPushButton>

#include "WidgetTestSupport.h"
#include "common/LoopScript.h"
#include "common/TextFit.h"

namespace {

TEST(ScriptedMessagesTest, QuestionsTakeTheQueuedRepliesAndEveryBoxIsLogged) {
    TScriptedAnswerer answers;
    answers.Reply(mrYes);
    answers.Reply(mrNo);
    EXPECT_EQ(MessageDlg("終了してもよろしいですか?", mtConfirmation, mbYesNo), mrYes);
    ShowMessage("ファイルを出力しました"); // OK alone takes no reply
    EXPECT_EQ(Application->MessageBox("すべてを初期化します。よろしいですか？", "Palvenor",
                                      MB_YESNO | MB_ICONWARNING),
              IDNO);
    EXPECT_EQ(answers.Pending(), 0);
    EXPECT_EQ(answers.Unscripted(), 0);

    const std::vector<TMessageRequest> shown = answers.Messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].Caption, "確認");
    EXPECT_EQ(shown[0].Buttons, mbYesNo);
    EXPECT_EQ(shown[1].Text, "ファイルを出力しました");
    EXPECT_EQ(shown[1].Buttons, mbOK);
    EXPECT_EQ(shown[2].Caption, "Palvenor");
    EXPECT_EQ(shown[2].Type, mtWarning);
}

TEST(ScriptedMessagesTest, AnUnansweredQuestionIsDeclinedAndCounted) {
    TScriptedAnswerer answers;
    EXPECT_EQ(MessageDlg("このスコアをすべて削除してもいいですか？", mtWarning, mbYesNo), mrNo);
    EXPECT_EQ(MessageDlg("?", mtConfirmation, mbYesNoCancel), mrCancel);
    EXPECT_EQ(answers.Unscripted(), 2);
}

TEST(ScriptedMessagesTest, TheAnswererIsRemovedWithItsScope) {
    TModalAnswerer* before = &ModalAnswerer();
    {
        TScriptedAnswerer answers;
        EXPECT_EQ(&ModalAnswerer(), &answers);
    }
    EXPECT_EQ(&ModalAnswerer(), before);
}

TEST(ScriptedDialogsTest, SaveDialogTakesTheChosenFileAndFilterAndAddsTheExtension) {
    TScriptedAnswerer answers;
    TSaveDialog dialog;
    dialog.Filter = "ｱﾆﾒｰｼｮﾝGIF|*.gif|静止画GIF|*.gif|BMP連番保存|*.bmp|AVI|*.avi";
    dialog.DefaultExt = "gif;bmp;avi";
    dialog.InitialDir = "/tmp/frames";
    dialog.Options = ofOverwritePrompt;
    answers.ChooseFiles({"/tmp/a.b/out"}, 3);
    answers.ChooseFiles({"/tmp/clip.GIF"}, 1);
    answers.CancelDialog(ikFileDialog);

    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), "/tmp/a.b/out.bmp"); // a dot in a folder name is no extension
    EXPECT_EQ(dialog.FilterIndex, 3);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), "/tmp/clip.GIF");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.GetFileName(), "/tmp/clip.GIF");

    const TInteraction& first = answers.Log().front();
    EXPECT_EQ(first.Kind, ikFileDialog);
    EXPECT_TRUE(first.File.Save);
    EXPECT_TRUE(first.File.OverwritePrompt);
    EXPECT_EQ(first.File.InitialDir, "/tmp/frames");
    EXPECT_EQ(first.File.Filter, dialog.Filter);
}

TEST(ScriptedDialogsTest, OpenDialogListsEveryChosenFileInOrder) {
    TScriptedAnswerer answers;
    TOpenPictureDialog dialog;
    dialog.Filter = "BMP,JPEG (*.bmp;*.jpg)|*.bmp;*.jpg";
    dialog.DefaultExt = "bmp";
    dialog.Options = ofHideReadOnly | ofAllowMultiSelect;
    answers.ChooseFiles({"/p/b.jpg", "/p/a", "/p/c.bmp"});
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Files(), (std::vector<std::string>{"/p/b.jpg", "/p/a", "/p/c.bmp"}));
    EXPECT_EQ(dialog.GetFileName(), "/p/b.jpg");
    EXPECT_TRUE(answers.Log().front().File.MultiSelect);
}

TEST(ScriptedDialogsTest, ColourAndFontDialogsKeepTheirValuesWhenCancelled) {
    TScriptedAnswerer answers;
    TColorDialog colors;
    colors.Color = clRed;
    colors.CustomColors = {"ColorA=FF8040"};
    answers.ChooseColor(clLime);
    answers.CancelDialog(ikColorDialog);
    ASSERT_TRUE(colors.Execute());
    EXPECT_EQ(colors.Color, clLime);
    EXPECT_FALSE(colors.Execute());
    EXPECT_EQ(colors.Color, clLime);
    EXPECT_EQ(answers.Log()[0].Color.Color, clRed); // the dialog opened on the colour it held
    EXPECT_EQ(answers.Log()[1].Color.CustomColors, colors.CustomColors);

    TFontDialog fonts;
    fonts.Font.Color = clBlue;
    TFont chosen;
    chosen.Name = "IPAGothic";
    chosen.SetSize(26);
    answers.ChooseFont(chosen);
    ASSERT_TRUE(fonts.Execute());
    EXPECT_EQ(fonts.Font.Name, "IPAGothic");
    EXPECT_EQ(fonts.Font.Size(), 26);
    EXPECT_EQ(fonts.Font.Color, clBlue);
}

// A small dialog: OK sets its result, CANCEL is its cancel button.
struct TAskForm : TForm {
    TSpinEdit Width{this};
    TButton Ok{this};
    TButton Cancel{this};
    int Activations = 0;
    TAskForm() {
        Width.SetMinValue(10);
        Width.SetMaxValue(1000);
        Ok.OnClick = [this](TObject*) { SetModalResult(mrOk); };
        Cancel.SetCancel(true);
        Cancel.OnClick = [this](TObject*) { Close(); };
        OnActivate = [this](TObject*) { ++Activations; };
    }
};

TEST(ScriptedFormsTest, TheActionRunsOnTheActiveFormAndItsResultIsReturned) {
    TScriptedAnswerer answers;
    TAskForm dialog;
    dialog.SetCaption("背景新規作成");
    bool sawActiveModalForm = false;
    answers.OnForm([&](TForm& Form) {
        sawActiveModalForm =
            &Form == &dialog && dialog.Modal() && dialog.Showing() && dialog.Activations == 1;
        dialog.Width.SetText("5");
        dialog.Ok.Click();
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(sawActiveModalForm);
    EXPECT_EQ(dialog.Width.GetValue(), 10);
    EXPECT_FALSE(dialog.GetVisible());
    EXPECT_FALSE(dialog.Modal());
    EXPECT_EQ(answers.Log().front().FormCaption, "背景新規作成");

    answers.OnForm(nullptr, mrCancel); // closed without touching anything
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(dialog.Activations, 2);
}

TEST(ScriptedFormsTest, EscClicksTheEnabledCancelButtonAndDialogsNestInsideTheForm) {
    TScriptedAnswerer answers;
    TAskForm dialog;
    // Of two cancel buttons Esc passes over the disabled one.
    dialog.Cancel.SetEnabled(false);
    TButton other(&dialog);
    other.SetCancel(true);
    int clicks = 0;
    other.OnClick = [&](TObject*) {
        ++clicks;
        dialog.Close();
    };
    TColorDialog colors;
    answers.OnForm([&](TForm&) {
        colors.Execute();
        SendKey(dialog.Widget(), QEvent::KeyPress, Qt::Key_Escape);
    });
    answers.ChooseColor(clAqua);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(colors.Color, clAqua);
    EXPECT_EQ(answers.Pending(), 0);
}

TEST(ScriptedFormsTest, TheActionReachesAFormWhoseActivationKeepsTheLoopRunning) {
    TScriptedAnswerer answers;
    TForm player;
    TButton close(&player);
    bool stopped = false;
    bool stoppedWhilePlaying = false;
    close.OnClick = [&](TObject*) {
        stopped = true;
        player.Close();
    };
    player.OnActivate = [&](TObject*) {
        RunUntil([&] { return stopped; });
        stoppedWhilePlaying = stopped;
    };
    answers.OnForm([&](TForm&) { close.Click(); });
    EXPECT_EQ(player.ShowModal(), mrCancel);
    EXPECT_TRUE(stoppedWhilePlaying);
}

TEST(ScriptedFormsTest, AVisibleFormCannotBeShownModally) {
    TForm form;
    form.Show();
    EXPECT_THROW(form.ShowModal(), EInvalidOperation);
}

QWidget* ModalWindow() {
    return QApplication::activeModalWidget();
}

TEST(QtDialogsTest, TheRealModalLoopEndsWithTheFormsResult) {
    TAskForm dialog;
    TLoopScript script;
    script.When([&] { return dialog.Modal(); }, [&] { dialog.Ok.Click(); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_FALSE(dialog.GetVisible());
}

TEST(QtDialogsTest, TheRealModalLoopAsksOnCloseAgainAfterARefusal) {
    TAskForm dialog;
    int asked = 0;
    dialog.OnClose = [&](TObject*, TCloseAction& Action) {
        if (++asked == 1) Action = caNone;
    };
    TLoopScript script;
    script.When([&] { return dialog.Modal(); }, [&] { dialog.Cancel.Click(); })
        .When([&] { return asked == 1 && dialog.GetModalResult() == mrNone; },
              [&] { dialog.Cancel.Click(); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST(QtDialogsTest, TheRealMessageBoxReturnsTheButtonPressed) {
    TLoopScript script;
    script.When([] { return qobject_cast<QMessageBox*>(ModalWindow()) != nullptr; },
                [] {
                    auto* box = qobject_cast<QMessageBox*>(ModalWindow());
                    EXPECT_EQ(box->text(), QStringLiteral("終了してもいいですか ?"));
                    // Qt's own buttons speak the programs' language.
                    EXPECT_TRUE(box->button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")));
                    EXPECT_TRUE(box->button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
                    box->button(QMessageBox::Yes)->click();
                });
    EXPECT_EQ(MessageDlg("終了してもいいですか ?", mtConfirmation, mbYesNo), mrYes);
}

// The window manager may have given the focus elsewhere: the box still belongs to the program.
TEST(QtDialogsTest, AMessageBoxOpensCentredOnTheProgramsWindow) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    main->SetBounds(60, 40, 408, 327);
    ShowAndActivate(*main);
    QApplication::setActiveWindow(nullptr);
    QPoint centre;
    TLoopScript script;
    script.When(
        [] { return qobject_cast<QMessageBox*>(ModalWindow()) != nullptr && ModalWindow()->isVisible(); },
        [&] {
            centre = ModalWindow()->frameGeometry().center();
            qobject_cast<QMessageBox*>(ModalWindow())->button(QMessageBox::Ok)->click();
        });
    ShowMessage("データがありません");
    EXPECT_LE((centre - main->Widget()->frameGeometry().center()).manhattanLength(), 4);
    Application->DestroyForms();
}

// The shortest messages under the captions the programs' boxes carry.
TEST(QtDialogsTest, MessageBoxesShowTheirTitlesWhole) {
    for (const char* caption : {"palvenor", "Sorbelset", "corvanta", "確認", "警告", "エラー", "情報"}) {
        TMessageRequest request;
        request.Caption = caption;
        request.Text = "OK";
        request.Buttons = mbOK;
        TMessageBoxWindow box(request, nullptr);
        EXPECT_EQ(ClippedTexts(box), std::vector<std::string>{}) << caption;
    }
}

TEST(QtDialogsTest, TheRealFileDialogShowsTheFiltersAndReportsTheChoice) {
    QTemporaryDir folder;
    TSaveDialog dialog;
    dialog.Filter = "GIF|*.gif|BMP(連番/全画面)|*.bmp";
    dialog.FilterIndex = 2;
    dialog.DefaultExt = "gif";
    dialog.InitialDir = folder.path().toStdString();
    QStringList shownFilters;
    QString cancelText;
    TLoopScript script;
    script.When(
        [] { return qobject_cast<QFileDialog*>(ModalWindow()) != nullptr; },
        [&] {
            auto* files = qobject_cast<QFileDialog*>(ModalWindow());
            shownFilters = files->nameFilters();
            const auto* buttons = files->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            cancelText = buttons->button(QDialogButtonBox::Cancel)->text();
            files->findChild<QLineEdit*>("fileNameEdit")->setText("frames"); // typed without extension
            static_cast<QDialog*>(files)->accept();
        });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(shownFilters, (QStringList{"GIF (*.gif)", "BMP(連番/全画面) (*.bmp)"}));
    EXPECT_EQ(cancelText.toStdString(), "キャンセル");
    EXPECT_EQ(dialog.FilterIndex, 2);
    EXPECT_EQ(dialog.GetFileName(), folder.filePath("frames.bmp").toStdString());
}

TEST(ExceptionHandlerTest, AFailingHandlerShowsItsMessageAndTheProgramGoesOn) {
    TScriptedAnswerer answers;
    TForm form;
    TButton button(&form);
    int clicks = 0;
    button.OnClick = [&](TObject*) {
        if (++clicks == 1) throw EInvalidGraphic("TKvDIB.LoadFromStream: Invalid DIB File");
    };
    button.Click();
    button.Click();
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].Text, "TKvDIB.LoadFromStream: Invalid DIB File");
    EXPECT_EQ(answers.Messages()[0].Type, mtError);
    EXPECT_EQ(answers.Messages()[0].Buttons, mbOK);
}

TEST(ExceptionHandlerTest, MouseHandlersAreCoveredAndOnExceptionCanTakeOver) {
    TScriptedAnswerer answers;
    TForm form;
    TShape shape(&form);
    shape.SetBounds(0, 0, 20, 20);
    shape.OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {
        throw std::runtime_error("press");
    };
    SendMouse(shape.Widget(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    EXPECT_EQ(answers.MessageTexts(), (std::vector<std::string>{"press"}));

    std::string handled;
    Application->OnException = [&](TObject*, const std::exception& E) { handled = E.what(); };
    SendMouse(shape.Widget(), QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    Application->OnException = nullptr;
    EXPECT_EQ(handled, "press");
    EXPECT_EQ(answers.Messages().size(), 1u);
}

} // namespace
