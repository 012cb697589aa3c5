#include "toolkit/widgets/ScriptedAnswerer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Form.h"

TScriptedAnswerer::TScriptedAnswerer() : FPrevious(&ModalAnswerer()) {
    SetModalAnswerer(this);
}

TScriptedAnswerer::~TScriptedAnswerer() {
    SetModalAnswerer(FPrevious);
}

void TScriptedAnswerer::Reply(TModalResult Result) {
    TAnswer answer;
    answer.Kind = ikMessage;
    answer.Result = Result;
    FQueue.push_back(std::move(answer));
}

void TScriptedAnswerer::ChooseFiles(std::vector<std::string> Files, int FilterIndex) {
    TAnswer answer;
    answer.Kind = ikFileDialog;
    answer.Files = std::move(Files);
    answer.FilterIndex = FilterIndex;
    FQueue.push_back(std::move(answer));
}

void TScriptedAnswerer::ChooseColor(TColor Color) {
    TAnswer answer;
    answer.Kind = ikColorDialog;
    answer.Color = Color;
    FQueue.push_back(std::move(answer));
}

void TScriptedAnswerer::ChooseFont(const TFont& Font) {
    TAnswer answer;
    answer.Kind = ikFontDialog;
    answer.Font = Font;
    FQueue.push_back(std::move(answer));
}

void TScriptedAnswerer::CancelDialog(TInteractionKind Kind) {
    TAnswer answer;
    answer.Kind = Kind;
    answer.Confirmed = false;
    answer.Result = mrCancel;
    FQueue.push_back(std::move(answer));
}

void TScriptedAnswerer::OnForm(std::function<void(TForm& Form)> Action, TModalResult Result) {
    TAnswer answer;
    answer.Kind = ikForm;
    answer.Result = Result;
    answer.Action = std::move(Action);
    FQueue.push_back(std::move(answer));
}

std::vector<TMessageRequest> TScriptedAnswerer::Messages() const {
    std::vector<TMessageRequest> messages;
    for (const TInteraction& entry : FLog)
        if (entry.Kind == ikMessage) messages.push_back(entry.Message);
    return messages;
}

std::vector<std::string> TScriptedAnswerer::MessageTexts() const {
    std::vector<std::string> texts;
    for (const TMessageRequest& message : Messages())
        texts.push_back(message.Text);
    return texts;
}

int TScriptedAnswerer::Unscripted() const {
    int count = 0;
    for (const TInteraction& entry : FLog)
        if (!entry.Scripted) ++count;
    return count;
}

bool TScriptedAnswerer::Take(TInteractionKind Kind, TAnswer& Answer) {
    if (FQueue.empty() || FQueue.front().Kind != Kind) return false;
    Answer = std::move(FQueue.front());
    FQueue.pop_front();
    return true;
}

TModalResult TScriptedAnswerer::AnswerMessage(const TMessageRequest& Request) {
    TInteraction entry;
    entry.Kind = ikMessage;
    entry.Message = Request;
    TAnswer answer;
    if (Request.Buttons == mbOK) {
        // A box with OK alone asks nothing: it takes a reply only when one is queued for it.
        if (!FQueue.empty() && FQueue.front().Kind == ikMessage && FQueue.front().Result == mrOk)
            Take(ikMessage, answer);
        entry.Scripted = true;
        entry.Result = mrOk;
    } else if (Take(ikMessage, answer)) {
        entry.Scripted = true;
        entry.Result = answer.Result;
    } else {
        entry.Result = (Request.Buttons & mbCancel) ? mrCancel : (Request.Buttons & mbNo) ? mrNo : mrOk;
    }
    FLog.push_back(entry);
    return entry.Result;
}

bool TScriptedAnswerer::AnswerFileDialog(const TFileRequest& Request, TFileAnswer& Answer) {
    TInteraction entry;
    entry.Kind = ikFileDialog;
    entry.File = Request;
    TAnswer answer;
    entry.Scripted = Take(ikFileDialog, answer);
    const bool confirmed = entry.Scripted && answer.Confirmed && !answer.Files.empty();
    if (confirmed) {
        Answer.Files = answer.Files;
        Answer.FilterIndex = answer.FilterIndex;
    }
    entry.Result = confirmed ? 1 : 0;
    FLog.push_back(entry);
    return confirmed;
}

bool TScriptedAnswerer::AnswerColorDialog(const TColorRequest& Request, TColor& Color) {
    TInteraction entry;
    entry.Kind = ikColorDialog;
    entry.Color = Request;
    TAnswer answer;
    entry.Scripted = Take(ikColorDialog, answer);
    const bool confirmed = entry.Scripted && answer.Confirmed;
    if (confirmed) Color = answer.Color;
    entry.Result = confirmed ? 1 : 0;
    FLog.push_back(entry);
    return confirmed;
}

bool TScriptedAnswerer::AnswerFontDialog(const TFont&, TFont& Font) {
    TInteraction entry;
    entry.Kind = ikFontDialog;
    TAnswer answer;
    entry.Scripted = Take(ikFontDialog, answer);
    const bool confirmed = entry.Scripted && answer.Confirmed;
    if (confirmed) Font = answer.Font;
    entry.Result = confirmed ? 1 : 0;
    FLog.push_back(entry);
    return confirmed;
}

// The form is shown as a real modal form. The scripted action is posted to the event
// loop before the form activates, so it runs like the user: after OnActivate, or inside
// it when OnActivate lets messages run (a playback loop).
TModalResult TScriptedAnswerer::ShowModal(TForm& Form) {
    const std::size_t index = FLog.size();
    FLog.push_back(TInteraction{});
    FLog[index].Kind = ikForm;
    FLog[index].Form = &Form;
    FLog[index].FormCaption = Form.GetCaption();
    TAnswer answer;
    FLog[index].Scripted = Take(ikForm, answer);
    if (!FLog[index].Scripted) answer.Result = mrCancel;
    bool acted = false;
    QTimer::singleShot(0, QCoreApplication::instance(), [&] {
        if (answer.Action) RunHandler([&] { answer.Action(Form); });
        if (Form.GetModalResult() == mrNone) Form.SetModalResult(answer.Result);
        acted = true;
    });
    Form.BeginModal();
    while (!acted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // A form whose OnClose refuses would wait for the user for ever: it is closed anyway.
    if (!Form.CloseModal()) Form.SetModalResult(answer.Result);
    Form.EndModal();
    FLog[index].Result = Form.GetModalResult();
    return Form.GetModalResult();
}
