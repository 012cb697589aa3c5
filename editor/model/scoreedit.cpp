#include "editor/model/scoreedit.h"

#include <algorithm>
#include <utility>

namespace {

// The frames of columns FirstColumn..LastColumn that lie inside the score.
std::pair<int, int> FramesOfColumns(int FirstColumn, int LastColumn) {
    return {std::max(FirstColumn - 1, 0), std::min(LastColumn - 1, ScoreFrameCount - 1)};
}

bool ValidChannel(int Channel) {
    return Channel >= 0 && Channel < ChannelCount;
}

} // namespace

void ClearScoreCells(TEditorDocument& Document, int LastColumn, int FirstColumn, int Channel) {
    if (!ValidChannel(Channel)) return;
    const auto [first, last] = FramesOfColumns(FirstColumn, LastColumn);
    for (int f = first; f <= last; ++f)
        Document.Channels[Channel].CellSet[f] = false;
}

void CopyScoreCells(TEditorDocument& Document, int LastColumn, int FirstColumn, int Channel) {
    Document.ScoreClipCount = 0;
    if (!ValidChannel(Channel)) return;
    const TScoreChannel& channel = Document.Channels[Channel];
    const auto [first, last] = FramesOfColumns(FirstColumn, LastColumn);
    for (int f = first; f <= last; ++f) {
        const TPoint p = channel.Positions[f];
        Document.ScoreClip[Document.ScoreClipCount++] = TScoreClipItem{p.X, p.Y, channel.CellSet[f]};
    }
}

void PasteScoreCells(TEditorDocument& Document, int Column, int Channel) {
    if (!ValidChannel(Channel)) return;
    TScoreChannel& channel = Document.Channels[Channel];
    if (channel.CastCount == 0 || Document.ScoreClipCount == 0) return;
    int f = Column - 1;
    for (int i = 0; i < Document.ScoreClipCount; ++i) {
        // A paste running past the last frame goes on at frame 0; the clipboard never holds more
        // than the score's frames, so no frame is written twice.
        if (f > ScoreFrameCount - 1 || f < 0) f = 0;
        const TScoreClipItem& item = Document.ScoreClip[i];
        channel.Positions[f] = ClampPosition(item.X, item.Y);
        channel.CellSet[f] = item.CellSet;
        ++f;
    }
}

void CentreScoreCells(TEditorDocument& Document, int Channel, int FirstFrame, int LastFrame,
                      bool Horizontal) {
    if (!ValidChannel(Channel) || Document.CanvasBitmap == nullptr) return;
    TScoreChannel& channel = Document.Channels[Channel];
    if (channel.CastCount == 0) return;
    const int middle = Horizontal ? Document.CanvasBitmap->Width() / 2 : Document.CanvasBitmap->Height() / 2;
    for (int f = std::max(FirstFrame, 0); f <= std::min(LastFrame, ScoreFrameCount - 1); ++f) {
        if (!channel.CellSet[f] || channel.Cast(f % channel.CastCount) == nullptr) continue;
        const TPoint p = channel.Positions[f];
        channel.Positions[f] = ClampPosition(Horizontal ? middle : p.X, Horizontal ? p.Y : middle);
    }
}

void SetFrameWaits(TEditorDocument& Document, int FirstColumn, int LastColumn, int Wait) {
    const auto [first, last] = FramesOfColumns(FirstColumn, LastColumn);
    for (int f = first; f <= last; ++f)
        Document.FrameWaits[f] = Wait;
}

void ResetScore(TEditorDocument& Document) {
    for (TScoreChannel& channel : Document.Channels) {
        for (int slot = 0; slot < CastSlotCount; ++slot)
            if (channel.CastUsed[slot]) channel.FreeCast(slot);
        channel.CastCount = 0;
        channel.CellSet.fill(false);
    }
    Document.FrameWaits.fill(0);
    Document.FramePoints.fill(TPoint{-1, 0});
}

void CopyCastSlot(TScoreChannel& Destination, const TScoreChannel& Source, int Slot) {
    TBitmap* picture = Source.Cast(Slot);
    if (picture == nullptr || &Destination == &Source) return;
    Destination.StoreCast(Slot, *picture, Source.CastTransparent[Slot], Source.CastKeyPoint[Slot]);
}

void ExchangeChannels(TEditorDocument& Document, int A, int B) {
    if (!ValidChannel(A) || !ValidChannel(B) || A == B) return;
    TScoreChannel& a = Document.Channels[A];
    TScoreChannel& b = Document.Channels[B];
    for (int slot = 0; slot < CastSlotCount; ++slot) {
        const bool aUsed = a.CastUsed[slot];
        const bool bUsed = b.CastUsed[slot];
        if (aUsed && bUsed) {
            std::swap(a.Casts[slot], b.Casts[slot]);
            std::swap(a.CastTransparent[slot], b.CastTransparent[slot]);
            std::swap(a.CastKeyPoint[slot], b.CastKeyPoint[slot]);
            a.SyncCastTransparency(slot);
            b.SyncCastTransparency(slot);
        } else if (aUsed) {
            CopyCastSlot(b, a, slot);
            a.FreeCast(slot);
        } else if (bUsed) {
            CopyCastSlot(a, b, slot);
            b.FreeCast(slot);
        }
    }
    std::swap(a.CastCount, b.CastCount);
    std::swap(a.Positions, b.Positions);
    std::swap(a.CellSet, b.CellSet);
}

bool AnyCasts(const TEditorDocument& Document) {
    return std::any_of(Document.Channels.begin(), Document.Channels.end(),
                       [](const TScoreChannel& channel) { return channel.CastCount > 0; });
}

int LastSetFrame(const TEditorDocument& Document) {
    for (int f = ScoreFrameCount - 1; f >= 0; --f)
        for (const TScoreChannel& channel : Document.Channels)
            if (channel.CellSet[f]) return f;
    return -1;
}
