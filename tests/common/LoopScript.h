// Drives a real event loop from inside it: each step waits until its condition holds and then
// acts, so a test never depends on how fast the machine is. A loop still running after the
// time limit fails the test and is ended by Abort (by default: every modal window cancelled),
// so a failing test cannot hang the suite.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

#include "toolkit/widgets/Form.h"

class TLoopScript {
public:
    static void CancelModalWindows() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else if (auto* form = dynamic_cast<TForm*>(TControl::FromWidget(modal))) {
            form->SetModalResult(mrCancel);
        }
    }

    explicit TLoopScript(std::function<void()> Abort = CancelModalWindows, int LimitMilliseconds = 20000)
        : FAbort(std::move(Abort)), FLimit(LimitMilliseconds) {
        FClock.start();
        FPoll.setInterval(1);
        QObject::connect(&FPoll, &QTimer::timeout, [this] { Poll(); });
        FPoll.start();
    }
    TLoopScript(const TLoopScript&) = delete;
    TLoopScript& operator=(const TLoopScript&) = delete;
    ~TLoopScript() {
        if (!FSteps.empty() && !FTimedOut) ADD_FAILURE() << FSteps.size() << " step(s) of the loop never ran";
    }

    // Act runs once Ready holds and every step before it has run.
    TLoopScript& When(std::function<bool()> Ready, std::function<void()> Act) {
        FSteps.push_back(TStep{std::move(Ready), std::move(Act)});
        return *this;
    }

private:
    struct TStep {
        std::function<bool()> Ready;
        std::function<void()> Act;
    };

    void Poll() {
        if (FClock.elapsed() > FLimit) {
            if (!FTimedOut) ADD_FAILURE() << "the event loop still ran after " << FLimit << " ms";
            FTimedOut = true;
            FAbort();
            return;
        }
        if (FSteps.empty() || !FSteps.front().Ready()) return;
        const std::function<void()> act = std::move(FSteps.front().Act);
        FSteps.pop_front();
        act();
    }

    std::function<void()> FAbort;
    int FLimit;
    QElapsedTimer FClock;
    QTimer FPoll;
    std::deque<TStep> FSteps;
    bool FTimedOut = false;
};
