// Frames drawn as the editor view and the playback show them: a frame's picture through
// FrameBitmap, colour-keyed by its transparent point, and in playback its wait and disposal.
#pragma once

#include <functional>

#include "frameset/model/gifreadframes.h"

// Draws a frame's picture into FrameBitmap, marked transparent by its transparent point.
void PrepareFrameBitmap(TFrameEntry& Entry);

// Waits Milliseconds while the program goes on handling its messages.
using TFrameWait = std::function<void(int Milliseconds)>;

// Frame Index drawn into the playback picture Canvas, Screen (the editor view's rectangle)
// filled with the brush colour first when Index is 0; then, unless Wait is empty, the frame's
// wait; then its disposal: "背景色で塗りつぶす" fills its rectangle with the brush colour,
// "直前の画像に戻す" draws the frame before again at once, with that frame's own disposal.
void DrawPlaybackFrame(TCanvas& Canvas, int Index, const TRect& Screen, const TFrameWait& Wait);
