#include "base/win32_seams.h"

// Zero until installed: initialised process-wide state would cost the stub a
// file section of its own.
Win32Seams gSeams;

void InstallSystemSeams() {
    gSeams.messageBox = MessageBoxA;
    gSeams.exitProcess = ExitProcess;
}
