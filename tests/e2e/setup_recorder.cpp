// The setup program of the end-to-end tests. It writes what it was given
// into the result file named by SFX_RESULT (outside the temporary folder):
// its command line, its current folder and the files beside it; then it
// exits with the code named by a "/exit=N" parameter (0 without one).
// "/delete-list" removes the launcher's delete list before exiting;
// "/wait=MS" waits that long first.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main() {
    const char* commandLine = GetCommandLineA();
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string here(self);
    here.resize(here.rfind('\\') + 1);

    const char* resultPath = getenv("SFX_RESULT");
    FILE* result = resultPath ? fopen(resultPath, "wb") : nullptr;
    if (result) {
        fprintf(result, "command=%s\ncwd=%s\nhere=%s\n", commandLine, folder, here.c_str());
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((here + "*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) fprintf(result, "file=%s\n", found.cFileName);
        }
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        fclose(result);
    }
    if (strstr(commandLine, "/delete-list")) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        DeleteFileA((std::string(temp) + "$d$e$l$.lst").c_str());
    }
    if (const char* wait = strstr(commandLine, "/wait=")) Sleep(static_cast<DWORD>(atoi(wait + 6)));
    const char* exitCode = strstr(commandLine, "/exit=");
    return exitCode ? atoi(exitCode + 6) : 0;
}
