#include <windows.h>

#include "extract/extensions.h"
#include "extract/target_path.h"
#include "launcher/directory_macros.h"

namespace {

// A query that fails or does not fit the buffer gives the empty text.
Text Answer(char* buffer, UINT length) { return length > 0 && length < MAX_PATH ? Text(buffer, length) : Text(); }

}  // namespace

Text AppDir() {
    char buffer[MAX_PATH];
    return DirectoryPart(Answer(buffer, GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, MAX_PATH)));
}

Text WindowsDir() {
    char buffer[MAX_PATH];
    return IncludeBackslash(Answer(buffer, GetWindowsDirectoryA(buffer, MAX_PATH)));
}

Text SystemDir() {
    char buffer[MAX_PATH];
    return IncludeBackslash(Answer(buffer, GetSystemDirectoryA(buffer, MAX_PATH)));
}

// In a setup with a folder of its own, that folder: where its files are,
// as the temporary folder is for other setups.
Text TempDir() {
    if (gExtensions.ownFolder[0]) return Text(gExtensions.ownFolder);
    char buffer[MAX_PATH];
    return Answer(buffer, GetTempPathA(MAX_PATH, buffer));
}

Text ExpandMacros(const Text& text) {
    MacroDirectories directories = {AppDir(), WindowsDir(), SystemDir(), TempDir()};
    return ExpandMacros(text, directories);
}
