// Transitions: one cast picture turned into a series that shows it disappearing, written into
// consecutive cast slots of its channel.
#pragma once

#include <functional>

#include "editor/model/effects.h"

// The kinds in the order of the effect list of the main window.
enum TEffectKind {
    ekBlindsH,
    ekBlindsV,
    ekSlideH1,
    ekSlideH2,
    ekSlideV1,
    ekSlideV2,
    ekOverlap,
    ekRotate,
    ekZoom,
    ekMosaic,
    ekCenterWarpH1,
    ekCenterWarpH2,
    ekCenterWarpV1,
    ekCenterWarpV2,
    ekScrollH,
    ekScrollV
};
constexpr int EffectKindCount = 16;

// Where a run shows how far it has come: SetMax once with the number of steps, SetPosition
// after each picture, and 0 when the run ends. Either may be empty.
struct TEffectProgress {
    std::function<void(int)> SetMax;
    std::function<void(int)> SetPosition;
};

// Makes Steps + 1 pictures of the cast in Slot of Channel, the first the picture itself and
// the last its disappearance, and stores them in Slot..Slot + Steps (Reversed: in the
// opposite order). The filled areas take the colour of the cast's key point, and every
// picture keeps the cast's key point and transparency. The overlap kind blends toward what
// the channels below show at the frame of ScoreColumn. Does nothing when Kind is no kind
// (-1), the series would pass the last slot, the slot is empty, or an overlap's cell is
// empty. A key point outside the picture raises EKvDIBPixelPositionRange; CastCount is
// recounted in every case.
void MakeEffectCasts(TEditorDocument& Document, int Kind, bool Reversed, int Steps, int Slot, int Channel,
                     int ScoreColumn, const TEffectProgress& Progress);
