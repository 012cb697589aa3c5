// Commands of the main window that are still to be built, grouped by what they do. Each
// group moves to a file of its own when it is built.
#include "editor/gifform.h"

// Score editing.
void TMobrelForm::BitBtn9Click(TObject*) {}
void TMobrelForm::BitBtn11Click(TObject*) {}
void TMobrelForm::BitBtn10Click(TObject*) {}
void TMobrelForm::BitBtn22Click(TObject*) {}
void TMobrelForm::BitBtn13Click(TObject*) {}
void TMobrelForm::BitBtn26Click(TObject*) {}
void TMobrelForm::BitBtn27Click(TObject*) {}
void TMobrelForm::BitBtn28Click(TObject*) {}
void TMobrelForm::BitBtn16Click(TObject*) {}
void TMobrelForm::Button1Click(TObject*) {}
void TMobrelForm::SpinEdit4Change(TObject*) {}
void TMobrelForm::scoreMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
void TMobrelForm::scoreMouseUp(TObject*, TMouseButton, TShiftState, int, int) {}
void TMobrelForm::scoreMouseMove(TObject*, TShiftState, int, int) {}
void TMobrelForm::scoreKeyUp(TObject*, std::uint16_t&, TShiftState) {}
void TMobrelForm::scoreRowMoved(TObject*, int, int) {}
void TMobrelForm::AdjustScore(int) {}
void TMobrelForm::ClearScoreRow() {}
void TMobrelForm::UpdateScoreStatus() {}

// Tweens.
void TMobrelForm::BitBtn12Click(TObject*) {}
void TMobrelForm::BitBtn19Click(TObject*) {}
void TMobrelForm::BitBtn20Click(TObject*) {}

// Transitions.
void TMobrelForm::BitBtn17Click(TObject*) {}
void TMobrelForm::BitBtn18Click(TObject*) {}

// Test playback.
void TMobrelForm::BitBtn14Click(TObject*) {}

// Frame export.
void TMobrelForm::BitBtn5Click(TObject*) {}
void TMobrelForm::ExportFrames(const std::string&, int) {}
TKvDIB* TMobrelForm::DrawCastOnDIB(TKvDIB* Dib, TGraphic*, TPoint) {
    return Dib;
}

// AVI export.
void TMobrelForm::ExportAvi(const std::string&) {}
