// Commands of the main window that are still to be built, grouped by what they do. Each
// group moves to a file of its own when it is built.
#include "editor/gifform.h"
