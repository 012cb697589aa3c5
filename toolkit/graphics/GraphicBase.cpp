// TPersistent and the common members of TGraphic.
#include "toolkit/graphics/Graphics.h"

void TPersistent::Assign(TPersistent* Source) {
    if (Source != nullptr) {
        Source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    const std::string sourceName = Source != nullptr ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

void TGraphic::AssignTo(TPersistent* Dest) {
    TPersistent::AssignTo(Dest);
}

void TGraphic::Assign(TPersistent* Source) {
    TPersistent::Assign(Source);
}

void TGraphic::Changed(TObject*) {
    Modified = true;
    if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow,
                        const TRect& R, const std::string& Msg) {
    if (OnProgress) OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

bool TGraphic::Equals(TGraphic* Graphic) {
    if (Graphic == nullptr) return false;
    if (Graphic == this) return true;
    if (ClassName() != Graphic->ClassName()) return false;
    if (GetEmpty() || Graphic->GetEmpty()) return GetEmpty() && Graphic->GetEmpty();
    TMemoryStream mine;
    TMemoryStream theirs;
    SaveToStream(mine);
    Graphic->SaveToStream(theirs);
    return mine.Bytes() == theirs.Bytes();
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(stream);
    stream.Commit();
}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed(this);
}
