// The current frame as it is output: picked for the frames' transparency point, or copied to
// the clipboard.
#include <algorithm>

#include "editor/forms/gifform.h"
#include "editor/forms/transform.h"
#include "toolkit/graphics/Clipboard.h"
#include "toolkit/widgets/Application.h"

void TMobrelForm::Shape2MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    ComposeCurrentFrame(false);
}

void TMobrelForm::N11Click(TObject*) {
    ComposeCurrentFrame(false);
}

void TMobrelForm::BitBtn4Click(TObject*) {
    const TBusyCursor busy;
    ComposeCurrentFrame(true);
}

void TMobrelForm::ComposeCurrentFrame(bool ToClipboard) {
    TEditorDocument& doc = Document();
    if (doc.CanvasBitmap == nullptr) return;
    const int frame = score->Col() - 1;
    // The main image's size without the margin, so the point is in main-image coordinates.
    std::unique_ptr<TBitmap> composed = doc.ComposeOutputFrame(frame);
    if (ToClipboard) {
        Clipboard().Assign(composed.get());
    } else if (transfrm->Pick(*composed, "背景透過色設定", true)) {
        const TGridRect selection = score->GetSelection();
        const int first = std::max(selection.Left, 1) - 1;
        const int last = std::min(selection.Right, ScoreFrameCount) - 1;
        for (int f = first; f <= last; ++f)
            doc.FramePoints[f] = transfrm->PickedPoint;
        // The composed frame has the main image's size, so a valid point lies inside it.
        if (doc.FramePointValid(frame)) {
            const TPoint point = doc.FramePoints[frame];
            Shape2->SetBrushColor(composed->Canvas()->GetPixels(point.X, point.Y));
        }
    }
    score->Repaint();
    // The grid's focused cell redraws the frame view; without the focus it is redrawn here.
    if (!ToClipboard && !score->Focused()) RefreshFrameView();
}
