// Writing the animation out: an animated GIF, a still GIF of one frame, a numbered BMP
// sequence or a single BMP. Every frame is composed from the score on the main image, its
// colours are reduced (halftone, or the colour-cell quantiser with one palette for all frames
// or one per frame), and a GIF keeps of each later frame only what changed.
#pragma once

#include <functional>
#include <string>

#include "editor/model/effects.h"
#include "gif/gifwrite.h"

class TKvDIB;

enum TExportMode { emAnimatedGif = 0, emBmpSequence = 1, emStillGif = 2, emSingleBmp = 3 };

// The colour depth that stands for the halftone reduction.
constexpr int HalftoneDepth = 9;

// The output choices of the main window.
struct TFrameExportSettings {
    int Mode = emAnimatedGif;
    // The one frame of a still GIF or a single BMP (the score grid's current column).
    int CurrentFrame = 0;
    // "サイズ最適化": a later GIF frame holds only the rectangle that changed.
    bool SizeOptimised = true;
    // "Sサイズ最適化": pixels equal to the frame before are painted in SSizeColor, which is
    // then made transparent.
    bool SSizeOptimised = false;
    TColor SSizeColor = clWhite;
    // Loop count, common palette and colour choice, as the GIF writers follow them too.
    TGifOutputSettings Gif;
};

// How far an export has got: the maximum once, then positions up to it.
struct TExportProgress {
    std::function<void(int Max)> SetMax;
    std::function<void(int Position)> SetPosition;
};

// The highest frame with a set cell in a channel that has casts; 0 when there is none.
int LastExportFrame(const TEditorDocument& Document);
// Bits per pixel of the reduced output for an item of the colour choice ("デイザ", "256色" ..
// "8色"): HalftoneDepth for -1 and 0, else 8 down to 3.
int ExportColorDepth(int ColorChoice);

// The file the save dialog's choice is written as. GIF and AVI names get their extension when
// the file name has no "."; BMP names are cut before the file name's first ".", leaving the
// stem that frame numbers follow. Only the file-name part is searched, never the folders.
std::string ExportTargetName(const std::string& Chosen, int FilterIndex);

// Work := frame Frame as it is output: the main image's size, no margin, channels 0..9 drawn
// on it in order, 24 bits per pixel.
void ComposeExportFrame(const TEditorDocument& Document, int Frame, TKvDIB& Work);
// Draws Cast centred on Position (canvas coordinates) onto Dib, a main-image-sized frame,
// leaving the cast's transparent colour out; Dib becomes 24 bits per pixel. Returns Dib.
TKvDIB& DrawCastOnDIB(const TEditorDocument& Document, TKvDIB& Dib, TGraphic& Cast, TPoint Position);

// Writes the output Settings.Mode asks for: Name is the whole file name of a GIF and the stem
// of BMP files. False, with nothing written, when there is no main image. Every file is
// written whole or not at all; a failure raises and ends the export.
bool ExportFrames(const TEditorDocument& Document, const std::string& Name,
                  const TFrameExportSettings& Settings, const TExportProgress& Progress);
