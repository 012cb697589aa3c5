#include "editor/model/placement.h"

#include <algorithm>

TPoint AnchoredCentre(std::uint8_t Anchor, TPoint Pointer, int Width, int Height) {
    constexpr std::uint8_t Centre = 4;
    if (Anchor > 8) Anchor = Centre;
    const int column = Anchor % 3;
    const int row = Anchor / 3;
    // Left and top anchors push the centre right and down, right and bottom ones back.
    return ClampPosition(std::int64_t(Pointer.X) + (1 - column) * (Width / 2),
                         std::int64_t(Pointer.Y) + (1 - row) * (Height / 2));
}

void ShiftSetPositions(TScoreChannel& Channel, int FirstFrame, int LastFrame, TPoint Delta) {
    for (int frame = std::max(FirstFrame, 0); frame <= std::min(LastFrame, ScoreFrameCount - 1); ++frame) {
        if (!Channel.CellSet[frame]) continue;
        const TPoint p = Channel.Positions[frame];
        Channel.Positions[frame] = ClampPosition(std::int64_t(p.X) + Delta.X, std::int64_t(p.Y) + Delta.Y);
    }
}
