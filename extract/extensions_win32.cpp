#include "extract/extensions.h"

#include <cstring>

#include "extract/configuration_keys.h"
#include "extract/entry_extraction.h"
#include "extract/extraction_run.h"
#include "extract/target_path.h"

Extensions gExtensions;

void ResetExtensions() {
    gExtensions.exitCode = gExtensions.passArguments = gExtensions.wantsOwnFolder = false;
    gExtensions.ownFolder[0] = 0;
}

void ReadExtensions(const Text& configurationPath) {
    gExtensions.exitCode = ReadConfigSwitch(kBuilderSection, kKeyExitCode, false, configurationPath);
    gExtensions.passArguments = ReadConfigSwitch(kBuilderSection, kKeyPassArguments, false, configurationPath);
    gExtensions.wantsOwnFolder = ReadConfigSwitch(kBuilderSection, kKeyOwnFolder, false, configurationPath);
}

Text MakeOwnFolder(const Text& parent) {
    char* folder = gExtensions.ownFolder;
    Text base = IncludeBackslash(parent);
    if (base.Length() + 14 >= MAX_PATH) RaiseInvalidDirectory();
    memcpy(folder, base.Data(), base.Length());
    char* name = folder + base.Length();
    // The performance counter ticks millions of times a second: two runs
    // started together still read different values, and a name that exists
    // is never taken over but tried again with a later one.
    LARGE_INTEGER counter;
    for (uint32_t attempt = 0; attempt < 100; ++attempt) {
        QueryPerformanceCounter(&counter);
        uint32_t mixed = counter.LowPart * 0x9E3779B1u;
        memcpy(name, "sfx-", 4);
        for (int i = 4; i < 12; ++i, mixed <<= 4) name[i] = kHexDigits[mixed >> 28];
        name[12] = 0;
        if (CreateDirectoryA(folder, nullptr)) {
            name[12] = '\\';
            name[13] = 0;
            return Text(folder);
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    folder[0] = 0;
    RaiseInvalidDirectory();
}

// `path` holds a folder ending in a backslash, `length` characters, in a
// buffer of MAX_PATH.
static void RemoveTree(char* path, size_t length) {
    memcpy(path + length, "*", 2);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const char* name = found.cFileName;
        size_t end = length + lstrlenA(name);
        if ((name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]))) || end + 2 >= MAX_PATH) continue;
        memcpy(path + length, name, end - length + 1);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link to a folder elsewhere is removed, not followed.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                path[end] = '\\';
                path[end + 1] = 0;
                RemoveTree(path, end + 1);
                path[end] = 0;
            }
            RemoveDirectoryA(path);
        } else {
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void RemoveOwnFolder() {
    char path[MAX_PATH];
    size_t length = lstrlenA(gExtensions.ownFolder);
    if (length == 0) return;
    memcpy(path, gExtensions.ownFolder, length + 1);
    gExtensions.ownFolder[0] = 0;
    RemoveTree(path, length);
    path[length] = 0;
    RemoveDirectoryA(path);
}

Text LauncherArguments() {
    const char* line = GetCommandLineA();
    // The program's name: quoted up to the closing mark, or up to a blank.
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return Text(line);
}
