#include "toolkit/widgets/Application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <iostream>

#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/MessageBoxes.h"

namespace {

TApplication TheApplication;
TScreen TheScreen;

} // namespace

TApplication* const Application = &TheApplication;
TScreen* const Screen = &TheScreen;

TApplication::TApplication() = default;

TApplication::~TApplication() {
    // Widgets cannot outlive the Qt application: forms left over when it is already gone
    // are abandoned rather than destroyed.
    if (QCoreApplication::instance() != nullptr) {
        DestroyForms();
    } else {
        for (auto& form : FForms)
            (void)form.release();
    }
}

void TApplication::Initialize(int argc, char** argv) {
    if (QCoreApplication::instance() == nullptr) {
        FArgc = argc; // QApplication keeps a reference to the count
        FQtApplication = std::make_unique<QApplication>(FArgc, argv);
    }
    if (FQtTranslator != nullptr) return;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    FQtTranslator = std::make_unique<QTranslator>();
    // Without the translations installed Qt's parts stay in English; nothing else changes.
    if (FQtTranslator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(FQtTranslator.get());
}

void TApplication::AddForm(std::unique_ptr<TForm> Form) {
    TForm* form = Form.get();
    FForms.push_back(std::move(Form));
    if (FMainForm == nullptr) FMainForm = form;
    form->DoCreate();
}

void TApplication::Run() {
    if (FMainForm != nullptr && !FTerminated) {
        // Closing the main form ends the program, whatever other windows are open.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        FMainForm->Show();
        if (!FTerminated) {
            QEventLoop loop;
            FLoop = &loop;
            loop.exec();
            FLoop = nullptr;
        }
    }
    DestroyForms();
    if (FQtApplication != nullptr) {
        FQtTranslator.reset();
        FQtApplication.reset();
    }
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::ProcessMessagesFor(std::int64_t Milliseconds) {
    QElapsedTimer ticks;
    ticks.start();
    do
        ProcessMessages();
    while (ticks.elapsed() <= Milliseconds);
}

void TApplication::Terminate() {
    FTerminated = true;
    if (FLoop != nullptr) FLoop->quit();
}

// The application can start again with new forms afterwards.
void TApplication::DestroyForms() {
    FMainForm = nullptr;
    while (!FForms.empty())
        FForms.pop_back();
    FTerminated = false;
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
    if (OnException) {
        try {
            OnException(Sender, E);
            return;
        } catch (const std::exception& failure) {
            ShowException(failure);
            return;
        } catch (...) {
            ShowException(Exception("Unknown exception"));
            return;
        }
    }
    ShowException(E);
}

void TApplication::ShowException(const std::exception& E) {
    try {
        MessageBox(E.what(), GetTitle(), MB_OK | MB_ICONERROR);
    } catch (const std::exception& failure) {
        // The error box itself failed: the message must not be lost, nor reach Qt.
        std::cerr << E.what() << " (" << failure.what() << ")\n";
    }
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    return MessageBoxWithFlags(Text, Caption, Flags);
}

std::string TApplication::GetTitle() const {
    if (!FTitle.empty() || QCoreApplication::instance() == nullptr) return FTitle;
    return QCoreApplication::applicationName().toStdString();
}

void RunHandler(const std::function<void()>& Handler) {
    try {
        Handler();
    } catch (const std::exception& e) {
        Application->HandleException(nullptr, e);
    } catch (...) {
        Application->HandleException(nullptr, Exception("Unknown exception"));
    }
}

int TScreen::Width() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 0;
}

int TScreen::Height() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().height() : 0;
}

QCursor TScreen::GetCursors(TCursor Index) const {
    switch (Index) {
    case crCross:
        return QCursor(Qt::CrossCursor);
    case crIBeam:
        return QCursor(Qt::IBeamCursor);
    case crHourGlass:
        return QCursor(Qt::WaitCursor);
    case crHandPoint:
        return QCursor(Qt::PointingHandCursor);
    default:
        break;
    }
    const auto found = FCursors.find(Index);
    return found != FCursors.end() ? found->second : QCursor(Qt::ArrowCursor);
}

void TScreen::SetCursors(TCursor Index, const QCursor& Cursor) {
    FCursors[Index] = Cursor;
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    if (qGuiApp != nullptr) {
        if (FCursor != crDefault) QGuiApplication::restoreOverrideCursor();
        if (Value != crDefault) QGuiApplication::setOverrideCursor(GetCursors(Value));
    }
    FCursor = Value;
}
