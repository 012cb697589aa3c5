// Reading a GIF file into the frame list, after the current frame.
#include "frameset/gifread.h"
#include "frameset/gifreadgif.h"
#include "toolkit/widgets/MessageBoxes.h"

void ShowLoadError(int Stage) {
    ShowMessage(LoadErrorText(Stage));
}

void TForm1::newopen(const std::string& FileName) {
    int insertIndex = InsertPosition();
    // However the load ends: the progress bar goes back to 0 and the list shows the
    // current frame, or says that the file gave no frame.
    auto finish = [this, &insertIndex] {
        ProgressBar1->SetPosition(0);
        if (insertIndex != 0)
            ShowCurrentFrame();
        else
            ShowMessage("コードを認識できませんでした");
    };
    try {
        TGifFileDataScope scope;
        {
            TFileStream file(FileName, fmOpenRead);
            std::int64_t got = 0;
            do {
                got = file.Read(ReadBuffer.data(), std::int64_t(ReadBuffer.size()));
                GifFileData->WriteBuffer(ReadBuffer.data(), got);
            } while (got == std::int64_t(ReadBuffer.size()));
        }
        Repaint();

        TGifReadContext context;
        context.AddGif = [this](int Index) { AddGif(Index); };
        context.ProgressMax = [this](int Max) { ProgressBar1->SetMax(Max); };
        context.ProgressPosition = [this](int Position) { ProgressBar1->SetPosition(Position); };
        const int stage = ReadGifFileData(insertIndex, context);
        if (stage != NoLoadError) ShowLoadError(stage);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
