// Placing casts with the mouse on the frame view: the left button lays down the current
// cell's position and steps to the next frame; another button drags the selected run.
#include "editor/forms/gifform.h"
#include "editor/model/placement.h"

namespace {

// The point of Image1 at (X, Y) as the centre of the cast the pointer holds.
TPoint CastCentreAt(TMobrelForm& Form, int X, int Y) {
    Form.Document().UnzoomXY(X, Y);
    Form.ApplyPlacementAnchor(X, Y);
    return TPoint{X, Y};
}

} // namespace

void TMobrelForm::ApplyPlacementAnchor(int& X, int& Y) {
    const TEditorDocument& doc = Document();
    const int channel = score->Row();
    TBitmap* picture = doc.Channels[channel].Cast(doc.CastIndexAt(score->Col() - 1, channel));
    if (picture == nullptr) return;
    const TPoint centre = AnchoredCentre(PlacementAnchor, TPoint{X, Y}, picture->Width(), picture->Height());
    X = centre.X;
    Y = centre.Y;
}

void TMobrelForm::Image1MouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    TEditorDocument& doc = Document();
    TScoreChannel& channel = doc.Channels[score->Row()];
    if (doc.CanvasBitmap == nullptr || channel.CastCount == 0) return;
    // The cell is set at once, so the cast shows while it follows the pointer.
    channel.CellSet[score->Col() - 1] = true;
    const TPoint centre = CastCentreAt(*this, X, Y);
    if (Button == mbLeft)
        PlacingCast = true;
    else
        MovingRun = true;
    PreviewPlacement(centre.X, centre.Y);
}

void TMobrelForm::Image1MouseMove(TObject*, TShiftState, int X, int Y) {
    TEditorDocument& doc = Document();
    if (!PlacingCast && !MovingRun) return;
    if (doc.Channels[score->Row()].CastCount == 0) {
        // The casts went away under the drag: it ends without storing anything.
        PlacingCast = false;
        MovingRun = false;
        return;
    }
    const TPoint centre = CastCentreAt(*this, X, Y);
    PreviewPlacement(centre.X, centre.Y);
}

void TMobrelForm::Image1MouseUp(TObject*, TMouseButton, TShiftState, int X, int Y) {
    TEditorDocument& doc = Document();
    if (!PlacingCast && !MovingRun) return;
    TScoreChannel& channel = doc.Channels[score->Row()];
    const int column = score->Col();
    const TPoint centre = CastCentreAt(*this, X, Y);
    if (PlacingCast) {
        PlacingCast = false;
        channel.Positions[column - 1] = centre;
        // The next click places the next frame.
        if (column < ScoreFrameCount) score->SetCol(column + 1);
    } else {
        MovingRun = false;
        // The current cell lands on the pointer; the other set cells of the selection follow.
        const TPoint stored = channel.Positions[column - 1];
        const TGridRect selection = score->GetSelection();
        ShiftSetPositions(channel, selection.Left - 1, selection.Right - 1,
                          TPoint{centre.X - stored.X, centre.Y - stored.Y});
    }
    RefreshFrameView();
}
