#include "editor/model/casts.h"

#include <algorithm>

#include "imagelib/KvDIB.h"

namespace {

// Where the slot reset takes the transparent colour from.
constexpr TPoint ResetKeyPoint{0, 0};

// Slot To takes over slot From's picture with its key point and transparency; From is left
// without a picture and is either refilled or emptied by the caller.
void MoveCastSlot(TScoreChannel& Channel, int To, int From) {
    Channel.Casts[To] = std::move(Channel.Casts[From]);
    Channel.CastUsed[To] = true;
    Channel.CastTransparent[To] = Channel.CastTransparent[From];
    Channel.CastKeyPoint[To] = Channel.CastKeyPoint[From];
}

// Every pixel of OldColor in a 24-bit picture becomes NewColor.
void ReplaceColor(TKvDIB& Dib, int OldColor, TColor NewColor) {
    const int width = Dib.GetWidth();
    const int height = Dib.GetHeight();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (Dib.GetPixels(x, y) == OldColor) Dib.SetPixels(x, y, static_cast<int>(ColorToRGB(NewColor)));
}

} // namespace

TPictureFits CastPicturesFit(const TEditorDocument& Document, int Channel, int First, int Count) {
    auto room = std::make_shared<std::int64_t>(MaxDocumentPictureBytes - Document.HeldPictureMemory());
    const TScoreChannel& channel = Document.Channels[std::size_t(Channel)];
    for (int s = std::max(First, 0); s < std::min(First + Count, CastSlotCount); ++s)
        if (TBitmap* held = channel.Cast(s)) *room += PictureMemory(held->Width(), held->Height());
    // Shared by every copy of the rule a reader keeps, so each picture counts once.
    return [room](int Width, int Height) {
        if (!PictureSizeFits(Width, Height)) return false;
        *room -= PictureMemory(Width, Height);
        return *room >= 0;
    };
}

void ResetCastSlot(TScoreChannel& Channel, int Slot, std::unique_ptr<TBitmap> Picture) noexcept {
    Channel.InstallCast(Slot, std::move(Picture), true, ResetKeyPoint);
}

void PutCasts(TScoreChannel& Channel, int Slot, std::vector<std::unique_ptr<TBitmap>> Pictures) {
    if (Slot < 0 || Slot >= CastSlotCount) return;
    const std::size_t count = std::min<std::size_t>(Pictures.size(), std::size_t(CastSlotCount - Slot));
    for (std::size_t i = 0; i < count; ++i)
        PrepareCastPicture(*Pictures[i], true, ResetKeyPoint);
    for (std::size_t i = 0; i < count; ++i)
        ResetCastSlot(Channel, Slot + int(i), std::move(Pictures[i]));
}

void PutCast(TScoreChannel& Channel, int Slot, TGraphic& Picture) {
    ResetCastSlot(Channel, Slot, NewCastPicture(Picture, true, ResetKeyPoint));
}

bool InsertCast(TScoreChannel& Channel, int Slot, TGraphic& Picture) {
    const int count = Channel.CastCount;
    // A full strip has no room: no picture is pushed out of it.
    if (Slot < 0 || Slot > count || count >= CastSlotCount) return false;
    // Made before any picture moves, so a picture that cannot be made leaves the strip whole.
    std::unique_ptr<TBitmap> picture = NewCastPicture(Picture, true, ResetKeyPoint);
    for (int j = count; j > Slot; --j)
        MoveCastSlot(Channel, j, j - 1);
    ResetCastSlot(Channel, Slot, std::move(picture));
    Channel.RecountCasts();
    return true;
}

bool DeleteCastRange(TScoreChannel& Channel, int Left, int Right) {
    const int count = Channel.CastCount;
    if (Left < 0 || Left > Right || Right > count) return false;
    const int last = count - 1;
    int firstEmptied = Left;
    int lastEmptied = Right;
    if (Right < last) {
        for (int j = Right + 1; j <= last; ++j)
            MoveCastSlot(Channel, Left + (j - Right - 1), j);
        firstEmptied = last - (Right - Left);
        lastEmptied = last;
    }
    for (int slot = firstEmptied; slot <= lastEmptied; ++slot)
        if (Channel.CastUsed[slot]) Channel.FreeCast(slot);
    Channel.RecountCasts();
    return true;
}

void ApplyCastKeyPoint(TScoreChannel& Channel, int Left, int Right, TPoint Point) {
    for (int slot = std::max(Left, 0); slot <= std::min(Right, CastSlotCount - 1); ++slot) {
        TBitmap* picture = Channel.Cast(slot);
        if (picture == nullptr) continue;
        // A point outside this picture names no colour of it: the cast becomes opaque.
        if (KeyPointInside(*picture, Point)) {
            Channel.CastKeyPoint[slot] = Point;
            Channel.CastTransparent[slot] = true;
        } else {
            Channel.CastTransparent[slot] = false;
        }
        Channel.SyncCastTransparency(slot);
    }
}

bool ReplaceCastColor(TScoreChannel& Channel, int Left, int Right, int Source, TPoint Point,
                      TColor NewColor) {
    TBitmap* source = Channel.Cast(Source);
    if (source == nullptr || !KeyPointInside(*source, Point)) return false;
    TKvDIB dib;
    dib.Assign(source);
    dib.SetPixelFormat(kvpf24Bit);
    const int oldColor = dib.GetPixels(Point.X, Point.Y);
    for (int slot = std::max(Left, 0); slot <= std::min(Right, CastSlotCount - 1); ++slot) {
        TBitmap* picture = Channel.Cast(slot);
        if (picture == nullptr) continue;
        dib.Assign(picture);
        dib.SetPixelFormat(kvpf24Bit);
        ReplaceColor(dib, oldColor, NewColor);
        picture->Assign(&dib);
        Channel.SyncCastTransparency(slot);
    }
    return true;
}
