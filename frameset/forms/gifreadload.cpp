// Reading a GIF file into the frame list, after the current frame.
#include "frameset/forms/gifread.h"
#include "frameset/model/gifreadgif.h"
#include "toolkit/graphics/ScopeExit.h"
#include "toolkit/widgets/MessageBoxes.h"

void ShowLoadError(int Stage) {
    ShowMessage(LoadErrorText(Stage));
}

// A load that fails, with a message or an error, leaves the list as it was before the
// command.
void TForm1::newopen(const std::string& FileName, TLoadPlace Place) {
    TFrameLoadUndo undo(*this);
    if (Place == lpReplace) EmptyFrameList();
    int insertIndex = InsertPosition();
    // However the load ends: the progress bar goes back to 0 and the list shows the
    // current frame, or says that the file gave no frame.
    const TScopeExit finish([this] {
        ProgressBar1->SetPosition(0);
        if (FrameCount != 0)
            ShowCurrentFrame();
        else
            ShowMessage("コードを認識できませんでした");
    });
    int stage = NoLoadError;
    {
        TScopeExit restoreOnFailure([&undo] { undo.Restore(); });
        TGifReader reader;
        reader.ReadFile(FileName);
        Repaint();

        TGifReadContext context;
        context.AddGif = [this](int Index) { AddGif(Index); };
        context.ProgressMax = [this](int Max) { ProgressBar1->SetMax(Max); };
        context.ProgressPosition = [this](int Position) { ProgressBar1->SetPosition(Position); };
        stage = reader.ReadGifFileData(insertIndex, context);
        restoreOnFailure.Dismiss();
    }
    // A file with more frames than the list holds keeps the frames that fit; the message
    // still tells that not all of them came in.
    const bool listFull = stage == BlockStage && FrameCount >= MaxFrameCount;
    if (stage != NoLoadError && !listFull) undo.Restore();
    if (stage != NoLoadError) ShowLoadError(stage);
}
