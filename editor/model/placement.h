// Placing casts with the mouse: where the pointer holds a cast, and moving a run of positions.
#pragma once

#include <cstdint>

#include "editor/model/effects.h"

// The centre of a Width x Height cast that the pointer holds at Pointer. Anchor is the
// pointer's place on the cast: column 0..2 (left, centre, right) + 3 x row 0..2 (top, middle,
// bottom); half sizes are truncated. Anchors past 8 hold the cast at its centre. The centre is
// kept within the range of stored positions.
TPoint AnchoredCentre(std::uint8_t Anchor, TPoint Pointer, int Width, int Height);

// Moves the positions of the set cells of frames FirstFrame..LastFrame by Delta, as far as
// the range of stored positions allows; empty cells keep theirs.
void ShiftSetPositions(TScoreChannel& Channel, int FirstFrame, int LastFrame, TPoint Delta);
