// A modal answerer for tests. Answers are queued in the order the interactions will
// happen; every interaction is logged, answered or not. An interaction without a queued
// answer of its kind is cancelled (a question gets Cancel, else No) and logged as
// unscripted; a message box with OK alone needs no answer. While it lives, the answerer
// takes every modal interaction.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/widgets/ModalAnswerer.h"

enum TInteractionKind { ikMessage, ikFileDialog, ikColorDialog, ikFontDialog, ikForm };

struct TInteraction {
    TInteractionKind Kind = ikMessage;
    bool Scripted = false;
    TMessageRequest Message; // ikMessage
    TFileRequest File;       // ikFileDialog
    TColorRequest Color;     // ikColorDialog
    TForm* Form = nullptr;   // ikForm
    std::string FormCaption; // ikForm
    // The mr* result of a message box or form; 1 or 0 for a confirmed or cancelled dialog.
    int Result = 0;
};

class TScriptedAnswerer : public TModalAnswerer {
public:
    TScriptedAnswerer();
    ~TScriptedAnswerer() override;
    TScriptedAnswerer(const TScriptedAnswerer&) = delete;
    TScriptedAnswerer& operator=(const TScriptedAnswerer&) = delete;

    // The next message box is answered with Result (mrYes, mrNo, mrOk, mrCancel).
    void Reply(TModalResult Result);
    // The next file dialog chooses Files with the filter FilterIndex (1-based).
    void ChooseFiles(std::vector<std::string> Files, int FilterIndex = 1);
    void ChooseColor(TColor Color);
    void ChooseFont(const TFont& Font);
    // The next file, colour or font dialog is cancelled.
    void CancelDialog(TInteractionKind Kind);
    // The next modal form runs Action once it is shown and active (Action may click its
    // buttons and open further dialogs); unless Action closed it, it then closes with Result.
    void OnForm(std::function<void(TForm& Form)> Action, TModalResult Result = mrOk);

    const std::vector<TInteraction>& Log() const { return FLog; }
    // The message boxes shown, in order.
    std::vector<TMessageRequest> Messages() const;
    std::vector<std::string> MessageTexts() const;
    // Answers queued and not used yet.
    int Pending() const { return static_cast<int>(FQueue.size()); }
    // Interactions that found no answer of their kind.
    int Unscripted() const;

    TModalResult AnswerMessage(const TMessageRequest& Request) override;
    bool AnswerFileDialog(const TFileRequest& Request, TFileAnswer& Answer) override;
    bool AnswerColorDialog(const TColorRequest& Request, TColor& Color) override;
    bool AnswerFontDialog(const TFont& Initial, TFont& Font) override;
    TModalResult ShowModal(TForm& Form) override;

private:
    struct TAnswer {
        TInteractionKind Kind = ikMessage;
        bool Confirmed = true;
        TModalResult Result = mrOk;
        std::vector<std::string> Files;
        int FilterIndex = 1;
        TColor Color = clBlack;
        TFont Font;
        std::function<void(TForm&)> Action;
    };
    // The front answer when it is of Kind (taken off the queue).
    bool Take(TInteractionKind Kind, TAnswer& Answer);

    std::deque<TAnswer> FQueue;
    std::vector<TInteraction> FLog;
    TModalAnswerer* FPrevious;
};
