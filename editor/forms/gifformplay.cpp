// Test playback from the main window.
#include "editor/forms/gifform.h"
#include "editor/forms/gifview.h"

void TMobrelForm::BitBtn14Click(TObject*) {
    viewform->ShowModal();
    RefreshFrameView();
}
