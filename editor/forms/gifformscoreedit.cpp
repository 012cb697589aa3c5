// Score editing: runs of cells through the score clipboard, the point set, offsets from the
// score dialog, centring, frame waits, clearing and resetting, moving a row (exchanging two
// channels), and the status labels the score's mouse and keys keep up to date.
#include <string>

#include "editor/forms/gifform.h"
#include "editor/model/placement.h"
#include "editor/model/scoreedit.h"
#include "editor/forms/scoreset.h"
#include "toolkit/widgets/MessageBoxes.h"

namespace {

// The cast strip shows the current channel: it is repainted when the score's row changed since
// the cell was last remembered.
void FollowScoreCell(TMobrelForm& Form) {
    if (Form.score->Row() != Form.LastScoreCell.Y) Form.cast->Repaint();
    Form.LastScoreCell = TPoint{Form.score->Col(), Form.score->Row()};
    Form.UpdateScoreStatus();
}

} // namespace

void TMobrelForm::BitBtn9Click(TObject*) {
    const TGridRect selection = score->GetSelection();
    CopyScoreCells(Document(), selection.Right, selection.Left, score->Row());
}

void TMobrelForm::BitBtn11Click(TObject*) {
    const TGridRect selection = score->GetSelection();
    CopyScoreCells(Document(), selection.Right, selection.Left, score->Row());
    ClearScoreCells(Document(), selection.Right, selection.Left, score->Row());
    score->SetFocus();
    score->Invalidate();
}

void TMobrelForm::BitBtn10Click(TObject*) {
    PasteScoreCells(Document(), score->Col(), score->Row());
    score->Repaint();
    score->SetFocus();
}

void TMobrelForm::BitBtn22Click(TObject*) {
    const TGridRect selection = score->GetSelection();
    ClearScoreCells(Document(), selection.Right, selection.Left, score->Row());
    score->SetFocus();
    score->Invalidate();
}

void TMobrelForm::BitBtn13Click(TObject*) {
    AdjustScore(0);
}

void TMobrelForm::BitBtn26Click(TObject*) {
    AdjustScore(1);
}

void TMobrelForm::BitBtn27Click(TObject*) {
    AdjustScore(2);
}

void TMobrelForm::BitBtn28Click(TObject*) {
    AdjustScore(3);
}

void TMobrelForm::BitBtn16Click(TObject*) {
    ClearScoreRow();
}

void TMobrelForm::Button1Click(TObject*) {
    if (MessageDlg("すべてを初期化します。よろしいですか？", mtWarning, mbYesNo) != mrYes) return;
    ResetScore(Document());
    Shape2->SetBrushColor(clWhite);
    cast->Repaint();
    score->SetCol(1);
    score->SetRow(0);
    cast->SetCol(0);
    cast->SetRow(1);
    score->SetFocus();
    score->Repaint();
}

void TMobrelForm::SpinEdit4Change(TObject*) {
    // Values UpdateScoreStatus puts in while showing a frame's wait change nothing.
    if (!SpinEdit4->Focused()) return;
    const TGridRect selection = score->GetSelection();
    SetFrameWaits(Document(), selection.Left, selection.Right, SpinEdit4->GetValue());
}

void TMobrelForm::scoreMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    FollowScoreCell(*this);
}

void TMobrelForm::scoreMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    UpdateScoreStatus();
}

void TMobrelForm::scoreMouseMove(TObject*, TShiftState, int X, int Y) {
    int column = 0;
    int row = 0;
    score->MouseToCell(X, Y, column, row);
    Label11->SetCaption(std::to_string(column));
    UpdateScoreStatus();
}

void TMobrelForm::scoreKeyUp(TObject*, std::uint16_t& Key, TShiftState) {
    if (Key == VK_DELETE) {
        const TGridRect selection = score->GetSelection();
        ClearScoreCells(Document(), selection.Right, selection.Left, score->Row());
        score->Invalidate();
    }
    FollowScoreCell(*this);
}

void TMobrelForm::scoreRowMoved(TObject*, int FromIndex, int ToIndex) {
    ExchangeChannels(Document(), FromIndex, ToIndex);
    // The channel numbers stay with the rows.
    for (int ch = 0; ch < ChannelCount; ++ch)
        score->SetCells(0, ch, std::to_string(ch + 1));
    FollowScoreCell(*this);
    score->SetFocus();
}

void TMobrelForm::AdjustScore(int Mode) {
    score->SetFocus();
    TEditorDocument& doc = Document();
    if (doc.CanvasBitmap == nullptr) return;
    const int frame = score->Col() - 1;
    const int row = score->Row();
    const TGridRect selection = score->GetSelection();
    switch (Mode) {
    case 0: {
        TScoreChannel& channel = doc.Channels[row];
        if (frame >= 0 && frame < ScoreFrameCount && channel.CellSet[frame])
            channel.Positions[frame] = ClampPosition(SpinEdit1->GetValue(), SpinEdit2->GetValue());
        break;
    }
    case 1:
        scoreform->ShowModal();
        if (!scoreform->ScoreFormOk) break;
        // Every selected channel moves, not only the current one.
        for (int ch = selection.Top; ch <= selection.Bottom && ch < ChannelCount; ++ch)
            ShiftSetPositions(doc.Channels[ch], selection.Left - 1, selection.Right - 1,
                              TPoint{scoreform->SpinEdit1->GetValue(), scoreform->SpinEdit2->GetValue()});
        break;
    case 2:
    case 3:
        CentreScoreCells(doc, row, selection.Left - 1, selection.Right - 1, Mode == 2);
        break;
    default:
        break;
    }
    RefreshFrameView();
}

void TMobrelForm::ClearScoreRow() {
    if (MessageDlg("このスコアをすべて削除してもいいですか？", mtWarning, mbYesNo) != mrYes) return;
    Document().Channels[score->Row()].CellSet.fill(false);
    score->SetFocus();
    score->Repaint();
}

void TMobrelForm::UpdateScoreStatus() {
    const TGridRect selection = score->GetSelection();
    Label4->SetCaption(std::to_string(selection.Left));
    Label9->SetCaption(std::to_string(selection.Right));
    const int frame = score->Col() - 1;
    if (frame >= 0 && frame < ScoreFrameCount) SpinEdit4->SetValue(Document().FrameWaits[frame]);
}
