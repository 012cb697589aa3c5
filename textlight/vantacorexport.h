// The text light as a score file for the animation editor: one pass of the light over
// StepCount frames, the light in channel 0 and the text, its text colour see-through, in
// channel 1; channels 2 to 9 repeat the text's cells without a picture.
#pragma once

#include "editor/model/scorefile.h"
#include "imagelib/KvDIB.h"

// What the last run left: frames per pass, the light's step and top edge, and the point of
// the text image whose colour is see-through.
struct TTextLightMotion {
    int StepCount = 10;
    int LightStep = 0;
    int LightY = 0;
    TPoint TransPoint;
};

// The tail's tables for the given picture sizes; the picture lengths are left 0.
TScoreTail TextLightScoreTail(int LightWidth, int LightHeight, int TextWidth, int TextHeight,
                              const TTextLightMotion& Motion);

// Writes the whole score file from the stream's position: the magic, Base as the main image,
// Light and Text as the casts of channels 0 and 1, then the tail.
void WriteTextLightScore(TStream& Stream, TKvDIB& Base, TKvDIB& Light, TKvDIB& Text,
                         const TTextLightMotion& Motion);
