// The editor's writer of current-version score files.
#include "editor/model/scorefile.h"

void WriteScoreFile(TStream& Stream, const TEditorDocument& Document, const TScoreProgress& Progress) {
    WriteScoreMagic(Stream);
    TScoreTail tail;
    // Without a canvas no main image was ever loaded: the file carries none.
    if (Document.CanvasBitmap != nullptr) tail.MainImageSize = WriteScorePicture(Stream, *Document.MainImage);
    for (int ch = 0; ch < ChannelCount; ++ch) {
        if (Progress) Progress(ch);
        const TScoreChannel& channel = Document.Channels[ch];
        for (int s = 0; s < CastSlotCount; ++s) {
            TBitmap* cast = channel.Cast(s);
            if (cast != nullptr)
                tail.CastImageSizes[ch * CastSlotCount + s] = WriteScorePicture(Stream, *cast);
        }
        TScoreChannelRecord& record = tail.Channels[ch];
        record.Positions = channel.Positions;
        record.CellSet = channel.CellSet;
        record.CastTransparent = channel.CastTransparent;
        record.CastKeyPoint = channel.CastKeyPoint;
    }
    tail.FrameWaits = Document.FrameWaits;
    tail.FramePoints = Document.FramePoints;
    WriteScoreTail(Stream, tail);
}
