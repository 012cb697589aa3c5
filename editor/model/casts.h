// The cast slots of one channel: putting, inserting and deleting pictures, their key points and
// colour replacement. The used slots stay at 0..CastCount-1, and every routine that changes
// which slots are used recounts CastCount.
#pragma once

#include <memory>
#include <vector>

#include "editor/model/effects.h"
#include "editor/model/picturefile.h"

// A slot receiving a new picture is reset: transparent in the colour of the picture's top-left
// pixel. Picture must be made ready for that already (PrepareCastPicture); nothing here fails.
void ResetCastSlot(TScoreChannel& Channel, int Slot, std::unique_ptr<TBitmap> Picture) noexcept;

// The rule for pictures about to go into Count slots of Channel from First on, in turn: each
// within the picture limit, and all of them, in place of what those slots hold, within the
// document's limit together with its other pictures. Count 0 stands for one picture added
// beside the others (an insert).
TPictureFits CastPicturesFit(const TEditorDocument& Document, int Channel, int First, int Count);

// The slots from Slot on take Pictures in turn and are reset; pictures beyond the last slot
// are dropped. All pictures are made ready before any slot changes: when one cannot be, the
// slots stay as they were.
void PutCasts(TScoreChannel& Channel, int Slot, std::vector<std::unique_ptr<TBitmap>> Pictures);
// Slot takes a copy of Picture and is reset; when the copy cannot be made the slot stays.
void PutCast(TScoreChannel& Channel, int Slot, TGraphic& Picture);

// Puts Picture at Slot and moves the pictures from Slot on one slot up, with their key points
// and transparency. Nothing happens, and the result is false, when the strip is full or Slot
// lies past the slot after the last cast.
bool InsertCast(TScoreChannel& Channel, int Slot, TGraphic& Picture);

// Deletes the casts of slots Left..Right and moves the later ones down. Right may be the slot
// after the last cast, which is ignored; further right nothing happens and the result is false.
bool DeleteCastRange(TScoreChannel& Channel, int Left, int Right);

// Gives the used slots Left..Right the key point Point: transparent in the colour there, or
// opaque for a slot whose picture does not contain the point (X = -1 turns every slot opaque).
void ApplyCastKeyPoint(TScoreChannel& Channel, int Left, int Right, TPoint Point);

// Replaces, in the used slots Left..Right, every pixel of the colour that slot Source has at
// Point by NewColor; each slot's transparent colour is read again at its key point, so a
// replaced key colour stays transparent. False, with nothing changed, when Source has no
// picture or Point lies outside it.
bool ReplaceCastColor(TScoreChannel& Channel, int Left, int Right, int Source, TPoint Point, TColor NewColor);
