// Writing the animation as an uncompressed AVI video: one 8-bit halftone key frame per score
// frame, 15 frames a second; frame waits play no part.
#pragma once

#include <string>

#include "editor/model/effects.h"
#include "editor/model/frameexport.h"

constexpr int AviFramesPerSecond = 15;
// The one failure message of the export.
inline constexpr const char* SAviExportFailed = "異常終了です";

// Writes frames 0 to LastExportFrame, each composed as every output is and halftoned, as
// FileName. False, with nothing written, when there is no canvas or no set cell in a channel
// with casts. When the AVI interface refuses the file or a frame, raises Exception with
// SAviExportFailed; an existing file of that name then stays as it was, as it does on any
// other error.
bool ExportAvi(const TEditorDocument& Document, const std::string& FileName, const TExportProgress& Progress);
