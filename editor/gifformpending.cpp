// Commands of the main window that are still to be built, grouped by what they do. Each
// group moves to a file of its own when it is built.
#include "editor/gifform.h"

// Transitions.
void TMobrelForm::BitBtn17Click(TObject*) {}
void TMobrelForm::BitBtn18Click(TObject*) {}

// Frame export.
void TMobrelForm::BitBtn5Click(TObject*) {}
void TMobrelForm::ExportFrames(const std::string&, int) {}
TKvDIB* TMobrelForm::DrawCastOnDIB(TKvDIB* Dib, TGraphic*, TPoint) {
    return Dib;
}

// AVI export.
void TMobrelForm::ExportAvi(const std::string&) {}
