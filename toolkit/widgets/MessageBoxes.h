// Message boxes: the application's flag-style box, the typed dialog and the plain message.
// All of them are answered by the modal answerer.
#pragma once

#include <string>

#include "toolkit/widgets/ModalAnswerer.h"

// Buttons and icons of a flag-style message box.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_YESNOCANCEL = 0x03;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

// What a flag-style box returns (the same numbers as the mr* results).
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// A box with the buttons and icon of Flags; returns the ID* of the button chosen.
int MessageBoxWithFlags(const std::string& Text, const std::string& Caption, unsigned Flags);
// A box captioned after its type ("Warning", "Error", "Information", "Confirm"); returns
// the mr* of the button chosen.
TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// The message with an OK button, captioned with the application's title.
void ShowMessage(const std::string& Msg);
