// Editing the score apart from tweens, casts and mouse placement: runs of cells through the
// score clipboard, centring, frame waits, resetting everything and exchanging two channels.
// Columns are score columns (frame + 1); ranges reaching outside the score are cut to it.
#pragma once

#include "editor/model/effects.h"

// CellSet := false for the frames of columns FirstColumn..LastColumn of Channel; positions stay.
void ClearScoreCells(TEditorDocument& Document, int LastColumn, int FirstColumn, int Channel);
// The score clipboard := position and cell flag of each frame of columns FirstColumn..LastColumn
// of Channel, in order; empty when LastColumn < FirstColumn.
void CopyScoreCells(TEditorDocument& Document, int LastColumn, int FirstColumn, int Channel);
// Writes the score clipboard into Channel from the frame of Column on, going on at frame 0 after
// the last frame. Nothing happens when the channel has no casts or the clipboard is empty.
void PasteScoreCells(TEditorDocument& Document, int Column, int Channel);

// The set cells of frames FirstFrame..LastFrame of Channel whose slot holds a picture are
// moved to the middle of the working canvas, across (Horizontal) or down.
void CentreScoreCells(TEditorDocument& Document, int Channel, int FirstFrame, int LastFrame, bool Horizontal);

// The frames of columns FirstColumn..LastColumn wait Wait (1/100 s).
void SetFrameWaits(TEditorDocument& Document, int FirstColumn, int LastColumn, int Wait);

// Every cast freed, every cell cleared, every wait 0 and every frame point (-1, 0). Positions,
// transparency flags, key points, the main image, the background and the clipboard stay.
void ResetScore(TEditorDocument& Document);

// Slot Slot of Destination becomes a copy of Source's: picture, transparency flag and key point,
// the picture's transparent colour read again at the key point. Source must hold a picture.
void CopyCastSlot(TScoreChannel& Destination, const TScoreChannel& Source, int Slot);
// Channels A and B exchange all their data: pictures, transparency, key points, cast counts,
// positions and cells.
void ExchangeChannels(TEditorDocument& Document, int A, int B);

// Some channel holds a cast.
bool AnyCasts(const TEditorDocument& Document);
// The highest frame with a set cell in any channel (with casts or not); -1 when none is set.
int LastSetFrame(const TEditorDocument& Document);
