// The launcher's entry point. It has no C runtime start-up of its own, which
// keeps the stub small.
#include <windows.h>

#include "archive/catalog_file.h"
#include "archive/entry_list.h"
#include "launcher/startup.h"

extern "C" void LauncherEntry() {
    StartUp();
    ResetEntries();
    ReadCatalog();
    ClearEntries();
    ExitProcess(0);
}
