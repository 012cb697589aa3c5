// The cast slots of one channel: putting, inserting and deleting pictures, their key points and
// colour replacement. The used slots stay at 0..CastCount-1, and every routine that changes
// which slots are used recounts CastCount.
#pragma once

#include "editor/model/effects.h"

// A slot that has received a new picture: transparent in the colour of its top-left pixel.
void ResetCastSlot(TScoreChannel& Channel, int Slot);

// Slot takes a copy of Picture (into a new bitmap when it was empty) and is reset.
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
