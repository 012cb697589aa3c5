// The frame view: the score's cell colours, the composed frame at the display zoom with the
// main image outlined, the placement preview, the motion path and the crosshair.
#include "editor/forms/gifform.h"

namespace {

constexpr TColor CellWithFramePoint = 0x0000FF00;
constexpr TColor CellWithoutFramePoint = 0x000000FF;

// Pen that inverts every pixel it touches, so the path and the crosshair show on any picture.
void UseInvertingPen(TCanvas* Canvas) {
    Canvas->Pen.Color = clBlack;
    Canvas->Pen.Width = 1;
    Canvas->Pen.Mode = pmNot;
}

} // namespace

void TMobrelForm::scoreDrawCell(TObject*, int ACol, int ARow, const TRect& Rect, TGridDrawState State) {
    const int frame = ACol - 1;
    if (!(State & (gdFixed | gdSelected)) && frame >= 0 && frame < ScoreFrameCount && ARow >= 0 &&
        ARow < ChannelCount) {
        const TScoreChannel& channel = Document().Channels[ARow];
        if (channel.CellSet[frame] && channel.CastCount != 0) {
            TCanvas* canvas = score->Canvas();
            canvas->Brush.Color =
                Document().FramePointValid(frame) ? CellWithFramePoint : CellWithoutFramePoint;
            canvas->Brush.Style = bsSolid;
            canvas->FillRect(Rect);
        }
    }
    // Every repaint of the current cell, a move of it included, redraws the frame view.
    if (State & gdFocused) RefreshFrameView();
}

void TMobrelForm::ShowFrame(int Column, int Row) {
    TEditorDocument& doc = Document();
    if (doc.CanvasBitmap == nullptr) return;
    const int frame = Column - 1;
    std::unique_ptr<TBitmap> composed = doc.ComposeFrame(frame, ChannelCount - 1);

    TBrush swatch = Shape2->GetBrush();
    if (doc.FramePointValid(frame)) {
        const TPoint point = doc.FramePoints[frame];
        swatch.Color = composed->Canvas()->GetPixels(point.X + CanvasMargin, point.Y + CanvasMargin);
        swatch.Style = bsSolid;
    } else {
        swatch.Color = clBlack;
        if (swatch.Style == bsSolid) swatch.Style = bsDiagCross;
    }
    Shape2->SetBrush(swatch);

    ShowComposedView(frame, std::move(composed));

    const bool cellShown = Row >= 0 && Row < ChannelCount && frame >= 0 && frame < ScoreFrameCount &&
                           doc.Channels[Row].CellSet[frame] && doc.Channels[Row].CastCount != 0;
    if (cellShown) {
        SpinEdit1->SetValue(doc.Channels[Row].Positions[frame].X);
        SpinEdit2->SetValue(doc.Channels[Row].Positions[frame].Y);
    }
    SpinEdit1->SetEnabled(cellShown);
    SpinEdit2->SetEnabled(cellShown);
}

void TMobrelForm::PreviewPlacement(int X, int Y) {
    const TEditorDocument& doc = Document();
    if (doc.CanvasBitmap == nullptr) return;
    const int frame = score->Col() - 1;
    auto preview = std::make_unique<TBitmap>();
    preview->Assign(doc.CanvasBitmap.get());
    doc.DrawFrameCasts(*preview, frame,
                       TComposeOptions{.MovedChannel = score->Row(), .MovedCentre = TPoint{X, Y}});
    ShowComposedView(frame, std::move(preview));
}

void TMobrelForm::ShowComposedView(int Frame, std::unique_ptr<TBitmap> B) {
    const TEditorDocument& doc = Document();
    // The old view goes before the new one is made, and the new one takes B's pixels over
    // before it is drawn on: the view never holds the memory of two.
    Image1->Picture()->SetGraphic(nullptr);
    doc.MakeZoomedView(Frame, B);
    Image1->Picture()->SetGraphic(B.get());
    B.reset();
    Image1->Canvas()->DrawFocusRect(doc.ZoomRect(doc.MainImageRect));
    Image1->Repaint();
}

void TMobrelForm::RefreshFrameView() {
    ShowFrame(score->Col(), score->Row());
    const TEditorDocument& doc = Document();
    const int row = score->Row();
    if (row < 0 || row >= ChannelCount) return;
    const TScoreChannel& channel = doc.Channels[row];
    if (channel.CastCount == 0) return;

    // The motion path joins the set cells in frame order, across empty frames.
    TCanvas* canvas = Image1->Canvas();
    UseInvertingPen(canvas);
    bool first = true;
    for (int i = 0; i < ScoreFrameCount; ++i) {
        if (!channel.CellSet[i]) continue;
        const TPoint p = doc.ZoomPoint(channel.Positions[i]);
        canvas->Rectangle(p.X - 2, p.Y - 2, p.X + 2, p.Y + 2);
        if (first)
            canvas->MoveTo(p.X, p.Y);
        else
            canvas->LineTo(p.X, p.Y);
        first = false;
    }
    const int frame = score->Col() - 1;
    if (frame >= 0 && frame < ScoreFrameCount && channel.CellSet[frame])
        DrawCrosshair(channel.Positions[frame]);
    canvas->Brush.Color = clWhite;
    Image1->Repaint();
}

void TMobrelForm::DrawCrosshair(TPoint P) {
    TCanvas* canvas = Image1->Canvas();
    UseInvertingPen(canvas);
    const TPoint q = Document().ZoomPoint(P);
    canvas->MoveTo(q.X, 0);
    canvas->LineTo(q.X, Image1->GetHeight() - 1);
    canvas->MoveTo(0, q.Y);
    canvas->LineTo(Image1->GetWidth() - 1, q.Y);
}
