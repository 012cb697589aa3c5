// palvenor: the animation editor. The main window comes first; the dialogs live for the
// whole run and are shown on demand.
#include "editor/gifform.h"
#include "editor/gifview.h"
#include "editor/ngform.h"
#include "editor/scoreset.h"
#include "editor/transform.h"
#include "toolkit/widgets/Application.h"

int main(int argc, char** argv) {
    Application->Initialize(argc, argv);
    Application->CreateForm(MobrelForm);
    Application->CreateForm(newform);
    Application->CreateForm(scoreform);
    Application->CreateForm(transfrm);
    Application->CreateForm(viewform);
    Application->Run();
    return 0;
}
