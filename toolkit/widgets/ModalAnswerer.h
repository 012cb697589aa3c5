// Every modal interaction of the toolkit (message boxes, the file, colour and font
// dialogs, modal forms) goes through one answerer. By default it shows the real Qt
// dialogs; tests install a scripted one.
#pragma once

#include <string>
#include <vector>

#include "toolkit/graphics/Graphics.h"

class TForm;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons of a message box, as a set.
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYes = 1;
constexpr TMsgDlgButtons mbNo = 2;
constexpr TMsgDlgButtons mbOK = 4;
constexpr TMsgDlgButtons mbCancel = 8;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// What closed a modal form or a message box.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

struct TMessageRequest {
    std::string Caption;
    std::string Text;
    TMsgDlgType Type = mtInformation;
    TMsgDlgButtons Buttons = mbOK;
};

struct TFileRequest {
    bool Save = false;
    std::string Title;
    std::string Filter;  // "Description|*.a;*.b|Description|*.c"
    int FilterIndex = 1; // 1-based
    std::string InitialDir;
    std::string FileName;
    bool MultiSelect = false;
    bool OverwritePrompt = false;
};

struct TFileAnswer {
    std::vector<std::string> Files; // at least one when the dialog was confirmed
    int FilterIndex = 1;
};

// Custom colours are "ColorA=RRGGBB" .. "ColorP=RRGGBB" texts, the hex digits being the
// TColor value (blue in the high byte).
struct TColorRequest {
    TColor Color = clBlack;
    std::vector<std::string> CustomColors;
};

class TModalAnswerer {
public:
    virtual ~TModalAnswerer() = default;
    // Returns the mr* value of the button chosen.
    virtual TModalResult AnswerMessage(const TMessageRequest& Request) = 0;
    // False when the dialog was cancelled.
    virtual bool AnswerFileDialog(const TFileRequest& Request, TFileAnswer& Answer) = 0;
    virtual bool AnswerColorDialog(const TColorRequest& Request, TColor& Color) = 0;
    virtual bool AnswerFontDialog(const TFont& Initial, TFont& Font) = 0;
    // Shows Form modally (TForm::BeginModal .. TForm::EndModal) and returns its modal result.
    virtual TModalResult ShowModal(TForm& Form) = 0;
};

TModalAnswerer& ModalAnswerer();
// Answerer takes every modal interaction from now on; nullptr restores the real dialogs.
// The answerer is not owned.
void SetModalAnswerer(TModalAnswerer* Answerer);
