#include <windows.h>

#include "launcher/program_launch.h"

bool LaunchProgram(const Text& commandLine, bool hidden, bool wait, const char* folder, uint32_t* exitCode) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    startup.wShowWindow = hidden ? SW_HIDE : SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    // CreateProcessA may write into the command line, so it gets a copy.
    Text writable = commandLine;
    bool created = CreateProcessA(nullptr, writable.Data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                                  folder, &startup, &process) != 0;
    DWORD code = GetLastError();
    if (created && wait) {
        WaitForInputIdle(process.hProcess, INFINITE);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
    }
    if (exitCode) *exitCode = code;
    if (!created) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
