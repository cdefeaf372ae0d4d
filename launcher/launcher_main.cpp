// The launcher's entry point. It has no C runtime start-up of its own, which
// keeps the stub small.
#include <windows.h>

#include "launcher/main_sequence.h"
#include "launcher/startup.h"

extern "C" void LauncherEntry() {
    StartUp();
    ExitProcess(RunLauncher());
}
