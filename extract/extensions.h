// The opt-in behaviours that a setup's builder switches on in its own
// section of the configuration. A setup that names none behaves as the
// launcher always has. Read once per run, right after the configuration.
#pragma once
#include <windows.h>

#include "base/text.h"

struct Extensions {
    // The launcher ends with the setup program's exit code, and with codes
    // of their own when it was cancelled or could not start the program.
    bool exitCode;
    // The launcher's own command-line arguments follow the parameters.
    bool passArguments;
    // Extraction goes to a new folder of its own, removed whole at the end.
    bool wantsOwnFolder;
    // That folder once it exists, ending in a backslash; empty before.
    char ownFolder[MAX_PATH];
};
extern Extensions gExtensions;

// Switches all off, and no folder.
void ResetExtensions();
void ReadExtensions(const Text& configurationPath);

// Creates a new folder below `parent` (ending in a backslash) under a name
// no one can foresee, never one that exists already, and records it.
Text MakeOwnFolder(const Text& parent);
// Removes the own folder with all it holds, read-only files too; nothing
// without one.
void RemoveOwnFolder();

// The arguments the launcher was started with, exactly as typed after its
// own name.
Text LauncherArguments();
