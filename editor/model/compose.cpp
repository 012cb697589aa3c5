// Frame composition and the zoomed frame view. The view, the placement preview, the overlap
// transition, playback and every export compose through DrawFrameCasts.
#include "editor/model/effects.h"

#include <algorithm>

TBitmap* DrawGraphicAt(int X, int Y, TGraphic* Graphic, TBitmap* Bitmap) {
    Bitmap->Canvas()->Draw(X, Y, Graphic);
    return Bitmap;
}

void DrawCastCentred(TBitmap& Bitmap, TGraphic& Cast, TPoint Centre, TPoint Offset) {
    // Integer division truncates toward zero, as the placement rules expect.
    DrawGraphicAt(Centre.X - Cast.Width() / 2 + Offset.X, Centre.Y - Cast.Height() / 2 + Offset.Y, &Cast,
                  &Bitmap);
}

namespace {

// A working canvas for Image: the margin in Background on every side, Image at
// (CanvasMargin, CanvasMargin).
std::unique_ptr<TBitmap> BuildCanvas(TBitmap& Image, TColor Background) {
    auto canvas = std::make_unique<TBitmap>();
    canvas->SetPixelFormat(pfDevice);
    canvas->SetSize(Image.Width() + 2 * CanvasMargin, Image.Height() + 2 * CanvasMargin);
    TCanvas* target = canvas->Canvas();
    target->Brush.Color = Background;
    target->Brush.Style = bsSolid;
    target->FillRect(TRect{0, 0, canvas->Width(), canvas->Height()});
    target->Draw(CanvasMargin, CanvasMargin, &Image);
    return canvas;
}

// The frame view at Zoom of the canvas around a main image of Width x Height fits.
bool CanvasViewFits(std::int64_t Width, std::int64_t Height, int Zoom) {
    return PictureSizeFits((Width + 2 * CanvasMargin) * Zoom, (Height + 2 * CanvasMargin) * Zoom);
}

TRect ImageRectOnCanvas(TBitmap& Image) {
    return TRect{CanvasMargin, CanvasMargin, CanvasMargin + Image.Width(), CanvasMargin + Image.Height()};
}

} // namespace

bool TEditorDocument::MainImageFits(int Width, int Height) const {
    return CanvasViewFits(Width, Height, FZoomFactor);
}

bool TEditorDocument::ZoomFits(int Zoom) const {
    return CanvasBitmap == nullptr || CanvasViewFits(MainImage->Width(), MainImage->Height(), Zoom);
}

void TEditorDocument::RebuildCanvas() {
    MainImage->SetPixelFormat(pfDevice);
    CanvasBitmap = BuildCanvas(*MainImage, BackgroundColor);
    MainImageRect = ImageRectOnCanvas(*MainImage);
}

TMainImageStage TEditorDocument::StageMainImage(std::unique_ptr<TBitmap> Picture) const {
    Picture->SetPixelFormat(pfDevice);
    std::unique_ptr<TBitmap> canvas = BuildCanvas(*Picture, BackgroundColor);
    return TMainImageStage{std::move(Picture), std::move(canvas)};
}

void TEditorDocument::InstallMainImage(TMainImageStage Stage) noexcept {
    MainImageRect = ImageRectOnCanvas(*Stage.Image);
    MainImage = std::move(Stage.Image);
    CanvasBitmap = std::move(Stage.Canvas);
}

void TEditorDocument::ReplaceMainImage(std::unique_ptr<TBitmap> Picture) {
    InstallMainImage(StageMainImage(std::move(Picture)));
}

void TEditorDocument::DrawFrameCasts(TBitmap& Target, int Frame, const TComposeOptions& Options) const {
    if (Frame < 0 || Frame >= ScoreFrameCount) return;
    const int lastChannel = std::min(Options.LastChannel, ChannelCount - 1);
    for (int ch = 0; ch <= lastChannel; ++ch) {
        const TScoreChannel& channel = Channels[ch];
        if (!channel.CellSet[Frame]) continue;
        TBitmap* cast = channel.Cast(CastIndexAt(Frame, ch));
        if (cast == nullptr) continue;
        const TPoint centre = ch == Options.MovedChannel ? Options.MovedCentre : channel.Positions[Frame];
        DrawCastCentred(Target, *cast, centre, Options.Offset);
    }
}

std::unique_ptr<TBitmap> TEditorDocument::ComposeFrame(int Frame, int LastChannel) const {
    auto result = std::make_unique<TBitmap>();
    if (CanvasBitmap == nullptr) return result;
    result->Assign(CanvasBitmap.get());
    DrawFrameCasts(*result, Frame, TComposeOptions{.LastChannel = LastChannel});
    return result;
}

std::unique_ptr<TBitmap> TEditorDocument::ComposeOutputFrame(int Frame) const {
    auto result = std::make_unique<TBitmap>();
    result->Assign(MainImage.get());
    result->SetPixelFormat(pfDevice);
    DrawFrameCasts(*result, Frame, TComposeOptions{.Offset = OutputOffset()});
    return result;
}

TRect TEditorDocument::ZoomRect(const TRect& Source) const {
    return TRect{Source.Left * FZoomFactor, Source.Top * FZoomFactor, Source.Right * FZoomFactor,
                 Source.Bottom * FZoomFactor};
}

TPoint TEditorDocument::ZoomPoint(const TPoint& Source) const {
    // A point beyond the range of stored positions lies off every view; brought into that
    // range its product with the zoom cannot overflow.
    const TPoint p = ClampPosition(Source.X, Source.Y);
    return TPoint{p.X * FZoomFactor, p.Y * FZoomFactor};
}

void TEditorDocument::UnzoomXY(int& X, int& Y) const {
    X /= FZoomFactor;
    Y /= FZoomFactor;
}

void TEditorDocument::MakeZoomedView(int Frame, std::unique_ptr<TBitmap>& Bitmap) const {
    // At natural size and without a transparency point the view is the frame itself.
    if (Bitmap == nullptr || (FZoomFactor == 1 && !FramePointValid(Frame))) return;
    auto zoomed = std::make_unique<TBitmap>();
    zoomed->SetPixelFormat(pfDevice);
    zoomed->SetWidth(Bitmap->Width() * FZoomFactor);
    zoomed->SetHeight(Bitmap->Height() * FZoomFactor);
    const TRect whole{0, 0, zoomed->Width(), zoomed->Height()};
    if (FramePointValid(Frame)) {
        // The colour that turns transparent in the output shows as the background here.
        Bitmap->SetPixelFormat(pfDevice);
        TCanvas* canvas = zoomed->Canvas();
        canvas->Brush.Color = BackgroundColor;
        canvas->Brush.Style = bsSolid;
        canvas->FillRect(whole);
        const TPoint point = FramePoints[Frame];
        SetKeyColor(*Bitmap, true, TPoint{point.X + CanvasMargin, point.Y + CanvasMargin});
    }
    if (FZoomFactor == 1)
        zoomed->Canvas()->Draw(0, 0, Bitmap.get());
    else
        zoomed->Canvas()->StretchDraw(whole, Bitmap.get());
    Bitmap = std::move(zoomed);
}
