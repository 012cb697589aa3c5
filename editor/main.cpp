// palvenor: the animation editor. The main window comes first; the dialogs live for the
// whole run and are shown on demand.
#include "editor/forms/gifform.h"
#include "editor/forms/gifview.h"
#include "editor/forms/ngform.h"
#include "editor/forms/scoreset.h"
#include "editor/forms/transform.h"
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
