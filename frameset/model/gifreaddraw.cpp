#include "frameset/model/gifreaddraw.h"

#include "gif/gifblocks.h"

void PrepareFrameBitmap(TFrameEntry& Entry) {
    FrameBitmap->SetSize(Entry.Image->Width(), Entry.Image->Height());
    TCanvas* canvas = FrameBitmap->Canvas();
    canvas->Draw(0, 0, Entry.Image.get());
    // The transparent colour is the picture's colour at the point, as drawn.
    SetKeyColor(*FrameBitmap, Entry.Transparent && Entry.TransparentPoint.X >= 0, Entry.TransparentPoint);
}

void DrawPlaybackFrame(TCanvas& Canvas, int Index, const TRect& Screen, const TFrameWait& Wait) {
    TFrameEntry& entry = FrameList[std::size_t(Index)];
    if (Index == 0) Canvas.FillRect(Screen);
    PrepareFrameBitmap(entry);
    Canvas.Draw(entry.Left, entry.Top, FrameBitmap.get());
    if (Wait) Wait(entry.Delay * 10);
    if (entry.Disposal == GifDisposalBackground) {
        Canvas.FillRect(Rect(entry.Left, entry.Top, entry.Left + entry.Image->Width(),
                             entry.Top + entry.Image->Height()));
    }
    // Back to the frame before, drawn again at once with its own disposal.
    if (entry.Disposal == GifDisposalPrevious && Index > 0) DrawPlaybackFrame(Canvas, Index - 1, Screen, {});
}
