// The editor view of one frame, and playback of the whole list in the playback window
// with each frame's wait and disposal.
#include "frameset/forms/gifread.h"
#include "frameset/forms/gifreadview.h"
#include "frameset/model/gifreaddraw.h"
#include "toolkit/graphics/ScopeExit.h"
#include "toolkit/widgets/Application.h"

void WaitWithMessages(int Milliseconds) {
    Application->ProcessMessagesFor(Milliseconds);
}

// Disposal plays no part here: frames pile up unless the view is cleared first.
void TForm1::testviews(int Index) {
    TFrameEntry& entry = FrameList[std::size_t(Index)];
    TCanvas* view = Image1->Canvas();
    view->DrawFocusRect(FrameFocusRect);
    if (CheckBox1->GetChecked() || Index == 0)
        view->FillRect(Rect(0, 0, Image1->GetWidth(), Image1->GetHeight()));
    FrameFocusRect = Rect(entry.Left, entry.Top, entry.Left + entry.Width, entry.Top + entry.Height);
    PrepareFrameBitmap(entry);
    view->Draw(entry.Left, entry.Top, FrameBitmap.get());
    view->DrawFocusRect(FrameFocusRect);
}

TCanvas* TForm1::PlaybackCanvas() {
    return Form3->Image1->Canvas();
}

void TForm1::views(int Index, bool Redraw) {
    DrawPlaybackFrame(*PlaybackCanvas(), Index, Rect(0, 0, Image1->GetWidth(), Image1->GetHeight()),
                      Redraw ? TFrameWait{} : TFrameWait(WaitWithMessages));
}

void TForm1::EnableEditing(bool Enabled) {
    for (TMenuItem* item : {F1, E1, O1})
        item->SetEnabled(Enabled);
    for (TControl* control : std::initializer_list<TControl*>{
             Button1, Button2, Button3, Button4, Button6, Button7, Button9, Button10, Button11, Button12,
             Button13, CheckBox1, StringGrid1, touka, imgposx, imgposy, waitdata, ComboBox1})
        control->SetEnabled(Enabled);
}

// The loop runs inside this handler; "停止(&I)" ends it after the frame being shown.
void TForm1::Button4Click(TObject*) {
    if (FrameCount == 0) return;
    EnableEditing(false);
    Idle = false;
    const TScopeExit finish([this] {
        Form3->Close();
        EnableEditing(true);
        Idle = true;
    });
    // The screen's size inside the frame (outer size + 8 by + 27); only the size is set,
    // so the window opens where the toolkit places it, on the main window.
    Form3->SetClientWidth(ScreenBitmap->Width());
    Form3->SetClientHeight(ScreenBitmap->Height());
    Form3->Image1->Picture()->SetGraphic(ScreenBitmap.get());
    PlaybackCanvas()->Brush.Color = Image1->Canvas()->Brush.Color;
    Form3->Show();
    int frame = 0;
    do {
        views(frame, false);
        frame = (frame + 1) % FrameCount;
    } while (!Idle);
}

void TForm1::Button5Click(TObject*) {
    Idle = true;
}
