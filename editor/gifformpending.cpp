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

// Cast management.
void TMobrelForm::BitBtn1Click(TObject*) {}
void TMobrelForm::castDblClick(TObject*) {}
void TMobrelForm::BitBtn7Click(TObject*) {}
void TMobrelForm::insertcastClick(TObject*) {}
void TMobrelForm::BitBtn23Click(TObject*) {}
void TMobrelForm::BitBtn8Click(TObject*) {}
void TMobrelForm::castKeyUp(TObject*, std::uint16_t&, TShiftState) {}
void TMobrelForm::Shape3MouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
void TMobrelForm::N7Click(TObject*) {}
void TMobrelForm::Button5Click(TObject*) {}
void TMobrelForm::Button4Click(TObject*) {}
void TMobrelForm::castDrawCell(TObject*, int, int, const TRect&, TGridDrawState) {}
void TMobrelForm::LoadCast(int) {}
void TMobrelForm::DeleteCasts() {}
void TMobrelForm::SetCastTransparency() {}

// Main image and background.
void TMobrelForm::BitBtn2Click(TObject*) {}
void TMobrelForm::BitBtn24Click(TObject*) {}
void TMobrelForm::BitBtn25Click(TObject*) {}
void TMobrelForm::Shape4MouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
void TMobrelForm::LoadMainImage(int) {}

// Colour picker and frame transparency points.
void TMobrelForm::Shape2MouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
void TMobrelForm::N11Click(TObject*) {}
void TMobrelForm::BitBtn4Click(TObject*) {}
void TMobrelForm::ComposeCurrentFrame(bool) {}

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

// Mouse placement.
void TMobrelForm::Image1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
void TMobrelForm::Image1MouseMove(TObject*, TShiftState, int, int) {}
void TMobrelForm::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {}
void TMobrelForm::ApplyPlacementAnchor(int&, int&) {}
