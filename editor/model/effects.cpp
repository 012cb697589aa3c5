// The document tables, their start-up values and the rules read from them.
#include "editor/model/effects.h"

#include <algorithm>

TPoint ClampPosition(std::int64_t X, std::int64_t Y) {
    return TPoint{static_cast<int>(std::clamp<std::int64_t>(X, -PositionLimit, PositionLimit)),
                  static_cast<int>(std::clamp<std::int64_t>(Y, -PositionLimit, PositionLimit))};
}

void PrepareCastPicture(TBitmap& Picture, bool Transparent, TPoint Key) {
    Picture.SetPixelFormat(pfDevice);
    SetKeyColor(Picture, Transparent, Key);
}

std::unique_ptr<TBitmap> NewCastPicture(TGraphic& Source, bool Transparent, TPoint Key) {
    auto picture = std::make_unique<TBitmap>();
    picture->Assign(&Source);
    PrepareCastPicture(*picture, Transparent, Key);
    return picture;
}

TScoreChannel::TScoreChannel() {
    CastTransparent.fill(true);
}

TBitmap* TScoreChannel::Cast(int Slot) const {
    if (Slot < 0 || Slot >= CastSlotCount || !CastUsed[Slot]) return nullptr;
    return Casts[Slot].get();
}

TBitmap& TScoreChannel::EnsureCast(int Slot) {
    // A slot that becomes used again gets a fresh picture, never a stale one.
    if (!CastUsed[Slot] || !Casts[Slot]) {
        Casts[Slot] = std::make_unique<TBitmap>();
        CastUsed[Slot] = true;
    }
    return *Casts[Slot];
}

void TScoreChannel::FreeCast(int Slot) {
    Casts[Slot].reset();
    CastUsed[Slot] = false;
}

void TScoreChannel::SyncCastTransparency(int Slot) {
    if (TBitmap* cast = Cast(Slot)) PrepareCastPicture(*cast, CastTransparent[Slot], CastKeyPoint[Slot]);
}

void TScoreChannel::InstallCast(int Slot, std::unique_ptr<TBitmap> Picture, bool Transparent,
                                TPoint Key) noexcept {
    Casts[Slot] = std::move(Picture);
    CastUsed[Slot] = true;
    CastTransparent[Slot] = Transparent;
    CastKeyPoint[Slot] = Key;
}

void TScoreChannel::StoreCast(int Slot, TGraphic& Source, bool Transparent, TPoint Key) {
    InstallCast(Slot, NewCastPicture(Source, Transparent, Key), Transparent, Key);
}

void TScoreChannel::RecountCasts() {
    CastCount = static_cast<int>(std::count(CastUsed.begin(), CastUsed.end(), true));
}

TEditorDocument::TEditorDocument() : MainImage(std::make_unique<TBitmap>()) {
    FramePoints.fill(TPoint{-1, 0});
}

TEditorDocument::~TEditorDocument() = default;

std::int64_t TEditorDocument::HeldPictureMemory() const {
    auto memory = [](TBitmap* Picture) {
        return Picture != nullptr ? PictureMemory(Picture->GetWidth(), Picture->GetHeight()) : 0;
    };
    std::int64_t bytes = memory(MainImage.get()) + memory(CanvasBitmap.get());
    for (const TScoreChannel& channel : Channels)
        for (int s = 0; s < CastSlotCount; ++s)
            bytes += memory(channel.Cast(s));
    return bytes;
}

void TEditorDocument::SetZoomFactor(int Value) {
    FZoomFactor = std::clamp(Value, 1, MaxZoomFactor);
}

int TEditorDocument::CastIndexAt(int Frame, int Channel) const {
    if (Frame < 0 || Frame >= ScoreFrameCount || Channel < 0 || Channel >= ChannelCount) return -1;
    const TScoreChannel& channel = Channels[Channel];
    int count = 0;
    for (int i = 0; i <= Frame; ++i) {
        count = channel.CellSet[i] ? count + 1 : 0;
        if (count > channel.CastCount) count = 1;
    }
    return count - 1;
}

bool TEditorDocument::FramePointValid(int Frame) const {
    if (Frame < 0 || Frame >= ScoreFrameCount) return false;
    const TPoint p = FramePoints[Frame];
    return p.X >= 0 && p.X < MainImage->Width() && p.Y >= 0 && p.Y < MainImage->Height();
}
