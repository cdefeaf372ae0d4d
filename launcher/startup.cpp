#include "launcher/startup.h"

#include <windows.h>

#include "archive/decimal_separator.h"
#include "base/win32_seams.h"
#include "launcher/failure_report.h"

// A setup is usually started from a downloads folder that may hold anything:
// only the system directory may supply DLLs. Looked up at run time so that
// systems without the call still start.
static void RestrictDllSearch() {
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void UseExtendedPrecision() {
    unsigned short controlWord = 0x37F;
    __asm__ volatile("fldcw %0" : : "m"(controlWord));
}

void StartUp() {
    InstallSystemSeams();
    RestrictDllSearch();
    UseExtendedPrecision();
    InstallFailureReport();
    ReadDecimalSeparator();
}
