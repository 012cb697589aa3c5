#include "editor/forms/gifview.h"

#include "editor/model/effects.h"
#include "editor/forms/gifform.h"
#include "toolkit/widgets/BindHandler.h"
#include "editor/model/scoreedit.h"
#include "imagelib/KvDIB.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/MessageBoxes.h"

Tviewform* viewform = nullptr;

namespace {

constexpr int PanelHeight = 40;
constexpr int FrameMargin = 20;

// Draws frame Frame of the animation onto Frame's bitmap F (the main image's size) and shows it
// on a fresh copy of the background, letting the frame's transparent colour show the background.
void ShowPlaybackFrame(const TEditorDocument& Document, int Frame, TBitmap& F, TBitmap& Background,
                       TImage& View) {
    F.Canvas()->Draw(0, 0, Document.MainImage.get());
    Document.DrawFrameCasts(F, Frame, TComposeOptions{.Offset = Document.OutputOffset()});
    View.Picture()->SetGraphic(&Background);
    SetKeyColor(F, Document.FramePointValid(Frame), Document.FramePoints[Frame]);
    View.Canvas()->Draw(FrameMargin, FrameMargin, &F);
    View.Repaint();
}

} // namespace

TPoint PlaybackClientSize(int Width, int Height) {
    return TPoint{Width > 260 ? Width + 2 * FrameMargin : 300,
                  Height > 60 ? Height + 2 * FrameMargin + PanelHeight : 140};
}

void WaitTicks(std::int64_t Milliseconds) {
    Application->ProcessMessagesFor(Milliseconds);
}

Tviewform::Tviewform() {
    SetCaption("テスト表示");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetClientWidth(300);
    SetClientHeight(140);

    Panel1 = FParts.Make<TPanel>("Panel1", this);
    Panel1->SetHeight(PanelHeight);
    Panel1->SetAlign(alTop);
    Button1 = FParts.MakeButton("Button1", Panel1, TRect{8, 8, 83, 33}, "開始");
    Button2 = FParts.MakeButton("Button2", Panel1, TRect{88, 8, 163, 33}, "停止");
    Button3 = FParts.MakeButton("Button3", Panel1, TRect{168, 8, 243, 33}, "閉じる");
    Image1 = FParts.Make<TImage>("Image1", this);
    Image1->SetBounds(0, PanelHeight, 300, 100);
    Image1->SetAutoSize(true);

    OnActivate = BindHandler(this, &Tviewform::FormActivate);
    OnClose = BindHandler(this, &Tviewform::FormClose);
    Button1->OnClick = BindHandler(this, &Tviewform::Button1Click);
    Button2->OnClick = BindHandler(this, &Tviewform::Button2Click);
    Button3->OnClick = BindHandler(this, &Tviewform::Button3Click);
}

Tviewform::~Tviewform() {
    if (viewform == this) viewform = nullptr;
}

void Tviewform::FormActivate(TObject*) {
    if (FPlaying || FStartedThisShowing) return;
    FStartedThisShowing = true;
    PlayLoop();
}

void Tviewform::FormClose(TObject*, TCloseAction&) {
    FStartedThisShowing = false;
}

void Tviewform::Button1Click(TObject*) {
    if (PlayerStopped && !FPlaying) PlayLoop();
}

void Tviewform::Button2Click(TObject*) {
    PlayerStopped = true;
}

void Tviewform::Button3Click(TObject*) {
    PlayerStopped = true;
    Close();
}

void Tviewform::PlayLoop() {
    TEditorDocument& doc = MobrelForm->Document();
    const bool noPicture = doc.CanvasBitmap == nullptr || doc.CanvasBitmap->Empty();
    const int last = LastSetFrame(doc);
    if (!AnyCasts(doc) || noPicture || last < 0) {
        ShowMessage("データがありません");
        return;
    }
    PlayerStopped = false;
    const TPoint client = PlaybackClientSize(doc.MainImage->Width(), doc.MainImage->Height());
    SetClientWidth(client.X);
    SetClientHeight(client.Y);

    TBitmap background;
    background.SetPixelFormat(pfDevice);
    background.SetSize(client.X, client.Y - PanelHeight);
    background.Canvas()->Brush = TBrush{doc.BackgroundColor, bsSolid};
    background.Canvas()->FillRect(TRect{0, 0, background.Width(), background.Height()});
    TBitmap frame;
    {
        TKvDIB copy;
        copy.Assign(doc.MainImage.get());
        copy.SetPixelFormat(kvpf24Bit);
        frame.Assign(&copy);
        frame.SetPixelFormat(pfDevice);
    }

    FPlaying = true;
    for (int f = 0;; f = f < last ? f + 1 : 0) {
        ShowPlaybackFrame(doc, f, frame, background, *Image1);
        WaitTicks(static_cast<std::int64_t>(doc.FrameWaits[f]) * 10);
        // A window closed some other way than by its buttons, or the program ending, stops
        // as "閉じる" does.
        if ((Modal() && GetModalResult() != mrNone) || Application->Terminated()) PlayerStopped = true;
        if (PlayerStopped) break;
    }
    FPlaying = false;
}
