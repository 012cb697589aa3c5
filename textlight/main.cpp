// corvanta: the text-light generator, one window.
#include "textlight/vantacor.h"
#include "toolkit/widgets/Application.h"

int main(int argc, char** argv) {
    Application->Initialize(argc, argv);
    Application->CreateForm(Form1);
    Application->Run();
    return 0;
}
