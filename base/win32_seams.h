// The two platform calls that block on a person or end the process go
// through these pointers, so the Win32 tests can answer a message box and
// see a failure report without ending the test program.
#pragma once
#include <windows.h>

struct Win32Seams {
    int(WINAPI* messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    void(WINAPI* exitProcess)(UINT exitCode);
};
extern Win32Seams gSeams;

// Points the seams at the system's functions: the first thing the launcher
// does, and what the test program does before its tests.
void InstallSystemSeams();
