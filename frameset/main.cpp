// Sorbelset: the frame-set editor. The main window comes first, then the transparent-colour
// dialog and the playback window, which live for the whole run.
#include "frameset/forms/gifread.h"
#include "frameset/forms/gifreadcol.h"
#include "frameset/forms/gifreadview.h"
#include "toolkit/widgets/Application.h"

int main(int argc, char** argv) {
    Application->Initialize(argc, argv);
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
    Application->Run();
    return 0;
}
