#include "editor/placement.h"

#include <algorithm>

TPoint AnchoredCentre(std::uint8_t Anchor, TPoint Pointer, int Width, int Height) {
    constexpr std::uint8_t Centre = 4;
    if (Anchor > 8) Anchor = Centre;
    const int column = Anchor % 3;
    const int row = Anchor / 3;
    // Left and top anchors push the centre right and down, right and bottom ones back.
    return TPoint{Pointer.X + (1 - column) * (Width / 2), Pointer.Y + (1 - row) * (Height / 2)};
}

void ShiftSetPositions(TScoreChannel& Channel, int FirstFrame, int LastFrame, TPoint Delta) {
    for (int frame = std::max(FirstFrame, 0); frame <= std::min(LastFrame, FrameCount - 1); ++frame) {
        if (!Channel.CellSet[frame]) continue;
        Channel.Positions[frame].X += Delta.X;
        Channel.Positions[frame].Y += Delta.Y;
    }
}
