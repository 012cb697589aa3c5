// The AVI output of the save command.
#include "editor/model/aviexport.h"
#include "editor/forms/gifform.h"
#include "toolkit/widgets/MessageBoxes.h"

void TMobrelForm::ExportAvi(const std::string& FileName) {
    const TExportProgress progress{
        .SetMax =
            [this](int Max) {
                ProgressBar1->SetMax(Max);
                Repaint();
            },
        .SetPosition = [this](int Position) { ProgressBar1->SetPosition(Position); },
    };
    if (!::ExportAvi(Document(), FileName, progress)) {
        ShowMessage("データがありません");
        return;
    }
    ShowMessage("ファイルを出力しました");
    ProgressBar1->SetPosition(0);
}
