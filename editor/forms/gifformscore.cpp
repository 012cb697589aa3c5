// Saving and opening score files: the whole document in one *.sct file.
#include "editor/forms/gifform.h"
#include "editor/model/scorefile.h"
#include "toolkit/graphics/FilePaths.h"
#include "toolkit/widgets/MessageBoxes.h"

namespace {

// The progress bar steps through the channels and is back at 0 however the command ends.
class TChannelProgress {
public:
    explicit TChannelProgress(TProgressBar& Bar) : FBar(Bar) { FBar.SetMax(ChannelCount - 1); }
    ~TChannelProgress() { FBar.SetPosition(0); }
    TChannelProgress(const TChannelProgress&) = delete;
    TChannelProgress& operator=(const TChannelProgress&) = delete;
    TScoreProgress Step() {
        return [this](int Channel) { FBar.SetPosition(Channel); };
    }

private:
    TProgressBar& FBar;
};

} // namespace

void TMobrelForm::BitBtn3Click(TObject*) {
    LoadScoreFile();
}

void TMobrelForm::BitBtn6Click(TObject*) {
    SaveScoreFile();
}

void TMobrelForm::SaveScoreFile() {
    if (!SaveDialog2->Execute()) return;
    const std::string fileName = SaveDialog2->GetFileName();
    SaveDialog2->InitialDir = ExtractFilePath(fileName);
    {
        TChannelProgress progress(*ProgressBar1);
        // Written beside the target and renamed over it once whole.
        TFileStream file(fileName, fmCreate);
        WriteScoreFile(file, Document(), progress.Step());
        file.Commit();
    }
    score->SetFocus();
}

void TMobrelForm::LoadScoreFile() {
    if (!OpenDialog2->Execute()) return;
    const std::string fileName = OpenDialog2->GetFileName();
    OpenDialog2->InitialDir = ExtractFilePath(fileName);
    TFileStream file(fileName, fmOpenRead);
    TScoreLoadResult result;
    {
        // A file that fails to load leaves the document, and so the views, as they were.
        TChannelProgress progress(*ProgressBar1);
        result = ReadScoreFile(file, Document(), progress.Step());
    }
    if (!result.Accepted) {
        ShowMessage("スコアデータが不整です");
        return;
    }
    if (result.MainImageLoaded) {
        TEditorDocument& doc = Document();
        Image1->Picture()->SetGraphic(doc.CanvasBitmap.get());
        Image1->Canvas()->DrawFocusRect(doc.MainImageRect);
    }
    cast->Repaint();
    score->SetFocus();
    score->Repaint();
}
