// Test playback from the main window.
#include "editor/gifform.h"
#include "editor/gifview.h"

void TMobrelForm::BitBtn14Click(TObject*) {
    viewform->ShowModal();
    RefreshFrameView();
}
