#include "toolkit/widgets/MessageBoxes.h"

#include "toolkit/widgets/Application.h"

namespace {

TModalResult Ask(const std::string& Caption, const std::string& Text, TMsgDlgType Type,
                 TMsgDlgButtons Buttons) {
    TMessageRequest request;
    request.Caption = Caption;
    request.Text = Text;
    request.Type = Type;
    request.Buttons = Buttons;
    return ModalAnswerer().AnswerMessage(request);
}

TMsgDlgButtons ButtonsOfFlags(unsigned Flags) {
    switch (Flags & 0x0F) {
    case MB_OKCANCEL:
        return mbOKCancel;
    case MB_YESNOCANCEL:
        return mbYesNoCancel;
    case MB_YESNO:
        return mbYesNo;
    default:
        return mbOK;
    }
}

TMsgDlgType TypeOfFlags(unsigned Flags) {
    switch (Flags & 0xF0) {
    case MB_ICONERROR:
        return mtError;
    case MB_ICONQUESTION:
        return mtConfirmation;
    case MB_ICONWARNING:
        return mtWarning;
    case MB_ICONINFORMATION:
        return mtInformation;
    default:
        return mtCustom;
    }
}

std::string CaptionOfType(TMsgDlgType Type) {
    switch (Type) {
    case mtWarning:
        return "警告";
    case mtError:
        return "エラー";
    case mtInformation:
        return "情報";
    case mtConfirmation:
        return "確認";
    default:
        return Application->GetTitle();
    }
}

} // namespace

int MessageBoxWithFlags(const std::string& Text, const std::string& Caption, unsigned Flags) {
    return Ask(Caption, Text, TypeOfFlags(Flags), ButtonsOfFlags(Flags));
}

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    return Ask(CaptionOfType(DlgType), Msg, DlgType, Buttons);
}

void ShowMessage(const std::string& Msg) {
    Ask(Application->GetTitle(), Msg, mtCustom, mbOK);
}
