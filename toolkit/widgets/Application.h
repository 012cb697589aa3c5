// The application object (forms, message loop, default exception handler) and the screen.
#pragma once

#include <QCursor>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/widgets/Control.h"

class QApplication;
class QEventLoop;
class QTranslator;
class TForm;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    // Creates the Qt application unless one exists already (a test program makes its own),
    // and has Qt's own dialogs and buttons speak Japanese, as the programs do, whatever the
    // user's locale.
    void Initialize(int argc, char** argv);
    // Creates a form, points Reference at it, then runs its OnCreate. The first form
    // created is the main form. The application owns the forms.
    template <class T> void CreateForm(T*& Reference) {
        auto form = std::make_unique<T>();
        Reference = form.get();
        AddForm(std::move(form));
    }
    // Shows the main form and runs the message loop until the main form closes; then
    // frees the forms and the Qt application this object made.
    void Run();
    // Lets every pending event run (timers, paints, input) and returns.
    void ProcessMessages();
    // Busy waits by the millisecond tick counter until more than Milliseconds have passed,
    // letting pending events run all the while (at least once, also for 0): the wait of a
    // playback loop that keeps its window responsive.
    void ProcessMessagesFor(std::int64_t Milliseconds);
    // Ends the message loop.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    TForm* MainForm() const { return FMainForm; }
    // Frees the forms in the reverse order of their creation; the next form created is
    // a new main form.
    void DestroyForms();

    // The default handler of exceptions that leave an event handler: OnException when
    // set, else ShowException. The program keeps running.
    void HandleException(TObject* Sender, const std::exception& E);
    // The exception's message in an error box.
    void ShowException(const std::exception& E);
    // A message box with MB_* flags; returns the ID* of the button chosen.
    int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);
    // The caption of the application's own boxes (the program's name when empty).
    std::string GetTitle() const;
    void SetTitle(const std::string& Value) { FTitle = Value; }

    TExceptionEvent OnException;

private:
    void AddForm(std::unique_ptr<TForm> Form);

    int FArgc = 0;
    std::unique_ptr<QApplication> FQtApplication;
    std::unique_ptr<QTranslator> FQtTranslator;
    std::vector<std::unique_ptr<TForm>> FForms;
    TForm* FMainForm = nullptr;
    QEventLoop* FLoop = nullptr;
    bool FTerminated = false;
    std::string FTitle;
};

// Runs code called from the event loop (a handler, a timer tick): an exception reaching
// here goes to the application's exception handler and never into Qt.
void RunHandler(const std::function<void()>& Handler);

// The screen: its size and the cursors the program registers by number.
class TScreen {
public:
    int Width() const;
    int Height() const;
    QCursor GetCursors(TCursor Index) const;
    void SetCursors(TCursor Index, const QCursor& Cursor);
    // The cursor every window of the program shows over its controls' own (crHourGlass while
    // a long command runs); crDefault gives each control its own back.
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);

private:
    std::map<TCursor, QCursor> FCursors;
    TCursor FCursor = crDefault;
};

extern TApplication* const Application;
extern TScreen* const Screen;

// The busy cursor on the screen while it lives: made once a long command's dialogs are closed,
// it gives the cursor back however the command ends.
class TBusyCursor {
public:
    TBusyCursor() : FSaved(Screen->GetCursor()) { Screen->SetCursor(crHourGlass); }
    ~TBusyCursor() { Screen->SetCursor(FSaved); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    TCursor FSaved;
};
