// The directory macros of the command line: <AD> the setup's own folder,
// <WD> the Windows folder, <SD> the system folder, <TD> the temporary
// folder. Each expands to a path ending in a backslash.
#pragma once
#include "base/text.h"

struct MacroDirectories {
    Text appDir, windowsDir, systemDir, tempDir;
};

// Replaces the first occurrence of each macro, matched without regard to the
// case of A-Z, in the order AD, WD, SD, TD.
Text ExpandMacros(const Text& text, const MacroDirectories& directories);

// The system's answers (Win32).
Text AppDir();
Text WindowsDir();
Text SystemDir();
Text TempDir();
Text ExpandMacros(const Text& text);
