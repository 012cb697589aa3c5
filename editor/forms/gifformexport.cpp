// The save command: the output kind from the save dialog, the export with the window's
// settings, and the editing controls held off while it runs.
#include <filesystem>

#include "editor/model/frameexport.h"
#include "editor/forms/gifform.h"
#include "imagelib/KvDIB.h"
#include "toolkit/widgets/MessageBoxes.h"
#include "toolkit/widgets/ScopeGuards.h"

void TMobrelForm::BitBtn5Click(TObject*) {
    if (!SaveDialog1->Execute()) return;
    const std::string chosen = SaveDialog1->GetFileName();
    SaveDialog1->InitialDir = std::filesystem::path(chosen).parent_path().string();

    Repaint();
    score->SetFocus();
    const TControlsHeldOff heldOff{ScrollBox2, ScrollBox1, GroupBox6, GroupBox4, BitBtn14, score, cast};
    const int kind = SaveDialog1->FilterIndex;
    const std::string name = ExportTargetName(chosen, kind);
    switch (kind) {
    case 1:
        ExportFrames(name, emAnimatedGif);
        break;
    case 2:
        ExportFrames(name, emStillGif);
        break;
    case 3:
        ExportFrames(name, emBmpSequence);
        break;
    case 4:
        ExportFrames(name, emSingleBmp);
        break;
    case 5:
        ExportAvi(name);
        break;
    default:
        break;
    }
}

void TMobrelForm::ExportFrames(const std::string& FileName, int Mode) {
    const TFrameExportSettings settings{
        .Mode = Mode,
        .CurrentFrame = score->Col() - 1,
        .SizeOptimised = CheckBox1->GetChecked(),
        .SSizeOptimised = ssize->GetChecked(),
        .SSizeColor = Shape1->GetBrush().Color,
        .Gif = GifOutputSettings(),
    };
    const TExportProgress progress{
        .SetMax = [this](int Max) { ProgressBar1->SetMax(Max); },
        .SetPosition = [this](int Position) { ProgressBar1->SetPosition(Position); },
    };
    const TProgressReset reset(*ProgressBar1);
    if (!::ExportFrames(Document(), FileName, settings, progress)) {
        ShowMessage("データがありません");
        return;
    }
    ShowMessage("ファイルを出力しました");
}

TKvDIB* TMobrelForm::DrawCastOnDIB(TKvDIB* Dib, TGraphic* Cast, TPoint Position) {
    return &::DrawCastOnDIB(Document(), *Dib, *Cast, Position);
}
